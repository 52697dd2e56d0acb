// Several searches on one puzzle: whichever wins, the outcome and the number
// of solutions are those of the single search, every solution reads the
// clues, and a stop from outside ends them all.

#include "solver/Portfolio.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <thread>

namespace {

using Outcome = CCompleteSolver::Outcome;

bool ReadsTheClues(const CPuzzle& puzzle, const std::vector<CellState>& cells) {
    CPuzzle grid = puzzle;
    grid.SetCells(cells);
    return grid.SatisfiesAllClues();
}

void Collect(const std::vector<CellState>& cells, void* pContext) {
    static_cast<std::vector<std::vector<CellState>>*>(pContext)->push_back(cells);
}

TEST(Portfolio, AnswersAsTheSingleSearchDoesWhicheverSearchWins) {
    std::mt19937 random(2020);
    int nCompared = 0, nSeveral = 0;
    for (int nTrial = 0; nTrial < 120; ++nTrial) {
        const int nSide = 6 + nTrial % 10;
        CPuzzle puzzle = nTrial % 5 == 4 ? MismatchedClues(random, nSide, nSide)
                                         : PuzzleFromPicture(RandomPicture(random, nSide, nSide + 2, 45));
        if (puzzle.RefuseUnsolvable())
            continue;
        for (const uint64_t nMax : {uint64_t{1}, uint64_t{2}}) {
            SCOPED_TRACE("trial " + std::to_string(nTrial) + ", solutions up to " + std::to_string(nMax));
            CCompleteSolver::Options options;
            options.nMaxSolutions = nMax;
            // Small budgets, so that every search takes part in the race.
            options.nRestartNodes = 4;
            options.nLearnAfterLines = 200;
            const CCompleteSolver::Result single = CCompleteSolver(puzzle).Solve(options);
            for (const unsigned nThreads : {2u, 4u}) {
                options.nThreads = nThreads;
                std::vector<std::vector<CellState>> told;
                options.pfnSolution = Collect;
                options.pSolutionContext = &told;
                const CCompleteSolver::Result many = CPortfolioSolver(puzzle).Solve(options);
                options.pfnSolution = nullptr;
                ASSERT_EQ(many.outcome, single.outcome);
                ASSERT_EQ(many.nSolutions, single.nSolutions);
                ASSERT_EQ(told.size(), many.nSolutions) << "each solution of the winner told once";
                for (const std::vector<CellState>& cells : told)
                    EXPECT_TRUE(ReadsTheClues(puzzle, cells));
                if (many.nSolutions > 0) {
                    EXPECT_EQ(many.first, told.front());
                }
                nSeveral += CPortfolioSolver(puzzle).SetUps(options).size() > 1;
            }
            ++nCompared;
        }
    }
    EXPECT_GT(nCompared, 150);
    EXPECT_GT(nSeveral, 150) << "the searches raced, not one alone";
}

TEST(Portfolio, CountsPastTwoAndOneThreadKeepToTheSingleSearch) {
    std::mt19937 random(3);
    const CPuzzle puzzle = PuzzleFromPicture(RandomPicture(random, 8, 8, 50));
    CCompleteSolver::Options options;
    options.nThreads = 4;
    options.nMaxSolutions = 3;
    EXPECT_EQ(CPortfolioSolver(puzzle).SetUps(options).size(), 1u);
    options.nMaxSolutions = 1;
    EXPECT_EQ(CPortfolioSolver(puzzle).SetUps(options).size(), 4u);
    options.nThreads = 1;
    EXPECT_EQ(CPortfolioSolver(puzzle).SetUps(options).size(), 1u);
}

// Looking for one solution on two threads races the searches a count of two
// races, each stopped at the first solution it would find: for each search
// of the count, one of the two finds that same solution, in no more nodes.
TEST(Portfolio, TwoThreadsFindOneSolutionAsTheCountOfTwoFindsItsFirst) {
    std::mt19937 random(41);
    int nCompared = 0, nDiffering = 0;
    for (int nTrial = 0; nTrial < 30; ++nTrial) {
        const int nSide = 14 + nTrial % 8;
        CPuzzle puzzle = PuzzleFromPicture(RandomPicture(random, nSide, nSide, 40 + nTrial % 3 * 5));
        if (puzzle.RefuseUnsolvable())
            continue;
        SCOPED_TRACE("trial " + std::to_string(nTrial));
        CCompleteSolver::Options options;
        options.nThreads = 2;
        options.nRestartNodes = 4; // restarts come early
        CCompleteSolver::Options count = options;
        count.nMaxSolutions = 2;
        const std::vector<CCompleteSolver::Options> ones = CPortfolioSolver(puzzle).SetUps(options);
        const std::vector<CCompleteSolver::Options> counts = CPortfolioSolver(puzzle).SetUps(count);
        ASSERT_EQ(ones.size(), 2u);
        std::vector<CCompleteSolver::Result> found;
        for (CCompleteSolver::Options one : ones) {
            one.nThreads = 1;
            found.push_back(CCompleteSolver(puzzle).Solve(one));
        }
        std::vector<std::vector<CellState>> firsts;
        for (CCompleteSolver::Options each : counts) {
            each.nThreads = 1;
            const CCompleteSolver::Result counted = CCompleteSolver(puzzle).Solve(each);
            ASSERT_GT(counted.nSolutions, 0u);
            const bool bMirrored = std::any_of(found.begin(), found.end(), [&](const CCompleteSolver::Result& one) {
                return one.first == counted.first && one.nNodes <= counted.nNodes;
            });
            EXPECT_TRUE(bMirrored) << "no search for one solution finds the count's first as soon";
            firsts.push_back(counted.first);
            ++nCompared;
        }
        nDiffering += firsts.size() == 2 && firsts[0] != firsts[1];
    }
    EXPECT_GT(nCompared, 50);
    EXPECT_GT(nDiffering, 5) << "the count's searches find different solutions first";
}

// A stop from outside ends every search soon, wherever each one is: a hard
// random picture, stopped 50 ms into its solve.
TEST(Portfolio, TheCallersStopEndsEverySearch) {
    std::mt19937 random(8);
    const CPuzzle puzzle = PuzzleFromPicture(RandomPicture(random, 50, 50, 40));
    std::atomic<bool> bStop{false};
    CCompleteSolver::Options options;
    options.nThreads = 3;
    options.pStop = &bStop;
    ASSERT_GT(CPortfolioSolver(puzzle).SetUps(options).size(), 1u);
    CCompleteSolver::Result result;
    std::thread solving([&] { result = CPortfolioSolver(puzzle).Solve(options); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    bStop.store(true);
    const auto stopped = std::chrono::steady_clock::now();
    solving.join();
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::seconds(2)) << "a search ran on";
    if (result.outcome == Outcome::Solved) { // it may have been quicker than the stop
        EXPECT_TRUE(ReadsTheClues(puzzle, result.first));
    } else {
        EXPECT_EQ(result.outcome, Outcome::Stopped);
    }
}

} // namespace
