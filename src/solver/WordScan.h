#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

// Searches in a bit set held in 64-bit words (bit i: word i / 64, bit
// i % 64), a word at a time: the first or last set (or clear) bit of a
// range [a, b). They answer "is there an empty cell under this run?" and
// "where does this block end?" on a long line in a few word reads.
namespace WordScan {

// The bits [a, b) of word w (a and b in 0..64, a <= b).
inline uint64_t Range(int32_t a, int32_t b) {
    const uint64_t upTo = b >= 64 ? ~uint64_t{0} : (uint64_t{1} << b) - 1;
    return upTo & ~((uint64_t{1} << a) - 1);
}

// The word of bits i .. i + 63 that lie in [a, b), bit i at 0; bInvert
// searches the clear bits.
inline uint64_t Masked(const uint64_t* pWords, size_t nWord, int32_t a, int32_t b, bool bInvert) {
    const int32_t nBase = static_cast<int32_t>(nWord * 64);
    const int32_t nFrom = a > nBase ? a - nBase : 0;
    const int32_t nTo = b - nBase < 64 ? b - nBase : 64;
    const uint64_t word = bInvert ? ~pWords[nWord] : pWords[nWord];
    return word & Range(nFrom, nTo);
}

// The first bit of [a, b) that is set (clear with bInvert), or b.
inline int32_t First(const uint64_t* pWords, int32_t a, int32_t b, bool bInvert = false) {
    if (a >= b)
        return b;
    for (size_t w = static_cast<size_t>(a) / 64, nLast = static_cast<size_t>(b - 1) / 64; w <= nLast; ++w)
        if (const uint64_t bits = Masked(pWords, w, a, b, bInvert))
            return static_cast<int32_t>(w * 64) + std::countr_zero(bits);
    return b;
}

// The last bit of [a, b) that is set (clear with bInvert), or a - 1.
inline int32_t Last(const uint64_t* pWords, int32_t a, int32_t b, bool bInvert = false) {
    if (a >= b)
        return a - 1;
    for (size_t w = static_cast<size_t>(b - 1) / 64 + 1, nFirst = static_cast<size_t>(a) / 64; w-- > nFirst;)
        if (const uint64_t bits = Masked(pWords, w, a, b, bInvert))
            return static_cast<int32_t>(w * 64) + 63 - std::countl_zero(bits);
    return a - 1;
}

// Whether any bit of [a, b) is set.
inline bool Any(const uint64_t* pWords, int32_t a, int32_t b) {
    return First(pWords, a, b) < b;
}

inline bool Test(const uint64_t* pWords, int32_t i) {
    return (pWords[static_cast<size_t>(i) / 64] >> (i % 64)) & 1;
}

// Sets the bits [a, b).
inline void SetRange(uint64_t* pWords, int32_t a, int32_t b) {
    if (a >= b)
        return;
    for (size_t w = static_cast<size_t>(a) / 64, nLast = static_cast<size_t>(b - 1) / 64; w <= nLast; ++w) {
        const int32_t nBase = static_cast<int32_t>(w * 64);
        pWords[w] |= Range(a > nBase ? a - nBase : 0, b - nBase < 64 ? b - nBase : 64);
    }
}

} // namespace WordScan
