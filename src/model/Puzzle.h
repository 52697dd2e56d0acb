#pragma once

#include "model/CellState.h"
#include "model/Clue.h"
#include "solver/LineAgreement.h"
#include "solver/LineBits.h"
#include "solver/PlacementMemo.h"
#include "solver/SingleRunMemo.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CPuzzle;

// Progress function of a solve: the puzzle, a row number, a column number and
// the caller's context. See CPuzzle::Solve for the notifications.
using SolveCallback = void (*)(CPuzzle* pPuzzle, int nRow, int nCol, void* pContext);

// Receives the solver's trace: the driver's mode (1 full sweep, 0 first
// change) once per pass. A null function silences the trace.
using TraceFunction = void (*)(void* pContext, int nMode);

// Results of CPuzzle::Solve.
enum SolveResult : int {
    SOLVE_SOLVED = 0,      // every cell decided and every clue holds
    SOLVE_REFUSED = 1,     // totals differ, a dimension is 0, or runs overflow a line
    SOLVE_INCOMPLETE = 2,  // line logic stopped with cells undecided
    SOLVE_NO_SOLUTION = 3, // the solve proved that the clues cannot all hold
    SOLVE_STOPPED = 4,     // stopped on request, with the cells decided so far
};

// One nonogram: dimensions, the clue list of every row and column, the grid
// of cell states (row 0 at the top, column 0 at the left) and the working
// state of the solver, whose operations are members (src/solver/).
class CPuzzle {
  public:
    CPuzzle();

    // --- set-up (the clue file reader) ---
    void SetSize(int16_t nRows, int16_t nCols);
    void AddRowClue(int16_t nRow, int16_t nLength);
    void AddColumnClue(int16_t nCol, int16_t nLength);

    // --- accessors (unchecked indexes, as for any grid) ---
    int16_t GetHeight() const { return m_nRows; }
    int16_t GetWidth() const { return m_nCols; }
    CellState GetCell(int nRow, int nCol) const {
        return m_grid[static_cast<size_t>(nRow) * static_cast<size_t>(m_nCols) + static_cast<size_t>(nCol)];
    }
    int GetRowClueCount(int nRow) const { return static_cast<int>(m_rowClues[nRow].size()); }
    int GetColumnClueCount(int nCol) const { return static_cast<int>(m_colClues[nCol].size()); }
    int16_t GetRowClue(int nRow, int k) const { return m_rowClues[nRow][k].length; }
    int16_t GetColumnClue(int nCol, int k) const { return m_colClues[nCol][k].length; }
    // Sets one cell; for tools and tests that start the line solver from a
    // partly known grid. Solve itself starts from an all-unknown grid.
    void SetCell(int nRow, int nCol, CellState state) {
        m_grid[static_cast<size_t>(nRow) * static_cast<size_t>(m_nCols) + static_cast<size_t>(nCol)] = state;
    }
    const ClueList& GetRowClues(int nRow) const { return m_rowClues[nRow]; }
    const ClueList& GetColumnClues(int nCol) const { return m_colClues[nCol]; }

    // --- computations shared by the solver ---
    static void PrepareRanges(ClueList& clues, int32_t nLength);
    void PrepareAllRanges();
    // Sum of all cell states. 64-bit: a 32767 x 32767 grid sums past 2^31.
    int64_t GetGridTotal() const;
    // During a solve, a digest of the grid kept up to date cell by cell, so
    // a progress function can tell grids apart without reading them: equal
    // grids have equal digests, and different ones differ but by chance.
    uint64_t GetSolveDigest() const { return m_nSolveDigest; }
    // Computes both targets; true when the puzzle must be refused.
    bool CheckClueTotals();
    int64_t GetTargetByRows() const { return m_nTargetByRows; }
    int64_t GetTargetByCols() const { return m_nTargetByCols; }
    // The checks Solve makes before it starts: true when the puzzle must be
    // refused (GetSolveNote says why).
    bool RefuseUnsolvable();
    // The whole grid (rows x columns cells, row by row).
    const std::vector<CellState>& GetCells() const { return m_grid; }
    // Replaces the whole grid (rows x columns cells, row by row).
    void SetCells(const std::vector<CellState>& cells) { m_grid = cells; }
    // True when every cell is decided and every row and column reads its clues.
    bool SatisfiesAllClues() const;
    // The same for one row or column.
    bool RowReadsClues(int nRow) const;
    bool ColumnReadsClues(int nCol) const;

