// The single-run memo may keep a line clean only where settling it again
// would give nothing and leave the run's fitting starts where they were:
// checked against the settle itself on random one-run lines, and on the
// lines where it must and must not vouch.

#include "solver/SingleRunMemo.h"
#include "solver/LineAgreement.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// A line's known cells as the bit sets the settle reads.
struct Line {
    std::vector<uint64_t> filled;
    std::vector<uint64_t> empty;
    int32_t nLength = 0;

    explicit Line(const std::string& text) : nLength(static_cast<int32_t>(text.size())) {
        filled.assign(CLineAgreement::WordsFor(nLength), 0);
        empty.assign(filled.size(), 0);
        for (int32_t i = 0; i < nLength; ++i)
            Set(i, text[static_cast<size_t>(i)] == 'X' ? CELL_FILLED : text[static_cast<size_t>(i)] == '-' ? CELL_EMPTY
                                                                                                            : CELL_UNKNOWN);
    }
    void Set(int32_t i, CellState state) {
        const uint64_t nBit = uint64_t{1} << (i % 64);
        if (state == CELL_FILLED)
            filled[static_cast<size_t>(i) / 64] |= nBit;
        if (state == CELL_EMPTY)
            empty[static_cast<size_t>(i) / 64] |= nBit;
    }
    bool Known(int32_t i) const { return WordScan::Test(filled.data(), i) || WordScan::Test(empty.data(), i); }
};

// What settling the line gives: whether a placement fits, whether it
// decides a cell still unknown, and the run's first and last fitting start.
struct Settled {
    bool bFits = false;
    bool bDecides = false;
    Clue run;
};

Settled Settle(const Line& line, Clue run) {
    Settled s;
    std::vector<uint64_t> canFill(line.filled.size());
    std::vector<uint64_t> canEmpty(line.filled.size());
    int32_t nLeft = 0;
    int32_t nRight = 0;
    s.bFits = CLineAgreement::SettleWords({run}, line.nLength, line.filled.data(), line.empty.data(), canFill.data(),
                                          canEmpty.data(), &nLeft, &nRight);
    for (int32_t i = 0; s.bFits && i < line.nLength; ++i)
        s.bDecides |= !line.Known(i) && WordScan::Test(canFill.data(), i) != WordScan::Test(canEmpty.data(), i);
    run.minStart = nLeft;
    run.maxStart = nRight;
    s.run = run;
    return s;
}

Clue RunOf(int16_t nLength, int32_t nLineLength) {
    Clue run;
    run.length = nLength;
    run.maxStart = nLineLength - nLength;
    return run;
}

// Settles the line until it gives nothing, keeps its run, and asks about
// cell nCell becoming empty.
bool StillNothing(Line line, int16_t nRun, int32_t nCell) {
    const Settled settled = Settle(line, RunOf(nRun, line.nLength));
    EXPECT_TRUE(settled.bFits && !settled.bDecides) << "the case must start from a line that gives nothing";
    CSingleRunMemo memo;
    memo.Reset(1);
    memo.Keep(0, settled.run);
    line.Set(nCell, CELL_EMPTY);
    return memo.StillNothing(0, nCell, CELL_EMPTY, line.empty.data(), line.nLength);
}

