#pragma once

#include "model/Clue.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

// The lower bounds of the runs are in order, a cell apart, none of zero
// length: from them LeastPlacement finds what the step-by-step push finds.
inline bool BoundsInOrder(const ClueList& clues) {
    int32_t nFree = 0; // the first start the next run may take
    for (const Clue& clue : clues) {
        if (clue.length <= 0 || clue.minStart < nFree)
            return false;
        nFree = clue.minStart + clue.length + 1;
    }
    return true;
}

// The leftmost placement of a line's runs that agrees with the line, every
// run at or after its lower bound: no empty cell under a run, no filled
// cell outside the runs, at least one cell between two runs.
//
// Every step raises one run's start to a start that every such placement
// must reach (past an empty cell under it, to the end of a filled block
// touching its end, or far enough right to cover a filled cell the next run
// left behind), so the placement it settles on is the least one, and each
// run's start only grows. A run is placed only when it is reached, so a
// move does not re-pack the runs behind it: the work follows the obstacles
// passed, not the line's length times its runs.
//
// The line answers, for cells [a, b): the last empty cell (a - 1 if none),
// the last filled cell (a - 1 if none), and from cell i the first cell that
// is not filled (the line's length if none).
//
// pStarts holds the lower bounds on entry and the starts on success. False
// when no placement fits; pStarts is then meaningless. Runs of length 0 are
// not taken.
template <typename Line> bool LeastPlacement(const ClueList& clues, const Line& line, int32_t* pStarts) {
    const size_t nRuns = clues.size();
    if (nRuns == 0)
        return line.LastFilled(0, line.Length()) < 0;
    const int32_t nLength = line.Length();
    size_t t = 0;
    for (;;) {
        const int32_t nLen = clues[t].length;
        const int32_t nGapStart = t == 0 ? 0 : pStarts[t - 1] + clues[t - 1].length;
        int32_t p = std::max(pStarts[t], t == 0 ? 0 : nGapStart + 1);
        for (;;) {
            if (p + nLen > nLength)
                return false;
            const int32_t nEmpty = line.LastEmpty(p, p + nLen);
            if (nEmpty >= p) {
                p = nEmpty + 1;
                continue;
            }
            if (p + nLen < nLength && line.Filled(p + nLen)) {
                p = line.FilledEnd(p + nLen) - nLen; // the run must reach the block's end
                continue;
            }
            break;
        }
        pStarts[t] = p;
        // A filled cell left between the previous run and this one: only the
        // previous run can still cover it.
        const int32_t nLeft = line.LastFilled(nGapStart, p);
        if (nLeft >= nGapStart) {
            if (t == 0)
                return false;
            --t;
            pStarts[t] = nLeft - clues[t].length + 1;
            continue;
        }
        if (t + 1 < nRuns) {
            ++t;
            continue;
        }
        const int32_t nRight = line.LastFilled(p + nLen, nLength);
        if (nRight < p + nLen)
            return true;
        pStarts[t] = nRight - nLen + 1; // the last run must cover the last filled cell
    }
}

// A line given as cell states, with the answers LeastPlacement asks for
// made once for the whole line (O(length)).
template <typename Cell, Cell kEmpty, Cell kFilled> class CCellLine {
  public:
    template <typename Scratch>
    CCellLine(const Cell* pCells, int32_t nLength, Scratch& lastEmpty, Scratch& lastFilled, Scratch& filledEnd)
        : m_pCells(pCells), m_nLength(nLength) {
        const auto n = static_cast<size_t>(nLength);
        lastEmpty.resize(n + 1);
        lastFilled.resize(n + 1);
        filledEnd.resize(n + 1);
        // [i + 1]: the last such cell before cell i + 1
        lastEmpty[0] = lastFilled[0] = -1;
        for (size_t i = 0; i < n; ++i) {
            lastEmpty[i + 1] = pCells[i] == kEmpty ? static_cast<int32_t>(i) : lastEmpty[i];
            lastFilled[i + 1] = pCells[i] == kFilled ? static_cast<int32_t>(i) : lastFilled[i];
        }
        filledEnd[n] = nLength;
        for (size_t i = n; i-- > 0;)
            filledEnd[i] = pCells[i] == kFilled ? filledEnd[i + 1] : static_cast<int32_t>(i);
        m_pLastEmpty = lastEmpty.data();
        m_pLastFilled = lastFilled.data();
        m_pFilledEnd = filledEnd.data();
    }

    int32_t Length() const { return m_nLength; }
    bool Filled(int32_t i) const { return m_pCells[i] == kFilled; }
    int32_t LastEmpty(int32_t a, int32_t b) const { return std::max(m_pLastEmpty[b], a - 1); }
    int32_t LastFilled(int32_t a, int32_t b) const { return std::max(m_pLastFilled[b], a - 1); }
    int32_t FilledEnd(int32_t i) const { return m_pFilledEnd[i]; }

  private:
    const Cell* m_pCells;
    int32_t m_nLength;
    const int32_t* m_pLastEmpty = nullptr;
    const int32_t* m_pLastFilled = nullptr;
    const int32_t* m_pFilledEnd = nullptr;
};
