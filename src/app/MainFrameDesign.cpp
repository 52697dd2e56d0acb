// The main window's design mode: New Puzzle, Edit Picture, the editing
// commands, saving a design, and the live check's verdict.

#include "app/DesignEditor.h"
#include "app/MainFrame.h"
#include "app/RecentFileList.h"
#include "doc/TabulonDoc.h"
#include "render/PictureImport.h"
#include "render/TabulonView.h"
#include "render/TabulonView2.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QSpinBox>

namespace {

constexpr Command kDesignCommands[] = {Command::SavePuzzleAs,  Command::ResizePicture, Command::ClearPicture,
                                       Command::InvertPicture, Command::ShiftUp,       Command::ShiftDown,
                                       Command::ShiftLeft,     Command::ShiftRight};
// Solving the design's clues waits until design mode ends: the grid is the picture.
constexpr Command kSolvingCommands[] = {Command::Solve, Command::SolveCompletely, Command::CheckUniqueness,
                                        Command::ShowOtherSolution};

QSpinBox* SideBox(int nValue, int nMinimum) {
    auto* pBox = new QSpinBox;
    pBox->setRange(nMinimum, CDesign::kMaxSide);
    pBox->setValue(nValue);
    return pBox;
}

// The small dialogs' last row: OK accepts, Cancel rejects.
void AddOkAndCancel(QDialog& dialog, QFormLayout& layout) {
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(pButtons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(pButtons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout.addRow(pButtons);
}

} // namespace

void CMainFrame::BuildDesignMenus(QMenu* pEditMenu, QMenu* pToolsMenu) {
    m_pEditor = new CDesignEditor(m_doc, this);
    QAction* pUndo = MakeAction(Command::Undo);
    QAction* pRedo = MakeAction(Command::Redo);
    connect(pUndo, &QAction::triggered, &m_pEditor->UndoStack(), &QUndoStack::undo);
    connect(pRedo, &QAction::triggered, &m_pEditor->UndoStack(), &QUndoStack::redo);
    connect(&m_pEditor->UndoStack(), &QUndoStack::canUndoChanged, this, [this] { UpdateDesignCommands(); });
    connect(&m_pEditor->UndoStack(), &QUndoStack::canRedoChanged, this, [this] { UpdateDesignCommands(); });
    connect(&m_pEditor->UndoStack(), &QUndoStack::cleanChanged, this, [this](bool bClean) {
        m_doc.SetModified(!(bClean && m_bCleanIsSaved));
        setWindowModified(m_doc.IsModified());
    });
    pEditMenu->insertActions(pEditMenu->actions().value(0), {pUndo, pRedo});
    pEditMenu->insertSeparator(pEditMenu->actions().value(2));
    pEditMenu->addSeparator();
    connect(MakeAction(Command::ResizePicture), &QAction::triggered, this, [this] {
        const CDesign* pDesign = m_doc.GetDesign();
        if (!pDesign)
            return;
        QDialog dialog(this);
        dialog.setWindowTitle(QStringLiteral("Resize Picture"));
        auto* pLayout = new QFormLayout(&dialog);
        pLayout->addRow(new QLabel(QStringLiteral("Rows and columns to add (negative: to remove) at each side:")));
        QSpinBox* pBoxes[4];
        const char* pszSides[] = {"&Top:", "&Bottom:", "&Left:", "&Right:"};
        for (int i = 0; i < 4; ++i) {
            pBoxes[i] = new QSpinBox;
            pBoxes[i]->setRange(-CDesign::kMaxSide, CDesign::kMaxSide);
            pLayout->addRow(QString::fromLatin1(pszSides[i]), pBoxes[i]);
        }
        AddOkAndCancel(dialog, *pLayout);
        if (dialog.exec() != QDialog::Accepted)
            return;
        if (!m_pEditor->Resize(pBoxes[0]->value(), pBoxes[1]->value(), pBoxes[2]->value(), pBoxes[3]->value()))
            QMessageBox::warning(
                this, QStringLiteral("Resize Picture"),
                QStringLiteral("A picture keeps at least one and at most %1 rows and columns.").arg(CDesign::kMaxSide));
    });
    connect(MakeAction(Command::ClearPicture), &QAction::triggered, m_pEditor, &CDesignEditor::Clear);
    connect(MakeAction(Command::InvertPicture), &QAction::triggered, m_pEditor, &CDesignEditor::Invert);
    const std::pair<Command, QPoint> shifts[] = {{Command::ShiftUp, {0, -1}},
                                                 {Command::ShiftDown, {0, 1}},
                                                 {Command::ShiftLeft, {-1, 0}},
                                                 {Command::ShiftRight, {1, 0}}};
    for (Command command : {Command::ResizePicture, Command::ClearPicture, Command::InvertPicture})
        pEditMenu->addAction(ActionFor(command));
    QMenu* pShift = pEditMenu->addMenu(QStringLiteral("S&hift Picture"));
    for (const auto& shift : shifts) {
        const QPoint step = shift.second;
        connect(MakeAction(shift.first), &QAction::triggered, this, [this, step] { m_pEditor->Shift(step.y(), step.x()); });
        pShift->addAction(ActionFor(shift.first));
    }

    QAction* pEdit = MakeAction(Command::EditPicture);
    pEdit->setCheckable(true);
    connect(pEdit, &QAction::triggered, this, &CMainFrame::OnEditPicture);
    connect(MakeAction(Command::RatePuzzle), &QAction::triggered, this, &CMainFrame::OnRatePuzzle);
    connect(MakeAction(Command::Options), &QAction::triggered, this, &CMainFrame::OnOptions);
    pToolsMenu->addSeparator();
    pToolsMenu->addAction(pEdit);
    pToolsMenu->addAction(ActionFor(Command::RatePuzzle));
    pToolsMenu->addSeparator();
    pToolsMenu->addAction(ActionFor(Command::Options));

    connect(m_pGridView, &CTabulonView2::cellsDrawn, m_pEditor, &CDesignEditor::DrawCells);
    connect(m_pGridView, &CTabulonView2::strokeEnded, m_pEditor, &CDesignEditor::EndStroke);
    connect(m_pEditor, &CDesignEditor::designChanged, this, [this] {
        setWindowModified(m_doc.IsModified());
        ShowVerdict(m_doc.GetDesignVerdict());
    });
    connect(m_pEditor, &CDesignEditor::verdictChanged, this, &CMainFrame::ShowVerdict);
    m_pEditor->SetCheckLimit(m_settings.CheckSeconds() * 1000);
    UpdateDesignCommands();
}

void CMainFrame::UpdateDesignCommands() {
    const bool bDesigning = m_doc.IsDesigning();
    for (Command command : kDesignCommands)
        ActionFor(command)->setEnabled(bDesigning && !m_bSolving);
    ActionFor(Command::Undo)->setEnabled(bDesigning && m_pEditor->UndoStack().canUndo());
    ActionFor(Command::Redo)->setEnabled(bDesigning && m_pEditor->UndoStack().canRedo());
    ActionFor(Command::EditPicture)->setChecked(bDesigning);
    ActionFor(Command::EditPicture)->setEnabled(!m_bSolving && m_doc.GetPuzzle());
    if (bDesigning)
        for (Command command : kSolvingCommands)
            ActionFor(command)->setEnabled(false);
}

QString CMainFrame::IdleStatus() const {
    if (!m_doc.IsDesigning())
        return QStringLiteral("Ready");
    return QString::fromLatin1(VerdictText(m_doc.GetDesignVerdict().kind));
}

void CMainFrame::ShowVerdict(const DesignVerdict& verdict) {
    if (!m_doc.IsDesigning())
        return;
    QString strText = QString::fromLatin1(VerdictText(verdict.kind));
    if (verdict.rating.ratingClass != RatingClass::Unknown)
        strText += QStringLiteral(" (rating: %1)").arg(QString::fromStdString(FormatRating(verdict.rating)));
    if (verdict.kind == DesignVerdict::Kind::NotUnique)
        strText += QStringLiteral(": the red frames mark where two solutions differ");
    else if (verdict.kind == DesignVerdict::Kind::Stopped)
        strText += QStringLiteral(" after %1 s (Tools > Options)").arg(m_pEditor->GetCheckLimit() / 1000);
    if (!m_bSolving)
        m_pStatusPane->setText(strText);
    m_pGridView->viewport()->update();
}

bool CMainFrame::NewDesign(int nRows, int nCols) {
    if (m_bSolving || !MayCloseDesign())
        return false;
    if (nRows < 1 || nCols < 1 || nRows > CDesign::kMaxSide || nCols > CDesign::kMaxSide ||
        int64_t{nRows} * nCols > kDefaultMaxCells) {
        QMessageBox::warning(this, QStringLiteral("New Puzzle"),
                             QStringLiteral("A puzzle of %1 x %2 cells cannot be made: each side takes 1 to %3 cells, "
                                            "and the whole at most %4 cells.")
                                 .arg(nRows)
                                 .arg(nCols)
                                 .arg(CDesign::kMaxSide)
                                 .arg(kDefaultMaxCells));
        return false;
    }
    m_doc.FileNew();
    InitialUpdate();
    EnterDesign(CDesign(nRows, nCols), false);
    return true;
}

void CMainFrame::OnNewPuzzle() {
    if (m_bSolving)
        return;
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("New Puzzle"));
    auto* pLayout = new QFormLayout(&dialog);
    QSpinBox* pRows = SideBox(20, 1);
    QSpinBox* pCols = SideBox(20, 1);
    pLayout->addRow(QStringLiteral("&Rows:"), pRows);
    pLayout->addRow(QStringLiteral("&Columns:"), pCols);
    AddOkAndCancel(dialog, *pLayout);
    if (dialog.exec() == QDialog::Accepted)
        NewDesign(pRows->value(), pCols->value());
}

// Import Picture: an image, the grid's size (40 columns and the image's
// proportions unless changed), the threshold and whether to invert; the
// design opens untitled and unsaved.
void CMainFrame::OnImportPicture() {
    if (m_bSolving || !MayCloseDesign())
        return;
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns.append(QStringLiteral("*.") + QString::fromLatin1(format));
    const QString strPath =
        QFileDialog::getOpenFileName(this, QStringLiteral("Import Picture"), QString(),
                                     QStringLiteral("Images (%1);;All Files (*)").arg(patterns.join(QLatin1Char(' '))));
    if (strPath.isEmpty())
        return;
    const QSize size = QImageReader(strPath).size();
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("Import Picture"));
    auto* pLayout = new QFormLayout(&dialog);
    QSpinBox* pCols = SideBox(40, 1);
    QSpinBox* pRows =
        SideBox(size.isValid() && size.width() > 0 ? std::max(1, qRound(40.0 * size.height() / size.width())) : 40, 1);
    auto* pAuto = new QCheckBox(QStringLiteral("&Automatic (Otsu's method)"));
    pAuto->setChecked(true);
    auto* pThreshold = new QSpinBox;
    pThreshold->setRange(0, 255);
    pThreshold->setValue(128);
    pThreshold->setEnabled(false);
    connect(pAuto, &QCheckBox::toggled, pThreshold, [pThreshold](bool bAuto) { pThreshold->setEnabled(!bAuto); });
    auto* pInvert = new QCheckBox(QStringLiteral("&Fill the light parts instead of the dark ones"));
    pLayout->addRow(QStringLiteral("&Rows:"), pRows);
    pLayout->addRow(QStringLiteral("&Columns:"), pCols);
    pLayout->addRow(QStringLiteral("Threshold:"), pAuto);
    pLayout->addRow(QStringLiteral("&Grey level:"), pThreshold);
    pLayout->addRow(pInvert);
    AddOkAndCancel(dialog, *pLayout);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ImportPictureFrom(
        strPath, {pRows->value(), pCols->value(), pAuto->isChecked() ? -1 : pThreshold->value(), pInvert->isChecked()});
}

