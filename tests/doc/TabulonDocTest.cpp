#include "doc/TabulonDoc.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

// A clock that moves on by a fixed step at every reading.
struct FakeClock : ITickSource {
    uint32_t dwNow = 5000;
    uint32_t dwStep = 0;
    uint32_t GetTickCount() override {
        const uint32_t dwRead = dwNow;
        dwNow += dwStep;
        return dwRead;
    }
};

struct FakeView : IDocView {
    std::vector<int> hints;
    void OnUpdate(int nHint) override { hints.push_back(nHint); }
};

struct Message {
    MessageKind kind;
    std::string strText, strCaption;
};

struct FakePlatform : IMessageSink, IEventWait, ITitleSink {
    std::vector<Message> messages;
    std::vector<std::string> titles;
    int nWaits = 0;
    void ShowMessage(MessageKind kind, const std::string& strText, const std::string& strCaption) override {
        messages.push_back({kind, strText, strCaption});
    }
    void AfterProgressUpdate() override { ++nWaits; }
    void OnTitleChanged(const std::string& strTitle) override { titles.push_back(strTitle); }
};

struct FakePicture : IPicture {
    bool GetPixels(int& nWidth, int& nHeight, std::vector<uint8_t>& pixels, std::string&) const override {
        nWidth = 1;
        nHeight = 1;
        pixels = {0x10, 0x20, 0x30};
        return true;
    }
};

// A 20 x 20 picture that line logic solves in several passes.
std::vector<std::string> SeveralPasses() {
    std::vector<std::string> picture;
    for (int r = 0; r < 20; ++r) {
        std::string row;
        for (int c = 0; c < 20; ++c)
            row += ((r * 7 + c * 3) % 5 < 2 || r == c) ? 'X' : '-';
        picture.push_back(row);
    }
    return picture;
}

