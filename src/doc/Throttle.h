#pragma once

#include "doc/DocPorts.h"

#include <cstdint>

// Milliseconds from the clock, or 0 without one.
inline uint32_t ReadTick(ITickSource* pClock) {
    return pClock ? pClock->GetTickCount() : 0;
}

// The progress throttle: true, and dwLast moved to a fresh reading, when more
// than dwInterval milliseconds have passed since dwLast. The difference is
// taken modulo 2^32, so a counter that wraps during a solve still works.
inline bool IsUpdateDue(ITickSource* pClock, uint32_t& dwLast, uint32_t dwInterval) {
    if (ReadTick(pClock) - dwLast <= dwInterval)
        return false;
    dwLast = ReadTick(pClock);
    return true;
}