bool CMainFrame::ImportPictureFrom(const QString& strPath, const ImportOptions& options) {
    if (int64_t{options.nRows} * options.nCols > kDefaultMaxCells)
        return NewDesign(options.nRows, options.nCols); // says why it cannot be made
    CDesign design;
    std::string strError;
    if (!ImportPicture(strPath, options, design, strError)) {
        ShowMessage(MessageKind::Error, "Cannot import the picture: " + strError + ".", "Tabulon");
        return false;
    }
    m_doc.FileNew();
    InitialUpdate();
    EnterDesign(std::move(design), true);
    return true;
}

// Edit Picture: the puzzle's solution becomes the picture; a puzzle not yet
// solved is solved completely first, on the worker. Again, it ends design
// mode.
void CMainFrame::OnEditPicture() {
    if (m_bSolving)
        return;
    if (m_doc.IsDesigning()) {
        if (MayCloseDesign())
            LeaveDesign();
        UpdateDesignCommands();
        return;
    }
    CPuzzleFile* pPuzzle = m_doc.GetPuzzle();
    if (!pPuzzle) {
        UpdateDesignCommands();
        return;
    }
    if (pPuzzle->SatisfiesAllClues()) {
        EnterDesign(CDesign::FromCells(pPuzzle->GetHeight(), pPuzzle->GetWidth(), pPuzzle->GetCells()), false);
        return;
    }
    m_bDesignAfterSolve = true;
    OnSolveCompletely();
}

