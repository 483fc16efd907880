// Auto-reset events and the periodic timer: collapsing ticks, pausing and stopping.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/timer.h"

namespace {

using namespace std::chrono_literals;

// Waits up to a generous limit for a condition that should come true quickly.
template <typename F>
bool eventually(F condition)
{
    auto limit = std::chrono::steady_clock::now() + 10s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > limit)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

}  // namespace

TEST(Event, IsAutoReset)
{
    plat_event event;
    EXPECT_FALSE(event.wait(0));
    event.set();
    event.set();  // two signals before a wait are one
    EXPECT_TRUE(event.wait(0));
    EXPECT_FALSE(event.wait(0));
    event.set();
    event.reset();
    EXPECT_FALSE(event.wait(10));
}

TEST(Event, SetWakesAWaiterOnAnotherThread)
{
    plat_event event;
    std::atomic<bool> woke{false};
    std::thread waiter([&] { woke = event.wait(-1); });
    std::this_thread::sleep_for(20ms);
    event.set();
    waiter.join();
    EXPECT_TRUE(woke);
    EXPECT_FALSE(event.wait(0));  // the waiter consumed the signal
}

TEST(PeriodicTimer, RefusesBadStarts)
{
    plat_periodic_timer timer;
    EXPECT_FALSE(timer.start(0, 1, [] {}));
    EXPECT_FALSE(timer.start(5, 1, nullptr));
    EXPECT_TRUE(timer.start(5, 1, [] {}));
    EXPECT_TRUE(timer.running());
    EXPECT_FALSE(timer.start(5, 1, [] {}));
    timer.stop();
    EXPECT_FALSE(timer.running());
    timer.stop();  // stopping twice is harmless
}

TEST(PeriodicTimer, TicksThatFallDueDuringATickCollapseIntoOne)
{
    // The first tick holds on for about a hundred periods. Pausing before it ends keeps new
    // signals away, so what runs afterwards is only what queued up during it: exactly one.
    plat_periodic_timer timer;
    std::atomic<int> ticks{0};
    std::atomic<bool> release{false};
    ASSERT_TRUE(timer.start(2, 1, [&] {
        if (ticks++ == 0)
            while (!release)
                std::this_thread::sleep_for(1ms);
    }));
    ASSERT_TRUE(eventually([&] { return ticks == 1; }));
    std::this_thread::sleep_for(200ms);
    timer.set_paused(true);
    release = true;
    ASSERT_TRUE(eventually([&] { return ticks >= 2; }));
    std::this_thread::sleep_for(100ms);
    timer.stop();
    EXPECT_EQ(ticks, 2);
}

TEST(PeriodicTimer, SlowTicksRunFarFewerTimesThanPeriodsElapse)
{
    plat_periodic_timer timer;
    std::atomic<int> ticks{0};
    auto begin = std::chrono::steady_clock::now();
    ASSERT_TRUE(timer.start(2, 1, [&] {
        ticks++;
        std::this_thread::sleep_for(40ms);
    }));
    std::this_thread::sleep_for(400ms);
    timer.stop();
    auto periods = (std::chrono::steady_clock::now() - begin) / 2ms;
    // Each tick takes at least 20 periods and ticks never overlap.
    EXPECT_GE(ticks, 1);
    EXPECT_LE(ticks, periods / 20 + 1);
}

TEST(PeriodicTimer, NoTickRunsAfterStopReturns)
{
    plat_periodic_timer timer;
    std::atomic<int> ticks{0};
    std::atomic<bool> in_tick{false};
    ASSERT_TRUE(timer.start(1, 1, [&] {
        in_tick = true;
        std::this_thread::sleep_for(5ms);
        ticks++;
        in_tick = false;
    }));
    ASSERT_TRUE(eventually([&] { return ticks >= 3; }));
    timer.stop();
    EXPECT_FALSE(in_tick);
    int after_stop = ticks;
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(ticks, after_stop);
}

TEST(PeriodicTimer, PausedTimerDoesNotTick)
{
    plat_periodic_timer timer;
    std::atomic<int> ticks{0};
    timer.set_paused(true);
    ASSERT_TRUE(timer.start(1, 1, [&] { ticks++; }));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(ticks, 0);
    timer.set_paused(false);
    EXPECT_TRUE(eventually([&] { return ticks > 0; }));
    timer.stop();  // before `ticks` goes
}

TEST(PeriodicTimer, StopFromInsideATickReturnsAndTheTimerCanRestart)
{
    plat_periodic_timer timer;
    std::atomic<int> ticks{0};
    ASSERT_TRUE(timer.start(1, 1, [&] {
        ticks++;
        timer.stop();
    }));
    ASSERT_TRUE(eventually([&] { return !timer.running(); }));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(ticks, 1);
    std::atomic<int> second{0};
    ASSERT_TRUE(timer.start(1, 1, [&] { second++; }));
    EXPECT_TRUE(eventually([&] { return second > 0; }));
    timer.stop();
}

TEST(PeriodicTimer, DestroyedFromInsideItsOwnTick)
{
    auto* timer = new plat_periodic_timer;
    std::atomic<bool> done{false};
    ASSERT_TRUE(timer->start(1, 1, [&] {
        if (!done.exchange(true))
            delete timer;
    }));
    EXPECT_TRUE(eventually([&] { return done.load(); }));
    std::this_thread::sleep_for(20ms);  // the worker thread unwinds on its own
}
