#include "cli/FileSolve.h"

#include "cli/ConsolePorts.h"
#include "cli/FileRate.h"
#include "cli/Interrupt.h"
#include "cli/JsonLine.h"
#include "cli/PictureModule.h"
#include "cli/StopAfter.h"
#include "doc/TabulonDoc.h"
#include "io/SolutionText.h"
#include "model/PuzzleFormats.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>

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
    case SOLVE_STOPPED:
        return "stopped";
    default:
        return "no solution";
    }
}

// Why a solve ended as it did, from the document's status sentence
// ("Incomplete: line logic decided 0 of 4 cells." -> "line logic decided 0
// of 4 cells"); empty for a solved grid.
std::string SolveReason(const CTabulonDoc& doc) {
    const std::string& strStatus = doc.GetSolveStatus();
    const size_t nColon = strStatus.find(": ");
    if (doc.GetSolveResult() == SOLVE_SOLVED || nColon == std::string::npos)
        return std::string();
    std::string strReason = strStatus.substr(nColon + 2);
    if (!strReason.empty() && strReason.back() == '.')
        strReason.pop_back();
    return strReason;
}

// Each solution as solution text, a blank line between two.
struct SolutionWriter {
    CPuzzle grid; // the puzzle's copy the solutions are written from
    std::FILE* pFile;
    uint64_t nWritten;
};

void WriteSolution(const std::vector<CellState>& cells, void* pContext) {
    auto* pWriter = static_cast<SolutionWriter*>(pContext);
    pWriter->grid.SetCells(cells);
    const std::string strText = (pWriter->nWritten++ ? "\n" : "") + FormatSolutionText(pWriter->grid);
    std::fwrite(strText.data(), 1, strText.size(), pWriter->pFile);
}

// The grid as solution text on stdout, or as its rows in the JSON line.
void AddGrid(const CPuzzle& puzzle, const char* pszKey, CJsonLine* pJson, std::string& strOut) {
    const std::string strText = FormatSolutionText(puzzle);
    if (!pJson) {
        strOut += strText;
        return;
    }
    std::vector<std::string> rows;
    for (size_t nFrom = 0; nFrom < strText.size();) {
        const size_t nEnd = std::min(strText.find('\n', nFrom), strText.size());
        rows.push_back(strText.substr(nFrom, nEnd - nFrom));
        nFrom = nEnd + 1;
    }
    pJson->Strings(pszKey, rows);
}

// "cat.tb: incomplete, 20 x 20, 1.25 ms: Incomplete: line logic decided ..."
std::string Summary(const std::string& strPath, const CTabulonDoc& doc, double dMs) {
    const CPuzzle& puzzle = *doc.GetPuzzle();
    char szLine[128];
    std::snprintf(szLine, sizeof szLine, ", %d x %d, %.2f ms", puzzle.GetHeight(), puzzle.GetWidth(), dMs);
    std::string strLine = strPath + ": " + OutcomeWords(doc.GetSolveResult()) + szLine;
    if (doc.GetSolveResult() != SOLVE_SOLVED) {
        const std::string& strStatus = doc.GetSolveStatus();
        strLine += strStatus.substr(strStatus.find(':')); // the reason, without the outcome word
    }
    return strLine + "\n";
}

// The outcome of a complete solve in the summary's words, and its exit status.
std::string CompleteOutcome(const CTabulonDoc& doc, int& nStatus) {
    using Outcome = CCompleteSolver::Outcome;
    const CCompleteSolver::Result& result = doc.GetCompleteResult();
    if (doc.GetSolveResult() == SOLVE_REFUSED) {
        nStatus = SOLVE_REFUSED;
        return "refused: " + doc.GetPuzzle()->GetSolveNote();
    }
    switch (result.outcome) {
    case Outcome::Solved:
        return "solved";
    case Outcome::Unique:
        return "unique";
    case Outcome::Multiple:
        nStatus = kExitMultiple;
        return "multiple (" + std::to_string(result.nSolutions) + " solutions found)";
    case Outcome::NoSolution:
        nStatus = SOLVE_NO_SOLUTION;
        return "no solution";
    case Outcome::Stopped:
        nStatus = kExitStopped;
        if (result.nSolutions == 0)
            return "stopped";
        // With solutions found, the grid holds the first of them.
        return "stopped (" + std::to_string(result.nSolutions) + " solution" + (result.nSolutions == 1 ? "" : "s") +
               " found)";
    }
    return std::string();
}

