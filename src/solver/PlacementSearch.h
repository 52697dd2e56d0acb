#pragma once

#include "model/Puzzle.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The exhaustive mode of the line solver: visits the placements of a line's
// runs in increasing lexicographic order of their starts, intersects those
// that agree with the line's known cells, and writes what all of them agree
// on. Pruning rules skip placements that cannot fit or cannot teach anything
// new, and the clues' minStart/maxStart are narrowed on the way.
//
// Works on the puzzle's scratch line `work` (a copy of the line) and its
// scratch flags; the caller writes `work` back when Run returns true.
class CPlacementSearch {
  public:
    CPlacementSearch(CPuzzle& puzzle, ClueList& clues, int32_t nLength, int32_t nLineSum);

    // Returns true when the agreement of all fitting placements holds a cell
    // the line did not know (it is then in `work`), and also when no
    // placement fits a line that knew a cell. bNoFit is set when no
    // placement fits at all: the line proves the puzzle has no solution.
    bool Run(bool& bNoFit);

  private:
    bool BuildPlacement();
    bool Fits() const;
    int32_t Intersect();
    void TakeFirstFit();
    bool PinRuns();
    bool NextPlacement();
    size_t ChooseStartClue();
    bool CoverFilledBlocks();
    bool CheckEachRun();
    bool Advance(size_t k);
    void SkipAhead(size_t k);
    bool IsOpen(int32_t i) const { return m_common[i] != m_work[i]; }
    int32_t ZoneEnd(size_t k) const;

    CPuzzle& m_puzzle;
    ClueList& m_clues;
    const int32_t m_nLength;
    const int32_t m_nLineSum;
    std::vector<CellState>& m_work;
    std::vector<CellState>& m_cand;
    std::vector<CellState>& m_common;
    bool m_bHasCommon = false; // `common` is empty until the first fitting placement
    bool m_bKeepGoing = true;
    bool m_bPinned = false;
    int32_t m_nLastSum = 0;
};
