#pragma once

#include "app/Commands.h"
#include "app/QtPorts.h"
#include "doc/DocPorts.h"

#include <QMainWindow>
#include <QMap>
#include <QPrinter>
#include <QStringList>

#include <memory>

class CRecentFileList;
class CTabulonDoc;
class CTabulonView;
class CTabulonView2;
class QLabel;
class QMenu;
class QSplitter;

// The main window: menus, toolbar, status bar, and a splitter with the
// settings form on the left and the grid view on the right. It is the
// document's title and message port, and carries out the application's
// commands (New, Open, the recent files, printing, About).
class CMainFrame : public QMainWindow, public ITitleSink, public IMessageSink {
    Q_OBJECT
  public:
    CMainFrame(CTabulonDoc& doc, CRecentFileList& recentFiles);
    ~CMainFrame() override;

    // The application's New and Open: the document's command, then the
    // views' initial update and the recent-file list. False when the file
    // could not be opened (the user has been told).
    bool NewFile();
    bool OpenFile(const QString& strPath);
    // An open request from outside (a second instance, a drop): carried out
    // at once, or after the running solve or the message box on screen.
    void RequestOpen(const QString& strPath);

    void OnTitleChanged(const std::string& strTitle) override;
    void ShowMessage(MessageKind kind, const std::string& strText, const std::string& strCaption) override;

    QAction* ActionFor(Command command) const { return m_actions.value(command); }
    CTabulonView* FormView() const { return m_pFormView; }
    CTabulonView2* GridView() const { return m_pGridView; }
    QSplitter* Splitter() const { return m_pSplitter; }
    QMenu* FileMenu() const { return m_pFileMenu; }
    QLabel* StatusPane() const { return m_pStatusPane; }
    // Made on first use: finding the printers takes time the start need not spend.
    QPrinter& Printer();
    bool IsSolving() const { return m_bSolving; }

    // The caption's application part.
    static constexpr const char* kAppTitle = "Tabulon5";

  public slots:
    void OnFileOpen();
    void OnSolve();
    void OnSolveCompletely();
    void OnCheckUniqueness();
    void OnShowOtherSolution();
    void OnFilePrint();
    void OnFilePrintPreview();
    void OnFilePrintSetup();
    void OnAppAbout();

  protected:
    void closeEvent(QCloseEvent* pEvent) override;
    void dragEnterEvent(QDragEnterEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;

  private:
    QAction* MakeAction(Command command);
    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar();
    void RebuildRecentFiles();
    void InitialUpdate();
    void SwitchPane();
    void RunDocumentCommand(void (CTabulonDoc::*pfnCommand)());
    void RunSolve(void (CTabulonDoc::*pfnSolve)(), const QString& strWhileSolving = QString());
    void OpenPending();

    CTabulonDoc& m_doc;
    CRecentFileList& m_recentFiles;
    CQtTickSource m_clock;
    CQtEventWait m_wait;
    QMap<Command, QAction*> m_actions;
    QMenu* m_pFileMenu = nullptr;
    QAction* m_pRecentSeparator = nullptr;
    QList<QAction*> m_recentActions;
    QSplitter* m_pSplitter = nullptr;
    CTabulonView* m_pFormView = nullptr;
    CTabulonView2* m_pGridView = nullptr;
    QLabel* m_pStatusPane = nullptr;
    std::unique_ptr<QPrinter> m_pPrinter;
    bool m_bSolving = false;
    bool m_bCloseAfterSolve = false;
    int m_nMessageBoxes = 0;    // message boxes on screen
    QStringList m_pendingOpens; // open requests that came during a solve or a message box
};
