#pragma once

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

  private:
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
