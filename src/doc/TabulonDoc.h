#pragma once

#include "doc/CompleteSolveJob.h"
#include "doc/Design.h"
#include "doc/DesignCheck.h"
#include "doc/DocPorts.h"
#include "io/AtomicFile.h"
#include "model/PuzzleFile.h"
#include "solver/CompleteSolver.h"
#include "solver/Rating.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The one document: owns the puzzle, holds the display settings, carries out
// New, Open, Solve and the three saves, times the solve, throttles its
// progress output and tells its views what changed through update hints.
// It reaches the platform only through the ports of DocPorts.h.
class CTabulonDoc {
  public:
    CTabulonDoc();
    ~CTabulonDoc();
    CTabulonDoc(const CTabulonDoc&) = delete;
    CTabulonDoc& operator=(const CTabulonDoc&) = delete;

    void SetPorts(const DocPorts& ports) { m_ports = ports; }
    void AddView(IDocView* pView) { m_views.push_back(pView); }
    void RemoveView(IDocView* pView);
    // Calls OnUpdate(nHint) of every view, in the order they were added.
    void UpdateAllViews(int nHint);

    // --- what the application framework does around New and Open ---
    // New: the untitled title, then OnNewDocument.
    bool FileNew();
    // Open: OnOpenDocument, then the file's name as the title.
    bool FileOpen(const std::string& strPath);

    // --- the document's own operations ---
    bool OnNewDocument();
    // False, with a message and nothing changed, when the file cannot be
    // opened for reading. A file the reader refuses is opened as an empty
    // puzzle, and the reader's message is shown.
    bool OnOpenDocument(const std::string& strPath);
    void OnSolve();
    // Solving beyond line logic: the first solution, or a proof that there
    // is exactly one (OnCheckUniqueness), or up to nMaxSolutions solutions.
    // The grid then holds the first solution found, or the cells known when
    // the search ended without one.
    void OnSolveCompletely() { SolveCompletely(1); }
    void OnCheckUniqueness() { SolveCompletely(2); }
    void SolveCompletely(uint64_t nMaxSolutions);
    // Every solution the complete solves find, as it is found, on the
    // search's thread (the command line prints each one).
    using SolutionSink = void (*)(const std::vector<CellState>& cells, void* pContext);
    void SetSolutionSink(SolutionSink pfnSink, void* pContext) {
        m_pfnSolutionSink = pfnSink;
        m_pSolutionContext = pContext;
    }
    // The same in three steps, so that the search can run on another thread
    // while the window stays live. Begin clears the picture, starts the
    // clock and returns the job that searches a copy of the puzzle, or null
    // when there is nothing to search (no puzzle, or clues refused). The
    // job's progress is shown with ShowCompleteProgress, and Finish (also
    // after a null job) makes its result the document's; both on the
    // document's thread, while the job is not running.
    std::unique_ptr<CCompleteSolveJob> BeginSolveCompletely(uint64_t nMaxSolutions);
    void ShowCompleteProgress(const std::vector<CellState>& cells);
    void FinishSolveCompletely(CCompleteSolveJob* pJob);
    // The last complete solve's result (its outcome, solutions and counts);
    // cleared by New, Open and Solve.
    const CCompleteSolver::Result& GetCompleteResult() const { return m_completeResult; }
    // After a complete solve that found more than one solution, the grid
    // switches between the first two.
    bool CanShowOtherSolution() const { return m_pPuzzle && m_completeResult.nSolutions > 1; }
    void OnShowOtherSolution();
    // The cells (row * columns + column) where those two solutions differ;
    // empty unless CanShowOtherSolution().
    std::vector<int> GetCellsThatDiffer() const;
    // Rate Puzzle: how hard the puzzle's clues are (RatePuzzle), worked out
    // on this thread; RequestStop ends it as Unknown. The grid, the title
    // and the views stay as they are. Unknown without a puzzle.
    PuzzleRating OnRatePuzzle();
    // The same to run on another thread: the clues copied and the stop flag
    // cleared here; Run (on any thread) rates the copy. None without a puzzle.
    struct RatingJob {
        CPuzzle clues;
        RatingOptions options;
        PuzzleRating Run() const { return RatePuzzle(clues, options); }
    };
    std::unique_ptr<RatingJob> BeginRating();
    // The status bar's sentence for a rating.
    static std::string RatingStatus(const PuzzleRating& rating);
    void OnFileSave();
    void OnSaveAsBmp();
    void OnSaveAllAsBmp();
    // Save and Save as BMP to a name the user chose, with the same
    // confirmations and messages.
    void SaveSolutionTo(const std::string& strName);
    void SaveCellBitmapTo(const std::string& strName);
    // Tells the user how a save went: the confirmation, or the failure with
    // the path and the reason.
    void ReportSave(const SaveResult& result, const std::string& strText, const std::string& strCaption) const;

