#include "doc/Design.h"

#include <algorithm>
#include <cstdlib>

namespace {

int ClampSide(int n) {
    return std::clamp(n, 1, CDesign::kMaxSide);
}

// The runs of a line of cells, read through `filled`; the clue 0 for a line
// without any.
template <class Filled> std::vector<int16_t> RunsOf(int nLength, Filled filled) {
    std::vector<int16_t> runs;
    int nRun = 0;
    for (int i = 0; i <= nLength; ++i) {
        if (i < nLength && filled(i)) {
            ++nRun;
        } else if (nRun > 0) {
            runs.push_back(static_cast<int16_t>(nRun));
            nRun = 0;
        }
    }
    if (runs.empty())
        runs.push_back(0);
    return runs;
}

} // namespace

CDesign::CDesign(int nRows, int nCols)
    : m_nRows(ClampSide(nRows)), m_nCols(ClampSide(nCols)),
      m_cells(static_cast<size_t>(m_nRows) * static_cast<size_t>(m_nCols), 0) {
}

CDesign CDesign::FromCells(int nRows, int nCols, const std::vector<CellState>& cells) {
    CDesign design(nRows, nCols);
    for (size_t i = 0; i < std::min(cells.size(), design.m_cells.size()); ++i)
        design.m_cells[i] = cells[i] == CELL_FILLED ? 1 : 0;
    return design;
}

void CDesign::Clear() {
    std::fill(m_cells.begin(), m_cells.end(), 0);
}

void CDesign::Invert() {
    for (uint8_t& cell : m_cells)
        cell ^= 1;
}

void CDesign::Shift(int nDown, int nRight) {
    CDesign moved(m_nRows, m_nCols);
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nCols; ++c)
            if (IsFilled(r, c) && moved.Contains(r + nDown, c + nRight))
                moved.Set(r + nDown, c + nRight, true);
    m_cells.swap(moved.m_cells);
}

bool CDesign::Resize(int nTop, int nBottom, int nLeft, int nRight) {
    const int64_t nRows = int64_t{m_nRows} + nTop + nBottom, nCols = int64_t{m_nCols} + nLeft + nRight;
    if (nRows < 1 || nRows > kMaxSide || nCols < 1 || nCols > kMaxSide)
        return false;
    CDesign resized(static_cast<int>(nRows), static_cast<int>(nCols));
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < m_nCols; ++c)
            if (IsFilled(r, c) && resized.Contains(r + nTop, c + nLeft))
                resized.Set(r + nTop, c + nLeft, true);
    *this = std::move(resized);
    return true;
}

CPuzzle CDesign::ToPuzzle() const {
    CPuzzle puzzle;
    puzzle.SetSize(static_cast<int16_t>(m_nRows), static_cast<int16_t>(m_nCols));
    for (int r = 0; r < m_nRows; ++r)
        for (int16_t nRun : RunsOf(m_nCols, [&](int c) { return IsFilled(r, c); }))
            puzzle.AddRowClue(static_cast<int16_t>(r), nRun);
    for (int c = 0; c < m_nCols; ++c)
        for (int16_t nRun : RunsOf(m_nRows, [&](int r) { return IsFilled(r, c); }))
            puzzle.AddColumnClue(static_cast<int16_t>(c), nRun);
    std::vector<CellState> cells(m_cells.size(), CELL_UNKNOWN);
    for (size_t i = 0; i < m_cells.size(); ++i)
        if (m_cells[i])
            cells[i] = CELL_FILLED;
    puzzle.SetCells(cells);
    return puzzle;
}

std::vector<CellState> CDesign::Cells() const {
    std::vector<CellState> cells(m_cells.size());
    for (size_t i = 0; i < m_cells.size(); ++i)
        cells[i] = m_cells[i] ? CELL_FILLED : CELL_EMPTY;
    return cells;
}

// Bresenham's line: the cell nearest the true line in each step along the
// longer side.
std::vector<std::pair<int, int>> CDesign::LineCells(int nRow0, int nCol0, int nRow1, int nCol1) {
    std::vector<std::pair<int, int>> cells;
    const int dRow = std::abs(nRow1 - nRow0), dCol = -std::abs(nCol1 - nCol0);
    const int nStepRow = nRow0 < nRow1 ? 1 : -1, nStepCol = nCol0 < nCol1 ? 1 : -1;
    int nError = dRow + dCol;
    for (int r = nRow0, c = nCol0;;) {
        cells.emplace_back(r, c);
        if (r == nRow1 && c == nCol1)
            break;
        const int nTwice = 2 * nError;
        if (nTwice >= dCol) {
            nError += dCol;
            r += nStepRow;
        }
        if (nTwice <= dRow) {
            nError += dRow;
            c += nStepCol;
        }
    }
    return cells;
}
