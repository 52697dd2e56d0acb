#pragma once

#include "model/Puzzle.h"
#include "solver/LearningSearch.h"
#include "solver/LineAgreement.h"
#include "solver/LineCache.h"
#include "solver/OneWordLine.h"
#include "solver/WordLineMemo.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <vector>

// Solves a puzzle completely, beyond line logic: exact line solving of the
// lines whose cells changed (a queue, not sweeps), probing of undecided
// cells (assume each colour, propagate; a contradiction decides the cell,
// and what both assumptions force is decided), and depth-first search with
// backtracking through a trail when probing stalls. Deterministic: the same
// clues give the same answers.
class CCompleteSolver {
  public:
    enum class Outcome {
        Solved,     // a solution was found (not checked for others)
        Unique,     // exactly one solution
        Multiple,   // more than one solution: the first two are kept
        NoSolution, // the clues cannot all hold
        Stopped,    // the stop flag or the node limit ended the search
    };

    struct Options {
        // Solutions to look for: 1 finds one, 2 proves uniqueness, N counts up to N.
        uint64_t nMaxSolutions = 1;
        // Search nodes before giving up (0: no limit).
        uint64_t nMaxNodes = 0;
        // Looking for one solution, the unit of the restart budgets in
        // search nodes; the first run gets half of it (0: never restart).
        uint64_t nRestartNodes = 500;
        // Puzzles of more cells than this (128 x 128) start from Solve's line
        // logic: measured on large line-solvable puzzles, its cheap passes
        // mostly beat settling every line exactly on grids of 150 x 150
        // and more, and lose on 150 x 100.
        int64_t nLineLogicAboveCells = 128 * 128;
        // Lines settled in probing and search (a measure of the work that
        // does not depend on the machine) after which the search that
        // learns from its dead ends takes over (0: never). It needs every
        // line in the word form. Clues with a symmetry hand over as soon as
        // the root's probing leaves cells to branch on.
        uint64_t nLearnAfterLines = 10'000'000;
        // Conflicts the search that learns spends, before the full search,
        // on a solution the puzzle's symmetries leave unchanged, when its
        // clues have any (0: as many as it takes). The one symmetric puzzle
        // of the benchmark that needs a search took 2,837.
        uint64_t nSymmetricConflicts = 20'000;
        // How the search that learns branches, restarts and learns.
        CLearningSearch::Tuning learning;
        const std::atomic<bool>* pStop = nullptr;
        // Called now and then during a long search with the cells known at
        // that moment (all unknown cells 0).
        void (*pfnProgress)(const std::vector<CellState>& cells, void* pContext) = nullptr;
        void* pProgressContext = nullptr;
        // Called with every solution as it is found, in order, each once:
        // a count can be seen whole without keeping more than two.
        void (*pfnSolution)(const std::vector<CellState>& cells, void* pContext) = nullptr;
        void* pSolutionContext = nullptr;
        // Searches on one puzzle side by side (CPortfolioSolver); the solver
        // itself is one of them.
        unsigned nThreads = 1;
    };

    struct Result {
        Outcome outcome = Outcome::Stopped;
        uint64_t nSolutions = 0;
        uint64_t nNodes = 0;
        uint64_t nRestarts = 0;
        // Probes made (a cell assumed filled and empty, each propagated);
        // probes skipped because nothing changed since they last found
        // nothing are not counted.
        uint64_t nProbes = 0;
        std::vector<CellState> first;  // rows x columns, row by row
        std::vector<CellState> second; // when more than one solution was found
        std::vector<CellState> known;  // the cells decided when the search stopped
    };

    // The puzzle must pass the checks Solve makes (equal totals, no empty
    // clue list, runs that fit their lines); it is only read.
    explicit CCompleteSolver(const CPuzzle& puzzle);

    // The puzzle's lines as the exact line solvers take them: rows, then
    // columns, without the clue 0, ranges prepared.
    static std::vector<ClueList> LinesOf(const CPuzzle& puzzle);
    Result Solve(const Options& options);

  private:
    enum class Probe { Contradiction, Progress, Nothing };

    int32_t LineLength(int nLine) const { return nLine < m_nRows ? m_nCols : m_nRows; }
    // The words each of a line's two bit sets takes.
    size_t WordsOf(int nLine) const {
        return (m_wordOffset[static_cast<size_t>(nLine) + 1] - m_wordOffset[static_cast<size_t>(nLine)]) / 2;
    }
    // One-word lines in the word form go through the memo, the others
    // through the line cache.
    bool InMemo(int nLine) const { return m_inWord[static_cast<size_t>(nLine)] && WordsOf(nLine) == 1; }
    size_t CellOf(int nLine, int32_t i) const;
    bool Propagate();
    bool PropagateBySweeps();
    bool SettleLine(int nLine);
    void PrefetchMemo(int nLine) const;
    bool SettleAfresh(int nLine, const uint64_t* pKnown, size_t nWords);
    void Mark(size_t nRow, size_t nColumn, CellState state);
    void Assign(size_t nCell, CellState state);
    void Decide(size_t nCell, CellState state); // at the start: no trail, no queue
    void UndoTo(size_t nMark);
    void ClearQueue();
    // A probe that decided nothing, and what it depended on.
    struct ProbeRecord {
        size_t nTrailSize = SIZE_MAX; // cells known then (SIZE_MAX: no record)
        uint64_t nTopSerial = 0;      // the serial of the last of them
        uint64_t nSerial = 0;         // the last serial handed out then
        std::vector<int> lines;       // the lines the probe settled
    };
    static constexpr size_t kNoRecord = SIZE_MAX;
    // One decided cell, undone in reverse order.
    struct TrailEntry {
        size_t nCell;
        uint64_t nSerial;       // increases with every assignment
        uint64_t nRowSerial;    // the row's serial before
        uint64_t nColumnSerial; // the column's serial before
    };

