#include "app/MainFrame.h"

#include "app/AboutDlg.h"
#include "app/DesignEditor.h"
#include "app/InputPulse.h"
#include "app/PrintDialogs.h"
#include "app/RecentFileList.h"
#include "app/Resources.h"
#include "doc/TabulonDoc.h"
#include "io/SolutionText.h"
#include "model/PuzzleFormats.h"
#include "render/PictureExport.h"
#include "render/TabulonView.h"
#include "render/TabulonView2.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QSplitter>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

const QString kReady = QStringLiteral("Ready");

// The commands a running solve disables: they would change or replace the
// puzzle under it, or open a dialog over a solve on the window's thread.
// clang-format off
constexpr Command kChangingCommands[] = {
    Command::New,           Command::Open,          Command::Save,           Command::SaveSolutionAs,
    Command::SaveAsBmp,     Command::SaveAllAsBmp,  Command::ExportPicture,  Command::Solve,
    Command::Print,         Command::PrintPreview,  Command::PrintSetup,     Command::About,
    Command::SolveCompletely, Command::CheckUniqueness, Command::NewPuzzle, Command::ImportPicture,
    Command::Options,       Command::RatePuzzle};
// clang-format on

// Swallows tooltips: the Solve button has none.
class CNoToolTip : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* pEvent) override { return pEvent->type() == QEvent::ToolTip; }
};

QIcon ToolbarIcon(const char* pszName) {
    // The @2x file next to each image keeps the buttons crisp at 200 %.
    return QIcon(QStringLiteral(":/toolbar/%1.png").arg(QLatin1String(pszName)));
}

} // namespace

CMainFrame::CMainFrame(CTabulonDoc& doc, CRecentFileList& recentFiles, QSettings& settings)
    : m_doc(doc), m_recentFiles(recentFiles), m_settings(settings) {
    EnsureResources();
    m_doc.SetPorts(DocPorts{&m_clock, this, &m_wait, this});
    m_settings.RestoreDocument(m_doc);
    m_printSize = m_settings.PictureSize();
    setWindowIcon(QIcon(QStringLiteral(":/icons/tabulon.png")));
    resize(600, 510);

    m_pSplitter = new QSplitter(Qt::Horizontal, this);
    m_pSplitter->setObjectName(QStringLiteral("splitter"));
    m_pFormView = new CTabulonView(m_doc, m_pSplitter);
    m_pGridView = new CTabulonView2(m_doc, m_pSplitter);
    m_pSplitter->addWidget(m_pFormView);
    m_pSplitter->addWidget(m_pGridView);
    m_pSplitter->setStretchFactor(1, 1);
    m_pSplitter->setSizes({150, 450});
    setCentralWidget(m_pSplitter);
    m_doc.AddView(m_pFormView);
    m_doc.AddView(m_pGridView);

    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    RestoreWindow();
    setAcceptDrops(true);
    m_pGridView->setFocus(); // the grid view is the active view
    // A search in the window has the machine to itself: every core on it.
    m_doc.SetSearchThreads(static_cast<unsigned>(std::max(1, QThread::idealThreadCount())));

    connect(m_pGridView, &CTabulonView2::zoomChanged, this, &CMainFrame::ShowZoom);
    connect(m_pFormView, &CTabulonView::settingsApplied, this, [this] { m_settings.SaveDocument(m_doc); });
    connect(&m_worker, &CWorkerThread::progress, this,
            [this](const std::vector<CellState>& cells) { m_doc.ShowCompleteProgress(cells); });
    connect(&m_worker, &CWorkerThread::finished, this, &CMainFrame::OnWorkerEnded);
    // Leaving a menu or a button takes its prompt away: the pane says
    // "Ready" again, or what is running.
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& strMessage) {
        if (strMessage.isEmpty())
            m_pStatusPane->setText(m_bSolving ? m_strWhileSolving : IdleStatus());
    });
}

CMainFrame::~CMainFrame() {
    delete m_pEditor; // first: its undo stack and check would call back into the window going away
    m_pEditor = nullptr;
    if (m_worker.IsRunning()) { // the application is quitting in the middle of a search
        m_doc.RequestStop();
        m_worker.Wait();
    }
    m_doc.RemoveView(m_pFormView);
    m_doc.RemoveView(m_pGridView);
    m_doc.SetPicture(nullptr);
    m_doc.SetPorts(DocPorts{});
}

