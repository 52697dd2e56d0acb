#pragma once

#include "model/Clue.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// A line of up to 62 cells in the word form, its runs prepared once: each
// run's length and the starts its bounds allow, forwards and backwards, as
// words. The searches settle the same short lines, and thinning a line's
// reason asks whether a placement fits one a couple of dozen times; worked
// out from the bounds on every call, the windows cost about as much as the
// rows themselves. It holds no pointer and allocates nothing, so a line
// prepared for a single call costs no more than the bounds it reads.
class COneWordLine {
  public:
    // The rows hold positions 0..length and a bit above for the carry.
    static constexpr int32_t kMaxLength = 62;
    static constexpr size_t kMaxRuns = (kMaxLength + 1) / 2;

    // The line must take the word form (CLineAgreement::FitsInWords) and be
    // no longer than kMaxLength.
    COneWordLine(const ClueList& clues, int32_t nLength);

    // The filled and empty cells (bit i: cell i) are those known. Every
    // question is about the placements that keep each run within its
    // bounds and agree with them.

    // Whether any placement fits.
    bool Fits(uint64_t nFilled, uint64_t nEmpty) const;
    // The cells some fitting placement fills and some leaves empty, and,
    // when pLeftStarts and pRightStarts are given, each run's leftmost and
    // rightmost start. False when no placement fits.
    bool Settle(uint64_t nFilled, uint64_t nEmpty, uint64_t& nCanFill, uint64_t& nCanEmpty,
                int32_t* pLeftStarts = nullptr, int32_t* pRightStarts = nullptr) const;

  private:
    struct Run {
        uint64_t nWindow;     // the starts its bounds allow (none: no room)
        uint64_t nBackWindow; // the same on the reversed line
        int32_t nLength;
    };
    template <bool kBackwards> uint64_t Rows(uint64_t nGaps, uint64_t nFillable, uint64_t* pRows, uint64_t* pFits) const;

    std::array<Run, kMaxRuns> m_runs;
    size_t m_nRuns = 0;
    int32_t m_nLength;
};

// A puzzle's lines (rows first, then columns) that COneWordLine takes,
// prepared once, by line.
class COneWordLines {
  public:
    void Prepare(const std::vector<ClueList>& lines, int nRows, int nCols);
    // Line nLine prepared, or null when it is too long or not in the word form.
    const COneWordLine* Find(size_t nLine) const {
        return m_index[nLine] == kNone ? nullptr : &m_prepared[m_index[nLine]];
    }

  private:
    static constexpr uint32_t kNone = UINT32_MAX;
    std::vector<COneWordLine> m_prepared;
    std::vector<uint32_t> m_index; // by line: its place in m_prepared, or kNone
};
