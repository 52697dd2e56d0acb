#pragma once

#include "model/CellState.h"
#include "model/Clue.h"
#include "solver/WordScan.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Per line of a single run, the run's first and last fitting start the last
// time the exhaustive mode gave nothing on it. A cell of such a line that
// becomes empty takes away only the placements through it; the line still
// gives nothing when the leftmost and rightmost placements both miss the
// cell and each part of the cell's stretch (the cells between two empty
// ones) left or right of it is still covered end to end by placements
// inside it. On a large puzzle's sparse rows, where the crossing blank
// columns are decided one per pass, this spares the line a settle per pass.
// The driver keeps a run only while its line stays unexamined by that mode.
class CSingleRunMemo {
  public:
    void Reset(size_t nLines) { m_kept.assign(nLines, Run{}); }
    void Clear() { m_kept = {}; }

    // The line gave nothing; `run` holds its first and last fitting start.
    void Keep(size_t nLine, const Clue& run) {
        if (nLine < m_kept.size() && run.length > 0)
            m_kept[nLine] = {run.length, run.minStart, run.maxStart};
    }
    void Forget(size_t nLine) {
        if (nLine < m_kept.size())
            m_kept[nLine] = Run{};
    }

    // Whether the line still gives nothing now that its cell nCell, unknown
    // until now, is `state`; pEmpty holds the line's empty cells.
    bool StillNothing(size_t nLine, int32_t nCell, CellState state, const uint64_t* pEmpty, int32_t nLength) const {
        if (nLine >= m_kept.size() || m_kept[nLine].nLength == 0 || state != CELL_EMPTY)
            return false;
        const Run& run = m_kept[nLine];
        auto covers = [&](int32_t nStart) { return nStart <= nCell && nCell < nStart + run.nLength; };
        if (covers(run.nFirst) || covers(run.nLast))
            return false;
        const int32_t nBefore = WordScan::Last(pEmpty, 0, nCell);
        const int32_t nAfter = WordScan::First(pEmpty, nCell + 1, nLength);
        return PartCovered(run, nBefore + 1, nCell) && PartCovered(run, nCell + 1, nAfter);
    }

  private:
    struct Run {
        int32_t nLength = 0; // 0: none kept
        int32_t nFirst = 0;  // the first and last fitting start
        int32_t nLast = 0;
    };

    // The placements inside [nFrom, nTo) cover all of it: their starts run
    // from nFrom to nTo - length, all within the run's fitting starts.
    static bool PartCovered(const Run& run, int32_t nFrom, int32_t nTo) {
        return nFrom >= nTo ||
               (run.nFirst <= nFrom && nFrom <= nTo - run.nLength && nTo - run.nLength <= run.nLast);
    }

    std::vector<Run> m_kept;
};
