// The line solver on a line's bit sets, during a solve: both modes decide a
// line from its known cells a word at a time, so that a pass costs what
// changed in it rather than the grid. Each gives exactly what the
// cell-by-cell form in LineSolver.cpp gives; a line it cannot vouch for (no
// placement fits, or runs it does not take) goes back to that form.

#include "model/Puzzle.h"
#include "solver/FastMarks.h"
#include "solver/LeastPlacement.h"

#include <algorithm>

namespace {

// A cell's part of the grid's digest: a 64-bit mix (SplitMix64's finaliser)
// of its place and state, so that the sum over the known cells tells grids
// apart whatever the order they were decided in.
uint64_t CellDigest(ptrdiff_t nCell, CellState state) {
    uint64_t z = static_cast<uint64_t>(nCell) * 4 + static_cast<uint64_t>(state) + 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

} // namespace

// The crossing line may give something in either mode now, unless the fast
// mode's placements there agree with the cell, or the exhaustive mode's
// single run still gives nothing.
inline void CPuzzle::WriteCell(const LineCells& cells, int32_t nCell, CellState state) {
    CellState& cell = cells.pFirst[nCell * cells.nStride];
    m_nSolveTotal += state - cell;
    cell = state;
    m_nSolveDigest += CellDigest(cells.nFirstCell + nCell * cells.nStride, state);
    const auto i = static_cast<size_t>(nCell);
    const int nFilled = state == CELL_FILLED;
    if (cells.pOwn[nFilled]) {
        cells.pOwn[nFilled][i / 64] |= uint64_t{1} << (i % 64);
        const auto nOwn = static_cast<size_t>(cells.nIndex);
        cells.pCrossing[nFilled][i * cells.nCrossingWords + nOwn / 64] |= uint64_t{1} << (nOwn % 64);
    }
    if (i >= cells.nCrossing)
        return;
    if (!cells.pCrossingDirty[0][i] &&
        !cells.pCrossingRuns->StillNothing(i, cells.nIndex, state,
                                           cells.pCrossing[0] + i * cells.nCrossingWords, cells.nCrossingLength))
        cells.pCrossingDirty[0][i] = 1;
    if (!cells.pCrossingDirty[1][i] && !cells.pCrossingMemo->Agrees(i, cells.nIndex, state)) {
        cells.pCrossingDirty[1][i] = 1;
        cells.pCrossingMemo->Forget(i);
    }
}

CPuzzle::LineOutcome CPuzzle::SolveFastBits(ClueList& clues, bool bIsRow, int nIndex) {
    const BitLine line = bIsRow ? m_lineBits.Row(nIndex) : m_lineBits.Column(nIndex);
    const int32_t nLength = line.nLength;
    LineScratch& s = m_scratch;
    const size_t n = clues.size();
    s.leftStarts.resize(n);
    s.rightStarts.resize(n);
    if (clues[0].length == 0) {
        // A blank line's zero-length run: with no filled cell the push moves
        // it to start 2 from either end (or to the end of a shorter line),
        // whatever else the line holds.
        const int32_t nStart = clues[0].minStart;
        if (n != 1 || nStart < 0 || nStart > nLength || WordScan::Any(line.pFilled, 0, nLength))
            return LineOutcome::kUndecided;
        s.leftStarts[0] = nStart < 1 ? std::min(2, nLength) : nStart;
        s.rightStarts[0] = nLength - std::min(2, nLength);
    } else {
        if (!BoundsInOrder(clues))
            return LineOutcome::kUndecided;
        for (size_t t = 0; t < n; ++t)
            s.leftStarts[t] = clues[t].minStart;
        if (!LeastPlacement(clues, line, s.leftStarts.data()))
            return LineOutcome::kUndecided;
        // The rightmost placement: the reversed runs from their packed starts
        // on the line read from its end.
        s.backward.assign(clues.rbegin(), clues.rend());
        s.push.starts.resize(n);
        for (size_t t = 0, nStart = 0; t < n; nStart += static_cast<size_t>(s.backward[t].length) + 1, ++t)
            s.push.starts[t] = static_cast<int32_t>(nStart);
        if (!LeastPlacement(s.backward, MirroredBitLine{line}, s.push.starts.data()))
            return LineOutcome::kUndecided;
        for (size_t t = 0; t < n; ++t) {
            s.rightStarts[t] = nLength - s.push.starts[n - 1 - t] - clues[t].length;
            if (s.rightStarts[t] < s.leftStarts[t])
                return LineOutcome::kUndecided; // bounds past a placement: not this form's case
        }
    }
    for (size_t t = 0; t < n; ++t)
        clues[t].minStart = s.leftStarts[t];

    // A mark on a cell known the other way (a line without solution) is
    // left to the cell-by-cell form; otherwise the unknown cells under the
    // marks are decided.
    bool bConflict = false;
    bool bNew = false;
    ForEachMark(clues, s.leftStarts.data(), s.rightStarts.data(), nLength,
                [&](int32_t nFrom, int32_t nTo, CellState state) {
                    const bool bFilled = state == CELL_FILLED;
                    bConflict |= WordScan::Any(bFilled ? line.pEmpty : line.pFilled, nFrom, nTo);
                    bNew |= WordScan::First(bFilled ? line.pFilled : line.pEmpty, nFrom, nTo, true) < nTo;
                });
    if (bConflict)
        return LineOutcome::kUndecided;
    if (!bNew) {
        (bIsRow ? m_rowMemo : m_colMemo)
            .Keep(static_cast<size_t>(nIndex), clues, s.leftStarts.data(), s.rightStarts.data());
        return LineOutcome::kNothing;
    }
    const LineCells cells = CellsOf(bIsRow, nIndex);
    ForEachMark(clues, s.leftStarts.data(), s.rightStarts.data(), nLength,
                [&](int32_t nFrom, int32_t nTo, CellState state) {
                    const uint64_t* pSame = state == CELL_FILLED ? line.pFilled : line.pEmpty;
                    for (int32_t i = WordScan::First(pSame, nFrom, nTo, true); i < nTo;
                         i = WordScan::First(pSame, i + 1, nTo, true))
                        WriteCell(cells, i, state);
                });
    MarkOwnLine(bIsRow, nIndex);
    return LineOutcome::kChanged;
}

CPuzzle::LineOutcome CPuzzle::SolveAgreementBits(ClueList& clues, bool bIsRow, int nIndex) {
    const BitLine line = bIsRow ? m_lineBits.Row(nIndex) : m_lineBits.Column(nIndex);
    const int32_t nLength = line.nLength;
    LineScratch& s = m_scratch;
    const LineCells cells = CellsOf(bIsRow, nIndex);
    bool bChanged = false;
    if (clues[0].length == 0) {
        // A blank line: every cell empty, the run free to start anywhere
        // within its bounds.
        const int32_t nLo = std::max(clues[0].minStart, int32_t{0});
        const int32_t nHi = std::min(clues[0].maxStart, nLength);
        if (clues.size() != 1 || nLo > nHi || WordScan::Any(line.pFilled, 0, nLength))
            return LineOutcome::kUndecided;
        clues[0].minStart = nLo;
        clues[0].maxStart = nHi;
        for (size_t w = 0; w < CLineAgreement::WordsFor(nLength); ++w) {
            const int32_t nBits = std::min(nLength - static_cast<int32_t>(64 * w), 64);
            const uint64_t line64 = nBits == 64 ? ~uint64_t{0} : (uint64_t{1} << nBits) - 1;
            for (uint64_t unknown = ~line.pEmpty[w] & line64; unknown; unknown &= unknown - 1) {
                WriteCell(cells, static_cast<int32_t>(w * 64) + std::countr_zero(unknown), CELL_EMPTY);
                bChanged = true;
            }
        }
    } else {
        if (!CLineAgreement::FitsInAnyWords(clues, nLength))
            return LineOutcome::kUndecided;
        const size_t nWords = CLineAgreement::WordsFor(nLength);
        s.canWords.resize(2 * nWords);
        uint64_t* pCanFill = s.canWords.data();
        uint64_t* pCanEmpty = pCanFill + nWords;
        s.leftStarts.resize(clues.size());
        s.rightStarts.resize(clues.size());
        if (!CLineAgreement::SettleWords(clues, nLength, line.pFilled, line.pEmpty, pCanFill, pCanEmpty,
                                         s.leftStarts.data(), s.rightStarts.data()))
            return LineOutcome::kUndecided;
        for (size_t t = 0; t < clues.size(); ++t) {
            clues[t].minStart = s.leftStarts[t];
            clues[t].maxStart = s.rightStarts[t];
        }
        for (size_t w = 0; w < nWords; ++w) {
            // read before the cells of this word are decided
            const uint64_t agreedFilled = pCanFill[w] & ~pCanEmpty[w] & ~line.pFilled[w];
            const uint64_t agreedEmpty = pCanEmpty[w] & ~pCanFill[w] & ~line.pEmpty[w];
            for (uint64_t bits = agreedFilled | agreedEmpty; bits; bits &= bits - 1) {
                const int nBit = std::countr_zero(bits);
                WriteCell(cells, static_cast<int32_t>(w * 64) + nBit,
                          (agreedFilled >> nBit) & 1 ? CELL_FILLED : CELL_EMPTY);
                bChanged = true;
            }
        }
    }
    if (!bChanged) {
        if (clues.size() == 1)
            (bIsRow ? m_rowRuns : m_colRuns).Keep(static_cast<size_t>(nIndex), clues[0]);
        return LineOutcome::kNothing;
    }
    MarkOwnLine(bIsRow, nIndex);
    return LineOutcome::kChanged;
}

CPuzzle::LineCells CPuzzle::CellsOf(bool bIsRow, int nIndex) {
    LineCells cells{};
    cells.nFirstCell = bIsRow ? static_cast<ptrdiff_t>(nIndex) * m_nCols : nIndex;
    cells.pFirst = m_grid.data() + cells.nFirstCell;
    cells.nStride = bIsRow ? 1 : m_nCols;
    cells.nIndex = nIndex;
    auto& crossing = bIsRow ? m_dirty.cols : m_dirty.rows;
    cells.nCrossing = std::min(crossing[0].size(), crossing[1].size());
    cells.pCrossingDirty[0] = crossing[0].data();
    cells.pCrossingDirty[1] = crossing[1].data();
    cells.pCrossingMemo = bIsRow ? &m_colMemo : &m_rowMemo;
    cells.pCrossingRuns = bIsRow ? &m_colRuns : &m_rowRuns;
    cells.nCrossingLength = bIsRow ? m_nRows : m_nCols;
    if (!m_lineBits.IsEmpty()) {
        const CLineBits::Words own = m_lineBits.Lines(bIsRow);
        const CLineBits::Words cross = m_lineBits.Lines(!bIsRow);
        const size_t nOffset = static_cast<size_t>(nIndex) * own.nWords;
        cells.pOwn[0] = own.pEmpty + nOffset;
        cells.pOwn[1] = own.pFilled + nOffset;
        cells.pCrossing[0] = cross.pEmpty;
        cells.pCrossing[1] = cross.pFilled;
        cells.nCrossingWords = cross.nWords;
    }
    return cells;
}

void CPuzzle::DecideCell(const LineCells& cells, int32_t nCell, CellState state) {
    WriteCell(cells, nCell, state);
}

void CPuzzle::MarkOwnLine(bool bIsRow, int nIndex) {
    const auto nLine = static_cast<size_t>(nIndex);
    for (auto& own : bIsRow ? m_dirty.rows : m_dirty.cols)
        if (nLine < own.size())
            own[nLine] = 1;
    (bIsRow ? m_rowMemo : m_colMemo).Forget(nLine);
    (bIsRow ? m_rowRuns : m_colRuns).Forget(nLine);
}

// The grid reads every clue, checked on the bit sets: a word a time, each
// column without striding through the grid.
bool CPuzzle::BitsReadAllClues() const {
    for (int r = 0; r < m_nRows; ++r)
        if (!LineBitsReadClues(m_lineBits.Row(r), m_rowClues[static_cast<size_t>(r)]))
            return false;
    for (int c = 0; c < m_nCols; ++c)
        if (!LineBitsReadClues(m_lineBits.Column(c), m_colClues[static_cast<size_t>(c)]))
            return false;
    return true;
}
