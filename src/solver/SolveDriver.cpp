// The solve driver: cycles of passes over all rows and then all columns,
// the fast line logic first, the exhaustive search only when a fast pass
// found nothing and only until the first line it improves.

#include "model/Puzzle.h"

#include <cstring>
#include <string>

namespace {

std::string LineName(bool bIsRow, int nIndex) {
    return std::string(bIsRow ? "row " : "column ") + std::to_string(nIndex + 1);
}

// Cells the runs of a line need: their lengths and one gap between each two.
int64_t CellsNeeded(const ClueList& clues) {
    int64_t nNeeded = clues.empty() ? 0 : static_cast<int64_t>(clues.size()) - 1;
    for (const Clue& clue : clues)
        nNeeded += clue.length;
    return nNeeded;
}

// The first line from i on whose flag is set, or nLines: eight flags at a time.
int NextDirtyLine(const uint8_t* pDirty, int i, int nLines) {
    for (; i + 8 <= nLines; i += 8) {
        uint64_t flags;
        std::memcpy(&flags, pDirty + i, sizeof flags);
        if (flags)
            break;
    }
    while (i < nLines && !pDirty[i])
        ++i;
    return i;
}

} // namespace

int CPuzzle::Solve(SolveCallback pfnProgress, void* pContext) {
    m_strSolveNote.clear();
    m_bContradiction = false;
    if (RefuseUnsolvable())
        return SOLVE_REFUSED;
    PrepareAllRanges();
    m_bFullSweep = 1;
    m_grid.assign(m_grid.size(), CELL_UNKNOWN);
    m_nSolveTotal = 0; // every cell unknown
    m_nSolveDigest = 0;
    for (int nMode = 0; nMode < 2; ++nMode) {
        m_dirty.rows[nMode].assign(static_cast<size_t>(m_nRows), 1);
        m_dirty.cols[nMode].assign(static_cast<size_t>(m_nCols), 1);
    }
    BeginLineState();
    const int nResult = RunCycles(pfnProgress, pContext);
    EndLineState();
    return nResult;
}

// The bit sets follow the grid only while Solve writes it: a cell set from
// outside afterwards would leave them behind, so they go with the solve.
void CPuzzle::BeginLineState() {
    if (m_bFaithful)
        return;
    m_lineBits.Reset(m_nRows, m_nCols);
    m_rowMemo.Reset(m_rowClues);
    m_colMemo.Reset(m_colClues);
    m_rowRuns.Reset(m_rowClues.size());
    m_colRuns.Reset(m_colClues.size());
}

void CPuzzle::EndLineState() {
    m_lineBits = CLineBits{};
    m_rowMemo.Clear();
    m_colMemo.Clear();
    m_rowRuns.Clear();
    m_colRuns.Clear();
}

int CPuzzle::RunCycles(SolveCallback pfnProgress, void* pContext) {
    int64_t nTotal = 0;
    for (;;) {
        bool bAskAnother = false;
        bool bChanged = false;
        do
            bChanged = RunPass(pfnProgress, pContext, bAskAnother);
        while (bAskAnother && !StopRequested());
        if (StopRequested())
            return SOLVE_STOPPED;

        const int64_t nBefore = nTotal;
        nTotal = m_nSolveTotal;
        if (!m_bFullSweep && bChanged)
            m_bFullSweep = 1;
        if (nTotal == m_nTargetByRows)
            return FinishSolve();
        // A line that proved the clues contradictory ends the solve here; the
        // driver would otherwise go on as long as the total moves.
        if (m_bContradiction)
            return SOLVE_NO_SOLUTION;
        if (nTotal == nBefore)
            return SOLVE_INCOMPLETE;
    }
}

// One sweep over the rows, top to bottom, then over the columns, left to
// right. A stop request ends it after the line being examined. In first-change mode each sweep stops after the first
// line examined once the pass has changed something; the stop tests look at the whole pass, so a change in the row
// sweep still lets column 0 be examined.
bool CPuzzle::RunPass(SolveCallback pfnProgress, void* pContext, bool& bAskAnother) {
    if (m_pfnTrace)
        m_pfnTrace(m_pTraceContext, m_bFullSweep);
    bool bChanged = false;
    bool bRowsStopped = false;
    if (!RunSweep<true>(pfnProgress, pContext, bChanged, bRowsStopped))
        return bChanged;
    if (pfnProgress)
        pfnProgress(this, -2, -2, pContext);
    bool bColsStopped = false;
    if (!RunSweep<false>(pfnProgress, pContext, bChanged, bColsStopped))
        return bChanged;
    bAskAnother = m_bFullSweep && !bChanged;
    if (bAskAnother)
        m_bFullSweep = 0;
    if (!bColsStopped && !bRowsStopped && pfnProgress)
        pfnProgress(this, -1, -1, pContext);
    return bChanged;
}

