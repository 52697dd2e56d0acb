// The ".non" text format: one "key value" per line; "rows" and "columns"
// are followed by one line of comma-separated run lengths per line of the
// puzzle. Only black-and-white puzzles: a file with colours is refused.

#include "model/ClueText.h"
#include "model/Puzzle.h"
#include "model/PuzzleFormats.h"

#include <algorithm>
#include <charconv>

namespace {

std::string_view Trim(std::string_view text) {
    const size_t nFrom = text.find_first_not_of(" \t");
    if (nFrom == std::string_view::npos)
        return {};
    return text.substr(nFrom, text.find_last_not_of(" \t") - nFrom + 1);
}

std::string Unquoted(std::string_view text) {
    text = Trim(text);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    return std::string(text);
}

class CNonReader {
  public:
    CNonReader(std::string_view text, PuzzleExtras& extras) : m_lines(SplitLines(text)), m_extras(extras) {}

    std::string Read(CPuzzle& puzzle, int64_t nMaxCells) {
        for (m_nLine = 0; m_nLine < m_lines.size(); ++m_nLine) {
            const std::string_view line = Trim(m_lines[m_nLine]);
            if (line.empty() || line.front() == '#')
                continue;
            const size_t nSpace = line.find_first_of(" \t");
            const std::string_view key = line.substr(0, nSpace);
            const std::string_view value = nSpace == std::string_view::npos ? std::string_view() : line.substr(nSpace);
            std::string strFault = ReadKey(key, value);
            if (!strFault.empty())
                return AtLine(m_nLine + 1, strFault);
        }
        if (m_rows.empty() || m_columns.empty())
            return AtLine(std::max<size_t>(m_lines.size(), 1),
                          std::string("the file has no ") + (m_rows.empty() ? "rows" : "columns"));
        if (!m_extras.strGoal.empty() && m_extras.strGoal.size() != m_rows.size() * m_columns.size())
            return "the goal has " + std::to_string(m_extras.strGoal.size()) + " cells, the grid " +
                   std::to_string(m_rows.size() * m_columns.size());
        return BuildPuzzle(puzzle, m_rows, m_columns, nMaxCells);
    }

  private:
    std::string ReadKey(std::string_view key, std::string_view value) {
        if (key == "width" || key == "height")
            return ReadSize(key == "width" ? m_nWidth : m_nHeight, key, value);
        if (key == "rows" || key == "columns")
            return ReadClues(key == "rows" ? m_rows : m_columns, key == "rows" ? m_nHeight : m_nWidth, key);
        if (key == "color" || key == "colour" || key.starts_with("color") || key.starts_with("colour"))
            return "colour puzzles are not supported: Tabulon solves black-and-white puzzles";
        if (key == "title")
            m_extras.strTitle = Unquoted(value);
        else if (key == "by" || key == "author")
            m_extras.strAuthor = Unquoted(value);
        else if (key == "goal")
            return ReadGoal(Unquoted(value));
        return std::string(); // other keys (catalogue, copyright, license ...) carry nothing to solve
    }

    static std::string ReadSize(int& nSize, std::string_view key, std::string_view value) {
        value = Trim(value);
        const auto [pEnd, error] = std::from_chars(value.data(), value.data() + value.size(), nSize);
        if (error != std::errc() || pEnd != value.data() + value.size() || nSize < 1 || nSize > 32767)
            return std::string(key) + " must be a number in 1..32767, found '" + std::string(value.substr(0, 20)) + "'";
        return std::string();
    }

    std::string ReadClues(std::vector<RunLengths>& lines, int nCount, std::string_view key) {
        if (nCount < 0)
            return std::string(key) + " come before the " + (key == "rows" ? "height" : "width");
        lines.assign(static_cast<size_t>(nCount), RunLengths());
        for (int k = 0; k < nCount; ++k) {
            ++m_nLine;
            if (m_nLine >= m_lines.size())
                return "the file ends before " + std::string(key == "rows" ? "row " : "column ") +
                       std::to_string(k + 1);
            // A fault here is reported at this clue line: Read adds its number.
            std::string strFault = ParseRunLengths(m_lines[m_nLine], ",", lines[static_cast<size_t>(k)]);
            if (!strFault.empty())
                return strFault;
        }
        return std::string();
    }

    std::string ReadGoal(const std::string& strGoal) {
        for (char ch : strGoal)
            if (ch != '0' && ch != '1')
                return "a goal holds only 0 and 1";
        m_extras.strGoal = strGoal;
        return std::string();
    }

    std::vector<std::string_view> m_lines;
    PuzzleExtras& m_extras;
    size_t m_nLine = 0;
    int m_nWidth = -1;
    int m_nHeight = -1;
    std::vector<RunLengths> m_rows;
    std::vector<RunLengths> m_columns;
};

} // namespace

std::string ReadNonText(std::string_view text, CPuzzle& puzzle, PuzzleExtras& extras, int64_t nMaxCells) {
    std::string strFault = CNonReader(text, extras).Read(puzzle, nMaxCells);
    if (!strFault.empty()) {
        puzzle.SetSize(0, 0);
        extras = PuzzleExtras();
    }
    return strFault;
}
