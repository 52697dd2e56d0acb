#pragma once

#include "cli/CliOptions.h"

#include <cstdio>
#include <memory>
#include <string>

struct PictureModule;

// What solving one clue file produced: the text for stdout (trace, grid) and
// for stderr (summary, confirmations, errors), and the file's exit status.
struct FileReport {
    std::string strOut;
    std::string strErr;
    int nStatus = 0;
    bool bNotBegun = false; // an interrupt came first
    // Every solution a count with --grid found, written as it was found to
    // a temporary file (a count may find millions): for stdout after strOut.
    struct FileCloser {
        void operator()(std::FILE* pFile) const { std::fclose(pFile); }
    };
    std::unique_ptr<std::FILE, FileCloser> pSolutions;
};

// Copies the report's stdout text and then its solutions to stdout.
void WriteStdout(FileReport& report);

// Exit status of a file the reader refused, that could not be read, or whose
// output could not be written.
inline constexpr int kExitFileError = 4;

// Opens, solves and saves one file through the document's commands, as the
// desktop does. pModule draws the whole picture; it is needed only for
// --save-all-bmp.
FileReport SolveFile(const std::string& strPath, const CliOptions& options, const PictureModule* pModule);
