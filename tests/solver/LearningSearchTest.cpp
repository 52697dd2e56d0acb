#include "solver/LearningSearch.h"
#include "solver/CompleteSolver.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

namespace {

// Restarting after every conflict or so and forgetting learnt clauses all
// the time must neither lose solutions nor invent them: the count up to a
// limit is the backtracking search's, and every solution reads the clues
// and is new. Puzzles big enough to need many conflicts; branching towards
// the target's values and towards the values last had, with and without
// trying cells both ways first (whose dead ends are learnt from too).
class LearningSearchCounts : public testing::TestWithParam<std::tuple<bool, bool>> {};

TEST_P(LearningSearchCounts, AsBacktrackingDoesWhileRestartingAndForgetting) {
    std::mt19937 random(41);
    CLearningSearch::Tuning tuning;
    tuning.nRestartConflicts = 1;
    tuning.nFirstMaxLearnts = 8;
    tuning.bTargetPhases = std::get<0>(GetParam());
    tuning.bLookahead = std::get<1>(GetParam());
    constexpr uint64_t kLimit = 30;
    uint64_t nConflicts = 0;
    int nSeveral = 0;
    for (int nTrial = 0; nTrial < 40; ++nTrial) {
        SCOPED_TRACE("trial " + std::to_string(nTrial));
        const CPuzzle puzzle =
            nTrial % 3 ? PuzzleFromPicture(RandomPicture(random, 16, 15, 45)) : MismatchedClues(random, 16, 15);
        CPuzzle checked = puzzle;
        if (checked.RefuseUnsolvable())
            continue;
        CCompleteSolver::Options options;
        options.nMaxSolutions = kLimit;
        options.nLearnAfterLines = 0;
        const CCompleteSolver::Result expected = CCompleteSolver(puzzle).Solve(options);

        CLearningSearch learning(CCompleteSolver::LinesOf(puzzle), puzzle.GetHeight(), puzzle.GetWidth(), tuning);
        const std::vector<CellState> unknown(16 * 15, CELL_UNKNOWN);
        std::vector<std::vector<CellState>> found;
        std::vector<CellState> cells;
        if (learning.Fix(unknown)) {
            while (found.size() < kLimit &&
                   learning.Next(cells, CLearningSearch::Limits()) == CLearningSearch::Outcome::Solution) {
                checked.SetCells(cells);
                EXPECT_TRUE(checked.SatisfiesAllClues());
                EXPECT_EQ(std::find(found.begin(), found.end(), cells), found.end()) << "found twice";
                found.push_back(cells);
                learning.Block(cells);
            }
        }
        EXPECT_EQ(found.size(), expected.nSolutions);
        nConflicts += learning.Conflicts();
        nSeveral += found.size() > 1;
    }
    EXPECT_GT(nConflicts, 500u);
    EXPECT_GT(nSeveral, 3);
}

INSTANTIATE_TEST_SUITE_P(TargetOrLastWithOrWithoutLookahead, LearningSearchCounts,
                         testing::Combine(testing::Bool(), testing::Bool()));

TEST(LearningSearch, StopsAtTheConflictLimit) {
    // Every row and column "1" on 9 x 9: 9! solutions, each one a new search.
    std::vector<std::string> picture(9, std::string(9, '-'));
    for (size_t i = 0; i < 9; ++i)
        picture[i][i] = 'X';
    const CPuzzle puzzle = PuzzleFromPicture(picture);
    CLearningSearch learning(CCompleteSolver::LinesOf(puzzle), 9, 9);
    ASSERT_TRUE(learning.Fix(std::vector<CellState>(81, CELL_UNKNOWN)));
    CLearningSearch::Limits limits;
    limits.nMaxConflicts = 20;
    std::vector<CellState> cells;
    CLearningSearch::Outcome outcome = CLearningSearch::Outcome::Solution;
    for (int n = 0; n < 100000; ++n) {
        outcome = learning.Next(cells, limits);
        if (outcome != CLearningSearch::Outcome::Solution)
            break;
        learning.Block(cells);
    }
    EXPECT_EQ(outcome, CLearningSearch::Outcome::Stopped);
    // Checked between decisions: a few conflicts over, at most one a level.
    EXPECT_GE(learning.Conflicts(), 20u);
    EXPECT_LE(learning.Conflicts(), 20u + 81u);
}

} // namespace