    // --- the solver ---
    int Solve(SolveCallback pfnProgress, void* pContext);
    bool SolveRow(int16_t nRow);
    bool SolveColumn(int16_t nCol);
    // Leftmost placement of the runs, starting from their `pos`, that agrees
    // with the line; false when the runs cannot be placed inside the line.
    // pEmptyBefore (optional) counts the line's empty cells before each cell.
    // Runs that start at their minStart, in order, are placed at once in
    // linear time (LeastPlacement); PushLeftStepwise moves them a step at a
    // time, to the same placement whenever one agrees with the line.
    struct PushScratch {
        std::vector<int32_t> starts, lastEmpty, lastFilled, filledEnd;
    };
    static bool PushLeft(ClueList& clues, const CellState* pLine, int32_t nLength,
                         const int32_t* pEmptyBefore = nullptr);
    static bool PushLeft(ClueList& clues, const CellState* pLine, int32_t nLength, const int32_t* pEmptyBefore,
                         PushScratch& scratch);
    static bool PushLeftStepwise(ClueList& clues, const CellState* pLine, int32_t nLength,
                                 const int32_t* pEmptyBefore = nullptr);
    // Re-places every run after clue k directly behind its predecessor.
    static void PackFollowing(ClueList& clues, size_t k);

    // Why the last Solve refused the puzzle or found no solution; empty otherwise.
    const std::string& GetSolveNote() const { return m_strSolveNote; }
    // A flag that, once set (from any thread), stops a running solve after
    // the line being examined, keeping the cells decided so far: Solve then
    // returns SOLVE_STOPPED. Null: the solve cannot be stopped.
    void SetStopFlag(const std::atomic<bool>* pStop) { m_pStop = pStop; }
    // A callback that acts on a line's notification only while this flag is
    // set: with it, Solve tells a line only then, and passes over the lines
    // it leaves clean a word of lines at a time. The ends of sweeps and
    // passes are always told. Null: every line is told.
    void SetLineNoticeGate(const std::atomic<bool>* pGate) { m_pLineNoticeGate = pGate; }
    // Where the trace lines go; by default to standard output.
    void SetTrace(TraceFunction pfnTrace, void* pContext) {
        m_pfnTrace = pfnTrace;
        m_pTraceContext = pContext;
    }
    // Placements the exhaustive search has built since construction.
    uint64_t GetPlacementCount() const { return m_nPlacements; }
    // The step-by-step placement search and a re-examination of every line
    // on every pass (true), or the same results computed faster (false, the
    // default): the agreement of all placements by dynamic programming, and
    // lines skipped whose cells did not change since they last gave nothing.
    void SetFaithfulSearch(bool bFaithful) { m_bFaithful = bFaithful; }
    bool IsFaithfulSearch() const { return m_bFaithful; }
    // Driver mode: 1 full sweep (fast line logic), 0 first change (exhaustive).
    uint8_t GetFullSweep() const { return m_bFullSweep; }
    void SetFullSweep(uint8_t bFullSweep) { m_bFullSweep = bFullSweep; }

  private:
    friend class CPlacementSearch;

    // A row or column of m_grid: cell i is first[i * stride].
    struct LineRef {
        CellState* first;
        ptrdiff_t stride;
        int32_t length;
    };

    // Scratch reused by every line call, so the hot loop never allocates.
    struct LineScratch {
        std::vector<CellState> work;
        std::vector<CellState> reversed;
        std::vector<CellState> cand;
        std::vector<CellState> common;
        ClueList forward;
        ClueList backward;
        std::vector<int32_t> leftStarts;
        std::vector<int32_t> rightStarts;
        std::vector<int32_t> emptyBefore;
        std::vector<int32_t> emptyBeforeReversed;
        std::vector<CellState> agreed;
        CLineAgreement agreement;
        PushScratch push;
        std::vector<uint64_t> canWords;
    };

    // Lines whose cells changed since they last gave nothing, per mode
    // ([1] fast, [0] exhaustive): only they can give something now.
    struct DirtyLines {
        std::vector<uint8_t> rows[2];
        std::vector<uint8_t> cols[2];
    };