// The outcome of a complete solve in one word (two for "no solution").
const char* CompleteOutcomeWord(const CTabulonDoc& doc) {
    using Outcome = CCompleteSolver::Outcome;
    if (doc.GetSolveResult() == SOLVE_REFUSED)
        return "refused";
    switch (doc.GetCompleteResult().outcome) {
    case Outcome::Solved:
        return "solved";
    case Outcome::Unique:
        return "unique";
    case Outcome::Multiple:
        return "multiple";
    case Outcome::NoSolution:
        return "no solution";
    case Outcome::Stopped:
        break;
    }
    return "stopped";
}

// Exit status, grid(s) and summary of a complete solve, and its JSON members.
void ReportComplete(const std::string& strPath, const CTabulonDoc& doc, const CliOptions& options, double dMs,
                    CJsonLine* pJson, FileReport& report) {
    const CCompleteSolver::Result& result = doc.GetCompleteResult();
    const CPuzzle& puzzle = *doc.GetPuzzle();
    const std::string strOutcome = CompleteOutcome(doc, report.nStatus);
    if (pJson) {
        pJson->String("outcome", CompleteOutcomeWord(doc));
        pJson->Milliseconds("ms", dMs);
        pJson->Number("solutions", result.nSolutions);
        pJson->Number("nodes", result.nNodes);
        if (doc.GetSolveResult() == SOLVE_REFUSED)
            pJson->String("note", puzzle.GetSolveNote());
    }
    const bool bSolutionsWritten = report.pSolutions && result.nSolutions > 0; // each as it was found
    if (options.bGrid && !bSolutionsWritten) {
        AddGrid(puzzle, "grid", pJson, report.strOut);
        if (result.outcome == CCompleteSolver::Outcome::Multiple) {
            CPuzzle second = puzzle;
            second.SetCells(result.second);
            if (!pJson)
                report.strOut += "\n";
            AddGrid(second, "second_grid", pJson, report.strOut);
        }
    }
    if (options.bQuiet)
        return;
    char szLine[160];
    std::snprintf(szLine, sizeof szLine, ", %d x %d, %.2f ms, %llu search nodes\n", puzzle.GetHeight(),
                  puzzle.GetWidth(), dMs, static_cast<unsigned long long>(result.nNodes));
    report.strErr += strPath + ": " + strOutcome + szLine;
}

// Compares the grid with the goal picture of the file, when it has one.
// Returns the verdict: "none" (no goal), "unsolved", "differs" or "matches".
const char* CheckGoal(const std::string& strPath, const CPuzzleFile& puzzle, const CliOptions& options,
                      FileReport& report) {
    const std::string& strGoal = puzzle.GetExtras().strGoal;
    if (strGoal.empty()) {
        if (!options.bQuiet)
            report.strErr += strPath + ": the file carries no goal to check against\n";
        return "none";
    }
    // An unfinished grid differs from any picture; its status says enough.
    if (!puzzle.SatisfiesAllClues()) {
        if (!options.bQuiet)
            report.strErr += strPath + ": not checked against the goal: the grid is not solved\n";
        return "unsolved";
    }
    for (int r = 0; r < puzzle.GetHeight(); ++r) {
        for (int c = 0; c < puzzle.GetWidth(); ++c) {
            const char goal =
                strGoal[static_cast<size_t>(r) * static_cast<size_t>(puzzle.GetWidth()) + static_cast<size_t>(c)];
            if ((puzzle.GetCell(r, c) == CELL_FILLED) != (goal == '1')) {
                report.strErr += strPath + ": the grid differs from the goal at row " + std::to_string(r + 1) +
                                 ", column " + std::to_string(c + 1) + "\n";
                report.nStatus = std::max(report.nStatus, kExitGoalDiffers);
                return "differs";
            }
        }
    }
    if (!options.bQuiet)
        report.strErr += strPath + ": the grid matches the goal\n";
    return "matches";
}

