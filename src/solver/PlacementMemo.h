#pragma once

#include "model/CellState.h"
#include "model/Clue.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// Per line, the leftmost and rightmost placements the fast mode found the
// last time it gave nothing on the line. The fast mode decides from those
// two placements alone, and each is the least (most) placement that agrees
// with the line: a cell that becomes known in a way both agree with (empty
// outside their runs, filled inside a run of each) leaves them the least and
// most placements, so the fast mode would give nothing again and the line
// need not be examined. The driver keeps a placement only while its line
// stays unexamined by the fast mode.
class CPlacementMemo {
  public:
    // One line per clue list, none kept.
    void Reset(const std::vector<ClueList>& lines) {
        m_first.assign(lines.size() + 1, 0);
        for (size_t i = 0; i < lines.size(); ++i)
            m_first[i + 1] = m_first[i] + static_cast<uint32_t>(lines[i].size());
        m_runs.assign(m_first.back(), Run{});
        m_kept.assign(lines.size(), kNone);
    }
    void Clear() { *this = CPlacementMemo{}; }

    void Keep(size_t nLine, const ClueList& clues, const int32_t* pLeft, const int32_t* pRight) {
        if (nLine >= m_kept.size())
            return;
        Run* pRuns = m_runs.data() + m_first[nLine];
        bool bCoversNothing = true;
        for (size_t t = 0; t < clues.size(); ++t) {
            pRuns[t] = {pLeft[t], pLeft[t] + clues[t].length, pRight[t], pRight[t] + clues[t].length};
            bCoversNothing &= clues[t].length == 0;
        }
        m_kept[nLine] = bCoversNothing ? kCoversNothing : kKept;
    }
    void Forget(size_t nLine) {
        if (nLine < m_kept.size())
            m_kept[nLine] = kNone;
    }

    // Whether the line's kept placements both agree with its cell nCell
    // having become `state`; false when none are kept.
    bool Agrees(size_t nLine, int32_t nCell, CellState state) const {
        if (nLine >= m_kept.size() || m_kept[nLine] == kNone)
            return false;
        const bool bFilled = state == CELL_FILLED;
        if (m_kept[nLine] == kCoversNothing) // a blank line's zero-length run
            return !bFilled;
        return AgreesWithRuns(nLine, nCell, bFilled);
    }

  private:
    struct Run {
        int32_t nLeft = 0, nLeftEnd = 0;   // the run in the leftmost placement
        int32_t nRight = 0, nRightEnd = 0; // and in the rightmost
    };
    enum : uint8_t { kNone, kKept, kCoversNothing };

    bool AgreesWithRuns(size_t nLine, int32_t nCell, bool bFilled) const {
        const Run* pFirst = m_runs.data() + m_first[nLine];
        const Run* pEnd = m_runs.data() + m_first[nLine + 1];
        return Covers(pFirst, pEnd, nCell, &Run::nLeft, &Run::nLeftEnd) == bFilled &&
               Covers(pFirst, pEnd, nCell, &Run::nRight, &Run::nRightEnd) == bFilled;
    }

    // Whether a run of the placement covers the cell: the last run that
    // starts at or before it is the only one that can.
    static bool Covers(const Run* pFirst, const Run* pEnd, int32_t nCell, int32_t Run::*pStart, int32_t Run::*pStop) {
        const Run* pAfter =
            std::upper_bound(pFirst, pEnd, nCell, [pStart](int32_t nAt, const Run& run) { return nAt < run.*pStart; });
        return pAfter != pFirst && nCell < (pAfter - 1)->*pStop;
    }

    std::vector<uint32_t> m_first; // the line's first run in m_runs
    std::vector<Run> m_runs;
    std::vector<uint8_t> m_kept;
};