// The window as the user left it last time; the first run keeps the
// defaults (600 x 510, the form 150 pixels wide, 100 %).
void CMainFrame::RestoreWindow() {
    if (const QByteArray geometry = m_settings.Geometry(); !geometry.isEmpty())
        restoreGeometry(geometry);
    if (const QByteArray state = m_settings.State(); !state.isEmpty())
        restoreState(state);
    if (const QByteArray splitter = m_settings.Splitter(); !splitter.isEmpty())
        m_pSplitter->restoreState(splitter);
    if (m_settings.Fitting())
        m_pGridView->FitToWindow();
    else
        m_pGridView->SetZoom(m_settings.Zoom());
    ShowZoom(m_pGridView->GetZoom());
    ActionFor(Command::ToggleToolBar)->setChecked(!findChild<QToolBar*>(QStringLiteral("toolbar"))->isHidden());
    ActionFor(Command::ToggleStatusBar)->setChecked(!statusBar()->isHidden());
}

void CMainFrame::SaveWindow() {
    m_settings.SaveWindow(saveGeometry(), saveState(), m_pSplitter->saveState());
}

QAction* CMainFrame::MakeAction(Command command) {
    const CommandText& text = TextOf(command);
    auto* pAction = new QAction(QString::fromUtf8(text.pszMenuText), this);
    if (text.alternate.isEmpty())
        pAction->setShortcut(text.shortcut);
    else
        pAction->setShortcuts({text.shortcut, text.alternate});
    pAction->setStatusTip(QString::fromUtf8(text.pszPrompt));
    pAction->setToolTip(QString::fromUtf8(text.pszTooltip));
    m_actions.insert(command, pAction);
    return pAction;
}