std::string ReadAll(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

class TabulonDocTest : public ::testing::Test {
  protected:
    TabulonDocTest() {
        m_doc.SetPorts(DocPorts{&m_clock, &m_platform, &m_platform, &m_platform});
        m_doc.AddView(&m_view);
    }
    std::string Write(const std::string& strName, const std::string& strContent) {
        return m_dir.Write(strName, strContent);
    }
    std::string Example() { return Write("cat.tb", "3 4\n2 1\n3\n1\n\n1 1\n2\n1\n2\n"); }

    TempDir m_dir;
    FakeClock m_clock;
    FakePlatform m_platform;
    FakeView m_view;
    CTabulonDoc m_doc;
};

TEST_F(TabulonDocTest, StartsWithTheDefaultSettingsAndNoPuzzle) {
    EXPECT_EQ(m_doc.GetCellX(), 8);
    EXPECT_EQ(m_doc.GetCellY(), 8);
    EXPECT_EQ(m_doc.GetUpTime(), 1000);
    EXPECT_EQ(m_doc.GetPuzzle(), nullptr);
    EXPECT_EQ(m_doc.GetPicture(), nullptr);
}

struct ThrottleCase {
    const char* name;
    int nUpTime;
    uint32_t dwLast;
    uint32_t dwNow;
    bool bDue;
};

class ThrottleTest : public ::testing::TestWithParam<ThrottleCase> {};

TEST_P(ThrottleTest, LetsOneUpdateThroughPerInterval) {
    const ThrottleCase& c = GetParam();
    FakeClock clock;
    CTabulonDoc doc;
    doc.SetPorts(DocPorts{&clock, nullptr, nullptr, nullptr});
    clock.dwNow = c.dwLast;
    doc.OnSolve(); // no puzzle: sets the last update time to the clock
    clock.dwNow = c.dwNow;
    EXPECT_EQ(doc.IsUpdateDue(static_cast<uint32_t>(c.nUpTime)), c.bDue);
    // a due update restarts the interval from now
    if (c.bDue) {
        EXPECT_FALSE(doc.IsUpdateDue(static_cast<uint32_t>(c.nUpTime)));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ThrottleTest,
                         ::testing::Values(ThrottleCase{"WithinTheInterval", 1000, 100, 1100, false},
                                           ThrottleCase{"PastTheInterval", 1000, 100, 1101, true},
                                           ThrottleCase{"ZeroIntervalSameTick", 0, 100, 100, false},
                                           ThrottleCase{"ZeroIntervalNextTick", 0, 100, 101, true},
                                           ThrottleCase{"NegativeIntervalIsHuge", -1, 0, 0xFFFFFFF0u, false},
                                           ThrottleCase{"WrapAroundPastTheInterval", 100, 0xFFFFFF00u, 0x10, true},
                                           ThrottleCase{"WrapAroundWithinTheInterval", 1000, 0xFFFFFF00u, 0x10, false}),
                         [](const ::testing::TestParamInfo<ThrottleCase>& info) { return info.param.name; });

TEST_F(TabulonDocTest, OpenLoadsThePuzzleSendsHintOneAndTitlesWithTheFileName) {
    const std::string strPath = Example();
    ASSERT_TRUE(m_doc.FileOpen(strPath));
    ASSERT_NE(m_doc.GetPuzzle(), nullptr);
    EXPECT_EQ(m_doc.GetPuzzle()->GetHeight(), 3);
    EXPECT_EQ(m_doc.GetPathName(), strPath);
    EXPECT_EQ(m_view.hints, std::vector<int>{1});
    EXPECT_EQ(m_doc.GetTitle(), "cat.tb");
    EXPECT_TRUE(m_platform.messages.empty());
}

TEST_F(TabulonDocTest, AFileThatCannotBeOpenedChangesNothing) {
    std::filesystem::create_directory(m_dir.Path() / "folder.tb");
    for (const auto& [name, reason] :
         {std::pair{"missing.tb", "No such file or directory"}, std::pair{"folder.tb", "Is a directory"}}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(m_doc.FileOpen(Example()));
        CPuzzleFile* pFirst = m_doc.GetPuzzle();
        m_view.hints.clear();
        m_platform.messages.clear();
        EXPECT_FALSE(m_doc.FileOpen((m_dir.Path() / name).string()));
        EXPECT_EQ(m_doc.GetPuzzle(), pFirst);
        EXPECT_EQ(m_doc.GetTitle(), "cat.tb");
        EXPECT_TRUE(m_view.hints.empty());
        ASSERT_EQ(m_platform.messages.size(), 1u);
        EXPECT_EQ(m_platform.messages[0].kind, MessageKind::Error);
        EXPECT_NE(m_platform.messages[0].strText.find(std::string(name) + ": " + reason), std::string::npos);
    }
}

TEST_F(TabulonDocTest, AMalformedFileOpensAsAnEmptyPuzzleAndSaysWhy) {
    const std::string strPath = Write("bad.tb", "2 2\nx3\n");
    EXPECT_TRUE(m_doc.FileOpen(strPath));
    ASSERT_NE(m_doc.GetPuzzle(), nullptr);
    EXPECT_EQ(m_doc.GetPuzzle()->GetHeight(), 0);
    ASSERT_EQ(m_platform.messages.size(), 1u);
    EXPECT_EQ(m_platform.messages[0].strText, strPath + ": line 2: expected run lengths, found 'x3'");
}

// A view that reports a picture it cannot draw does so on hint 1, with a
// message box the user may leave up: the caption already names the new file.
struct TitleAtRebuild : IDocView {
    const CTabulonDoc* pDoc = nullptr;
    std::string strTitle;
    void OnUpdate(int nHint) override {
        if (nHint == 1)
            strTitle = pDoc->GetTitle();
    }
};

TEST_F(TabulonDocTest, TheCaptionNamesTheNewFileBeforeItsPictureIsDrawn) {
    ASSERT_TRUE(m_doc.FileOpen(Example()));
    TitleAtRebuild view;
    view.pDoc = &m_doc;
    m_doc.AddView(&view);
    m_platform.titles.clear();
    ASSERT_TRUE(m_doc.FileOpen(Write("second.tb", "1 1\n1\n\n1\n")));
    m_doc.RemoveView(&view);
    EXPECT_EQ(view.strTitle, "second.tb");
    EXPECT_EQ(m_platform.titles, std::vector<std::string>{"second.tb"}) << "titled once";
}

TEST_F(TabulonDocTest, OpeningASecondFileReplacesThePuzzleAndKeepsTheSettings) {
    m_doc.SetCellX(12);
    m_doc.SetUpTime(0);
    ASSERT_TRUE(m_doc.FileOpen(Example()));
    m_view.hints.clear();
    ASSERT_TRUE(m_doc.FileOpen(Write("dot.tb", "1 1\n1\n\n1\n")));
    EXPECT_EQ(m_doc.GetPuzzle()->GetHeight(), 1);
    EXPECT_EQ(m_view.hints, std::vector<int>{1});
    EXPECT_EQ(m_doc.GetCellX(), 12);
    EXPECT_EQ(m_doc.GetUpTime(), 0);
}

TEST_F(TabulonDocTest, NewEmptiesTheDocumentButKeepsThePicturePointer) {
    FakePicture picture;
    m_doc.SetPicture(&picture);
    ASSERT_TRUE(m_doc.FileOpen(Example()));
    m_view.hints.clear();
    EXPECT_TRUE(m_doc.FileNew());
    EXPECT_EQ(m_doc.GetPuzzle(), nullptr);
    EXPECT_EQ(m_doc.GetPathName(), "");
    EXPECT_EQ(m_doc.GetTitle(), "Untitled");
    EXPECT_EQ(m_view.hints, std::vector<int>{0});
    EXPECT_EQ(m_doc.GetPicture(), &picture);
}

TEST_F(TabulonDocTest, SolveSendsHintThreeThenTwoAndTitlesTheOutcome) {
    const std::string strPath = Example();
    ASSERT_TRUE(m_doc.FileOpen(strPath));
    m_view.hints.clear();
    m_clock.dwStep = 7; // every reading moves the clock on: start, one end of pass, end
    m_doc.GetPuzzle()->SetTrace(nullptr, nullptr);
    m_doc.OnSolve();
    EXPECT_EQ(m_view.hints, (std::vector<int>{3, 2})); // under a second: no progress update
    EXPECT_EQ(m_doc.GetSolveResult(), SOLVE_SOLVED);
    EXPECT_EQ(m_doc.GetTitle(), strPath + " Solved. 14 ms - VO5");
    EXPECT_EQ(m_doc.GetSolveStatus(), "Solved.");
    EXPECT_EQ(m_platform.titles.back(), m_doc.GetTitle());
}

struct OutcomeCase {
    const char* name;
    const char* content; // empty: no puzzle at all
    const char* titleWord;
    const char* status;
};

class SolveOutcomeTest : public TabulonDocTest, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(SolveOutcomeTest, TheFinalTitleSaysHowTheSolveEnded) {
    const OutcomeCase& c = GetParam();
    std::string strPath;
    if (*c.content) {
        strPath = Write("p%s.tb", c.content); // a "%" in the path is only text
        ASSERT_TRUE(m_doc.FileOpen(strPath));
        m_doc.GetPuzzle()->SetTrace(nullptr, nullptr);
    }
    m_doc.OnSolve();
    EXPECT_EQ(m_doc.GetTitle(), strPath + " " + c.titleWord + ". 0 ms - VO5");
    EXPECT_EQ(m_doc.GetSolveStatus(), c.status);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SolveOutcomeTest,
    ::testing::Values(
        OutcomeCase{"Solved", "1 1\n1\n\n1\n", "Solved", "Solved."},
        OutcomeCase{"Incomplete", "2 2\n1\n1\n\n1\n1\n", "Incomplete", "Incomplete: line logic decided 0 of 4 cells."},
        OutcomeCase{"Refused", "1 2\n2\n\n1\n0\n", "Refused",
                    "Refused: the row clues fill 2 cells but the column clues fill 1."},
        OutcomeCase{"NoSolution", "2 2\n2\n0\n\n0\n2\n", "No solution",
                    "No solution: the clues contradict each other: the runs of column 1 cannot be placed against "
                    "the cells decided so far."},
        OutcomeCase{"NoPuzzle", "", "No puzzle", "No puzzle: open a clue file first."}),
    [](const ::testing::TestParamInfo<OutcomeCase>& info) { return info.param.name; });

TEST_F(TabulonDocTest, ProgressUpdatesComeOncePerIntervalAndNeverWaitForTheUser) {
    // A 20 x 20 picture solved in several passes; each clock reading takes 1 ms.
    ASSERT_TRUE(m_doc.FileOpen(Write("big.tb", ClueFileText(SeveralPasses()))));
    m_doc.GetPuzzle()->SetTrace(nullptr, nullptr);
    m_view.hints.clear();
    m_clock.dwStep = 1;
    m_doc.SetUpTime(0); // an update at every end of pass that comes at least 1 ms after the last
    m_doc.OnSolve();
    const long nProgress = std::count(m_view.hints.begin(), m_view.hints.end(), 2) - 1;
    EXPECT_GT(nProgress, 0);
    EXPECT_EQ(m_platform.nWaits, nProgress);
    const long nSolvingTitles = std::count_if(m_platform.titles.begin(), m_platform.titles.end(), [](auto& t) {
        return t.find(" Solving. ") != std::string::npos && t.ends_with(" ms - VO5");
    });
    EXPECT_EQ(nSolvingTitles, nProgress);

    // A negative interval reads as a huge one: no progress update at all.
    m_view.hints.clear();
    m_platform.nWaits = 0;
    m_doc.SetUpTime(-1);
    m_doc.OnSolve();
    EXPECT_EQ(m_view.hints, (std::vector<int>{3, 2}));
    EXPECT_EQ(m_platform.nWaits, 0);
}

struct CompleteCase {
    const char* name;
    const char* content;
    uint64_t nMaxSolutions; // 1: Solve Completely, 2: Check Uniqueness
    const char* titleWord;
    const char* status;
    const char* firstRow; // of the grid shown afterwards
};

class CompleteOutcomeTest : public TabulonDocTest, public ::testing::WithParamInterface<CompleteCase> {};

TEST_P(CompleteOutcomeTest, TheTitleAndStatusSayHowTheSearchEndedAndTheGridShowsItsResult) {
    const CompleteCase& c = GetParam();
    const std::string strPath = Write("p.tb", c.content);
    ASSERT_TRUE(m_doc.FileOpen(strPath));
    m_doc.SolveCompletely(c.nMaxSolutions);
    EXPECT_EQ(m_doc.GetTitle(), strPath + " " + c.titleWord + ". 0 ms - VO5");
    EXPECT_EQ(m_doc.GetSolveStatus(), c.status);
    EXPECT_EQ(RowText(*m_doc.GetPuzzle(), 0), c.firstRow);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CompleteOutcomeTest,
    ::testing::Values(CompleteCase{"Solved", "3 4\n2 1\n3\n1\n\n1 1\n2\n1\n2\n", 1, "Solved", "Solved completely.",
                                   "XX-X"},
                      CompleteCase{"Unique", "3 4\n2 1\n3\n1\n\n1 1\n2\n1\n2\n", 2, "Unique",
                                   "Unique: the puzzle has exactly one solution.", "XX-X"},
                      // Line logic decides nothing here; the search finds both pictures.
                      CompleteCase{"Multiple", "2 2\n1\n1\n\n1\n1\n", 2, "Multiple solutions",
                                   "Multiple solutions: 2 found; the grid shows the first.", "X-"},
                      // The cells decided up to the contradiction stay, but for the column
                      // no placement fits: a grid that looks finished is never shown.
                      CompleteCase{"NoSolution", "2 2\n2\n0\n\n0\n2\n", 1, "No solution",
                                   "No solution: no grid reads all the clues.", ".X"},
                      // Refused before any search, in the words Solve uses.
                      CompleteCase{"Refused", "1 2\n2\n\n1\n0\n", 1, "Refused",
                                   "Refused: the row clues fill 2 cells but the column clues fill 1.", ".."}),
    [](const ::testing::TestParamInfo<CompleteCase>& info) { return info.param.name; });

// The window's way: the search runs on another thread while the document
// and its views stay on this one.
TEST_P(CompleteOutcomeTest, ASearchOnAnotherThreadEndsAsTheSameSearchHere) {
    const CompleteCase& c = GetParam();
    const std::string strPath = Write("p.tb", c.content);
    ASSERT_TRUE(m_doc.FileOpen(strPath));
    m_doc.SolveCompletely(c.nMaxSolutions);
    const std::string strTitle = m_doc.GetTitle(), strStatus = m_doc.GetSolveStatus();
    const std::vector<std::string> grid = GridRows(*m_doc.GetPuzzle());

    ASSERT_TRUE(m_doc.FileOpen(strPath));
    m_view.hints.clear();
    std::unique_ptr<CCompleteSolveJob> pJob = m_doc.BeginSolveCompletely(c.nMaxSolutions);
    EXPECT_EQ(pJob == nullptr, std::string(c.name) == "Refused") << "only refused clues leave nothing to search";
    if (pJob) {
        std::thread worker([&] { pJob->Run([](const std::vector<CellState>&) {}); });
        worker.join();
    }
    m_doc.FinishSolveCompletely(pJob.get());
    EXPECT_EQ(m_view.hints, (std::vector<int>{3, 2}));
    EXPECT_EQ(m_doc.GetTitle(), strTitle);
    EXPECT_EQ(m_doc.GetSolveStatus(), strStatus);
    EXPECT_EQ(GridRows(*m_doc.GetPuzzle()), grid);
}

// A clock whose every reading is a millisecond later, readable from any thread.
struct SteadyClock : ITickSource {
    std::atomic<uint32_t> dwNow{100};
    uint32_t GetTickCount() override { return dwNow++; }
};

TEST_F(TabulonDocTest, AJobReportsItsProgressAtTheThrottleAndTheDocumentShowsIt) {
    // 8 x 8 permutations: counting them takes many search nodes.
    std::vector<std::string> picture(8, std::string(8, '-'));
    for (size_t i = 0; i < 8; ++i)
        picture[i][i] = 'X';
    ASSERT_TRUE(m_doc.FileOpen(Write("permutations.tb", ClueFileText(picture))));
    SteadyClock clock;
    m_doc.SetPorts(DocPorts{&clock, &m_platform, &m_platform, &m_platform});
    std::vector<std::vector<CellState>> reported;
    for (int nUpTime : {0, INT_MAX}) {
        SCOPED_TRACE(nUpTime);
        m_doc.SetUpTime(nUpTime);
        reported.clear();
        std::unique_ptr<CCompleteSolveJob> pJob = m_doc.BeginSolveCompletely(1000);
        ASSERT_NE(pJob, nullptr);
        std::thread worker([&] { pJob->Run([&](const std::vector<CellState>& cells) { reported.push_back(cells); }); });
        worker.join();
        m_doc.FinishSolveCompletely(pJob.get());
        EXPECT_EQ(m_doc.GetCompleteResult().nSolutions, 1000u);
        if (nUpTime == INT_MAX) {
            EXPECT_TRUE(reported.empty()) << "no update is ever due";
            continue;
        }
        ASSERT_FALSE(reported.empty());
        m_platform.titles.clear();
        m_doc.ShowCompleteProgress(reported.back());
        EXPECT_EQ(m_doc.GetPuzzle()->GetCells(), reported.back());
        ASSERT_EQ(m_platform.titles.size(), 1u);
        EXPECT_NE(m_platform.titles[0].find(" Solving completely. "), std::string::npos) << m_platform.titles[0];
    }
    EXPECT_EQ(m_platform.nWaits, 0) << "the threaded search never waits for the window";
}

// Answers the first input pass by stopping the solve, as Esc does.
struct StopAtInputPass : IEventWait {
    CTabulonDoc* pDoc = nullptr;
    int nPasses = 0, nWaits = 0;
    void AfterProgressUpdate() override { ++nWaits; }
    void LetInputThrough() override {
        ++nPasses;
        pDoc->RequestStop();
    }
};

// Asks for an input pass as the solve begins (hint 3), as the window's pulse would.
struct AskForInputAtTheStart : IDocView {
    CTabulonDoc* pDoc = nullptr;
    void OnUpdate(int nHint) override {
        if (nHint == 3)
            pDoc->RequestInputPass();
    }
};

TEST_F(TabulonDocTest, SolveLetsInputThroughBetweenLinesWhateverTheRedrawInterval) {
    ASSERT_TRUE(m_doc.FileOpen(Write("big.tb", ClueFileText(SeveralPasses()))));
    m_doc.GetPuzzle()->SetTrace(nullptr, nullptr);
    StopAtInputPass wait;
    wait.pDoc = &m_doc;
    AskForInputAtTheStart pulse;
    pulse.pDoc = &m_doc;
    m_doc.AddView(&pulse);
    m_doc.SetPorts(DocPorts{&m_clock, &m_platform, &wait, &m_platform});
    m_clock.dwStep = 1;
    m_doc.SetUpTime(INT_MAX); // no progress update would ever come
    m_doc.OnSolve();
    m_doc.RemoveView(&pulse);
    EXPECT_EQ(wait.nPasses, 1);
    EXPECT_EQ(wait.nWaits, 0);
    EXPECT_EQ(m_doc.GetSolveResult(), SOLVE_STOPPED);
    EXPECT_NE(m_doc.GetTitle().find(" Stopped. "), std::string::npos) << m_doc.GetTitle();

    // Without a request, no pass: the solve runs to its end.
    m_doc.OnSolve();
    EXPECT_EQ(wait.nPasses, 1);
    EXPECT_NE(m_doc.GetSolveResult(), SOLVE_STOPPED);
}

TEST_F(TabulonDocTest, TheCellsThatDifferAreOnlyThoseTheTwoSolutionsDoNotShare) {
    // The left 2 x 2 block goes either way; column 2 is blank, column 3 full.
    ASSERT_TRUE(m_doc.FileOpen(Write("p.tb", "2 4\n1 1\n1 1\n\n1\n1\n0\n2\n")));
    m_doc.OnCheckUniqueness();
    EXPECT_EQ(m_doc.GetCellsThatDiffer(), (std::vector<int>{0, 1, 4, 5}));
    m_doc.OnShowOtherSolution();
    EXPECT_EQ(m_doc.GetCellsThatDiffer(), (std::vector<int>{0, 1, 4, 5}));
    m_doc.OnSolve();
    EXPECT_TRUE(m_doc.GetCellsThatDiffer().empty()) << "Solve's grid is not one of the two";
}

// Stops the document's solve at the first progress update, as Esc does.
struct StopAtFirstUpdate : IEventWait {
    CTabulonDoc* pDoc = nullptr;
    int nWaits = 0;
    void AfterProgressUpdate() override {
        ++nWaits;
        pDoc->RequestStop();
    }
};

TEST_F(TabulonDocTest, ALongSearchShowsProgressInTheTitleAndStopsWhenAsked) {
    // 8 x 8 with every row and column "1": counting its 8! solutions takes
    // many search nodes.
    std::vector<std::string> picture(8, std::string(8, '-'));
    for (size_t i = 0; i < 8; ++i)
        picture[i][i] = 'X';
    const std::string strPath = Write("permutations.tb", ClueFileText(picture));
    ASSERT_TRUE(m_doc.FileOpen(strPath));
    StopAtFirstUpdate wait;
    wait.pDoc = &m_doc;
    m_doc.SetPorts(DocPorts{&m_clock, &m_platform, &wait, &m_platform});
    m_clock.dwStep = 1;
    m_doc.SetUpTime(0);
    m_doc.SolveCompletely(100000);
    EXPECT_EQ(wait.nWaits, 1);
    const long nSolvingTitles = std::count_if(m_platform.titles.begin(), m_platform.titles.end(), [](auto& t) {
        return t.find(" Solving completely. ") != std::string::npos && t.ends_with(" ms - VO5");
    });
    EXPECT_EQ(nSolvingTitles, 1);
    EXPECT_NE(m_doc.GetTitle().find(" Stopped. "), std::string::npos) << m_doc.GetTitle();
    // Stopped after solutions were found: the grid holds the first, and the
    // status says so rather than speak of cells every solution shares.
    const uint64_t nFound = m_doc.GetCompleteResult().nSolutions;
    ASSERT_GT(nFound, 1u);
    EXPECT_EQ(m_doc.GetSolveStatus(),
              "Stopped: " + std::to_string(nFound) + " solutions found so far; the grid shows the first.");
    EXPECT_EQ(GridRows(*m_doc.GetPuzzle()), picture) << "the first solution found, the diagonal";
}

// Rating reads the clues only: what the window shows stays. A stop asked
// for before it began is forgotten, as for a solve.
TEST_F(TabulonDocTest, RatingLeavesTheGridTitleAndViewsAsTheyAre) {
    EXPECT_EQ(m_doc.OnRatePuzzle().ratingClass, RatingClass::Unknown) << "no puzzle";
    ASSERT_TRUE(m_doc.FileOpen(Example()));
    const std::string strTitle = m_doc.GetTitle();
    const size_t nHints = m_view.hints.size();
    m_doc.RequestStop();
    const PuzzleRating rating = m_doc.OnRatePuzzle();
    EXPECT_EQ(FormatRating(rating), "line 2");
    EXPECT_EQ(GridRows(*m_doc.GetPuzzle()), (std::vector<std::string>{"....", "....", "...."}));
    EXPECT_EQ(m_doc.GetTitle(), strTitle);
    EXPECT_EQ(m_view.hints.size(), nHints);
}

TEST_F(TabulonDocTest, SolvingTwiceSolvesAgainFromScratchAndTimesTheSecondRun) {
    const std::string strPath = Example();
    ASSERT_TRUE(m_doc.FileOpen(strPath));
    m_doc.GetPuzzle()->SetTrace(nullptr, nullptr);
    m_doc.OnSolve();
    m_clock.dwStep = 20;
    m_doc.OnSolve();
    EXPECT_EQ(m_doc.GetSolveResult(), SOLVE_SOLVED);
    EXPECT_EQ(m_doc.GetTitle(), strPath + " Solved. 40 ms - VO5");
}

TEST_F(TabulonDocTest, SaveWritesTheGridNextToTheClueFileAndConfirms) {
    const std::string strPath = Example();
    ASSERT_TRUE(m_doc.FileOpen(strPath));
    m_doc.OnFileSave(); // before solving: every cell unknown
    EXPECT_EQ(ReadAll(strPath + "r"), "    \n    \n    \n");
    m_doc.GetPuzzle()->SetTrace(nullptr, nullptr);
    m_doc.OnSolve();
    m_doc.OnFileSave();
    EXPECT_EQ(ReadAll(strPath + "r"), "XX-X\n-XXX\nX---\n");
    ASSERT_EQ(m_platform.messages.size(), 2u);
    EXPECT_EQ(m_platform.messages[1].kind, MessageKind::Information);
    EXPECT_EQ(m_platform.messages[1].strText, "File saved as " + strPath + "r");
    EXPECT_EQ(m_platform.messages[1].strCaption, "Tabulon");
}

TEST_F(TabulonDocTest, SavesWithoutAPuzzleDoNothing) {
    FakePicture picture;
    m_doc.SetPicture(&picture);
    m_doc.FileNew();
    m_doc.OnFileSave();
    m_doc.OnSaveAsBmp();
    m_doc.OnSaveAllAsBmp(); // a picture is there, but no clue file was opened
    EXPECT_TRUE(m_platform.messages.empty());
    EXPECT_FALSE(std::filesystem::exists("r"));
    EXPECT_FALSE(std::filesystem::exists(".bmp"));
    EXPECT_FALSE(std::filesystem::exists("_all.bmp"));
}

TEST_F(TabulonDocTest, AFailedSaveNamesThePathAndTheReason) {
    const std::string strPath = Example();
    ASSERT_TRUE(m_doc.FileOpen(strPath));
    std::filesystem::create_directory(strPath + ".bmp"); // a folder stands where the file would go
    m_doc.OnSaveAsBmp();
    ASSERT_EQ(m_platform.messages.size(), 1u);
    EXPECT_EQ(m_platform.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(m_platform.messages[0].strText, "Cannot write " + strPath + ".bmp: Is a directory.");
}

TEST_F(TabulonDocTest, BitmapsAreNamedAfterTheClueFileAndConfirmedWithTheirName) {
    FakePicture picture;
    m_doc.SetPicture(&picture);
    const std::string strPath = Example();
    ASSERT_TRUE(m_doc.FileOpen(strPath));
    m_doc.OnSaveAsBmp();
    m_doc.OnSaveAllAsBmp();
    EXPECT_EQ(ReadAll(strPath + ".bmp").size(), 54u + 3 * 12); // 4 x 3 pixels, rows of 12 bytes
    const std::string all = ReadAll(strPath + "_all.bmp");
    ASSERT_EQ(all.size(), 58u);
    EXPECT_EQ(all.substr(54), std::string("\x10\x20\x30\x10", 4)); // one pixel and its padding byte
    ASSERT_EQ(m_platform.messages.size(), 2u);
    EXPECT_EQ(m_platform.messages[0].strText, strPath + ".bmp");
    EXPECT_EQ(m_platform.messages[0].strCaption, "Saved.");
    EXPECT_EQ(m_platform.messages[1].strText, strPath + "_all.bmp");
}

TEST_F(TabulonDocTest, ApplySettingsSendsHintOne) {
    m_doc.ApplySettings();
    EXPECT_EQ(m_view.hints, std::vector<int>{1});
}

} // namespace
