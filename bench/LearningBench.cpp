// Runs the search that learns alone, from line logic's fixed point, on each
// clue file, for tuning it: prints the outcome, the conflicts and the time.
// Each file gets --seconds (default 10) before it is stopped, or
// --conflicts N (0: no limit), which does not depend on the machine's load;
// the time printed is the processor time the search took. The other
// options set CLearningSearch::Tuning: --restart the restart unit in
// conflicts, --learnts the learnt clauses kept before the first clean-up,
// --target 0 branches on the value a cell last had instead of the target's,
// --minimize 0 keeps learnt clauses whole, --lookahead 0 branches on the
// most active cell without trying cells both ways first, --probes N tries
// N cells.
//
//   tabulon_learning_bench [--seconds S] [--conflicts N] [--restart N] [--learnts N] [--target 0|1]
//                          [--minimize 0|1] [--lookahead 0|1] [--probes N] FILE...

#include "model/PuzzleFile.h"
#include "solver/CompleteSolver.h"
#include "solver/LearningSearch.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <thread>
#include <vector>

namespace {

const char* OutcomeName(CLearningSearch::Outcome outcome) {
    switch (outcome) {
    case CLearningSearch::Outcome::Solution:
        return "solution";
    case CLearningSearch::Outcome::NoSolution:
        return "none";
    case CLearningSearch::Outcome::Stopped:
        break;
    }
    return "stopped";
}

// Sets the stop flag after the given time, unless the solve ends first.
class Alarm {
  public:
    Alarm(std::atomic<bool>& bStop, double dSeconds)
        : m_thread([this, &bStop, dSeconds] {
              std::unique_lock<std::mutex> lock(m_mutex);
              if (!m_ended.wait_for(lock, std::chrono::duration<double>(dSeconds), [this] { return m_bDone; }))
                  bStop.store(true);
          }) {
    }
    ~Alarm() {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_bDone = true;
        }
        m_ended.notify_one();
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_bDone = false;
    std::jthread m_thread;
};

} // namespace

int main(int argc, char** argv) {
    double dSeconds = 10;
    uint64_t nMaxConflicts = 0;
    int nFirst = 1;
    CLearningSearch::Tuning tuning;
    while (nFirst + 1 < argc && std::strncmp(argv[nFirst], "--", 2) == 0) {
        const char* pszName = argv[nFirst] + 2;
        const double dValue = std::atof(argv[nFirst + 1]);
        if (std::strcmp(pszName, "seconds") == 0)
            dSeconds = dValue;
        else if (std::strcmp(pszName, "conflicts") == 0)
            nMaxConflicts = static_cast<uint64_t>(dValue);
        else if (std::strcmp(pszName, "restart") == 0)
            tuning.nRestartConflicts = static_cast<uint64_t>(dValue);
        else if (std::strcmp(pszName, "learnts") == 0)
            tuning.nFirstMaxLearnts = static_cast<size_t>(dValue);
        else if (std::strcmp(pszName, "minimize") == 0)
            tuning.bMinimize = dValue != 0;
        else if (std::strcmp(pszName, "lookahead") == 0)
            tuning.bLookahead = dValue != 0;
        else if (std::strcmp(pszName, "probes") == 0)
            tuning.nLookaheadCells = static_cast<size_t>(dValue);
        else if (std::strcmp(pszName, "target") == 0)
            tuning.bTargetPhases = dValue != 0;
        else {
            std::fprintf(stderr, "unknown option --%s\n", pszName);
            return 64;
        }
        nFirst += 2;
    }
    for (int i = nFirst; i < argc; ++i) {
        CPuzzleFile puzzle;
        puzzle.Load(argv[i]);
        if (!puzzle.GetLoadError().empty()) {
            std::fprintf(stderr, "%s\n", puzzle.GetLoadError().c_str());
            continue;
        }
        const std::clock_t start = std::clock();
        CLearningSearch search(CCompleteSolver::LinesOf(puzzle), puzzle.GetHeight(), puzzle.GetWidth(), tuning);
        std::vector<CellState> cells(static_cast<size_t>(puzzle.GetHeight()) * static_cast<size_t>(puzzle.GetWidth()),
                                     CELL_UNKNOWN);
        CLearningSearch::Outcome outcome = CLearningSearch::Outcome::NoSolution;
        std::atomic<bool> bStop{false};
        if (search.Fix(cells)) {
            const Alarm alarm(bStop, dSeconds);
            CLearningSearch::Limits limits;
            limits.pStop = &bStop;
            limits.nMaxConflicts = nMaxConflicts;
            outcome = search.Next(cells, limits);
        }
        if (outcome == CLearningSearch::Outcome::Solution) {
            puzzle.SetCells(cells);
            if (!puzzle.SatisfiesAllClues()) {
                std::fprintf(stderr, "%s: the solution breaks a clue\n", argv[i]);
                return 1;
            }
        }
        const double dMs = 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        std::printf("%s\t%s\t%llu\t%.1f\n", argv[i], OutcomeName(outcome),
                    static_cast<unsigned long long>(search.Conflicts()), dMs);
        std::fflush(stdout);
    }
    return 0;
}
