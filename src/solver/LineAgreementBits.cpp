// The agreement of a line of up to kMaxBitsLength cells, with each table
// row held in a few 64-bit words: bit i of a row stands for position i.
// The same recurrences as the table version, a row at a time:
//
//   prefix[t]: the first t runs fit in [0, i) (bit i), cell i-1 a gap or
//              the end of run t-1;
//   suffix[t]: runs t.. fit in [i, length).
//
// Carrying a row forward over gap cells is one addition: adding the seeds
// to the allowed bits ripples a carry through each block of allowed bits,
// and the bits it clears are the block's cells reachable from a seed.

#include "solver/BitRows.h"
#include "solver/LineAgreement.h"
#include "solver/OneWordLine.h"
#include "solver/WideBits.h"

#include <algorithm>
#include <array>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

using BitRows::CarryUp;
using BitRows::RunFits;
using BitRows::Spread;

// One line's settling with rows of W words.
template <size_t W> class CWideLine {
  public:
    using Bits = WideBits<W>;

    CWideLine(const ClueList& clues, int32_t nLength) : m_clues(clues), m_nLength(nLength) {
        if constexpr (!kRowsInPlace) {
            m_prefix.resize(clues.size() + 1);
            m_back.resize(clues.size() + 1);
            m_fits.resize(clues.size());
        }
    }

    // Whether any placement fits: the forward rows alone.
    bool Fits(const Bits& filled, const Bits& empty) {
        const Bits gaps = ~filled & Bits::Low(m_nLength);
        const Bits fillable = ~empty & Bits::Low(m_nLength);
        Prefixes(false, gaps, fillable, m_prefix.data());
        return m_prefix[m_clues.size()].Test(m_nLength);
    }

    bool Settle(const Bits& filled, const Bits& empty, Bits* pCanFill, Bits* pCanEmpty, int32_t* pLeftStarts,
                int32_t* pRightStarts) {
        const size_t n = m_clues.size();
        const Bits gaps = ~filled & Bits::Low(m_nLength);
        const Bits fillable = ~empty & Bits::Low(m_nLength);
        Prefixes(false, gaps, fillable, m_prefix.data());
        if (!m_prefix[n].Test(m_nLength))
            return false;
        Prefixes(true, gaps.Reversed(m_nLength), fillable.Reversed(m_nLength), m_back.data());
        // suffix[t] is the backwards prefix of the last n - t runs, mirrored.
        auto suffix = [&](size_t t) { return m_back[n - t].Reversed(m_nLength + 1); };

        Bits canFill = Bits::Zero();
        Bits canEmpty = Bits::Zero();
        Bits after = suffix(0);
        for (size_t t = 0; t < n; ++t) {
            const Clue& clue = m_clues[t];
            const Bits current = after;
            after = suffix(t + 1);
            canEmpty |= m_prefix[t] & (current >> 1);
            // A run ending at e needs a gap at e and the rest from e + 1, or
            // the line's end when it is the last run.
            Bits beforeRest = (gaps & (after >> 1)) >> clue.length;
            if (t + 1 == n)
                beforeRest |= Bits::Bit(m_nLength - clue.length);
            const Bits starts =
                AfterGap(m_prefix[t], gaps, t == 0) & m_fits[t] & beforeRest & Window(Lo(clue), Hi(clue));
            if (pLeftStarts) {
                pLeftStarts[t] = starts.Lowest();
                pRightStarts[t] = starts.Highest();
            }
            canFill |= Spread(starts, clue.length);
        }
        canEmpty |= m_prefix[n] & (after >> 1);
        *pCanFill = canFill;
        *pCanEmpty = canEmpty & gaps;
        return true;
    }

  private:
    // The most runs a line of these rows can hold.
    static constexpr size_t kMaxRuns = 32 * W;
    // Short lines keep their rows in the object; the rows of a long line
    // (up to 513 words each) are as many as its runs need, on the heap.
    static constexpr bool kRowsInPlace = W <= CLineAgreement::kMaxBitsWords;
    template <size_t N> using Rows = std::conditional_t<kRowsInPlace, std::array<Bits, N>, std::vector<Bits>>;

    static int32_t Lo(const Clue& clue) { return std::max(clue.minStart, int32_t{0}); }
    int32_t Hi(const Clue& clue) const { return std::min(clue.maxStart, m_nLength - clue.length); }
    static Bits Window(int32_t nLo, int32_t nHi) { return Bits::Low(nHi + 1) & ~Bits::Low(nLo); }
    // Starts s after a gap at s-1 that follows the runs of `before`, or
    // s = 0 for the first run.
    static Bits AfterGap(const Bits& before, const Bits& gaps, bool bFirst) {
        Bits after = (before & gaps) << 1;
        if (bFirst)
            after |= Bits::Bit(0);
        return after;
    }

    // Prefix rows 0..n, the runs taken forwards or backwards, on a line
    // whose gap cells are `gaps` and fillable cells `fillable`. Forwards, it
    // also keeps where each run fits for the agreement to reuse.
    void Prefixes(bool bBackwards, const Bits& gaps, const Bits& fillable, Bits* pRows) {
        const size_t n = m_clues.size();
        const Bits open = gaps << 1; // bit i: cell i-1 may be a gap
        const Bits line = Bits::Low(m_nLength + 1);
        pRows[0] = CarryUp(Bits::Bit(0), open) & line;
        for (size_t t = 1; t <= n; ++t) {
            const Clue& clue = m_clues[bBackwards ? n - t : t - 1];
            int32_t nLo = Lo(clue);
            int32_t nHi = Hi(clue);
            if (bBackwards) { // a run starting at s forwards starts at length - s - len backwards
                const int32_t nForwardLo = nLo;
                nLo = m_nLength - clue.length - nHi;
                nHi = m_nLength - clue.length - nForwardLo;
            }
            if (nLo > nHi) {
                std::fill(pRows + t, pRows + n + 1, Bits::Zero());
                return;
            }
            const Bits fits = RunFits(fillable, clue.length);
            if (!bBackwards)
                m_fits[t - 1] = fits;
            const Bits starts = AfterGap(pRows[t - 1], gaps, t == 1) & fits & Window(nLo, nHi);
            pRows[t] = CarryUp(starts << clue.length, open) & line;
            if (!pRows[t].Any()) { // no room for this run: none for the rest either
                std::fill(pRows + t + 1, pRows + n + 1, Bits::Zero());
                return;
            }
        }
    }

    const ClueList& m_clues;
    int32_t m_nLength;
    Rows<kMaxRuns + 1> m_prefix;
    Rows<kMaxRuns + 1> m_back; // prefix rows of the reversed line
    Rows<kMaxRuns> m_fits;     // starts where each run meets no empty cell
};

