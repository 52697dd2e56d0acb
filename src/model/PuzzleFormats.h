#pragma once

#include "model/CellState.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CPuzzle;

// The puzzle formats Tabulon opens besides its own ".tb" clue file.
enum class PuzzleFormat {
    Tabulon, // ".tb": header, row lines, a separator, column lines
    Non,     // ".non": keys width, height, rows, columns (comma-separated clues), title, by, goal ...
    Plain,   // rows then columns with a "#" line between them, header "height width"
    Xml,     // ".xml"/".pbn": webpbn's XML, a <puzzleset> of <puzzle>s or one <puzzle>
};

// What a puzzle file may carry besides its clues.
struct PuzzleExtras {
    std::string strTitle;
    std::string strAuthor;
    // The intended picture, row by row, one character per cell: '1' filled,
    // '0' empty; empty when the file has none.
    std::string strGoal;
    // How many puzzles the file holds; the first is the one opened.
    int nPuzzlesInFile = 1;
};

// The extensions that name a format (lower case; matched in any case).
struct FormatExtension {
    const char* pszExtension;
    PuzzleFormat format;
};
inline constexpr FormatExtension kFormatExtensions[] = {
    {".tb", PuzzleFormat::Tabulon}, {".non", PuzzleFormat::Non},   {".xml", PuzzleFormat::Xml},
    {".pbn", PuzzleFormat::Xml},    {".txt", PuzzleFormat::Plain}, {".plain", PuzzleFormat::Plain},
    {".cwd", PuzzleFormat::Plain},
};

// The format of a file: from its extension, else from its content.
PuzzleFormat DetectFormat(const std::string& strPath, std::string_view text);

// Readers of the other formats. Each fills `puzzle` and returns an empty
// string, or leaves it empty (0 x 0) and returns "line N: what is wrong".
std::string ReadNonText(std::string_view text, CPuzzle& puzzle, PuzzleExtras& extras, int64_t nMaxCells);
std::string ReadPlainText(std::string_view text, CPuzzle& puzzle, int64_t nMaxCells);
// The first puzzle of the file; extras.nPuzzlesInFile counts them all.
std::string ReadXmlText(std::string_view text, CPuzzle& puzzle, PuzzleExtras& extras, int64_t nMaxCells);

// The puzzle's clues as a ".tb" clue file.
std::string FormatClueFile(const CPuzzle& puzzle);

// The puzzle's clues as a file of `format`, with the title, author and goal
// of `extras` where the format holds them: ".non" and XML hold all three,
// ".tb" and the plain layout none. The goal is rows x columns characters,
// '1' filled and '0' empty, row by row (GoalOfCells makes one from a grid);
// a goal of any other size is left out. Line breaks in a ".non" title or
// author become blanks, control characters in XML ones too. Reading the
// text back (with the extension of kFormatExtensions) gives the same clues,
// and the same title, author and goal where kept. Blank lines are written
// "0" (".tb", ".non", plain) or <line/> (XML).
std::string FormatPuzzle(const CPuzzle& puzzle, PuzzleFormat format, const PuzzleExtras& extras = PuzzleExtras());

// A goal picture for FormatPuzzle from a grid (rows x columns cells, row by
// row): '1' for a filled cell, '0' for any other.
std::string GoalOfCells(const std::vector<CellState>& cells);
