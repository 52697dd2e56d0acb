#include "solver/Symmetry.h"
#include "solver/CompleteSolver.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

namespace {

using Picture = std::vector<std::string>;
using Pairs = std::vector<std::pair<size_t, size_t>>;

Picture MirrorColumns(const Picture& p) {
    Picture out = p;
    for (std::string& row : out)
        std::reverse(row.begin(), row.end());
    return out;
}

Picture MirrorRows(const Picture& p) {
    return Picture(p.rbegin(), p.rend());
}

Picture Transpose(const Picture& p) {
    Picture out(p[0].size(), std::string(p.size(), '-'));
    for (size_t r = 0; r < p.size(); ++r)
        for (size_t c = 0; c < p[r].size(); ++c)
            out[c][r] = p[r][c];
    return out;
}

Picture TurnQuarter(const Picture& p) {
    return MirrorColumns(Transpose(p));
}

// The picture with every cell filled that some power of `turn` fills: a
// picture `turn` leaves unchanged.
Picture Symmetrized(Picture p, const std::function<Picture(const Picture&)>& turn) {
    Picture image = turn(p);
    while (image != p) {
        for (size_t r = 0; r < p.size(); ++r)
            for (size_t c = 0; c < p[r].size(); ++c)
                p[r][c] = p[r][c] == 'X' || image[r][c] == 'X' ? 'X' : '-';
        image = turn(p);
    }
    return p;
}

// The picture inside blank lines: one above, two on the right.
Picture Framed(const Picture& p) {
    Picture out(1, std::string(p[0].size() + 2, '-'));
    for (const std::string& row : p)
        out.push_back(row + "--");
    return out;
}

Pairs PairsOf(const Picture& picture) {
    const CPuzzle puzzle = PuzzleFromPicture(picture);
    return SymmetricCellPairs(CCompleteSolver::LinesOf(puzzle), puzzle.GetHeight(), puzzle.GetWidth());
}

// Each cell of the inner picture with its image under `turn` (found by
// turning a picture that marks the cell alone), as cells of the framed
// picture, nWidth wide. The cells of blank lines need no pair: they are
// empty anyway.
Pairs ImagePairs(const Picture& inner, const std::function<Picture(const Picture&)>& turn, size_t nWidth) {
    auto blank = [&](size_t r, size_t c) {
        return inner[r].find('X') == std::string::npos ||
               std::none_of(inner.begin(), inner.end(), [&](const std::string& row) { return row[c] == 'X'; });
    };
    Pairs pairs;
    Picture marked(inner.size(), std::string(inner[0].size(), '-'));
    for (size_t r = 0; r < inner.size(); ++r) {
        for (size_t c = 0; c < inner[0].size(); ++c) {
            marked[r][c] = 'X';
            const Picture image = turn(marked);
            marked[r][c] = '-';
            for (size_t r2 = 0; r2 < image.size(); ++r2) {
                const size_t c2 = image[r2].find('X');
                if (c2 == std::string::npos)
                    continue;
                const size_t a = (r + 1) * nWidth + c, b = (r2 + 1) * nWidth + c2;
                if (a != b && !blank(r, c))
                    pairs.emplace_back(std::min(a, b), std::max(a, b));
            }
        }
    }
    return pairs;
}

struct SymmetryCase {
    const char* szName;
    std::function<Picture(const Picture&)> turn;
    int nRows;
    int nCols;
};

} // namespace

// Each kind of symmetry, on random pictures inside blank lines: the pairs
// found hold in the picture, and include every cell's image under the
// symmetry the picture was made with.
TEST(Symmetry, FindsEachKindOfSymmetryInsideBlankBorderLines) {
    const std::vector<SymmetryCase> cases = {
        {"mirrored columns", MirrorColumns, 7, 6},
        {"mirrored rows", MirrorRows, 6, 9},
        {"half turn", [](const Picture& p) { return MirrorRows(MirrorColumns(p)); }, 7, 8},
        {"transposed", Transpose, 8, 8},
        {"transposed across", [](const Picture& p) { return MirrorRows(MirrorColumns(Transpose(p))); }, 7, 7},
        {"quarter turn", TurnQuarter, 9, 9},
    };
    std::mt19937 random(11);
    for (const SymmetryCase& symmetry : cases) {
        for (int nTrial = 0; nTrial < 20; ++nTrial) {
            SCOPED_TRACE(std::string(symmetry.szName) + ", trial " + std::to_string(nTrial));
            const Picture inner = Symmetrized(RandomPicture(random, symmetry.nRows, symmetry.nCols, 30), symmetry.turn);
            const Picture picture = Framed(inner);
            const Pairs pairs = PairsOf(picture);
            const size_t nWidth = picture[0].size();
            auto at = [&](size_t nCell) { return picture[nCell / nWidth][nCell % nWidth]; };
            for (const auto& [a, b] : pairs)
                ASSERT_EQ(at(a), at(b)) << "cells " << a << " and " << b;
            for (const auto& pair : ImagePairs(inner, symmetry.turn, nWidth))
                EXPECT_TRUE(std::find(pairs.begin(), pairs.end(), pair) != pairs.end())
                    << "cells " << pair.first << " and " << pair.second;
        }
    }
}

TEST(Symmetry, FindsNoneWhereTheCluesHaveNone) {
    std::mt19937 random(5);
    for (int nTrial = 0; nTrial < 20; ++nTrial)
        EXPECT_TRUE(PairsOf(RandomPicture(random, 8, 8, 50)).empty()) << "trial " << nTrial;
    EXPECT_TRUE(PairsOf({"---", "---"}).empty()) << "a blank picture has no box";
}
