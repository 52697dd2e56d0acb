#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Cells by activity, for branching: a binary heap that gives the most
// active cell in it, the lower cell first on ties, and keeps the
// activities itself. Picking from it costs a logarithm where scanning every
// cell costs the grid; the order is the scan's, so a search takes the same
// steps either way. Cells taken out go back in when they are undone.
class CActivityHeap {
  public:
    // These activities, every cell in the heap.
    void Reset(const std::vector<double>& activity) {
        m_activity = activity;
        m_position.resize(m_activity.size());
        Rebuild(true);
    }

    double Activity(size_t nCell) const { return m_activity[nCell]; }
    bool Empty() const { return m_heap.empty(); }
    bool Contains(size_t nCell) const { return m_position[nCell] != kOut; }

    // The cell's activity grows by dAmount (dAmount >= 0).
    void Add(size_t nCell, double dAmount) {
        m_activity[nCell] += dAmount;
        if (Contains(nCell))
            Up(m_position[nCell]);
    }

    // Every activity times dFactor: the order stays, except for values
    // that become equal, so the heap is rebuilt.
    void Scale(double dFactor) {
        for (double& dActivity : m_activity)
            dActivity *= dFactor;
        Rebuild(false);
    }

    void Insert(size_t nCell) {
        if (Contains(nCell))
            return;
        m_position[nCell] = m_heap.size();
        m_heap.push_back(static_cast<uint32_t>(nCell));
        Up(m_heap.size() - 1);
    }

    // Takes the first cell out. The heap must not be empty.
    size_t Pop() {
        const uint32_t nTop = m_heap.front();
        m_position[nTop] = kOut;
        const uint32_t nLast = m_heap.back();
        m_heap.pop_back();
        if (!m_heap.empty()) {
            Place(0, nLast);
            Down(0);
        }
        return nTop;
    }

  private:
    static constexpr size_t kOut = SIZE_MAX;

    // Every cell (or every cell in the heap now), in cell order, then made
    // a heap.
    void Rebuild(bool bEvery) {
        m_heap.clear();
        for (size_t nCell = 0; nCell < m_activity.size(); ++nCell) {
            const bool bIn = bEvery || Contains(nCell);
            m_position[nCell] = bIn ? m_heap.size() : kOut;
            if (bIn)
                m_heap.push_back(static_cast<uint32_t>(nCell));
        }
        for (size_t i = m_heap.size() / 2; i-- > 0;)
            Down(i);
    }

    bool Before(uint32_t a, uint32_t b) const {
        return m_activity[a] > m_activity[b] || (m_activity[a] == m_activity[b] && a < b);
    }
    void Place(size_t i, uint32_t nCell) {
        m_heap[i] = nCell;
        m_position[nCell] = i;
    }
    void Up(size_t i) {
        const uint32_t nCell = m_heap[i];
        while (i > 0 && Before(nCell, m_heap[(i - 1) / 2])) {
            Place(i, m_heap[(i - 1) / 2]);
            i = (i - 1) / 2;
        }
        Place(i, nCell);
    }
    void Down(size_t i) {
        const uint32_t nCell = m_heap[i];
        for (;;) {
            size_t nChild = 2 * i + 1;
            if (nChild >= m_heap.size())
                break;
            if (nChild + 1 < m_heap.size() && Before(m_heap[nChild + 1], m_heap[nChild]))
                ++nChild;
            if (!Before(m_heap[nChild], nCell))
                break;
            Place(i, m_heap[nChild]);
            i = nChild;
        }
        Place(i, nCell);
    }

    std::vector<double> m_activity; // by cell
    std::vector<uint32_t> m_heap;
    std::vector<size_t> m_position; // by cell: its place in m_heap, or kOut
};
