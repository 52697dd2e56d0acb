#include "app/PrintDialogs.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QToolBar>

namespace {

QComboBox* PictureSizeBox(PrintSize size) {
    auto* pBox = new QComboBox;
    for (PrintSize choice : kPrintSizes)
        pBox->addItem(QString::fromLatin1(PrintSizeText(choice)), static_cast<int>(choice));
    pBox->setCurrentIndex(pBox->findData(static_cast<int>(size)));
    pBox->setAccessibleName(QStringLiteral("Picture size"));
    return pBox;
}

PrintSize ChosenSize(const QComboBox* pBox) {
    return static_cast<PrintSize>(pBox->currentData().toInt());
}

} // namespace

bool ExecPrintDialog(QWidget* pParent, QPrinter& printer, PrintSize& size, QSize picture) {
    QPrintDialog dialog(&printer, pParent);
    auto* pTab = new QWidget;
    pTab->setWindowTitle(QStringLiteral("Picture"));
    auto* pLayout = new QFormLayout(pTab);
    QComboBox* pBox = PictureSizeBox(size);
    pLayout->addRow(QStringLiteral("Picture size"), pBox);
    dialog.setOptionTabs({pTab});
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    const auto knowPages = [&] { dialog.setMinMax(1, PlanPrint(picture, printer, ChosenSize(pBox)).PageCount()); };
    QObject::connect(pBox, &QComboBox::currentIndexChanged, &dialog, knowPages);
    knowPages();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    size = ChosenSize(pBox);
    return true;
}

void ExecPrintPreview(QWidget* pParent, QPrinter& printer, PrintSize& size,
                      const std::function<void(QPrinter&, PrintSize)>& fnPrint) {
    QPrintPreviewDialog preview(&printer, pParent);
    QComboBox* pBox = PictureSizeBox(size);
    if (auto* pToolBar = preview.findChild<QToolBar*>()) {
        pToolBar->addSeparator();
        pToolBar->addWidget(new QLabel(QStringLiteral(" Picture size ")));
        pToolBar->addWidget(pBox);
    }
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&](QPrinter* pPrinter) { fnPrint(*pPrinter, ChosenSize(pBox)); });
    auto* pPages = preview.findChild<QPrintPreviewWidget*>();
    QObject::connect(pBox, &QComboBox::currentIndexChanged, &preview, [pPages] {
        if (pPages)
            pPages->updatePreview();
    });
    // Large enough, and the page as wide as the window, that the picture
    // shows at about its size on the screen: readable at once.
    if (const QScreen* pScreen = QGuiApplication::primaryScreen())
        preview.resize(pScreen->availableSize() * 0.8);
    if (pPages)
        pPages->fitToWidth();
    preview.exec();
    size = ChosenSize(pBox);
}
