// The writers of the formats authors publish in: ".non" and webpbn's XML
// carry the goal picture, title and author beside the clues; the plain
// layout carries the clues alone (".tb" is FormatClueFile's). Each writes
// what its reader reads back to the same clues and extras.

#include "model/Puzzle.h"
#include "model/PuzzleFormats.h"

#include <string_view>

namespace {

// The runs of a line without the clue 0, which only marks a blank line.
std::vector<int16_t> RunsOf(int nCount, auto&& clueAt) {
    std::vector<int16_t> runs;
    for (int k = 0; k < nCount; ++k)
        if (clueAt(k) > 0)
            runs.push_back(clueAt(k));
    return runs;
}

std::vector<int16_t> RowRuns(const CPuzzle& puzzle, int r) {
    return RunsOf(puzzle.GetRowClueCount(r), [&](int k) { return puzzle.GetRowClue(r, k); });
}

std::vector<int16_t> ColumnRuns(const CPuzzle& puzzle, int c) {
    return RunsOf(puzzle.GetColumnClueCount(c), [&](int k) { return puzzle.GetColumnClue(c, k); });
}

// "2,1", or "0" for a blank line.
std::string JoinedRuns(const std::vector<int16_t>& runs, const char* pszSeparator) {
    std::string text;
    for (int16_t run : runs)
        text += (text.empty() ? "" : pszSeparator) + std::to_string(run);
    return text.empty() ? "0" : text;
}

bool HasGoal(const CPuzzle& puzzle, const PuzzleExtras& extras) {
    return !extras.strGoal.empty() &&
           extras.strGoal.size() == static_cast<size_t>(puzzle.GetHeight()) * static_cast<size_t>(puzzle.GetWidth());
}

// A ".non" value stands on one line: line breaks become blanks.
std::string OneLine(std::string_view text) {
    std::string strLine(text);
    for (char& ch : strLine)
        if (ch == '\n' || ch == '\r')
            ch = ' ';
    return strLine;
}

std::string FormatNon(const CPuzzle& puzzle, const PuzzleExtras& extras) {
    std::string text;
    if (!extras.strTitle.empty())
        text += "title \"" + OneLine(extras.strTitle) + "\"\n";
    if (!extras.strAuthor.empty())
        text += "by \"" + OneLine(extras.strAuthor) + "\"\n";
    text += "width " + std::to_string(puzzle.GetWidth()) + "\nheight " + std::to_string(puzzle.GetHeight()) + "\n";
    text += "\nrows\n";
    for (int r = 0; r < puzzle.GetHeight(); ++r)
        text += JoinedRuns(RowRuns(puzzle, r), ",") + "\n";
    text += "\ncolumns\n";
    for (int c = 0; c < puzzle.GetWidth(); ++c)
        text += JoinedRuns(ColumnRuns(puzzle, c), ",") + "\n";
    if (HasGoal(puzzle, extras))
        text += "\ngoal \"" + extras.strGoal + "\"\n";
    return text;
}

std::string FormatPlain(const CPuzzle& puzzle) {
    std::string text = std::to_string(puzzle.GetHeight()) + " " + std::to_string(puzzle.GetWidth()) + "\n";
    for (int r = 0; r < puzzle.GetHeight(); ++r)
        text += JoinedRuns(RowRuns(puzzle, r), " ") + "\n";
    text += "#\n";
    for (int c = 0; c < puzzle.GetWidth(); ++c)
        text += JoinedRuns(ColumnRuns(puzzle, c), " ") + "\n";
    return text;
}

// Text for XML content: the markup characters as references; control
// characters, which XML 1.0 does not allow, as blanks.
std::string XmlEscaped(std::string_view text) {
    std::string strOut;
    for (char ch : text) {
        switch (ch) {
        case '&':
            strOut += "&amp;";
            break;
        case '<':
            strOut += "&lt;";
            break;
        case '>':
            strOut += "&gt;";
            break;
        default:
            strOut += static_cast<unsigned char>(ch) < 0x20 && ch != '\t' && ch != '\n' ? ' ' : ch;
        }
    }
    return strOut;
}

std::string XmlClues(const char* pszType, int nCount, auto&& runsOf) {
    std::string text = std::string("<clues type=\"") + pszType + "\">\n";
    for (int i = 0; i < nCount; ++i) {
        const std::vector<int16_t> runs = runsOf(i);
        if (runs.empty()) {
            text += "<line/>\n";
            continue;
        }
        text += "<line>";
        for (int16_t run : runs)
            text += "<count>" + std::to_string(run) + "</count>";
        text += "</line>\n";
    }
    return text + "</clues>\n";
}

// One puzzle in a puzzle set, as webpbn.com exports it: its colours, the
// column clues, the row clues, and the goal drawn row by row between '|'s.
std::string FormatXml(const CPuzzle& puzzle, const PuzzleExtras& extras) {
    std::string text = "<?xml version=\"1.0\"?>\n"
                       "<!DOCTYPE pbn SYSTEM \"http://webpbn.com/pbn-0.3.dtd\">\n"
                       "<puzzleset>\n"
                       "<puzzle type=\"grid\" defaultcolor=\"black\">\n";
    if (!extras.strTitle.empty())
        text += "<title>" + XmlEscaped(extras.strTitle) + "</title>\n";
    if (!extras.strAuthor.empty())
        text += "<author>" + XmlEscaped(extras.strAuthor) + "</author>\n";
    text += "<color name=\"white\" char=\".\">fff</color>\n"
            "<color name=\"black\" char=\"X\">000</color>\n";
    text += XmlClues("columns", puzzle.GetWidth(), [&](int c) { return ColumnRuns(puzzle, c); });
    text += XmlClues("rows", puzzle.GetHeight(), [&](int r) { return RowRuns(puzzle, r); });
    if (HasGoal(puzzle, extras)) {
        text += "<solution type=\"goal\">\n<image>\n";
        const auto nWidth = static_cast<size_t>(puzzle.GetWidth());
        for (size_t nFrom = 0; nFrom < extras.strGoal.size(); nFrom += nWidth) {
            text += '|';
            for (size_t i = nFrom; i < nFrom + nWidth; ++i)
                text += extras.strGoal[i] == '1' ? 'X' : '.';
            text += "|\n";
        }
        text += "</image>\n</solution>\n";
    }
    return text + "</puzzle>\n</puzzleset>\n";
}

} // namespace

std::string FormatPuzzle(const CPuzzle& puzzle, PuzzleFormat format, const PuzzleExtras& extras) {
    switch (format) {
    case PuzzleFormat::Tabulon:
        return FormatClueFile(puzzle);
    case PuzzleFormat::Non:
        return FormatNon(puzzle, extras);
    case PuzzleFormat::Plain:
        return FormatPlain(puzzle);
    case PuzzleFormat::Xml:
        return FormatXml(puzzle, extras);
    }
    return std::string();
}

std::string GoalOfCells(const std::vector<CellState>& cells) {
    std::string strGoal;
    strGoal.reserve(cells.size());
    for (CellState state : cells)
        strGoal += state == CELL_FILLED ? '1' : '0';
    return strGoal;
}
