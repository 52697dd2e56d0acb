#include "support/TestPuzzles.h"

#include <algorithm>

#include "model/PuzzleFile.h"
#include "model/PuzzleFormats.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

std::vector<CellState> ParseCells(std::string_view text) {
    std::vector<CellState> cells;
    for (char ch : text)
        cells.push_back(ch == 'X' ? CELL_FILLED : ch == '-' ? CELL_EMPTY : CELL_UNKNOWN);
    return cells;
}

static char CellChar(CellState state) {
    return state == CELL_FILLED ? 'X' : state == CELL_EMPTY ? '-' : '.';
}

std::string RowText(const CPuzzle& puzzle, int nRow) {
    std::string text;
    for (int c = 0; c < puzzle.GetWidth(); ++c)
        text += CellChar(puzzle.GetCell(nRow, c));
    return text;
}

std::vector<int16_t> RunsOf(std::string_view line) {
    std::vector<int16_t> runs;
    int16_t nRun = 0;
    for (char ch : line) {
        if (ch == 'X') {
            ++nRun;
        } else if (nRun > 0) {
            runs.push_back(nRun);
            nRun = 0;
        }
    }
    if (nRun > 0)
        runs.push_back(nRun);
    if (runs.empty())
        runs.push_back(0);
    return runs;
}

CPuzzle MakeRowPuzzle(const std::vector<int16_t>& clues, std::string_view cells) {
    CPuzzle puzzle;
    const auto nWidth = static_cast<int16_t>(cells.size());
    puzzle.SetSize(1, nWidth);
    for (int16_t value : clues)
        puzzle.AddRowClue(0, value);
    for (int16_t c = 0; c < nWidth; ++c)
        puzzle.AddColumnClue(c, 0);
    puzzle.PrepareAllRanges();
    std::vector<CellState> states = ParseCells(cells);
    for (int16_t c = 0; c < nWidth; ++c)
        puzzle.SetCell(0, c, states[static_cast<size_t>(c)]);
    return puzzle;
}

CPuzzle PuzzleFromPicture(const std::vector<std::string>& picture) {
    CPuzzle puzzle;
    const auto nRows = static_cast<int16_t>(picture.size());
    const auto nCols = static_cast<int16_t>(picture.empty() ? 0 : picture[0].size());
    puzzle.SetSize(nRows, nCols);
    for (int16_t r = 0; r < nRows; ++r)
        for (int16_t value : RunsOf(picture[static_cast<size_t>(r)]))
            puzzle.AddRowClue(r, value);
    for (int16_t c = 0; c < nCols; ++c) {
        std::string column;
        for (const std::string& row : picture)
            column += row[static_cast<size_t>(c)];
        for (int16_t value : RunsOf(column))
            puzzle.AddColumnClue(c, value);
    }
    return puzzle;
}

std::vector<std::string> RandomPicture(std::mt19937& random, int nRows, int nCols, unsigned nDensity) {
    std::vector<std::string> picture(static_cast<size_t>(nRows), std::string(static_cast<size_t>(nCols), '-'));
    for (std::string& row : picture)
        for (char& cell : row)
            cell = random() % 100 < nDensity ? 'X' : '-';
    return picture;
}

std::vector<std::string> ShapesPicture(std::mt19937& random, int nRows, int nCols, int nShapes, int nMinSide,
                                       int nMaxSide) {
    std::vector<std::string> picture(static_cast<size_t>(nRows), std::string(static_cast<size_t>(nCols), '-'));
    auto between = [&](int nLow, int nHigh) { return std::uniform_int_distribution<int>(nLow, nHigh)(random); };
    for (int k = 0; k < nShapes; ++k) {
        const int nHeight = between(nMinSide, nMaxSide);
        const int nWidth = between(nMinSide, nMaxSide);
        const int nTop = between(-nHeight / 2, nRows - nHeight / 2);
        const int nLeft = between(-nWidth / 2, nCols - nWidth / 2);
        const bool bEllipse = between(0, 1) == 1;
        for (int r = std::max(nTop, 0); r < std::min(nTop + nHeight, nRows); ++r)
            for (int c = std::max(nLeft, 0); c < std::min(nLeft + nWidth, nCols); ++c) {
                const double dy = (r + 0.5 - nTop - nHeight / 2.0) / (nHeight / 2.0);
                const double dx = (c + 0.5 - nLeft - nWidth / 2.0) / (nWidth / 2.0);
                if (!bEllipse || dx * dx + dy * dy <= 1)
                    picture[static_cast<size_t>(r)][static_cast<size_t>(c)] = 'X';
            }
    }
    return picture;
}

