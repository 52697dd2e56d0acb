// The one-word line memo must never hand one state's result to another:
// not to a line's first state, not to a state that lands in the same slot,
// not to another line.

#include "solver/WordLineMemo.h"

#include "solver/LineAgreement.h"
#include "solver/OneWordLine.h"

#include "model/Puzzle.h"

#include <gtest/gtest.h>

namespace {

TEST(WordLineMemoTest, AFreshSlotHoldsNoState) {
    CWordLineMemo memo;
    memo.Reset(2);
    // The all-unknown line is the state every line starts in.
    for (const auto& [nFilled, nEmpty] : {std::pair<uint64_t, uint64_t>{0, 0}, {1, 0}, {0, 1}, {0x5, 0xa}})
        EXPECT_FALSE(memo.SlotFor(1, nFilled, nEmpty).Holds(nFilled, nEmpty)) << nFilled << " " << nEmpty;
}

// A state that shares the slot of (nFilled, nEmpty) but differs in the
// filled cells (bFilled) or the empty ones.
std::pair<uint64_t, uint64_t> Colliding(CWordLineMemo& memo, uint64_t nFilled, uint64_t nEmpty, bool bFilled) {
    const CWordLineMemo::Slot* pSlot = &memo.SlotFor(0, nFilled, nEmpty);
    for (uint64_t nOther = 1;; ++nOther) {
        const uint64_t f = bFilled ? nFilled ^ (nOther << 8) : nFilled;
        const uint64_t e = bFilled ? nEmpty : nEmpty ^ (nOther << 8);
        if (&memo.SlotFor(0, f, e) == pSlot)
            return {f, e};
    }
}

TEST(WordLineMemoTest, AStateInTheSameSlotIsNotTakenForAnother) {
    CWordLineMemo memo;
    memo.Reset(1);
    const uint64_t nFilled = 0x0f;
    const uint64_t nEmpty = 0xf0;
    for (const bool bFilled : {true, false}) {
        CWordLineMemo::Slot& slot = memo.SlotFor(0, nFilled, nEmpty);
        slot.nFilled = nFilled;
        slot.nEmpty = nEmpty;
        const auto [f, e] = Colliding(memo, nFilled, nEmpty, bFilled);
        EXPECT_TRUE(slot.Holds(nFilled, nEmpty));
        EXPECT_FALSE(slot.Holds(f, e)) << (bFilled ? "filled" : "empty") << " cells differ";
    }
}

TEST(WordLineMemoTest, LinesKeepTheirOwnSlots) {
    CWordLineMemo memo;
    memo.Reset(3);
    for (size_t nLine = 0; nLine + 1 < 3; ++nLine)
        EXPECT_NE(&memo.SlotFor(nLine, 0x3, 0x4), &memo.SlotFor(nLine + 1, 0x3, 0x4));
}

TEST(WordLineMemoTest, NoPlacementIsTellableFromAnyResult) {
    CWordLineMemo::Slot slot;
    slot.agreed[0] = 0x3;
    slot.agreed[1] = 0xc;
    EXPECT_TRUE(slot.Fits());
    slot.agreed[0] = slot.agreed[1] = ~uint64_t{0};
    EXPECT_FALSE(slot.Fits());
}

// What a state's slot gives is what settling that state gives, for every
// state of a short line in turn, however the states before took the slots;
// the same for a memo of the line prepared in advance and for a memo that
// keeps only whether a placement fits.
TEST(WordLineMemoTest, SettledGivesTheSettleOfTheStateAskedFor) {
    const int32_t nLength = 7;
    Clue first;
    first.length = 2;
    Clue second;
    second.length = 1;
    ClueList clues{first, second};
    CPuzzle::PrepareRanges(clues, nLength);
    CWordLineMemo memo;
    memo.Reset(1);
    CWordLineMemo preparedMemo;
    preparedMemo.Reset(1);
    CWordLineMemo fitsMemo;
    fitsMemo.Reset(1);
    const COneWordLine line(clues, nLength);
    int nFits = 0;
    // Every state of the seven cells, twice: the second round finds most
    // slots taken by other states.
    for (int nRound = 0; nRound < 2; ++nRound) {
        for (uint64_t nFilled = 0; nFilled < 128; ++nFilled) {
            for (uint64_t nEmpty = 0; nEmpty < 128; ++nEmpty) {
                if (nFilled & nEmpty)
                    continue;
                const uint64_t known[2] = {nFilled, nEmpty};
                uint64_t nCanFill = 0;
                uint64_t nCanEmpty = 0;
                const bool bFits =
                    CLineAgreement::SettleWords(clues, nLength, &known[0], &known[1], &nCanFill, &nCanEmpty);
                const CWordLineMemo::Slot& slot = memo.Settled(0, clues, nLength, known);
                ASSERT_TRUE(slot.Holds(nFilled, nEmpty));
                ASSERT_EQ(slot.Fits(), bFits) << nFilled << " " << nEmpty;
                ASSERT_EQ(fitsMemo.Fits(0, line, known), bFits) << nFilled << " " << nEmpty;
                const CWordLineMemo::Slot& prepared = preparedMemo.Settled(0, line, known);
                ASSERT_TRUE(prepared.Holds(nFilled, nEmpty));
                ASSERT_EQ(prepared.Fits(), bFits) << nFilled << " " << nEmpty;
                if (!bFits)
                    continue;
                ++nFits;
                EXPECT_EQ(slot.agreed[0], nCanFill & ~nCanEmpty) << nFilled << " " << nEmpty;
                EXPECT_EQ(slot.agreed[1], nCanEmpty & ~nCanFill) << nFilled << " " << nEmpty;
                EXPECT_EQ(prepared.agreed[0], slot.agreed[0]) << nFilled << " " << nEmpty;
                EXPECT_EQ(prepared.agreed[1], slot.agreed[1]) << nFilled << " " << nEmpty;
            }
        }
    }
    EXPECT_GT(nFits, 100);
}

} // namespace

