#include "model/ClueText.h"

#include "model/Puzzle.h"

#include <charconv>

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    if (text.starts_with("\xEF\xBB\xBF")) // the UTF-8 mark some editors put first
        text.remove_prefix(3);
    while (!text.empty()) {
        const size_t nEnd = text.find_first_of("\r\n");
        lines.push_back(text.substr(0, nEnd));
        if (nEnd == std::string_view::npos)
            break;
        // CR LF, LF, or CR alone (old Mac files) ends a line.
        const bool bCrLf = text[nEnd] == '\r' && nEnd + 1 < text.size() && text[nEnd + 1] == '\n';
        text.remove_prefix(nEnd + (bCrLf ? 2 : 1));
    }
    return lines;
}

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string ParseRunLengths(std::string_view text, std::string_view separators, RunLengths& values) {
    values.clear();
    text = Trimmed(text);
    while (!text.empty()) {
        size_t nEnd = text.find_first_of(separators);
        const std::string_view token = Trimmed(text.substr(0, nEnd));
        int nValue = -1;
        const auto [pEnd, error] = std::from_chars(token.data(), token.data() + token.size(), nValue);
        if (token.empty() || error != std::errc() || pEnd != token.data() + token.size() || nValue < 0 ||
            nValue > 32767)
            return "expected run lengths, found '" + std::string(token.substr(0, 20)) + "'";
        if (nValue > 0)
            values.push_back(static_cast<int16_t>(nValue));
        if (nEnd == std::string_view::npos)
            break;
        text = Trimmed(text.substr(nEnd + 1));
        if (text.empty())
            return "a separator ends the line";
    }
    return std::string();
}

std::string BuildPuzzle(CPuzzle& puzzle, const std::vector<RunLengths>& rows, const std::vector<RunLengths>& columns,
                        int64_t nMaxCells) {
    const int64_t nCells = static_cast<int64_t>(rows.size()) * static_cast<int64_t>(columns.size());
    if (rows.empty() || columns.empty() || rows.size() > 32767 || columns.size() > 32767)
        return "the puzzle needs 1..32767 rows and columns, it has " + std::to_string(rows.size()) + " x " +
               std::to_string(columns.size());
    if (nCells > nMaxCells)
        return "a grid of " + std::to_string(rows.size()) + " x " + std::to_string(columns.size()) +
               " cells is more than the limit of " + std::to_string(nMaxCells) + " cells";
    puzzle.SetSize(static_cast<int16_t>(rows.size()), static_cast<int16_t>(columns.size()));
    auto add = [](const RunLengths& runs, auto&& addClue) {
        if (runs.empty())
            addClue(int16_t{0});
        for (int16_t value : runs)
            addClue(value);
    };
    for (size_t r = 0; r < rows.size(); ++r)
        add(rows[r], [&](int16_t v) { puzzle.AddRowClue(static_cast<int16_t>(r), v); });
    for (size_t c = 0; c < columns.size(); ++c)
        add(columns[c], [&](int16_t v) { puzzle.AddColumnClue(static_cast<int16_t>(c), v); });
    return std::string();
}

std::string AtLine(size_t nLine, const std::string& strMessage) {
    return "line " + std::to_string(nLine) + ": " + strMessage;
}
