// Times the live check of design mode the way an author meets it: for each
// puzzle file, its solution is the picture; then, again and again, one
// random cell is toggled and the clues of the changed picture checked, timed
// from the edit (the clues made from the picture) to line logic's verdict
// and to the final one. Prints per file and a summary by size.
//
//   tabulon_design_check_bench [--edits N] [--seed S] FILE...

#include "doc/Design.h"
#include "doc/DesignCheck.h"
#include "model/PuzzleFile.h"
#include "solver/CompleteSolver.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Percentile(std::vector<double> values, double dShare) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(dShare * values.size()))];
}

struct Timings {
    std::vector<double> lineMs, finalMs;
    int nUnique = 0, nNotUnique = 0, nLines = 0, nStopped = 0;
};

void Print(const char* pszWhat, const Timings& t) {
    std::printf("%-28s %5zu edits  line logic: median %7.2f ms, 95%% %7.2f, max %7.2f | verdict: median %7.2f ms, "
                "95%% %7.2f, max %7.2f | line %d, unique %d, not unique %d, stopped %d\n",
                pszWhat, t.finalMs.size(), Percentile(t.lineMs, 0.5), Percentile(t.lineMs, 0.95),
                Percentile(t.lineMs, 1.0), Percentile(t.finalMs, 0.5), Percentile(t.finalMs, 0.95),
                Percentile(t.finalMs, 1.0), t.nLines, t.nUnique, t.nNotUnique, t.nStopped);
}

void Add(Timings& into, const Timings& from) {
    into.lineMs.insert(into.lineMs.end(), from.lineMs.begin(), from.lineMs.end());
    into.finalMs.insert(into.finalMs.end(), from.finalMs.begin(), from.finalMs.end());
    into.nUnique += from.nUnique;
    into.nNotUnique += from.nNotUnique;
    into.nLines += from.nLines;
    into.nStopped += from.nStopped;
}

// The check as the editor runs it, stopped after 10 s like its default limit
// (a thread that waits the limit out unless the check ends first).
Timings Replay(const CDesign& picture, int nEdits, std::mt19937& random) {
    Timings timings;
    for (int i = 0; i < nEdits; ++i) {
        CDesign edited = picture;
        const int r = static_cast<int>(random() % static_cast<unsigned>(edited.GetRows()));
        const int c = static_cast<int>(random() % static_cast<unsigned>(edited.GetCols()));
        edited.Set(r, c, !edited.IsFilled(r, c));
        std::atomic<bool> stop{false};
        const Clock::time_point start = Clock::now();
        double dLineMs = -1;
        DesignVerdict verdict;
        {
            std::jthread limit([&stop](std::stop_token ending) {
                std::mutex mutex;
                std::unique_lock<std::mutex> lock(mutex);
                std::condition_variable_any().wait_for(lock, ending, std::chrono::seconds(10), [] { return false; });
                stop = !ending.stop_requested();
            });
            verdict = CDesignCheck(edited.ToPuzzle()).Run(stop, [&](const DesignVerdict&) {
                dLineMs = MillisecondsSince(start);
            });
        }
        const double dFinalMs = MillisecondsSince(start);
        timings.lineMs.push_back(dLineMs < 0 ? dFinalMs : dLineMs);
        timings.finalMs.push_back(dFinalMs);
        timings.nLines += verdict.kind == DesignVerdict::Kind::LineLogic;
        timings.nUnique += verdict.kind == DesignVerdict::Kind::Unique;
        timings.nNotUnique += verdict.kind == DesignVerdict::Kind::NotUnique;
        timings.nStopped += verdict.kind == DesignVerdict::Kind::Stopped;
    }
    return timings;
}

} // namespace

int main(int argc, char** argv) {
    int nEdits = 20;
    unsigned nSeed = 1;
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // a line at a time: long runs show their progress
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--edits") && i + 1 < argc)
            nEdits = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--seed") && i + 1 < argc)
            nSeed = static_cast<unsigned>(std::atoi(argv[++i]));
        else
            files.emplace_back(argv[i]);
    }
    std::mt19937 random(nSeed);
    Timings small, medium, large;
    for (const std::string& strFile : files) {
        CPuzzleFile puzzle;
        puzzle.Load(strFile.c_str());
        if (!puzzle.GetLoadError().empty() || puzzle.RefuseUnsolvable())
            continue;
        // The picture: the puzzle's solution, found within 10 s.
        std::atomic<bool> stop{false};
        CCompleteSolver::Options options;
        options.nMaxNodes = 200000;
        options.pStop = &stop;
        const CCompleteSolver::Result result = CCompleteSolver(puzzle).Solve(options);
        if (result.nSolutions == 0)
            continue;
        const CDesign picture = CDesign::FromCells(puzzle.GetHeight(), puzzle.GetWidth(), result.first);
        const Timings timings = Replay(picture, nEdits, random);
        const int nSide = std::max(picture.GetRows(), picture.GetCols());
        Print((strFile.substr(strFile.find_last_of('/') + 1) + " " + std::to_string(picture.GetRows()) + "x" +
               std::to_string(picture.GetCols()))
                  .c_str(),
              timings);
        Add(nSide <= 35 ? small : nSide <= 100 ? medium : large, timings);
    }
    Print("ALL up to 35 a side", small);
    Print("ALL 36 to 100 a side", medium);
    Print("ALL over 100 a side", large);
    return 0;
}
