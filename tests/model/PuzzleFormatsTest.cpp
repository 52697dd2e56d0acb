#include "model/PuzzleFormats.h"
#include "model/PuzzleFile.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <thread>

namespace {

// The example picture XX-X / -XXX / X--- in each format.
const char kExampleClues[] = "2 1 |3 |1 |/1 1 |2 |1 |2 |";

const char kNonExample[] = "catalogue \"x\"\n"
                           "title \"Example\"\n"
                           "by \"The Tabulon developers\"\n"
                           "width 4\n"
                           "height 3\n"
                           "\n"
                           "rows\n2,1\n3\n1\n"
                           "\n"
                           "columns\n1,1\n2\n1\n2\n"
                           "goal \"110101111000\"\n";

struct FormatCase {
    const char* name;
    const char* fileName;
    std::string content;
    const char* expected; // clues, or the message after "<path>: "
};

class PuzzleFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(PuzzleFormatTest, ReadsValidFilesAndRefusesMalformedOnesWithALineNumber) {
    TempDir dir;
    const std::string strPath = dir.Write(GetParam().fileName, GetParam().content);
    CPuzzleFile puzzle;
    puzzle.Load(strPath.c_str());
    if (puzzle.GetLoadError().empty()) {
        EXPECT_EQ(CluesText(puzzle), GetParam().expected);
    } else {
        EXPECT_EQ(puzzle.GetLoadError(), strPath + ": " + GetParam().expected);
        EXPECT_EQ(puzzle.GetHeight(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PuzzleFormatTest,
    ::testing::Values(
        FormatCase{"NonExample", "a.non", kNonExample, kExampleClues},
        FormatCase{"NonByContent", "a.puzzle", kNonExample, kExampleClues},
        FormatCase{"NonCrLfAndEmptyLine", "b.non", "width 2\r\nheight 2\r\nrows\r\n1\r\n\r\ncolumns\r\n1\r\n0\r\n",
                   "1 |0 |/1 |0 |"},
        FormatCase{"NonColour", "c.non", "width 2\nheight 1\ncolor red\n",
                   "line 3: colour puzzles are not supported: "
                   "Tabulon solves black-and-white puzzles"},
        FormatCase{"NonRowsBeforeHeight", "d.non", "width 2\nrows\n1\n", "line 2: rows come before the height"},
        FormatCase{"NonBadWidth", "e.non", "width x\n", "line 1: width must be a number in 1..32767, found 'x'"},
        FormatCase{"NonBadClue", "f.non", "width 2\nheight 1\nrows\n1;1\n",
                   "line 4: expected run lengths, found '1;1'"},
        FormatCase{"NonEndsEarly", "g.non", "width 2\nheight 2\nrows\n1\n", "line 5: the file ends before row 2"},
        FormatCase{"NonNoColumns", "h.non", "width 1\nheight 1\nrows\n1\n", "line 4: the file has no columns"},
        FormatCase{"NonEmpty", "j.non", "", "line 1: the file has no rows"},
        FormatCase{"NonByteOrderMark", "k.non",
                   "\xEF\xBB\xBF"
                   "width 1\nheight 1\nrows\n1\ncolumns\n1\n",
                   "1 |/1 |"},
        FormatCase{"NonBadGoal", "i.non", "width 1\nheight 1\nrows\n1\ncolumns\n1\ngoal \"2\"\n",
                   "line 7: a goal holds only 0 and 1"},
        FormatCase{"NonOldMacLineEnds", "l.non", "width 2\rheight 2\rrows\r1\r\rcolumns\r1\r0\r", "1 |0 |/1 |0 |"},
        FormatCase{"NonOldMacLineEndsNameTheLine", "m.non", "width 2\rheight 1\r\rrows\r1;1\r",
                   "line 5: expected run lengths, found '1;1'"},
        FormatCase{"PlainExample", "a.txt", "3 4\n2 1\n3\n1\n#\n1,1\n2\n1\n2\n", kExampleClues},
        FormatCase{"PlainByContent", "a.puzzle", "3 4\n2 1\n3\n1\n#\n1 1\n2\n1\n2\n", kExampleClues},
        FormatCase{"PlainEmptyLineIsZero", "b.txt", "1 2\n1\n#\n1\n\n", "1 |/1 |0 |"},
        FormatCase{"PlainNoHash", "c.txt", "1 1\n1\n1\n",
                   "line 3: expected the \"#\" line between the row and the column clues"},
        FormatCase{"PlainBadHeader", "d.txt", "one two\n", "line 1: expected \"height width\", found 'one two'"},
        FormatCase{"PlainBadClue", "e.txt", "1 1\nx\n#\n1\n", "line 2: expected run lengths, found 'x'"},
        FormatCase{"PlainEmpty", "f.txt", "", "the file is empty"},
        FormatCase{"PlainByteOrderMark", "g.txt",
                   "\xEF\xBB\xBF"
                   "1 1\n1\n#\n1\n",
                   "1 |/1 |"},
        FormatCase{"PlainOldMacLineEnds", "j.txt", "1 2\r1\r#\r1\r\r", "1 |/1 |0 |"},
        FormatCase{"PlainOldMacLineEndsNameTheLine", "k.txt", "1 1\r1\r1\r",
                   "line 3: expected the \"#\" line between the row and the column clues"},
        FormatCase{"PlainZeroInHeader", "h.txt", "2 0 2\n", "line 1: expected \"height width\", found '2 0 2'"},
        FormatCase{"PlainNoColumns", "i.txt", "1 0\n1\n#\n",
                   "line 1: the puzzle needs 1..32767 rows and columns, the header says 1 x 0"}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

TEST(PuzzleFormats, NonFilesCarryTitleAuthorAndGoal) {
    TempDir dir;
    CPuzzleFile puzzle;
    puzzle.Load(dir.Write("a.non", kNonExample).c_str());
    EXPECT_EQ(puzzle.GetExtras().strTitle, "Example");
    EXPECT_EQ(puzzle.GetExtras().strAuthor, "The Tabulon developers");
    EXPECT_EQ(puzzle.GetExtras().strGoal, "110101111000");
}

// Every format written as ".tb" and read back gives the same clues.
TEST(PuzzleFormats, RoundTripThroughTheClueFile) {
    TempDir dir;
    for (const auto& [name, content] : {std::pair<const char*, std::string>{"a.non", kNonExample},
                                        {"b.txt", "3 4\n2 1\n3\n1\n#\n1,1\n2\n1\n2\n"},
                                        {"c.txt", "2 3\n\n3\n#\n1\n1\n1\n"}}) {
        const TbRoundTrip trip = RoundTripThroughTb(dir, name, content);
        ASSERT_EQ(trip.strError, "") << name;
        EXPECT_EQ(trip.strAgain, trip.strOriginal) << name;
    }
}

// A pipe cannot be read twice: the text read to tell the format is the
// text the reader gets.
TEST(PuzzleFormats, AClueFileFromAPipeIsReadWhole) {
    TempDir dir;
    const std::string strFifo = (dir.Path() / "clues").string();
    ASSERT_EQ(mkfifo(strFifo.c_str(), 0600), 0);
    std::string strClues = "300 300\n";
    for (int k = 0; k < 600; ++k)
        strClues += k == 300 ? "\n1\n" : "1\n";
    std::thread writer([&] { std::ofstream(strFifo) << strClues; });
    CPuzzleFile puzzle;
    puzzle.Load(strFifo.c_str());
    writer.join();
    EXPECT_EQ(puzzle.GetLoadError(), "");
    EXPECT_EQ(puzzle.GetHeight(), 300);
    EXPECT_EQ(puzzle.GetWidth(), 300);
}

TEST(PuzzleFormats, AFileWithoutExtensionIsToldByAllOfItsContent) {
    TempDir dir;
    std::string strPlain = "300 3\n"; // rows X-X, written as plain files may: "1,1"
    for (int k = 0; k < 300; ++k)
        strPlain += "1,1\n";
    CPuzzleFile puzzle;
    puzzle.Load(dir.Write("late-hash", strPlain + "#\n300\n0\n300\n").c_str());
    EXPECT_EQ(puzzle.GetLoadError(), "") << "the \"#\" line comes after the first 512 bytes";
    EXPECT_EQ(puzzle.GetHeight(), 300);
}

TEST(PuzzleFormats, AFileFarLargerThanAnyPuzzleWithinTheLimitIsRefused) {
    TempDir dir;
    const std::string strPath = dir.Write("big.tb", "1 1\n1\n\n1\n" + std::string(2 << 20, ' '));
    CPuzzleFile puzzle;
    puzzle.SetMaxCells(1);
    puzzle.Load(strPath.c_str());
    EXPECT_EQ(puzzle.GetLoadError(),
              strPath + ": the file is larger than 1 MiB, more than any puzzle within the limit needs");
    EXPECT_EQ(puzzle.GetHeight(), 0);
}

TEST(PuzzleFormats, ContentIsToldWhateverTheLineEnds) {
    EXPECT_EQ(DetectFormat("a", "1 1\r1\r#\r1\r"), PuzzleFormat::Plain);
    EXPECT_EQ(DetectFormat("a", "catalogue 1\rtitle\r"), PuzzleFormat::Non);
    EXPECT_EQ(DetectFormat("a", "x\rtitle\r"), PuzzleFormat::Non);
    EXPECT_EQ(DetectFormat("a", "\xEF\xBB\xBFheight 3\n"), PuzzleFormat::Non);
    EXPECT_EQ(DetectFormat("a", "1 1\r1\r\r1\r"), PuzzleFormat::Tabulon);
}

TEST(PuzzleFormats, DetectsTheFormatFromTheExtensionThenTheContent) {
    EXPECT_EQ(DetectFormat("a.TB", "width 3"), PuzzleFormat::Tabulon);
    EXPECT_EQ(DetectFormat("a.non", "3 4"), PuzzleFormat::Non);
    EXPECT_EQ(DetectFormat("a.txt", "3 4"), PuzzleFormat::Plain);
    EXPECT_EQ(DetectFormat("a.Pbn", "3 4"), PuzzleFormat::Xml);
    EXPECT_EQ(DetectFormat("a.cwd", "<?xml"), PuzzleFormat::Plain) << "the extension comes first";
    EXPECT_EQ(DetectFormat("dir.d/a", "height 3\n"), PuzzleFormat::Non);
    EXPECT_EQ(DetectFormat("a", "1 1\n1\n#\n1\n"), PuzzleFormat::Plain);
    EXPECT_EQ(DetectFormat("a", "1 1\n1\n\n1\n"), PuzzleFormat::Tabulon);
}

} // namespace