// The rows or the columns in order, each line followed by its notification.
// A large puzzle's pass visits many lines left clean in this mode: they are
// passed over here, without the call, and while nobody listens to their
// notifications a word of lines at a time. False when a stop request ended it.
template <bool bRows>
bool CPuzzle::RunSweep(SolveCallback pfnProgress, void* pContext, bool& bChanged, bool& bStopped) {
    const bool bFirstChange = !m_bFullSweep;
    const int nLines = bRows ? m_nRows : m_nCols;
    const uint8_t* pDirty = m_bFaithful ? nullptr : (bRows ? m_dirty.rows : m_dirty.cols)[m_bFullSweep].data();
    const std::atomic<bool>* pStop = m_pStop;
    const std::atomic<bool>* pGate = m_pLineNoticeGate;
    auto listened = [&] { return pfnProgress && (!pGate || pGate->load(std::memory_order_relaxed)); };
    auto stopRequested = [&] { return pStop && pStop->load(std::memory_order_relaxed); };
    // After line i: its notification, and whether a stop request ends the sweep.
    auto notified = [&](int i) {
        if (listened()) {
            if constexpr (bRows)
                pfnProgress(this, i + 1, -1, pContext);
            else
                pfnProgress(this, -1, i + 1, pContext);
        }
        return stopRequested();
    };
    bool bAny = bChanged;
    bool bEnd = false;
    bool bGoesOn = true;
    for (int i = 0; i < nLines && !bEnd && bGoesOn; ++i) {
        // Lines left clean, as most are on a large puzzle: only their
        // notifications, in a loop of their own (not when the rows changed
        // in a first-change pass: that ends the columns after their first).
        if (pDirty && !(bFirstChange && bAny)) {
            while (i < nLines && !pDirty[i] && bGoesOn) {
                if (listened()) {
                    bGoesOn = !notified(i++);
                } else {
                    i = NextDirtyLine(pDirty, i, nLines);
                    bGoesOn = !stopRequested();
                }
            }
            if (i == nLines || !bGoesOn)
                break;
        }
        if (!pDirty || pDirty[i])
            bAny |= bRows ? SolveRow(static_cast<int16_t>(i)) : SolveColumn(static_cast<int16_t>(i));
        // after the first line of the columns too, when the rows changed
        bEnd = bFirstChange && bAny;
        bGoesOn = !notified(i);
    }
    bChanged = bAny;
    bStopped = bEnd;
    return bGoesOn;
}

// Only a grid that reads every clue is reported solved: contradictory clues
// can bring the grid total to the target with a wrong picture.
int CPuzzle::FinishSolve() {
    if (m_lineBits.IsEmpty() ? SatisfiesAllClues() : BitsReadAllClues())
        return SOLVE_SOLVED;
    if (m_strSolveNote.empty())
        m_strSolveNote = "the clues contradict each other: the completed grid breaks a clue";
    return SOLVE_NO_SOLUTION;
}

void CPuzzle::NoteContradiction(bool bIsRow, int nIndex) {
    if (!m_bContradiction)
        m_strSolveNote = "the clues contradict each other: the runs of " + LineName(bIsRow, nIndex) +
                         " cannot be placed against the cells decided so far";
    m_bContradiction = true;
}

bool CPuzzle::RefuseUnsolvable() {
    if (CheckClueTotals()) {
        if (m_nRows == 0 || m_nCols == 0)
            m_strSolveNote =
                "the puzzle has " + std::to_string(m_nRows) + " rows and " + std::to_string(m_nCols) + " columns";
        else
            m_strSolveNote = "the row clues fill " + std::to_string(m_nTargetByRows - int64_t{m_nRows} * m_nCols) +
                             " cells but the column clues fill " +
                             std::to_string(m_nTargetByCols - int64_t{m_nRows} * m_nCols);
        return true;
    }
    return !RunsFitTheirLines();
}

// A line whose runs need more cells than it has can hold no placement; the
// search must never be let loose on it.
bool CPuzzle::RunsFitTheirLines() {
    auto check = [this](const std::vector<ClueList>& lists, bool bIsRow, int32_t nLength) {
        for (size_t i = 0; i < lists.size(); ++i) {
            const std::string strLine = LineName(bIsRow, static_cast<int>(i));
            if (lists[i].empty()) {
                m_strSolveNote = strLine + " has no clues";
                return false;
            }
            const int64_t nNeeded = CellsNeeded(lists[i]);
            if (nNeeded > nLength) {
                m_strSolveNote = strLine + ": its runs need " + std::to_string(nNeeded) + " cells but it has " +
                                 std::to_string(nLength);
                return false;
            }
            const int64_t nWork = CLineAgreement::WorkingBytes(lists[i].size(), nLength);
            if (!m_bFaithful && nWork > CLineAgreement::kMaxWorkingBytes) {
                m_strSolveNote = strLine + ": " + std::to_string(lists[i].size()) + " runs on " +
                                 std::to_string(nLength) + " cells need " + std::to_string(nWork >> 20) +
                                 " MiB of working memory, more than the " +
                                 std::to_string(CLineAgreement::kMaxWorkingBytes >> 20) + " MiB allowed";
                return false;
            }
        }
        return true;
    };
    return check(m_rowClues, true, m_nCols) && check(m_colClues, false, m_nRows);
}