// The caller's words cover the cells; the rows may need one word more.
template <size_t W> WideBits<W> LoadBits(const uint64_t* pWords, int32_t nLength) {
    WideBits<W> bits = WideBits<W>::Zero();
    // Word by word: a library copy of one or two words costs a call.
    for (size_t i = 0; i < CLineAgreement::WordsFor(nLength); ++i)
        bits.w[i] = pWords[i];
    return bits;
}

template <size_t W>
bool FitsIn(const ClueList& clues, int32_t nLength, const uint64_t* pFilled, const uint64_t* pEmpty) {
    return CWideLine<W>(clues, nLength).Fits(LoadBits<W>(pFilled, nLength), LoadBits<W>(pEmpty, nLength));
}

template <size_t W>
bool SettleIn(const ClueList& clues, int32_t nLength, const uint64_t* pFilled, const uint64_t* pEmpty,
              uint64_t* pCanFill, uint64_t* pCanEmpty, int32_t* pLeftStarts, int32_t* pRightStarts) {
    using Bits = WideBits<W>;
    const size_t nWords = CLineAgreement::WordsFor(nLength);
    const Bits filled = LoadBits<W>(pFilled, nLength);
    const Bits empty = LoadBits<W>(pEmpty, nLength);
    Bits canFill;
    Bits canEmpty;
    CWideLine<W> line(clues, nLength);
    if (!line.Settle(filled, empty, &canFill, &canEmpty, pLeftStarts, pRightStarts))
        return false;
    for (size_t i = 0; i < nWords; ++i) {
        pCanFill[i] = canFill.w[i];
        pCanEmpty[i] = canEmpty.w[i];
    }
    return true;
}

// One-word lines (up to 62 cells) in plain words, with the same rows as
// CWideLine: the searches ask this of the same short lines over and over,
// and the general rows' object, masks and run-time direction cost more than
// the arithmetic.
template <>
bool FitsIn<1>(const ClueList& clues, int32_t nLength, const uint64_t* pFilled, const uint64_t* pEmpty) {
    return COneWordLine(clues, nLength).Fits(*pFilled, *pEmpty);
}

template <>
bool SettleIn<1>(const ClueList& clues, int32_t nLength, const uint64_t* pFilled, const uint64_t* pEmpty,
                 uint64_t* pCanFill, uint64_t* pCanEmpty, int32_t* pLeftStarts, int32_t* pRightStarts) {
    return COneWordLine(clues, nLength).Settle(*pFilled, *pEmpty, *pCanFill, *pCanEmpty, pLeftStarts, pRightStarts);
}

using SettleInFunction = bool (*)(const ClueList&, int32_t, const uint64_t*, const uint64_t*, uint64_t*, uint64_t*,
                                  int32_t*, int32_t*);

using FitsInFunction = bool (*)(const ClueList&, int32_t, const uint64_t*, const uint64_t*);

