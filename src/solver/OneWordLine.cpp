#include "solver/OneWordLine.h"

#include "solver/BitRows.h"
#include "solver/LineAgreement.h"
#include "solver/WideBits.h"

#include <algorithm>

namespace {

// Starts nLo..nHi as bits (none when nLo > nHi: no room).
uint64_t WindowWord(int32_t nLo, int32_t nHi) {
    return nLo > nHi ? 0 : ((uint64_t{2} << nHi) - 1) & ~((uint64_t{1} << nLo) - 1);
}

// The low nWidth bits in reverse order.
inline uint64_t Reversed(uint64_t nBits, int32_t nWidth) {
    return WideBits<1>::ReverseWord(nBits) >> (64 - nWidth);
}

} // namespace

COneWordLine::COneWordLine(const ClueList& clues, int32_t nLength) : m_nRuns(clues.size()), m_nLength(nLength) {
    for (size_t t = 0; t < m_nRuns; ++t) {
        const Clue& clue = clues[t];
        const int32_t nFirst = std::max(clue.minStart, int32_t{0});
        const int32_t nLast = std::min(clue.maxStart, nLength - clue.length);
        // A run starting at s forwards starts at length - s - len backwards.
        const int32_t nMirror = nLength - clue.length;
        m_runs[t] = {WindowWord(nFirst, nLast), WindowWord(nMirror - nLast, nMirror - nFirst), clue.length};
    }
}

// The prefix rows 0..n, the runs taken forwards or backwards: row t has
// bit i when the first t runs fit in cells [0, i), cell i - 1 being a gap
// or the end of run t; pFits, when given, gets where each run meets no
// empty cell. Returns the last row: zero when a run finds no room, the
// rows from it on then zero.
template <bool kBackwards>
uint64_t COneWordLine::Rows(uint64_t nGaps, uint64_t nFillable, uint64_t* pRows, uint64_t* pFits) const {
    const uint64_t nOpen = nGaps << 1; // bit i: cell i - 1 may be a gap
    const uint64_t nPositions = (uint64_t{2} << m_nLength) - 1;
    uint64_t nRow = BitRows::CarryUp(uint64_t{1}, nOpen) & nPositions;
    pRows[0] = nRow;
    for (size_t t = 1; t <= m_nRuns; ++t) {
        const Run& run = m_runs[kBackwards ? m_nRuns - t : t - 1];
        const uint64_t nFits = BitRows::RunFits(nFillable, run.nLength);
        const uint64_t nStarts =
            (((nRow & nGaps) << 1) | (t == 1)) & nFits & (kBackwards ? run.nBackWindow : run.nWindow);
        nRow = BitRows::CarryUp(nStarts << run.nLength, nOpen) & nPositions;
        if (pFits)
            pFits[t - 1] = nFits;
        pRows[t] = nRow;
        if (nRow == 0) { // no room for this run: none for the rest either
            std::fill(pRows + t + 1, pRows + m_nRuns + 1, uint64_t{0});
            return 0;
        }
    }
    return nRow;
}

// Rows' forward pass alone, keeping only the current row: the question
// thinning reasons asks most.
bool COneWordLine::Fits(uint64_t nFilled, uint64_t nEmpty) const {
    const uint64_t nCells = (uint64_t{1} << m_nLength) - 1;
    const uint64_t nGaps = ~nFilled & nCells;
    const uint64_t nFillable = ~nEmpty & nCells;
    const uint64_t nOpen = nGaps << 1;
    const uint64_t nPositions = (uint64_t{2} << m_nLength) - 1;
    uint64_t nRow = BitRows::CarryUp(uint64_t{1}, nOpen) & nPositions;
    uint64_t nFirst = 1; // the first run needs no gap before it
    for (size_t t = 0; t < m_nRuns; ++t) {
        const Run& run = m_runs[t];
        const uint64_t nStarts = (((nRow & nGaps) << 1) | nFirst) & run.nWindow & BitRows::RunFits(nFillable, run.nLength);
        nRow = BitRows::CarryUp(nStarts << run.nLength, nOpen) & nPositions;
        if (nRow == 0)
            return false;
        nFirst = 0;
    }
    return (nRow >> m_nLength) & 1;
}

// A run may start at s when the runs before it fit before s (with a gap
// before s), the run meets no empty cell, and the runs after it fit after
// it (with a gap after it): the backward rows, mirrored, give the last.
bool COneWordLine::Settle(uint64_t nFilled, uint64_t nEmpty, uint64_t& nCanFill, uint64_t& nCanEmpty,
                          int32_t* pLeftStarts, int32_t* pRightStarts) const {
    const size_t n = m_nRuns;
    const uint64_t nCells = (uint64_t{1} << m_nLength) - 1;
    const uint64_t nGaps = ~nFilled & nCells;
    const uint64_t nFillable = ~nEmpty & nCells;
    uint64_t prefix[kMaxRuns + 1];
    uint64_t back[kMaxRuns + 1]; // prefix rows of the reversed line
    uint64_t fits[kMaxRuns];
    if (!((Rows<false>(nGaps, nFillable, prefix, fits) >> m_nLength) & 1))
        return false;
    Rows<true>(Reversed(nGaps, m_nLength), Reversed(nFillable, m_nLength), back, nullptr);
    // suffix[t] is the backwards prefix of the last n - t runs, mirrored.
    auto suffix = [&](size_t t) { return Reversed(back[n - t], m_nLength + 1); };

    uint64_t nFill = 0;
    uint64_t nGap = 0;
    uint64_t nAfter = suffix(0);
    for (size_t t = 0; t < n; ++t) {
        const Run& run = m_runs[t];
        const uint64_t nCurrent = nAfter;
        nAfter = suffix(t + 1);
        nGap |= prefix[t] & (nCurrent >> 1);
        // A run ending at e needs a gap at e and the rest from e + 1, or the
        // line's end when it is the last run.
        uint64_t nBeforeRest = (nGaps & (nAfter >> 1)) >> run.nLength;
        if (t + 1 == n)
            nBeforeRest |= uint64_t{1} << (m_nLength - run.nLength);
        const uint64_t nStarts = (((prefix[t] & nGaps) << 1) | (t == 0)) & fits[t] & nBeforeRest & run.nWindow;
        if (pLeftStarts) {
            const WideBits<1> starts{{nStarts}};
            pLeftStarts[t] = starts.Lowest();
            pRightStarts[t] = starts.Highest();
        }
        nFill |= BitRows::Spread(nStarts, run.nLength);
    }
    nGap |= prefix[n] & (nAfter >> 1);
    nCanFill = nFill;
    nCanEmpty = nGap & nGaps;
    return true;
}

void COneWordLines::Prepare(const std::vector<ClueList>& lines, int nRows, int nCols) {
    m_prepared.clear();
    m_index.assign(lines.size(), kNone);
    for (size_t nLine = 0; nLine < lines.size(); ++nLine) {
        const int32_t nLength = nLine < static_cast<size_t>(nRows) ? nCols : nRows;
        if (nLength <= COneWordLine::kMaxLength && CLineAgreement::FitsInWords(lines[nLine], nLength)) {
            m_index[nLine] = static_cast<uint32_t>(m_prepared.size());
            m_prepared.emplace_back(lines[nLine], nLength);
        }
    }
}