TEST(SingleRunMemoTest, VouchesOnlyWherePlacementsStillCoverTheCellsAround) {
    struct Case {
        const char* name;
        const char* line;
        int16_t nRun;
        int32_t nCell;
        bool bStillNothing;
    };
    const Case cases[] = {
        // A sparse row: the run fits its shape's cells and anywhere in the
        // undecided stretch; the stretch loses its first cell.
        {"the first cell of a long stretch", "--........-----------.....................", 4, 21, true},
        {"the leftmost placement's cell", "--........-----------.....................", 4, 3, false},
        {"the rightmost placement's cell", "--........-----------.....................", 4, 40, false},
        // Left of the cell 2 cells of its stretch remain, too few for the
        // run: they become empty.
        {"a part too short for the run", "-......-...............", 4, 10, false},
        {"the middle of a long stretch", "-..............................", 4, 15, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(StillNothing(Line(c.line), c.nRun, c.nCell), c.bStillNothing);
        if (c.bStillNothing) {
            Line after(c.line);
            after.Set(c.nCell, CELL_EMPTY);
            const Settled before = Settle(Line(c.line), RunOf(c.nRun, after.nLength));
            const Settled again = Settle(after, before.run);
            EXPECT_FALSE(again.bDecides);
        }
    }
}

TEST(SingleRunMemoTest, AFilledCellOrALineNotKeptIsNeverVouchedFor) {
    Line line("-..............................");
    CSingleRunMemo memo;
    memo.Reset(2);
    memo.Keep(0, Settle(line, RunOf(4, line.nLength)).run);
    EXPECT_FALSE(memo.StillNothing(0, 15, CELL_FILLED, line.empty.data(), line.nLength));
    EXPECT_FALSE(memo.StillNothing(1, 15, CELL_EMPTY, line.empty.data(), line.nLength));
    memo.Forget(0);
    EXPECT_FALSE(memo.StillNothing(0, 15, CELL_EMPTY, line.empty.data(), line.nLength));
}

// Random lines of one and several words: every cell the memo vouches for,
// made empty, leaves a line the settle decides nothing on, with the same
// first and last fitting start. The kept run follows the line as the
// driver keeps it: cell after cell, while the memo vouches.
TEST(SingleRunMemoTest, WhatItVouchesForTheSettleConfirms) {
    std::mt19937 random(20261209);
    int nVouched = 0;
    for (int nCase = 0; nCase < 3000; ++nCase) {
        const int32_t nLength = std::uniform_int_distribution<int32_t>(8, 200)(random);
        const auto nRun = static_cast<int16_t>(std::uniform_int_distribution<int32_t>(1, 12)(random));
        std::string text(static_cast<size_t>(nLength), '.');
        const double dEmpty = std::uniform_real_distribution<double>(0.0, 0.3)(random);
        for (char& cell : text) {
            const double d = std::uniform_real_distribution<double>(0.0, 1.0)(random);
            cell = d < dEmpty ? '-' : d < dEmpty + 0.01 ? 'X' : '.';
        }
        Line line(text);
        Settled settled = Settle(line, RunOf(nRun, nLength));
        if (!settled.bFits)
            continue;
        // The cells the settle decides, decided: the line then gives nothing.
        std::vector<uint64_t> canFill(line.filled.size());
        std::vector<uint64_t> canEmpty(line.filled.size());
        CLineAgreement::SettleWords({settled.run}, nLength, line.filled.data(), line.empty.data(), canFill.data(),
                                    canEmpty.data());
        for (int32_t i = 0; i < nLength; ++i)
            if (!line.Known(i) && WordScan::Test(canFill.data(), i) != WordScan::Test(canEmpty.data(), i))
                line.Set(i, WordScan::Test(canFill.data(), i) ? CELL_FILLED : CELL_EMPTY);
        settled = Settle(line, settled.run);
        ASSERT_TRUE(settled.bFits && !settled.bDecides) << text;

        CSingleRunMemo memo;
        memo.Reset(1);
        memo.Keep(0, settled.run);
        for (int nStep = 0; nStep < 8; ++nStep) {
            const int32_t nCell = std::uniform_int_distribution<int32_t>(0, nLength - 1)(random);
            if (line.Known(nCell))
                continue;
            line.Set(nCell, CELL_EMPTY);
            if (!memo.StillNothing(0, nCell, CELL_EMPTY, line.empty.data(), nLength))
                break;
            ++nVouched;
            const Settled again = Settle(line, settled.run);
            ASSERT_TRUE(again.bFits) << text << " cell " << nCell;
            EXPECT_FALSE(again.bDecides) << text << " cell " << nCell;
            EXPECT_EQ(again.run.minStart, settled.run.minStart) << text << " cell " << nCell;
            EXPECT_EQ(again.run.maxStart, settled.run.maxStart) << text << " cell " << nCell;
        }
    }
    // Most random lines give the memo its case: it must vouch for some.
    EXPECT_GT(nVouched, 1000);
}

} // namespace
