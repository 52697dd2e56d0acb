#pragma once

#include "app/Commands.h"
#include "app/QtPorts.h"
#include "app/WindowSettings.h"
#include "app/WorkerThread.h"
#include "doc/CompleteSolveJob.h"
#include "doc/Design.h"
#include "doc/DocPorts.h"
#include "doc/TabulonDoc.h"

#include <QMainWindow>
#include <QMap>
#include <QPrinter>
#include <QStringList>

#include <memory>

class CDesignEditor;
struct ImportOptions;
class CRecentFileList;
struct DesignVerdict;
class CTabulonDoc;
class CTabulonView;
class CTabulonView2;
class QLabel;
class QMenu;
class QSettings;
class QSplitter;

// The main window: menus, toolbar, status bar, and a splitter with the
// settings form on the left and the grid view on the right. It is the
// document's title and message port, and carries out the application's
// commands (New, Open, the recent files, printing, export, About).
//
// Solve runs on this thread and lets the window handle its input every
// kInputInterval; Solve Completely and Check Uniqueness run on a worker
// thread of their own. While either runs, the commands that would change
// or replace the puzzle are disabled, and Esc (Stop) ends the solve.
class CMainFrame : public QMainWindow, public ITitleSink, public IMessageSink {
    Q_OBJECT
  public:
    // `settings` keeps what the window remembers between runs.
    CMainFrame(CTabulonDoc& doc, CRecentFileList& recentFiles, QSettings& settings);
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
    QLabel* ZoomPane() const { return m_pZoomPane; }
    // Made on first use: finding the printers takes time the start need not spend.
    QPrinter& Printer();
    bool IsSolving() const { return m_bSolving; }
    PrintSize GetPrintSize() const { return m_printSize; }
    void SetPrintSize(PrintSize size);
    // Export Picture and Save Solution As once the file is chosen (the
    // format from the name's extension; bCells: the BMP of one pixel per
    // cell). False when nothing was written.
    bool ExportPictureTo(const QString& strPath, bool bCells = false);
    // Copy: the picture as an image and the grid as text.
    void CopyToClipboard();

    // --- design mode ---
    CDesignEditor* Editor() const { return m_pEditor; }
    // New Puzzle once its size is chosen: false, with a message, for a size
    // the clue file or the cell limit does not take (or an unsaved design
    // the user keeps).
    bool NewDesign(int nRows, int nCols);
    // Import Picture once the image and the options are chosen.
    bool ImportPictureFrom(const QString& strPath, const ImportOptions& options);
    // Save and Save Puzzle As in design mode once the name is chosen.
    bool SaveDesignTo(const QString& strPath);
    // How long the live check may run, in seconds (Tools > Options).
    void SetCheckSeconds(int nSeconds);

    // How often Solve lets the window handle its input.
    static constexpr int kInputIntervalMs = 50;

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
    void OnExportPicture();
    void OnSaveSolutionAs();
    void OnStop();
    void OnNewPuzzle();
    void OnImportPicture();
    void OnSave();
    void OnSavePuzzleAs();
    void OnEditPicture();
    void OnRatePuzzle();
    void OnOptions();

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
    void StartCompleteSolve(uint64_t nMaxSolutions, const QString& strWhileSolving);
    void OnWorkerEnded();
    void OnCompleteSolveEnded();
    void OnRatingEnded();
    void BeginSolving(const QString& strWhileSolving);
    void EndSolving();
    void OpenPending();
    void ShowZoom(double dZoom);
    void RestoreWindow();
    void SaveWindow();
    QString PictureFolder() const;
    void BuildDesignMenus(QMenu* pEditMenu, QMenu* pToolsMenu);
    void EnterDesign(CDesign design, bool bModified);
    void LeaveDesign();
    // Asks to save a design with unsaved changes: true when it may go (saved
    // or given up), false when the user keeps it.
    bool MayCloseDesign();
    void ShowVerdict(const DesignVerdict& verdict);
    void UpdateDesignCommands();
    // The status pane's text when nothing else is said: "Ready", or the
    // design's verdict.
    QString IdleStatus() const;

    CTabulonDoc& m_doc;
    CRecentFileList& m_recentFiles;
    CWindowSettings m_settings;
    CQtTickSource m_clock;
    CQtEventWait m_wait;
    std::unique_ptr<CCompleteSolveJob> m_pJob;            // the complete solve under way
    std::unique_ptr<CTabulonDoc::RatingJob> m_pRatingJob; // or the rating
    PuzzleRating m_rating;                                // written by the worker, read after its join
    CWorkerThread m_worker; // runs it; declared after it, so it is joined before the job goes
    QMap<Command, QAction*> m_actions;
    QMenu* m_pFileMenu = nullptr;
    QAction* m_pRecentSeparator = nullptr;
    QList<QAction*> m_recentActions;
    QSplitter* m_pSplitter = nullptr;
    CTabulonView* m_pFormView = nullptr;
    CTabulonView2* m_pGridView = nullptr;
    QLabel* m_pStatusPane = nullptr;
    QLabel* m_pZoomPane = nullptr;
    std::unique_ptr<QPrinter> m_pPrinter;
    std::unique_ptr<CEscapeStopsSolve> m_pEscape; // while a solve runs
    PrintSize m_printSize = PrintSize::AsOnScreen;
    bool m_bSolving = false;
    CDesignEditor* m_pEditor = nullptr;
    bool m_bDesignAfterSolve = false; // Edit Picture is waiting for a solution
    bool m_bCleanIsSaved = true;      // the undo stack's clean state is what the file holds
    QString m_strWhileSolving;        // the status bar's text while a solve runs
    bool m_bCloseAfterSolve = false;
    int m_nMessageBoxes = 0;    // message boxes on screen
    QStringList m_pendingOpens; // open requests that came during a solve or a message box
};
