// The leftmost placement found at once (LeastPlacement) against the push a
// step at a time, on cells and on bit sets read either way; the word
// searches it reads a line with; and the claim the fast mode's kept
// placements rest on.

#include "solver/LeastPlacement.h"
#include "model/Puzzle.h"
#include "solver/LineBits.h"
#include "solver/WordScan.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct RandomRun {
    ClueList clues;
    std::vector<CellState> line;
};

// Clues from a random picture; the known cells from that picture (so some
// placement fits) or, now and then, at random (so none may).
RandomRun MakeLine(std::mt19937& random, int32_t nMaxLength) {
    const auto nLength = static_cast<int32_t>(1 + random() % static_cast<uint32_t>(nMaxLength));
    const unsigned nDensity = 20 + random() % 60;
    std::string picture;
    for (int32_t i = 0; i < nLength; ++i)
        picture += random() % 100 < nDensity ? 'X' : '-';
    RandomRun r;
    for (int16_t nRun : RunsOf(picture))
        if (nRun > 0)
            r.clues.push_back(Clue{nRun, 0, 0, 0, 0});
    // Random cells on long lines can leave the step-by-step push wandering
    // through more placements than a test can wait for.
    const bool bFromPicture = nLength > 40 || random() % 4 != 0;
    const unsigned nKnown = random() % 80;
    for (int32_t i = 0; i < nLength; ++i) {
        CellState state = CELL_UNKNOWN;
        if (random() % 100 < nKnown)
            state = bFromPicture ? (picture[static_cast<size_t>(i)] == 'X' ? CELL_FILLED : CELL_EMPTY)
                                 : (random() % 2 ? CELL_FILLED : CELL_EMPTY);
        r.line.push_back(state);
    }
    return r;
}

// Lower bounds as line logic narrows them: the leftmost placement on the
// line with some of its known cells forgotten, or the packed starts.
void NarrowBounds(std::mt19937& random, RandomRun& r) {
    const auto nLength = static_cast<int32_t>(r.line.size());
    CPuzzle::PrepareRanges(r.clues, nLength);
    if (random() % 2)
        return;
    std::vector<CellState> fewer = r.line;
    for (CellState& state : fewer)
        if (random() % 2)
            state = CELL_UNKNOWN;
    ClueList narrowed = r.clues;
    if (!CPuzzle::PushLeftStepwise(narrowed, fewer.data(), nLength))
        return;
    for (size_t t = 0; t < r.clues.size(); ++t)
        r.clues[t].minStart = r.clues[t].pos = narrowed[t].pos;
}

std::vector<int32_t> StartsOf(const ClueList& clues) {
    std::vector<int32_t> starts;
    for (const Clue& clue : clues)
        starts.push_back(clue.pos);
    return starts;
}

TEST(PushLeft, AtOnceArrivesWhereTheStepwisePushArrives) {
    std::mt19937 random(2026);
    int nPlaced = 0;
    int nCompared = 0;
    for (int nTrial = 0; nTrial < 30000; ++nTrial) {
        RandomRun r = MakeLine(random, nTrial % 10 == 0 ? 400 : 40);
        if (r.clues.empty())
            continue;
        NarrowBounds(random, r);
        const auto nLength = static_cast<int32_t>(r.line.size());
        ClueList stepwise = r.clues;
        ClueList atOnce = r.clues;
        const bool bStepwise = CPuzzle::PushLeftStepwise(stepwise, r.line.data(), nLength);
        const bool bAtOnce = CPuzzle::PushLeft(atOnce, r.line.data(), nLength);
        ASSERT_EQ(bAtOnce, bStepwise) << "trial " << nTrial;
        if (bStepwise) {
            ASSERT_EQ(StartsOf(atOnce), StartsOf(stepwise)) << "trial " << nTrial;
        }
        nPlaced += bStepwise;
        ++nCompared;
    }
    // Lines that fit and lines that do not were both compared.
    EXPECT_GT(nPlaced, nCompared / 2);
    EXPECT_LT(nPlaced, nCompared);
}

// A line's cells as the two bit sets CLineBits keeps.
struct LineWords {
    std::vector<uint64_t> filled, empty;
    explicit LineWords(const std::vector<CellState>& line)
        : filled((line.size() + 63) / 64), empty((line.size() + 63) / 64) {
        for (size_t i = 0; i < line.size(); ++i)
            (line[i] == CELL_FILLED ? filled : empty)[i / 64] |= line[i] == CELL_UNKNOWN ? 0 : uint64_t{1} << (i % 64);
    }
    BitLine Line(size_t nLength) const { return {filled.data(), empty.data(), static_cast<int32_t>(nLength)}; }
};

