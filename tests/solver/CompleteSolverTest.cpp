#include "solver/CompleteSolver.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Outcome = CCompleteSolver::Outcome;

template <typename ClueAt> std::vector<int16_t> CluesOf(int nCount, ClueAt clueAt) {
    std::vector<int16_t> clues;
    for (int k = 0; k < nCount; ++k)
        clues.push_back(clueAt(k));
    return clues;
}

// Every grid of a small puzzle that reads all its clues, as rows of '-'/'X':
// each row from the patterns that read its clue, the columns checked last.
std::vector<std::vector<std::string>> AllSolutions(const CPuzzle& puzzle) {
    const int nRows = puzzle.GetHeight(), nCols = puzzle.GetWidth();
    std::vector<std::vector<std::string>> rowPatterns(static_cast<size_t>(nRows));
    for (int r = 0; r < nRows; ++r) {
        for (uint32_t bits = 0; bits < (1u << nCols); ++bits) {
            std::string row;
            for (int c = 0; c < nCols; ++c)
                row += (bits >> c) & 1 ? 'X' : '-';
            if (RunsOf(row) == CluesOf(puzzle.GetRowClueCount(r), [&](int k) { return puzzle.GetRowClue(r, k); }))
                rowPatterns[static_cast<size_t>(r)].push_back(row);
        }
    }
    std::vector<std::vector<std::string>> solutions;
    std::vector<std::string> grid(static_cast<size_t>(nRows));
    auto columnsHold = [&] {
        for (int c = 0; c < nCols; ++c) {
            std::string column;
            for (const std::string& row : grid)
                column += row[static_cast<size_t>(c)];
            if (RunsOf(column) !=
                CluesOf(puzzle.GetColumnClueCount(c), [&](int k) { return puzzle.GetColumnClue(c, k); }))
                return false;
        }
        return true;
    };
    auto place = [&](auto&& self, int r) -> void {
        if (r == nRows) {
            if (columnsHold())
                solutions.push_back(grid);
            return;
        }
        for (const std::string& row : rowPatterns[static_cast<size_t>(r)]) {
            grid[static_cast<size_t>(r)] = row;
            self(self, r + 1);
        }
    };
    place(place, 0);
    return solutions;
}

std::vector<std::string> RowsOf(const CPuzzle& puzzle, const std::vector<CellState>& cells) {
    CPuzzle grid = puzzle;
    grid.SetCells(cells);
    return GridRows(grid);
}

// bLearning: the search that learns takes over at once.
CCompleteSolver::Result SolveFor(const CPuzzle& puzzle, uint64_t nMaxSolutions, bool bLearning = false) {
    CCompleteSolver::Options options;
    options.nMaxSolutions = nMaxSolutions;
    if (bLearning)
        options.nLearnAfterLines = 1;
    return CCompleteSolver(puzzle).Solve(options);
}

// A picture whose right half mirrors its left: its clues are symmetric, so
// the search that learns first looks for a symmetric solution.
std::vector<std::string> Mirrored(std::vector<std::string> picture) {
    for (std::string& row : picture)
        std::copy(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(row.size() / 2), row.rbegin());
    return picture;
}

// Random pictures (always solvable), some of them mirrored, and mismatched
// clues (mostly not), up to 5 x 5: the solver's counts, outcomes and
// solutions against brute force, with probing and backtracking and with the
// search that learns.
class CompleteSolverSearch : public ::testing::TestWithParam<bool> {};

