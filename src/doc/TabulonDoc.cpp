#include "doc/TabulonDoc.h"

#include "doc/Throttle.h"
#include "io/BmpFile.h"
#include "io/SolutionText.h"
#include "model/PuzzleFormats.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr const char* kAppCaption = "Tabulon";

// The file name of a path: what the title shows after Open.
std::string FileNameOf(const std::string& strPath) {
    const size_t nSlash = strPath.find_last_of('/');
    return nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
}

// The word of the final title and the status sentence of a solve result.
struct Outcome {
    const char* pszTitleWord;
    std::string strStatus;
};

int64_t DecidedCells(const CPuzzle& puzzle) {
    int64_t nDecided = 0;
    for (int r = 0; r < puzzle.GetHeight(); ++r)
        for (int c = 0; c < puzzle.GetWidth(); ++c)
            nDecided += puzzle.GetCell(r, c) != CELL_UNKNOWN;
    return nDecided;
}

Outcome DescribeOutcome(const CPuzzle* pPuzzle, int nResult) {
    if (!pPuzzle)
        return {"No puzzle", "No puzzle: open a clue file first."};
    switch (nResult) {
    case SOLVE_SOLVED:
        return {"Solved", "Solved."};
    case SOLVE_REFUSED:
        return {"Refused", "Refused: " + pPuzzle->GetSolveNote() + "."};
    case SOLVE_INCOMPLETE:
        return {"Incomplete", "Incomplete: line logic decided " + std::to_string(DecidedCells(*pPuzzle)) + " of " +
                                  std::to_string(int64_t{pPuzzle->GetHeight()} * pPuzzle->GetWidth()) + " cells."};
    case SOLVE_STOPPED:
        return {"Stopped", "Stopped: " + std::to_string(DecidedCells(*pPuzzle)) + " of " +
                               std::to_string(int64_t{pPuzzle->GetHeight()} * pPuzzle->GetWidth()) +
                               " cells decided when the solve was stopped."};
    default:
        return {"No solution", "No solution: " + pPuzzle->GetSolveNote() + "."};
    }
}

std::string Capitalised(std::string strText) {
    if (!strText.empty() && strText[0] >= 'a' && strText[0] <= 'z')
        strText[0] = static_cast<char>(strText[0] - 'a' + 'A');
    return strText;
}

} // namespace

CTabulonDoc::CTabulonDoc() = default;
CTabulonDoc::~CTabulonDoc() = default;

void CTabulonDoc::RemoveView(IDocView* pView) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), pView), m_views.end());
}

void CTabulonDoc::UpdateAllViews(int nHint) {
    for (IDocView* pView : m_views)
        pView->OnUpdate(nHint);
}

bool CTabulonDoc::FileNew() {
    SetTitle(kUntitled);
    return OnNewDocument();
}

bool CTabulonDoc::FileOpen(const std::string& strPath) {
    if (!OnOpenDocument(strPath))
        return false;
    if (m_strTitle != FileNameOf(strPath)) // named already while the puzzle was read
        SetTitle(FileNameOf(strPath));
    return true;
}

bool CTabulonDoc::OnNewDocument() {
    m_pDesign.reset();
    m_bModified = false;
    m_pPuzzle.reset();
    m_completeResult = CCompleteSolver::Result();
    m_strPath.clear();
    UpdateAllViews(0);
    return true;
}

