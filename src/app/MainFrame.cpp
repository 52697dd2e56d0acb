#include "app/MainFrame.h"

#include "app/AboutDlg.h"
#include "app/RecentFileList.h"
#include "app/Resources.h"
#include "doc/TabulonDoc.h"
#include "model/PuzzleFormats.h"
#include "render/TabulonView.h"
#include "render/TabulonView2.h"

#include <QApplication>
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
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

const QString kReady = QStringLiteral("Ready");

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

CMainFrame::CMainFrame(CTabulonDoc& doc, CRecentFileList& recentFiles) : m_doc(doc), m_recentFiles(recentFiles) {
    EnsureResources();
    m_doc.SetPorts(DocPorts{&m_clock, this, &m_wait, this});
    setWindowIcon(QIcon(QStringLiteral(":/icons/tabulon.png")));
    resize(600, 510);

    m_pSplitter = new QSplitter(Qt::Horizontal, this);
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
    setAcceptDrops(true);
    m_pGridView->setFocus(); // the grid view is the active view
}

CMainFrame::~CMainFrame() {
    m_doc.RemoveView(m_pFormView);
    m_doc.RemoveView(m_pGridView);
    m_doc.SetPicture(nullptr);
    m_doc.SetPorts(DocPorts{});
}

QAction* CMainFrame::MakeAction(Command command) {
    const CommandText& text = TextOf(command);
    auto* pAction = new QAction(QString::fromUtf8(text.pszMenuText), this);
    pAction->setShortcut(text.shortcut);
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
    docCommand(Command::Save, &CTabulonDoc::OnFileSave);
    docCommand(Command::SaveAsBmp, &CTabulonDoc::OnSaveAsBmp);
    docCommand(Command::SaveAllAsBmp, &CTabulonDoc::OnSaveAllAsBmp);
    connect(MakeAction(Command::Solve), &QAction::triggered, this, &CMainFrame::OnSolve);
    connect(MakeAction(Command::Print), &QAction::triggered, this, &CMainFrame::OnFilePrint);
    connect(MakeAction(Command::PrintPreview), &QAction::triggered, this, &CMainFrame::OnFilePrintPreview);
    connect(MakeAction(Command::PrintSetup), &QAction::triggered, this, &CMainFrame::OnFilePrintSetup);
    connect(MakeAction(Command::Exit), &QAction::triggered, this, &QWidget::close);
    connect(MakeAction(Command::About), &QAction::triggered, this, &CMainFrame::OnAppAbout);
    for (Command command : {Command::NextPane, Command::PreviousPane}) {
        addAction(MakeAction(command));
        connect(ActionFor(command), &QAction::triggered, this, &CMainFrame::SwitchPane);
    }

    m_pFileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    for (Command command : {Command::Open, Command::Save, Command::SaveAsBmp, Command::SaveAllAsBmp, Command::Solve})
        m_pFileMenu->addAction(ActionFor(command));
    m_pFileMenu->addSeparator();
    for (Command command : {Command::Print, Command::PrintPreview, Command::PrintSetup})
        m_pFileMenu->addAction(ActionFor(command));
    m_pFileMenu->addSeparator();
    m_pRecentSeparator = m_pFileMenu->addSeparator();
    m_pFileMenu->addAction(ActionFor(Command::Exit));
    RebuildRecentFiles();

    QMenu* pViewMenu = menuBar()->addMenu(QStringLiteral("&View"));
    for (Command command : {Command::ToggleToolBar, Command::ToggleStatusBar}) {
        QAction* pAction = MakeAction(command);
        pAction->setCheckable(true);
        pAction->setChecked(true);
        pViewMenu->addAction(pAction);
    }
    connect(ActionFor(Command::ToggleStatusBar), &QAction::toggled, this,
            [this](bool bShown) { statusBar()->setVisible(bShown); });

    // Solving beyond line logic: a menu of its own, after the menus Tabulon
    // always had.
    QMenu* pToolsMenu = menuBar()->addMenu(QStringLiteral("&Tools"));
    connect(MakeAction(Command::SolveCompletely), &QAction::triggered, this, &CMainFrame::OnSolveCompletely);
    connect(MakeAction(Command::CheckUniqueness), &QAction::triggered, this, &CMainFrame::OnCheckUniqueness);
    connect(MakeAction(Command::ShowOtherSolution), &QAction::triggered, this, &CMainFrame::OnShowOtherSolution);
    ActionFor(Command::ShowOtherSolution)->setEnabled(false); // until a search finds two solutions
    pToolsMenu->addAction(ActionFor(Command::SolveCompletely));
    pToolsMenu->addAction(ActionFor(Command::CheckUniqueness));
    pToolsMenu->addSeparator();
    pToolsMenu->addAction(ActionFor(Command::ShowOtherSolution));

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
        connect(pAction, &QAction::triggered, this, [this, strPath] { OpenFile(strPath); });
        m_recentActions.append(pAction);
    }
    m_pFileMenu->insertActions(m_pRecentSeparator, m_recentActions);
}