void CMainFrame::EnterDesign(CDesign design, bool bModified) {
    m_doc.StartDesign(std::move(design), bModified);
    m_bCleanIsSaved = !bModified;
    setWindowTitle(windowTitle()); // the title takes the modified mark from now on
    OnTitleChanged(m_doc.GetTitle());
    setWindowModified(m_doc.IsModified());
    m_pGridView->SetDesignInput(true);
    m_pEditor->Begin();
    UpdateDesignCommands();
    ShowVerdict(m_doc.GetDesignVerdict());
}

void CMainFrame::LeaveDesign() {
    if (!m_doc.IsDesigning())
        return;
    m_pEditor->End();
    m_doc.EndDesign();
    m_pGridView->SetDesignInput(false);
    setWindowModified(false);
    OnTitleChanged(m_doc.GetTitle());
    for (Command command : kSolvingCommands)
        ActionFor(command)->setEnabled(command != Command::ShowOtherSolution);
    UpdateDesignCommands();
    m_pStatusPane->setText(IdleStatus());
}

bool CMainFrame::MayCloseDesign() {
    if (!m_doc.IsDesigning() || !m_doc.IsModified())
        return true;
    const QString strName = m_doc.GetPathName().empty()
                                ? QStringLiteral("the new puzzle")
                                : QFileInfo(QString::fromStdString(m_doc.GetPathName())).fileName();
    const auto answer =
        QMessageBox::question(this, QStringLiteral("Tabulon"), QStringLiteral("Save the changes to %1?").arg(strName),
                              QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel)
        return false;
    if (answer == QMessageBox::Save) {
        OnSave();
        return !m_doc.IsModified();
    }
    return true;
}

