#include "solver/Rating.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

namespace {

using Picture = std::vector<std::string>;

// Found by a search over random pictures: unique, but probing alone leaves
// cells open, so the solver branches (root, the branch that fails, the one
// that holds).
const Picture kNeedsSearch = {"---XX--X", "---X--XX", "--X--X--", "--X-X-XX",
                              "-X-X-X--", "---XX---", "XX------", "-X---XX-"};
// Unique; line logic stalls and probing finishes it.
const Picture kNeedsProbing = {"X-X---", "--XXX-", "-X-X-X", "-XX-XX", "XXX--X", "X--X-X"};

// Clues from rows and columns given as run lists, for clues no picture has.
CPuzzle Clues(const std::vector<std::vector<int16_t>>& rows, const std::vector<std::vector<int16_t>>& columns) {
    CPuzzle puzzle;
    puzzle.SetSize(static_cast<int16_t>(rows.size()), static_cast<int16_t>(columns.size()));
    for (size_t r = 0; r < rows.size(); ++r)
        for (int16_t value : rows[r])
            puzzle.AddRowClue(static_cast<int16_t>(r), value);
    for (size_t c = 0; c < columns.size(); ++c)
        for (int16_t value : columns[c])
            puzzle.AddColumnClue(static_cast<int16_t>(c), value);
    return puzzle;
}

struct RatingCase {
    const char* name;
    CPuzzle puzzle;
    RatingClass expected;
    uint64_t nMinScore; // the score lies in nMinScore..nMaxScore
    uint64_t nMaxScore;
    bool bRefused = false; // before any solving
};

std::vector<RatingCase> RatingCases() {
    return {
        {"LineLogicAlone", PuzzleFromPicture({"XX-X", "-XXX", "X---"}), RatingClass::Line, 2, 2},
        {"LineLogicOneByOne", PuzzleFromPicture({"X"}), RatingClass::Line, 1, 1},
        {"LineLogicBlank", PuzzleFromPicture({"---", "---"}), RatingClass::Line, 1, 1},
        {"NeedsProbing", PuzzleFromPicture(kNeedsProbing), RatingClass::Probing, 1, 36},
        {"NeedsSearch", PuzzleFromPicture(kNeedsSearch), RatingClass::Search, 2, 1000},
        {"TwoSolutions", PuzzleFromPicture({"X-", "-X"}), RatingClass::Multiple, 1, 1000},
        {"ManySolutions", PuzzleFromPicture({"X----", "-X---", "--X--", "---X-", "----X"}), RatingClass::Multiple, 1,
         1000},
        // Line logic finds the contradiction: nothing to search.
        {"ContradictionByLineLogic", Clues({{2}, {0}}, {{2}, {0}}), RatingClass::None, 0, 0},
        // Line logic stalls; probing finds that no picture fits (the root).
        {"ContradictionByProbing", Clues({{1}, {1}, {1, 1}, {2}}, {{1, 1}, {1}, {1}, {1, 1}}), RatingClass::None, 1, 1},
        {"UnequalTotals", Clues({{2}, {1}}, {{1}, {1}}), RatingClass::None, 0, 0, true},
        {"RunsLongerThanTheirLine", Clues({{3}, {0}}, {{1}, {1}}), RatingClass::None, 0, 0, true},
        {"ZeroRows", Clues({}, {{0}}), RatingClass::None, 0, 0, true},
    };
}

TEST(Rating, EachPuzzleGetsItsClassAndAScoreInRange) {
    for (const RatingCase& c : RatingCases()) {
        SCOPED_TRACE(c.name);
        const PuzzleRating rating = RatePuzzle(c.puzzle);
        EXPECT_STREQ(RatingClassWord(rating.ratingClass), RatingClassWord(c.expected));
        EXPECT_GE(rating.nScore, c.nMinScore);
        EXPECT_LE(rating.nScore, c.nMaxScore);
        EXPECT_EQ(rating.bRefused, c.bRefused);
    }
}

// The solutions the rating found are the clues' pictures: the one picture
// of a unique puzzle, two different pictures of a puzzle with more.
TEST(Rating, KeepsTheSolutionsItFound) {
    for (const RatingCase& c : RatingCases()) {
        SCOPED_TRACE(c.name);
        const PuzzleRating rating = RatePuzzle(c.puzzle);
        const bool bSolved = rating.ratingClass == RatingClass::Line || rating.ratingClass == RatingClass::Probing ||
                             rating.ratingClass == RatingClass::Search || rating.ratingClass == RatingClass::Multiple;
        EXPECT_EQ(rating.first.empty(), !bSolved);
        EXPECT_EQ(rating.second.empty(), rating.ratingClass != RatingClass::Multiple);
        for (const std::vector<CellState>* pCells : {&rating.first, &rating.second}) {
            if (pCells->empty())
                continue;
            CPuzzle grid = c.puzzle;
            grid.SetCells(*pCells);
            EXPECT_TRUE(grid.SatisfiesAllClues());
        }
        if (rating.ratingClass == RatingClass::Multiple) {
            EXPECT_NE(rating.first, rating.second);
        }
        EXPECT_EQ(rating.strNote.empty(), rating.ratingClass != RatingClass::None);
    }
}

// What line logic decided comes along: all of a line puzzle, none of the
// cells it left open elsewhere.
TEST(Rating, KeepsWhatLineLogicDecided) {
    const PuzzleRating line = RatePuzzle(PuzzleFromPicture({"XX-X", "-XXX", "X---"}));
    EXPECT_EQ(line.lineCells, line.first);
    const PuzzleRating search = RatePuzzle(PuzzleFromPicture(kNeedsSearch));
    ASSERT_EQ(search.lineCells.size(), 64u);
    const auto nOpen = std::count(search.lineCells.begin(), search.lineCells.end(), CELL_UNKNOWN);
    EXPECT_GT(nOpen, 0);
    for (size_t i = 0; i < 64; ++i)
        if (search.lineCells[i] != CELL_UNKNOWN) {
            EXPECT_EQ(search.lineCells[i], search.first[i]) << "cell " << i;
        }
}

TEST(Rating, TheSameCluesAlwaysGetTheSameRating) {
    for (const RatingCase& c : RatingCases()) {
        SCOPED_TRACE(c.name);
        const PuzzleRating first = RatePuzzle(c.puzzle);
        CPuzzle copy = c.puzzle;
        copy.Solve(nullptr, nullptr); // a grid of its own left by an earlier solve changes nothing
        const PuzzleRating again = RatePuzzle(copy);
        EXPECT_EQ(again.ratingClass, first.ratingClass);
        EXPECT_EQ(again.nScore, first.nScore);
        EXPECT_EQ(again.first, first.first);
        EXPECT_EQ(again.second, first.second);
    }
}

TEST(Rating, LeavesThePuzzleAsItWas) {
    CPuzzle puzzle = PuzzleFromPicture(kNeedsSearch);
    puzzle.SetCell(0, 0, CELL_FILLED);
    const std::vector<CellState> before = puzzle.GetCells();
    RatePuzzle(puzzle);
    EXPECT_EQ(puzzle.GetCells(), before);
}

// A staircase whose every step line logic can settle only after the one
// before it: more steps, more passes.
Picture Staircase(int n) {
    Picture picture(static_cast<size_t>(n), std::string(static_cast<size_t>(n), '-'));
    for (int r = 0; r < n; ++r)
        for (int c = 0; c <= r; ++c)
            if ((r + c) % 3 != 0)
                picture[static_cast<size_t>(r)][static_cast<size_t>(c)] = 'X';
    return picture;
}

TEST(Rating, WithinLineLogicAPuzzleNeedingMoreRoundsScoresHigher) {
    uint64_t nLast = 0;
    for (int n : {5, 8, 11, 14, 17, 20}) {
        const PuzzleRating rating = RatePuzzle(PuzzleFromPicture(Staircase(n)));
        SCOPED_TRACE(n);
        ASSERT_EQ(rating.ratingClass, RatingClass::Line);
        EXPECT_GT(rating.nScore, nLast);
        nLast = rating.nScore;
    }
}

// The rating's line logic is the one Solve runs: the same puzzles end in
// the class line, the same cells stay open, the same contradictions are
// found by line logic alone. So "solvable by line logic" means one thing
// wherever it is shown.
TEST(Rating, AgreesWithSolveOnWhatLineLogicDecides) {
    std::mt19937 random(19);
    for (int nTrial = 0; nTrial < 300; ++nTrial) {
        const int nRows = 1 + nTrial % 13, nCols = 1 + nTrial % 11;
        CPuzzle puzzle = nTrial % 3 ? PuzzleFromPicture(RandomPicture(random, nRows, nCols, 40 + nTrial % 30))
                                    : MismatchedClues(random, nRows, nCols);
        SCOPED_TRACE("trial " + std::to_string(nTrial));
        const PuzzleRating rating = RatePuzzle(puzzle);
        puzzle.SetTrace(nullptr, nullptr);
        const int nSolve = puzzle.Solve(nullptr, nullptr);
        EXPECT_EQ(nSolve == SOLVE_SOLVED, rating.ratingClass == RatingClass::Line);
        EXPECT_EQ(nSolve == SOLVE_REFUSED || nSolve == SOLVE_NO_SOLUTION,
                  rating.ratingClass == RatingClass::None && rating.nScore == 0);
        if (nSolve == SOLVE_SOLVED || nSolve == SOLVE_INCOMPLETE) {
            EXPECT_EQ(rating.lineCells, puzzle.GetCells());
        }
    }
}

// A rating that is stopped says so rather than guess: a stop requested
// before it starts, or a node limit the search reaches before it ends.
TEST(Rating, AStoppedRatingIsUnknown) {
    std::atomic<bool> bStop{true};
    RatingOptions stopped;
    stopped.pStop = &bStop;
    for (const Picture& picture : {Picture{"XX-X", "-XXX", "X---"}, kNeedsProbing, kNeedsSearch}) {
        const PuzzleRating rating = RatePuzzle(PuzzleFromPicture(picture), stopped);
        EXPECT_EQ(rating.ratingClass, RatingClass::Unknown);
        EXPECT_EQ(FormatRating(rating), "unknown");
    }
    const uint64_t nNodes = RatePuzzle(PuzzleFromPicture(kNeedsSearch)).nScore;
    RatingOptions limited;
    limited.nMaxNodes = nNodes;
    EXPECT_EQ(RatePuzzle(PuzzleFromPicture(kNeedsSearch), limited).ratingClass, RatingClass::Unknown);
    limited.nMaxNodes = nNodes + 1;
    const PuzzleRating rating = RatePuzzle(PuzzleFromPicture(kNeedsSearch), limited);
    EXPECT_EQ(rating.ratingClass, RatingClass::Search);
    EXPECT_EQ(rating.nScore, nNodes);
}

// A line the solver's working memory cannot take (8,200 runs on 32,767
// cells) has a picture all the same: its rating is not known.
TEST(Rating, CluesTheSolverRefusesForTheirSizeAreUnknownWithTheReason) {
    std::string row(32767, '-');
    for (size_t i = 0; i < 8200; ++i)
        row[2 * i] = 'X';
    const PuzzleRating rating = RatePuzzle(PuzzleFromPicture({row}));
    EXPECT_EQ(rating.ratingClass, RatingClass::Unknown);
    EXPECT_TRUE(rating.bRefused);
    EXPECT_NE(rating.strNote.find("working memory"), std::string::npos) << rating.strNote;
}

TEST(Rating, PrintsTheClassWordAndTheScore) {
    PuzzleRating rating;
    rating.nScore = 1234;
    const std::pair<RatingClass, const char*> words[] = {
        {RatingClass::Line, "line 1234"},     {RatingClass::Probing, "probing 1234"},
        {RatingClass::Search, "search 1234"}, {RatingClass::Multiple, "multiple 1234"},
        {RatingClass::None, "none 1234"},     {RatingClass::Unknown, "unknown"},
    };
    for (const auto& [ratingClass, pszText] : words) {
        rating.ratingClass = ratingClass;
        EXPECT_EQ(FormatRating(rating), pszText);
    }
}

} // namespace