// The row widths in words: every width up to kMaxBitsWords, then steps of
// about half again up to the 513 words of a 32767-cell line, so a long line
// works on at most a third more words than it has.
template <size_t... W> struct RowWidths {
    static constexpr std::array<size_t, sizeof...(W)> kWords = {W...};
    static constexpr std::array<SettleInFunction, sizeof...(W)> kSettleIn = {&SettleIn<W>...};
    static constexpr std::array<FitsInFunction, sizeof...(W)> kFitsIn = {&FitsIn<W>...};
};
using Widths = RowWidths<1, 2, 3, 4, 5, 6, 7, 8, 11, 16, 24, 32, 48, 64, 96, 128, 192, 256, 384, 513>;
static_assert(Widths::kWords[CLineAgreement::kMaxBitsWords - 1] == CLineAgreement::kMaxBitsWords);

// The narrowest rows that hold positions 0..nLength, with a spare bit above
// for the carry.
size_t RowWidthIndex(int32_t nLength) {
    const size_t nNeeded = (static_cast<size_t>(nLength) + 2 + 63) / 64;
    size_t i = 0;
    while (Widths::kWords[i] < nNeeded)
        ++i;
    return i;
}

} // namespace

// Lines whose runs cannot fit go to the table form, which finds that no
// placement fits; here they could overrun the rows.
bool CLineAgreement::FitsInWords(const ClueList& clues, int32_t nLength) {
    return nLength <= kMaxBitsLength && FitsInAnyWords(clues, nLength);
}

bool CLineAgreement::FitsInAnyWords(const ClueList& clues, int32_t nLength) {
    if (nLength > kMaxLongBitsLength)
        return false;
    int32_t nNeeded = -1;
    for (const Clue& clue : clues) {
        if (clue.length <= 0)
            return false;
        nNeeded += clue.length + 1;
    }
    return nNeeded <= nLength;
}

bool CLineAgreement::SettleWords(const ClueList& clues, int32_t nLength, const uint64_t* pFilled,
                                 const uint64_t* pEmpty, uint64_t* pCanFill, uint64_t* pCanEmpty, int32_t* pLeftStarts,
                                 int32_t* pRightStarts) {
    return Widths::kSettleIn[RowWidthIndex(nLength)](clues, nLength, pFilled, pEmpty, pCanFill, pCanEmpty, pLeftStarts,
                                                     pRightStarts);
}

bool CLineAgreement::AgreedWords(const ClueList& clues, int32_t nLength, const uint64_t* pFilled,
                                 const uint64_t* pEmpty, uint64_t* pAgreed) {
    const size_t nWords = WordsFor(nLength);
    if (!SettleWords(clues, nLength, pFilled, pEmpty, pAgreed, pAgreed + nWords))
        return false;
    for (size_t w = 0; w < nWords; ++w) { // in place: can fill, can empty -> must fill, must empty
        const uint64_t nCanFill = pAgreed[w];
        const uint64_t nCanEmpty = pAgreed[nWords + w];
        pAgreed[w] = nCanFill & ~nCanEmpty;
        pAgreed[nWords + w] = nCanEmpty & ~nCanFill;
    }
    return true;
}

bool CLineAgreement::FitsWords(const ClueList& clues, int32_t nLength, const uint64_t* pFilled,
                               const uint64_t* pEmpty) {
    return Widths::kFitsIn[RowWidthIndex(nLength)](clues, nLength, pFilled, pEmpty);
}

bool CLineAgreement::SettleBits(const ClueList& clues, const CellState* pLine, int32_t nLength, CellState* pAgreed,
                                std::vector<int32_t>& leftStarts, std::vector<int32_t>& rightStarts) {
    const size_t nWords = WordsFor(nLength);
    m_bitsIn.assign(4 * nWords, 0); // filled, empty, can fill, can empty
    uint64_t* pFilled = m_bitsIn.data();
    uint64_t* pEmpty = pFilled + nWords;
    for (int32_t i = 0; i < nLength; ++i) {
        const uint64_t nBit = uint64_t{1} << (i % 64);
        pFilled[i / 64] |= pLine[i] == CELL_FILLED ? nBit : 0;
        pEmpty[i / 64] |= pLine[i] == CELL_EMPTY ? nBit : 0;
    }
    leftStarts.resize(clues.size());
    rightStarts.resize(clues.size());
    uint64_t* pCanFill = pEmpty + nWords;
    uint64_t* pCanEmpty = pCanFill + nWords;
    if (!SettleWords(clues, nLength, pFilled, pEmpty, pCanFill, pCanEmpty, leftStarts.data(), rightStarts.data()))
        return false;
    for (int32_t c = 0; c < nLength; ++c) {
        const bool bFill = (pCanFill[c / 64] >> (c % 64)) & 1;
        const bool bEmpty = (pCanEmpty[c / 64] >> (c % 64)) & 1;
        pAgreed[c] = bFill && bEmpty ? CELL_UNKNOWN : bFill ? CELL_FILLED : CELL_EMPTY;
    }
    return true;
}