bool CTabulonDoc::OnOpenDocument(const std::string& strPath) {
    // The file must open for reading before anything is replaced; a folder
    // opens too, but holds no puzzle.
    std::FILE* pFile = std::fopen(strPath.c_str(), "r");
    int nError = pFile ? 0 : errno;
    struct stat status {};
    if (pFile && fstat(fileno(pFile), &status) == 0 && S_ISDIR(status.st_mode))
        nError = EISDIR;
    if (pFile)
        std::fclose(pFile);
    if (nError != 0) {
        Notify(MessageKind::Error, "Cannot open " + strPath + ": " + std::strerror(nError) + ".", kAppCaption);
        return false;
    }

    m_pDesign.reset();
    m_bModified = false;
    m_pPuzzle.reset();
    m_completeResult = CCompleteSolver::Result();
    m_pPuzzle = std::make_unique<CPuzzleFile>();
    m_pPuzzle->SetMaxCells(m_nMaxCells);
    m_pPuzzle->Load(strPath.c_str());
    m_strPath = strPath;
    // A message box (the reader's, or the view's when the picture cannot be
    // drawn) may stay up a while: the caption names the file it speaks of,
    // not the puzzle that was open before.
    SetTitle(FileNameOf(strPath));
    UpdateAllViews(1);
    if (!m_pPuzzle->GetLoadError().empty())
        Notify(MessageKind::Error, m_pPuzzle->GetLoadError(), kAppCaption);
    return true;
}

void CTabulonDoc::OnSolve() {
    m_completeResult = CCompleteSolver::Result();
    UpdateAllViews(3);
    m_dwLastTick = m_dwSolveStart = ReadTick();
    m_bStopRequested.store(false);
    if (m_pPuzzle) {
        m_pPuzzle->SetStopFlag(&m_bStopRequested);
        m_pPuzzle->SetLineNoticeGate(&m_bInputDue); // SolveProgress ignores the rest
    }
    m_nSolveResult = m_pPuzzle ? m_pPuzzle->Solve(SolveProgress, this) : -1;
    m_dwLastTick = ReadTick();
    UpdateAllViews(2);
    FinishSolveTitle();
}

PuzzleRating CTabulonDoc::OnRatePuzzle() {
    const std::unique_ptr<RatingJob> pJob = BeginRating();
    return pJob ? pJob->Run() : PuzzleRating();
}

std::unique_ptr<CTabulonDoc::RatingJob> CTabulonDoc::BeginRating() {
    m_bStopRequested.store(false);
    if (!m_pPuzzle)
        return nullptr;
    auto pJob = std::make_unique<RatingJob>(RatingJob{*m_pPuzzle, RatingOptions()});
    pJob->options.pStop = &m_bStopRequested;
    return pJob;
}

std::string CTabulonDoc::RatingStatus(const PuzzleRating& rating) {
    std::string strWhy;
    switch (rating.ratingClass) {
    case RatingClass::Line:
        strWhy = "line logic alone solves it";
        break;
    case RatingClass::Probing:
        strWhy = "unique; probing finishes it without search";
        break;
    case RatingClass::Search:
        strWhy = "unique, but only a search finds it";
        break;
    case RatingClass::Multiple:
        strWhy = "more than one solution";
        break;
    case RatingClass::None:
        strWhy = "no solution" + (rating.strNote.empty() ? std::string() : ": " + rating.strNote);
        break;
    case RatingClass::Unknown:
        strWhy = "stopped before the class was known";
        break;
    }
    return "Rating: " + FormatRating(rating) + " (" + strWhy + ").";
}

// The final title says how the solve ended: only a grid that reads every
// clue is called solved.
void CTabulonDoc::FinishSolveTitle() {
    const Outcome outcome = DescribeOutcome(m_pPuzzle.get(), m_nSolveResult);
    m_strSolveStatus = outcome.strStatus;
    SetTitle(m_strPath + " " + outcome.pszTitleWord + ". " + std::to_string(m_dwLastTick - m_dwSolveStart) +
             " ms - VO5");
}

void CTabulonDoc::SolveCompletely(uint64_t nMaxSolutions) {
    std::unique_ptr<CCompleteSolveJob> pJob = BeginSolveCompletely(nMaxSolutions);
    if (pJob)
        pJob->Run([this](const std::vector<CellState>& cells) {
            ShowCompleteProgress(cells);
            WaitAfterProgress();
        });
    FinishSolveCompletely(pJob.get());
}

