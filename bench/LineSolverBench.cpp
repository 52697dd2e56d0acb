// The line solver on representative lines: the fast mode on long lines with
// many runs, the exhaustive search on lines where the fast mode is stuck.

#include "model/Puzzle.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<int16_t> RunsOf(const std::string& line) {
    std::vector<int16_t> runs;
    int16_t nRun = 0;
    for (char ch : line) {
        if (ch == 'X') {
            ++nRun;
        } else if (nRun) {
            runs.push_back(nRun);
            nRun = 0;
        }
    }
    if (nRun)
        runs.push_back(nRun);
    if (runs.empty())
        runs.push_back(0);
    return runs;
}

// A one-row puzzle with the runs of `picture`, each cell revealed with the
// given chance (percent); the cells to restore before every call.
struct RowSetup {
    CPuzzle puzzle;
    std::vector<CellState> cells;
};

RowSetup MakeRow(const std::string& picture, unsigned nRevealPercent, std::mt19937& random) {
    RowSetup setup;
    const auto nWidth = static_cast<int16_t>(picture.size());
    setup.puzzle.SetSize(1, nWidth);
    for (int16_t value : RunsOf(picture))
        setup.puzzle.AddRowClue(0, value);
    for (int16_t c = 0; c < nWidth; ++c)
        setup.puzzle.AddColumnClue(c, 0);
    for (char ch : picture)
        setup.cells.push_back(random() % 100 < nRevealPercent ? (ch == 'X' ? CELL_FILLED : CELL_EMPTY) : CELL_UNKNOWN);
    return setup;
}

std::string RandomPicture(std::mt19937& random, size_t nLength, unsigned nDensity) {
    std::string picture;
    for (size_t i = 0; i < nLength; ++i)
        picture += random() % 100 < nDensity ? 'X' : '-';
    return picture;
}

void SolveRowRepeatedly(benchmark::State& state, RowSetup& setup, uint8_t bFullSweep, bool bFaithful = false) {
    setup.puzzle.SetFullSweep(bFullSweep);
    setup.puzzle.SetFaithfulSearch(bFaithful);
    for (auto _ : state) {
        state.PauseTiming();
        CPuzzle::PrepareRanges(const_cast<ClueList&>(setup.puzzle.GetRowClues(0)), setup.puzzle.GetWidth());
        for (size_t c = 0; c < setup.cells.size(); ++c)
            setup.puzzle.SetCell(0, static_cast<int>(c), setup.cells[c]);
        state.ResumeTiming();
        benchmark::DoNotOptimize(setup.puzzle.SolveRow(0));
    }
}

void BM_FastMode(benchmark::State& state) {
    std::mt19937 random(1);
    RowSetup setup = MakeRow(RandomPicture(random, static_cast<size_t>(state.range(0)), 55), 20, random);
    SolveRowRepeatedly(state, setup, 1);
}
BENCHMARK(BM_FastMode)->Arg(30)->Arg(100)->Arg(400)->Arg(2000);

// Sparse runs on a long line with a few cells known: many placements fit.
// The exhaustive mode settled by agreement (the default), and searched step
// by step.
void BM_ExhaustiveSparse(benchmark::State& state) {
    std::mt19937 random(2);
    RowSetup setup = MakeRow(RandomPicture(random, static_cast<size_t>(state.range(0)), 30), 10, random);
    SolveRowRepeatedly(state, setup, 0);
}
BENCHMARK(BM_ExhaustiveSparse)->Arg(20)->Arg(40)->Arg(60)->Arg(400);

void BM_ExhaustiveSparseSearch(benchmark::State& state) {
    std::mt19937 random(2);
    RowSetup setup = MakeRow(RandomPicture(random, static_cast<size_t>(state.range(0)), 30), 10, random);
    SolveRowRepeatedly(state, setup, 0, true);
}
BENCHMARK(BM_ExhaustiveSparseSearch)->Arg(20)->Arg(40)->Arg(60);

// Dense runs with many cells known: the pruning rules carry the search.
void BM_ExhaustiveDense(benchmark::State& state) {
    std::mt19937 random(3);
    RowSetup setup = MakeRow(RandomPicture(random, static_cast<size_t>(state.range(0)), 60), 40, random);
    SolveRowRepeatedly(state, setup, 0);
}
BENCHMARK(BM_ExhaustiveDense)->Arg(30)->Arg(100)->Arg(200)->Arg(400);

void BM_ExhaustiveDenseSearch(benchmark::State& state) {
    std::mt19937 random(3);
    RowSetup setup = MakeRow(RandomPicture(random, static_cast<size_t>(state.range(0)), 60), 40, random);
    SolveRowRepeatedly(state, setup, 0, true);
}
BENCHMARK(BM_ExhaustiveDenseSearch)->Arg(30)->Arg(100)->Arg(200);

} // namespace
