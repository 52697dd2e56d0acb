#include "solver/PlacementSearch.h"

#include "solver/RunCheck.h"

#include <algorithm>

CPlacementSearch::CPlacementSearch(CPuzzle& puzzle, ClueList& clues, int32_t nLength, int32_t nLineSum)
    : m_puzzle(puzzle), m_clues(clues), m_nLength(nLength), m_nLineSum(nLineSum), m_work(puzzle.m_scratch.work),
      m_cand(puzzle.m_scratch.cand), m_common(puzzle.m_scratch.common) {
    m_cand.resize(static_cast<size_t>(nLength));
    m_common.resize(static_cast<size_t>(nLength));
}

bool CPlacementSearch::Run(bool& bNoFit) {
    bool bMore;
    do {
        if (BuildPlacement() && Fits()) {
            m_puzzle.m_bZoneScanDone = 0;
            m_puzzle.m_bJustFitted = 1;
            if (!m_bHasCommon) {
                std::copy(m_cand.begin(), m_cand.end(), m_common.begin());
                m_bHasCommon = true;
                TakeFirstFit();
            }
            m_nLastSum = Intersect();
            if (m_nLastSum == m_nLineSum)
                m_bKeepGoing = false; // nothing beyond what the line knew: stop
            else if (!m_bPinned)
                m_bPinned = PinRuns();
        }
        // Taken also in the iteration that ended the search: its narrowing of
        // minStart and maxStart is part of what the search leaves behind.
        bMore = NextPlacement();
    } while (bMore && m_bKeepGoing);

    if (!bMore && m_bKeepGoing) { // the search ran to its end
        if (m_bPinned)
            for (Clue& clue : m_clues)
                clue.minStart = clue.fitStart;
        if (m_bHasCommon)
            std::copy(m_common.begin(), m_common.end(), m_work.begin());
    }
    bNoFit = !m_bHasCommon;
    return m_nLastSum != m_nLineSum;
}

// Lays the runs out at their `pos` in `cand`. False when a run lies outside
// the line: such a placement cannot fit.
bool CPlacementSearch::BuildPlacement() {
    ++m_puzzle.m_nPlacements;
    std::fill(m_cand.begin(), m_cand.end(), CELL_EMPTY);
    for (const Clue& clue : m_clues) {
        if (clue.pos < 0 || clue.pos + clue.length > m_nLength)
            return false;
        std::fill_n(m_cand.begin() + clue.pos, clue.length, CELL_FILLED);
    }
    return true;
}

bool CPlacementSearch::Fits() const {
    for (int32_t i = 0; i < m_nLength; ++i)
        if (m_work[i] != CELL_UNKNOWN && m_work[i] != m_cand[i])
            return false;
    return true;
}

int32_t CPlacementSearch::Intersect() {
    int32_t nSum = 0;
    for (int32_t i = 0; i < m_nLength; ++i) {
        if (m_common[i] != m_cand[i])
            m_common[i] = CELL_UNKNOWN;
        nSum += m_common[i];
    }
    return nSum;
}

// The first fitting placement is the leftmost one: the search starts from the
// minStart values and until then skips only placements that cannot fit.
void CPlacementSearch::TakeFirstFit() {
    for (Clue& clue : m_clues)
        clue.minStart = clue.pos;
}

// Records the lowest start seen for each run and fills the runs that can stand
// nowhere else into `work` and `common`, so later placements that miss them
// fail Fits early. True when a fitStart was lowered.
bool CPlacementSearch::PinRuns() {
    bool bLowered = false;
    for (Clue& clue : m_clues) {
        if (clue.pos < clue.fitStart) {
            clue.fitStart = clue.pos;
            bLowered = true;
        }
        const int32_t d = std::max(clue.minStart, clue.fitStart);
        if (d == clue.maxStart && clue.length > 0 && d >= 0 && d + clue.length <= m_nLength) {
            std::fill_n(m_work.begin() + d, clue.length, CELL_FILLED);
            std::fill_n(m_common.begin() + d, clue.length, CELL_FILLED);
        }
    }
    return bLowered;
}

bool CPlacementSearch::NextPlacement() {
    if (!Advance(ChooseStartClue()))
        return false;
    if (!CoverFilledBlocks())
        return false;
    return CheckEachRun();
}

int32_t CPlacementSearch::ZoneEnd(size_t k) const {
    return k + 1 < m_clues.size() ? m_clues[k + 1].minStart : m_nLength;
}

