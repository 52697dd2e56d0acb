#include "solver/CompleteSolver.h"

#include "solver/LearningSearch.h"
#include "solver/Luby.h"

#include <algorithm>

// The complete solver's search: depth first through the trail with
// restarts, then the search that learns, symmetric pictures first.

namespace {

// Search nodes between two progress reports.
constexpr uint64_t kProgressEvery = 256;

} // namespace

// The undecided cell whose assumptions forced the most cells in the last
// probing (see BranchScore), the first such cell on ties.
size_t CCompleteSolver::ChooseBranchCell() const {
    size_t nBest = m_cells.size();
    for (size_t nCell : m_open)
        if (m_cells[nCell] == CELL_UNKNOWN && (nBest == m_cells.size() || BranchScore(nCell) > BranchScore(nBest)))
            nBest = nCell;
    return nBest;
}

bool CCompleteSolver::ShouldStop() const {
    return m_bRestart || m_bHandOver || StopRequested() || NodeLimitReached();
}

bool CCompleteSolver::StopRequested() const {
    return m_options.pStop && m_options.pStop->load(std::memory_order_relaxed);
}

bool CCompleteSolver::NodeLimitReached() const {
    return m_options.nMaxNodes && m_result.nNodes >= m_options.nMaxNodes;
}

// After a restart the smaller count gets up to a quarter more, the same for
// the same cell and restart: enough to reorder close candidates, so each run
// branches differently while staying deterministic.
uint64_t CCompleteSolver::BranchScore(size_t nCell) const {
    const uint64_t a = m_filledScore[Open(nCell)];
    const uint64_t b = m_emptyScore[Open(nCell)];
    uint64_t nLow = std::min(a, b);
    if (m_bFirstDive)
        nLow = std::min<uint64_t>((a + 1) * (b + 1), UINT32_MAX);
    if (m_nRun > 0) {
        uint64_t h = (static_cast<uint64_t>(m_nRun) << 32) ^ nCell;
        h = (h ^ (h >> 31)) * 0x9e3779b97f4a7c15ULL;
        nLow = nLow * (256 + ((h >> 40) & 63)) / 256;
    }
    return (nLow << 32) | std::max(a, b);
}

// True when the search is over: enough solutions, or a stop.
bool CCompleteSolver::Search(int nDepth) {
    ++m_result.nNodes;
    // The search that learns takes over with the solutions found so far
    // ruled out, so only while all of them are kept (the first two). One
    // that has found more is finding them at little cost each and goes on;
    // the one that learns pays a restart from the root for every solution.
    if (m_nLearnAt && m_nSettled >= m_nLearnAt && m_result.nSolutions <= 2) {
        m_bHandOver = true;
        return true;
    }
    if (m_nRestartAt && m_result.nNodes >= m_nRestartAt) {
        m_bRestart = true;
        return true;
    }
    if (m_options.pfnProgress && m_result.nNodes % kProgressEvery == 0)
        m_options.pfnProgress(m_cells, m_options.pProgressContext);
    if (!Propagate())
        return false;
    // Probing to a fixed point at the root; below it one sweep: a second
    // sweep rarely pays for itself where a branch will follow anyway.
    for (;;) {
        if (ShouldStop())
            return true;
        const Probe probe = ProbeAll();
        if (probe == Probe::Contradiction)
            return false;
        if (probe == Probe::Nothing || nDepth > 0)
            break;
    }
    if (nDepth == 0) {
        m_result.known = m_cells; // what holds in every solution
        m_nRootMark = m_trail.size();
    }
    if (ShouldStop())
        return true;
    const size_t nCell = ChooseBranchCell();
    if (nCell == m_cells.size()) { // every cell decided, every line settled
        Found(m_cells);
        return m_result.nSolutions >= m_options.nMaxSolutions;
    }
    if (nDepth == 0 && !m_symmetricPairs.empty() && m_options.nMaxSolutions <= 2) {
        // Clues that symmetries carry onto themselves: a unique solution is
        // a symmetric picture, which the search that learns looks for first.
        // Counting needs every solution, and this search counts them in
        // constant memory.
        m_bHandOver = true;
        return true;
    }
    const size_t nMark = m_trail.size();
    // Filled first: on the puzzles measured that reaches a solution in far
    // fewer nodes than empty first or the side that forced fewer cells. Every
    // other restart tries empty first, which sends it into other subtrees.
    const bool bEmptyFirst = m_nRun % 2 == 1;
    for (CellState state : {bEmptyFirst ? CELL_EMPTY : CELL_FILLED, bEmptyFirst ? CELL_FILLED : CELL_EMPTY}) {
        Assign(nCell, state);
        if (Search(nDepth + 1))
            return true;
        UndoTo(nMark);
        ClearQueue();
    }
    return false;
}

