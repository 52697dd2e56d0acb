#pragma once

#include "cli/CliOptions.h"

#include <string>

struct PictureModule;

// What solving one clue file produced: the text for stdout (trace, grid) and
// for stderr (summary, confirmations, errors), and the file's exit status.
struct FileReport {
    std::string strOut;
    std::string strErr;
    int nStatus = 0;
    bool bNotBegun = false; // an interrupt came first
};

// Exit status of a file the reader refused, that could not be read, or whose
// output could not be written.
inline constexpr int kExitFileError = 4;

// Opens, solves and saves one file through the document's commands, as the
// desktop does. pModule draws the whole picture; it is needed only for
// --save-all-bmp.
FileReport SolveFile(const std::string& strPath, const CliOptions& options, const PictureModule* pModule);
