#include "solver/Symmetry.h"

#include <algorithm>

namespace {

// A picture's box: the rows [nTop, nBottom) and columns [nLeft, nRight)
// between its blank border lines.
struct Box {
    int nTop = 0;
    int nBottom = 0;
    int nLeft = 0;
    int nRight = 0;
    int Height() const { return nBottom - nTop; }
    int Width() const { return nRight - nLeft; }
};

// One of the eight rotations and reflections of a box: mirror the columns,
// mirror the rows, then (square boxes only) swap rows and columns.
struct Transform {
    bool bMirrorColumns;
    bool bMirrorRows;
    bool bTranspose;
};

// Run lengths only: the ranges depend on the direction a line is read in.
using Runs = std::vector<int>;

Runs RunsOf(const ClueList& clues, bool bReversed) {
    Runs runs;
    for (const Clue& clue : clues)
        runs.push_back(clue.length);
    if (bReversed)
        std::reverse(runs.begin(), runs.end());
    return runs;
}

Box BoxOf(const std::vector<ClueList>& lines, int nRows, int nCols) {
    auto blank = [&](int nLine) { return lines[static_cast<size_t>(nLine)].empty(); };
    Box box{0, nRows, 0, nCols};
    while (box.nTop < box.nBottom && blank(box.nTop))
        ++box.nTop;
    while (box.nBottom > box.nTop && blank(box.nBottom - 1))
        --box.nBottom;
    while (box.nLeft < box.nRight && blank(nRows + box.nLeft))
        ++box.nLeft;
    while (box.nRight > box.nLeft && blank(nRows + box.nRight - 1))
        --box.nRight;
    return box;
}

// Where a transform takes the cell in row r, column c of the box (both
// counted from the box's corner).
std::pair<int, int> Image(const Transform& t, const Box& box, int r, int c) {
    if (t.bMirrorColumns)
        c = box.Width() - 1 - c;
    if (t.bMirrorRows)
        r = box.Height() - 1 - r;
    if (t.bTranspose)
        std::swap(r, c);
    return {r, c};
}

// Whether the picture a transform makes of any solution reads the same
// clues: each line lands on a line (a row on a column when transposed),
// perhaps read backwards, and must carry that line's runs.
bool KeepsClues(const Transform& t, const std::vector<ClueList>& lines, int nRows, const Box& box) {
    auto row = [&](int r) -> const ClueList& { return lines[static_cast<size_t>(box.nTop + r)]; };
    auto column = [&](int c) -> const ClueList& { return lines[static_cast<size_t>(nRows + box.nLeft + c)]; };
    // The line through `first` and `last` (its two ends) and its runs.
    auto lands = [&](const ClueList& clues, std::pair<int, int> first, std::pair<int, int> last, bool bWasRow) {
        const bool bOnRow = bWasRow != t.bTranspose;
        const bool bReversed = bOnRow ? first.second > last.second : first.first > last.first;
        const ClueList& target = bOnRow ? row(first.first) : column(first.second);
        return RunsOf(clues, bReversed) == RunsOf(target, false);
    };
    for (int r = 0; r < box.Height(); ++r)
        if (!lands(row(r), Image(t, box, r, 0), Image(t, box, r, box.Width() - 1), true))
            return false;
    for (int c = 0; c < box.Width(); ++c)
        if (!lands(column(c), Image(t, box, 0, c), Image(t, box, box.Height() - 1, c), false))
            return false;
    return true;
}

} // namespace

std::vector<std::pair<size_t, size_t>> SymmetricCellPairs(const std::vector<ClueList>& lines, int nRows, int nCols) {
    std::vector<std::pair<size_t, size_t>> pairs;
    const Box box = BoxOf(lines, nRows, nCols);
    if (box.Height() == 0 || box.Width() == 0)
        return pairs;
    // The grid's index of the cell in row r, column c of the box.
    const auto cell = [&](int r, int c) {
        return static_cast<size_t>(box.nTop + r) * static_cast<size_t>(nCols) + static_cast<size_t>(box.nLeft + c);
    };
    for (int n = 1; n < 8; ++n) { // every transform but the identity
        const Transform t{(n & 1) != 0, (n & 2) != 0, (n & 4) != 0};
        if ((t.bTranspose && box.Height() != box.Width()) || !KeepsClues(t, lines, nRows, box))
            continue;
        for (int r = 0; r < box.Height(); ++r) {
            for (int c = 0; c < box.Width(); ++c) {
                const auto [r2, c2] = Image(t, box, r, c);
                if (cell(r, c) < cell(r2, c2))
                    pairs.emplace_back(cell(r, c), cell(r2, c2));
            }
        }
    }
    return pairs;
}
