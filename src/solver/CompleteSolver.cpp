#include "solver/CompleteSolver.h"

#include <algorithm>

namespace {

// Search nodes between two progress reports.
constexpr uint64_t kProgressEvery = 256;
// Line results kept before the cache starts again.
constexpr size_t kMaxCachedLines = 1 << 18;
// A cached result for a line on which no placement fits.
constexpr char kNoFit = 'x';

} // namespace

CCompleteSolver::CCompleteSolver(const CPuzzle& puzzle)
    : m_puzzle(puzzle), m_nRows(puzzle.GetHeight()), m_nCols(puzzle.GetWidth()) {
    // Fresh ranges: every placement of a line lies within them, so the exact
    // line solver considers them all.
    for (int r = 0; r < m_nRows; ++r) {
        m_lines.push_back(puzzle.GetRowClues(r));
        CPuzzle::PrepareRanges(m_lines.back(), m_nCols);
    }
    for (int c = 0; c < m_nCols; ++c) {
        m_lines.push_back(puzzle.GetColumnClues(c));
        CPuzzle::PrepareRanges(m_lines.back(), m_nRows);
    }
    const size_t nCells = static_cast<size_t>(m_nRows) * static_cast<size_t>(m_nCols);
    m_cells.assign(nCells, CELL_UNKNOWN);
    m_queued.assign(m_lines.size(), 0);
    m_score.assign(nCells, 0);
    m_stamp.assign(nCells, 0);
    m_forced.assign(nCells, CELL_UNKNOWN);
}

size_t CCompleteSolver::CellOf(int nLine, int32_t i) const {
    if (nLine < m_nRows)
        return static_cast<size_t>(nLine) * static_cast<size_t>(m_nCols) + static_cast<size_t>(i);
    return static_cast<size_t>(i) * static_cast<size_t>(m_nCols) + static_cast<size_t>(nLine - m_nRows);
}

void CCompleteSolver::Assign(size_t nCell, CellState state) {
    m_cells[nCell] = state;
    m_trail.push_back(nCell);
    for (int nLine : {static_cast<int>(nCell / static_cast<size_t>(m_nCols)),
                      m_nRows + static_cast<int>(nCell % static_cast<size_t>(m_nCols))}) {
        if (!m_queued[static_cast<size_t>(nLine)]) {
            m_queued[static_cast<size_t>(nLine)] = 1;
            m_queue.push_back(nLine);
        }
    }
}

void CCompleteSolver::UndoTo(size_t nMark) {
    while (m_trail.size() > nMark) {
        m_cells[m_trail.back()] = CELL_UNKNOWN;
        m_trail.pop_back();
    }
}

void CCompleteSolver::ClearQueue() {
    for (int nLine : m_queue)
        m_queued[static_cast<size_t>(nLine)] = 0;
    m_queue.clear();
}

// Decides every cell of the line that all its placements agree on. False
// when no placement fits the line's known cells.
bool CCompleteSolver::SettleLine(int nLine) {
    const int32_t nLength = LineLength(nLine);
    m_line.resize(static_cast<size_t>(nLength));
    m_agreed.resize(static_cast<size_t>(nLength));
    m_key.assign(reinterpret_cast<const char*>(&nLine), sizeof nLine);
    for (int32_t i = 0; i < nLength; ++i) {
        m_line[static_cast<size_t>(i)] = m_cells[CellOf(nLine, i)];
        m_key += static_cast<char>('0' + m_line[static_cast<size_t>(i)]);
    }
    auto cached = m_cache.find(m_key);
    if (cached != m_cache.end()) {
        if (cached->second[0] == kNoFit)
            return false;
        for (int32_t i = 0; i < nLength; ++i)
            m_agreed[static_cast<size_t>(i)] = cached->second[static_cast<size_t>(i)] - '0';
    } else {
        const bool bFits = m_agreement.Settle(m_lines[static_cast<size_t>(nLine)], m_line.data(), nLength,
                                              m_agreed.data(), m_left, m_right);
        if (m_cache.size() >= kMaxCachedLines)
            m_cache.clear();
        std::string& result = m_cache[m_key];
        if (!bFits) {
            result.assign(1, kNoFit);
            return false;
        }
        for (CellState state : m_agreed)
            result += static_cast<char>('0' + state);
    }
    for (int32_t i = 0; i < nLength; ++i)
        if (m_line[static_cast<size_t>(i)] == CELL_UNKNOWN && m_agreed[static_cast<size_t>(i)] != CELL_UNKNOWN)
            Assign(CellOf(nLine, i), m_agreed[static_cast<size_t>(i)]);
    return true;
}

// Settles the queued lines until none is left; lines re-enter the queue when
// a crossing cell is decided. False on a contradiction (the queue is emptied).
bool CCompleteSolver::Propagate() {
    while (!m_queue.empty()) {
        const int nLine = m_queue.back();
        m_queue.pop_back();
        m_queued[static_cast<size_t>(nLine)] = 0;
        if (!SettleLine(nLine)) {
            ClearQueue();
            return false;
        }
    }
    return true;
}

