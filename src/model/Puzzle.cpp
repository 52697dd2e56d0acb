#include "model/Puzzle.h"

#include <algorithm>
#include <cstdio>

namespace {

void TraceToStdout(void*, int nMode) {
    std::printf("%d\n", nMode);
}

// True when the cells first[0], first[stride], ... read exactly the runs of
// `clues` and none of them is unknown.
bool LineReadsClues(const CellState* first, ptrdiff_t stride, int32_t nLength, const ClueList& clues) {
    size_t k = 0;
    int32_t i = 0;
    while (i < nLength) {
        CellState state = first[i * stride];
        if (state == CELL_UNKNOWN)
            return false;
        if (state == CELL_EMPTY) {
            ++i;
            continue;
        }
        int32_t nRun = 0;
        while (i < nLength && first[i * stride] == CELL_FILLED) {
            ++nRun;
            ++i;
        }
        while (k < clues.size() && clues[k].length == 0)
            ++k; // the clue 0 stands for "no run"
        if (k == clues.size() || clues[k].length != nRun)
            return false;
        ++k;
    }
    while (k < clues.size() && clues[k].length == 0)
        ++k;
    return k == clues.size();
}

} // namespace

CPuzzle::CPuzzle() : m_pfnTrace(TraceToStdout) {
}

void CPuzzle::SetSize(int16_t nRows, int16_t nCols) {
    m_nRows = std::max<int16_t>(nRows, 0);
    m_nCols = std::max<int16_t>(nCols, 0);
    m_grid.assign(static_cast<size_t>(m_nRows) * static_cast<size_t>(m_nCols), CELL_UNKNOWN);
    m_rowClues.assign(static_cast<size_t>(m_nRows), ClueList());
    m_colClues.assign(static_cast<size_t>(m_nCols), ClueList());
}

void CPuzzle::AddRowClue(int16_t nRow, int16_t nLength) {
    Clue clue;
    clue.length = nLength;
    m_rowClues[static_cast<size_t>(nRow)].push_back(clue);
}

void CPuzzle::AddColumnClue(int16_t nCol, int16_t nLength) {
    Clue clue;
    clue.length = nLength;
    m_colClues[static_cast<size_t>(nCol)].push_back(clue);
}

void CPuzzle::PrepareRanges(ClueList& clues, int32_t nLength) {
    if (clues.empty())
        return;
    const size_t n = clues.size();
    clues[0].minStart = 0;
    for (size_t k = 1; k < n; ++k)
        clues[k].minStart = clues[k - 1].minStart + clues[k - 1].length + 1;
    clues[n - 1].maxStart = nLength - clues[n - 1].length;
    for (size_t k = n - 1; k-- > 0;)
        clues[k].maxStart = clues[k + 1].maxStart - clues[k].length - 1;
    const int32_t nBeyond = clues[n - 1].maxStart + 1;
    for (Clue& clue : clues) {
        clue.fitStart = nBeyond;
        clue.pos = clue.minStart;
    }
}

void CPuzzle::PrepareAllRanges() {
    for (ClueList& clues : m_rowClues)
        PrepareRanges(clues, m_nCols);
    for (ClueList& clues : m_colClues)
        PrepareRanges(clues, m_nRows);
}

int64_t CPuzzle::GetGridTotal() const {
    int64_t nTotal = 0;
    for (CellState state : m_grid)
        nTotal += state;
    return nTotal;
}

bool CPuzzle::CheckClueTotals() {
    auto sumOf = [](const std::vector<ClueList>& lists) {
        int64_t nSum = 0;
        for (const ClueList& clues : lists)
            for (const Clue& clue : clues)
                nSum += clue.length;
        return nSum;
    };
    const int64_t nSumRows = sumOf(m_rowClues);
    const int64_t nSumCols = sumOf(m_colClues);
    const int64_t nCells = int64_t{m_nRows} * int64_t{m_nCols};
    m_nTargetByRows = nCells + nSumRows;
    m_nTargetByCols = nCells + nSumCols;
    return nSumRows != nSumCols || m_nRows == 0 || m_nCols == 0;
}

bool CPuzzle::RowReadsClues(int nRow) const {
    return LineReadsClues(m_grid.data() + static_cast<ptrdiff_t>(nRow) * m_nCols, 1, m_nCols, m_rowClues[nRow]);
}

bool CPuzzle::ColumnReadsClues(int nCol) const {
    return LineReadsClues(m_grid.data() + nCol, m_nCols, m_nRows, m_colClues[nCol]);
}

bool CPuzzle::SatisfiesAllClues() const {
    for (int r = 0; r < m_nRows; ++r)
        if (!RowReadsClues(r))
            return false;
    for (int c = 0; c < m_nCols; ++c)
        if (!ColumnReadsClues(c))
            return false;
    return true;
}
