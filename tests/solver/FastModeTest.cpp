#include "model/Puzzle.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

namespace {

struct FastCase {
    const char* name;
    std::vector<int16_t> clues;
    const char* before;
    const char* after;
    bool bChanged;
    std::vector<int32_t> minStarts;
};

class FastModeTest : public ::testing::TestWithParam<FastCase> {};

TEST_P(FastModeTest, DecidesOverlapsAndGapsOfTheExtremePlacements) {
    const FastCase& c = GetParam();
    CPuzzle puzzle = MakeRowPuzzle(c.clues, c.before);
    puzzle.SetFullSweep(1);
    EXPECT_EQ(puzzle.SolveRow(0), c.bChanged);
    EXPECT_EQ(RowText(puzzle, 0), c.after);
    std::vector<int32_t> minStarts;
    for (const Clue& clue : puzzle.GetRowClues(0))
        minStarts.push_back(clue.minStart);
    EXPECT_EQ(minStarts, c.minStarts);
}

INSTANTIATE_TEST_SUITE_P(Table, FastModeTest,
                         ::testing::Values(FastCase{"OverlapOfTwoRuns", {3, 1}, "......", ".XX...", true, {0, 4}},
                                           FastCase{"SingleRunCentre", {3}, ".....", "..X..", true, {0}},
                                           FastCase{"FilledCellPullsRuns", {2, 2}, "..X....", "-.X..X.", true, {1, 4}},
                                           FastCase{"GapBeforeTheOnlyRun", {2}, ".....X.", "----.X.", true, {4}},
                                           // the zero-length run is pushed to start 2 from either end
                                           FastCase{
                                               "ZeroRunEmptiesTheEnds", {0}, "..........", "--......--", true, {2}},
                                           // on a one-cell line the zero-length run stays at the end
                                           FastCase{"ZeroRunOnOneCell", {0}, ".", ".", false, {1}},
                                           FastCase{"NothingToDecide", {1, 1}, "....-", "....-", false, {0, 2}},
                                           FastCase{"CompleteLine", {2, 1}, "XX-X-", "XX-X-", false, {0, 3}},
                                           FastCase{"FullLine", {5}, ".....", "XXXXX", true, {0}},
                                           // the runs cannot be placed: the push is bounded and nothing is written
                                           FastCase{"ImpossibleLine", {3}, ".-.-", ".-.-", false, {0}}),
                         [](const ::testing::TestParamInfo<FastCase>& info) { return info.param.name; });

TEST(FastMode, AColumnIsDecidedExactlyLikeTheSameRow) {
    const std::vector<int16_t> clues = {2, 2};
    const char* cells = "..X....";
    CPuzzle columnPuzzle;
    columnPuzzle.SetSize(7, 1);
    for (int16_t value : clues)
        columnPuzzle.AddColumnClue(0, value);
    for (int16_t r = 0; r < 7; ++r)
        columnPuzzle.AddRowClue(r, 0);
    columnPuzzle.PrepareAllRanges();
    std::vector<CellState> states = ParseCells(cells);
    for (int r = 0; r < 7; ++r)
        columnPuzzle.SetCell(r, 0, states[static_cast<size_t>(r)]);
    columnPuzzle.SetFullSweep(1);

    CPuzzle rowPuzzle = MakeRowPuzzle(clues, cells);
    rowPuzzle.SetFullSweep(1);
    EXPECT_EQ(columnPuzzle.SolveColumn(0), rowPuzzle.SolveRow(0));
    std::string columnText;
    for (int r = 0; r < 7; ++r)
        columnText += RowText(columnPuzzle, r);
    EXPECT_EQ(columnText, RowText(rowPuzzle, 0));
}

struct PushCase {
    std::vector<int16_t> clues;
    const char* line;
    std::vector<int32_t> starts; // empty: the runs cannot be placed
};

TEST(PushLeft, FindsTheLeftmostPlacementThatAgreesWithTheLine) {
    const PushCase cases[] = {
        {{1, 1}, ".....", {0, 2}},
        {{2}, "....X", {3}},
        {{1, 2}, "X-..XX.", {0, 4}},
        {{3}, "-X-.....", {3}},    // the filled cell 1 cannot be covered: only the bound catches it later
        {{2, 1}, "...X.", {0, 3}}, // the second run covers the block
        {{3}, ".-.-", {}},
        {{1, 1, 1}, "X.X.X", {0, 2, 4}},
    };
    for (const PushCase& c : cases) {
        ClueList clues;
        for (int16_t value : c.clues)
            clues.push_back(Clue{value, 0, 0, 0, 0});
        CPuzzle::PrepareRanges(clues, static_cast<int32_t>(std::string_view(c.line).size()));
        std::vector<CellState> line = ParseCells(c.line);
        const bool bPlaced = CPuzzle::PushLeft(clues, line.data(), static_cast<int32_t>(line.size()));
        SCOPED_TRACE(c.line);
        ASSERT_EQ(bPlaced, !c.starts.empty());
        for (size_t t = 0; t < c.starts.size(); ++t)
            EXPECT_EQ(clues[t].pos, c.starts[t]) << "run " << t;
    }
}

} // namespace
