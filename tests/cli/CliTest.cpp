// Runs the tabulon-cli executable as a user would and checks what it prints
// and the exit status.

#include "io/BmpFile.h"
#include "model/PuzzleFile.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

#include <cctype>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <pty.h>
#include <random>
#include <regex>
#include <set>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

struct CliRun {
    int nStatus = -1;
    std::string strOut;
    std::string strErr;
};

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

class CliTest : public ::testing::Test {
  protected:
    // Runs tabulon-cli with `args` (already quoted for the shell).
    CliRun Run(const std::string& args) {
        const auto out = m_dir.Path() / "stdout", err = m_dir.Path() / "stderr";
        const std::string command =
            std::string(TABULON_CLI) + " " + args + " >" + out.string() + " 2>" + err.string() + " </dev/null";
        const int nRaw = std::system(command.c_str());
        CliRun run;
        run.nStatus = WIFEXITED(nRaw) ? WEXITSTATUS(nRaw) : -1;
        run.strOut = ReadAll(out);
        run.strErr = ReadAll(err);
        return run;
    }

    std::string Data(const char* pszName) { return std::string(TABULON_TEST_DATA) + "/" + pszName; }

    TempDir m_dir;
};

TEST_F(CliTest, PrintsTheTraceAndTheSolvedGrid) {
    CliRun run = Run("--trace --grid " + Data("example-3x4.tb"));
    EXPECT_EQ(run.nStatus, 0);
    EXPECT_EQ(run.strOut, "1\nXX-X\n-XXX\nX---\n");
    EXPECT_EQ(run.strErr.rfind(Data("example-3x4.tb") + ": solved, 3 x 4, ", 0), 0u) << run.strErr;
}

struct OutcomeCase {
    const char* file;
    int nStatus;
    const char* summary; // what the summary line holds after "<path>: "
};

TEST_F(CliTest, ExitStatusAndSummaryNameTheOutcome) {
    const OutcomeCase cases[] = {
        {"example-3x4.tb", 0, "solved, 3 x 4"},
        {"unequal-totals.tb", 1, "refused, 2 x 4"},
        {"ambiguous-2x2.tb", 2, "incomplete, 2 x 2"},
        {"contradictory-2x2.tb", 3, "no solution, 2 x 2"},
        {"bad-letters.tb", 4, "line 3: expected run lengths, found 'x3'"},
        {"no-such-file.tb", 4, "error: Cannot open "},
    };
    for (const OutcomeCase& c : cases) {
        CliRun run = Run(Data(c.file));
        SCOPED_TRACE(c.file);
        EXPECT_EQ(run.nStatus, c.nStatus);
        EXPECT_NE(run.strErr.find(c.summary), std::string::npos) << run.strErr;
        EXPECT_EQ(std::count(run.strErr.begin(), run.strErr.end(), '\n'), 1) << run.strErr;
    }
}

TEST_F(CliTest, RefusalsSayWhy) {
    CliRun run = Run(Data("unequal-totals.tb"));
    EXPECT_NE(run.strErr.find("the row clues fill 7 cells but the column clues fill 8"), std::string::npos);
    run = Run(Data("ambiguous-2x2.tb"));
    EXPECT_NE(run.strErr.find("line logic decided 0 of 4 cells"), std::string::npos);
}

TEST_F(CliTest, SeveralFilesGiveTheWorstStatusAndKeepTheirOrderInParallel) {
    std::string files = "--trace --grid";
    for (int k = 0; k < 6; ++k)
        for (const char* name : {"example-3x4.tb", "ambiguous-2x2.tb", "bad-letters.tb", "contradictory-2x2.tb"})
            files.append(" ").append(Data(name));
    CliRun serial = Run("-j 1 " + files);
    CliRun parallel = Run("-j 3 " + files);
    EXPECT_EQ(serial.nStatus, 4);
    EXPECT_EQ(parallel.nStatus, 4);
    EXPECT_EQ(parallel.strOut, serial.strOut);
    auto withoutTimes = [](std::string text) { // "0.12 ms" -> "ms"
        for (size_t nMs = text.find(" ms"); nMs != std::string::npos; nMs = text.find(" ms", nMs + 1)) {
            size_t nStart = nMs;
            while (nStart > 0 &&
                   (std::isdigit(static_cast<unsigned char>(text[nStart - 1])) || text[nStart - 1] == '.'))
                --nStart;
            text.erase(nStart, nMs - nStart);
            nMs = nStart;
        }
        return text;
    };
    EXPECT_EQ(withoutTimes(parallel.strErr), withoutTimes(serial.strErr));
    EXPECT_EQ(std::count(serial.strErr.begin(), serial.strErr.end(), '\n'), 24);
}

TEST_F(CliTest, SavesTheSolutionTextNextToTheClueFile) {
    const std::string strPath = m_dir.Write("cat.tb", ReadAll(Data("example-3x4.tb")));
    CliRun run = Run("--save-text " + strPath);
    EXPECT_EQ(run.nStatus, 0);
    EXPECT_EQ(ReadAll(strPath + "r"), "XX-X\n-XXX\nX---\n");
    EXPECT_NE(run.strErr.find("File saved as " + strPath + "r"), std::string::npos);
}

