#pragma once

#include "model/CellState.h"
#include "model/Clue.h"

#include <cstdint>

// True when the run of `clue`, at its `pos`, lies inside the line and agrees
// with it: no filled cell touches it on either side and none of its own cells
// is empty.
inline bool RunAgreesWithLine(const Clue& clue, const CellState* pLine, int32_t nLength) {
    const int32_t s = clue.pos;
    const int32_t e = s + clue.length;
    if (s < 0 || e > nLength)
        return false;
    if (s > 0 && pLine[s - 1] == CELL_FILLED)
        return false;
    for (int32_t i = s; i < e; ++i)
        if (pLine[i] == CELL_EMPTY)
            return false;
    return !(e < nLength && pLine[e] == CELL_FILLED);
}