void CMainFrame::BuildMenus() {
    auto docCommand = [this](Command command, void (CTabulonDoc::*pfnCommand)()) {
        connect(MakeAction(command), &QAction::triggered, this, [this, pfnCommand] { RunDocumentCommand(pfnCommand); });
    };
    // New has no menu item: only its shortcut reaches it.
    addAction(MakeAction(Command::New));
    connect(ActionFor(Command::New), &QAction::triggered, this, [this] { NewFile(); });
    connect(MakeAction(Command::Open), &QAction::triggered, this, &CMainFrame::OnFileOpen);
    connect(MakeAction(Command::Save), &QAction::triggered, this, &CMainFrame::OnSave);
    connect(MakeAction(Command::NewPuzzle), &QAction::triggered, this, &CMainFrame::OnNewPuzzle);
    connect(MakeAction(Command::ImportPicture), &QAction::triggered, this, &CMainFrame::OnImportPicture);
    connect(MakeAction(Command::SavePuzzleAs), &QAction::triggered, this, &CMainFrame::OnSavePuzzleAs);
    connect(MakeAction(Command::SaveSolutionAs), &QAction::triggered, this, &CMainFrame::OnSaveSolutionAs);
    docCommand(Command::SaveAsBmp, &CTabulonDoc::OnSaveAsBmp);
    docCommand(Command::SaveAllAsBmp, &CTabulonDoc::OnSaveAllAsBmp);
    connect(MakeAction(Command::ExportPicture), &QAction::triggered, this, &CMainFrame::OnExportPicture);
    connect(MakeAction(Command::Solve), &QAction::triggered, this, &CMainFrame::OnSolve);
    connect(MakeAction(Command::Print), &QAction::triggered, this, &CMainFrame::OnFilePrint);
    connect(MakeAction(Command::PrintPreview), &QAction::triggered, this, &CMainFrame::OnFilePrintPreview);
    connect(MakeAction(Command::PrintSetup), &QAction::triggered, this, &CMainFrame::OnFilePrintSetup);
    connect(MakeAction(Command::Exit), &QAction::triggered, this, &QWidget::close);
    connect(MakeAction(Command::About), &QAction::triggered, this, &CMainFrame::OnAppAbout);
    connect(MakeAction(Command::Copy), &QAction::triggered, this, &CMainFrame::CopyToClipboard);
    for (Command command : {Command::NextPane, Command::PreviousPane}) {
        addAction(MakeAction(command));
        connect(ActionFor(command), &QAction::triggered, this, &CMainFrame::SwitchPane);
    }

    m_pFileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    for (Command command :
         {Command::NewPuzzle, Command::Open, Command::ImportPicture, Command::Save, Command::SavePuzzleAs,
          Command::SaveSolutionAs, Command::SaveAsBmp, Command::SaveAllAsBmp, Command::ExportPicture, Command::Solve})
        m_pFileMenu->addAction(ActionFor(command));
    m_pFileMenu->addSeparator();
    for (Command command : {Command::Print, Command::PrintPreview, Command::PrintSetup})
        m_pFileMenu->addAction(ActionFor(command));
    m_pFileMenu->addSeparator();
    m_pRecentSeparator = m_pFileMenu->addSeparator();
    m_pFileMenu->addAction(ActionFor(Command::Exit));
    RebuildRecentFiles();

    QMenu* pEditMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
    pEditMenu->addAction(ActionFor(Command::Copy));

    QMenu* pViewMenu = menuBar()->addMenu(QStringLiteral("&View"));
    for (Command command : {Command::ToggleToolBar, Command::ToggleStatusBar}) {
        QAction* pAction = MakeAction(command);
        pAction->setCheckable(true);
        pAction->setChecked(true);
        pViewMenu->addAction(pAction);
    }
    connect(ActionFor(Command::ToggleStatusBar), &QAction::toggled, this,
            [this](bool bShown) { statusBar()->setVisible(bShown); });
    pViewMenu->addSeparator();
    const std::pair<Command, void (CTabulonView2::*)()> zooms[] = {{Command::ZoomIn, &CTabulonView2::ZoomIn},
                                                                   {Command::ZoomOut, &CTabulonView2::ZoomOut},
                                                                   {Command::ActualSize, &CTabulonView2::ActualSize},
                                                                   {Command::FitToWindow, &CTabulonView2::FitToWindow}};
    for (const auto& [command, pfnZoom] : zooms) {
        connect(MakeAction(command), &QAction::triggered, m_pGridView, pfnZoom);
        pViewMenu->addAction(ActionFor(command));
    }

    // Solving beyond line logic: a menu of its own, after the menus Tabulon
    // always had.
    QMenu* pToolsMenu = menuBar()->addMenu(QStringLiteral("&Tools"));
    connect(MakeAction(Command::SolveCompletely), &QAction::triggered, this, &CMainFrame::OnSolveCompletely);
    connect(MakeAction(Command::CheckUniqueness), &QAction::triggered, this, &CMainFrame::OnCheckUniqueness);
    connect(MakeAction(Command::Stop), &QAction::triggered, this, &CMainFrame::OnStop);
    connect(MakeAction(Command::ShowOtherSolution), &QAction::triggered, this, &CMainFrame::OnShowOtherSolution);
    ActionFor(Command::ShowOtherSolution)->setEnabled(false); // until a search finds two solutions
    ActionFor(Command::Stop)->setEnabled(false);              // until a solve runs
    pToolsMenu->addAction(ActionFor(Command::SolveCompletely));
    pToolsMenu->addAction(ActionFor(Command::CheckUniqueness));
    pToolsMenu->addAction(ActionFor(Command::Stop));
    pToolsMenu->addSeparator();
    pToolsMenu->addAction(ActionFor(Command::ShowOtherSolution));
    BuildDesignMenus(pEditMenu, pToolsMenu);

    menuBar()->addMenu(QStringLiteral("&Help"))->addAction(ActionFor(Command::About));
}

void CMainFrame::BuildToolBar() {
    QToolBar* pToolBar = addToolBar(QStringLiteral("Toolbar"));
    pToolBar->setObjectName(QStringLiteral("toolbar"));
    pToolBar->setIconSize(QSize(16, 15));
    pToolBar->setMovable(true);
    pToolBar->setFloatable(true);
    const std::pair<Command, const char*> buttons[] = {{Command::Open, "open"},   {Command::Save, "save"},
                                                       {Command::Solve, "solve"}, {Command::PrintPreview, "preview"},
                                                       {Command::Print, "print"}, {Command::About, "about"}};
    for (const auto& [command, pszImage] : buttons) {
        ActionFor(command)->setIcon(ToolbarIcon(pszImage));
        pToolBar->addAction(ActionFor(command));
        if (command == Command::Solve || command == Command::Print)
            pToolBar->addSeparator();
    }
    pToolBar->widgetForAction(ActionFor(Command::Solve))->installEventFilter(new CNoToolTip(this));
    // The View menu's item shows and hides the toolbar and follows it when
    // the user closes a floating toolbar.
    QAction* pToggle = ActionFor(Command::ToggleToolBar);
    connect(pToggle, &QAction::toggled, pToolBar, &QToolBar::setVisible);
    connect(pToolBar, &QToolBar::visibilityChanged, pToggle, [pToggle, pToolBar] {
        if (!pToolBar->isHidden() != pToggle->isChecked())
            pToggle->setChecked(!pToolBar->isHidden());
    });
}

