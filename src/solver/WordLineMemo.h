#pragma once

#include "model/Clue.h"
#include "solver/LineAgreement.h"
#include "solver/OneWordLine.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Results of settling one-word lines, by line and known cells: a small
// direct-mapped table per line. Probing and search bring a line back to
// states it has been in again and again; a lookup compares two words where
// settling the line again runs its whole dynamic programme. A colliding
// state simply takes the slot over.
class CWordLineMemo {
  public:
    struct Slot {
        // The key: the line's filled and empty cells. All ones in both (a
        // cell both filled and empty) is no state at all: an unused slot.
        uint64_t nFilled = ~uint64_t{0};
        uint64_t nEmpty = ~uint64_t{0};
        // The cells every placement fills and leaves empty; all ones in both
        // when no placement fits.
        uint64_t agreed[2] = {0, 0};

        bool Holds(uint64_t nKnownFilled, uint64_t nKnownEmpty) const {
            return nFilled == nKnownFilled && nEmpty == nKnownEmpty;
        }
        bool Fits() const { return (agreed[0] & agreed[1]) == 0; }
    };

    void Reset(size_t nLines) { m_slots.assign(nLines * kSlotsPerLine, Slot()); }

    // The one slot a line's state may occupy.
    Slot& SlotFor(size_t nLine, uint64_t nFilled, uint64_t nEmpty) { return m_slots[Index(nLine, nFilled, nEmpty)]; }
    const Slot& SlotFor(size_t nLine, uint64_t nFilled, uint64_t nEmpty) const {
        return m_slots[Index(nLine, nFilled, nEmpty)];
    }

    // The slot of the line's state pKnown (its filled word, then its empty
    // word), settled now unless it holds that state already.
    const Slot& Settled(size_t nLine, const ClueList& clues, int32_t nLength, const uint64_t* pKnown) {
        return SettledBy(nLine, pKnown, [&](uint64_t* pAgreed) {
            return CLineAgreement::AgreedWords(clues, nLength, &pKnown[0], &pKnown[1], pAgreed);
        });
    }
    // The same for a line prepared in advance.
    const Slot& Settled(size_t nLine, const COneWordLine& line, const uint64_t* pKnown) {
        return SettledBy(nLine, pKnown, [&](uint64_t* pAgreed) {
            uint64_t nCanFill = 0;
            uint64_t nCanEmpty = 0;
            if (!line.Settle(pKnown[0], pKnown[1], nCanFill, nCanEmpty))
                return false;
            pAgreed[0] = nCanFill & ~nCanEmpty;
            pAgreed[1] = nCanEmpty & ~nCanFill;
            return true;
        });
    }

    // Whether a placement fits the state pKnown of the line nLine, answered
    // from the slot unless it holds another state. A memo used this way
    // keeps only that (no cell agreed, or all of them both ways): it is not
    // for Settled.
    bool Fits(size_t nLine, const COneWordLine& line, const uint64_t* pKnown) {
        Slot& slot = SlotFor(nLine, pKnown[0], pKnown[1]);
        if (!slot.Holds(pKnown[0], pKnown[1])) {
            slot.nFilled = pKnown[0];
            slot.nEmpty = pKnown[1];
            const bool bFits = line.Fits(pKnown[0], pKnown[1]);
            slot.agreed[0] = slot.agreed[1] = bFits ? 0 : ~uint64_t{0};
        }
        return slot.Fits();
    }

  private:
    // agree(pAgreed) fills the two agreed words, or says no placement fits.
    template <typename Agree> const Slot& SettledBy(size_t nLine, const uint64_t* pKnown, Agree agree) {
        Slot& slot = SlotFor(nLine, pKnown[0], pKnown[1]);
        if (slot.Holds(pKnown[0], pKnown[1]))
            return slot;
        slot.nFilled = pKnown[0];
        slot.nEmpty = pKnown[1];
        if (!agree(slot.agreed))
            slot.agreed[0] = slot.agreed[1] = ~uint64_t{0};
        return slot;
    }

    static size_t Index(size_t nLine, uint64_t nFilled, uint64_t nEmpty) {
        const uint64_t nHash = nFilled * 0x9e3779b97f4a7c15ULL ^ nEmpty * 0xc2b2ae3d27d4eb4fULL;
        return nLine * kSlotsPerLine + (nHash >> (64 - kSlotBits));
    }

    // 256 slots of 32 bytes a line: measured on hard 40 x 40 puzzles, fewer
    // slots miss often enough to cost search nodes, more gain little.
    static constexpr int kSlotBits = 8;
    static constexpr size_t kSlotsPerLine = size_t{1} << kSlotBits;

    std::vector<Slot> m_slots;
};
