#include "solver/CompleteSolver.h"

#include "solver/Symmetry.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace {

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
        m_inAnyWord.push_back(CLineAgreement::FitsInAnyWords(m_lines[static_cast<size_t>(nLine)], LineLength(nLine)));
    }
    m_known.assign(m_wordOffset.back(), 0);
    m_cells.assign(static_cast<size_t>(m_nRows) * static_cast<size_t>(m_nCols), CELL_UNKNOWN);
    m_queued.assign(m_lines.size(), 0);
    m_lineSerial.assign(m_lines.size(), 0);
}

// The search's structures, built only when line logic leaves cells open: on
// the many puzzles it finishes, filling them would cost more than solving.
void CCompleteSolver::PrepareSearch() {
    m_open.clear();
    m_openIndex.assign(m_cells.size(), kNotOpen);
    for (size_t nCell = 0; nCell < m_cells.size(); ++nCell) {
        if (m_cells[nCell] == CELL_UNKNOWN) {
            m_openIndex[nCell] = static_cast<uint32_t>(m_open.size());
            m_open.push_back(nCell);
        }
    }
    const size_t nOpen = m_open.size();
    m_filledScore.assign(nOpen, 0);
    m_emptyScore.assign(nOpen, 0);
    m_stamp.assign(nOpen, 0);
    m_forced.assign(nOpen, CELL_UNKNOWN);
    m_records.resize(nOpen);
    m_memo.Reset(m_lines.size());
    m_wordLines.Prepare(m_lines, m_nRows, m_nCols);
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

void CCompleteSolver::Decide(size_t nCell, CellState state) {
    m_cells[nCell] = state;
    const size_t nRow = nCell / static_cast<size_t>(m_nCols);
    Mark(nRow, nCell - nRow * static_cast<size_t>(m_nCols), state);
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
    m_nFailedLine = nLine; // until it fits
    const size_t nOffset = m_wordOffset[static_cast<size_t>(nLine)];
    const size_t nWords = WordsOf(nLine);
    const uint64_t* pKnown = m_known.data() + nOffset;
    const uint64_t* pAgreed = nullptr;
    if (m_bAfresh) {
        if (!SettleAfresh(nLine, pKnown, nWords))
            return false;
        pAgreed = m_agreedWords.data();
    } else if (InMemo(nLine)) {
        const COneWordLine* pLine = m_wordLines.Find(static_cast<size_t>(nLine));
        const CWordLineMemo::Slot& slot =
            pLine ? m_memo.Settled(static_cast<size_t>(nLine), *pLine, pKnown)
                  : m_memo.Settled(static_cast<size_t>(nLine), m_lines[static_cast<size_t>(nLine)], LineLength(nLine), pKnown);
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
    m_nFailedLine = -1;
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

// Settles a line from its known cells alone and leaves the agreed cells in
// m_agreedWords (filled words, then empty words).
bool CCompleteSolver::SettleAfresh(int nLine, const uint64_t* pKnown, size_t nWords) {
    const ClueList& clues = m_lines[static_cast<size_t>(nLine)];
    const int32_t nLength = LineLength(nLine);
    m_agreedWords.assign(2 * nWords, 0);
    bool bFits = false;
    if (m_inAnyWord[static_cast<size_t>(nLine)]) {
        bFits = CLineAgreement::AgreedWords(clues, nLength, pKnown, pKnown + nWords, m_agreedWords.data());
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
            if (StopRequested())
                return true; // the cells settled so far hold; Start sees the stop
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
    ProbeRecord& record = m_records[Open(nCell)];
    if (RecordHolds(record))
        return Probe::Nothing;
    ++m_result.nProbes;
    record.lines.clear();
    m_pTouched = &record.lines;
    const size_t nMark = m_trail.size();
    const uint32_t nStamp = ++m_nProbe;
    Assign(nCell, CELL_FILLED);
    const bool bFilledFits = Propagate();
    const size_t nFilledForced = m_trail.size() - nMark;
    for (size_t t = nMark; bFilledFits && t < m_trail.size(); ++t) {
        const size_t nForced = Open(m_trail[t].nCell);
        m_stamp[nForced] = nStamp;
        m_forced[nForced] = m_cells[m_trail[t].nCell];
    }
    UndoTo(nMark);

    Assign(nCell, CELL_EMPTY);
    const bool bEmptyFits = Propagate();
    const size_t nEmptyForced = m_trail.size() - nMark;
    m_both.clear();
    for (size_t t = nMark; bFilledFits && bEmptyFits && t < m_trail.size(); ++t) {
        const size_t nForced = m_trail[t].nCell;
        if (m_stamp[Open(nForced)] == nStamp && m_forced[Open(nForced)] == m_cells[nForced])
            m_both.emplace_back(nForced, m_cells[nForced]);
    }
    UndoTo(nMark);
    m_pTouched = nullptr;
    m_filledScore[Open(nCell)] = static_cast<uint32_t>(nFilledForced);
    m_emptyScore[Open(nCell)] = static_cast<uint32_t>(nEmptyForced);

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
    for (size_t nCell : m_open) {
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
        m_result.known = cells;
        Found(cells);
        return false;
    case SOLVE_NO_SOLUTION:
        m_result.outcome = Outcome::NoSolution;
        KeepNoSolutionCells(cells, -1);
        return false;
    case SOLVE_REFUSED:
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
            Decide(nCell, cells[nCell]);
    return true;
}

void CCompleteSolver::Found(const std::vector<CellState>& cells) {
    if (m_result.nSolutions < 2)
        (m_result.nSolutions == 0 ? m_result.first : m_result.second) = cells;
    ++m_result.nSolutions;
    if (m_options.pfnSolution)
        m_options.pfnSolution(cells, m_options.pSolutionContext);
}

// Clues without solution: the cells line logic decided before it found the
// contradiction, but never a grid that looks finished. The line no placement
// fits, or every line a complete grid breaks, is left undecided, so each
// cell shown follows from the clues of lines that still held.
void CCompleteSolver::KeepNoSolutionCells(const std::vector<CellState>& cells, int nFailedLine) {
    m_result.known = cells;
    auto forget = [&](int nLine) {
        for (int32_t i = 0; i < LineLength(nLine); ++i)
            m_result.known[CellOf(nLine, i)] = CELL_UNKNOWN;
    };
    if (nFailedLine >= 0) {
        forget(nFailedLine);
        return;
    }
    if (std::find(cells.begin(), cells.end(), CELL_UNKNOWN) != cells.end())
        return;
    CPuzzle grid = m_puzzle;
    grid.SetCells(cells);
    for (int r = 0; r < m_nRows; ++r)
        if (!grid.RowReadsClues(r))
            forget(r);
    for (int c = 0; c < m_nCols; ++c)
        if (!grid.ColumnReadsClues(c))
            forget(m_nRows + c);
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
    if (StopRequested()) {
        m_result.outcome = Outcome::Stopped;
        return false;
    }
    if (!bFits) {
        m_result.outcome = Outcome::NoSolution;
        KeepNoSolutionCells(m_cells, m_nFailedLine);
        return false;
    }
    if (std::find(m_cells.begin(), m_cells.end(), CELL_UNKNOWN) == m_cells.end()) {
        // Every line was settled after its last cell changed, so each one
        // reads its clues.
        m_result.outcome = m_options.nMaxSolutions > 1 ? Outcome::Unique : Outcome::Solved;
        Found(m_cells);
        return false;
    }
    PrepareSearch();
    return true;
}

// The result is moved out, not copied: on a large grid its cells are a
// grid or two.
CCompleteSolver::Result CCompleteSolver::Solve(const Options& options) {
    m_options = options;
    m_options.nMaxSolutions = std::max<uint64_t>(m_options.nMaxSolutions, 1);
    m_result = Result();
    if (!Start())
        return std::move(m_result);
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
    return std::move(m_result);
}