std::unique_ptr<CCompleteSolveJob> CTabulonDoc::BeginSolveCompletely(uint64_t nMaxSolutions) {
    UpdateAllViews(3);
    m_dwLastTick = m_dwSolveStart = ReadTick();
    m_bStopRequested.store(false);
    m_completeResult = CCompleteSolver::Result();
    m_bShowsSecond = false;
    m_pszCompleteProgress = nMaxSolutions == 2 ? "Checking uniqueness." : "Solving completely.";
    m_nSolveResult = -1;
    if (!m_pPuzzle)
        return nullptr;
    m_nSolveResult = m_pPuzzle->RefuseUnsolvable() ? SOLVE_REFUSED : SOLVE_SOLVED;
    if (m_nSolveResult == SOLVE_REFUSED)
        return nullptr;
    CCompleteSolver::Options options;
    options.nMaxSolutions = nMaxSolutions;
    options.pStop = &m_bStopRequested;
    options.pfnSolution = m_pfnSolutionSink;
    options.nThreads = m_nSearchThreads;
    options.pSolutionContext = m_pSolutionContext;
    return std::make_unique<CCompleteSolveJob>(*m_pPuzzle, options, m_ports.pClock, m_dwSolveStart,
                                               static_cast<uint32_t>(m_nUpTime));
}

void CTabulonDoc::ShowCompleteProgress(const std::vector<CellState>& cells) {
    if (!m_pPuzzle)
        return;
    m_pPuzzle->SetCells(cells);
    ShowProgress(m_pszCompleteProgress);
}

void CTabulonDoc::FinishSolveCompletely(CCompleteSolveJob* pJob) {
    if (pJob) {
        m_completeResult = std::move(pJob->GetResult());
        m_pPuzzle->SetCells(m_completeResult.nSolutions ? m_completeResult.first : m_completeResult.known);
    }
    m_dwLastTick = ReadTick();
    UpdateAllViews(2);
    FinishCompleteTitle();
}

static std::string MultipleStatus(uint64_t nSolutions, bool bShowsSecond) {
    return "Multiple solutions: " + std::to_string(nSolutions) + " found; the grid shows the " +
           (bShowsSecond ? "second." : "first.");
}

// A search stopped after it found solutions shows the first of them, not
// the cells every solution shares: the status says which the grid holds.
static std::string StoppedStatus(uint64_t nSolutions) {
    if (nSolutions == 0)
        return "Stopped: the cells known in every solution are shown.";
    if (nSolutions == 1)
        return "Stopped: 1 solution found so far; the grid shows it.";
    return "Stopped: " + std::to_string(nSolutions) + " solutions found so far; the grid shows the first.";
}

void CTabulonDoc::FinishCompleteTitle() {
    using Outcome = CCompleteSolver::Outcome;
    std::string strWord;
    if (!m_pPuzzle || m_nSolveResult == SOLVE_REFUSED) {
        FinishSolveTitle(); // no puzzle, or refused: said as for Solve
        return;
    }
    const CCompleteSolver::Result& result = m_completeResult;
    switch (result.outcome) {
    case Outcome::Solved:
        strWord = "Solved";
        m_strSolveStatus = "Solved completely.";
        break;
    case Outcome::Unique:
        strWord = "Unique";
        m_strSolveStatus = "Unique: the puzzle has exactly one solution.";
        break;
    case Outcome::Multiple:
        strWord = "Multiple solutions";
        m_strSolveStatus = MultipleStatus(result.nSolutions, false);
        break;
    case Outcome::NoSolution:
        strWord = "No solution";
        m_strSolveStatus = "No solution: no grid reads all the clues.";
        break;
    case Outcome::Stopped:
        strWord = "Stopped";
        m_strSolveStatus = StoppedStatus(result.nSolutions);
        break;
    }
    SetTitle(m_strPath + " " + strWord + ". " + std::to_string(m_dwLastTick - m_dwSolveStart) + " ms - VO5");
}

