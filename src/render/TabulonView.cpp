#include "render/TabulonView.h"

#include "doc/TabulonDoc.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

CTabulonView::CTabulonView(CTabulonDoc& doc, QWidget* pParent)
    : QScrollArea(pParent), m_doc(doc), m_pForm(new QWidget), m_pCellX(new QLineEdit(m_pForm)),
      m_pCellY(new QLineEdit(m_pForm)), m_pUpTime(new QLineEdit(m_pForm)),
      m_pUpdate(new QPushButton(QStringLiteral("Update"), m_pForm)) {
    auto label = [this](const QString& text, QWidget* pBuddy = nullptr) {
        auto* pLabel = new QLabel(text, m_pForm);
        pLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        pLabel->setBuddy(pBuddy);
        return pLabel;
    };
    // Places in dialog units: x and y quarter and eighth of the font's
    // average character width and height, so the form grows with the font
    // and the display scaling instead of clipping its fields.
    m_layout = {
        {m_pCellX, QRect(41, 34, 40, 14)},
        {m_pCellY, QRect(41, 49, 40, 14)},
        {m_pUpdate, QRect(20, 92, 50, 14)},
        {label(QStringLiteral("Policko X:"), m_pCellX), QRect(7, 34, 33, 8)},
        {label(QStringLiteral("Policko Y:"), m_pCellY), QRect(7, 50, 33, 8)},
        {label(QStringLiteral("VO5 Controls")), QRect(24, 15, 43, 8)},
        {label(QStringLiteral("Velkost policok: (int)\nCim vacsie cislo, tym je obrazok ostrejsi\n\n")),
         QRect(7, 114, 74, 30)},
        {m_pUpTime, QRect(41, 71, 40, 14)},
        {label(QStringLiteral("Up-Time:"), m_pUpTime), QRect(7, 73, 30, 8)},
    };
    m_layout[6].first->setProperty("wordWrap", true);
    const std::pair<QWidget*, const char*> names[] = {{m_pCellX, "Cell width in pixels (Policko X)"},
                                                      {m_pCellY, "Cell height in pixels (Policko Y)"},
                                                      {m_pUpTime, "Redraw interval in milliseconds (Up-Time)"},
                                                      {m_pUpdate, "Update: apply the settings"}};
    for (const auto& [pWidget, pszName] : names)
        pWidget->setAccessibleName(QString::fromLatin1(pszName));
    // The form's places are measured for a small sans-serif dialog font;
    // "Arial" (Liberation Sans here) at 8 points keeps the texts inside them.
    setFont(QFont(QStringLiteral("Arial"), 8));
    setTabOrder(m_pCellX, m_pCellY);
    setTabOrder(m_pCellY, m_pUpdate);
    setTabOrder(m_pUpdate, m_pUpTime);
    connect(m_pUpdate, &QPushButton::clicked, this, &CTabulonView::OnUpdateButton);
    for (QLineEdit* pEdit : {m_pCellX, m_pCellY, m_pUpTime})
        connect(pEdit, &QLineEdit::returnPressed, this, [this] {
            if (m_pUpdate->isEnabled())
                OnUpdateButton();
        });
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setWidget(m_pForm);
    PlaceItems();
}

void CTabulonView::SetApplyEnabled(bool bEnabled) {
    m_pUpdate->setEnabled(bEnabled);
}

void CTabulonView::PlaceItems() {
    const QFontMetrics metrics = m_pForm->fontMetrics();
    const double dX = metrics.averageCharWidth() / 4.0, dY = metrics.height() / 8.0;
    QRect extent;
    for (const auto& [pWidget, dlu] : m_layout) {
        QRect place(qRound(dlu.x() * dX), qRound(dlu.y() * dY), qRound(dlu.width() * dX), qRound(dlu.height() * dY));
        // A text never clips: a label that needs more room than its place gets it.
        if (auto* pLabel = qobject_cast<QLabel*>(pWidget)) {
            if (pLabel->wordWrap())
                place.setHeight(std::max(place.height(), pLabel->heightForWidth(place.width())));
            else
                place.setSize(place.size().expandedTo(pLabel->sizeHint()));
        }
        pWidget->setGeometry(place);
        extent |= place;
    }
    // Smaller than this, the pane scrolls instead of cutting the form.
    m_pForm->setMinimumSize(extent.right() + 1 + qRound(7 * dX), extent.bottom() + 1 + qRound(7 * dY));
}

void CTabulonView::changeEvent(QEvent* pEvent) {
    QScrollArea::changeEvent(pEvent);
    if (pEvent->type() == QEvent::FontChange)
        PlaceItems();
}

void CTabulonView::OnUpdate(int nHint) {
    if (nHint != 0)
        return;
    m_nCellX = m_doc.GetCellX();
    m_nCellY = m_doc.GetCellY();
    m_nUpTime = m_doc.GetUpTime();
    ShowMembers();
}

void CTabulonView::ShowMembers() {
    m_pUpTime->setText(QString::number(m_nUpTime));
    m_pCellX->setText(QString::number(m_nCellX));
    m_pCellY->setText(QString::number(m_nCellY));
}

bool CTabulonView::ReadEdits() {
    const std::pair<QLineEdit*, int*> exchange[] = {
        {m_pUpTime, &m_nUpTime}, {m_pCellX, &m_nCellX}, {m_pCellY, &m_nCellY}};
    for (const auto& [pEdit, pMember] : exchange) {
        bool bOk = false;
        const int nValue = pEdit->text().trimmed().toInt(&bOk);
        if (!bOk) {
            QMessageBox::information(this, QStringLiteral("Tabulon5"), QString::fromUtf8(kIntegerPrompt));
            pEdit->setFocus();
            pEdit->selectAll();
            return false;
        }
        *pMember = nValue;
    }
    return true;
}

// The button's work goes on when an edit was refused: the document gets the
// values the members hold, and the grid view rebuilds with them.
void CTabulonView::OnUpdateButton() {
    ReadEdits();
    m_nCellX = std::max(m_nCellX, 0);
    m_nCellY = std::max(m_nCellY, 0);
    m_nUpTime = std::max(m_nUpTime, 0); // a negative interval would never let an update through
    m_doc.SetCellX(m_nCellX);
    m_doc.SetCellY(m_nCellY);
    m_doc.SetUpTime(m_nUpTime);
    m_doc.ApplySettings();
    emit settingsApplied();
}