void CMainFrame::BuildStatusBar() {
    m_pStatusPane = new QLabel(kReady, this);
    statusBar()->addWidget(m_pStatusPane, 1);
    m_pZoomPane = new QLabel(this);
    m_pZoomPane->setObjectName(QStringLiteral("zoom"));
    m_pZoomPane->setToolTip(QStringLiteral("Zoom"));
    statusBar()->addPermanentWidget(m_pZoomPane);
    // Qt does not tell the lock states on every platform: the indicators stay greyed.
    for (const char* pszIndicator : {"CAP", "NUM", "SCRL"}) {
        auto* pLabel = new QLabel(QString::fromLatin1(pszIndicator), this);
        pLabel->setObjectName(QString::fromLatin1(pszIndicator));
        pLabel->setEnabled(false);
        pLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar()->addPermanentWidget(pLabel);
    }
}

void CMainFrame::RebuildRecentFiles() {
    for (QAction* pAction : m_recentActions) {
        m_pFileMenu->removeAction(pAction);
        pAction->deleteLater();
    }
    m_recentActions.clear();
    const QStringList& files = m_recentFiles.Files();
    if (files.isEmpty()) {
        auto* pPlaceholder = new QAction(QStringLiteral("Recent File"), this);
        pPlaceholder->setEnabled(false);
        m_recentActions.append(pPlaceholder);
    }
    for (int i = 0; i < files.size(); ++i) {
        const QString strPath = files[i];
        auto* pAction = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(strPath)), this);
        pAction->setStatusTip(QString::fromUtf8(kRecentFilePrompt));
        pAction->setEnabled(!m_bSolving);
        connect(pAction, &QAction::triggered, this, [this, strPath] { OpenFile(strPath); });
        m_recentActions.append(pAction);
    }
    m_pFileMenu->insertActions(m_pRecentSeparator, m_recentActions);
}

// After New and Open: a design that was open is gone with its editing.
void CMainFrame::InitialUpdate() {
    m_pFormView->OnUpdate(0);
    m_pGridView->OnInitialUpdate();
    m_pStatusPane->setText(kReady);
    if (!m_doc.IsDesigning()) {
        m_pEditor->End();
        m_pGridView->SetDesignInput(false);
        setWindowModified(false);
        for (Command command : {Command::Solve, Command::SolveCompletely, Command::CheckUniqueness})
            ActionFor(command)->setEnabled(!m_bSolving);
    }
    ActionFor(Command::ShowOtherSolution)->setEnabled(m_doc.CanShowOtherSolution());
    UpdateDesignCommands();
}

bool CMainFrame::NewFile() {
    if (m_bSolving || !MayCloseDesign())
        return false;
    m_doc.FileNew();
    InitialUpdate();
    return true;
}

bool CMainFrame::OpenFile(const QString& strPath) {
    if (m_bSolving) {
        m_pendingOpens.append(strPath);
        return false;
    }
    if (!MayCloseDesign())
        return false;
    const QString strFull = QFileInfo(strPath).absoluteFilePath();
    m_pStatusPane->setText(kReady); // the last solve's outcome is not this file's
    if (!m_doc.FileOpen(strFull.toStdString())) {
        m_recentFiles.Remove(strFull);
        RebuildRecentFiles();
        return false;
    }
    InitialUpdate();
    if (const int nPuzzles = m_doc.GetPuzzle()->GetExtras().nPuzzlesInFile; nPuzzles > 1)
        m_pStatusPane->setText(
            QStringLiteral("%1 holds %2 puzzles; opened the first.").arg(QFileInfo(strFull).fileName()).arg(nPuzzles));
    // A file the reader refused opens as an empty puzzle, but is no file to
    // come back to.
    if (m_doc.GetPuzzle()->GetLoadError().empty())
        m_recentFiles.Add(strFull);
    else
        m_recentFiles.Remove(strFull);
    RebuildRecentFiles();
    return true;
}

