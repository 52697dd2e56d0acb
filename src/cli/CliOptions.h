#pragma once

#include <optional>
#include <string>
#include <vector>

struct CliOptions {
    std::vector<std::string> files;
    bool bTrace = false;      // the solver's trace lines, one per pass
    bool bGrid = false;       // the grid as solution text after solving
    bool bSaveText = false;   // the solution text file next to the clue file
    bool bSaveBmp = false;    // one pixel per cell, next to the clue file
    bool bSaveAllBmp = false; // the whole rendered picture, next to the clue file
    std::string strExport;    // the whole picture as PNG, SVG, PDF or BMP, to this file (one puzzle)
    int nCellX = 8;           // cell size of the whole picture, in pixels
    int nCellY = 8;
    bool bQuiet = false;                  // no summary lines
    unsigned nJobs = 0;                   // files solved at once; 0 = one per core
    unsigned nThreads = 0;                // searches on one puzzle; 0 = the cores the files leave
    double dTimeout = 0;                  // seconds per file before the solve is stopped; 0 = none
    bool bComplete = false;               // solve beyond line logic
    std::vector<std::string> convertTo;   // write the clues in these formats ("tb", "non", "xml"), each once
    bool bCheckGoal = false;              // compare the solved grid with the file's goal picture
    bool bRate = false;                   // rate each puzzle instead of solving it
    bool bJson = false;                   // one JSON object per file on stdout
    unsigned long long nMaxSolutions = 1; // solutions to look for when solving completely
    long long nMaxCells = 1LL << 24;      // the largest grid read
    long long nMaxPictureMiB = 1024;      // the largest whole picture drawn

    // --from-image: an image made a puzzle, with the picture as its goal;
    // nothing is solved.
    std::string strFromImage;
    int nImageRows = 0, nImageCols = 0; // --size ROWSxCOLS
    int nThreshold = -1;                // a cell darker than this grey is filled; -1: Otsu's threshold
    bool bInvert = false;               // fill the light cells instead
    std::string strImageOut;            // -o: where the puzzle goes (default: the image's path with ".tb")

    // The outputs that need the picture drawn, and so the drawing module.
    bool NeedsPicture() const { return bSaveAllBmp || !strExport.empty() || !strFromImage.empty(); }
};

// Exit status of a solve stopped by --timeout.
inline constexpr int kExitStopped = 5;
// Exit status of a puzzle with more than one solution (--unique, --max-solutions).
inline constexpr int kExitMultiple = 6;
// Exit status of a solved grid that differs from the file's goal (--check-goal).
inline constexpr int kExitGoalDiffers = 7;

// Exit status of bad usage (as sysexits' EX_USAGE).
inline constexpr int kExitUsage = 64;
// Exit status after Ctrl+C (as a shell reports a program SIGINT ended).
inline constexpr int kExitInterrupted = 130;

// Parses the command line. Returns the options, or the exit status when the
// program is done already (help or version shown: 0; bad usage: kExitUsage,
// after a one-line hint on stderr).
std::optional<CliOptions> ParseCommandLine(int argc, char** argv, int& nExitStatus);
