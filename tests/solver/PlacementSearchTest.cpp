#include "model/Puzzle.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct SearchCase {
    const char* name;
    std::vector<int16_t> clues;
    const char* before;
    const char* after;
    bool bChanged;
    uint64_t nPlacements;
    std::vector<int32_t> minStarts; // empty: not checked
    std::vector<int32_t> maxStarts; // empty: not checked
};

// Runs the exhaustive mode on a row that starts from freshly prepared
// ranges: the step-by-step placement search, or its result by agreement.
bool SearchRow(CPuzzle& puzzle, bool bFaithful = true) {
    puzzle.SetFaithfulSearch(bFaithful);
    puzzle.SetFullSweep(0);
    return puzzle.SolveRow(0);
}

class PlacementSearchTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(PlacementSearchTest, KeepsWhatAllFittingPlacementsAgreeOn) {
    const SearchCase& c = GetParam();
    CPuzzle puzzle = MakeRowPuzzle(c.clues, c.before);
    const uint64_t nBefore = puzzle.GetPlacementCount();
    EXPECT_EQ(SearchRow(puzzle), c.bChanged);
    EXPECT_EQ(puzzle.GetPlacementCount() - nBefore, c.nPlacements);
    EXPECT_EQ(RowText(puzzle, 0), c.after);
    std::vector<int32_t> minStarts, maxStarts;
    for (const Clue& clue : puzzle.GetRowClues(0)) {
        minStarts.push_back(clue.minStart);
        maxStarts.push_back(clue.maxStart);
    }
    if (!c.minStarts.empty()) {
        EXPECT_EQ(minStarts, c.minStarts);
    }
    if (!c.maxStarts.empty()) {
        EXPECT_EQ(maxStarts, c.maxStarts);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlacementSearchTest,
    ::testing::Values(SearchCase{"StopsEarlyWhenNothingNewIsForced", {1, 1}, ".....", ".....", false, 4, {}, {}},
                      SearchCase{"DecidesTheOverlap", {3, 1}, "......", ".XX...", true, 3, {0, 4}, {}},
                      SearchCase{"SkipsToCoverAFilledBlock", {2, 1}, "...X..", "...X-.", true, 2, {0, 3}, {}},
                      SearchCase{"TwoRunsSixPlacements", {2, 3}, "........", ".....X..", true, 6, {}, {}},
                      SearchCase{"NarrowsMaxStartAtAnEmptyEnd", {1, 1}, "....-", "....-", false, 3, {}, {2, 3}},
                      // impossible: no placement fits; nothing is written but the line reports a change
                      SearchCase{
                          "ReportsALineWithoutFittingPlacement", {4}, ".X......X.", ".X......X.", true, 1, {}, {}}),
    [](const ::testing::TestParamInfo<SearchCase>& info) { return info.param.name; });

TEST(PlacementSearch, EmptiesTheRestOfAZeroLineAfterTheFastMode) {
    CPuzzle puzzle = MakeRowPuzzle({0}, "..........");
    puzzle.SetFullSweep(1);
    ASSERT_TRUE(puzzle.SolveRow(0));
    ASSERT_EQ(RowText(puzzle, 0), "--......--");
    const uint64_t nBefore = puzzle.GetPlacementCount();
    EXPECT_TRUE(SearchRow(puzzle));
    EXPECT_EQ(puzzle.GetPlacementCount() - nBefore, 9u); // starts 2 .. 10, all alike
    EXPECT_EQ(RowText(puzzle, 0), "----------");
    EXPECT_EQ(puzzle.GetRowClues(0)[0].minStart, 2);
}

// Every placement of `lengths` on a line of nLength cells, as strings.
void Placements(const std::vector<int16_t>& lengths, size_t k, int32_t nFrom, std::string& line,
                std::vector<std::string>& out) {
    if (k == lengths.size()) {
        out.push_back(line);
        return;
    }
    const int32_t nLength = static_cast<int32_t>(line.size());
    int32_t nRest = 0;
    for (size_t t = k + 1; t < lengths.size(); ++t)
        nRest += lengths[t] + 1;
    for (int32_t s = nFrom; s + lengths[k] + nRest <= nLength; ++s) {
        std::string saved = line;
        for (int32_t i = s; i < s + lengths[k]; ++i)
            line[static_cast<size_t>(i)] = 'X';
        Placements(lengths, k + 1, s + lengths[k] + (lengths[k] ? 1 : 0), line, out);
        line = saved;
    }
}

// What every placement agreeing with the known cells of `known` has in common
// ('.' where they differ); empty when none agrees.
std::string BruteForceLine(const std::vector<int16_t>& lengths, const std::string& known) {
    std::string blank(known.size(), '-');
    std::vector<std::string> all;
    Placements(lengths, 0, 0, blank, all);
    std::string common;
    for (const std::string& p : all) {
        bool bFits = true;
        for (size_t i = 0; i < p.size(); ++i)
            bFits = bFits && (known[i] == '.' || known[i] == p[i]);
        if (!bFits)
            continue;
        if (common.empty()) {
            common = p;
            continue;
        }
        for (size_t i = 0; i < p.size(); ++i)
            if (common[i] != p[i])
                common[i] = '.';
    }
    return common;
}

// Random lines cut from random pictures, with some cells revealed: the fast
// mode may only decide cells every placement agrees on, and the exhaustive
// mode, searched step by step or settled by agreement, decides exactly those
// (or stops early when they add nothing).
TEST(LineModes, AgreeWithBruteForceOnRandomLines) {
    std::mt19937 random(20261207);
    for (int nTrial = 0; nTrial < 4000; ++nTrial) {
        const size_t nLength = 1 + random() % 14;
        std::string picture, known;
        for (size_t i = 0; i < nLength; ++i)
            picture += random() % 100 < 55 ? 'X' : '-';
        for (size_t i = 0; i < nLength; ++i)
            known += random() % 100 < 30 ? picture[i] : '.';
        const std::vector<int16_t> lengths = RunsOf(picture);
        const std::string expected = BruteForceLine(lengths, known);
        SCOPED_TRACE("picture " + picture + " known " + known);

        CPuzzle fast = MakeRowPuzzle(lengths, known);
        fast.SetFullSweep(1);
        fast.SolveRow(0);
        const std::string fastText = RowText(fast, 0);
        for (size_t i = 0; i < nLength; ++i)
            if (fastText[i] != '.') {
                ASSERT_EQ(fastText[i], expected[i]) << "fast mode decided cell " << i;
            }

        for (bool bFaithful : {true, false}) {
            CPuzzle exhaustive = MakeRowPuzzle(lengths, known);
            const bool bChanged = SearchRow(exhaustive, bFaithful);
            ASSERT_EQ(bChanged, expected != known) << (bFaithful ? "search" : "agreement");
            ASSERT_EQ(RowText(exhaustive, 0), bChanged ? expected : known) << (bFaithful ? "search" : "agreement");
        }
    }
}

} // namespace