void CMainFrame::InitialUpdate() {
    m_pFormView->OnUpdate(0);
    m_pGridView->OnInitialUpdate();
    m_pStatusPane->setText(kReady);
    ActionFor(Command::ShowOtherSolution)->setEnabled(m_doc.CanShowOtherSolution());
}

bool CMainFrame::NewFile() {
    if (m_bSolving)
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
    const QString strFull = QFileInfo(strPath).absoluteFilePath();
    if (!m_doc.FileOpen(strFull.toStdString())) {
        m_recentFiles.Remove(strFull);
        RebuildRecentFiles();
        return false;
    }
    InitialUpdate();
    if (const int nPuzzles = m_doc.GetPuzzle()->GetExtras().nPuzzlesInFile; nPuzzles > 1)
        m_pStatusPane->setText(
            QStringLiteral("%1 holds %2 puzzles; opened the first.").arg(QFileInfo(strFull).fileName()).arg(nPuzzles));
    m_recentFiles.Add(strFull);
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

// The solve runs here, on the window's thread; the document lets the window
// repaint after each progress update. Requests to open or close that come
// meanwhile are carried out when it ends.
void CMainFrame::OnSolve() {
    RunSolve(&CTabulonDoc::OnSolve);
}
// A search may run for long, so the status bar says how to end it; it
// shows with the first progress update.
void CMainFrame::OnSolveCompletely() {
    RunSolve(&CTabulonDoc::OnSolveCompletely, QStringLiteral("Solving completely. Press Esc to stop."));
}
void CMainFrame::OnCheckUniqueness() {
    RunSolve(&CTabulonDoc::OnCheckUniqueness, QStringLiteral("Checking uniqueness. Press Esc to stop."));
}

void CMainFrame::OnShowOtherSolution() {
    if (m_bSolving)
        return;
    m_doc.OnShowOtherSolution();
    m_pStatusPane->setText(QString::fromStdString(m_doc.GetSolveStatus()));
}

void CMainFrame::RunSolve(void (CTabulonDoc::*pfnSolve)(), const QString& strWhileSolving) {
    if (m_bSolving)
        return;
    m_bSolving = true;
    if (!strWhileSolving.isEmpty())
        m_pStatusPane->setText(strWhileSolving);
    {
        CSolveInputGuard guard(m_doc);
        (m_doc.*pfnSolve)();
    }
    m_bSolving = false;
    m_pStatusPane->setText(QString::fromStdString(m_doc.GetSolveStatus()));
    ActionFor(Command::ShowOtherSolution)->setEnabled(m_doc.CanShowOtherSolution());
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

// Printing always prints the grid view, whichever pane has the focus.
void CMainFrame::OnFilePrint() {
    if (m_bSolving)
        return;
    QPrintDialog dialog(&Printer(), this);
    if (dialog.exec() == QDialog::Accepted)
        m_pGridView->Print(Printer());
}

void CMainFrame::OnFilePrintPreview() {
    if (m_bSolving)
        return;
    QPrintPreviewDialog preview(&Printer(), this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* pPrinter) { m_pGridView->Print(*pPrinter); });
    preview.exec();
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
    setWindowTitle(title + QStringLiteral(" - ") + QString::fromLatin1(kAppTitle));
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
    if (m_bSolving) {
        // The solve stops at its next line and the window closes then;
        // nothing runs on a closed window.
        m_bCloseAfterSolve = true;
        m_doc.RequestStop();
        pEvent->ignore();
        return;
    }
    pEvent->accept();
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
