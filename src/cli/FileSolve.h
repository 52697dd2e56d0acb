#pragma once

#include "cli/CliOptions.h"

#include <string>

// What solving one clue file produced: the text for stdout (trace, grid) and
// for stderr (summary, confirmations, errors), and the file's exit status.
struct FileReport {
    std::string strOut;
    std::string strErr;
    int nStatus = 0;
};

// Exit status of a file the reader refused, that could not be read, or whose
// output could not be written.
inline constexpr int kExitFileError = 4;

FileReport SolveFile(const std::string& strPath, const CliOptions& options);