// --export: the drawing module writes the picture, as the desktop's Export
// Picture does.
void ExportTo(const std::string& strPath, const PictureModule& module, IDocView* pView, bool bQuiet,
              FileReport& report) {
    char szError[1024] = "";
    if (!module.pfnExport(pView, strPath.c_str(), szError, sizeof szError)) {
        report.strErr += std::string("error: ") + szError + "\n";
        report.nStatus = kExitFileError;
    } else if (!bQuiet) {
        report.strErr += "Exported to " + strPath + "\n";
    }
}

// --convert-to: the clues, and what else the file carried that the format
// holds, next to the file (its path with ".FORMAT" appended).
void ConvertTo(const std::string& strPath, const CPuzzleFile& puzzle, const std::string& strFormat, bool bQuiet,
               FileReport& report) {
    const PuzzleFormat format = strFormat == "non"   ? PuzzleFormat::Non
                                : strFormat == "xml" ? PuzzleFormat::Xml
                                                     : PuzzleFormat::Tabulon;
    const std::string strTarget = strPath + "." + strFormat;
    const SaveResult saved = WriteFileAtomically(strTarget, FormatPuzzle(puzzle, format, puzzle.GetExtras()));
    if (!saved.bOk) {
        report.strErr += "error: " + saved.strError + "\n";
        report.nStatus = kExitFileError;
    } else if (!bQuiet) {
        report.strErr += "Converted to " + strTarget + "\n";
    }
}

// The files asked for, written after the solve whatever its outcome: the
// document's own savers report their failures through the console ports.
void WriteOutputs(const std::string& strPath, CTabulonDoc& doc, const CliOptions& options, const PictureModule* pModule,
                  IDocView* pView, FileReport& report) {
    for (const std::string& strFormat : options.convertTo)
        ConvertTo(strPath, *doc.GetPuzzle(), strFormat, options.bQuiet, report);
    if (options.bSaveText)
        doc.OnFileSave();
    if (options.bSaveBmp)
        doc.OnSaveAsBmp();
    if (options.bSaveAllBmp)
        doc.OnSaveAllAsBmp();
    if (!options.strExport.empty() && pModule && pView)
        ExportTo(options.strExport, *pModule, pView, options.bQuiet, report);
}