void CTabulonDoc::OnShowOtherSolution() {
    if (!CanShowOtherSolution())
        return;
    m_bShowsSecond = !m_bShowsSecond;
    m_pPuzzle->SetCells(m_bShowsSecond ? m_completeResult.second : m_completeResult.first);
    m_strSolveStatus = MultipleStatus(m_completeResult.nSolutions, m_bShowsSecond);
    UpdateAllViews(2);
}

std::vector<int> CTabulonDoc::GetCellsThatDiffer() const {
    if (m_pDesign)
        return m_verdict.differ;
    std::vector<int> cells;
    if (!CanShowOtherSolution())
        return cells;
    const std::vector<CellState>& first = m_completeResult.first;
    const std::vector<CellState>& second = m_completeResult.second;
    for (size_t i = 0; i < std::min(first.size(), second.size()); ++i)
        if (first[i] != second[i])
            cells.push_back(static_cast<int>(i));
    return cells;
}

bool CTabulonDoc::IsUpdateDue(uint32_t dwInterval) {
    return ::IsUpdateDue(m_ports.pClock, m_dwLastTick, dwInterval);
}

void CTabulonDoc::SolveProgress(CPuzzle*, int nRow, int nCol, void* pContext) {
    // Called after every line, tens of millions of times on a large puzzle:
    // everything but the end of a pass returns after a few comparisons,
    // without reading the clock, and the rest is out of line.
    auto* pDoc = static_cast<CTabulonDoc*>(pContext);
    if (pDoc && (pDoc->m_bInputDue.load(std::memory_order_relaxed) || (nRow == -1 && nCol == -1)))
        pDoc->LineProgress(nRow == -1 && nCol == -1);
}

void CTabulonDoc::LineProgress(bool bPassEnd) {
    if (m_bInputDue.load(std::memory_order_relaxed))
        LetInputThrough();
    if (!bPassEnd || !IsUpdateDue(static_cast<uint32_t>(m_nUpTime)))
        return;
    ShowProgress("Solving.");
    WaitAfterProgress();
}

// The caption with the time so far, and the grid redrawn.
void CTabulonDoc::ShowProgress(const char* pszWhat) {
    SetTitle(m_strPath + " " + pszWhat + " " + std::to_string(ReadTick() - m_dwSolveStart) + " ms - VO5");
    UpdateAllViews(2);
}

void CTabulonDoc::WaitAfterProgress() {
    if (m_ports.pWait)
        m_ports.pWait->AfterProgressUpdate();
}

void CTabulonDoc::LetInputThrough() {
    m_bInputDue.store(false, std::memory_order_relaxed);
    if (m_ports.pWait)
        m_ports.pWait->LetInputThrough();
}

void CTabulonDoc::OnFileSave() {
    SaveSolutionTo(m_strPath + "r");
}

void CTabulonDoc::SaveSolutionTo(const std::string& strName) {
    if (!m_pPuzzle)
        return;
    ReportSave(SaveSolutionText(*m_pPuzzle, strName), "File saved as " + strName, kAppCaption);
}

void CTabulonDoc::OnSaveAsBmp() {
    SaveCellBitmapTo(m_strPath + ".bmp");
}

void CTabulonDoc::SaveCellBitmapTo(const std::string& strName) {
    if (!m_pPuzzle)
        return;
    ReportSave(SaveBmp24(strName, m_pPuzzle->GetWidth(), m_pPuzzle->GetHeight(), CellPixels(*m_pPuzzle)), strName,
               "Saved.");
}

void CTabulonDoc::OnSaveAllAsBmp() {
    // Without an opened clue file the picture is a stale one and the name
    // would be a bare "_all.bmp" in the current folder: nothing to save.
    if (!m_pPicture || m_strPath.empty())
        return;
    int nWidth = 0, nHeight = 0;
    std::vector<uint8_t> pixels;
    std::string strError;
    if (!m_pPicture->GetPixels(nWidth, nHeight, pixels, strError)) {
        Notify(MessageKind::Error, Capitalised(strError), kAppCaption);
        return;
    }
    const std::string strName = m_strPath + "_all.bmp";
    ReportSave(SaveBmp24(strName, nWidth, nHeight, pixels), strName, "Saved.");
}

