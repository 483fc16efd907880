// THiResTimer: enabling, disabling, failure and ticks on the worker thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "app/hires_timer.h"

namespace {

using namespace std::chrono_literals;

// Waits up to a generous time for pred.
template <typename Pred>
bool WaitFor(Pred pred)
{
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

TEST(HiResTimer, Defaults)
{
    THiResTimer timer;
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 100);
    EXPECT_EQ(timer.Resolution(), 100);
}

TEST(HiResTimer, TicksOnItsOwnThreadAndStopsForGood)
{
    THiResTimer timer;
    std::atomic<int> ticks{0};
    std::atomic<bool> otherThread{true};
    const auto main = std::this_thread::get_id();
    timer.SetInterval(5);
    timer.SetResolution(1);
    timer.OnTimer = [&] {
        if (std::this_thread::get_id() == main)
            otherThread = false;
        ++ticks;
    };
    timer.SetEnabled(true);
    timer.SetEnabled(true);  // no change: still one worker
    EXPECT_TRUE(timer.Enabled());
    ASSERT_TRUE(WaitFor([&] { return ticks >= 3; }));
    timer.SetEnabled(false);
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Enabled());
    const int stopped = ticks;
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(ticks, stopped);
    EXPECT_TRUE(otherThread);
}

TEST(HiResTimer, DisableWaitsForARunningTick)
{
    THiResTimer timer;
    std::atomic<bool> inTick{false};
    std::atomic<int> ticks{0};
    timer.SetInterval(5);
    timer.OnTimer = [&] {
        inTick = true;
        std::this_thread::sleep_for(30ms);
        ++ticks;
        inTick = false;
    };
    timer.SetEnabled(true);
    ASSERT_TRUE(WaitFor([&] { return inTick.load(); }));
    timer.SetEnabled(false);
    EXPECT_FALSE(inTick);
    const int stopped = ticks;
    std::this_thread::sleep_for(60ms);
    EXPECT_EQ(ticks, stopped);
}

TEST(HiResTimer, TicksDueDuringATickCollapse)
{
    THiResTimer timer;
    std::atomic<int> ticks{0};
    std::atomic<int> running{0};
    std::atomic<int> mostAtOnce{0};
    timer.SetInterval(2);
    timer.OnTimer = [&] {
        const int now = ++running;
        if (now > mostAtOnce)
            mostAtOnce = now;
        std::this_thread::sleep_for(40ms);
        --running;
        ++ticks;
    };
    const auto start = std::chrono::steady_clock::now();
    timer.SetEnabled(true);
    ASSERT_TRUE(WaitFor([&] { return ticks >= 5; }));
    timer.SetEnabled(false);
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count();
    // Twenty periods fall due during each tick, yet ticks never overlap or queue up.
    EXPECT_EQ(mostAtOnce, 1);
    EXPECT_LE(ticks, elapsed / 40 + 2);
}

TEST(HiResTimer, UnableToCreateATimer)
{
    THiResTimer timer;
    timer.SetInterval(0);
    try {
        timer.SetEnabled(true);
        FAIL() << "no exception";
    } catch (const EHiResTimer& e) {
        EXPECT_STREQ(e.what(), "Unable to create a timer");
    }
    EXPECT_FALSE(timer.Enabled());
    // A good interval works afterwards.
    timer.SetInterval(10);
    timer.SetEnabled(true);
    EXPECT_TRUE(timer.Enabled());
    timer.SetEnabled(false);
}

TEST(HiResTimer, DestroyingAnEnabledTimerStopsIt)
{
    std::atomic<int> ticks{0};
    {
        THiResTimer timer;
        timer.SetInterval(5);
        timer.OnTimer = [&] { ++ticks; };
        timer.SetEnabled(true);
        ASSERT_TRUE(WaitFor([&] { return ticks >= 1; }));
    }
    const int stopped = ticks;
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(ticks, stopped);
}

}  // namespace
