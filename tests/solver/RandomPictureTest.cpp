// Properties over many seeded random puzzles: whatever the solver decides is
// true of every solution, and what it calls solved is a solution.

#include "model/Puzzle.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(RandomPictures, DecidedCellsMatchThePictureAndSolvedGridsReadEveryClue) {
    std::mt19937 random(5);
    int nSolved = 0;
    for (int nTrial = 0; nTrial < 1500; ++nTrial) {
        const int nRows = 1 + static_cast<int>(random() % 16);
        const int nCols = 1 + static_cast<int>(random() % 16);
        const std::vector<std::string> picture = RandomPicture(random, nRows, nCols, 25 + random() % 50);
        CPuzzle puzzle = PuzzleFromPicture(picture);
        puzzle.SetTrace(nullptr, nullptr);
        const int nResult = puzzle.Solve(nullptr, nullptr);
        SCOPED_TRACE(testing::PrintToString(picture));
        ASSERT_TRUE(nResult == SOLVE_SOLVED || nResult == SOLVE_INCOMPLETE) << "result " << nResult;
        const std::vector<std::string> grid = GridRows(puzzle);
        for (int r = 0; r < nRows; ++r)
            for (int c = 0; c < nCols; ++c) {
                const char cell = grid[static_cast<size_t>(r)][static_cast<size_t>(c)];
                ASSERT_TRUE(cell == '.' || cell == picture[static_cast<size_t>(r)][static_cast<size_t>(c)])
                    << "cell " << r << ", " << c;
            }
        if (nResult == SOLVE_SOLVED) {
            ASSERT_EQ(grid, picture);
            ++nSolved;
        }
    }
    EXPECT_GT(nSolved, 500); // the property must not hold vacuously
}

// Number of grids of nRows x nCols that read all clues of `puzzle` (small grids only).
int CountSolutions(const CPuzzle& puzzle) {
    const int nRows = puzzle.GetHeight(), nCols = puzzle.GetWidth();
    int nCount = 0;
    for (uint32_t bits = 0; bits < (1u << (nRows * nCols)); ++bits) {
        CPuzzle grid = puzzle;
        for (int i = 0; i < nRows * nCols; ++i)
            grid.SetCell(i / nCols, i % nCols, (bits >> i) & 1 ? CELL_FILLED : CELL_EMPTY);
        nCount += grid.SatisfiesAllClues();
    }
    return nCount;
}

// Random clue sets with equal totals, most of them without solution: "no
// solution" must be a proof and "solved" must be a solution.
TEST(RandomClues, NoSolutionIsOnlyReportedWhenNoGridExists) {
    std::mt19937 random(11);
    int nNoSolution = 0;
    for (int nTrial = 0; nTrial < 400; ++nTrial) {
        const int nRows = 2 + static_cast<int>(random() % 2);
        const int nCols = 2 + static_cast<int>(random() % 3);
        CPuzzle puzzle = MismatchedClues(random, nRows, nCols);
        puzzle.SetTrace(nullptr, nullptr);
        const int nResult = puzzle.Solve(nullptr, nullptr);
        if (nResult == SOLVE_REFUSED)
            continue; // unequal totals
        const int nSolutions = CountSolutions(puzzle);
        SCOPED_TRACE("trial " + std::to_string(nTrial));
        if (nResult == SOLVE_NO_SOLUTION) {
            EXPECT_EQ(nSolutions, 0);
            ++nNoSolution;
        }
        if (nResult == SOLVE_SOLVED) {
            EXPECT_TRUE(puzzle.SatisfiesAllClues());
            EXPECT_EQ(nSolutions, 1);
        }
    }
    EXPECT_GT(nNoSolution, 10);
}

} // namespace
