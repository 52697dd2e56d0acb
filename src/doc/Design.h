#pragma once

#include "model/Puzzle.h"

#include <cstdint>
#include <utility>
#include <vector>

// A picture being designed: rows x columns cells, each filled or blank. Its
// clues follow from it; the editor changes the picture, never the clues.
class CDesign {
  public:
    // The largest side the clue file can hold.
    static constexpr int kMaxSide = 32767;

    CDesign() = default;
    // A blank picture; sides outside 1..kMaxSide are clamped into it.
    CDesign(int nRows, int nCols);
    // The filled cells of `cells` (rows x columns, row by row).
    static CDesign FromCells(int nRows, int nCols, const std::vector<CellState>& cells);

    int GetRows() const { return m_nRows; }
    int GetCols() const { return m_nCols; }
    bool IsFilled(int nRow, int nCol) const { return m_cells[Index(nRow, nCol)] != 0; }
    void Set(int nRow, int nCol, bool bFilled) { m_cells[Index(nRow, nCol)] = bFilled ? 1 : 0; }
    bool Contains(int nRow, int nCol) const { return nRow >= 0 && nRow < m_nRows && nCol >= 0 && nCol < m_nCols; }
    bool operator==(const CDesign& other) const = default;

    // Whole-picture edits.
    void Clear();
    void Invert();
    // Moves the picture nDown rows down and nRight columns right (negative:
    // up, left); what leaves the grid is lost, and blank cells come in.
    void Shift(int nDown, int nRight);
    // Adds cells at each side (negative: removes them); the picture keeps its
    // place relative to the cells that stay. A side below 1 or above
    // kMaxSide is refused: false, and nothing changes.
    bool Resize(int nTop, int nBottom, int nLeft, int nRight);

    // The clues of the picture, its filled cells known and the others
    // unknown (so a view draws the picture, without empty-cell marks).
    CPuzzle ToPuzzle() const;
    // Every cell as the picture has it: filled or empty.
    std::vector<CellState> Cells() const;

    // The cells of a straight line from one cell to another, both included,
    // each step to a neighbouring cell (sides or corners).
    static std::vector<std::pair<int, int>> LineCells(int nRow0, int nCol0, int nRow1, int nCol1);

  private:
    size_t Index(int nRow, int nCol) const {
        return static_cast<size_t>(nRow) * static_cast<size_t>(m_nCols) + static_cast<size_t>(nCol);
    }

    int m_nRows = 0;
    int m_nCols = 0;
    std::vector<uint8_t> m_cells; // 1 filled, 0 blank
};
