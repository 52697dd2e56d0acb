#include "model/PuzzleFormats.h"

#include "model/ClueText.h"
#include "model/Puzzle.h"

#include <algorithm>
#include <cctype>

namespace {

std::string LowerExtension(const std::string& strPath) {
    const size_t nDot = strPath.find_last_of('.');
    const size_t nSlash = strPath.find_last_of('/');
    if (nDot == std::string::npos || (nSlash != std::string::npos && nDot < nSlash))
        return std::string();
    std::string strExtension = strPath.substr(nDot);
    std::transform(strExtension.begin(), strExtension.end(), strExtension.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return strExtension;
}

bool StartsWithWord(std::string_view text, std::string_view word) {
    return text.starts_with(word) &&
           (text.size() == word.size() || text[word.size()] == ' ' || text[word.size()] == '\t');
}

} // namespace

PuzzleFormat DetectFormat(const std::string& strPath, std::string_view text) {
    const std::string strExtension = LowerExtension(strPath);
    for (const auto& [pszExtension, format] : kFormatExtensions)
        if (strExtension == pszExtension)
            return format;
    // By content: XML begins with its declaration or its top element.
    std::string_view start = text;
    if (start.starts_with("\xEF\xBB\xBF"))
        start.remove_prefix(3);
    start.remove_prefix(std::min(start.size(), start.find_first_not_of(" \t\r\n")));
    if (start.starts_with("<?xml") || start.starts_with("<puzzleset") || start.starts_with("<puzzle"))
        return PuzzleFormat::Xml;
    // Else ".non" keys, or a "#" line between the clue blocks.
    bool bHashLine = false;
    for (const std::string_view line : SplitLines(text)) {
        for (std::string_view key : {"width", "height", "rows", "columns", "title", "catalogue"})
            if (StartsWithWord(line, key))
                return PuzzleFormat::Non;
        bHashLine = bHashLine || line == "#";
    }
    return bHashLine ? PuzzleFormat::Plain : PuzzleFormat::Tabulon;
}

std::string FormatClueFile(const CPuzzle& puzzle) {
    auto clueLine = [](int nCount, auto&& clueAt) {
        std::string text;
        for (int k = 0; k < nCount; ++k)
            text += (k ? " " : "") + std::to_string(clueAt(k));
        return (text.empty() ? std::string("0") : text) + "\n";
    };
    std::string text = std::to_string(puzzle.GetHeight()) + " " + std::to_string(puzzle.GetWidth()) + "\n";
    for (int r = 0; r < puzzle.GetHeight(); ++r)
        text += clueLine(puzzle.GetRowClueCount(r), [&](int k) { return puzzle.GetRowClue(r, k); });
    text += "\n";
    for (int c = 0; c < puzzle.GetWidth(); ++c)
        text += clueLine(puzzle.GetColumnClueCount(c), [&](int k) { return puzzle.GetColumnClue(c, k); });
    return text;
}