TEST_P(CompleteSolverSearch, AgreesWithBruteForceOnSmallPuzzles) {
    const bool bLearning = GetParam();
    std::mt19937 random(99);
    int nMultiple = 0, nNone = 0, nBeyondLineLogic = 0;
    for (int nTrial = 0; nTrial < 1000; ++nTrial) {
        const int nRows = 1 + static_cast<int>(random() % 5);
        const int nCols = 1 + static_cast<int>(random() % 5);
        const std::vector<std::string> picture = RandomPicture(random, nRows, nCols, 50);
        CPuzzle puzzle = nTrial % 2 == 0   ? MismatchedClues(random, nRows, nCols)
                         : nTrial % 4 == 1 ? PuzzleFromPicture(picture)
                                           : PuzzleFromPicture(Mirrored(picture));
        if (puzzle.RefuseUnsolvable())
            continue;
        const auto solutions = AllSolutions(puzzle);
        const CCompleteSolver::Result one = SolveFor(puzzle, 1, bLearning);
        const CCompleteSolver::Result counted = SolveFor(puzzle, 1000, bLearning);
        SCOPED_TRACE("trial " + std::to_string(nTrial));
        ASSERT_EQ(counted.nSolutions, solutions.size());
        const CCompleteSolver::Result unique = SolveFor(puzzle, 2, bLearning);
        if (!solutions.empty()) {
            EXPECT_EQ(one.outcome, Outcome::Solved);
            EXPECT_NE(std::find(solutions.begin(), solutions.end(), RowsOf(puzzle, one.first)), solutions.end());
        }
        if (solutions.empty()) {
            EXPECT_EQ(one.outcome, Outcome::NoSolution);
            EXPECT_EQ(unique.outcome, Outcome::NoSolution);
            ++nNone;
        } else if (solutions.size() == 1) {
            EXPECT_EQ(unique.outcome, Outcome::Unique);
            EXPECT_EQ(RowsOf(puzzle, unique.first), solutions[0]);
            CPuzzle lineLogic = puzzle;
            lineLogic.SetTrace(nullptr, nullptr);
            nBeyondLineLogic += lineLogic.Solve(nullptr, nullptr) != SOLVE_SOLVED;
        } else {
            EXPECT_EQ(unique.outcome, Outcome::Multiple);
            EXPECT_NE(unique.first, unique.second);
            for (const auto& cells : {unique.first, unique.second})
                EXPECT_NE(std::find(solutions.begin(), solutions.end(), RowsOf(puzzle, cells)), solutions.end());
            ++nMultiple;
        }
    }
    EXPECT_GT(nMultiple, 20);
    EXPECT_GT(nNone, 20);
    EXPECT_GT(nBeyondLineLogic, 0) << "some unique puzzles need more than line logic";
}