void CTabulonDoc::SetTitle(const std::string& strTitle) {
    m_strTitle = strTitle;
    if (m_ports.pTitle)
        m_ports.pTitle->OnTitleChanged(m_strTitle);
}

void CTabulonDoc::ReportError(const std::string& strText) const {
    Notify(MessageKind::Error, strText, kAppCaption);
}

uint32_t CTabulonDoc::ReadTick() const {
    return ::ReadTick(m_ports.pClock);
}

void CTabulonDoc::Notify(MessageKind kind, const std::string& strText, const std::string& strCaption) const {
    if (m_ports.pMessages)
        m_ports.pMessages->ShowMessage(kind, strText, strCaption);
}

// The confirmation is for a file fully written; a failure names the path and
// the system's reason.
void CTabulonDoc::ReportSave(const SaveResult& result, const std::string& strText,
                             const std::string& strCaption) const {
    if (result.bOk)
        Notify(MessageKind::Information, strText, strCaption);
    else
        Notify(MessageKind::Error, Capitalised(result.strError) + ".", kAppCaption);
}

void CTabulonDoc::NewDesign(int nRows, int nCols) {
    FileNew();
    StartDesign(CDesign(nRows, nCols), false);
}

void CTabulonDoc::StartDesign(CDesign design, bool bModified) {
    m_designExtras = m_pPuzzle && !m_pDesign ? m_pPuzzle->GetExtras() : PuzzleExtras();
    m_pDesign = std::make_unique<CDesign>(std::move(design));
    m_bModified = bModified;
    ShowDesign();
}

void CTabulonDoc::SetDesign(CDesign design) {
    if (!m_pDesign)
        return;
    *m_pDesign = std::move(design);
    m_bModified = true;
    ShowDesign();
}

// The picture's clues become the puzzle, its filled cells known; the views
// draw it afresh.
void CTabulonDoc::ShowDesign() {
    auto pPuzzle = std::make_unique<CPuzzleFile>();
    static_cast<CPuzzle&>(*pPuzzle) = m_pDesign->ToPuzzle();
    m_pPuzzle = std::move(pPuzzle);
    m_completeResult = CCompleteSolver::Result();
    m_nSolveResult = -1;
    m_strSolveStatus.clear();
    m_verdict = DesignVerdict();
    UpdateAllViews(1); // the clues may need another layout
    UpdateAllViews(2); // the picture's cells
}

void CTabulonDoc::EndDesign() {
    if (!m_pDesign)
        return;
    m_pPuzzle->SetCells(std::vector<CellState>(m_pPuzzle->GetCells().size(), CELL_UNKNOWN));
    m_pDesign.reset();
    m_verdict = DesignVerdict();
    UpdateAllViews(1);
}

SaveResult CTabulonDoc::SaveDesign(const std::string& strPath) {
    if (!m_pDesign || !m_pPuzzle)
        return SaveResult{false, "cannot write " + strPath + ": there is no design"};
    // The formats with a goal keep the picture beside the clues, and the
    // title and author the design's file had.
    PuzzleExtras extras = m_designExtras;
    extras.strGoal = GoalOfCells(m_pDesign->Cells());
    const SaveResult result = WriteFileAtomically(strPath, FormatPuzzle(*m_pPuzzle, DetectFormat(strPath, ""), extras));
    if (!result.bOk)
        return result;
    m_strPath = strPath;
    m_bModified = false;
    SetTitle(FileNameOf(strPath));
    return result;
}

void CTabulonDoc::SetDesignVerdict(DesignVerdict verdict) {
    m_verdict = std::move(verdict);
}
