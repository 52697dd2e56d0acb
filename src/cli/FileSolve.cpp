#include "cli/FileSolve.h"

#include "io/SolutionText.h"
#include "model/PuzzleFile.h"

#include <chrono>
#include <cstdio>

namespace {

void AppendTraceLine(void* pContext, int nMode) {
    auto* pOut = static_cast<std::string*>(pContext);
    *pOut += static_cast<char>('0' + nMode);
    *pOut += '\n';
}

const char* OutcomeWords(int nResult) {
    switch (nResult) {
    case SOLVE_SOLVED:
        return "solved";
    case SOLVE_REFUSED:
        return "refused";
    case SOLVE_INCOMPLETE:
        return "incomplete";
    default:
        return "no solution";
    }
}

int64_t DecidedCells(const CPuzzle& puzzle) {
    int64_t nDecided = 0;
    for (int r = 0; r < puzzle.GetHeight(); ++r)
        for (int c = 0; c < puzzle.GetWidth(); ++c)
            nDecided += puzzle.GetCell(r, c) != CELL_UNKNOWN;
    return nDecided;
}

std::string Summary(const std::string& strPath, const CPuzzleFile& puzzle, int nResult, double dMs) {
    char szSize[64];
    std::snprintf(szSize, sizeof szSize, "%d x %d", puzzle.GetHeight(), puzzle.GetWidth());
    char szTime[32];
    std::snprintf(szTime, sizeof szTime, "%.2f ms", dMs);
    std::string strLine = strPath + ": " + OutcomeWords(nResult) + ", " + szSize + ", " + szTime;
    if (nResult == SOLVE_INCOMPLETE)
        strLine += ", " + std::to_string(DecidedCells(puzzle)) + " of " +
                   std::to_string(int64_t{puzzle.GetHeight()} * puzzle.GetWidth()) + " cells decided";
    if (!puzzle.GetSolveNote().empty())
        strLine += ": " + puzzle.GetSolveNote();
    return strLine + "\n";
}

} // namespace

FileReport SolveFile(const std::string& strPath, const CliOptions& options) {
    FileReport report;
    CPuzzleFile puzzle;
    puzzle.Load(strPath.c_str());
    if (!puzzle.GetLoadError().empty()) {
        report.strErr = "error: " + puzzle.GetLoadError() + "\n";
        report.nStatus = kExitFileError;
        return report;
    }

    puzzle.SetTrace(options.bTrace ? AppendTraceLine : nullptr, &report.strOut);
    const auto start = std::chrono::steady_clock::now();
    const int nResult = puzzle.Solve(nullptr, nullptr);
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    report.nStatus = nResult;

    if (options.bGrid)
        report.strOut += FormatSolutionText(puzzle);
    if (!options.bQuiet)
        report.strErr += Summary(strPath, puzzle, nResult, elapsed.count());
    if (options.bSaveText) {
        const std::string strTextPath = strPath + "r";
        SaveResult saved = SaveSolutionText(puzzle, strTextPath);
        if (!saved.bOk) {
            report.strErr += "error: " + saved.strError + "\n";
            report.nStatus = kExitFileError;
        } else if (!options.bQuiet) {
            report.strErr += "File saved as " + strTextPath + "\n";
        }
    }
    return report;
}