// Save in design mode writes the clues: to the design's own ".tb" file, or
// to a name the user chooses (a new design, or one drawn from another format).
void CMainFrame::OnSave() {
    if (m_bSolving)
        return;
    if (!m_doc.IsDesigning()) {
        m_doc.OnFileSave();
        return;
    }
    const QString strPath = QString::fromStdString(m_doc.GetPathName());
    const std::string strExtension = QFileInfo(strPath).suffix().toLower().toStdString();
    if (strExtension == "tb" || strExtension == "non" || strExtension == "xml")
        SaveDesignTo(strPath);
    else // new, or a layout that keeps no picture: the user names the file
        OnSavePuzzleAs();
}

void CMainFrame::OnSavePuzzleAs() {
    if (m_bSolving || !m_doc.IsDesigning())
        return;
    QString strStart = QString::fromStdString(m_doc.GetPathName());
    strStart = strStart.isEmpty() ? QStringLiteral("untitled.tb")
                                  : QFileInfo(strStart).path() + QLatin1Char('/') +
                                        QFileInfo(strStart).completeBaseName() + QStringLiteral(".tb");
    QString strFilter;
    QString strPath = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save Puzzle As"), strStart,
        QStringLiteral("Tabulon Files (*.tb);;.non, with the picture (*.non);;webpbn XML, with the picture (*.xml)"),
        &strFilter);
    if (strPath.isEmpty())
        return;
    if (QFileInfo(strPath).suffix().isEmpty()) // the chosen type's extension
        strPath += strFilter.mid(strFilter.lastIndexOf(QLatin1String("*.")) + 1).chopped(1);
    SaveDesignTo(strPath);
}

bool CMainFrame::SaveDesignTo(const QString& strPath) {
    const SaveResult result = m_doc.SaveDesign(strPath.toStdString());
    if (!result.bOk) {
        m_doc.ReportSave(result, std::string(), "Tabulon");
        return false;
    }
    m_bCleanIsSaved = true;
    m_pEditor->UndoStack().setClean();
    setWindowModified(false);
    m_recentFiles.Add(QFileInfo(strPath).absoluteFilePath());
    RebuildRecentFiles();
    return true;
}

void CMainFrame::OnOptions() {
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("Options"));
    auto* pLayout = new QFormLayout(&dialog);
    auto* pSeconds = new QSpinBox;
    pSeconds->setRange(1, 3600);
    pSeconds->setSuffix(QStringLiteral(" s"));
    pSeconds->setValue(m_pEditor->GetCheckLimit() / 1000);
    pLayout->addRow(QStringLiteral("Time limit of the live &check:"), pSeconds);
    AddOkAndCancel(dialog, *pLayout);
    if (dialog.exec() == QDialog::Accepted)
        SetCheckSeconds(pSeconds->value());
}

void CMainFrame::SetCheckSeconds(int nSeconds) {
    m_pEditor->SetCheckLimit(nSeconds * 1000);
    m_settings.SaveCheckSeconds(nSeconds);
}
