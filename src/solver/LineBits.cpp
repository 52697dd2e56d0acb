#include "solver/LineBits.h"

namespace {

size_t WordsFor(int32_t nLength) {
    return (static_cast<size_t>(nLength) + 63) / 64;
}

} // namespace

void CLineBits::Reset(int32_t nRows, int32_t nCols) {
    m_nRows = nRows;
    m_nCols = nCols;
    m_nRowWords = WordsFor(nCols);
    m_nColWords = WordsFor(nRows);
    const auto nRowBits = static_cast<size_t>(nRows) * m_nRowWords;
    const auto nColBits = static_cast<size_t>(nCols) * m_nColWords;
    m_rowFilled.assign(nRowBits, 0);
    m_rowEmpty.assign(nRowBits, 0);
    m_colFilled.assign(nColBits, 0);
    m_colEmpty.assign(nColBits, 0);
}

bool LineBitsReadClues(const BitLine& line, const ClueList& clues) {
    const int32_t nLength = line.nLength;
    for (size_t w = 0; w < (static_cast<size_t>(nLength) + 63) / 64; ++w) {
        const int32_t nBits = nLength - static_cast<int32_t>(64 * w);
        const uint64_t all = nBits >= 64 ? ~uint64_t{0} : (uint64_t{1} << nBits) - 1;
        if ((line.pFilled[w] | line.pEmpty[w]) != all)
            return false; // a cell is unknown
    }
    size_t k = 0;
    auto nextRun = [&] {
        while (k < clues.size() && clues[k].length == 0)
            ++k;
    };
    for (int32_t i = WordScan::First(line.pFilled, 0, nLength); i < nLength;) {
        const int32_t nEnd = WordScan::First(line.pFilled, i, nLength, true);
        nextRun();
        if (k == clues.size() || clues[k].length != nEnd - i)
            return false;
        ++k;
        i = WordScan::First(line.pFilled, nEnd, nLength);
    }
    nextRun();
    return k == clues.size();
}
