#pragma once

#include "io/AtomicFile.h"

#include <string>

class CPuzzle;

// The grid as a text picture: one line per row, top to bottom, one character
// per cell, left to right: " " unknown, "-" empty, "X" filled.
std::string FormatSolutionText(const CPuzzle& puzzle);

// Writes FormatSolutionText(puzzle) to `strPath`, all or nothing.
SaveResult SaveSolutionText(const CPuzzle& puzzle, const std::string& strPath);
