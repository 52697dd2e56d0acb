#include "io/SolutionText.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/resource.h>

namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

CPuzzle PuzzleWithGrid(const std::vector<std::string>& rows) {
    CPuzzle puzzle;
    puzzle.SetSize(static_cast<int16_t>(rows.size()), static_cast<int16_t>(rows.empty() ? 0 : rows[0].size()));
    for (size_t r = 0; r < rows.size(); ++r) {
        std::vector<CellState> cells = ParseCells(rows[r]);
        for (size_t c = 0; c < cells.size(); ++c)
            puzzle.SetCell(static_cast<int>(r), static_cast<int>(c), cells[c]);
    }
    return puzzle;
}

TEST(SolutionText, WritesOneCharacterPerCellAndALineEndPerRow) {
    EXPECT_EQ(FormatSolutionText(PuzzleWithGrid({"X-.", "-XX"})), "X- \n-XX\n");
}

TEST(SolutionText, ZeroRowsGiveNothingAndZeroColumnsGiveEmptyLines) {
    EXPECT_EQ(FormatSolutionText(CPuzzle()), "");
    CPuzzle noColumns;
    noColumns.SetSize(3, 0);
    EXPECT_EQ(FormatSolutionText(noColumns), "\n\n\n");
}

TEST(SolutionText, SavingReplacesAnEarlierFileAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string strPath = dir.Write("cat.tbr", "old content that is longer than the new one\n");
    SaveResult result = SaveSolutionText(PuzzleWithGrid({"X-", "-X"}), strPath);
    ASSERT_TRUE(result.bOk) << result.strError;
    EXPECT_EQ(ReadAll(strPath), "X-\n-X\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(SolutionText, AFolderThatDoesNotExistIsReportedWithPathAndReason) {
    TempDir dir;
    const std::string strPath = (dir.Path() / "missing" / "cat.tbr").string();
    SaveResult result = SaveSolutionText(PuzzleWithGrid({"X"}), strPath);
    EXPECT_FALSE(result.bOk);
    EXPECT_EQ(result.strError, "cannot write " + strPath + ": No such file or directory");
}

TEST(SolutionText, AFailedRenameKeepsWhatStandsAtThePathAndCleansUp) {
    TempDir dir;
    const std::filesystem::path target = dir.Path() / "cat.tbr";
    std::filesystem::create_directory(target);
    dir.Write("cat.tbr/keep", "kept");
    SaveResult result = SaveSolutionText(PuzzleWithGrid({"X"}), target.string());
    EXPECT_FALSE(result.bOk);
    EXPECT_NE(result.strError.find("cannot write " + target.string() + ": "), std::string::npos);
    EXPECT_EQ(ReadAll(target / "keep"), "kept");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(SolutionText, ANameNearTheLengthLimitCanBeSaved) {
    TempDir dir;
    const std::string strPath = (dir.Path() / (std::string(250, 'q') + ".tbr")).string();
    SaveResult result = SaveSolutionText(PuzzleWithGrid({"X"}), strPath);
    ASSERT_TRUE(result.bOk) << result.strError;
    EXPECT_EQ(ReadAll(strPath), "X\n");
}

TEST(SolutionText, SavingThroughALinkReplacesTheFileItNamesAndKeepsTheLink) {
    TempDir dir;
    const std::string strFile = dir.Write("kept.txt", "old\n");
    const std::filesystem::path link = dir.Path() / "cat.tbr";
    std::filesystem::create_symlink("kept.txt", link);
    SaveResult result = SaveSolutionText(PuzzleWithGrid({"X"}), link.string());
    ASSERT_TRUE(result.bOk) << result.strError;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadAll(strFile), "X\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

TEST(SolutionText, TheReplacementKeepsThePermissionsOfTheReplacedFile) {
    using std::filesystem::perms;
    // Neither mode is what a new file gets under the usual umasks.
    for (const perms mode : {perms::owner_read | perms::owner_write, perms::owner_all | perms::group_read}) {
        TempDir dir;
        const std::string strPath = dir.Write("cat.tbr", "old\n");
        std::filesystem::permissions(strPath, mode);
        ASSERT_TRUE(SaveSolutionText(PuzzleWithGrid({"-"}), strPath).bOk);
        EXPECT_EQ(std::filesystem::status(strPath).permissions(), mode) << static_cast<int>(mode);
        EXPECT_EQ(ReadAll(strPath), "-\n");
    }
}

// A disk that fills up midway: the file size limit makes the write fail
// after a few bytes, as a full disk would.
TEST(SolutionText, AWriteThatFailsMidwayKeepsTheEarlierFile) {
    TempDir dir;
    const std::string strPath = dir.Write("big.tbr", "earlier\n");
    CPuzzle puzzle = PuzzleWithGrid(std::vector<std::string>(100, std::string(100, 'X')));

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 512;
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    SaveResult result = SaveSolutionText(puzzle, strPath);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(result.bOk);
    EXPECT_EQ(result.strError, "cannot write " + strPath + ": File too large");
    EXPECT_EQ(ReadAll(strPath), "earlier\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

} // namespace
