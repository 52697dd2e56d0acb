#include "solver/LineCache.h"

#include <algorithm>

namespace {

// Slots: a power of two, at most half used so that probe chains stay short.
// The table starts small (a small puzzle should not pay for a large one's
// table) and doubles up to its largest size.
constexpr size_t kFirstSlots = size_t{1} << 12;
constexpr size_t kMaxSlots = size_t{1} << 18;
// Words of keys and results kept (64 MiB) before the cache starts again.
constexpr size_t kMaxPoolWords = size_t{8} << 20;

// A 64-bit finaliser (splitmix64): cheap, and every input bit reaches every
// output bit, so packed lines that differ in one cell land far apart.
uint64_t Mix(uint64_t x) {
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9ULL;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

} // namespace

uint64_t CLineCache::Hash(uint32_t nLine, const uint64_t* pKey, size_t nWords) {
    uint64_t nHash = Mix(nLine + 0x9e3779b97f4a7c15ULL);
    for (size_t w = 0; w < nWords; ++w)
        nHash = Mix(nHash ^ pKey[w]);
    return nHash;
}

const uint64_t* CLineCache::Find(uint32_t nLine, const uint64_t* pKey, size_t nWords, bool* pbFits) const {
    if (m_slots.empty())
        return nullptr;
    const uint64_t nHash = Hash(nLine, pKey, nWords);
    const size_t nMask = m_slots.size() - 1;
    for (size_t i = nHash & nMask;; i = (i + 1) & nMask) {
        const Slot& slot = m_slots[i];
        if (slot.nOffset == kEmptySlot)
            return nullptr;
        if (slot.nHash != nHash || slot.nLine != nLine)
            continue;
        if (nWords == 1 && slot.nKey == pKey[0]) {
            *pbFits = slot.bFits;
            return &slot.nResult;
        }
        if (nWords > 1 && std::equal(pKey, pKey + nWords, m_pool.begin() + slot.nOffset)) {
            *pbFits = slot.bFits;
            return m_pool.data() + slot.nOffset + nWords;
        }
    }
}

void CLineCache::Insert(uint32_t nLine, const uint64_t* pKey, size_t nWords, const uint64_t* pResult) {
    if (m_slots.empty())
        m_slots.resize(kFirstSlots); // on first use: most puzzles never need the cache
    if (m_pool.size() + 2 * nWords > kMaxPoolWords || (m_nUsed >= m_slots.size() / 2 && m_slots.size() >= kMaxSlots))
        Clear();
    else if (m_nUsed >= m_slots.size() / 2)
        Grow();
    Slot slot;
    slot.nHash = Hash(nLine, pKey, nWords);
    slot.nLine = nLine;
    slot.bFits = pResult != nullptr;
    if (nWords == 1) {
        slot.nKey = pKey[0];
        slot.nResult = pResult ? pResult[0] : 0;
        slot.nOffset = 0;
    } else {
        slot.nOffset = static_cast<uint32_t>(m_pool.size());
        m_pool.insert(m_pool.end(), pKey, pKey + nWords);
        if (pResult)
            m_pool.insert(m_pool.end(), pResult, pResult + nWords);
    }
    Place(slot);
    ++m_nUsed;
}

void CLineCache::Place(const Slot& slot) {
    const size_t nMask = m_slots.size() - 1;
    size_t i = slot.nHash & nMask;
    while (m_slots[i].nOffset != kEmptySlot)
        i = (i + 1) & nMask;
    m_slots[i] = slot;
}

void CLineCache::Grow() {
    std::vector<Slot> old(m_slots.size() * 2);
    old.swap(m_slots);
    for (const Slot& slot : old)
        if (slot.nOffset != kEmptySlot)
            Place(slot);
}

void CLineCache::Clear() {
    std::fill(m_slots.begin(), m_slots.end(), Slot());
    m_pool.clear();
    m_nUsed = 0;
}