void CMainFrame::RequestOpen(const QString& strPath) {
    // A message box runs an event loop of its own, and the code that showed
    // it goes on when it closes, with the document it had: a request that
    // comes meanwhile waits, as it waits for a solve.
    if (m_nMessageBoxes > 0)
        m_pendingOpens.append(strPath);
    else
        OpenFile(strPath);
    raise();
    activateWindow();
}

// The newest request that had to wait, once nothing holds it back.
void CMainFrame::OpenPending() {
    if (m_bSolving || m_nMessageBoxes > 0 || m_pendingOpens.isEmpty())
        return;
    const QStringList pending = std::exchange(m_pendingOpens, {});
    OpenFile(pending.last());
}

void CMainFrame::OnFileOpen() {
    if (m_bSolving)
        return;
    QStringList patterns;
    for (const FormatExtension& extension : kFormatExtensions)
        patterns.append(QStringLiteral("*") + QString::fromLatin1(extension.pszExtension));
    const QString strPath = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open"), QString(),
        QStringLiteral("Tabulon Files (*.tb);;All puzzle files (%1);;All Files (*)").arg(patterns.join(' ')));
    if (!strPath.isEmpty())
        OpenFile(strPath);
}

// Solve runs here, on the window's thread: the document repaints the grid
// at its throttle, and between two lines lets the window handle its input
// whenever the pulse asks for it, so Esc and closing work at any Up-Time.
// Requests to open or close that come meanwhile are carried out when it ends.
void CMainFrame::OnSolve() {
    if (m_bSolving)
        return;
    BeginSolving(QStringLiteral("Solving. Press Esc to stop."));
    {
        CInputPulse pulse(m_doc, std::chrono::milliseconds(kInputIntervalMs));
        m_doc.OnSolve();
    }
    EndSolving();
}

// A search may run for long: it runs on the worker, and the status bar says
// how to end it.
void CMainFrame::OnSolveCompletely() {
    StartCompleteSolve(1, QStringLiteral("Solving completely. Press Esc to stop."));
}
void CMainFrame::OnCheckUniqueness() {
    StartCompleteSolve(2, QStringLiteral("Checking uniqueness. Press Esc to stop."));
}

void CMainFrame::StartCompleteSolve(uint64_t nMaxSolutions, const QString& strWhileSolving) {
    if (m_bSolving)
        return;
    BeginSolving(strWhileSolving);
    m_pJob = m_doc.BeginSolveCompletely(nMaxSolutions);
    if (!m_pJob) { // nothing to search: the document has said why
        OnCompleteSolveEnded();
        return;
    }
    CCompleteSolveJob* pJob = m_pJob.get();
    m_worker.Start(
        [this, pJob] { pJob->Run([this](const std::vector<CellState>& cells) { m_worker.PostProgress(cells); }); });
}

void CMainFrame::OnWorkerEnded() {
    if (m_pRatingJob)
        OnRatingEnded();
    else
        OnCompleteSolveEnded();
}

// Rate Puzzle: the rating of the clues, on the worker; the grid and the
// caption stay as they are, the status bar says how hard the puzzle is.
void CMainFrame::OnRatePuzzle() {
    if (m_bSolving)
        return;
    m_pRatingJob = m_doc.BeginRating();
    if (!m_pRatingJob)
        return;
    BeginSolving(QStringLiteral("Rating the puzzle. Press Esc to stop."));
    m_worker.Start([this] { m_rating = m_pRatingJob->Run(); });
}

void CMainFrame::OnRatingEnded() {
    m_pRatingJob.reset();
    EndSolving();
    m_pStatusPane->setText(QString::fromStdString(CTabulonDoc::RatingStatus(m_rating)));
}

void CMainFrame::OnCompleteSolveEnded() {
    m_doc.FinishSolveCompletely(m_pJob.get());
    m_pJob.reset();
    EndSolving();
    if (!std::exchange(m_bDesignAfterSolve, false) || !m_doc.GetPuzzle())
        return;
    CPuzzleFile& puzzle = *m_doc.GetPuzzle();
    if (puzzle.SatisfiesAllClues())
        EnterDesign(CDesign::FromCells(puzzle.GetHeight(), puzzle.GetWidth(), puzzle.GetCells()), false);
    else
        ShowMessage(MessageKind::Error,
                    "There is no picture to edit: " + m_doc.GetSolveStatus() +
                        (m_doc.GetCompleteResult().outcome == CCompleteSolver::Outcome::Stopped
                             ? " Edit Picture needs a solution."
                             : ""),
                    "Tabulon");
}