TEST(LeastPlacement, ReadsBitSetsForwardsAndBackwardsAsItReadsCells) {
    std::mt19937 random(9);
    for (int nTrial = 0; nTrial < 5000; ++nTrial) {
        RandomRun r = MakeLine(random, nTrial % 5 == 0 ? 300 : 70);
        if (r.clues.empty())
            continue;
        const auto nLength = static_cast<int32_t>(r.line.size());
        CPuzzle::PrepareRanges(r.clues, nLength);
        CPuzzle::PushScratch scratch;
        const CCellLine<CellState, CELL_EMPTY, CELL_FILLED> cells(r.line.data(), nLength, scratch.lastEmpty,
                                                                  scratch.lastFilled, scratch.filledEnd);
        const LineWords words(r.line);
        std::vector<int32_t> onCells = StartsOf(r.clues);
        std::vector<int32_t> onBits = onCells;
        const bool bCells = LeastPlacement(r.clues, cells, onCells.data());
        ASSERT_EQ(LeastPlacement(r.clues, words.Line(r.line.size()), onBits.data()), bCells) << nTrial;
        if (bCells) {
            ASSERT_EQ(onBits, onCells) << nTrial;
        }

        // Backwards: the reversed runs on the line read from its end, against
        // the reversed cells read forwards.
        ClueList reversed(r.clues.rbegin(), r.clues.rend());
        CPuzzle::PrepareRanges(reversed, nLength);
        const std::vector<CellState> mirror(r.line.rbegin(), r.line.rend());
        const CCellLine<CellState, CELL_EMPTY, CELL_FILLED> mirrorCells(mirror.data(), nLength, scratch.lastEmpty,
                                                                        scratch.lastFilled, scratch.filledEnd);
        std::vector<int32_t> onMirror = StartsOf(reversed);
        std::vector<int32_t> onMirroredBits = onMirror;
        const bool bMirror = LeastPlacement(reversed, mirrorCells, onMirror.data());
        ASSERT_EQ(LeastPlacement(reversed, MirroredBitLine{words.Line(r.line.size())}, onMirroredBits.data()), bMirror)
            << nTrial;
        if (bMirror) {
            ASSERT_EQ(onMirroredBits, onMirror) << nTrial;
        }
    }
}

// First and last set or clear bit of a range, against a walk over the bits.
TEST(WordScan, FindsTheFirstAndLastBitOfARange) {
    std::mt19937 random(5);
    for (int nTrial = 0; nTrial < 3000; ++nTrial) {
        const size_t nWords = 1 + random() % 5;
        std::vector<uint64_t> words(nWords);
        const unsigned nDensity = random() % 101;
        for (size_t i = 0; i < 64 * nWords; ++i)
            if (random() % 100 < nDensity)
                words[i / 64] |= uint64_t{1} << (i % 64);
        const auto nBits = static_cast<int32_t>(64 * nWords);
        const auto a = static_cast<int32_t>(random() % static_cast<uint32_t>(nBits + 1));
        const auto b = a + static_cast<int32_t>(random() % static_cast<uint32_t>(nBits - a + 1));
        for (const bool bClear : {false, true}) {
            int32_t nFirst = b;
            int32_t nLast = a - 1;
            for (int32_t i = a; i < b; ++i) {
                if (WordScan::Test(words.data(), i) != bClear) {
                    nFirst = std::min(nFirst, i);
                    nLast = i;
                }
            }
            ASSERT_EQ(WordScan::First(words.data(), a, b, bClear), nFirst) << a << ".." << b;
            ASSERT_EQ(WordScan::Last(words.data(), a, b, bClear), nLast) << a << ".." << b;
        }
    }
}

// The fast mode decides from its leftmost and rightmost placements alone. A
// cell that becomes known as both agree (empty outside their runs, filled
// inside a run of each) leaves a line the fast mode gave nothing on giving
// nothing again: the driver then leaves the line clean.
TEST(FastMode, ACellBothExtremePlacementsAgreeWithChangesNothing) {
    std::mt19937 random(31);
    int nChecked = 0;
    for (int nTrial = 0; nTrial < 20000 && nChecked < 4000; ++nTrial) {
        RandomRun r = MakeLine(random, 40);
        if (r.clues.empty())
            continue;
        std::vector<int16_t> lengths;
        for (const Clue& clue : r.clues)
            lengths.push_back(clue.length);
        std::string text;
        for (CellState state : r.line)
            text += state == CELL_FILLED ? 'X' : state == CELL_EMPTY ? '-' : '.';
        CPuzzle puzzle = MakeRowPuzzle(lengths, text);
        puzzle.SetFullSweep(1);
        if (puzzle.SolveRow(0))
            continue; // the line must first give nothing
        const std::string settled = RowText(puzzle, 0);
        const auto nLength = static_cast<int32_t>(settled.size());
        const std::vector<CellState> cells = ParseCells(settled);
        ClueList left = puzzle.GetRowClues(0);
        for (Clue& clue : left)
            clue.pos = clue.minStart;
        ClueList right(left.rbegin(), left.rend());
        CPuzzle::PrepareRanges(right, nLength);
        const std::vector<CellState> mirror(cells.rbegin(), cells.rend());
        if (!CPuzzle::PushLeftStepwise(left, cells.data(), nLength) ||
            !CPuzzle::PushLeftStepwise(right, mirror.data(), nLength))
            continue;
        auto covers = [&](int32_t i) {
            bool bLeft = false;
            bool bRight = false;
            for (size_t t = 0; t < left.size(); ++t) {
                const Clue& back = right[left.size() - 1 - t];
                const int32_t nRightStart = nLength - back.pos - back.length;
                bLeft |= left[t].pos <= i && i < left[t].pos + left[t].length;
                bRight |= nRightStart <= i && i < nRightStart + left[t].length;
            }
            return std::pair{bLeft, bRight};
        };
        for (int32_t i = 0; i < nLength; ++i) {
            if (cells[static_cast<size_t>(i)] != CELL_UNKNOWN)
                continue;
            const auto [bLeft, bRight] = covers(i);
            if (bLeft != bRight)
                continue; // the placements disagree on this cell
            std::string more = settled;
            more[static_cast<size_t>(i)] = bLeft ? 'X' : '-';
            CPuzzle again = MakeRowPuzzle(lengths, more);
            again.SetFullSweep(1);
            ASSERT_FALSE(again.SolveRow(0)) << text << " then " << more;
            ++nChecked;
        }
    }
    EXPECT_GE(nChecked, 4000);
}

} // namespace
