// The plain layout: "height width", one line of run lengths per row, a line
// holding "#", one line per column. Numbers may be separated by blanks or
// commas; an empty line is a line without filled cells.

#include "model/ClueText.h"
#include "model/Puzzle.h"
#include "model/PuzzleFormats.h"

#include <algorithm>
#include <charconv>

namespace {

// Two numbers separated by blanks, and nothing else.
bool ReadHeader(std::string_view line, int& nHeight, int& nWidth) {
    std::string_view rest = line;
    for (int* pValue : {&nHeight, &nWidth}) {
        rest.remove_prefix(std::min(rest.size(), rest.find_first_not_of(" \t")));
        const auto [pEnd, error] = std::from_chars(rest.data(), rest.data() + rest.size(), *pValue);
        if (error != std::errc())
            return false;
        rest.remove_prefix(static_cast<size_t>(pEnd - rest.data()));
    }
    return rest.find_first_not_of(" \t") == std::string_view::npos;
}

std::string ReadPlain(std::string_view text, CPuzzle& puzzle, int64_t nMaxCells) {
    const std::vector<std::string_view> lines = SplitLines(text);
    size_t nLine = 0;
    while (nLine < lines.size() && lines[nLine].find_first_not_of(" \t") == std::string_view::npos)
        ++nLine;
    if (nLine == lines.size())
        return "the file is empty";
    int nHeight = 0, nWidth = 0;
    if (!ReadHeader(lines[nLine], nHeight, nWidth))
        return AtLine(nLine + 1, "expected \"height width\", found '" + std::string(lines[nLine].substr(0, 20)) + "'");
    if (nHeight < 1 || nWidth < 1 || nHeight > 32767 || nWidth > 32767)
        return AtLine(nLine + 1, "the puzzle needs 1..32767 rows and columns, the header says " +
                                     std::to_string(nHeight) + " x " + std::to_string(nWidth));
    std::vector<RunLengths> rows(static_cast<size_t>(nHeight)), columns(static_cast<size_t>(nWidth));
    std::string strFault;
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