// Assumes each colour for every undecided cell and propagates. A colour that
// leads to a contradiction decides the cell the other way; cells that both
// colours force are decided. The number of cells each assumption forced
// guides the choice of the next branch.
CCompleteSolver::Probe CCompleteSolver::ProbeAll() {
    bool bProgress = false;
    for (size_t nCell = 0; nCell < m_cells.size(); ++nCell) {
        if (m_cells[nCell] != CELL_UNKNOWN)
            continue;
        if (ShouldStop())
            return bProgress ? Probe::Progress : Probe::Nothing;
        const size_t nMark = m_trail.size();
        const uint32_t nStamp = ++m_nProbe;
        Assign(nCell, CELL_FILLED);
        const bool bFilledFits = Propagate();
        const size_t nFilledForced = m_trail.size() - nMark;
        for (size_t t = nMark; bFilledFits && t < m_trail.size(); ++t) {
            m_stamp[m_trail[t]] = nStamp;
            m_forced[m_trail[t]] = m_cells[m_trail[t]];
        }
        UndoTo(nMark);

        Assign(nCell, CELL_EMPTY);
        const bool bEmptyFits = Propagate();
        const size_t nEmptyForced = m_trail.size() - nMark;
        std::vector<std::pair<size_t, CellState>> both;
        for (size_t t = nMark; bFilledFits && bEmptyFits && t < m_trail.size(); ++t) {
            const size_t nForced = m_trail[t];
            if (m_stamp[nForced] == nStamp && m_forced[nForced] == m_cells[nForced])
                both.emplace_back(nForced, m_cells[nForced]);
        }
        UndoTo(nMark);
        m_score[nCell] = static_cast<uint32_t>(std::min(nFilledForced, nEmptyForced));

        if (!bFilledFits && !bEmptyFits)
            return Probe::Contradiction;
        if (!bFilledFits || !bEmptyFits)
            both.assign(1, {nCell, bFilledFits ? CELL_FILLED : CELL_EMPTY});
        for (const auto& [nForced, state] : both)
            if (m_cells[nForced] == CELL_UNKNOWN)
                Assign(nForced, state);
        if (!both.empty()) {
            bProgress = true;
            if (!Propagate())
                return Probe::Contradiction;
        }
    }
    return bProgress ? Probe::Progress : Probe::Nothing;
}

// The undecided cell whose assumptions forced the most cells in the last
// probing (the smaller of the two counts), the first such cell on ties.
size_t CCompleteSolver::ChooseBranchCell() const {
    size_t nBest = m_cells.size();
    for (size_t nCell = 0; nCell < m_cells.size(); ++nCell)
        if (m_cells[nCell] == CELL_UNKNOWN && (nBest == m_cells.size() || m_score[nCell] > m_score[nBest]))
            nBest = nCell;
    return nBest;
}

bool CCompleteSolver::ShouldStop() const {
    return (m_options.pStop && m_options.pStop->load(std::memory_order_relaxed)) ||
           (m_options.nMaxNodes && m_result.nNodes >= m_options.nMaxNodes);
}

// True when the search is over: enough solutions, or a stop.
bool CCompleteSolver::Search(int nDepth) {
    ++m_result.nNodes;
    if (m_options.pfnProgress && m_result.nNodes % kProgressEvery == 0)
        m_options.pfnProgress(m_cells, m_options.pProgressContext);
    if (!Propagate())
        return false;
    for (;;) {
        if (ShouldStop())
            return true;
        const Probe probe = ProbeAll();
        if (probe == Probe::Contradiction)
            return false;
        if (probe == Probe::Nothing)
            break;
    }
    if (nDepth == 0)
        m_result.known = m_cells; // what holds in every solution
    if (ShouldStop())
        return true;
    const size_t nCell = ChooseBranchCell();
    if (nCell == m_cells.size()) { // every cell decided, every line settled
        (m_result.nSolutions == 0 ? m_result.first : m_result.second) = m_cells;
        ++m_result.nSolutions;
        return m_result.nSolutions >= m_options.nMaxSolutions;
    }
    const size_t nMark = m_trail.size();
    for (CellState state : {CELL_FILLED, CELL_EMPTY}) {
        Assign(nCell, state);
        if (Search(nDepth + 1))
            return true;
        UndoTo(nMark);
        ClearQueue();
    }
    return false;
}

// Line logic first, as Solve does it: on the many puzzles it finishes, that
// is the whole answer (every cell forced, so the solution is unique), and
// elsewhere its cells are where probing and search start.
bool CCompleteSolver::StartFromLineLogic() {
    m_puzzle.SetTrace(nullptr, nullptr);
    m_puzzle.SetStopFlag(m_options.pStop);
    const int nLineLogic = m_puzzle.Solve(nullptr, nullptr);
    if (nLineLogic == SOLVE_NO_SOLUTION || nLineLogic == SOLVE_STOPPED) {
        m_result.outcome = nLineLogic == SOLVE_STOPPED ? Outcome::Stopped : Outcome::NoSolution;
        return false;
    }
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nCols; ++c)
            if (m_puzzle.GetCell(r, c) != CELL_UNKNOWN)
                Assign(static_cast<size_t>(r) * static_cast<size_t>(m_nCols) + static_cast<size_t>(c),
                       m_puzzle.GetCell(r, c));
    m_trail.clear(); // the start is never undone
    return true;
}

CCompleteSolver::Result CCompleteSolver::Solve(const Options& options) {
    m_options = options;
    m_options.nMaxSolutions = std::max<uint64_t>(m_options.nMaxSolutions, 1);
    m_result = Result();
    if (!StartFromLineLogic()) {
        m_result.known = m_cells;
        return m_result;
    }
    for (int nLine = 0; nLine < static_cast<int>(m_lines.size()); ++nLine) {
        m_queued[static_cast<size_t>(nLine)] = 1;
        m_queue.push_back(nLine);
    }
    m_result.known = m_cells;
    const bool bStopped = Search(0) && m_result.nSolutions < m_options.nMaxSolutions;
    if (bStopped)
        m_result.outcome = Outcome::Stopped;
    else if (m_result.nSolutions == 0)
        m_result.outcome = Outcome::NoSolution;
    else if (m_result.nSolutions > 1)
        m_result.outcome = Outcome::Multiple;
    else
        m_result.outcome = m_options.nMaxSolutions > 1 ? Outcome::Unique : Outcome::Solved;
    return m_result;
}
