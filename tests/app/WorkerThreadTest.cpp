#include "app/WorkerThread.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>

namespace {

// Waits (handling events) until `done` holds or two seconds have passed.
template <class Done> bool WaitFor(Done done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 2000)
        QTest::qWait(1);
    return done();
}

TEST(WorkerThread, TheWindowGetsTheNewestCellsAndThenTheEndInThatOrder) {
    CWorkerThread worker;
    std::vector<std::vector<CellState>> delivered;
    std::vector<std::string> events;
    QObject::connect(&worker, &CWorkerThread::progress, [&](const std::vector<CellState>& cells) {
        delivered.push_back(cells);
        events.push_back("progress");
    });
    QObject::connect(&worker, &CWorkerThread::finished, [&] { events.push_back("finished"); });
    constexpr int kPosts = 2000;
    worker.Start([&] {
        for (int i = 1; i <= kPosts; ++i)
            worker.PostProgress(std::vector<CellState>(3, static_cast<CellState>(i % 3)));
    });
    ASSERT_TRUE(WaitFor([&] { return !events.empty() && events.back() == "finished"; }));
    EXPECT_FALSE(worker.IsRunning());
    ASSERT_FALSE(delivered.empty());
    EXPECT_LT(delivered.size(), size_t{kPosts}) << "a window that falls behind skips old cells";
    EXPECT_EQ(delivered.back(), std::vector<CellState>(3, static_cast<CellState>(kPosts % 3))) << "the newest";
    EXPECT_EQ(std::count(events.begin(), events.end(), "finished"), 1);

    // It starts again once it has ended.
    bool bRan = false;
    worker.Start([&] { bRan = true; });
    ASSERT_TRUE(WaitFor([&] { return !worker.IsRunning(); }));
    EXPECT_TRUE(bRan);
    EXPECT_EQ(std::count(events.begin(), events.end(), "finished"), 2);
}

TEST(WorkerThread, GoingAwayWaitsForTheWorkWithoutAnyCall) {
    std::atomic<bool> bStop{false}, bEnded{false};
    int nFinished = 0;
    {
        CWorkerThread worker;
        QObject::connect(&worker, &CWorkerThread::finished, [&] { ++nFinished; });
        worker.Start([&] {
            while (!bStop)
                std::this_thread::yield();
            bEnded = true;
        });
        bStop = true;
    }
    EXPECT_TRUE(bEnded);
    QCoreApplication::processEvents();
    EXPECT_EQ(nFinished, 0);
}

} // namespace
