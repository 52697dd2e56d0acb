#pragma once

#include "doc/Design.h"
#include "model/Puzzle.h"

#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

// Cells in test notation: '.' unknown, '-' empty, 'X' filled.
std::vector<CellState> ParseCells(std::string_view text);
std::string RowText(const CPuzzle& puzzle, int nRow);

// The run lengths of a line of '-'/'X' cells; {0} for a line without runs.
std::vector<int16_t> RunsOf(std::string_view line);

// A puzzle of one row holding `clues` and the cells of `cells`, its ranges
// prepared as at the start of a solve. The columns carry the clue 0.
CPuzzle MakeRowPuzzle(const std::vector<int16_t>& clues, std::string_view cells);

// The clues of a picture given as rows of '-' and 'X'.
CPuzzle PuzzleFromPicture(const std::vector<std::string>& picture);

// A random picture: each cell filled with the given chance in percent.
std::vector<std::string> RandomPicture(std::mt19937& random, int nRows, int nCols, unsigned nDensity);

// A blank picture with nShapes random filled rectangles and ellipses of
// nMinSide to nMaxSide cells a side, anywhere they land (partly outside too).
std::vector<std::string> ShapesPicture(std::mt19937& random, int nRows, int nCols, int nShapes, int nMinSide,
                                       int nMaxSide);

// The row clues of one random picture with the column clues of another of the
// same size: mostly puzzles without solution, sometimes with unequal totals.
CPuzzle MismatchedClues(std::mt19937& random, int nRows, int nCols);

// The clue file text of a picture.
std::string ClueFileText(const std::vector<std::string>& picture);

// The clues of a puzzle as "2 1 |3 |/1 |..." (rows, then columns), for comparisons.
std::string CluesText(const CPuzzle& puzzle);

// A design's picture as rows of '-' and 'X'.
std::vector<std::string> DesignRows(const CDesign& design);

// The grid as rows of '.', '-' and 'X'.
std::vector<std::string> GridRows(const CPuzzle& puzzle);

// A folder of its own under the system's temporary folder, removed at the end.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return m_path; }
    std::string Write(const std::string& strName, std::string_view content) const;

  private:
    std::filesystem::path m_path;
};

// A puzzle file saved as a clue file and read back: the first load error
// (empty when both loads succeed) and the clues of both, as CluesText.
struct TbRoundTrip {
    std::string strError;
    std::string strOriginal;
    std::string strAgain;
};
TbRoundTrip RoundTripThroughTb(const TempDir& dir, const std::string& strName, std::string_view content);
