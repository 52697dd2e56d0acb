#pragma once

#include "model/CellState.h"
#include "model/Clue.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

// The cells the fast mode decides from the leftmost and rightmost starts of
// every run: the overlap of a run's two placements filled, and what lies
// between the runs in both placements empty. Calls mark(from, to, state)
// for each range in that order, clipped to the line, empty ranges left out.
template <typename Mark>
void ForEachMark(const ClueList& clues, const int32_t* pLeft, const int32_t* pRight, int32_t nLength, Mark mark) {
    auto clipped = [&](int32_t nFrom, int32_t nTo, CellState state) {
        nFrom = std::max(nFrom, int32_t{0});
        nTo = std::min(nTo, nLength);
        if (nFrom < nTo)
            mark(nFrom, nTo, state);
    };
    const size_t n = clues.size();
    for (size_t t = 0; t < n; ++t)
        clipped(std::max(pLeft[t], pRight[t]), std::min(pLeft[t], pRight[t]) + clues[t].length, CELL_FILLED);
    clipped(0, std::min(pLeft[0], pRight[0]), CELL_EMPTY);
    for (size_t t = 0; t + 1 < n; ++t)
        clipped(std::max(pLeft[t], pRight[t]) + clues[t].length, std::min(pLeft[t + 1], pRight[t + 1]), CELL_EMPTY);
    clipped(std::max(pLeft[n - 1], pRight[n - 1]) + clues[n - 1].length, nLength, CELL_EMPTY);
}