void CMainFrame::OnStop() {
    if (m_bSolving)
        m_doc.RequestStop();
}

void CMainFrame::OnShowOtherSolution() {
    if (m_bSolving)
        return;
    m_doc.OnShowOtherSolution();
    m_pStatusPane->setText(QString::fromStdString(m_doc.GetSolveStatus()));
}

// While a solve runs, only what leaves the puzzle alone stays enabled:
// looking (zoom, scrolling, the bars), Copy, Stop and Exit (which stops first).
void CMainFrame::BeginSolving(const QString& strWhileSolving) {
    m_bSolving = true;
    m_strWhileSolving = strWhileSolving;
    for (Command command : kChangingCommands)
        ActionFor(command)->setEnabled(false);
    ActionFor(Command::ShowOtherSolution)->setEnabled(false);
    for (QAction* pAction : m_recentActions)
        pAction->setEnabled(false);
    ActionFor(Command::Stop)->setEnabled(true);
    m_pEscape = std::make_unique<CEscapeStopsSolve>(m_doc);
    m_pFormView->SetApplyEnabled(false);
    UpdateDesignCommands();
    m_pStatusPane->setText(strWhileSolving);
}

void CMainFrame::EndSolving() {
    m_bSolving = false;
    for (Command command : kChangingCommands)
        ActionFor(command)->setEnabled(true);
    RebuildRecentFiles();
    ActionFor(Command::Stop)->setEnabled(false);
    m_pEscape.reset();
    ActionFor(Command::ShowOtherSolution)->setEnabled(m_doc.CanShowOtherSolution());
    m_pFormView->SetApplyEnabled(true);
    m_pStatusPane->setText(QString::fromStdString(m_doc.GetSolveStatus()));
    UpdateDesignCommands();
    if (m_bCloseAfterSolve) {
        close();
        return;
    }
    OpenPending();
}

void CMainFrame::RunDocumentCommand(void (CTabulonDoc::*pfnCommand)()) {
    if (!m_bSolving)
        (m_doc.*pfnCommand)();
}

QPrinter& CMainFrame::Printer() {
    if (!m_pPrinter)
        m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_pPrinter;
}

void CMainFrame::SetPrintSize(PrintSize size) {
    m_printSize = size;
    m_settings.SavePictureSize(size);
}

// Printing always prints the grid view, whichever pane has the focus, at
// the picture size chosen in the print dialog or the preview.
void CMainFrame::OnFilePrint() {
    if (m_bSolving)
        return;
    const CGridRenderer* pRenderer = m_pGridView->GetRenderer();
    PrintSize size = m_printSize;
    if (!ExecPrintDialog(this, Printer(), size, pRenderer ? pRenderer->GetImage().size() : QSize()))
        return;
    SetPrintSize(size);
    m_pGridView->Print(Printer(), size);
}

void CMainFrame::OnFilePrintPreview() {
    if (m_bSolving)
        return;
    PrintSize size = m_printSize;
    ExecPrintPreview(this, Printer(), size,
                     [this](QPrinter& printer, PrintSize chosen) { m_pGridView->Print(printer, chosen); });
    SetPrintSize(size);
}

void CMainFrame::OnFilePrintSetup() {
    if (m_bSolving)
        return;
    QPageSetupDialog dialog(&Printer(), this);
    dialog.exec();
}

void CMainFrame::OnAppAbout() {
    if (m_bSolving)
        return;
    CAboutDlg dialog(this);
    dialog.exec();
}

void CMainFrame::SwitchPane() {
    if (m_pFormView->isAncestorOf(QApplication::focusWidget()))
        m_pGridView->setFocus(Qt::ShortcutFocusReason);
    else
        m_pFormView->CellXEdit()->setFocus(Qt::ShortcutFocusReason);
}

void CMainFrame::OnTitleChanged(const std::string& strTitle) {
    // "[*]" would be read as the modified-mark placeholder; doubled it is text.
    QString title = QString::fromStdString(strTitle);
    title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    // A design marks unsaved changes with the platform's sign after its name.
    const QString strMark = m_doc.IsDesigning() ? QStringLiteral("[*]") : QString();
    setWindowTitle(title + strMark + QStringLiteral(" - ") + QString::fromLatin1(kAppTitle));
}