// Looking for one solution, a search that has run long without one starts
// again from the root (keeping what the root's probing decided) with the
// branching varied: a few early choices that lead into a large barren
// subtree otherwise cost the whole solve. Budgets follow Luby's sequence, so
// a long enough run always comes and the search stays complete. Counting
// and uniqueness need the whole tree: one run.
bool CCompleteSolver::SearchWithRestarts() {
    if (m_options.nMaxSolutions > 1 || m_options.nRestartNodes == 0)
        return Search(0);
    for (m_nRun = 0;; ++m_nRun) {
        // A short first run branches on the product of the two counts: it
        // dives to a solution in far fewer nodes on many puzzles and costs
        // half a budget on the others.
        m_bFirstDive = m_nRun == 0;
        const uint64_t nBudget =
            m_bFirstDive ? m_options.nRestartNodes / 2 : m_options.nRestartNodes * Luby(m_nRun + 1);
        m_nRestartAt = m_result.nNodes + std::max<uint64_t>(nBudget, 1);
        const bool bOver = Search(0);
        if (!m_bRestart)
            return bOver;
        m_bRestart = false;
        ++m_result.nRestarts;
        UndoTo(m_nRootMark);
        ClearQueue();
    }
}

// Branching starts where probing found the most at stake.
std::vector<double> CCompleteSolver::LearningPriorities() const {
    std::vector<double> priorities(m_cells.size(), 0.0);
    double dMax = 1.0;
    for (size_t nCell = 0; nCell < m_cells.size(); ++nCell) {
        const uint32_t nOpen = Open(nCell);
        priorities[nCell] = nOpen == kNotOpen ? 1.0 : (m_filledScore[nOpen] + 1.0) * (m_emptyScore[nOpen] + 1.0);
        dMax = std::max(dMax, priorities[nCell]);
    }
    for (double& dPriority : priorities)
        dPriority /= 2 * dMax;
    return priorities;
}

// The limits of a learning search, its conflicts counted as search nodes:
// at most nConflicts of them (0: as many as the node limit leaves). The
// node limit must not have been reached: no conflicts left would read as no
// limit.
CLearningSearch::Limits CCompleteSolver::LearningLimits(uint64_t nConflicts) const {
    CLearningSearch::Limits limits;
    limits.pStop = m_options.pStop;
    limits.nMaxConflicts = m_options.nMaxNodes ? m_options.nMaxNodes - m_result.nNodes : 0;
    if (nConflicts && (limits.nMaxConflicts == 0 || nConflicts < limits.nMaxConflicts))
        limits.nMaxConflicts = nConflicts;
    limits.pfnProgress = m_options.pfnProgress;
    limits.pProgressContext = m_options.pProgressContext;
    return limits;
}

// Before anything is found, a picture the puzzle's symmetries leave
// unchanged is looked for, in a space that many times smaller. Finding none
// within the budget proves nothing about the others, so the full search
// follows. True when it found a solution.
bool CCompleteSolver::SearchSymmetric(const std::vector<double>& priorities) {
    if (m_symmetricPairs.empty() || m_result.nSolutions > 0 || NodeLimitReached())
        return false;
    CLearningSearch learning(m_lines, m_nRows, m_nCols, m_options.learning);
    for (const auto& [nCellA, nCellB] : m_symmetricPairs)
        learning.Equate(nCellA, nCellB);
    if (!learning.Fix(m_result.known))
        return false;
    learning.SetPriorities(priorities);
    std::vector<CellState> cells;
    const CLearningSearch::Outcome outcome = learning.Next(cells, LearningLimits(m_options.nSymmetricConflicts));
    m_result.nNodes += learning.Conflicts();
    if (outcome != CLearningSearch::Outcome::Solution)
        return false;
    Found(cells);
    return true;
}

// Probing and backtracking have run long, or the clues have a symmetry:
// the search that learns takes over from the root, with what the root's
// probing decided and the solutions found so far ruled out. True when it
// stopped early.
bool CCompleteSolver::SearchLearning() {
    m_bHandOver = false;
    UndoTo(0);
    ClearQueue();
    const std::vector<double> priorities = LearningPriorities();
    if (SearchSymmetric(priorities) && m_result.nSolutions >= m_options.nMaxSolutions)
        return false;
    if (StopRequested())
        return true;
    CLearningSearch learning(m_lines, m_nRows, m_nCols, m_options.learning);
    if (!learning.Fix(m_result.known))
        return false; // no solution at all
    learning.SetPriorities(priorities);
    if (m_result.nSolutions > 0)
        learning.Block(m_result.first);
    if (m_result.nSolutions > 1)
        learning.Block(m_result.second);
    // Its conflicts count as search nodes, and so does each solution it
    // finds: counting may find many without a single conflict.
    const uint64_t nNodesBefore = m_result.nNodes;
    uint64_t nFound = 0;
    std::vector<CellState> cells;
    for (;;) {
        if (NodeLimitReached())
            return true;
        CLearningSearch::Limits limits = LearningLimits(0);
        if (limits.nMaxConflicts)
            limits.nMaxConflicts += learning.Conflicts(); // its limit counts from its start
        const CLearningSearch::Outcome outcome = learning.Next(cells, limits);
        nFound += outcome == CLearningSearch::Outcome::Solution;
        m_result.nNodes = nNodesBefore + learning.Conflicts() + nFound;
        if (outcome != CLearningSearch::Outcome::Solution)
            return outcome == CLearningSearch::Outcome::Stopped;
        Found(cells);
        if (m_result.nSolutions >= m_options.nMaxSolutions)
            return false;
        learning.BlockFound();
    }
}
