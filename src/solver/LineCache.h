#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Line results by line and cells. Probing and search meet the same line in
// the same state again and again; a lookup costs a hash of a few words
// instead of a dynamic programme over the line.
//
// A line's cells are packed two bits each (the cell states) into
// `nWords` 64-bit words; the result is packed the same way. Keys are compared
// in full, so a hash collision never returns another line's result. The
// memory is bounded: when the word pool is full, everything is forgotten.
class CLineCache {
  public:
    // The packed result of the line in this state; nullptr when unknown.
    // *pbFits tells whether any placement fits (the result is then unused).
    const uint64_t* Find(uint32_t nLine, const uint64_t* pKey, size_t nWords, bool* pbFits) const;
    // Remembers a result (ignored when nullptr, i.e. no placement fits).
    void Insert(uint32_t nLine, const uint64_t* pKey, size_t nWords, const uint64_t* pResult);

    size_t Size() const { return m_nUsed; }

  private:
    // A line of up to 32 cells (one word) is kept in its slot, so a lookup
    // touches one place in memory; longer lines keep key and result words
    // in the pool.
    struct Slot {
        uint64_t nHash = 0;
        uint64_t nKey = 0;    // a one-word key
        uint64_t nResult = 0; // a one-word result
        uint32_t nLine = 0;
        uint32_t nOffset = kEmptySlot; // in the pool: key words, then result words (if it fits)
        bool bFits = false;
    };
    static constexpr uint32_t kEmptySlot = UINT32_MAX;

    static uint64_t Hash(uint32_t nLine, const uint64_t* pKey, size_t nWords);
    void Place(const Slot& slot);
    void Grow();
    void Clear();

    std::vector<Slot> m_slots; // open addressing, linear probing
    std::vector<uint64_t> m_pool;
    size_t m_nUsed = 0;
};
