#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class CPuzzle;

// The largest grid the reader accepts, in cells: 16M cells are 64 MiB of
// grid (2048 x 8192, or 4096 x 4096), far beyond published puzzles and well
// inside any machine Tabulon runs on. The header is checked against it
// before anything is allocated.
inline constexpr int64_t kDefaultMaxCells = int64_t{1} << 24;

// Reads a clue file from an open stream into `puzzle`:
//
//   line 1        rows and columns, two integers separated by white space
//   next H lines  the run lengths of each row, top row first
//   1 line        a separator, skipped whatever it holds
//   next W lines  the run lengths of each column, left column first
//
// A clue line holds decimal numbers without sign or leading zeros, separated
// by spaces; a line without filled cells holds the single number 0. Lines may
// be of any length and end in LF, CR LF or CR alone (old Mac files); a UTF-8
// byte order mark at the start (Notepad writes one) is skipped.
//
// Returns an empty string when the file was read. Otherwise the puzzle is left
// empty (0 x 0) and the result says what is wrong, beginning with the line
// number: "line 7: expected run lengths, found 'x3'".
std::string ReadClueFile(std::FILE* pFile, CPuzzle& puzzle, int64_t nMaxCells = kDefaultMaxCells);
