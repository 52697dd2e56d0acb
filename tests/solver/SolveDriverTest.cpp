#include "model/PuzzleFile.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <utility>
#include <vector>

namespace {

// Everything a solve tells the outside, in order: trace lines as ("trace", mode)
// and notifications as (row, column).
struct Recorder {
    std::vector<std::pair<int, int>> notes;
    std::string trace;
};

constexpr int kTrace = 1000; // marks a trace line among the notifications

void Record(CPuzzle*, int nRow, int nCol, void* pContext) {
    static_cast<Recorder*>(pContext)->notes.emplace_back(nRow, nCol);
}

void RecordTrace(void* pContext, int nMode) {
    auto* pRecorder = static_cast<Recorder*>(pContext);
    pRecorder->trace += std::to_string(nMode) + "\n";
    pRecorder->notes.emplace_back(kTrace, nMode);
}

int SolveRecorded(CPuzzle& puzzle, Recorder& recorder) {
    puzzle.SetTrace(RecordTrace, &recorder);
    return puzzle.Solve(Record, &recorder);
}

// The notifications of a full pass over nRows x nCols.
std::vector<std::pair<int, int>> FullPass(int nRows, int nCols) {
    std::vector<std::pair<int, int>> notes;
    for (int r = 1; r <= nRows; ++r)
        notes.emplace_back(r, -1);
    notes.emplace_back(-2, -2);
    for (int c = 1; c <= nCols; ++c)
        notes.emplace_back(-1, c);
    notes.emplace_back(-1, -1);
    return notes;
}

TEST(SolveDriver, SolvesTheExampleWithFastPassesOnly) {
    CPuzzle puzzle = PuzzleFromPicture({"XX-X", "-XXX", "X---"});
    Recorder recorder;
    EXPECT_EQ(SolveRecorded(puzzle, recorder), SOLVE_SOLVED);
    EXPECT_EQ(GridRows(puzzle), (std::vector<std::string>{"XX-X", "-XXX", "X---"}));
    EXPECT_EQ(puzzle.GetGridTotal(), 19);
    // every pass is a full sweep with 3 + 4 + 2 notifications ending in (-1, -1)
    ASSERT_FALSE(recorder.trace.empty());
    EXPECT_EQ(recorder.trace.find('0'), std::string::npos);
    std::vector<std::pair<int, int>> expected;
    for (char mode : recorder.trace) {
        if (mode == '\n')
            continue;
        expected.emplace_back(kTrace, 1);
        for (const auto& note : FullPass(3, 4))
            expected.push_back(note);
    }
    EXPECT_EQ(recorder.notes, expected);
}

TEST(SolveDriver, SolvesASingleCell) {
    CPuzzle puzzle = PuzzleFromPicture({"X"});
    Recorder recorder;
    EXPECT_EQ(SolveRecorded(puzzle, recorder), SOLVE_SOLVED);
    EXPECT_EQ(puzzle.GetCell(0, 0), CELL_FILLED);
    EXPECT_EQ(recorder.trace, "1\n");
}

TEST(SolveDriver, SolvesASingleEmptyCell) {
    CPuzzle puzzle = PuzzleFromPicture({"-"});
    Recorder recorder;
    EXPECT_EQ(SolveRecorded(puzzle, recorder), SOLVE_SOLVED);
    EXPECT_EQ(puzzle.GetCell(0, 0), CELL_EMPTY);
}

TEST(SolveDriver, RefusesUnequalTotalsWithoutCallingBack) {
    CPuzzle puzzle;
    puzzle.SetSize(2, 4);
    puzzle.AddRowClue(0, 4);
    puzzle.AddRowClue(1, 3); // 7
    for (int16_t c = 0; c < 4; ++c)
        puzzle.AddColumnClue(c, 2); // 8
    Recorder recorder;
    EXPECT_EQ(SolveRecorded(puzzle, recorder), SOLVE_REFUSED);
    EXPECT_TRUE(recorder.notes.empty());
    EXPECT_EQ(puzzle.GetGridTotal(), 0);
    EXPECT_EQ(puzzle.GetSolveNote(), "the row clues fill 7 cells but the column clues fill 8");
}

TEST(SolveDriver, RefusesAnEmptyPuzzle) {
    CPuzzle puzzle;
    Recorder recorder;
    EXPECT_EQ(SolveRecorded(puzzle, recorder), SOLVE_REFUSED);
    EXPECT_TRUE(recorder.notes.empty());
    EXPECT_EQ(puzzle.GetSolveNote(), "the puzzle has 0 rows and 0 columns");
}

TEST(SolveDriver, RefusesRunsThatNeedMoreCellsThanTheirLine) {
    CPuzzle puzzle;
    puzzle.SetSize(1, 6);
    puzzle.AddRowClue(0, 3);
    puzzle.AddRowClue(0, 3);
    for (int16_t c = 0; c < 6; ++c)
        puzzle.AddColumnClue(c, 1); // the totals agree
    Recorder recorder;
    EXPECT_EQ(SolveRecorded(puzzle, recorder), SOLVE_REFUSED);
    EXPECT_TRUE(recorder.notes.empty());
    EXPECT_EQ(puzzle.GetSolveNote(), "row 1: its runs need 7 cells but it has 6");
}

TEST(SolveDriver, StopsIncompleteWhenNoCellCanBeDecided) {
    CPuzzle puzzle = PuzzleFromPicture({"X-", "-X"}); // also solved by the mirror image
    Recorder recorder;
    EXPECT_EQ(SolveRecorded(puzzle, recorder), SOLVE_INCOMPLETE);
    EXPECT_EQ(GridRows(puzzle), (std::vector<std::string>{"..", ".."}));
    EXPECT_EQ(recorder.trace, "1\n0\n");
    // the full pass that changed nothing is followed by a first-change pass
    // that changes nothing either; both end with (-1, -1)
    std::vector<std::pair<int, int>> expected{{kTrace, 1}};
    for (const auto& note : FullPass(2, 2))
        expected.push_back(note);
    expected.emplace_back(kTrace, 0);
    for (const auto& note : FullPass(2, 2))
        expected.push_back(note);
    EXPECT_EQ(recorder.notes, expected);
}

TEST(SolveDriver, AFirstChangePassStopsAtTheFirstLineItImproves) {
    // A picture whose solve runs a first-change pass in which row 2 (counted
    // from 0) is the first line to change.
    CPuzzle puzzle = PuzzleFromPicture({"-X---X", "-XX-X-", "X-XX--", "--XX-X", "-X--X-"});
    Recorder recorder;
    SolveRecorded(puzzle, recorder);
    const std::vector<std::pair<int, int>> stopped = {{kTrace, 0}, {1, -1}, {2, -1},    {3, -1},
                                                      {-2, -2},    {-1, 1}, {kTrace, 1}};
    auto found = std::search(recorder.notes.begin(), recorder.notes.end(), stopped.begin(), stopped.end());
    EXPECT_NE(found, recorder.notes.end());
}

// Stops the solve it watches at the nth notification.
struct StopAt {
    std::atomic<bool> stop{false};
    int nAt;
    std::vector<std::pair<int, int>> notes;
    int64_t nTotalAtStop = -1;
};

void CountAndStop(CPuzzle* pPuzzle, int nRow, int nCol, void* pContext) {
    auto* pStop = static_cast<StopAt*>(pContext);
    pStop->notes.emplace_back(nRow, nCol);
    if (static_cast<int>(pStop->notes.size()) == pStop->nAt) {
        pStop->stop = true;
        pStop->nTotalAtStop = pPuzzle->GetGridTotal();
    }
}

TEST(SolveDriver, AStopRequestEndsTheSolveAfterTheLineBeingExamined) {
    const std::vector<std::string> picture = {"-X---X", "-XX-X-", "X-XX--", "--XX-X", "-X--X-"};
    CPuzzle full = PuzzleFromPicture(picture);
    StopAt unstopped;
    unstopped.nAt = -1;
    full.SetTrace(nullptr, nullptr);
    full.Solve(CountAndStop, &unstopped);
    for (int nAt : {1, 7, 13, 20}) {
        CPuzzle puzzle = PuzzleFromPicture(picture);
        puzzle.SetTrace(nullptr, nullptr);
        StopAt stop;
        stop.nAt = nAt;
        puzzle.SetStopFlag(&stop.stop);
        EXPECT_EQ(puzzle.Solve(CountAndStop, &stop), SOLVE_STOPPED) << nAt;
        // the same notifications as an unstopped solve, up to the stop and no further
        ASSERT_EQ(stop.notes.size(), static_cast<size_t>(nAt));
        EXPECT_TRUE(std::equal(stop.notes.begin(), stop.notes.end(), unstopped.notes.begin()));
        EXPECT_EQ(puzzle.GetGridTotal(), stop.nTotalAtStop) << "the cells decided so far stay";
    }
}

TEST(SolveDriver, ReportsContradictoryCluesAsHavingNoSolution) {
    // rows "2" and "0", columns "0" and "2": the totals agree, yet no grid fits
    CPuzzle puzzle;
    puzzle.SetSize(2, 2);
    puzzle.AddRowClue(0, 2);
    puzzle.AddRowClue(1, 0);
    puzzle.AddColumnClue(0, 0);
    puzzle.AddColumnClue(1, 2);
    Recorder recorder;
    EXPECT_EQ(SolveRecorded(puzzle, recorder), SOLVE_NO_SOLUTION);
    EXPECT_NE(puzzle.GetSolveNote().find("the clues contradict each other"), std::string::npos);
}

TEST(SolveDriver, SolvingTwiceGivesTheSameGridResultAndTrace) {
    CPuzzle puzzle = PuzzleFromPicture({"-X---X", "-XX-X-", "X-XX--", "--XX-X", "-X--X-"});
    Recorder first, second;
    const int nFirst = SolveRecorded(puzzle, first);
    const std::vector<std::string> grid = GridRows(puzzle);
    EXPECT_EQ(SolveRecorded(puzzle, second), nFirst);
    EXPECT_EQ(GridRows(puzzle), grid);
    EXPECT_EQ(second.notes, first.notes);
}

TEST(SolveDriver, RunsTheSameWithoutAProgressFunction) {
    CPuzzle withCallback = PuzzleFromPicture({"-X---X", "-XX-X-", "X-XX--", "--XX-X", "-X--X-"});
    CPuzzle without = withCallback;
    Recorder recorder;
    const int nResult = SolveRecorded(withCallback, recorder);
    Recorder traceOnly;
    without.SetTrace(RecordTrace, &traceOnly);
    EXPECT_EQ(without.Solve(nullptr, nullptr), nResult);
    EXPECT_EQ(traceOnly.trace, recorder.trace);
    EXPECT_EQ(GridRows(without), GridRows(withCallback));
}

TEST(SolveDriver, ANullTraceFunctionSilencesTheTrace) {
    CPuzzle puzzle = PuzzleFromPicture({"XX-X", "-XXX", "X---"});
    puzzle.SetTrace(nullptr, nullptr);
    testing::internal::CaptureStdout();
    EXPECT_EQ(puzzle.Solve(nullptr, nullptr), SOLVE_SOLVED);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(SolveDriver, TracesToStandardOutputByDefault) {
    CPuzzle puzzle = PuzzleFromPicture({"X-", "-X"});
    testing::internal::CaptureStdout();
    puzzle.Solve(nullptr, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "1\n0\n");
}

TEST(SolveDriver, SolvesTheSampleFileFromDisk) {
    CPuzzleFile puzzle;
    puzzle.Load(TABULON_TEST_DATA "/example-3x4.tb");
    ASSERT_EQ(puzzle.GetLoadError(), "");
    puzzle.SetTrace(nullptr, nullptr);
    EXPECT_EQ(puzzle.Solve(nullptr, nullptr), SOLVE_SOLVED);
    EXPECT_EQ(GridRows(puzzle), (std::vector<std::string>{"XX-X", "-XXX", "X---"}));
}

} // namespace
