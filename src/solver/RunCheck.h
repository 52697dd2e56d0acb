#pragma once

#include "model/CellState.h"
#include "model/Clue.h"

#include <cstdint>
#include <vector>

// True when the run of `clue`, at its `pos`, lies inside the line and agrees
// with it: no filled cell touches it on either side and none of its own cells
// is empty. pEmptyBefore, when given, counts the empty cells before each
// cell (nLength + 1 entries) and answers the last test at once.
inline bool RunAgreesWithLine(const Clue& clue, const CellState* pLine, int32_t nLength,
                              const int32_t* pEmptyBefore = nullptr) {
    const int32_t s = clue.pos;
    const int32_t e = s + clue.length;
    if (s < 0 || e > nLength)
        return false;
    if ((s > 0 && pLine[s - 1] == CELL_FILLED) || (e < nLength && pLine[e] == CELL_FILLED))
        return false;
    if (pEmptyBefore)
        return pEmptyBefore[e] == pEmptyBefore[s];
    for (int32_t i = s; i < e; ++i)
        if (pLine[i] == CELL_EMPTY)
            return false;
    return true;
}

// Fills emptyBefore (nLength + 1 entries) with the number of empty cells
// before each cell.
inline void CountEmptyCells(const CellState* pLine, int32_t nLength, std::vector<int32_t>& emptyBefore) {
    emptyBefore.resize(static_cast<size_t>(nLength) + 1);
    emptyBefore[0] = 0;
    for (int32_t i = 0; i < nLength; ++i)
        emptyBefore[static_cast<size_t>(i) + 1] = emptyBefore[static_cast<size_t>(i)] + (pLine[i] == CELL_EMPTY);
}
