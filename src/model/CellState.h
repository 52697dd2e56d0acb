#pragma once

#include <cstdint>

// Cell states. The values are used arithmetically: every decision raises the
// grid total by 1 (empty) or 2 (filled), so the total measures progress.
using CellState = int32_t;

inline constexpr CellState CELL_UNKNOWN = 0;
inline constexpr CellState CELL_EMPTY = 1;
inline constexpr CellState CELL_FILLED = 2;
