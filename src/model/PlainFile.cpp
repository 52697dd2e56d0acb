// The plain layout: "height width", one line of run lengths per row, a line
// holding "#", one line per column. Numbers may be separated by blanks or
// commas; an empty line is a line without filled cells.

#include "model/ClueText.h"
#include "model/Puzzle.h"
#include "model/PuzzleFormats.h"

#include <sstream>

namespace {

std::string ReadPlain(std::string_view text, CPuzzle& puzzle, int64_t nMaxCells) {
    const std::vector<std::string_view> lines = SplitLines(text);
    size_t nLine = 0;
    while (nLine < lines.size() && lines[nLine].find_first_not_of(" \t") == std::string_view::npos)
        ++nLine;
    if (nLine == lines.size())
        return "the file is empty";
    RunLengths header;
    std::string strFault = ParseRunLengths(lines[nLine], " \t", header);
    if (!strFault.empty() || header.size() != 2)
        return AtLine(nLine + 1, "expected \"height width\", found '" + std::string(lines[nLine].substr(0, 20)) + "'");
    std::vector<RunLengths> rows(static_cast<size_t>(header[0])), columns(static_cast<size_t>(header[1]));
    auto readBlock = [&](std::vector<RunLengths>& block, const char* pszKind) -> std::string {
        for (size_t k = 0; k < block.size(); ++k) {
            if (++nLine >= lines.size())
                return AtLine(nLine + 1, std::string("the file ends before ") + pszKind + " " + std::to_string(k + 1));
            std::string strLineFault = ParseRunLengths(lines[nLine], " \t,", block[k]);
            if (!strLineFault.empty())
                return AtLine(nLine + 1, strLineFault);
        }
        return std::string();
    };
    if (!(strFault = readBlock(rows, "row")).empty())
        return strFault;
    ++nLine;
    if (nLine >= lines.size() || lines[nLine].find_first_not_of(" \t") == std::string_view::npos ||
        lines[nLine].substr(lines[nLine].find_first_not_of(" \t"), 1) != "#")
        return AtLine(nLine + 1, "expected the \"#\" line between the row and the column clues");
    if (!(strFault = readBlock(columns, "column")).empty())
        return strFault;
    return BuildPuzzle(puzzle, rows, columns, nMaxCells);
}

} // namespace

std::string ReadPlainText(std::string_view text, CPuzzle& puzzle, int64_t nMaxCells) {
    std::string strFault = ReadPlain(text, puzzle, nMaxCells);
    if (!strFault.empty())
        puzzle.SetSize(0, 0);
    return strFault;
}