    bool SolveLine(ClueList& clues, LineRef line, bool bIsRow, int nIndex);
    bool SolveFast(ClueList& clues, int32_t nLength, bool& bContradiction);
    bool SolveByAgreement(ClueList& clues, int32_t nLength, int32_t nLineSum, bool& bNoFit);
    void WriteBack(LineRef line, bool bIsRow, int nIndex);
    // Both modes on the line's bit sets (LineSolverBits.cpp): the same cells
    // and bounds as SolveFast and SolveByAgreement, or kUndecided for a line
    // those must take (no placement fits, or runs the bit form does not take).
    enum class LineOutcome { kUndecided, kNothing, kChanged };
    LineOutcome SolveFastBits(ClueList& clues, bool bIsRow, int nIndex);
    LineOutcome SolveAgreementBits(ClueList& clues, bool bIsRow, int nIndex);
    bool BitsReadAllClues() const;
    // A line's cells in the grid, for writing them one by one, with what
    // each write touches besides: the line's bit sets, and the crossing
    // lines' bit sets, marks and kept placements (no bit sets outside a
    // solve, nor in the faithful one).
    struct LineCells {
        CellState* pFirst;
        ptrdiff_t nFirstCell; // pFirst's place in the grid
        ptrdiff_t nStride;
        int nIndex;
        uint64_t* pOwn[2];          // the line's empty and filled words
        uint64_t* pCrossing[2];     // the crossing lines' empty and filled words
        size_t nCrossingWords;      // a crossing line's words
        uint8_t* pCrossingDirty[2]; // the crossing lines' marks, per mode
        size_t nCrossing;           // crossing lines (0 outside a solve)
        CPlacementMemo* pCrossingMemo;
        CSingleRunMemo* pCrossingRuns;
        int32_t nCrossingLength; // a crossing line's cells
    };
    LineCells CellsOf(bool bIsRow, int nIndex);
    // A cell of the line, unknown until now, becomes known: the total, the
    // bit sets and the crossing line's marks follow. MarkOwnLine marks the
    // line itself once its cells are written.
    void DecideCell(const LineCells& cells, int32_t nCell, CellState state);
    // The same, inline for the bit form's loops (LineSolverBits.cpp only).
    [[gnu::always_inline]] inline void WriteCell(const LineCells& cells, int32_t nCell, CellState state);
    void MarkOwnLine(bool bIsRow, int nIndex);
    void BeginLineState();
    void EndLineState();
    bool RunsFitTheirLines();
    void NoteContradiction(bool bIsRow, int nIndex);
    int RunCycles(SolveCallback pfnProgress, void* pContext);
    bool RunPass(SolveCallback pfnProgress, void* pContext, bool& bAskAnother);
    template <bool bRows> bool RunSweep(SolveCallback pfnProgress, void* pContext, bool& bChanged, bool& bStopped);
    bool StopRequested() const { return m_pStop && m_pStop->load(std::memory_order_relaxed); }
    int FinishSolve();

    int16_t m_nRows = 0;
    int16_t m_nCols = 0;
    // Targets and totals are 64-bit: the grid total of a large puzzle does not
    // fit 16 or even 32 bits, and a wrapped total could stop a solve early.
    int64_t m_nTargetByRows = 0;
    int64_t m_nTargetByCols = 0;
    std::vector<ClueList> m_rowClues;
    std::vector<ClueList> m_colClues;
    uint8_t m_bZoneScanDone = 0;
    uint8_t m_bJustFitted = 0;
    uint8_t m_bFullSweep = 1;
    std::vector<CellState> m_grid; // m_nRows x m_nCols, row by row
    // GetGridTotal() during a solve, kept up to date as lines are written
    // back instead of summed over the grid after every cycle.
    int64_t m_nSolveTotal = 0;
    uint64_t m_nSolveDigest = 0; // the sum of a hash of each known cell and its state

    LineScratch m_scratch;
    DirtyLines m_dirty;
    // During a solve (not the faithful one): every line's known cells as bit
    // sets, and the fast mode's placements on the lines it left clean.
    CLineBits m_lineBits;
    CPlacementMemo m_rowMemo;
    CPlacementMemo m_colMemo;
    // and the exhaustive mode's single runs on the lines it left clean
    CSingleRunMemo m_rowRuns;
    CSingleRunMemo m_colRuns;
    bool m_bFaithful = false;
    bool m_bContradiction = false;
    std::string m_strSolveNote;
    const std::atomic<bool>* m_pStop = nullptr;
    const std::atomic<bool>* m_pLineNoticeGate = nullptr;
    TraceFunction m_pfnTrace;
    void* m_pTraceContext = nullptr;
    uint64_t m_nPlacements = 0;
};
