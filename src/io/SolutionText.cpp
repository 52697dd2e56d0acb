#include "io/SolutionText.h"

#include "model/Puzzle.h"

std::string FormatSolutionText(const CPuzzle& puzzle) {
    static constexpr char kCellChar[] = {' ', '-', 'X'};
    const int nRows = puzzle.GetHeight();
    const int nCols = puzzle.GetWidth();
    std::string strText;
    strText.reserve(static_cast<size_t>(nRows) * (static_cast<size_t>(nCols) + 1));
    for (int r = 0; r < nRows; ++r) {
        for (int c = 0; c < nCols; ++c)
            strText += kCellChar[puzzle.GetCell(r, c)];
        strText += '\n';
    }
    return strText;
}

SaveResult SaveSolutionText(const CPuzzle& puzzle, const std::string& strPath) {
    return WriteFileAtomically(strPath, FormatSolutionText(puzzle));
}