INSTANTIATE_TEST_SUITE_P(CompleteSolver, CompleteSolverSearch, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Learning" : "Backtracking"; });

TEST(CompleteSolver, ReportsTwoDifferentSolutionsOfAnAmbiguousPuzzle) {
    const CPuzzle puzzle = PuzzleFromPicture({"X-", "-X"});
    const CCompleteSolver::Result result = SolveFor(puzzle, 2);
    EXPECT_EQ(result.outcome, Outcome::Multiple);
    EXPECT_EQ(RowsOf(puzzle, result.first), (std::vector<std::string>{"X-", "-X"}));
    EXPECT_EQ(RowsOf(puzzle, result.second), (std::vector<std::string>{"-X", "X-"}));
    EXPECT_EQ(SolveFor(puzzle, 1).outcome, Outcome::Solved) << "one solution asked for, none proved unique";
}

TEST(CompleteSolver, StopsAtTheNodeLimitAndWhenAsked) {
    // 8 x 8 with every row and column "1": 8! solutions, many nodes to count them.
    std::vector<std::string> picture(8, std::string(8, '-'));
    for (int i = 0; i < 8; ++i)
        picture[static_cast<size_t>(i)][static_cast<size_t>(i)] = 'X';
    const CPuzzle puzzle = PuzzleFromPicture(picture);
    CCompleteSolver::Options options;
    options.nMaxSolutions = 100000;
    options.nMaxNodes = 50;
    const CCompleteSolver::Result limited = CCompleteSolver(puzzle).Solve(options);
    EXPECT_EQ(limited.outcome, Outcome::Stopped);
    EXPECT_LE(limited.nNodes, 51u);
    // The search that learns at once, after a first look for a solution the
    // puzzle's symmetries keep: conflicts count as nodes, both searches' in
    // one limit.
    for (const uint64_t nMaxNodes : {1u, 50u}) {
        options.nLearnAfterLines = 1;
        options.nMaxNodes = nMaxNodes;
        const CCompleteSolver::Result learning = CCompleteSolver(puzzle).Solve(options);
        EXPECT_EQ(learning.outcome, Outcome::Stopped);
        EXPECT_LE(learning.nNodes, nMaxNodes + 1);
        // One node ends the search before anything is found; fifty find some.
        EXPECT_EQ(learning.nSolutions > 0, nMaxNodes > 1);
    }
    options.nLearnAfterLines = CCompleteSolver::Options().nLearnAfterLines;

    std::atomic<bool> stop{true};
    options.nMaxNodes = 0;
    options.pStop = &stop;
    const CCompleteSolver::Result stopped = CCompleteSolver(puzzle).Solve(options);
    EXPECT_EQ(stopped.outcome, Outcome::Stopped);
    EXPECT_EQ(stopped.nSolutions, 0u);
}

// Restarting after every few nodes must neither lose solutions nor invent
// them: the same outcome as one long search, and a picture that reads the
// clues. Puzzles big enough to need a search, so that restarts happen.
TEST(CompleteSolver, RestartsKeepTheSearchComplete) {
    std::mt19937 random(31);
    uint64_t nRestarts = 0;
    for (int nTrial = 0; nTrial < 40; ++nTrial) {
        SCOPED_TRACE("trial " + std::to_string(nTrial));
        CPuzzle puzzle =
            nTrial % 2 ? PuzzleFromPicture(RandomPicture(random, 9, 9, 50)) : MismatchedClues(random, 9, 9);
        if (puzzle.RefuseUnsolvable())
            continue;
        CCompleteSolver::Options options;
        options.nRestartNodes = 0;
        const CCompleteSolver::Result once = CCompleteSolver(puzzle).Solve(options);
        options.nRestartNodes = 1;
        const CCompleteSolver::Result restarted = CCompleteSolver(puzzle).Solve(options);
        ASSERT_EQ(restarted.outcome, once.outcome);
        nRestarts += restarted.nRestarts;
        if (restarted.outcome == Outcome::Solved) {
            CPuzzle grid = puzzle;
            grid.SetCells(restarted.first);
            EXPECT_TRUE(grid.SatisfiesAllClues());
        }
    }
    EXPECT_GT(nRestarts, 10u);
}

// Starting from Solve's line logic (as puzzles with long lines do) or from
// no known cells must not change what the search finds: the same outcome,
// count and known cells, on square puzzles and on long thin ones.
TEST(CompleteSolver, BothStartsAgree) {
    std::mt19937 random(17);
    const std::pair<int, int> shapes[] = {{9, 9}, {12, 10}, {4, 160}, {170, 3}};
    int nCompared = 0;
    for (int nTrial = 0; nTrial < 80; ++nTrial) {
        const auto [nRows, nCols] = shapes[static_cast<size_t>(nTrial) % std::size(shapes)];
        SCOPED_TRACE("trial " + std::to_string(nTrial));
        CPuzzle puzzle = nTrial % 3 ? PuzzleFromPicture(RandomPicture(random, nRows, nCols, 55))
                                    : MismatchedClues(random, nRows, nCols);
        if (puzzle.RefuseUnsolvable())
            continue;
        CCompleteSolver::Options options;
        options.nMaxSolutions = 50;
        options.nLineLogicAboveCells = 0;
        const CCompleteSolver::Result fromLineLogic = CCompleteSolver(puzzle).Solve(options);
        options.nLineLogicAboveCells = 1000000;
        const CCompleteSolver::Result fromScratch = CCompleteSolver(puzzle).Solve(options);
        ASSERT_EQ(fromScratch.outcome, fromLineLogic.outcome);
        EXPECT_EQ(fromScratch.nSolutions, fromLineLogic.nSolutions);
        if (fromScratch.outcome != Outcome::NoSolution) {
            EXPECT_EQ(fromScratch.known, fromLineLogic.known);
        }
        if (fromScratch.nSolutions > 0) {
            CPuzzle grid = puzzle;
            grid.SetCells(fromScratch.first);
            EXPECT_TRUE(grid.SatisfiesAllClues());
        }
        ++nCompared;
    }
    EXPECT_GT(nCompared, 40);
}

// Clues without solution never leave a grid that looks like an answer:
// from either start, the line found contradictory (or every line a
// completed grid breaks) stays undecided, so some cell is always unknown.
TEST(CompleteSolver, ANoSolutionAnswerNeverShowsAFinishedGrid) {
    CPuzzle fiveByOne;
    fiveByOne.SetSize(5, 1);
    for (int16_t r = 0; r < 5; ++r)
        fiveByOne.AddRowClue(r, r % 2 ? 0 : 1);
    fiveByOne.AddColumnClue(0, 2);
    fiveByOne.AddColumnClue(0, 1);
    std::mt19937 random(41);
    std::vector<CPuzzle> puzzles = {fiveByOne};
    for (int nTrial = 0; nTrial < 600; ++nTrial)
        puzzles.push_back(MismatchedClues(random, 2 + nTrial % 6, 2 + nTrial % 5));
    int nNoSolution = 0;
    for (size_t i = 0; i < puzzles.size(); ++i) {
        if (puzzles[i].RefuseUnsolvable())
            continue;
        for (const int64_t nAbove : {int64_t{0}, int64_t{1000000}}) {
            CCompleteSolver::Options options;
            options.nLineLogicAboveCells = nAbove;
            const CCompleteSolver::Result result = CCompleteSolver(puzzles[i]).Solve(options);
            if (result.outcome != Outcome::NoSolution)
                continue;
            ++nNoSolution;
            ASSERT_NE(std::count(result.known.begin(), result.known.end(), CELL_UNKNOWN), 0)
                << "puzzle " << i << (nAbove ? " from scratch" : " from line logic");
        }
    }
    EXPECT_GT(nNoSolution, 100);
}

// Wherever the search that learns takes over from probing and
// backtracking, every solution is counted once: none found before is found
// again. A permutation grid (5,040 solutions, symmetric clues) and random
// pictures with more than one solution.
TEST(CompleteSolver, CountsEverySolutionOnceWhereverTheSearchThatLearnsTakesOver) {
    std::vector<CPuzzle> puzzles;
    std::vector<std::string> permutation(7, std::string(7, '-'));
    for (size_t i = 0; i < 7; ++i)
        permutation[i][i] = 'X';
    puzzles.push_back(PuzzleFromPicture(permutation));
    std::mt19937 random(23);
    while (puzzles.size() < 6) {
        CPuzzle puzzle = PuzzleFromPicture(RandomPicture(random, 14, 14, 50));
        if (SolveFor(puzzle, 3).nSolutions == 3)
            puzzles.push_back(puzzle);
    }
    for (size_t nPuzzle = 0; nPuzzle < puzzles.size(); ++nPuzzle) {
        CCompleteSolver::Options options;
        options.nMaxSolutions = 100000;
        options.nLearnAfterLines = 0; // never
        const uint64_t nSolutions = CCompleteSolver(puzzles[nPuzzle]).Solve(options).nSolutions;
        for (const uint64_t nLearnAfterLines : {1, 20, 200, 2000, 20000}) {
            SCOPED_TRACE("puzzle " + std::to_string(nPuzzle) + ", hand-over after " + std::to_string(nLearnAfterLines) +
                         " lines");
            options.nLearnAfterLines = nLearnAfterLines;
            const CCompleteSolver::Result result = CCompleteSolver(puzzles[nPuzzle]).Solve(options);
            EXPECT_EQ(result.outcome, Outcome::Multiple);
            EXPECT_EQ(result.nSolutions, nSolutions);
        }
    }
}

TEST(CompleteSolver, IsDeterministic) {
    std::mt19937 random(5);
    const CPuzzle puzzle = PuzzleFromPicture(RandomPicture(random, 12, 12, 45));
    const CCompleteSolver::Result first = SolveFor(puzzle, 2);
    const CCompleteSolver::Result again = SolveFor(puzzle, 2);
    EXPECT_EQ(first.first, again.first);
    EXPECT_EQ(first.second, again.second);
    EXPECT_EQ(first.nNodes, again.nNodes);
}

} // namespace