uint32_t Le32At(const std::string& bytes, size_t nOffset) {
    uint32_t value = 0;
    for (size_t i = 4; i-- > 0;)
        value = (value << 8) | static_cast<uint8_t>(bytes[nOffset + i]);
    return value;
}

TEST_F(CliTest, WritesTheTextAndBothBitmapsNextToTheClueFile) {
    const std::string strPath = m_dir.Write("cat.tb", ReadAll(Data("example-3x4.tb")));
    CliRun run = Run("--save-text --save-bmp " + strPath);
    EXPECT_EQ(run.nStatus, 0) << run.strErr;
    EXPECT_EQ(ReadAll(strPath + "r"), "XX-X\n-XXX\nX---\n");
    const std::string cells = ReadAll(strPath + ".bmp");
    ASSERT_EQ(cells.size(), 54u + 3 * 12);
    EXPECT_EQ(Le32At(cells, 18), 4u);
    EXPECT_EQ(Le32At(cells, 22), 3u);
    if (!TABULON_CLI_DRAWS)
        GTEST_SKIP() << "built without the drawing module: no whole picture";
    run = Run("--save-all-bmp --cell-size 12x10 " + strPath);
    EXPECT_EQ(run.nStatus, 0) << run.strErr;
    // the whole picture: 2 row clue slots and 4 columns of pitch 15, 2 column
    // clue slots and 3 rows of pitch 13
    const std::string all = ReadAll(strPath + "_all.bmp");
    ASSERT_GT(all.size(), 54u);
    EXPECT_EQ(Le32At(all, 18), 15u * 6 + 8);
    EXPECT_EQ(Le32At(all, 22), 13u * 5 + 8);
    EXPECT_NE(run.strErr.find("Saved. " + strPath + "_all.bmp"), std::string::npos) << run.strErr;
}

TEST_F(CliTest, SolvingDoesNotLoadTheGuiLibraries) {
    const std::string strLog = (m_dir.Path() / "loaded").string();
    const std::string command = "LD_DEBUG=files LD_DEBUG_OUTPUT=" + strLog + " " + TABULON_CLI +
                                " --save-text --save-bmp " + m_dir.Write("cat.tb", ReadAll(Data("example-3x4.tb")));
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string loaded;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path()))
        if (entry.path().filename().string().starts_with("loaded"))
            loaded += ReadAll(entry.path());
    if (TABULON_CLI_STATIC) // no loader at all, unless it wrongly ran its dynamically linked drawing twin
        EXPECT_EQ(loaded, "");
    else
        EXPECT_NE(loaded.find("libc.so"), std::string::npos) << "the loader's log is there";
    EXPECT_EQ(loaded.find("libQt6"), std::string::npos);
}

// The clues of a random 2000 x 2000 picture: hundreds of runs on every
// line, seconds of line logic, far more than a short time limit allows.
std::string LargeClueFile() {
    constexpr int kSide = 2000;
    std::mt19937 random(3);
    std::vector<std::string> picture(kSide, std::string(kSide, '-'));
    for (std::string& row : picture)
        for (char& cell : row)
            cell = random() % 2 ? 'X' : '-';
    return ClueFileText(picture);
}

TEST_F(CliTest, ATimeoutStopsTheSolveWithStatusFive) {
    const std::string strPath = m_dir.Write("large.tb", LargeClueFile());
    CliRun run = Run("--timeout 0.2 --save-text " + strPath);
    EXPECT_EQ(run.nStatus, 5) << run.strErr;
    EXPECT_NE(run.strErr.find(strPath + ": stopped, 2000 x 2000"), std::string::npos) << run.strErr;
    EXPECT_EQ(ReadAll(strPath + "r").size(), 2000u * 2001u) << "the cells decided so far are saved";
}

// A 12 x 12 grid with one cell in every line: counting its 12! pictures runs
// far longer than a test waits.
std::string PermutationsClueFile() {
    std::vector<std::string> picture(12, std::string(12, '-'));
    for (size_t i = 0; i < picture.size(); ++i)
        picture[i][i] = 'X';
    return ClueFileText(picture);
}

// The limit runs out while the whole picture is still being drawn, before
// the solve begins (which forgets earlier requests to stop): it must stop
// the solve all the same.
TEST_F(CliTest, ATimeoutThatEndsBeforeTheSolveBeginsStillStopsIt) {
    if (!TABULON_CLI_DRAWS)
        GTEST_SKIP() << "built without the drawing module: no whole picture";
    const std::string strPath = m_dir.Write("count.tb", PermutationsClueFile());
    CliRun run = Run("--save-all-bmp --cell-size 200x200 --max-solutions 1000000000 --timeout 0.001 " + strPath);
    EXPECT_EQ(run.nStatus, 5) << run.strErr;
    EXPECT_NE(run.strErr.find(strPath + ": stopped"), std::string::npos) << run.strErr;
}

// True once the process blocks SIGINT, which it does before it reads a file.
bool BlocksInterrupt(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string strLine; std::getline(status, strLine);)
        if (strLine.rfind("SigBlk:", 0) == 0)
            return (std::stoull(strLine.substr(7), nullptr, 16) >> (SIGINT - 1)) & 1;
    return false;
}