void CMainFrame::ShowMessage(MessageKind kind, const std::string& strText, const std::string& strCaption) {
    QMessageBox box(kind == MessageKind::Error ? QMessageBox::Warning : QMessageBox::Information,
                    QString::fromStdString(strCaption), QString::fromStdString(strText), QMessageBox::Ok, this);
    ++m_nMessageBoxes;
    box.exec();
    --m_nMessageBoxes;
    if (m_nMessageBoxes == 0 && !m_pendingOpens.isEmpty())
        QTimer::singleShot(0, this, &CMainFrame::OpenPending); // once the code that showed the box is done
}

void CMainFrame::closeEvent(QCloseEvent* pEvent) {
    if (!m_bSolving && !MayCloseDesign()) {
        pEvent->ignore();
        return;
    }
    if (m_bSolving) {
        // The solve stops at its next line (or the search at its next step)
        // and the window closes then; nothing runs on a closed window.
        m_bCloseAfterSolve = true;
        m_doc.RequestStop();
        pEvent->ignore();
        return;
    }
    SaveWindow();
    pEvent->accept();
}

void CMainFrame::ShowZoom(double dZoom) {
    m_pZoomPane->setText(QStringLiteral("%1%").arg(qRound(dZoom * 100)));
    m_settings.SaveZoom(dZoom, m_pGridView->IsFitting());
}

// Where the file dialogs of Export and Save As start: the clue file's folder.
QString CMainFrame::PictureFolder() const {
    return QFileInfo(QString::fromStdString(m_doc.GetPathName())).absolutePath();
}

void CMainFrame::OnExportPicture() {
    if (m_bSolving || !m_doc.GetPuzzle() || m_doc.GetPathName().empty())
        return;
    static const QString kCells = QStringLiteral("BMP, one pixel per cell (*.bmp)");
    const QString strFilters = QStringLiteral("PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf);;"
                                              "BMP picture (*.bmp);;") +
                               kCells;
    const QString strStart = PictureFolder() + QLatin1Char('/') +
                             QFileInfo(QString::fromStdString(m_doc.GetPathName())).completeBaseName() +
                             QStringLiteral(".png");
    QString strFilter;
    QString strPath =
        QFileDialog::getSaveFileName(this, QStringLiteral("Export Picture"), strStart, strFilters, &strFilter);
    if (strPath.isEmpty())
        return;
    // A name without a picture extension takes the chosen type's.
    if (!PictureFormatOf(strPath.toStdString()))
        strPath += strFilter.mid(strFilter.indexOf(QLatin1String("*.")) + 1, 4);
    ExportPictureTo(strPath, strFilter == kCells);
}

bool CMainFrame::ExportPictureTo(const QString& strPath, bool bCells) {
    const std::string strName = strPath.toStdString();
    const std::optional<PictureFormat> format = PictureFormatOf(strName);
    if (!m_doc.GetPuzzle() || !m_pGridView->GetRenderer() || !format)
        return false;
    if (bCells) {
        m_doc.SaveCellBitmapTo(strName);
        return true;
    }
    const SaveResult result = ExportPicture(*m_pGridView->GetRenderer(), strName, *format);
    m_doc.ReportSave(result, strName, "Saved.");
    return result.bOk;
}

void CMainFrame::OnSaveSolutionAs() {
    if (m_bSolving || !m_doc.GetPuzzle())
        return;
    const QString strPath = QFileDialog::getSaveFileName(this, QStringLiteral("Save Solution As"),
                                                         QString::fromStdString(m_doc.GetPathName() + "r"),
                                                         QStringLiteral("Solution text (*.tbr);;All Files (*)"));
    if (!strPath.isEmpty())
        m_doc.SaveSolutionTo(strPath.toStdString());
}

void CMainFrame::CopyToClipboard() {
    const CGridRenderer* pRenderer = m_pGridView->GetRenderer();
    if (!m_doc.GetPuzzle() || !pRenderer || !pRenderer->IsLaidOut())
        return;
    auto* pData = new QMimeData;
    pData->setImageData(pRenderer->GetImage());
    pData->setText(QString::fromStdString(FormatSolutionText(*m_doc.GetPuzzle())));
    QApplication::clipboard()->setMimeData(pData);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* pEvent) {
    const QList<QUrl> urls = pEvent->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile())
        pEvent->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* pEvent) {
    const QList<QUrl> urls = pEvent->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    pEvent->acceptProposedAction();
    RequestOpen(urls.first().toLocalFile());
}