CPuzzle MismatchedClues(std::mt19937& random, int nRows, int nCols) {
    const CPuzzle rows = PuzzleFromPicture(RandomPicture(random, nRows, nCols, 50));
    const CPuzzle cols = PuzzleFromPicture(RandomPicture(random, nRows, nCols, 50));
    CPuzzle puzzle;
    puzzle.SetSize(static_cast<int16_t>(nRows), static_cast<int16_t>(nCols));
    for (int16_t r = 0; r < nRows; ++r)
        for (int k = 0; k < rows.GetRowClueCount(r); ++k)
            puzzle.AddRowClue(r, rows.GetRowClue(r, k));
    for (int16_t c = 0; c < nCols; ++c)
        for (int k = 0; k < cols.GetColumnClueCount(c); ++k)
            puzzle.AddColumnClue(c, cols.GetColumnClue(c, k));
    return puzzle;
}

std::string ClueFileText(const std::vector<std::string>& picture) {
    auto clueLine = [](std::string_view line) {
        std::string text;
        for (int16_t value : RunsOf(line))
            text += (text.empty() ? "" : " ") + std::to_string(value);
        return text + "\n";
    };
    const size_t nCols = picture.empty() ? 0 : picture[0].size();
    std::string text = std::to_string(picture.size()) + " " + std::to_string(nCols) + "\n";
    for (const std::string& row : picture)
        text += clueLine(row);
    text += "\n";
    for (size_t c = 0; c < nCols; ++c) {
        std::string column;
        for (const std::string& row : picture)
            column += row[c];
        text += clueLine(column);
    }
    return text;
}

std::string CluesText(const CPuzzle& puzzle) {
    std::string text;
    for (int r = 0; r < puzzle.GetHeight(); ++r) {
        for (int k = 0; k < puzzle.GetRowClueCount(r); ++k)
            text += std::to_string(puzzle.GetRowClue(r, k)) + " ";
        text += "|";
    }
    text += "/";
    for (int c = 0; c < puzzle.GetWidth(); ++c) {
        for (int k = 0; k < puzzle.GetColumnClueCount(c); ++k)
            text += std::to_string(puzzle.GetColumnClue(c, k)) + " ";
        text += "|";
    }
    return text;
}

std::vector<std::string> GridRows(const CPuzzle& puzzle) {
    std::vector<std::string> rows;
    for (int r = 0; r < puzzle.GetHeight(); ++r)
        rows.push_back(RowText(puzzle, r));
    return rows;
}

TempDir::TempDir() {
    std::string strTemplate = (std::filesystem::temp_directory_path() / "tabulon-test-XXXXXX").string();
    if (!mkdtemp(strTemplate.data()))
        throw std::runtime_error("cannot create a temporary folder");
    m_path = strTemplate;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::Write(const std::string& strName, std::string_view content) const {
    const std::filesystem::path path = m_path / strName;
    std::ofstream out(path, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return path.string();
}

TbRoundTrip RoundTripThroughTb(const TempDir& dir, const std::string& strName, std::string_view content) {
    TbRoundTrip trip;
    CPuzzleFile original;
    original.Load(dir.Write(strName, content).c_str());
    trip.strError = original.GetLoadError();
    if (!trip.strError.empty())
        return trip;
    CPuzzleFile again;
    again.Load(dir.Write(strName + ".tb", FormatClueFile(original)).c_str());
    trip.strError = again.GetLoadError();
    trip.strOriginal = CluesText(original);
    trip.strAgain = CluesText(again);
    return trip;
}

std::vector<std::string> DesignRows(const CDesign& design) {
    std::vector<std::string> rows;
    for (int r = 0; r < design.GetRows(); ++r) {
        std::string row;
        for (int c = 0; c < design.GetCols(); ++c)
            row += design.IsFilled(r, c) ? 'X' : '-';
        rows.push_back(row);
    }
    return rows;
}
