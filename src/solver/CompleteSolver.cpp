#include "solver/CompleteSolver.h"

#include "solver/LearningSearch.h"
#include "solver/Luby.h"
#include "solver/Symmetry.h"

#include <algorithm>
#include <bit>

namespace {

// Search nodes between two progress reports.
constexpr uint64_t kProgressEvery = 256;
// A line's known cells are two bit sets (filled, empty) of 64-bit words.
constexpr size_t kCellsPerWord = 64;

} // namespace

CCompleteSolver::CCompleteSolver(const CPuzzle& puzzle)
    : m_puzzle(puzzle), m_nRows(puzzle.GetHeight()), m_nCols(puzzle.GetWidth()) {
}

std::vector<ClueList> CCompleteSolver::LinesOf(const CPuzzle& puzzle) {
    // The clue 0 stands for no run: dropped, a blank line has no runs and
    // settles in the word form like any other. Fresh ranges: every placement
    // of a line lies within them, so the exact line solver considers them all.
    std::vector<ClueList> lines;
    auto add = [&lines](ClueList clues, int32_t nLength) {
        std::erase_if(clues, [](const Clue& clue) { return clue.length == 0; });
        CPuzzle::PrepareRanges(clues, nLength);
        lines.push_back(std::move(clues));
    };
    for (int r = 0; r < puzzle.GetHeight(); ++r)
        add(puzzle.GetRowClues(r), puzzle.GetWidth());
    for (int c = 0; c < puzzle.GetWidth(); ++c)
        add(puzzle.GetColumnClues(c), puzzle.GetHeight());
    return lines;
}

// The lines, their bit sets and the queue: all that propagation needs.
void CCompleteSolver::PrepareLines() {
    m_lines = LinesOf(m_puzzle);
    m_wordOffset.push_back(0);
    for (int nLine = 0; nLine < static_cast<int>(m_lines.size()); ++nLine) {
        const size_t nWords = (static_cast<size_t>(LineLength(nLine)) + kCellsPerWord - 1) / kCellsPerWord;
        m_wordOffset.push_back(m_wordOffset.back() + 2 * nWords);
        m_inWord.push_back(CLineAgreement::FitsInWords(m_lines[static_cast<size_t>(nLine)], LineLength(nLine)));
    }
    m_known.assign(m_wordOffset.back(), 0);
    m_cells.assign(static_cast<size_t>(m_nRows) * static_cast<size_t>(m_nCols), CELL_UNKNOWN);
    m_queued.assign(m_lines.size(), 0);
    m_lineSerial.assign(m_lines.size(), 0);
}

// The search's structures, built only when line logic leaves cells open: on
// the many puzzles it finishes, filling them would cost more than solving.
void CCompleteSolver::PrepareSearch() {
    const size_t nCells = m_cells.size();
    m_filledScore.assign(nCells, 0);
    m_emptyScore.assign(nCells, 0);
    m_stamp.assign(nCells, 0);
    m_forced.assign(nCells, CELL_UNKNOWN);
    m_records.resize(nCells);
    m_memo.Reset(m_lines.size());
}

size_t CCompleteSolver::CellOf(int nLine, int32_t i) const {
    if (nLine < m_nRows)
        return static_cast<size_t>(nLine) * static_cast<size_t>(m_nCols) + static_cast<size_t>(i);
    return static_cast<size_t>(i) * static_cast<size_t>(m_nCols) + static_cast<size_t>(nLine - m_nRows);
}

// Writes a cell into the bit sets of its row and its column.
void CCompleteSolver::Mark(size_t nRow, size_t nColumn, CellState state) {
    auto put = [&](size_t nLine, size_t i) {
        const size_t nWords = WordsOf(static_cast<int>(nLine));
        uint64_t* pWord = &m_known[m_wordOffset[nLine] + i / kCellsPerWord];
        const uint64_t nBit = uint64_t{1} << (i % kCellsPerWord);
        pWord[0] = state == CELL_FILLED ? pWord[0] | nBit : pWord[0] & ~nBit;
        pWord[nWords] = state == CELL_EMPTY ? pWord[nWords] | nBit : pWord[nWords] & ~nBit;
    };
    put(nRow, nColumn);
    put(static_cast<size_t>(m_nRows) + nColumn, nRow);
}

