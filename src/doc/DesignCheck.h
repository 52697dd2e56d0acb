#pragma once

#include "model/Puzzle.h"
#include "solver/Rating.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

// What the live check of a design found about its clues.
struct DesignVerdict {
    enum class Kind {
        NotChecked, // a check is under way
        LineLogic,  // Solve's line logic alone finishes it
        Unique,     // one solution, which line logic alone does not reach
        NotUnique,  // two solutions (at least)
        Stopped,    // the check ran out of time (or was stopped) first
    };
    Kind kind = Kind::NotChecked;
    // The cells line logic decides (the others unknown): where the reasoning
    // gets stuck. Empty until line logic has run.
    std::vector<CellState> lineCells;
    // Where the two solutions found differ (cell = row * columns + column).
    std::vector<int> differ;
    // The puzzle's rating (class and score), as Tools > Rate Puzzle and
    // tabulon-cli --rate give it; unknown until the check has ended.
    PuzzleRating rating;
};

// The words the status bar shows for a verdict's kind.
const char* VerdictText(DesignVerdict::Kind kind);

// A check of a design's clues, runnable on any thread on its own copy of
// them: line logic first (reported at once, since it is what an author
// needs first and it is quick), then the rating, whose complete solve finds
// a second solution where there is one. A set stop flag ends it with the
// kind Stopped.
class CDesignCheck {
  public:
    explicit CDesignCheck(const CPuzzle& clues);
    // fnLineLogic gets the verdict as far as line logic takes it (a final
    // verdict when line logic finishes the grid), on the running thread.
    DesignVerdict Run(const std::atomic<bool>& stop, const std::function<void(const DesignVerdict&)>& fnLineLogic);

  private:
    CPuzzle m_clues;
};
