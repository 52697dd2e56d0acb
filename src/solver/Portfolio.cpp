#include "solver/Portfolio.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

using Options = CCompleteSolver::Options;
using Result = CCompleteSolver::Result;

// The search that learns needs every line in the word form.
bool AllLinesInWords(const CPuzzle& puzzle) {
    const std::vector<ClueList> lines = CCompleteSolver::LinesOf(puzzle);
    for (size_t n = 0; n < lines.size(); ++n) {
        const int32_t nLength = n < static_cast<size_t>(puzzle.GetHeight()) ? puzzle.GetWidth() : puzzle.GetHeight();
        if (!CLineAgreement::FitsInWords(lines[n], nLength))
            return false;
    }
    return true;
}

// One search of the portfolio and what it found. Its solutions are told at
// the end, from the result: a race counts two at most, and the result
// keeps the first two.
struct Entrant {
    Options options;
    Result result;
};

// The answer when every search was stopped: the one that found most, the
// first on ties.
size_t BestStopped(const std::vector<Entrant>& entrants) {
    size_t nBest = 0;
    for (size_t i = 1; i < entrants.size(); ++i)
        if (entrants[i].result.nSolutions > entrants[nBest].result.nSolutions)
            nBest = i;
    return nBest;
}

} // namespace

// Looking for one solution, the first two searches are the two a count of
// two would race, each stopping at the first solution it would find, so
// finding one never takes more search than finding two. The restarting
// search joins them from the third thread on.
std::vector<Options> CPortfolioSolver::SetUps(const Options& options) const {
    if (options.nThreads < 2 || options.nMaxSolutions > 2)
        return {options};
    Options plain = options; // one run without restarts, branching as a count does
    plain.nRestartNodes = 0;
    Options learning = options; // the search that learns, after the root's probing
    learning.nLearnAfterLines = 1;
    Options depthFirst = options; // backtracking alone, however long it takes
    depthFirst.nLearnAfterLines = 0;
    const bool bLearns = options.nLearnAfterLines > 0 && AllLinesInWords(m_puzzle);
    const bool bRestarts = options.nMaxSolutions == 1 && options.nRestartNodes > 0;
    std::vector<Options> setUps;
    if (bRestarts && bLearns)
        setUps = {plain, learning, options, depthFirst};
    else if (bRestarts)
        setUps = {options, plain};
    else if (bLearns)
        setUps = {options, learning, depthFirst};
    else
        setUps = {options};
    if (setUps.size() > options.nThreads)
        setUps.resize(options.nThreads);
    return setUps;
}

Result CPortfolioSolver::Solve(const Options& options) {
    const std::vector<Options> setUps = SetUps(options);
    if (setUps.size() == 1)
        return CCompleteSolver(m_puzzle).Solve(options);

    std::atomic<bool> bStop{false};
    std::atomic<int> nWinner{-1};
    std::vector<Entrant> entrants(setUps.size());
    std::mutex mutex;
    std::condition_variable ended;
    size_t nEnded = 0;
    {
        std::vector<std::jthread> threads;
        for (size_t i = 0; i < entrants.size(); ++i) {
            Entrant& entrant = entrants[i];
            entrant.options = setUps[i];
            entrant.options.nThreads = 1;
            entrant.options.pStop = &bStop;
            entrant.options.pfnSolution = nullptr;
            if (i > 0)
                entrant.options.pfnProgress = nullptr; // the first search's cells are shown
            threads.emplace_back([&, i] {
                Entrant& self = entrants[i];
                self.result = CCompleteSolver(m_puzzle).Solve(self.options);
                int nNone = -1;
                if (self.result.outcome != CCompleteSolver::Outcome::Stopped &&
                    nWinner.compare_exchange_strong(nNone, static_cast<int>(i)))
                    bStop.store(true); // an exact answer: the others may stop
                const std::lock_guard<std::mutex> lock(mutex);
                ++nEnded;
                ended.notify_one();
            });
        }
        // The caller's stop reaches the searches through the shared flag.
        std::unique_lock<std::mutex> lock(mutex);
        while (!ended.wait_for(lock, std::chrono::milliseconds(5), [&] { return nEnded == entrants.size(); }))
            if (options.pStop && options.pStop->load(std::memory_order_relaxed))
                bStop.store(true);
    }
    const int nFirst = nWinner.load();
    Entrant& winner = entrants[nFirst >= 0 ? static_cast<size_t>(nFirst) : BestStopped(entrants)];
    if (options.pfnSolution) {
        if (winner.result.nSolutions > 0)
            options.pfnSolution(winner.result.first, options.pSolutionContext);
        if (winner.result.nSolutions > 1)
            options.pfnSolution(winner.result.second, options.pSolutionContext);
    }
    return std::move(winner.result);
}
