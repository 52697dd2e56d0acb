#include "model/Puzzle.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

namespace {

struct RangeCase {
    std::vector<int16_t> lengths;
    int32_t nLength;
    std::vector<int32_t> minStarts;
    std::vector<int32_t> maxStarts;
    int32_t nFitStart;
};

class PrepareRangesTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(PrepareRangesTest, PacksRunsToBothEnds) {
    const RangeCase& c = GetParam();
    ClueList clues;
    for (int16_t length : c.lengths)
        clues.push_back(Clue{length, 99, 99, 99, 99});
    CPuzzle::PrepareRanges(clues, c.nLength);
    for (size_t k = 0; k < clues.size(); ++k) {
        EXPECT_EQ(clues[k].minStart, c.minStarts[k]) << "clue " << k;
        EXPECT_EQ(clues[k].maxStart, c.maxStarts[k]) << "clue " << k;
        EXPECT_EQ(clues[k].fitStart, c.nFitStart) << "clue " << k;
        EXPECT_EQ(clues[k].pos, clues[k].minStart) << "clue " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PrepareRangesTest,
                         ::testing::Values(RangeCase{{3, 1}, 6, {0, 4}, {1, 5}, 6}, //
                                           RangeCase{{0}, 5, {0}, {5}, 6},          //
                                           RangeCase{{3, 3}, 6, {0, 4}, {-1, 3}, 4},
                                           // 32767 cells: positions past the end must not wrap
                                           RangeCase{{0}, 32767, {0}, {32767}, 32768},
                                           RangeCase{{20000, 12766}, 32767, {0, 20001}, {0, 20001}, 20002}));

TEST(CheckClueTotals, AcceptsEqualTotalsAndWritesBothTargets) {
    CPuzzle puzzle = PuzzleFromPicture({"XX-", "-X-"});
    EXPECT_FALSE(puzzle.CheckClueTotals());
    EXPECT_EQ(puzzle.GetTargetByRows(), 9);
    EXPECT_EQ(puzzle.GetTargetByCols(), 9);
}

TEST(CheckClueTotals, RefusesUnequalTotalsButStillWritesTargets) {
    CPuzzle puzzle;
    puzzle.SetSize(2, 3);
    puzzle.AddRowClue(0, 3);
    puzzle.AddRowClue(1, 1); // rows: 4
    puzzle.AddColumnClue(0, 2);
    puzzle.AddColumnClue(1, 2);
    puzzle.AddColumnClue(2, 1); // columns: 5
    EXPECT_TRUE(puzzle.CheckClueTotals());
    EXPECT_EQ(puzzle.GetTargetByRows(), 10);
    EXPECT_EQ(puzzle.GetTargetByCols(), 11);
}

TEST(CheckClueTotals, RefusesAnEmptyPuzzle) {
    CPuzzle puzzle;
    EXPECT_EQ(puzzle.GetHeight(), 0);
    EXPECT_EQ(puzzle.GetWidth(), 0);
    EXPECT_TRUE(puzzle.CheckClueTotals());
}

TEST(CheckClueTotals, TargetsOfALargeGridDoNotWrap) {
    CPuzzle puzzle;
    puzzle.SetSize(300, 300);
    for (int16_t i = 0; i < 300; ++i) {
        puzzle.AddRowClue(i, 300);
        puzzle.AddColumnClue(i, 300);
    }
    EXPECT_FALSE(puzzle.CheckClueTotals());
    EXPECT_EQ(puzzle.GetTargetByRows(), 180000); // wraps to a small number in 16 bits
}

TEST(SetSize, GivesAnAllUnknownGridAndEmptyLists) {
    CPuzzle puzzle;
    puzzle.SetSize(3, 4);
    EXPECT_EQ(puzzle.GetGridTotal(), 0);
    EXPECT_EQ(puzzle.GetRowClueCount(2), 0);
    EXPECT_EQ(puzzle.GetColumnClueCount(3), 0);
    puzzle.AddRowClue(2, 7);
    puzzle.AddRowClue(2, 1);
    EXPECT_EQ(puzzle.GetRowClueCount(2), 2);
    EXPECT_EQ(puzzle.GetRowClue(2, 0), 7);
    EXPECT_EQ(puzzle.GetRowClue(2, 1), 1);
}

TEST(SatisfiesAllClues, HoldsOnlyForACompleteGridThatReadsEveryClue) {
    CPuzzle puzzle = PuzzleFromPicture({"X-X", "XX-"});
    const char* grids[][2] = {{"X-X", "XX-"}, {"X-X", "XX."}, {"X-X", "-XX"}, {"XX-", "X-X"}};
    const bool expected[] = {true, false, false, false};
    for (size_t g = 0; g < 4; ++g) {
        for (int r = 0; r < 2; ++r) {
            std::vector<CellState> cells = ParseCells(grids[g][r]);
            for (int c = 0; c < 3; ++c)
                puzzle.SetCell(r, c, cells[static_cast<size_t>(c)]);
        }
        EXPECT_EQ(puzzle.SatisfiesAllClues(), expected[g]) << "grid " << g;
    }
}

} // namespace
