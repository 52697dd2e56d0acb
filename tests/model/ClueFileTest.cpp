#include "model/PuzzleFile.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

namespace {

const char kExample[] = "3 4\n2 1\n3\n1\n\n1 1\n2\n1\n2\n";

std::vector<int16_t> RowClues(const CPuzzle& puzzle, int nRow) {
    std::vector<int16_t> values;
    for (int k = 0; k < puzzle.GetRowClueCount(nRow); ++k)
        values.push_back(puzzle.GetRowClue(nRow, k));
    return values;
}

std::vector<int16_t> ColumnClues(const CPuzzle& puzzle, int nCol) {
    std::vector<int16_t> values;
    for (int k = 0; k < puzzle.GetColumnClueCount(nCol); ++k)
        values.push_back(puzzle.GetColumnClue(nCol, k));
    return values;
}

using Values = std::vector<int16_t>;

class ClueFileTest : public ::testing::Test {
  protected:
    CPuzzleFile LoadText(std::string_view content) {
        CPuzzleFile puzzle;
        m_strPath = m_dir.Write("puzzle.tb", content);
        EXPECT_EQ(puzzle.Load(m_strPath.c_str()), 0);
        return puzzle;
    }
    TempDir m_dir;
    std::string m_strPath;
};

TEST_F(ClueFileTest, ReadsTheExampleFile) {
    CPuzzleFile puzzle = LoadText(kExample);
    ASSERT_EQ(puzzle.GetLoadError(), "");
    ASSERT_EQ(puzzle.GetHeight(), 3);
    ASSERT_EQ(puzzle.GetWidth(), 4);
    EXPECT_EQ(RowClues(puzzle, 0), (Values{2, 1}));
    EXPECT_EQ(RowClues(puzzle, 1), (Values{3}));
    EXPECT_EQ(RowClues(puzzle, 2), (Values{1}));
    EXPECT_EQ(ColumnClues(puzzle, 0), (Values{1, 1}));
    EXPECT_EQ(ColumnClues(puzzle, 1), (Values{2}));
    EXPECT_EQ(ColumnClues(puzzle, 2), (Values{1}));
    EXPECT_EQ(ColumnClues(puzzle, 3), (Values{2}));
    EXPECT_EQ(puzzle.GetGridTotal(), 0);
    EXPECT_FALSE(puzzle.CheckClueTotals());
    EXPECT_EQ(puzzle.GetTargetByRows(), 19);
    EXPECT_EQ(puzzle.GetTargetByCols(), 19);
}

// Files that differ from the example only in what the format lets vary.
TEST_F(ClueFileTest, ToleratedVariantsReadLikeTheExample) {
    const char* variants[] = {
        "3 4 a header comment\n2 1\n3\n1\n\n1 1\n2\n1\n2\n",  // text after the header numbers
        "3 4\r\n2 1\r\n3\r\n1\r\n\r\n1 1\r\n2\r\n1\r\n2\r\n", // CR LF line ends
        "3 4\n2 1   \n3 \n1\n\n1 1  \n2\n1\n2",               // trailing spaces, no final line end
        "3 4\n2 1\n3\n1\n7 7\n1 1\n2\n1\n2\n",                // the separator is skipped whatever it holds
        "3 4\n2 1\n3\n1\n\n1 1\n2\n1\n2\nanything after\nis ignored\n",
        "\n  3\n4\n2 1\n3\n1\n\n1 1\n2\n1\n2\n", // header numbers may stand on separate lines
    };
    for (const char* text : variants) {
        CPuzzleFile puzzle = LoadText(text);
        SCOPED_TRACE(text);
        ASSERT_EQ(puzzle.GetLoadError(), "");
        ASSERT_EQ(puzzle.GetHeight(), 3);
        ASSERT_EQ(puzzle.GetWidth(), 4);
        EXPECT_EQ(RowClues(puzzle, 0), (Values{2, 1}));
        EXPECT_EQ(ColumnClues(puzzle, 0), (Values{1, 1}));
        EXPECT_EQ(ColumnClues(puzzle, 3), (Values{2}));
    }
}

// What editors save: Notepad puts a UTF-8 byte order mark first, old Mac
// editors end lines with CR alone.
TEST_F(ClueFileTest, EditorsMarksAndLineEndsReadLikeTheExample) {
    const char* variants[] = {
        "\xEF\xBB\xBF"
        "3 4\n2 1\n3\n1\n\n1 1\n2\n1\n2\n",
        "\xEF\xBB\xBF"
        "3 4\r\n2 1\r\n3\r\n1\r\n\r\n1 1\r\n2\r\n1\r\n2\r\n",
        "3 4\r2 1\r3\r1\r\r1 1\r2\r1\r2\r",
        "\xEF\xBB\xBF"
        "3 4\r2 1 \r3\r1\r\r1 1\r2\r1\r2",      // no final line end
        "3 4\r2 1\n3\r\n1\r\r\n1 1\n2\r1\r2\n", // all three mixed
    };
    for (const char* text : variants) {
        CPuzzleFile puzzle = LoadText(text);
        SCOPED_TRACE(text);
        ASSERT_EQ(puzzle.GetLoadError(), "");
        ASSERT_EQ(puzzle.GetHeight(), 3);
        ASSERT_EQ(puzzle.GetWidth(), 4);
        EXPECT_EQ(RowClues(puzzle, 0), (Values{2, 1}));
        EXPECT_EQ(RowClues(puzzle, 2), (Values{1}));
        EXPECT_EQ(ColumnClues(puzzle, 0), (Values{1, 1}));
        EXPECT_EQ(ColumnClues(puzzle, 3), (Values{2}));
    }
}

TEST_F(ClueFileTest, ReadsZeroAndMultiDigitValues) {
    CPuzzleFile puzzle = LoadText("2 13\n0\n10   2\n\n0\n1\n1\n1\n1\n1\n1\n1\n1\n1\n0\n1\n1\n");
    ASSERT_EQ(puzzle.GetLoadError(), "");
    EXPECT_EQ(RowClues(puzzle, 0), (Values{0}));
    EXPECT_EQ(RowClues(puzzle, 1), (Values{10, 2}));
}

TEST_F(ClueFileTest, ReadsClueLinesFarLongerThanAThousandCharacters) {
    // One row of 2500 runs of 1: a 5000-character clue line.
    std::string text = "1 4999\n";
    for (int k = 0; k < 2500; ++k)
        text += k ? " 1" : "1";
    text += "\n\n";
    for (int c = 0; c < 4999; ++c)
        text += c % 2 ? "0\n" : "1\n";
    CPuzzleFile puzzle = LoadText(text);
    ASSERT_EQ(puzzle.GetLoadError(), "");
    EXPECT_EQ(puzzle.GetRowClueCount(0), 2500);
    EXPECT_EQ(puzzle.GetColumnClue(4998, 0), 1);
}

TEST_F(ClueFileTest, AMissingSeparatorLosesTheFirstColumnAndIsRefused) {
    CPuzzleFile puzzle = LoadText("3 4\n2 1\n3\n1\n1 1\n2\n1\n2\n");
    EXPECT_EQ(puzzle.GetLoadError(), m_strPath + ": line 9: column 4 has no clues (the file ends before it); "
                                                 "a line without filled cells is written \"0\"");
    EXPECT_EQ(puzzle.GetHeight(), 0);
}

struct BadFile {
    const char* name;
    std::string content;
    const char* message; // what follows "<path>: "
};

class MalformedFileTest : public ClueFileTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(MalformedFileTest, IsRefusedWithALineNumberedMessageAndLeftEmpty) {
    CPuzzleFile puzzle = LoadText(GetParam().content);
    EXPECT_EQ(puzzle.GetLoadError(), m_strPath + ": " + GetParam().message);
    EXPECT_EQ(puzzle.GetHeight(), 0);
    EXPECT_EQ(puzzle.GetWidth(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MalformedFileTest,
    ::testing::Values(
        BadFile{"EmptyFile", "", "the file ends before the number of rows"},
        BadFile{"OnlyBlankLines", "\n  \n\n", "the file ends before the number of rows"},
        BadFile{"HeaderWithOneNumber", "3\n", "the file ends before the number of columns"},
        BadFile{"HeaderWithText", "rows 3 4\n", "line 1: expected the number of rows, found 'rows'"},
        BadFile{"NegativeSize", "-3 4\n", "line 1: the number of rows must lie in 0..32767, found '-3'"},
        BadFile{"HugeSize", "3 40000\n", "line 1: the number of columns must lie in 0..32767, found '40000'"},
        BadFile{"OverflowingSize", "99999999999999999999 1\n",
                "line 1: the number of rows must lie in 0..32767, found '99999999999999999999'"},
        BadFile{"BinaryFile",
                std::string("\x7f"
                            "ELF\x02\x01\x00\x00",
                            8),
                "line 1: expected the number of rows, found '\\x7FELF\\x02\\x01\\x00\\x00'"},
        BadFile{"Letters", "2 2\nx3\n", "line 2: expected run lengths, found 'x3'"},
        BadFile{"LetterAfterNumber", "2 2\n1 2b\n", "line 2: expected run lengths, found '2b'"},
        BadFile{"PlusSign", "2 2\n+1\n", "line 2: expected run lengths, found '+1'"},
        BadFile{"MinusSign", "2 2\n1\n-1\n", "line 3: expected run lengths, found '-1'"},
        BadFile{"Tab", "2 2\n1\t1\n", "line 2: expected run lengths, found '1\\t1'"},
        BadFile{"LeadingZero", "2 2\n01\n", "line 2: a run length has a leading zero: '01'"},
        BadFile{"LeadingBlank", "2 2\n 1\n", "line 2: a clue line must begin with its first number, found ' 1'"},
        BadFile{"ValueTooLarge", "1 2\n40000\n", "line 2: a run length must lie in 0..32767, found '40000'"},
        BadFile{"ZeroAmongRuns", "1 3\n0 1\n",
                "line 2: a 0 must stand alone on its line (it means a line without filled cells)"},
        BadFile{"BlankRowLine", "2 2\n1\n\n\n1\n1\n",
                "line 3: row 2 has no clues; a line without filled cells is written \"0\""},
        BadFile{"SpacesOnlyColumnLine", "1 2\n1\n\n   \n1\n",
                "line 4: column 1 has no clues; a line without filled cells is written \"0\""},
        BadFile{"EndsEarly", "2 2\n1\n1\n\n1\n",
                "line 6: column 2 has no clues (the file ends before it); a line without filled cells is written "
                "\"0\""},
        BadFile{"OldMacLineEndsBlankRow", "2 2\r1\r\r\r1\r1\r",
                "line 3: row 2 has no clues; a line without filled cells is written \"0\""},
        BadFile{"OldMacLineEndsEndEarly", "2 2\r1\r1\r\r1\r",
                "line 6: column 2 has no clues (the file ends before it); a line without filled cells is written "
                "\"0\""},
        BadFile{"OldMacLineEndsLetters", "2 2\r1\rx3\r", "line 3: expected run lengths, found 'x3'"},
        BadFile{"ByteOrderMarkThenLetters",
                "\xEF\xBB\xBF"
                "2 2\nx3\n",
                "line 2: expected run lengths, found 'x3'"},
        BadFile{"ByteOrderMarkThenText",
                "\xEF\xBB\xBF"
                "rows 3 4\n",
                "line 1: expected the number of rows, found 'rows'"},
        BadFile{"LongGarbageLine", "1 1\n" + std::string(5000, 'z') + "\n",
                "line 2: expected run lengths, found 'zzzzzzzzzzzzzzzzzzzz...'"}),
    [](const ::testing::TestParamInfo<BadFile>& info) { return info.param.name; });

TEST_F(ClueFileTest, AGridLargerThanTheLimitIsRefusedBeforeItIsMade) {
    CPuzzleFile puzzle;
    puzzle.SetMaxCells(11);
    m_strPath = m_dir.Write("big.tb", kExample);
    puzzle.Load(m_strPath.c_str());
    EXPECT_EQ(puzzle.GetLoadError(), m_strPath + ": line 1: a grid of 3 x 4 cells is more than the limit of 11 cells");
    CPuzzleFile huge;
    huge.Load(m_dir.Write("huge.tb", "32767 32767\n").c_str());
    EXPECT_NE(huge.GetLoadError().find("a grid of 32767 x 32767 cells needs 4095 MiB, more than the limit of 16777216 "
                                       "cells"),
              std::string::npos)
        << huge.GetLoadError();
    EXPECT_EQ(huge.GetHeight(), 0);
}

TEST(ClueFileLoad, APathThatDoesNotExistLeavesAnEmptyPuzzleAndReturnsZero) {
    CPuzzleFile puzzle;
    EXPECT_EQ(puzzle.Load("/nonexistent/cat.tb"), 0);
    EXPECT_EQ(puzzle.GetHeight(), 0);
    EXPECT_EQ(puzzle.GetLoadError(), "/nonexistent/cat.tb: cannot open the file: No such file or directory");
}

TEST(ClueFileLoad, AFolderIsReportedAsAReadErrorNotAsAnEmptyFile) {
    TempDir dir;
    CPuzzleFile puzzle;
    puzzle.Load(dir.Path().c_str());
    EXPECT_EQ(puzzle.GetLoadError(), dir.Path().string() + ": cannot read the file: Is a directory");
    EXPECT_EQ(puzzle.GetHeight(), 0);
}

TEST(ClueFileLoad, ASecondLoadReplacesTheFirstPuzzle) {
    TempDir dir;
    CPuzzleFile puzzle;
    puzzle.Load(dir.Write("a.tb", kExample).c_str());
    puzzle.Load(dir.Write("b.tb", "1 1\n1\n\n1\n").c_str());
    EXPECT_EQ(puzzle.GetHeight(), 1);
    EXPECT_EQ(puzzle.GetRowClueCount(0), 1);
}

} // namespace