// Only the lines the one-word form takes are prepared: up to 62 cells, runs
// that fit. A longer line or one whose runs cannot fit must be left to the
// general form.
TEST(OneWordLinesTest, PreparesExactlyTheLinesTheOneWordFormTakes) {
    auto cluesOf = [](std::initializer_list<int16_t> lengths, int32_t nLength) {
        ClueList clues;
        for (const int16_t nRun : lengths) {
            Clue clue;
            clue.length = nRun;
            clues.push_back(clue);
        }
        CPuzzle::PrepareRanges(clues, nLength);
        return clues;
    };
    struct Case {
        const char* pszName;
        int nRows;
        int nCols;
        bool bRowsPrepared;
        bool bColumnsPrepared;
    };
    for (const Case& c : {Case{"both short", 5, 62, true, true}, Case{"long rows", 5, 63, false, true},
                          Case{"long columns", 64, 5, true, false}}) {
        std::vector<ClueList> lines;
        for (int r = 0; r < c.nRows; ++r)
            lines.push_back(cluesOf({1}, c.nCols));
        for (int col = 0; col < c.nCols; ++col)
            lines.push_back(cluesOf({1}, c.nRows));
        COneWordLines prepared;
        prepared.Prepare(lines, c.nRows, c.nCols);
        EXPECT_EQ(prepared.Find(0) != nullptr, c.bRowsPrepared) << c.pszName;
        EXPECT_EQ(prepared.Find(static_cast<size_t>(c.nRows)) != nullptr, c.bColumnsPrepared) << c.pszName;
    }
    // Runs longer than their line: no word form at all.
    COneWordLines prepared;
    prepared.Prepare({cluesOf({3, 3}, 6), cluesOf({2}, 6)}, 2, 6); // two rows
    EXPECT_EQ(prepared.Find(0), nullptr);
    EXPECT_NE(prepared.Find(1), nullptr);
}
