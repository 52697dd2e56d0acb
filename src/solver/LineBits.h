#pragma once

#include "model/CellState.h"
#include "model/Clue.h"
#include "solver/WordScan.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A line's known cells as two bit sets, filled and empty (bit i: cell i),
// read by the line solver a word at a time.
struct BitLine {
    const uint64_t* pFilled = nullptr;
    const uint64_t* pEmpty = nullptr;
    int32_t nLength = 0;

    bool Filled(int32_t i) const { return WordScan::Test(pFilled, i); }
    bool Empty(int32_t i) const { return WordScan::Test(pEmpty, i); }
    // The line as LeastPlacement reads it.
    int32_t Length() const { return nLength; }
    int32_t LastEmpty(int32_t a, int32_t b) const { return WordScan::Last(pEmpty, a, b); }
    int32_t LastFilled(int32_t a, int32_t b) const { return WordScan::Last(pFilled, a, b); }
    int32_t FilledEnd(int32_t i) const { return WordScan::First(pFilled, i, nLength, true); }
};

// The same line read from its far end: cell i is the line's cell
// length - 1 - i, so LeastPlacement on it finds the rightmost placement.
struct MirroredBitLine {
    BitLine line;

    int32_t Length() const { return line.nLength; }
    bool Filled(int32_t i) const { return line.Filled(Flip(i)); }
    int32_t LastEmpty(int32_t a, int32_t b) const {
        return Flip(WordScan::First(line.pEmpty, Flip(b - 1), Flip(a - 1)));
    }
    int32_t LastFilled(int32_t a, int32_t b) const {
        return Flip(WordScan::First(line.pFilled, Flip(b - 1), Flip(a - 1)));
    }
    int32_t FilledEnd(int32_t i) const { return Flip(WordScan::Last(line.pFilled, 0, Flip(i) + 1, true)); }

  private:
    int32_t Flip(int32_t i) const { return line.nLength - 1 - i; }
};

// The known cells of every row and column of a grid as bit sets, kept in
// step with the grid cell by cell during a solve: a line's state is then
// read without walking its cells, a column without striding through the
// grid.
class CLineBits {
  public:
    // All cells unknown.
    void Reset(int32_t nRows, int32_t nCols);
    bool IsEmpty() const { return m_rowFilled.empty(); }
    // Cell (r, c), unknown until now, becomes `state`.
    void Decide(int32_t r, int32_t c, CellState state) {
        const bool bFilled = state == CELL_FILLED;
        SetBit((bFilled ? m_rowFilled : m_rowEmpty).data() + static_cast<size_t>(r) * m_nRowWords, c);
        SetBit((bFilled ? m_colFilled : m_colEmpty).data() + static_cast<size_t>(c) * m_nColWords, r);
    }

    BitLine Row(int32_t r) const { return Line(m_rowFilled, m_rowEmpty, m_nRowWords, r, m_nCols); }
    BitLine Column(int32_t c) const { return Line(m_colFilled, m_colEmpty, m_nColWords, c, m_nRows); }

    // For writing a line's cells one after another: its own words, and the
    // crossing lines' words, line i's at i * nWords.
    struct Words {
        uint64_t* pFilled;
        uint64_t* pEmpty;
        size_t nWords;
    };
    Words Lines(bool bRows) {
        return bRows ? Words{m_rowFilled.data(), m_rowEmpty.data(), m_nRowWords}
                     : Words{m_colFilled.data(), m_colEmpty.data(), m_nColWords};
    }

  private:
    static void SetBit(uint64_t* pWords, int32_t i) { pWords[static_cast<size_t>(i) / 64] |= uint64_t{1} << (i % 64); }
    static BitLine Line(const std::vector<uint64_t>& filled, const std::vector<uint64_t>& empty, size_t nWords,
                        int32_t nIndex, int32_t nLength) {
        const size_t nOffset = static_cast<size_t>(nIndex) * nWords;
        return {filled.data() + nOffset, empty.data() + nOffset, nLength};
    }

    int32_t m_nRows = 0;
    int32_t m_nCols = 0;
    size_t m_nRowWords = 0;
    size_t m_nColWords = 0;
    std::vector<uint64_t> m_rowFilled, m_rowEmpty; // m_nRows x m_nRowWords
    std::vector<uint64_t> m_colFilled, m_colEmpty; // m_nCols x m_nColWords
};

// Whether the line's cells are all known and read exactly the runs of
// `clues` (a clue 0 stands for no run).
bool LineBitsReadClues(const BitLine& line, const ClueList& clues);