// Solves the document's puzzle as asked (line logic, or completely) and
// reports it: exit status, grid, summary, goal, JSON members.
void Solve(const std::string& strPath, CTabulonDoc& doc, const CliOptions& options, CJsonLine* pJson,
           FileReport& report) {
    doc.GetPuzzle()->SetTrace(options.bTrace ? AppendTraceLine : nullptr, &report.strOut);
    SolutionWriter solutions{CPuzzle(), nullptr, 0};
    if (options.bComplete && options.bGrid && !pJson) {
        solutions.grid = *doc.GetPuzzle();
        report.pSolutions.reset(std::tmpfile()); // without one, the grids the search keeps are printed
        solutions.pFile = report.pSolutions.get();
        if (solutions.pFile)
            doc.SetSolutionSink(WriteSolution, &solutions);
    }
    const auto start = std::chrono::steady_clock::now();
    {
        CStopAfter watchdog(doc, options.dTimeout);
        CInterruptScope interruptible(doc);
        if (options.bComplete)
            doc.SolveCompletely(options.nMaxSolutions);
        else
            doc.OnSolve();
    }
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    if (options.bComplete) {
        ReportComplete(strPath, doc, options, elapsed.count(), pJson, report);
    } else {
        report.nStatus = doc.GetSolveResult() == SOLVE_STOPPED ? kExitStopped : doc.GetSolveResult();
        if (pJson) {
            pJson->String("outcome", OutcomeWords(doc.GetSolveResult()));
            pJson->Milliseconds("ms", elapsed.count());
            if (const std::string strReason = SolveReason(doc); !strReason.empty())
                pJson->String("note", strReason);
        }
        if (options.bGrid)
            AddGrid(*doc.GetPuzzle(), "grid", pJson, report.strOut);
        if (!options.bQuiet)
            report.strErr += Summary(strPath, doc, elapsed.count());
    }
    if (options.bCheckGoal) {
        const char* pszGoal = CheckGoal(strPath, *doc.GetPuzzle(), options, report);
        if (pJson)
            pJson->String("goal", pszGoal);
    }
}

// The picture view lives in the drawing module and is destroyed there.
struct ViewDeleter {
    const PictureModule* pModule;
    void operator()(IDocView* pView) const { pModule->pfnDestroy(pView); }
};

} // namespace

FileReport SolveFile(const std::string& strPath, const CliOptions& options, const PictureModule* pModule) {
    FileReport report;
    CConsolePorts console(report.strErr, options.bQuiet);
    CTabulonDoc doc;
    doc.SetPorts(console.Ports());
    doc.SetCellX(options.nCellX);
    doc.SetCellY(options.nCellY);
    doc.SetMaxCells(options.nMaxCells);
    doc.SetSearchThreads(options.nThreads);
    std::unique_ptr<IDocView, ViewDeleter> pView(nullptr, ViewDeleter{pModule});
    if (options.NeedsPicture() && pModule) {
        pView.reset(pModule->pfnCreate(&doc, options.nMaxPictureMiB << 20));
        doc.AddView(pView.get());
    }

    CJsonLine json;
    CJsonLine* pJson = options.bJson ? &json : nullptr;
    json.String("file", strPath);
    if (!doc.FileOpen(strPath) || !doc.GetPuzzle()->GetLoadError().empty()) {
        report.nStatus = kExitFileError; // the message is in the report already
        if (pJson) {
            json.String("outcome", "unreadable");
            json.String("error", console.GetLastError());
            report.strOut = json.Text();
        } else if (options.bRate) {
            report.strOut = strPath + ": unreadable\n"; // a line for every file
        }
        return report;
    }
    const int nPuzzles = doc.GetPuzzle()->GetExtras().nPuzzlesInFile;
    if (nPuzzles > 1 && !options.bQuiet)
        report.strErr += strPath + " holds " + std::to_string(nPuzzles) + " puzzles; opened the first\n";
    json.Number("rows", static_cast<uint64_t>(doc.GetPuzzle()->GetHeight()));
    json.Number("columns", static_cast<uint64_t>(doc.GetPuzzle()->GetWidth()));
    if (options.bRate)
        RateFile(strPath, doc, options, pJson, report);
    else
        Solve(strPath, doc, options, pJson, report);
    WriteOutputs(strPath, doc, options, pModule, pView.get(), report);
    if (console.GetErrorCount() > 0) // a picture that could not be drawn, a file not written
        report.nStatus = kExitFileError;
    if (pJson)
        report.strOut += json.Text();
    return report;
}

void WriteStdout(FileReport& report) {
    std::fwrite(report.strOut.data(), 1, report.strOut.size(), stdout);
    if (std::FILE* pFile = report.pSolutions.get()) {
        std::rewind(pFile);
        char buffer[1 << 16];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pFile)) > 0;)
            std::fwrite(buffer, 1, n, stdout);
    }
    std::fflush(stdout);
}
