#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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