// Phase 1. After a fitting placement, runs behind the last zone that still
// holds an open cell only cover cells on which no placement can teach anything
// new, so the step starts at that zone's run. The jump is made once per
// fitting placement; steps after a placement that did not fit start from the
// last run.
size_t CPlacementSearch::ChooseStartClue() {
    const size_t nLast = m_clues.size() - 1;
    if (m_puzzle.m_bZoneScanDone || !m_bHasCommon)
        return nLast;
    for (size_t k = m_clues.size(); k-- > 0;) {
        const int32_t nFrom = std::max(m_clues[k].minStart, int32_t{0});
        const int32_t nTo = std::min(ZoneEnd(k), m_nLength);
        for (int32_t i = nFrom; i < nTo; ++i) {
            if (IsOpen(i)) {
                m_puzzle.m_bZoneScanDone = 1;
                return k;
            }
        }
    }
    return nLast;
}

// Phase 3. Every block of filled cells must be covered by a run. Runs only
// move right, so a block that no run can reach any more makes the placement
// hopeless; a block that an earlier run can still reach advances that run.
bool CPlacementSearch::CoverFilledBlocks() {
    for (;;) {
        bool bHopeless = false;
        bool bAdvanced = false;
        for (int32_t i = 0; i < m_nLength && !bAdvanced;) {
            if (m_work[i] != CELL_FILLED) {
                ++i;
                continue;
            }
            while (i < m_nLength && m_work[i] == CELL_FILLED)
                ++i;
            const int32_t e = i - 1; // last cell of the block
            bool bCovered = false;
            size_t nBefore = m_clues.size(); // highest run ending before e
            for (size_t j = 0; j < m_clues.size(); ++j) {
                const Clue& clue = m_clues[j];
                if (clue.pos <= e && e <= clue.pos + clue.length - 1)
                    bCovered = true;
                if (clue.pos + clue.length - 1 < e)
                    nBefore = j;
            }
            if (bCovered)
                continue;
            if (nBefore == m_clues.size()) {
                bHopeless = true;
                continue;
            }
            if (!Advance(nBefore))
                return false;
            bAdvanced = true;
        }
        if (!bAdvanced)
            return !bHopeless;
    }
}

// Phase 4. A run that disagrees with the line cannot stay where it is. At its
// minStart that start is ruled out for good; at its maxStart likewise; either
// way the placement moves on and the check starts again from the first run.
bool CPlacementSearch::CheckEachRun() {
    size_t j = 0;
    while (j < m_clues.size()) {
        Clue& clue = m_clues[j];
        if (RunAgreesWithLine(clue, m_work.data(), m_nLength)) {
            ++j;
            continue;
        }
        if (clue.pos == clue.minStart && clue.pos < clue.maxStart) {
            ++clue.minStart;
            ++clue.pos;
            CPuzzle::PackFollowing(m_clues, j);
            for (size_t t = j + 1; t < m_clues.size(); ++t)
                m_clues[t].minStart = std::max(m_clues[t].minStart, m_clues[t].pos);
        } else {
            if (clue.pos == clue.maxStart && clue.maxStart > 0)
                --clue.maxStart;
            if (!Advance(j))
                return false;
        }
        j = 0;
    }
    return true;
}

// Moves the highest run from k down that is below its maxStart one cell
// right (or further, see SkipAhead) and re-packs the runs after it.
bool CPlacementSearch::Advance(size_t k) {
    for (size_t j = k + 1; j-- > 0;) {
        Clue& clue = m_clues[j];
        if (clue.pos < clue.maxStart) {
            ++clue.pos;
            if (m_bHasCommon)
                SkipAhead(j);
            CPuzzle::PackFollowing(m_clues, j);
            return true;
        }
    }
    return false;
}

// Moves the advanced run k over cells that can teach nothing more: right
// after a fitting placement, past the cells up to the next open one (or past
// k changes of `common`); otherwise past the cells that `common` already
// gave up as unknown. The run's end never passes the next run's start - 1.
void CPlacementSearch::SkipAhead(size_t k) {
    Clue& clue = m_clues[k];
    const int32_t p = clue.pos;
    int32_t i = p;
    if (m_puzzle.m_bJustFitted) {
        if (p < m_nLength) {
            size_t t = 0;
            CellState v = CELL_UNKNOWN;
            for (;;) {
                if (IsOpen(i - 1) || t >= k)
                    break;
                if (m_common[i] != v)
                    ++t;
                v = m_common[i];
                if (++i >= m_nLength)
                    break;
            }
        }
        m_puzzle.m_bJustFitted = 0;
    } else if (p < m_nLength) {
        while (i < m_nLength && m_common[i - 1] == CELL_UNKNOWN)
            ++i;
    }
    if (i - p > clue.length) {
        const int32_t nNext = k + 1 == m_clues.size() ? m_nLength + 1 : m_clues[k + 1].pos;
        const int32_t nEnd = std::min(i, nNext - 1);
        if (clue.pos + clue.length < nEnd)
            clue.pos = nEnd - clue.length;
    }
}
