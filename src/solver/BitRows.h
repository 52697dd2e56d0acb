#pragma once

#include <algorithm>
#include <cstdint>

// The row operations of the word form of line settling, for plain words and
// for WideBits alike. Bit i of a row stands for position i of the line.
namespace BitRows {

// Positions from each seed upwards while the next position is open
// (bit i of `open`: a row may go on from i-1 to i).
template <typename Bits> Bits CarryUp(const Bits& seeds, const Bits& open) {
    const Bits allowed = open | seeds;
    return (allowed & ~(allowed + seeds)) | seeds;
}

// Bits s of `starts` spread over [s, s + nLength).
template <typename Bits> Bits Spread(const Bits& starts, int32_t nLength) {
    Bits covered = starts; // [s, s + nDone) for each start
    for (int32_t nDone = 1; nDone < nLength;) {
        const int32_t nStep = std::min(nDone, nLength - nDone);
        covered |= covered << nStep;
        nDone += nStep;
    }
    return covered;
}

// Starts s whose run of nLength cells meets no empty cell: `fillable` has
// the cells that may be filled.
template <typename Bits> Bits RunFits(const Bits& fillable, int32_t nLength) {
    Bits fits = fillable;
    for (int32_t nDone = 1; nDone < nLength;) {
        const int32_t nStep = std::min(nDone, nLength - nDone);
        fits &= fits >> nStep;
        nDone += nStep;
    }
    return fits;
}

} // namespace BitRows
