// The fast solving path (agreement by dynamic programming, lines skipped
// while unchanged) against the step-by-step search that re-examines every
// line: over thousands of seeded random puzzles, everything a user can
// observe must be the same.

#include "model/Puzzle.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <random>

namespace {

// The observable course of a solve: trace lines, every notification with the
// grid total at that moment, the whole grid at the end of each sweep, and
// the result.
struct Course {
    std::vector<std::string> events;
    int nResult = -1;
    bool operator==(const Course&) const = default;
};

void RecordNotification(CPuzzle* pPuzzle, int nRow, int nCol, void* pContext) {
    auto* pCourse = static_cast<Course*>(pContext);
    std::string event =
        std::to_string(nRow) + "," + std::to_string(nCol) + ":" + std::to_string(pPuzzle->GetGridTotal());
    if (nRow < 0 && nCol < 0)
        for (const std::string& row : GridRows(*pPuzzle))
            event += "|" + row;
    pCourse->events.push_back(event);
}

void RecordTrace(void* pContext, int nMode) {
    static_cast<Course*>(pContext)->events.push_back("trace " + std::to_string(nMode));
}

Course SolveRecorded(CPuzzle puzzle, bool bFaithful) {
    Course course;
    puzzle.SetFaithfulSearch(bFaithful);
    puzzle.SetTrace(RecordTrace, &course);
    course.nResult = puzzle.Solve(RecordNotification, &course);
    course.events.push_back("final " + testing::PrintToString(GridRows(puzzle)));
    return course;
}

TEST(FastPath, ObservesExactlyWhatTheStepByStepSearchObserves) {
    std::mt19937 random(2026);
    int nWithExhaustivePasses = 0;
    for (int nTrial = 0; nTrial < 2500; ++nTrial) {
        const int nRows = 2 + static_cast<int>(random() % 18);
        const int nCols = 2 + static_cast<int>(random() % 18);
        const CPuzzle puzzle = PuzzleFromPicture(RandomPicture(random, nRows, nCols, 30 + random() % 45));
        const Course faithful = SolveRecorded(puzzle, true);
        const Course fast = SolveRecorded(puzzle, false);
        ASSERT_EQ(fast.nResult, faithful.nResult) << "trial " << nTrial;
        ASSERT_EQ(fast.events, faithful.events) << "trial " << nTrial;
        nWithExhaustivePasses += std::count(faithful.events.begin(), faithful.events.end(), "trace 0") > 1;
    }
    EXPECT_GT(nWithExhaustivePasses, 500); // the exhaustive mode was exercised, not only the fast one
}

// Clues of two unrelated pictures: mostly puzzles without solution, where
// the paths must agree on the course up to the proof and on the result.
TEST(FastPath, ObservesTheSameOnContradictoryClues) {
    std::mt19937 random(77);
    for (int nTrial = 0; nTrial < 1500; ++nTrial) {
        const int nRows = 2 + static_cast<int>(random() % 10);
        const int nCols = 2 + static_cast<int>(random() % 10);
        const CPuzzle puzzle = MismatchedClues(random, nRows, nCols);
        const Course faithful = SolveRecorded(puzzle, true);
        const Course fast = SolveRecorded(puzzle, false);
        ASSERT_EQ(fast.nResult, faithful.nResult) << "trial " << nTrial;
        ASSERT_EQ(fast.events, faithful.events) << "trial " << nTrial;
    }
}

// Large puzzles, where reading the grid after each of their lines would
// take longer than the solves: every notification with the digest the solve
// keeps of the grid, the trace, the result and the final grid.
struct DigestCourse {
    std::vector<uint64_t> events;
    int nResult = -1;
    bool operator==(const DigestCourse&) const = default;
};

void RecordDigest(CPuzzle* pPuzzle, int nRow, int nCol, void* pContext) {
    auto& events = static_cast<DigestCourse*>(pContext)->events;
    events.push_back(static_cast<uint64_t>(static_cast<uint32_t>(nRow)) << 32 | static_cast<uint32_t>(nCol));
    events.push_back(pPuzzle->GetSolveDigest());
}

void RecordDigestTrace(void* pContext, int nMode) {
    static_cast<DigestCourse*>(pContext)->events.push_back(0xface0000ULL + static_cast<uint64_t>(nMode));
}

DigestCourse SolveWithDigests(CPuzzle puzzle, bool bFaithful) {
    DigestCourse course;
    puzzle.SetFaithfulSearch(bFaithful);
    puzzle.SetTrace(RecordDigestTrace, &course);
    course.nResult = puzzle.Solve(RecordDigest, &course);
    for (CellState state : puzzle.GetCells())
        course.events.push_back(static_cast<uint64_t>(state));
    return course;
}

struct LargeCase {
    const char* name;
    int nRows;
    int nCols;
    int nShapes;
    int nMinSide;
    int nMaxSide;
};

class LargeFastPathTest : public ::testing::TestWithParam<LargeCase> {};

CPuzzle PuzzleOf(const LargeCase& c) {
    std::mt19937 random(static_cast<uint32_t>(c.nRows * 7919 + c.nShapes));
    return PuzzleFromPicture(ShapesPicture(random, c.nRows, c.nCols, c.nShapes, c.nMinSide, c.nMaxSide));
}

// Blank lines by the hundred, long lines whose cells the fast mode's kept
// placements agree with, long lines the word form settles: the fast paths
// of large puzzles, step by step against the search that re-examines every
// line.
TEST_P(LargeFastPathTest, ObservesExactlyWhatTheStepByStepSearchObserves) {
    const CPuzzle puzzle = PuzzleOf(GetParam());
    const DigestCourse faithful = SolveWithDigests(puzzle, true);
    const DigestCourse fast = SolveWithDigests(puzzle, false);
    EXPECT_EQ(fast.nResult, faithful.nResult);
    ASSERT_EQ(fast.events.size(), faithful.events.size());
    const auto mismatch = std::mismatch(fast.events.begin(), fast.events.end(), faithful.events.begin());
    EXPECT_EQ(mismatch.first, fast.events.end())
        << "the courses part at event " << (mismatch.first - fast.events.begin()) << " of " << fast.events.size();
}

// A listener that wants a line's notification only now and then (the
// window's, while no input waits): the solve may then pass over clean lines
// without telling them, but what it tells must be what it would have told,
// and the course of the solve must not change.
struct GatedCourse {
    std::vector<std::pair<int64_t, uint64_t>> notes; // where, and the grid's digest then
    std::vector<int> trace;
    std::atomic<bool> gate{false};
    std::mt19937 random{5};
    bool bGated = false;
};

void RecordGated(CPuzzle* pPuzzle, int nRow, int nCol, void* pContext) {
    auto* pCourse = static_cast<GatedCourse*>(pContext);
    pCourse->notes.emplace_back(int64_t{nRow} << 32 | static_cast<uint32_t>(nCol), pPuzzle->GetSolveDigest());
    if (pCourse->bGated) // opened at some ends of sweeps, closed again after a few lines
        pCourse->gate = nRow < 0 && nCol < 0 ? pCourse->random() % 3 == 0 : pCourse->random() % 4 != 0;
}

void RecordGatedTrace(void* pContext, int nMode) { static_cast<GatedCourse*>(pContext)->trace.push_back(nMode); }

int SolveGated(CPuzzle& puzzle, GatedCourse& course) {
    puzzle.SetTrace(RecordGatedTrace, &course);
    if (course.bGated)
        puzzle.SetLineNoticeGate(&course.gate);
    return puzzle.Solve(RecordGated, &course);
}

TEST_P(LargeFastPathTest, TellsWhatItWouldHaveToldWhileTheListenerWantsLinesNowAndThen) {
    const CPuzzle puzzle = PuzzleOf(GetParam());
    CPuzzle every = puzzle, gated = puzzle;
    GatedCourse toldEvery, toldGated;
    toldGated.bGated = true;
    const int nEvery = SolveGated(every, toldEvery);
    EXPECT_EQ(SolveGated(gated, toldGated), nEvery);
    EXPECT_EQ(toldGated.trace, toldEvery.trace);
    EXPECT_EQ(gated.GetCells(), every.GetCells());

    // Every note told is one the ungated solve told, in the same order and
    // with the same grid; every end of a sweep or pass is told.
    auto isEnd = [](const auto& note) { return note.first >> 32 < 0 && static_cast<int32_t>(note.first) < 0; };
    size_t nAt = 0;
    for (const auto& note : toldGated.notes) {
        while (nAt < toldEvery.notes.size() && toldEvery.notes[nAt] != note)
            ASSERT_FALSE(isEnd(toldEvery.notes[nAt++])) << "an end the gated solve did not tell";
        ASSERT_LT(nAt, toldEvery.notes.size()) << "a note the ungated solve never told";
        ++nAt;
    }
    EXPECT_TRUE(std::none_of(toldEvery.notes.begin() + static_cast<ptrdiff_t>(nAt), toldEvery.notes.end(), isEnd));
    const auto nLinesTold = std::count_if(toldGated.notes.begin(), toldGated.notes.end(), std::not_fn(isEnd));
    EXPECT_GT(nLinesTold, 0);
    EXPECT_LT(toldGated.notes.size(), toldEvery.notes.size());
}

INSTANTIATE_TEST_SUITE_P(Puzzles, LargeFastPathTest,
                         ::testing::Values(LargeCase{"Blank", 300, 300, 0, 0, 0},
                                           LargeCase{"BlankAndNarrow", 520, 40, 0, 0, 0},
                                           LargeCase{"Sparse", 200, 200, 4, 3, 8},
                                           LargeCase{"SparseOnLongLines", 90, 600, 3, 3, 7},
                                           LargeCase{"PictureLike", 200, 200, 30, 10, 50},
                                           LargeCase{"PictureLikeLongLines", 60, 530, 12, 8, 40}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
