#pragma once

#include "model/CellState.h"
#include "model/Clue.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// What every placement of a line's runs agrees on, computed by dynamic
// programming over the runs from both ends in O(length x runs), instead of
// visiting the placements one by one. It decides exactly the cells the
// exhaustive placement search decides: the placements considered are those
// that agree with the line's known cells and keep every run between its
// minStart and maxStart.
class CLineAgreement {
  public:
    // Memory the tables take for a line of nRuns runs on nLength cells; a
    // puzzle whose lines would need more than kMaxWorkingBytes is refused.
    static int64_t WorkingBytes(size_t nRuns, int32_t nLength) {
        return 2 * (static_cast<int64_t>(nRuns) + 1) * (int64_t{nLength} + 1);
    }
    static constexpr int64_t kMaxWorkingBytes = int64_t{512} << 20;

    // Fills `agreed` (nLength cells) with the cells all such placements
    // agree on (CELL_UNKNOWN where two differ) and each run's leftmost and
    // rightmost start. False when no placement fits; `agreed` is then
    // untouched.
    bool Settle(const ClueList& clues, const CellState* pLine, int32_t nLength, CellState* pAgreed,
                std::vector<int32_t>& leftStarts, std::vector<int32_t>& rightStarts);

    // Settle with tables whatever the line, for lines the word form cannot
    // take.
    bool SettleInTables(const ClueList& clues, const CellState* pLine, int32_t nLength, CellState* pAgreed,
                        std::vector<int32_t>& leftStarts, std::vector<int32_t>& rightStarts);

    // Lines up to this length whose runs fit, with no empty clue, are
    // settled with each table row held in a few words: bit i of a word
    // stands for cell i.
    static constexpr size_t kMaxBitsWords = 8;
    static constexpr int32_t kMaxBitsLength = 64 * kMaxBitsWords - 2;
    static bool FitsInWords(const ClueList& clues, int32_t nLength);
    // The same form for lines of any length the file format allows (rows
    // of up to 513 words, kept on the heap past kMaxBitsWords): Settle
    // takes it for every line whose runs fit, and the line solver for long
    // lines it holds as bit sets.
    static constexpr int32_t kMaxLongBitsLength = 32767;
    static bool FitsInAnyWords(const ClueList& clues, int32_t nLength);
    // The words that hold a line's cells, one bit each.
    static size_t WordsFor(int32_t nLength) { return (static_cast<size_t>(nLength) + 63) / 64; }

    // Settle for a line that fits in words (FitsInAnyWords): pFilled and pEmpty (WordsFor(nLength) words
    // each) hold its known cells. Sets the cells some fitting placement
    // fills (pCanFill) and leaves empty (pCanEmpty), as many words; with
    // pLeftStarts/pRightStarts (n each), also each run's leftmost and
    // rightmost start. False when no placement fits.
    static bool SettleWords(const ClueList& clues, int32_t nLength, const uint64_t* pFilled, const uint64_t* pEmpty,
                            uint64_t* pCanFill, uint64_t* pCanEmpty, int32_t* pLeftStarts = nullptr,
                            int32_t* pRightStarts = nullptr);

    // SettleWords's agreement: the cells every fitting placement fills
    // (pAgreed's first WordsFor(nLength) words) and leaves empty (the next
    // as many). False, pAgreed untouched, when no placement fits.
    static bool AgreedWords(const ClueList& clues, int32_t nLength, const uint64_t* pFilled, const uint64_t* pEmpty,
                            uint64_t* pAgreed);

    // Whether any placement fits such a line: SettleWords's forward pass.
    static bool FitsWords(const ClueList& clues, int32_t nLength, const uint64_t* pFilled, const uint64_t* pEmpty);

  private:
    bool SettleBits(const ClueList& clues, const CellState* pLine, int32_t nLength, CellState* pAgreed,
                    std::vector<int32_t>& leftStarts, std::vector<int32_t>& rightStarts);
    bool NoEmpty(int32_t nFrom, int32_t nTo) const { return m_empty[nTo] == m_empty[nFrom]; }
    bool Gap(int32_t i) const { return m_pLine[i] != CELL_FILLED; }
    uint8_t& Prefix(size_t t, int32_t i) { return m_prefix[t * m_nStride + static_cast<size_t>(i)]; }
    uint8_t& Suffix(size_t t, int32_t i) { return m_suffix[t * m_nStride + static_cast<size_t>(i)]; }
    // The first and last start a run may take: its bounds, kept inside the line.
    static int32_t Lo(const Clue& clue) { return std::max(clue.minStart, int32_t{0}); }
    int32_t Hi(const Clue& clue) const { return std::min(clue.maxStart, m_nLength - clue.length); }
    void FillPrefixes(const ClueList& clues);
    void FillSuffixes(const ClueList& clues);

    const CellState* m_pLine = nullptr;
    int32_t m_nLength = 0;
    size_t m_nStride = 0;
    std::vector<int32_t> m_empty; // m_empty[i]: empty cells before cell i
    // m_prefix[t][i]: the first t runs fit in cells [0, i), every cell explained.
    std::vector<uint8_t> m_prefix;
    // m_suffix[t][i]: runs t .. n-1 fit in cells [i, length).
    std::vector<uint8_t> m_suffix;
    std::vector<int32_t> m_canFill; // difference array: placements that fill a cell
    std::vector<uint8_t> m_canEmpty;
    std::vector<uint64_t> m_bitsIn; // the word form's known and agreed cells
};