    Probe ProbeAll();
    Probe ProbeCell(size_t nCell);
    void Remember(ProbeRecord& record) const;
    bool RecordHolds(const ProbeRecord& record) const;
    void OrderProbes();
    size_t ChooseBranchCell() const;
    // The smaller of the two counts first (both branches shrink the
    // puzzle), the larger on ties; on the first run of a restarting
    // search, their product.
    uint64_t BranchScore(size_t nCell) const;
    bool SearchWithRestarts();
    bool SearchLearning();
    bool SearchSymmetric(const std::vector<double>& priorities);
    std::vector<double> LearningPriorities() const;
    CLearningSearch::Limits LearningLimits(uint64_t nConflicts) const;
    bool Search(int nDepth);
    bool ShouldStop() const;
    bool StopRequested() const;
    bool NodeLimitReached() const;

    bool Start();
    bool StartFromLineLogic();
    // A solution: the first two are kept, each is counted and told.
    void Found(const std::vector<CellState>& cells);
    void KeepNoSolutionCells(const std::vector<CellState>& cells, int nFailedLine);
    void PrepareLines();
    void PrepareSearch();

    CPuzzle m_puzzle; // a copy: the checks before the start note their findings in it
    int m_nRows;
    int m_nCols;
    std::vector<ClueList> m_lines; // rows first, then columns
    std::vector<CellState> m_cells;
    // Each line's known cells as bit sets: its filled words, then its empty
    // words. The line cache's keys.
    std::vector<size_t> m_wordOffset; // line n's words: [offset[n], offset[n + 1])
    std::vector<uint64_t> m_known;
    std::vector<uint8_t> m_inWord;    // settled in the word form of short lines
    std::vector<uint8_t> m_inAnyWord; // settled in the word form, short or long
    std::vector<TrailEntry> m_trail;  // cells assigned, in order
    uint64_t m_nSerial = 0;
    std::vector<uint64_t> m_lineSerial; // each line's latest assignment still standing
    // The cells open when the search starts (the only ones it ever decides
    // or undoes), in order, and each cell's place among them: the search's
    // per-cell data is kept for them alone, so a large grid that line logic
    // nearly finished costs what is left of it.
    std::vector<size_t> m_open;
    std::vector<uint32_t> m_openIndex; // by cell; kNotOpen for a cell known at the start
    static constexpr uint32_t kNotOpen = UINT32_MAX;
    size_t Open(size_t nCell) const { return m_openIndex[nCell]; }
    std::vector<ProbeRecord> m_records;     // by open cell
    std::vector<int>* m_pTouched = nullptr; // collects the lines a probe settles
    std::vector<std::pair<size_t, CellState>> m_both;
    std::vector<int> m_queue;
    std::vector<uint8_t> m_queued;
    std::vector<size_t> m_probeOrder;
    // Probing: the cells each assumption forced, by open cell.
    std::vector<uint32_t> m_filledScore;
    std::vector<uint32_t> m_emptyScore; // probing: cells each assumption forced
    CLineAgreement m_agreement;
    std::vector<CellState> m_line;
    std::vector<CellState> m_agreed;
    std::vector<int32_t> m_left;
    std::vector<int32_t> m_right;
    std::vector<uint32_t> m_stamp; // probing: which probe last forced an open cell
    std::vector<CellState> m_forced;
    uint32_t m_nProbe = 0;
    uint32_t m_nRun = 0;       // restarts so far
    bool m_bFirstDive = false; // the first run of a restarting search
    uint64_t m_nRestartAt = 0; // the node count that ends this run (0: none)
    bool m_bRestart = false;   // this run's budget is spent
    uint64_t m_nSettled = 0;   // lines settled so far
    uint64_t m_nLearnAt = 0;   // the m_nSettled that hands over to learning (0: none)
    bool m_bHandOver = false;  // hand over to the search that learns
    size_t m_nRootMark = 0;    // the trail after the root's probing
    bool m_bAfresh = false;    // the start: every line settled afresh, no memo or cache
    int m_nFailedLine = -1;    // the last line no placement fitted
    CWordLineMemo m_memo;      // one-word lines
    COneWordLines m_wordLines; // the memo's lines of up to 62 cells, prepared
    CLineCache m_cache;        // longer lines
    // Cells the clues' symmetries pair (none: no symmetry, or no learning).
    std::vector<std::pair<size_t, size_t>> m_symmetricPairs;
    std::vector<uint64_t> m_agreedWords;
    Options m_options;
    Result m_result;
};
