#pragma once

#include <cstdint>

// Luby's sequence 1 1 2 1 1 2 4 1 1 2 ... (i from 1): restart budgets that
// waste at most a logarithmic factor against the best fixed budget.
inline uint64_t Luby(uint64_t i) {
    for (;;) {
        uint64_t k = 1;
        while ((uint64_t{1} << k) - 1 < i)
            ++k;
        if ((uint64_t{1} << k) - 1 == i)
            return uint64_t{1} << (k - 1);
        i -= (uint64_t{1} << (k - 1)) - 1;
    }
}
