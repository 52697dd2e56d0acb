// The heap must give, at every step, the cell a scan over the cells still
// in it would pick (the most active, the lower cell on ties): branching
// through it then takes the same steps as scanning. Checked on random runs
// of growth, removal, return and rescaling, with many ties.

#include "solver/ActivityHeap.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// The scan the heap stands in for.
size_t ScanFirst(const std::vector<double>& activity, const std::vector<bool>& in) {
    size_t nBest = activity.size();
    for (size_t nCell = 0; nCell < activity.size(); ++nCell)
        if (in[nCell] && (nBest == activity.size() || activity[nCell] > activity[nBest]))
            nBest = nCell;
    return nBest;
}

TEST(ActivityHeap, GivesWhatAScanWouldPickThroughGrowthRemovalReturnAndRescaling) {
    std::mt19937 random(7);
    for (int nRound = 0; nRound < 200; ++nRound) {
        const size_t nCells = 1 + random() % 60;
        std::vector<double> activity(nCells);
        for (double& dActivity : activity)
            dActivity = static_cast<double>(random() % 4) + 0.1 * static_cast<double>(random() % 2); // many ties
        std::vector<bool> in(nCells, true);
        CActivityHeap heap;
        heap.Reset(activity);
        size_t nIn = nCells;
        for (int nStep = 0; nStep < 400; ++nStep) {
            const size_t nCell = random() % nCells;
            switch (random() % 5) {
            case 0: { // grow, by a step that also makes ties
                const double dAmount = static_cast<double>(random() % 3);
                activity[nCell] += dAmount;
                heap.Add(nCell, dAmount);
                break;
            }
            case 1:
                if (!in[nCell])
                    ++nIn;
                in[nCell] = true;
                heap.Insert(nCell);
                break;
            case 2: { // exactly, or down to where distinct values become equal
                const double dFactor = random() % 2 ? 0.5 : 1e-310;
                for (double& dActivity : activity)
                    dActivity *= dFactor;
                heap.Scale(dFactor);
                break;
            }
            default:
                if (nIn == 0)
                    break;
                const size_t nExpected = ScanFirst(activity, in);
                ASSERT_FALSE(heap.Empty());
                ASSERT_EQ(heap.Pop(), nExpected) << "round " << nRound << ", step " << nStep;
                in[nExpected] = false;
                --nIn;
            }
            ASSERT_EQ(heap.Empty(), nIn == 0);
            ASSERT_EQ(heap.Contains(nCell), in[nCell]);
            ASSERT_EQ(heap.Activity(nCell), activity[nCell]);
        }
        while (nIn > 0) { // drained in the scan's order
            const size_t nExpected = ScanFirst(activity, in);
            ASSERT_EQ(heap.Pop(), nExpected);
            in[nExpected] = false;
            --nIn;
        }
        EXPECT_TRUE(heap.Empty());
    }
}

} // namespace
