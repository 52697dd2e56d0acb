#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

// A bit set of W 64-bit words (bit i: word i / 64, bit i % 64), with the
// few operations the word form of the line solver needs. W = 1 compiles to
// plain word arithmetic.
template <size_t W> struct WideBits {
    uint64_t w[W];

    static WideBits Zero() { return WideBits{}; }
    // Bits [0, n).
    static WideBits Low(int32_t n) {
        WideBits r{};
        for (size_t i = 0; i < W; ++i) {
            const int32_t nInWord = n - static_cast<int32_t>(64 * i);
            r.w[i] = nInWord >= 64 ? ~uint64_t{0} : nInWord <= 0 ? 0 : (uint64_t{1} << nInWord) - 1;
        }
        return r;
    }
    static WideBits Bit(int32_t n) {
        WideBits r{};
        r.w[static_cast<size_t>(n) / 64] = uint64_t{1} << (n % 64);
        return r;
    }

    bool Test(int32_t n) const { return (w[static_cast<size_t>(n) / 64] >> (n % 64)) & 1; }
    bool Any() const {
        uint64_t any = 0;
        for (size_t i = 0; i < W; ++i)
            any |= w[i];
        return any != 0;
    }
    // The lowest and highest set bit; -1 when none is.
    int32_t Lowest() const {
        for (size_t i = 0; i < W; ++i)
            if (w[i])
                return static_cast<int32_t>(64 * i) + std::countr_zero(w[i]);
        return -1;
    }
    int32_t Highest() const {
        for (size_t i = W; i-- > 0;)
            if (w[i])
                return static_cast<int32_t>(64 * i) + 63 - std::countl_zero(w[i]);
        return -1;
    }

    friend WideBits operator&(const WideBits& a, const WideBits& b) {
        WideBits r;
        for (size_t i = 0; i < W; ++i)
            r.w[i] = a.w[i] & b.w[i];
        return r;
    }
    friend WideBits operator|(const WideBits& a, const WideBits& b) {
        WideBits r;
        for (size_t i = 0; i < W; ++i)
            r.w[i] = a.w[i] | b.w[i];
        return r;
    }
    friend WideBits operator~(const WideBits& a) {
        WideBits r;
        for (size_t i = 0; i < W; ++i)
            r.w[i] = ~a.w[i];
        return r;
    }
    WideBits& operator|=(const WideBits& b) { return *this = *this | b; }
    WideBits& operator&=(const WideBits& b) { return *this = *this & b; }

    // Shifts by 0 <= n < 64 W.
    friend WideBits operator<<(const WideBits& a, int32_t n) {
        if constexpr (W == 1)
            return {{a.w[0] << n}};
        WideBits r{};
        const auto nWords = static_cast<size_t>(n / 64);
        const int32_t nBits = n % 64;
        for (size_t i = W; i-- > nWords;) {
            r.w[i] = a.w[i - nWords] << nBits;
            if (nBits && i > nWords)
                r.w[i] |= a.w[i - nWords - 1] >> (64 - nBits);
        }
        return r;
    }
    friend WideBits operator>>(const WideBits& a, int32_t n) {
        if constexpr (W == 1)
            return {{a.w[0] >> n}};
        WideBits r{};
        const auto nWords = static_cast<size_t>(n / 64);
        const int32_t nBits = n % 64;
        for (size_t i = 0; i + nWords < W; ++i) {
            r.w[i] = a.w[i + nWords] >> nBits;
            if (nBits && i + nWords + 1 < W)
                r.w[i] |= a.w[i + nWords + 1] << (64 - nBits);
        }
        return r;
    }
    // Addition with the carry running from word to word; the carry out of
    // the top word is dropped.
    friend WideBits operator+(const WideBits& a, const WideBits& b) {
        WideBits r;
        uint64_t carry = 0;
        for (size_t i = 0; i < W; ++i) {
            const uint64_t sum = a.w[i] + b.w[i];
            r.w[i] = sum + carry;
            carry = (sum < a.w[i]) | (r.w[i] < sum);
        }
        return r;
    }

    // The low nWidth bits (nWidth <= 64 W) in reverse order.
    WideBits Reversed(int32_t nWidth) const {
        WideBits r;
        for (size_t i = 0; i < W; ++i)
            r.w[W - 1 - i] = ReverseWord(w[i]);
        return r >> static_cast<int32_t>(64 * W - static_cast<size_t>(nWidth));
    }

    static uint64_t ReverseWord(uint64_t bits) {
        bits = ((bits >> 1) & 0x5555555555555555ULL) | ((bits & 0x5555555555555555ULL) << 1);
        bits = ((bits >> 2) & 0x3333333333333333ULL) | ((bits & 0x3333333333333333ULL) << 2);
        bits = ((bits >> 4) & 0x0f0f0f0f0f0f0f0fULL) | ((bits & 0x0f0f0f0f0f0f0f0fULL) << 4);
        return __builtin_bswap64(bits);
    }
};
