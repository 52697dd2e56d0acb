// The agreement of a short line (up to kMaxBitsLength cells), with each
// table row held in one 64-bit word: bit i of a row stands for position i.
// The same recurrences as the table version, a word at a time:
//
//   prefix[t]: the first t runs fit in [0, i) (bit i), cell i-1 a gap or
//              the end of run t-1;
//   suffix[t]: runs t.. fit in [i, length).
//
// Carrying a row forward over gap cells is one addition: adding the seeds
// to the allowed bits ripples a carry through each block of allowed bits,
// and the bits it clears are the block's cells reachable from a seed.

#include "solver/LineAgreement.h"

#include <bit>

namespace {

using Bits = uint64_t;

Bits Low(int32_t n) {
    return n >= 64 ? ~Bits{0} : (Bits{1} << n) - 1;
}

// Positions from each seed upwards while the next position is open
// (bit i of `open`: a row may go on from i-1 to i).
Bits CarryUp(Bits seeds, Bits open) {
    const Bits allowed = open | seeds;
    return (allowed & ~(allowed + seeds)) | seeds;
}

// Bits s of `starts` spread over [s, s + nLength).
Bits Spread(Bits starts, int32_t nLength) {
    Bits covered = starts; // [s, s + nDone) for each start
    for (int32_t nDone = 1; nDone < nLength;) {
        const int32_t nStep = std::min(nDone, nLength - nDone);
        covered |= covered << nStep;
        nDone += nStep;
    }
    return covered;
}

// Starts s whose run of nLength cells meets no empty cell: `fillable` has
// the cells that may be filled.
Bits RunFits(Bits fillable, int32_t nLength) {
    Bits fits = fillable;
    for (int32_t nDone = 1; nDone < nLength;) {
        const int32_t nStep = std::min(nDone, nLength - nDone);
        fits &= fits >> nStep;
        nDone += nStep;
    }
    return fits;
}

// The low nWidth bits in reverse order.
Bits Reverse(Bits bits, int32_t nWidth) {
    bits = ((bits >> 1) & 0x5555555555555555ULL) | ((bits & 0x5555555555555555ULL) << 1);
    bits = ((bits >> 2) & 0x3333333333333333ULL) | ((bits & 0x3333333333333333ULL) << 2);
    bits = ((bits >> 4) & 0x0f0f0f0f0f0f0f0fULL) | ((bits & 0x0f0f0f0f0f0f0f0fULL) << 4);
    return __builtin_bswap64(bits) >> (64 - nWidth);
}

} // namespace

bool CLineAgreement::FitsInWord(const ClueList& clues, int32_t nLength) {
    return nLength <= kMaxBitsLength &&
           std::none_of(clues.begin(), clues.end(), [](const Clue& clue) { return clue.length <= 0; });
}

// Prefix rows 0..n, the runs taken forwards or backwards, on a line whose
// gap cells are `gaps` and fillable cells `fillable`.
void CLineAgreement::BitsPrefixes(const ClueList& clues, bool bBackwards, Bits gaps, Bits fillable, Bits* pRows) {
    const size_t n = clues.size();
    const Bits open = gaps << 1; // bit i: cell i-1 may be a gap
    const Bits line = Low(m_nLength + 1);
    pRows[0] = CarryUp(1, open) & line;
    for (size_t t = 1; t <= n; ++t) {
        const Clue& clue = clues[bBackwards ? n - t : t - 1];
        int32_t nLo = Lo(clue);
        int32_t nHi = Hi(clue);
        if (bBackwards) { // a run starting at s forwards starts at length - s - len backwards
            const int32_t nForwardLo = nLo;
            nLo = m_nLength - clue.length - nHi;
            nHi = m_nLength - clue.length - nForwardLo;
        }
        if (nLo > nHi) {
            std::fill(pRows + t, pRows + n + 1, Bits{0});
            return;
        }
        // Starts s after a gap at s-1 that follows t-1 runs, or s = 0 for the first run.
        const Bits afterGap = ((pRows[t - 1] & gaps) << 1) | (t == 1 ? 1 : 0);
        const Bits starts = afterGap & RunFits(fillable, clue.length) & Low(nHi + 1) & ~Low(nLo);
        pRows[t] = CarryUp(starts << clue.length, open) & line;
    }
}

bool CLineAgreement::SettleWord(const ClueList& clues, int32_t nLength, Bits filled, Bits empty, Bits* pCanFill,
                                Bits* pCanEmpty, int32_t* pLeftStarts, int32_t* pRightStarts) {
    const size_t n = clues.size();
    m_nLength = nLength;
    const Bits gaps = ~filled & Low(nLength);
    const Bits fillable = ~empty & Low(nLength);
    m_prefixBits.resize(n + 1);
    m_backBits.resize(n + 1);
    BitsPrefixes(clues, false, gaps, fillable, m_prefixBits.data());
    if (!((m_prefixBits[n] >> nLength) & 1))
        return false;
    BitsPrefixes(clues, true, Reverse(gaps, nLength), Reverse(fillable, nLength), m_backBits.data());
    // suffix[t] is the backwards prefix of the last n - t runs, mirrored.
    auto suffix = [&](size_t t) { return Reverse(m_backBits[n - t], nLength + 1); };

    Bits canFill = 0;
    Bits canEmpty = 0;
    Bits after = suffix(0);
    for (size_t t = 0; t < n; ++t) {
        const Clue& clue = clues[t];
        const Bits current = after;
        after = suffix(t + 1);
        canEmpty |= m_prefixBits[t] & (current >> 1);
        const Bits afterGap = ((m_prefixBits[t] & gaps) << 1) | (t == 0 ? 1 : 0);
        // A run ending at e needs a gap at e and the rest from e + 1, or the
        // line's end when it is the last run.
        Bits beforeRest = (gaps & (after >> 1)) >> clue.length;
        if (t + 1 == n)
            beforeRest |= Bits{1} << (nLength - clue.length);
        const Bits starts = afterGap & RunFits(fillable, clue.length) & beforeRest & Low(Hi(clue) + 1) & ~Low(Lo(clue));
        if (pLeftStarts) {
            pLeftStarts[t] = starts ? std::countr_zero(starts) : -1;
            pRightStarts[t] = starts ? 63 - std::countl_zero(starts) : -1;
        }
        canFill |= Spread(starts, clue.length);
    }
    canEmpty |= m_prefixBits[n] & (after >> 1);
    *pCanFill = canFill;
    *pCanEmpty = canEmpty & gaps;
    return true;
}

bool CLineAgreement::SettleBits(const ClueList& clues, const CellState* pLine, CellState* pAgreed,
                                std::vector<int32_t>& leftStarts, std::vector<int32_t>& rightStarts) {
    const int32_t nLength = m_nLength;
    Bits filled = 0;
    Bits empty = 0;
    for (int32_t i = 0; i < nLength; ++i) {
        filled |= Bits{pLine[i] == CELL_FILLED} << i;
        empty |= Bits{pLine[i] == CELL_EMPTY} << i;
    }
    leftStarts.resize(clues.size());
    rightStarts.resize(clues.size());
    Bits canFill = 0;
    Bits canEmpty = 0;
    if (!SettleWord(clues, nLength, filled, empty, &canFill, &canEmpty, leftStarts.data(), rightStarts.data()))
        return false;
    for (int32_t c = 0; c < nLength; ++c) {
        const bool bFill = (canFill >> c) & 1;
        const bool bEmpty = (canEmpty >> c) & 1;
        pAgreed[c] = bFill && bEmpty ? CELL_UNKNOWN : bFill ? CELL_FILLED : CELL_EMPTY;
    }
    return true;
}
