// Periodic timers of both clocks: the grid, skipping instead of queueing,
// stopping from inside a tick.
#include "Clock.h"

#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <vector>

using namespace kv;

TEST(PeriodicTimer, VirtualTicksFollowTheGridAndSkipWhatASleepPassesOver)
{
    TVirtualClock clock;
    std::vector<qint64> at;
    std::unique_ptr<TPeriodicTimer> t = clock.createPeriodicTimer(100, [&] {
        at.push_back(clock.nowMs());
        if (at.size() == 3)
            clock.sleepMs(250); // a long tick: 400 and 500 pass by
    });
    clock.advance(1000);
    EXPECT_TRUE(at.empty()) << "not started";
    t->Start();
    clock.advance(750);
    EXPECT_EQ(at, (std::vector<qint64>{1100, 1200, 1300, 1600, 1700}));
    EXPECT_EQ(t->Skipped(), 2);
    EXPECT_EQ(clock.nowMs(), 1750);
    t->Stop();
    clock.advance(1000);
    EXPECT_EQ(at.size(), 5u);
}

TEST(PeriodicTimer, VirtualTimerStoppedByItsOwnTick)
{
    TVirtualClock clock;
    int ticks = 0;
    std::unique_ptr<TPeriodicTimer> t;
    t = clock.createPeriodicTimer(100, [&] {
        if (++ticks == 4)
            t->Stop();
    });
    t->Start();
    clock.advance(2000);
    EXPECT_EQ(ticks, 4);
    EXPECT_FALSE(t->Active());
}

TEST(PeriodicTimer, RealTimerTicksOnItsOwnThreadAndFinishesThere)
{
    TRealClock clock;
    std::atomic<int> ticks{0};
    std::atomic<bool> otherThread{false};
    std::atomic<bool> finishedThere{false};
    QThread *self = QThread::currentThread();
    std::unique_ptr<TPeriodicTimer> t;
    t = clock.createPeriodicTimer(10, [&] {
        otherThread = QThread::currentThread() != self;
        if (++ticks == 5) {
            QThread::msleep(35); // passes over grid points: skipped, not queued
            t->Stop();
        }
    });
    QThread *tickThread = t->TickThread();
    t->SetFinish([&] { finishedThere = QThread::currentThread() == tickThread; });
    t->Start();
    for (int i = 0; i < 500 && t->Active(); ++i)
        QThread::msleep(10);
    t.reset(); // joins
    EXPECT_EQ(ticks.load(), 5);
    EXPECT_TRUE(otherThread.load());
    EXPECT_TRUE(finishedThere.load());
}