    // --- designing a picture ---
    // In design mode the document holds a picture; its puzzle is the
    // picture's clues with the filled cells known, and changes with it.
    bool IsDesigning() const { return m_pDesign != nullptr; }
    const CDesign* GetDesign() const { return m_pDesign.get(); }
    // A blank design, untitled (File > New Puzzle).
    void NewDesign(int nRows, int nCols);
    // Design mode with `design` as the picture; the path and the title stay
    // (Edit Picture). bModified: the picture is not what the file holds
    // (an imported picture).
    void StartDesign(CDesign design, bool bModified);
    // The picture after an edit or an undo: the clues follow, the views
    // rebuild, the verdict is not checked yet.
    void SetDesign(CDesign design);
    // Back to solving: the design's clues stay as the puzzle, unknown.
    void EndDesign();
    // The design changed since it was opened or saved.
    bool IsModified() const { return m_bModified; }
    // The editor's word on it: after an undo back to what was saved, the
    // design is unmodified again.
    void SetModified(bool bModified) { m_bModified = m_pDesign && bModified; }
    // Writes the design's clues as a clue file (".tb"), or as ".non" or
    // webpbn XML with the picture as their goal, as the name's extension
    // says; the file becomes the document's (path, title) and the design
    // unmodified. The failure names
    // the path and the reason, and changes nothing.
    SaveResult SaveDesign(const std::string& strPath);
    // The live check's verdict on the design's clues (the window's checker
    // sets it); its differing cells are the ones GetCellsThatDiffer lists.
    void SetDesignVerdict(DesignVerdict verdict);
    const DesignVerdict& GetDesignVerdict() const { return m_verdict; }

    // --- accessors for the views ---
    CPuzzleFile* GetPuzzle() const { return m_pPuzzle.get(); }
    int GetCellX() const { return m_nCellX; }
    int GetCellY() const { return m_nCellY; }
    int GetUpTime() const { return m_nUpTime; }
    void SetCellX(int nCellX) { m_nCellX = nCellX; }
    void SetCellY(int nCellY) { m_nCellY = nCellY; }
    void SetUpTime(int nUpTime) { m_nUpTime = nUpTime; }
    void SetPicture(IPicture* pPicture) { m_pPicture = pPicture; }
    IPicture* GetPicture() const { return m_pPicture; }
    void ApplySettings() { UpdateAllViews(1); }
    // The largest grid Open accepts, in cells.
    void SetMaxCells(int64_t nMaxCells) { m_nMaxCells = nMaxCells; }
    // Searches Solve Completely and Check Uniqueness run side by side on the
    // puzzle (1: the single search).
    void SetSearchThreads(unsigned nThreads) { m_nSearchThreads = std::max(nThreads, 1u); }
    // Shows an error message to the user (views report drawing failures here).
    void ReportError(const std::string& strText) const;

    // --- the solve ---
    // The progress throttle: true, and the update time advanced, when more
    // than dwInterval milliseconds have passed since the last update.
    bool IsUpdateDue(uint32_t dwInterval);
    static void SolveProgress(CPuzzle* pPuzzle, int nRow, int nCol, void* pContext);
    // Stops the running solve after the line being examined (callable from
    // any thread); the cells decided so far stay and the title says
    // "Stopped". A request before a solve starts is forgotten.
    void RequestStop() { m_bStopRequested.store(true); }
    bool IsStopRequested() const { return m_bStopRequested.load(); }
    // Asks Solve to let the window handle its pending input after the line
    // being examined (IEventWait::LetInputThrough), independently of the
    // progress throttle (callable from any thread).
    void RequestInputPass() { m_bInputDue.store(true, std::memory_order_relaxed); }

    const std::string& GetTitle() const { return m_strTitle; }
    void SetTitle(const std::string& strTitle);
    const std::string& GetPathName() const { return m_strPath; }
    // The outcome of the last Solve in a sentence for the status bar; empty
    // before the first solve.
    const std::string& GetSolveStatus() const { return m_strSolveStatus; }
    // The result of the last CPuzzle::Solve, or -1 when there was no puzzle.
    int GetSolveResult() const { return m_nSolveResult; }
    // How long the last solve took, in milliseconds.
    uint32_t GetSolveTime() const { return m_dwLastTick - m_dwSolveStart; }

  private:
    uint32_t ReadTick() const;
    void Notify(MessageKind kind, const std::string& strText, const std::string& strCaption) const;
    void FinishSolveTitle();
    void FinishCompleteTitle();
    void ShowDesign();
    [[gnu::noinline]] void LineProgress(bool bPassEnd); // Solve's progress beyond the per-line test
    void ShowProgress(const char* pszWhat);             // both kinds of solve
    void WaitAfterProgress();
    void LetInputThrough();

    uint32_t m_dwSolveStart = 0;
    uint32_t m_dwLastTick = 0;
    std::unique_ptr<CPuzzleFile> m_pPuzzle;
    int m_nCellX = 8;
    int m_nCellY = 8;
    int m_nUpTime = 1000;
    int64_t m_nMaxCells = kDefaultMaxCells;
    IPicture* m_pPicture = nullptr; // the grid view's; not owned
    std::string m_strPath;

    std::string m_strTitle;
    std::string m_strSolveStatus;
    int m_nSolveResult = -1;
    std::atomic<bool> m_bStopRequested{false};
    unsigned m_nSearchThreads = 1;
    SolutionSink m_pfnSolutionSink = nullptr;
    void* m_pSolutionContext = nullptr;
    std::atomic<bool> m_bInputDue{false};
    CCompleteSolver::Result m_completeResult;
    bool m_bShowsSecond = false;            // the grid holds the second solution found
    std::unique_ptr<CDesign> m_pDesign;     // the picture, in design mode
    bool m_bModified = false;               // the design changed since it was opened or saved
    DesignVerdict m_verdict;                // the live check's, in design mode
    PuzzleExtras m_designExtras;            // the title and author of the file the design came from
    const char* m_pszCompleteProgress = ""; // the caption's word while a complete solve runs
    DocPorts m_ports;
    std::vector<IDocView*> m_views;
};

// The name the application gives a new document.
inline constexpr const char* kUntitled = "Untitled";
