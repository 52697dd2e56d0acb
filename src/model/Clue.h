#pragma once

#include <cstdint>
#include <vector>

// One run of filled cells in a row or column.
//
// `length` is the value read from the clue file and keeps its 16-bit width.
// The four position fields are 32-bit on purpose: a position can stand one
// cell past the end of a line (`fitStart` is the last run's latest start + 1,
// a zero-length run may start at the line length), and re-packing runs adds
// lengths and gaps. On lines of up to 32766 cells every value the solver
// stores still fits 16 bits, so widening changes nothing there; on longer
// lines it keeps those positions from wrapping.
struct Clue {
    int16_t length = 0;
    int32_t pos = 0;      // start in the placement under work
    int32_t minStart = 0; // earliest start any solution can use
    int32_t maxStart = 0; // latest start any solution can use
    int32_t fitStart = 0; // exhaustive mode: lowest start seen in a fitting placement
};

// The runs of one line in order, first (leftmost or topmost) run first.
using ClueList = std::vector<Clue>;