TEST_F(CliTest, CtrlCStopsTheSolveUnderWayAndSkipsTheRest) {
    const std::string strPath = m_dir.Write("permutations.tb", PermutationsClueFile());
    const auto err = m_dir.Path() / "stderr";
    const std::string strErrPath = err.string(), strMax = "--max-solutions", strCount = "1000000000";
    const std::string strData = Data("example-3x4.tb");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, strErrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args = {TABULON_CLI, "-j", "1", strMax, strCount, strPath, strData};
    std::vector<char*> argv;
    for (std::string& strArg : args)
        argv.push_back(strArg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, TABULON_CLI, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    int nRaw = 0;
    // A guard against hanging, not a measure of speed.
    auto ended = [&](int nTries) {
        for (int k = 0; k < nTries; ++k, std::this_thread::sleep_for(std::chrono::milliseconds(10)))
            if (waitpid(pid, &nRaw, WNOHANG) == pid)
                return true;
        return false;
    };
    auto killAndFail = [&](const char* pszWhy) {
        kill(pid, SIGKILL);
        waitpid(pid, &nRaw, 0);
        FAIL() << pszWhy;
    };
    for (int k = 0; !BlocksInterrupt(pid); ++k) {
        ASSERT_FALSE(ended(1)) << "ended before it blocked SIGINT";
        if (k == 6000)
            return killAndFail("SIGINT not blocked after a minute");
    }
    ASSERT_FALSE(ended(10)) << "the count ended";
    ASSERT_EQ(kill(pid, SIGINT), 0);
    if (!ended(6000))
        return killAndFail("still running a minute after Ctrl+C");
    ASSERT_TRUE(WIFEXITED(nRaw)) << "ended by signal " << (WIFSIGNALED(nRaw) ? WTERMSIG(nRaw) : 0);
    EXPECT_EQ(WEXITSTATUS(nRaw), 130);
    const std::string strErr = ReadAll(err);
    EXPECT_NE(strErr.find(strPath + ": stopped ("), std::string::npos) << strErr;
    EXPECT_EQ(strErr.find(strData), std::string::npos) << "the second file is not begun: " << strErr;
    EXPECT_NE(strErr.find("interrupted; 1 file(s) not begun"), std::string::npos) << strErr;
}

TEST_F(CliTest, OnATerminalAProgressLineNamesTheFileAndMakesWayForTheSummary) {
    const std::string strPath = m_dir.Write("permutations.tb", PermutationsClueFile());
    int nTerminal = -1;
    const pid_t pid = forkpty(&nTerminal, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) { // the child: stdout and stderr are the terminal
        execl(TABULON_CLI, TABULON_CLI, "--timeout", "2.5", "--max-solutions", "1000000000", strPath.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string strShown;
    char buffer[256];
    for (ssize_t n; (n = read(nTerminal, buffer, sizeof buffer)) > 0;) // -1 (EIO) once the child is gone
        strShown.append(buffer, static_cast<size_t>(n));
    close(nTerminal);
    int nRaw = 0;
    ASSERT_EQ(waitpid(pid, &nRaw, 0), pid);
    ASSERT_TRUE(WIFEXITED(nRaw));
    EXPECT_EQ(WEXITSTATUS(nRaw), 5);
    // Ticks come once a second, from the first whole second of the solve on.
    const bool bShown = strShown.find("solving permutations.tb 1 s") != std::string::npos ||
                        strShown.find("solving permutations.tb 2 s") != std::string::npos;
    EXPECT_TRUE(bShown) << strShown;
    EXPECT_NE(strShown.find(" s\r\033[K" + strPath + ": stopped ("), std::string::npos)
        << "the line is cleared before the summary: " << strShown;
}

TEST_F(CliTest, LimitsRefuseWhatTheyDoNotAllow) {
    CliRun run = Run("--max-cells 11 " + Data("example-3x4.tb"));
    EXPECT_EQ(run.nStatus, 4);
    EXPECT_NE(run.strErr.find("more than the limit of 11 cells"), std::string::npos) << run.strErr;
    if (!TABULON_CLI_DRAWS)
        GTEST_SKIP() << "built without the drawing module: no whole picture";
    const std::string strPath = m_dir.Write("cat.tb", ReadAll(Data("example-3x4.tb")));
    run = Run("--save-all-bmp --cell-size 1000x1000 --max-picture-mib 1 " + strPath);
    EXPECT_EQ(run.nStatus, 4);
    EXPECT_NE(run.strErr.find("error: Cannot draw the puzzle: the picture of this puzzle would be"), std::string::npos)
        << run.strErr;
}

TEST_F(CliTest, CompleteSolvingProvesUniquenessOrShowsTwoSolutions) {
    CliRun run = Run("--unique --grid " + Data("ambiguous-2x2.tb"));
    EXPECT_EQ(run.nStatus, 6);
    EXPECT_EQ(run.strOut, "X-\n-X\n\n-X\nX-\n");
    EXPECT_NE(run.strErr.find("multiple (2 solutions found)"), std::string::npos) << run.strErr;
    run = Run("--unique " + Data("example-3x4.tb"));
    EXPECT_EQ(run.nStatus, 0);
    EXPECT_NE(run.strErr.find(": unique, 3 x 4"), std::string::npos) << run.strErr;
    run = Run("--complete " + Data("contradictory-2x2.tb"));
    EXPECT_EQ(run.nStatus, 3);
    run = Run("-q --max-solutions 5 " + Data("ambiguous-2x2.tb"));
    EXPECT_EQ(run.nStatus, 6);
}

// A count with --grid prints every solution it counts, each once, a blank
// line between two; before, only the first two of them.
TEST_F(CliTest, ACountWithGridPrintsEverySolutionItCounts) {
    std::string strClues = "5 5\n";
    for (int i = 0; i < 10; ++i)
        strClues += i == 5 ? "\n1\n" : "1\n"; // a permutation grid: 120 solutions
    const std::string strPath = m_dir.Write("perm5.tb", strClues);
    for (const int nMax : {7, 120, 1000}) {
        const CliRun run = Run("--max-solutions " + std::to_string(nMax) + " --grid " + strPath);
        SCOPED_TRACE(nMax);
        EXPECT_EQ(run.nStatus, 6);
        const int nCounted = std::min(nMax, 120);
        EXPECT_NE(run.strErr.find("multiple (" + std::to_string(nCounted) + " solutions found)"), std::string::npos)
            << run.strErr;
        std::set<std::string> grids;
        size_t nGrids = 0;
        for (size_t nFrom = 0; nFrom < run.strOut.size(); ++nGrids) {
            const size_t nEnd = std::min(run.strOut.find("\n\n", nFrom), run.strOut.size());
            const std::string strGrid = run.strOut.substr(nFrom, nEnd - nFrom);
            EXPECT_EQ(std::count(strGrid.begin(), strGrid.end(), 'X'), 5) << strGrid;
            grids.insert(strGrid);
            nFrom = nEnd + 2;
        }
        EXPECT_EQ(nGrids, static_cast<size_t>(nCounted));
        EXPECT_EQ(grids.size(), static_cast<size_t>(nCounted)) << "each solution once";
    }
}

// No solution: the grid printed is what line logic decided before it met
// the contradiction, never one that looks finished (here the column no
// placement fits stays unknown, and with it every cell).
TEST_F(CliTest, ANoSolutionGridNeverLooksFinished) {
    const std::string strPath = m_dir.Write("ns.tb", "5 1\n1\n0\n1\n0\n1\n\n2 1\n");
    const CliRun run = Run("--complete --grid " + strPath);
    EXPECT_EQ(run.nStatus, 3);
    EXPECT_EQ(run.strOut, " \n \n \n \n \n");
}

TEST_F(CliTest, ConvertsOtherFormatsAndChecksTheGoal) {
    const std::string strNon = m_dir.Write("cat.non", "width 4\nheight 3\nrows\n2,1\n3\n1\ncolumns\n1,1\n2\n1\n2\n"
                                                      "goal 110101111000\n");
    CliRun run = Run("--convert-to-tb --check-goal " + strNon);
    EXPECT_EQ(run.nStatus, 0) << run.strErr;
    EXPECT_EQ(ReadAll(strNon + ".tb"), ReadAll(Data("example-3x4.tb")));
    EXPECT_NE(run.strErr.find("the grid matches the goal"), std::string::npos) << run.strErr;
    const std::string strWrong = m_dir.Write("wrong.non", "width 4\nheight 3\nrows\n2,1\n3\n1\ncolumns\n1,1\n2\n1\n2\n"
                                                          "goal 110101111001\n");
    run = Run("--check-goal " + strWrong);
    EXPECT_EQ(run.nStatus, 7);
    EXPECT_NE(run.strErr.find("differs from the goal at row 3, column 4"), std::string::npos) << run.strErr;
    // Line logic leaves this one unfinished: the status stays "incomplete".
    const std::string strAmbiguous = m_dir.Write("ambiguous.non", "width 2\nheight 2\nrows\n1\n1\ncolumns\n1\n1\n"
                                                                  "goal 1001\n");
    run = Run("--check-goal " + strAmbiguous);
    EXPECT_EQ(run.nStatus, 2);
    EXPECT_NE(run.strErr.find("not checked against the goal: the grid is not solved"), std::string::npos) << run.strErr;
}

// Each format written keeps what it can hold: the goal goes along into
// .non and XML, which --check-goal then reads back.
TEST_F(CliTest, ConvertsToEachFormatKeepingTheGoalWhereTheFormatHoldsIt) {
    const std::string strNon = m_dir.Write("cat.non", "title \"Cat & <dog>\"\nwidth 4\nheight 3\nrows\n"
                                                      "2,1\n3\n1\ncolumns\n1,1\n2\n1\n2\ngoal 110101111000\n");
    CliRun run = Run("--convert-to non --convert-to xml --convert-to tb --convert-to xml " + strNon);
    EXPECT_EQ(run.nStatus, 0) << run.strErr;
    EXPECT_EQ(ReadAll(strNon + ".tb"), ReadAll(Data("example-3x4.tb")));
    for (const char* pszFormat : {"non", "xml"}) {
        SCOPED_TRACE(pszFormat);
        const std::string strWritten = strNon + "." + pszFormat;
        EXPECT_EQ(std::count(run.strErr.begin(), run.strErr.end(), '\n'), 4) << run.strErr;
        EXPECT_NE(run.strErr.find("Converted to " + strWritten + "\n"), std::string::npos) << run.strErr;
        CliRun again = Run("--check-goal --convert-to tb " + strWritten);
        EXPECT_EQ(again.nStatus, 0) << again.strErr;
        EXPECT_NE(again.strErr.find(strWritten + ": the grid matches the goal"), std::string::npos) << again.strErr;
        EXPECT_EQ(ReadAll(strWritten + ".tb"), ReadAll(Data("example-3x4.tb")));
    }
    // --convert-to-tb is --convert-to tb: the same file, written once.
    const std::string strCopy = m_dir.Write("copy.non", ReadAll(strNon));
    run = Run("-q --convert-to-tb --convert-to tb " + strCopy);
    EXPECT_EQ(run.nStatus, 0) << run.strErr;
    EXPECT_EQ(ReadAll(strCopy + ".tb"), ReadAll(Data("example-3x4.tb")));

    for (const char* pszArgs : {"--convert-to png ", "--convert-to "}) {
        run = Run(pszArgs + strCopy);
        EXPECT_EQ(run.nStatus, 64) << pszArgs;
        EXPECT_NE(run.strErr.find("--help"), std::string::npos) << run.strErr;
    }
}

TEST_F(CliTest, OpensTheFirstPuzzleOfAnXmlSetConvertsItAndChecksItsGoal) {
    const std::string strSet = m_dir.Write("set.xml", ReadAll(Data("example-3x4.xml")));
    CliRun run = Run("--convert-to-tb --check-goal --grid " + strSet);
    EXPECT_EQ(run.nStatus, 0) << run.strErr;
    EXPECT_EQ(run.strOut, "XX-X\n-XXX\nX---\n");
    EXPECT_EQ(ReadAll(strSet + ".tb"), ReadAll(Data("example-3x4.tb")));
    EXPECT_NE(run.strErr.find(strSet + " holds 2 puzzles; opened the first\n"), std::string::npos) << run.strErr;
    EXPECT_NE(run.strErr.find("the grid matches the goal"), std::string::npos) << run.strErr;

    const std::string strOne =
        m_dir.Write("one.pbn", "<puzzle><clues type='rows'><line><count>1</count></line><line/></clues>"
                               "<clues type='columns'><line/><line><count>1</count></line></clues>"
                               "<solution><image>|X.|\n|..|</image></solution></puzzle>");
    run = Run("--check-goal " + strOne);
    EXPECT_EQ(run.nStatus, 7);
    EXPECT_NE(run.strErr.find("differs from the goal at row 1, column 1"), std::string::npos) << run.strErr;
    EXPECT_EQ(run.strErr.find("puzzles; opened the first"), std::string::npos) << "one puzzle is not announced";

    const std::string strColour = m_dir.Write(
        "colour.xml", "<puzzle>\n<clues type='rows'>\n<line><count color='red'>1</count></line></clues></puzzle>");
    run = Run(strColour);
    EXPECT_EQ(run.nStatus, 4);
    EXPECT_NE(run.strErr.find("line 3: colour puzzles are not supported"), std::string::npos) << run.strErr;
}

// A file name for the shell, whatever bytes it holds but NUL.
std::string ShellQuoted(const std::string& strName) {
    std::string strQuoted = "'";
    for (char ch : strName)
        strQuoted += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return strQuoted + "'";
}

std::string Base64Decoded(std::string_view text) {
    const std::string_view kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string strOut;
    uint32_t nBits = 0;
    int nHeld = 0;
    for (char ch : text) {
        const size_t nDigit = kDigits.find(ch);
        if (nDigit == std::string_view::npos)
            continue; // '=' and the line end
        nBits = (nBits << 6) | static_cast<uint32_t>(nDigit);
        if ((nHeld += 6) >= 8) {
            nHeld -= 8;
            strOut += static_cast<char>((nBits >> nHeld) & 0xFF);
        }
    }
    return strOut;
}

// Text that a regular expression matches as it is.
std::string Literal(const std::string& strText) {
    return std::regex_replace(strText, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
}

// The lines of a text.
std::vector<std::string> Lines(const std::string& strText) {
    std::vector<std::string> lines;
    std::istringstream in(strText);
    for (std::string strLine; std::getline(in, strLine);)
        lines.push_back(strLine);
    return lines;
}

// A puzzle of each class, one the reader refuses, and clues refused before
// solving; with what --rate says of each and its exit status alone.
struct RatedFile {
    const char* file;
    const char* rating; // a regular expression after "<path>: "
    int nStatus;
};
const RatedFile kRatedFiles[] = {
    {"example-3x4.tb", "line 2", 0},
    {"needs-probing-6x6.tb", "probing [1-9][0-9]*", 0},
    {"needs-search-8x8.tb", "search [2-9][0-9]*", 0},
    {"ambiguous-2x2.tb", "multiple [1-9][0-9]*", 6},
    {"contradictory-2x2.tb", "none 0", 3},
    {"unequal-totals.tb", "none 0", 1},
    {"bad-letters.tb", "unreadable", 4},
};

TEST_F(CliTest, RateGivesEveryFileALineWithItsClassAndScoreInInputOrder) {
    std::string strFiles;
    for (const RatedFile& rated : kRatedFiles)
        strFiles += " " + Data(rated.file);
    const CliRun serial = Run("-j 1 --rate" + strFiles);
    EXPECT_EQ(serial.nStatus, 6);
    const std::vector<std::string> lines = Lines(serial.strOut);
    ASSERT_EQ(lines.size(), std::size(kRatedFiles)) << serial.strOut;
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(
            std::regex_match(lines[i], std::regex(Literal(Data(kRatedFiles[i].file)) + ": " + kRatedFiles[i].rating)))
            << lines[i];
    EXPECT_EQ(Run("-j 3 --rate" + strFiles).strOut, serial.strOut);
    // Why clues have no solution, on stderr.
    EXPECT_NE(
        serial.strErr.find(Data("unequal-totals.tb") + ": the row clues fill 7 cells but the column clues fill 8"),
        std::string::npos)
        << serial.strErr;
    for (const RatedFile& rated : kRatedFiles) {
        SCOPED_TRACE(rated.file);
        EXPECT_EQ(Run("-q --rate " + Data(rated.file)).nStatus, rated.nStatus);
    }
}

TEST_F(CliTest, ARatingTheTimeoutStopsIsUnknown) {
    const std::string strPath = m_dir.Write("large.tb", LargeClueFile());
    CliRun run = Run("--rate --timeout 0.2 " + strPath);
    EXPECT_EQ(run.nStatus, 5) << run.strErr;
    EXPECT_EQ(run.strOut, strPath + ": unknown\n");
    run = Run("--rate --json --timeout 0.2 " + strPath);
    EXPECT_EQ(run.nStatus, 5) << run.strErr;
    EXPECT_TRUE(
        std::regex_match(run.strOut, std::regex("\\{\"file\":\"" + Literal(strPath) +
                                                "\",\"rows\":2000,\"columns\":2000,\"outcome\":\"stopped\","
                                                "\"ms\":[0-9]+\\.[0-9]{3},\"class\":\"unknown\",\"score\":null\\}\n")))
        << run.strOut;
}

// What a JSON reader of its own (jq) finds in each line: every member a
// script would ask for, in input order however many files run at once.
TEST_F(CliTest, JsonGivesOneObjectPerFileThatAJsonReaderReads) {
    std::string strFiles;
    for (const RatedFile& rated : kRatedFiles)
        strFiles += " " + Data(rated.file);
    const std::string strFields = "jq -r '[.file, .rows, .columns, .outcome, .solutions, .class, .score, .error] | "
                                  "map(if . == null then \"-\" else tostring end) | join(\" \")' ";
    const std::string strOut = (m_dir.Path() / "stdout").string(), strRead = (m_dir.Path() / "read").string();
    const auto read = [&] {
        EXPECT_EQ(std::system((strFields + strOut + " >" + strRead).c_str()), 0) << ReadAll(strOut);
        return Lines(ReadAll(strRead));
    };
    const auto withoutTimes = [](const std::string& strText) {
        return std::regex_replace(strText, std::regex("\"ms\":[0-9]+\\.[0-9]{3}"), "\"ms\":0");
    };

    CliRun run = Run("--json --rate -j 1" + strFiles);
    EXPECT_EQ(run.nStatus, 6);
    const std::string strRated = run.strOut;
    EXPECT_EQ(Lines(run.strErr).size(), 3u) << "the two notes and the reader's error: " << run.strErr;
    std::vector<std::string> fields = read();
    ASSERT_EQ(fields.size(), std::size(kRatedFiles)) << run.strOut;
    const char* rated[] = {"3 4 unique 1 line 2 -",        "6 6 unique 1 probing [0-9]+ -",
                           "8 8 unique 1 search [0-9]+ -", "2 2 multiple 2 multiple [0-9]+ -",
                           "2 2 no solution 0 none 0 -",   "2 4 refused 0 none 0 -",
                           "- - unreadable - - - "};
    for (size_t i = 0; i < fields.size(); ++i)
        EXPECT_TRUE(std::regex_match(fields[i], std::regex(Literal(Data(kRatedFiles[i].file)) + " " + rated[i] + ".*")))
            << fields[i];
    EXPECT_EQ(withoutTimes(Run("--json --rate -j 3" + strFiles).strOut), withoutTimes(strRated));

    run = Run("--json --unique --grid --check-goal -j 2 " + Data("ambiguous-2x2.tb") + " " + Data("example-3x4.xml"));
    EXPECT_EQ(run.nStatus, 6);
    EXPECT_EQ(withoutTimes(run.strOut),
              "{\"file\":\"" + Data("ambiguous-2x2.tb") +
                  "\",\"rows\":2,\"columns\":2,\"outcome\":\"multiple\",\"ms\":0,\"solutions\":2,\"nodes\":5,"
                  "\"grid\":[\"X-\",\"-X\"],\"second_grid\":[\"-X\",\"X-\"],\"goal\":\"none\"}\n"
                  "{\"file\":\"" +
                  Data("example-3x4.xml") +
                  "\",\"rows\":3,\"columns\":4,\"outcome\":\"unique\",\"ms\":0,\"solutions\":1,\"nodes\":0,"
                  "\"grid\":[\"XX-X\",\"-XXX\",\"X---\"],\"goal\":\"matches\"}\n");
    EXPECT_NE(run.strErr.find("multiple (2 solutions found)"), std::string::npos) << "the summary stays on stderr";
    EXPECT_EQ(read().size(), 2u);

    run = Run("--json -q " + Data("ambiguous-2x2.tb") + " " + Data("example-3x4.tb"));
    EXPECT_EQ(run.strErr, "");
    fields = read();
    ASSERT_EQ(fields.size(), 2u) << run.strOut;
    EXPECT_EQ(fields[0], Data("ambiguous-2x2.tb") + " 2 2 incomplete - - - -");
    EXPECT_EQ(fields[1], Data("example-3x4.tb") + " 3 4 solved - - - -");
    EXPECT_NE(run.strOut.find("\"note\":\"line logic decided 0 of 4 cells\""), std::string::npos) << run.strOut;
}

// File names may hold any byte but '/' and NUL: a JSON reader gets each
// back (as Unicode: a byte that is not UTF-8 becomes U+FFFD).
TEST_F(CliTest, JsonCarriesAnyFileName) {
    const std::pair<std::string, std::string> names[] = {
        {"qu\"ote's.tb", "qu\"ote's.tb"},
        {"back\\slash.tb", "back\\slash.tb"},
        {"new\nline\ttab\r.tb", "new\nline\ttab\r.tb"},
        {"control\x01\x1f\x7f.tb", "control\x01\x1f\x7f.tb"},
        {"caf\xC3\xA9 \xF0\x9F\x98\x80.tb", "caf\xC3\xA9 \xF0\x9F\x98\x80.tb"},
        {"bad\xFF"
         "byte.tb",
         "bad\xEF\xBF\xBD"
         "byte.tb"},
    };
    std::string strFiles;
    for (const auto& [strName, strRead] : names)
        strFiles += " " + ShellQuoted(m_dir.Write(strName, ReadAll(Data("example-3x4.tb"))));
    const CliRun run = Run("--json -q" + strFiles);
    EXPECT_EQ(run.nStatus, 0) << run.strErr;
    const std::string strOut = (m_dir.Path() / "stdout").string(), strRead = (m_dir.Path() / "read").string();
    ASSERT_EQ(std::system(("jq -r '.file | @base64' " + strOut + " >" + strRead).c_str()), 0) << run.strOut;
    const std::vector<std::string> read = Lines(ReadAll(strRead));
    ASSERT_EQ(read.size(), std::size(names)) << run.strOut;
    for (size_t i = 0; i < read.size(); ++i)
        EXPECT_EQ(Base64Decoded(read[i]), (m_dir.Path() / names[i].second).string()) << i;
}

TEST_F(CliTest, RateAndJsonRefuseWhatTheyCannotDo) {
    const std::string strPath = Data("example-3x4.tb");
    for (const char* pszArgs : {"--rate --unique ", "--rate --complete ", "--rate --max-solutions 3 ", "--rate --grid ",
                                "--rate --trace ", "--rate --save-text ", "--rate --check-goal ", "--json --trace "}) {
        const CliRun run = Run(pszArgs + strPath);
        SCOPED_TRACE(pszArgs);
        EXPECT_EQ(run.nStatus, 64);
        EXPECT_NE(run.strErr.find("--help"), std::string::npos) << run.strErr;
        EXPECT_EQ(run.strOut, "");
    }
    // Converting needs the clues alone: it goes with a rating.
    const std::string strCopy = m_dir.Write("cat.tb", ReadAll(strPath));
    const CliRun run = Run("-q --rate --convert-to non " + strCopy);
    EXPECT_EQ(run.nStatus, 0) << run.strErr;
    EXPECT_EQ(run.strOut, strCopy + ": line 2\n");
    CPuzzleFile converted;
    converted.Load((strCopy + ".non").c_str());
    EXPECT_EQ(converted.GetLoadError(), "");
}

TEST_F(CliTest, AnUnwritableSolutionTextIsAnError) {
    const std::string strPath = m_dir.Write("cat.tb", ReadAll(Data("example-3x4.tb")));
    std::filesystem::create_directory(strPath + "r"); // a folder stands where the file would go
    CliRun run = Run("-q --save-text " + strPath);
    EXPECT_EQ(run.nStatus, 4);
    EXPECT_NE(run.strErr.find("error: Cannot write " + strPath + "r: "), std::string::npos) << run.strErr;
}

TEST_F(CliTest, QuietDropsTheSummaryButNotErrors) {
    EXPECT_EQ(Run("-q " + Data("example-3x4.tb")).strErr, "");
    CliRun run = Run("-q " + Data("bad-letters.tb"));
    EXPECT_EQ(run.nStatus, 4);
    EXPECT_NE(run.strErr.find("error: "), std::string::npos);
}

TEST_F(CliTest, BadUsageExitsWith64AndAHint) {
    for (const char* args :
         {"", "--no-such-option x.tb", "-j 0 x.tb", "-j two x.tb", "--cell-size 8 x.tb", "--cell-size 8x-1 x.tb",
          "--cell-size 4294967304x8 x.tb", "--timeout 0 x.tb", "--timeout nan x.tb", "--timeout 1e10 x.tb"}) {
        CliRun run = Run(args);
        SCOPED_TRACE(args);
        EXPECT_EQ(run.nStatus, 64);
        EXPECT_NE(run.strErr.find("--help"), std::string::npos) << run.strErr;
        EXPECT_EQ(run.strOut, "");
    }
}

TEST_F(CliTest, HelpAndVersionExitWithSuccess) {
    CliRun help = Run("--help");
    EXPECT_EQ(help.nStatus, 0);
    EXPECT_NE(help.strOut.find("--save-text"), std::string::npos);
    CliRun version = Run("--version");
    EXPECT_EQ(version.nStatus, 0);
    EXPECT_NE(version.strOut.find("tabulon-cli 5"), std::string::npos);
}

} // namespace

namespace {

// A picture as a BMP an image reader takes: 'X' black, '-' white, one
// pixel per character, scaled up by nScale.
std::string PictureBmp(const std::vector<std::string>& picture, int nScale) {
    const int nHeight = static_cast<int>(picture.size()) * nScale;
    const int nWidth = static_cast<int>(picture[0].size()) * nScale;
    std::vector<uint8_t> pixels;
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            pixels.insert(pixels.end(), 3, picture[y / nScale][x / nScale] == 'X' ? 0 : 255);
    return EncodeBmp24(nWidth, nHeight, pixels);
}

TEST_F(CliTest, FromImageWritesThePicturesCluesAndKeepsItAsTheGoal) {
    if (!TABULON_CLI_DRAWS)
        GTEST_SKIP() << "built without the drawing module: no image reader";
    const std::vector<std::string> picture = {"XX--X", "-XXX-", "X---X"};
    const std::string strImage = m_dir.Write("drawn.bmp", PictureBmp(picture, 7));
    CliRun run = Run("--from-image " + strImage + " --size 3x5");
    ASSERT_EQ(run.nStatus, 0) << run.strErr;
    EXPECT_EQ(run.strErr, "Imported " + strImage + " as " + strImage + ".tb, 3 x 5\n");
    CPuzzleFile tb;
    tb.Load((strImage + ".tb").c_str());
    EXPECT_EQ(CluesText(tb), CluesText(PuzzleFromPicture(picture)));

    const std::string strNon = (m_dir.Path() / "drawn.non").string();
    run = Run("-q --from-image " + strImage + " --size 3x5 --invert --threshold 128 -o " + strNon);
    ASSERT_EQ(run.nStatus, 0) << run.strErr;
    EXPECT_EQ(run.strErr, "");
    CPuzzleFile non;
    non.Load(strNon.c_str());
    EXPECT_EQ(non.GetExtras().strGoal, "001101000101110") << "the inverted picture";
}

TEST_F(CliTest, FromImageRefusesWhatItCannotReadOrMakeAndWritesNothing) {
    if (!TABULON_CLI_DRAWS)
        GTEST_SKIP() << "built without the drawing module: no image reader";
    const std::string strImage = m_dir.Write("drawn.bmp", PictureBmp({"X-", "-X"}, 4));
    const std::string strText = m_dir.Write("words.png", "not an image at all");
    const struct {
        std::string args;
        int nStatus;
        std::string strSays;
    } cases[] = {
        {"--from-image " + strText + " --size 2x2", 4, "cannot read " + strText},
        {"--from-image " + (m_dir.Path() / "none.png").string() + " --size 2x2", 4, "cannot read "},
        {"--from-image " + strImage + " --size 0x2", 64, "--size ROWSxCOLS"},
        {"--from-image " + strImage + " --size 2x40000", 64, "--size ROWSxCOLS"},
        {"--from-image " + strImage, 64, "--size ROWSxCOLS"},
        {"--from-image " + strImage + " --size 2x2 --threshold 256", 64, "grey level from 0 to 255"},
        {"--from-image " + strImage + " --size 2x2 --threshold dark", 64, "grey level from 0 to 255"},
        {"--from-image " + strImage + " --size 5000x5000", 64, "more cells than --max-cells"},
        {"--from-image " + strImage + " --size 2x2 " + Data("example-3x4.tb"), 64, "give no FILE"},
        {"--size 2x2 " + Data("example-3x4.tb"), 64, "go with --from-image"},
        {"", 64, "give a clue file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const CliRun run = Run(c.args);
        EXPECT_EQ(run.nStatus, c.nStatus);
        EXPECT_NE(run.strErr.find(c.strSays), std::string::npos) << run.strErr;
    }
    EXPECT_FALSE(std::filesystem::exists(strText + ".tb"));
    EXPECT_FALSE(std::filesystem::exists(strImage + ".tb"));
}

} // namespace
