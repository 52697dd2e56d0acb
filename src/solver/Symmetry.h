#pragma once

#include "model/Clue.h"

#include <cstddef>
#include <utility>
#include <vector>

// The rotations and reflections of a puzzle's picture that carry its clues
// onto themselves. Each one turns a solution into a solution, so a puzzle
// with a single solution has a picture they leave unchanged; designed
// puzzles (knots, mandalas, emblems) often have one, and looking for such a
// picture first searches a far smaller space. Blank lines along the border
// are left out: the symmetry is looked for in the box the runs occupy.
//
// lines: rows first, then columns, no clue 0 (see CCompleteSolver::LinesOf).
// Returns pairs of cells (row by row indices) that a picture unchanged by
// every such symmetry fills alike; empty when there is none.
std::vector<std::pair<size_t, size_t>> SymmetricCellPairs(const std::vector<ClueList>& lines, int nRows, int nCols);
