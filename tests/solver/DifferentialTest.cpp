// The fast solving path (agreement by dynamic programming, lines skipped
// while unchanged) against the step-by-step search that re-examines every
// line: over thousands of seeded random puzzles, everything a user can
// observe must be the same.

#include "model/Puzzle.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The observable course of a solve: trace lines, every notification with the
// grid total at that moment, the whole grid at the end of each sweep, and
// the result.
struct Course {
    std::vector<std::string> events;
    int nResult = -1;
    bool operator==(const Course&) const = default;
};

void RecordNotification(CPuzzle* pPuzzle, int nRow, int nCol, void* pContext) {
    auto* pCourse = static_cast<Course*>(pContext);
    std::string event =
        std::to_string(nRow) + "," + std::to_string(nCol) + ":" + std::to_string(pPuzzle->GetGridTotal());
    if (nRow < 0 && nCol < 0)
        for (const std::string& row : GridRows(*pPuzzle))
            event += "|" + row;
    pCourse->events.push_back(event);
}

void RecordTrace(void* pContext, int nMode) {
    static_cast<Course*>(pContext)->events.push_back("trace " + std::to_string(nMode));
}

Course SolveRecorded(CPuzzle puzzle, bool bFaithful) {
    Course course;
    puzzle.SetFaithfulSearch(bFaithful);
    puzzle.SetTrace(RecordTrace, &course);
    course.nResult = puzzle.Solve(RecordNotification, &course);
    course.events.push_back("final " + testing::PrintToString(GridRows(puzzle)));
    return course;
}

TEST(FastPath, ObservesExactlyWhatTheStepByStepSearchObserves) {
    std::mt19937 random(2026);
    int nWithExhaustivePasses = 0;
    for (int nTrial = 0; nTrial < 2500; ++nTrial) {
        const int nRows = 2 + static_cast<int>(random() % 18);
        const int nCols = 2 + static_cast<int>(random() % 18);
        const CPuzzle puzzle = PuzzleFromPicture(RandomPicture(random, nRows, nCols, 30 + random() % 45));
        const Course faithful = SolveRecorded(puzzle, true);
        const Course fast = SolveRecorded(puzzle, false);
        ASSERT_EQ(fast.nResult, faithful.nResult) << "trial " << nTrial;
        ASSERT_EQ(fast.events, faithful.events) << "trial " << nTrial;
        nWithExhaustivePasses += std::count(faithful.events.begin(), faithful.events.end(), "trace 0") > 1;
    }
    EXPECT_GT(nWithExhaustivePasses, 500); // the exhaustive mode was exercised, not only the fast one
}

// Clues of two unrelated pictures: mostly puzzles without solution, where
// the paths must agree on the course up to the proof and on the result.
TEST(FastPath, ObservesTheSameOnContradictoryClues) {
    std::mt19937 random(77);
    for (int nTrial = 0; nTrial < 1500; ++nTrial) {
        const int nRows = 2 + static_cast<int>(random() % 10);
        const int nCols = 2 + static_cast<int>(random() % 10);
        const CPuzzle puzzle = MismatchedClues(random, nRows, nCols);
        const Course faithful = SolveRecorded(puzzle, true);
        const Course fast = SolveRecorded(puzzle, false);
        ASSERT_EQ(fast.nResult, faithful.nResult) << "trial " << nTrial;
        ASSERT_EQ(fast.events, faithful.events) << "trial " << nTrial;
    }
}

} // namespace
