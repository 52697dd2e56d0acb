#include "model/PuzzleFile.h"
#include "model/PuzzleFormats.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

namespace {

// A puzzle as an author may hand it over: a picture (its clues), title,
// author, and whether the picture goes along as the goal.
struct WrittenPuzzle {
    const char* name;
    std::vector<std::string> picture;
    std::string strTitle;
    std::string strAuthor;
    bool bGoal;
};

// The goal of a picture of '-' and 'X'.
std::string GoalOf(const std::vector<std::string>& picture) {
    std::string strGoal;
    for (const std::string& row : picture)
        for (char ch : row)
            strGoal += ch == 'X' ? '1' : '0';
    return strGoal;
}

// One row of 32767 cells, all filled: the largest run there is.
std::vector<std::string> LongestRun() {
    return {std::string(32767, 'X')};
}

const WrittenPuzzle kPuzzles[] = {
    {"Example", {"XX-X", "-XXX", "X---"}, "Example", "The Tabulon developers", true},
    {"BlankRowsAndColumns", {"-----", "-X-X-", "-----", "XX---"}, "", "", true},
    {"BlankPicture", {"---", "---"}, "", "", true},
    {"OneFilledCell", {"X"}, "", "", true},
    {"OneEmptyCell", {"-"}, "T", "", true},
    {"NoGoal", {"X-X", "-X-"}, "No goal", "", false},
    {"TitleAndAuthorWithMarkup", {"X-", "XX"}, "Fish & \"Chips\" <b> \xC3\xA9t\xC3\xA9 'x'", "A & B < C >", true},
    {"LargestRunLength", LongestRun(), "", "", true},
};

struct FormatUnderTest {
    PuzzleFormat format;
    const char* pszFileName;
    bool bKeepsExtras; // title, author and goal
};

const FormatUnderTest kFormats[] = {
    {PuzzleFormat::Tabulon, "w.tb", false},
    {PuzzleFormat::Non, "w.non", true},
    {PuzzleFormat::Plain, "w.txt", false},
    {PuzzleFormat::Xml, "w.xml", true},
};

// Every puzzle written in every format and read back: the same clues, and
// the same title, author and goal where the format holds them.
TEST(PuzzleWriter, ReadingWhatIsWrittenGivesTheSameCluesAndExtras) {
    TempDir dir;
    for (const WrittenPuzzle& written : kPuzzles) {
        const CPuzzle puzzle = PuzzleFromPicture(written.picture);
        PuzzleExtras extras;
        extras.strTitle = written.strTitle;
        extras.strAuthor = written.strAuthor;
        if (written.bGoal)
            extras.strGoal = GoalOf(written.picture);
        for (const FormatUnderTest& format : kFormats) {
            SCOPED_TRACE(std::string(written.name) + " as " + format.pszFileName);
            CPuzzleFile again;
            again.Load(dir.Write(format.pszFileName, FormatPuzzle(puzzle, format.format, extras)).c_str());
            ASSERT_EQ(again.GetLoadError(), "");
            EXPECT_EQ(CluesText(again), CluesText(puzzle));
            const PuzzleExtras expected = format.bKeepsExtras ? extras : PuzzleExtras();
            EXPECT_EQ(again.GetExtras().strTitle, expected.strTitle);
            EXPECT_EQ(again.GetExtras().strAuthor, expected.strAuthor);
            EXPECT_EQ(again.GetExtras().strGoal, expected.strGoal);
        }
    }
}

// Clues no picture fits are written as they are: converting a file never
// repairs or refuses it.
TEST(PuzzleWriter, CluesWithoutASolutionAreWrittenAsTheyAre) {
    std::mt19937 random(19);
    TempDir dir;
    for (int k = 0; k < 20; ++k) {
        const CPuzzle puzzle = MismatchedClues(random, 1 + k % 7, 1 + k % 5);
        for (const FormatUnderTest& format : kFormats) {
            CPuzzleFile again;
            again.Load(dir.Write(format.pszFileName, FormatPuzzle(puzzle, format.format)).c_str());
            ASSERT_EQ(again.GetLoadError(), "") << format.pszFileName;
            EXPECT_EQ(CluesText(again), CluesText(puzzle)) << format.pszFileName;
        }
    }
}

// What other programs read: Steve Simpson's keys and webpbn's elements.
TEST(PuzzleWriter, WritesTheLayoutsOtherProgramsRead) {
    const CPuzzle puzzle = PuzzleFromPicture({"X-X", "---"});
    PuzzleExtras extras;
    extras.strTitle = "Two";
    extras.strGoal = "101000";
    EXPECT_EQ(FormatPuzzle(puzzle, PuzzleFormat::Non, extras),
              "title \"Two\"\nwidth 3\nheight 2\n\nrows\n1,1\n0\n\ncolumns\n1\n0\n1\n\ngoal \"101000\"\n");
    EXPECT_EQ(FormatPuzzle(puzzle, PuzzleFormat::Xml, extras),
              "<?xml version=\"1.0\"?>\n"
              "<!DOCTYPE pbn SYSTEM \"http://webpbn.com/pbn-0.3.dtd\">\n"
              "<puzzleset>\n"
              "<puzzle type=\"grid\" defaultcolor=\"black\">\n"
              "<title>Two</title>\n"
              "<color name=\"white\" char=\".\">fff</color>\n"
              "<color name=\"black\" char=\"X\">000</color>\n"
              "<clues type=\"columns\">\n<line><count>1</count></line>\n<line/>\n<line><count>1</count></line>\n"
              "</clues>\n"
              "<clues type=\"rows\">\n<line><count>1</count><count>1</count></line>\n<line/>\n</clues>\n"
              "<solution type=\"goal\">\n<image>\n|X.X|\n|...|\n</image>\n</solution>\n"
              "</puzzle>\n</puzzleset>\n");
    EXPECT_EQ(FormatPuzzle(puzzle, PuzzleFormat::Plain), "2 3\n1 1\n0\n#\n1\n0\n1\n");
    EXPECT_EQ(FormatPuzzle(puzzle, PuzzleFormat::Tabulon), FormatClueFile(puzzle));
}

TEST(PuzzleWriter, AGoalOfAnotherSizeIsLeftOut) {
    const CPuzzle puzzle = PuzzleFromPicture({"X-", "-X"});
    PuzzleExtras extras;
    extras.strGoal = "100";
    for (PuzzleFormat format : {PuzzleFormat::Non, PuzzleFormat::Xml}) {
        const std::string text = FormatPuzzle(puzzle, format, extras);
        EXPECT_EQ(text.find("goal"), std::string::npos) << text;
    }
}

TEST(PuzzleWriter, LineBreaksInANonTitleBecomeBlanks) {
    TempDir dir;
    PuzzleExtras extras;
    extras.strTitle = "two\nlines\r\nhere";
    CPuzzleFile again;
    again.Load(dir.Write("t.non", FormatPuzzle(PuzzleFromPicture({"X"}), PuzzleFormat::Non, extras)).c_str());
    ASSERT_EQ(again.GetLoadError(), "");
    EXPECT_EQ(again.GetExtras().strTitle, "two lines  here");
}

TEST(PuzzleWriter, TheGoalOfAGridMarksFilledCells) {
    EXPECT_EQ(GoalOfCells({CELL_FILLED, CELL_EMPTY, CELL_UNKNOWN, CELL_FILLED}), "1001");
}

} // namespace