void CCompleteSolver::Assign(size_t nCell, CellState state) {
    m_cells[nCell] = state;
    const size_t nRow = nCell / static_cast<size_t>(m_nCols);
    const size_t nColumn = nCell - nRow * static_cast<size_t>(m_nCols);
    Mark(nRow, nColumn, state);
    const size_t nColumnLine = static_cast<size_t>(m_nRows) + nColumn;
    m_trail.push_back({nCell, ++m_nSerial, m_lineSerial[nRow], m_lineSerial[nColumnLine]});
    for (size_t nLine : {nRow, nColumnLine}) {
        m_lineSerial[nLine] = m_nSerial;
        if (!m_queued[nLine]) {
            m_queued[nLine] = 1;
            m_queue.push_back(static_cast<int>(nLine));
        }
    }
}

void CCompleteSolver::UndoTo(size_t nMark) {
    while (m_trail.size() > nMark) {
        const TrailEntry& entry = m_trail.back();
        const size_t nRow = entry.nCell / static_cast<size_t>(m_nCols);
        const size_t nColumn = entry.nCell - nRow * static_cast<size_t>(m_nCols);
        m_cells[entry.nCell] = CELL_UNKNOWN;
        Mark(nRow, nColumn, CELL_UNKNOWN);
        m_lineSerial[nRow] = entry.nRowSerial;
        m_lineSerial[static_cast<size_t>(m_nRows) + nColumn] = entry.nColumnSerial;
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
    ++m_nSettled;
    const size_t nOffset = m_wordOffset[static_cast<size_t>(nLine)];
    const size_t nWords = WordsOf(nLine);
    const uint64_t* pKnown = m_known.data() + nOffset;
    const uint64_t* pAgreed = nullptr;
    if (m_bAfresh) {
        if (!SettleAfresh(nLine, pKnown, nWords))
            return false;
        pAgreed = m_agreedWords.data();
    } else if (InMemo(nLine)) {
        CWordLineMemo::Slot& slot = m_memo.SlotFor(static_cast<size_t>(nLine), pKnown[0], pKnown[1]);
        if (!slot.Holds(pKnown[0], pKnown[1]))
            SettleOneWord(nLine, pKnown, slot);
        if (!slot.Fits())
            return false;
        pAgreed = slot.agreed;
    } else {
        bool bFits = false;
        pAgreed = m_cache.Find(static_cast<uint32_t>(nLine), pKnown, 2 * nWords, &bFits);
        if (!pAgreed) {
            bFits = SettleAfresh(nLine, pKnown, nWords);
            m_cache.Insert(static_cast<uint32_t>(nLine), pKnown, 2 * nWords, bFits ? m_agreedWords.data() : nullptr);
            pAgreed = m_agreedWords.data();
        }
        if (!bFits)
            return false;
    }
    for (size_t w = 0; w < nWords; ++w) {
        // Read before assigning: Assign changes the line's known words.
        const uint64_t nFilled = pAgreed[w] & ~pKnown[w];
        const uint64_t nEmpty = pAgreed[nWords + w] & ~pKnown[nWords + w];
        for (uint64_t nNew = nFilled | nEmpty; nNew != 0; nNew &= nNew - 1) {
            const int nBit = std::countr_zero(nNew);
            const auto i = static_cast<int32_t>(w * kCellsPerWord + static_cast<size_t>(nBit));
            Assign(CellOf(nLine, i), (nFilled >> nBit) & 1 ? CELL_FILLED : CELL_EMPTY);
        }
    }
    return true;
}

// Asks for the memo slot of a line about to be settled, so that the lookup
// does not wait for memory; a line whose cells change first wastes it.
void CCompleteSolver::PrefetchMemo(int nLine) const {
    if (!InMemo(nLine))
        return;
    const uint64_t* pKnown = m_known.data() + m_wordOffset[static_cast<size_t>(nLine)];
    __builtin_prefetch(&m_memo.SlotFor(static_cast<size_t>(nLine), pKnown[0], pKnown[1]));
}

// Settles a one-word line and keeps the result in its memo slot.
void CCompleteSolver::SettleOneWord(int nLine, const uint64_t* pKnown, CWordLineMemo::Slot& slot) {
    uint64_t nCanFill = 0;
    uint64_t nCanEmpty = 0;
    slot.nFilled = pKnown[0];
    slot.nEmpty = pKnown[1];
    if (CLineAgreement::SettleWords(m_lines[static_cast<size_t>(nLine)], LineLength(nLine), &pKnown[0], &pKnown[1],
                                    &nCanFill, &nCanEmpty)) {
        slot.agreed[0] = nCanFill & ~nCanEmpty;
        slot.agreed[1] = nCanEmpty & ~nCanFill;
    } else {
        slot.agreed[0] = slot.agreed[1] = ~uint64_t{0};
    }
}

// Settles a line from its known cells alone and leaves the agreed cells in
// m_agreedWords (filled words, then empty words).
bool CCompleteSolver::SettleAfresh(int nLine, const uint64_t* pKnown, size_t nWords) {
    const ClueList& clues = m_lines[static_cast<size_t>(nLine)];
    const int32_t nLength = LineLength(nLine);
    m_agreedWords.assign(2 * nWords, 0);
    bool bFits = false;
    if (m_inWord[static_cast<size_t>(nLine)]) {
        m_canWords.resize(2 * nWords);
        uint64_t* pCanFill = m_canWords.data();
        uint64_t* pCanEmpty = pCanFill + nWords;
        bFits = CLineAgreement::SettleWords(clues, nLength, pKnown, pKnown + nWords, pCanFill, pCanEmpty);
        for (size_t w = 0; bFits && w < nWords; ++w) {
            m_agreedWords[w] = pCanFill[w] & ~pCanEmpty[w];
            m_agreedWords[nWords + w] = pCanEmpty[w] & ~pCanFill[w];
        }
    } else {
        m_line.resize(static_cast<size_t>(nLength));
        m_agreed.resize(static_cast<size_t>(nLength));
        for (int32_t i = 0; i < nLength; ++i)
            m_line[static_cast<size_t>(i)] = m_cells[CellOf(nLine, i)];
        bFits = m_agreement.SettleInTables(clues, m_line.data(), nLength, m_agreed.data(), m_left, m_right);
        for (size_t i = 0; bFits && i < static_cast<size_t>(nLength); ++i) {
            const size_t nWord = i / kCellsPerWord + (m_agreed[i] == CELL_EMPTY ? nWords : 0);
            if (m_agreed[i] != CELL_UNKNOWN)
                m_agreedWords[nWord] |= uint64_t{1} << (i % kCellsPerWord);
        }
    }
    return bFits;
}

// Settles the queued lines until none is left; lines re-enter the queue when
// a crossing cell is decided. False on a contradiction (the queue is emptied).
bool CCompleteSolver::Propagate() {
    while (!m_queue.empty()) {
        const int nLine = m_queue.back();
        m_queue.pop_back();
        m_queued[static_cast<size_t>(nLine)] = 0;
        if (m_pTouched)
            m_pTouched->push_back(nLine);
        if (!m_queue.empty())
            PrefetchMemo(m_queue.back());
        if (!SettleLine(nLine)) {
            ClearQueue();
            return false;
        }
    }
    return true;
}

// Settles the queued lines (by their flags) in sweeps in line order, rows
// then columns, until none is queued. From scratch this beats taking the
// latest queued line first, which chases each change across the grid: on
// a 400 x 400 puzzle 26 ms against 236 ms.
bool CCompleteSolver::PropagateBySweeps() {
    for (bool bAny = true; bAny;) {
        bAny = false;
        m_queue.clear();
        for (int nLine = 0; nLine < static_cast<int>(m_lines.size()); ++nLine) {
            if (!m_queued[static_cast<size_t>(nLine)])
                continue;
            bAny = true;
            m_queued[static_cast<size_t>(nLine)] = 0;
            if (!SettleLine(nLine)) {
                m_queued.assign(m_queued.size(), 0);
                m_queue.clear();
                return false;
            }
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
    OrderProbes();
    for (size_t nCell : m_probeOrder) {
        if (m_cells[nCell] != CELL_UNKNOWN)
            continue;
        if (ShouldStop())
            break;
        const Probe probe = ProbeCell(nCell);
        if (probe == Probe::Contradiction)
            return probe;
        bProgress = bProgress || probe == Probe::Progress;
    }
    return bProgress ? Probe::Progress : Probe::Nothing;
}

CCompleteSolver::Probe CCompleteSolver::ProbeCell(size_t nCell) {
    ProbeRecord& record = m_records[nCell];
    if (RecordHolds(record))
        return Probe::Nothing;
    record.lines.clear();
    m_pTouched = &record.lines;
    const size_t nMark = m_trail.size();
    const uint32_t nStamp = ++m_nProbe;
    Assign(nCell, CELL_FILLED);
    const bool bFilledFits = Propagate();
    const size_t nFilledForced = m_trail.size() - nMark;
    for (size_t t = nMark; bFilledFits && t < m_trail.size(); ++t) {
        m_stamp[m_trail[t].nCell] = nStamp;
        m_forced[m_trail[t].nCell] = m_cells[m_trail[t].nCell];
    }
    UndoTo(nMark);

    Assign(nCell, CELL_EMPTY);
    const bool bEmptyFits = Propagate();
    const size_t nEmptyForced = m_trail.size() - nMark;
    m_both.clear();
    for (size_t t = nMark; bFilledFits && bEmptyFits && t < m_trail.size(); ++t) {
        const size_t nForced = m_trail[t].nCell;
        if (m_stamp[nForced] == nStamp && m_forced[nForced] == m_cells[nForced])
            m_both.emplace_back(nForced, m_cells[nForced]);
    }
    UndoTo(nMark);
    m_pTouched = nullptr;
    m_filledScore[nCell] = static_cast<uint32_t>(nFilledForced);
    m_emptyScore[nCell] = static_cast<uint32_t>(nEmptyForced);

    if (!bFilledFits && !bEmptyFits)
        return Probe::Contradiction;
    if (!bFilledFits || !bEmptyFits)
        m_both.assign(1, {nCell, bFilledFits ? CELL_FILLED : CELL_EMPTY});
    if (m_both.empty()) {
        Remember(record);
        return Probe::Nothing;
    }
    record.nTrailSize = kNoRecord;
    for (const auto& [nForced, state] : m_both)
        if (m_cells[nForced] == CELL_UNKNOWN)
            Assign(nForced, state);
    return Propagate() ? Probe::Progress : Probe::Contradiction;
}

// A probe that taught nothing is remembered with the lines it settled.
void CCompleteSolver::Remember(ProbeRecord& record) const {
    record.nTrailSize = m_trail.size();
    record.nTopSerial = m_trail.empty() ? 0 : m_trail.back().nSerial;
    record.nSerial = m_nSerial;
}

// Probing again gives the same nothing while the cells known then are still
// known (the trail below the record is untouched) and no line the probe
// settled has gained a cell since: the probe would settle the same lines in
// the same states.
bool CCompleteSolver::RecordHolds(const ProbeRecord& record) const {
    if (record.nTrailSize == kNoRecord || record.nTrailSize > m_trail.size())
        return false;
    if (record.nTrailSize > 0 && m_trail[record.nTrailSize - 1].nSerial != record.nTopSerial)
        return false;
    return std::all_of(record.lines.begin(), record.lines.end(),
                       [&](int nLine) { return m_lineSerial[static_cast<size_t>(nLine)] <= record.nSerial; });
}

// Undecided cells next to decided ones (or to the border) first: an
// assumption there meets known cells at once, so contradictions are found
// early, and each one found helps every later probe.
void CCompleteSolver::OrderProbes() {
    std::vector<size_t> buckets[5];
    const auto nCols = static_cast<size_t>(m_nCols);
    const auto nRows = static_cast<size_t>(m_nRows);
    for (size_t nCell = 0; nCell < m_cells.size(); ++nCell) {
        if (m_cells[nCell] != CELL_UNKNOWN)
            continue;
        const size_t r = nCell / nCols;
        const size_t c = nCell % nCols;
        const int nKnown = (r == 0 || m_cells[nCell - nCols] != CELL_UNKNOWN) +
                           (r + 1 == nRows || m_cells[nCell + nCols] != CELL_UNKNOWN) +
                           (c == 0 || m_cells[nCell - 1] != CELL_UNKNOWN) +
                           (c + 1 == nCols || m_cells[nCell + 1] != CELL_UNKNOWN);
        buckets[4 - nKnown].push_back(nCell);
    }
    m_probeOrder.clear();
    for (const auto& bucket : buckets)
        m_probeOrder.insert(m_probeOrder.end(), bucket.begin(), bucket.end());
}

// The undecided cell whose assumptions forced the most cells in the last
// probing (see BranchScore), the first such cell on ties.
size_t CCompleteSolver::ChooseBranchCell() const {
    size_t nBest = m_cells.size();
    for (size_t nCell = 0; nCell < m_cells.size(); ++nCell)
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
    const uint64_t a = m_filledScore[nCell];
    const uint64_t b = m_emptyScore[nCell];
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
    if (m_nLearnAt && m_nSettled >= m_nLearnAt) {
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
        (m_result.nSolutions == 0 ? m_result.first : m_result.second) = m_cells;
        ++m_result.nSolutions;
        return m_result.nSolutions >= m_options.nMaxSolutions;
    }
    if (nDepth == 0 && m_nLearnAt && !m_symmetricPairs.empty()) {
        // Clues that symmetries carry onto themselves: a unique solution is
        // a symmetric picture, which the search that learns looks for first.
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

// Solve's line logic, on large grids: its cheap passes decide most cells
// there for less than settling every line exactly again and again. False
// when it settles the outcome.
bool CCompleteSolver::StartFromLineLogic() {
    m_puzzle.SetTrace(nullptr, nullptr);
    m_puzzle.SetStopFlag(m_options.pStop);
    const int nLineLogic = m_puzzle.Solve(nullptr, nullptr);
    const std::vector<CellState>& cells = m_puzzle.GetCells();
    switch (nLineLogic) {
    case SOLVE_SOLVED:
        m_result.outcome = m_options.nMaxSolutions > 1 ? Outcome::Unique : Outcome::Solved;
        m_result.nSolutions = 1;
        m_result.first = m_result.known = cells;
        return false;
    case SOLVE_REFUSED:
    case SOLVE_NO_SOLUTION:
    case SOLVE_STOPPED:
        m_result.outcome = nLineLogic == SOLVE_STOPPED ? Outcome::Stopped : Outcome::NoSolution;
        m_result.known = cells;
        return false;
    default:
        break;
    }
    PrepareLines();
    for (size_t nCell = 0; nCell < cells.size(); ++nCell)
        if (cells[nCell] != CELL_UNKNOWN)
            Assign(nCell, cells[nCell]);
    return true;
}

// Exact line logic, every line queued, from no known cells or from what
// Solve's line logic decided on large grids: on the many puzzles it finishes,
// that is the whole answer (every cell forced, so the solution is unique),
// and elsewhere its cells are where probing and search start. Until then
// each line is settled afresh: a line's states seldom repeat before search,
// so memo and cache would only cost their set-up. False when it settles the
// outcome.
bool CCompleteSolver::Start() {
    if (int64_t{m_nRows} * m_nCols > m_options.nLineLogicAboveCells) {
        if (!StartFromLineLogic()) // which makes Solve's checks
            return false;
    } else if (m_puzzle.RefuseUnsolvable()) { // totals that differ, runs that overflow: no picture fits
        m_result.outcome = Outcome::NoSolution;
        m_result.known.assign(static_cast<size_t>(m_nRows) * static_cast<size_t>(m_nCols), CELL_UNKNOWN);
        return false;
    } else {
        PrepareLines();
    }
    m_queued.assign(m_lines.size(), 1);
    m_bAfresh = true;
    const bool bFits = PropagateBySweeps();
    m_bAfresh = false;
    m_trail.clear(); // the start is never undone
    m_result.known = m_cells;
    if (!bFits) {
        m_result.outcome = Outcome::NoSolution;
        return false;
    }
    if (std::find(m_cells.begin(), m_cells.end(), CELL_UNKNOWN) == m_cells.end()) {
        // Every line was settled after its last cell changed, so each one
        // reads its clues.
        m_result.outcome = m_options.nMaxSolutions > 1 ? Outcome::Unique : Outcome::Solved;
        m_result.nSolutions = 1;
        m_result.first = m_cells;
        return false;
    }
    PrepareSearch();
    return true;
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
        priorities[nCell] = (m_filledScore[nCell] + 1.0) * (m_emptyScore[nCell] + 1.0);
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
    CLearningSearch learning(m_lines, m_nRows, m_nCols);
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
    m_result.first = cells;
    m_result.nSolutions = 1;
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
    CLearningSearch learning(m_lines, m_nRows, m_nCols);
    if (!learning.Fix(m_result.known))
        return false; // no solution at all
    learning.SetPriorities(priorities);
    if (m_result.nSolutions > 0)
        learning.Block(m_result.first);
    if (m_result.nSolutions > 1)
        learning.Block(m_result.second);
    if (NodeLimitReached())
        return true;
    const CLearningSearch::Limits limits = LearningLimits(0);
    const uint64_t nNodesBefore = m_result.nNodes;
    std::vector<CellState> cells;
    for (;;) {
        const CLearningSearch::Outcome outcome = learning.Next(cells, limits);
        m_result.nNodes = nNodesBefore + learning.Conflicts();
        if (outcome != CLearningSearch::Outcome::Solution)
            return outcome == CLearningSearch::Outcome::Stopped;
        (m_result.nSolutions == 0 ? m_result.first : m_result.second) = cells;
        if (++m_result.nSolutions >= m_options.nMaxSolutions)
            return false;
        learning.Block(cells);
    }
}

CCompleteSolver::Result CCompleteSolver::Solve(const Options& options) {
    m_options = options;
    m_options.nMaxSolutions = std::max<uint64_t>(m_options.nMaxSolutions, 1);
    m_result = Result();
    if (!Start())
        return m_result;
    if (m_options.nLearnAfterLines && std::all_of(m_inWord.begin(), m_inWord.end(), [](uint8_t b) { return b; })) {
        m_nLearnAt = m_nSettled + m_options.nLearnAfterLines;
        m_symmetricPairs = SymmetricCellPairs(m_lines, m_nRows, m_nCols);
    }
    bool bStopped = SearchWithRestarts() && m_result.nSolutions < m_options.nMaxSolutions;
    if (m_bHandOver)
        bStopped = SearchLearning();
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
