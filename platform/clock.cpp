// The wrapping millisecond tick and sleep, replaceable by tests.
#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

#include <time.h>

namespace {

std::atomic<plat_tick_source> tick_override{nullptr};
std::atomic<plat_sleep_sink> sleep_override{nullptr};

}  // namespace

uint32_t plat_tick_ms()
{
    if (plat_tick_source tick = tick_override.load())
        return tick();
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

uint32_t plat_coarse_tick_ms()
{
    if (plat_tick_source tick = tick_override.load(std::memory_order_relaxed))
        return tick();
    timespec now{};
    if (clock_gettime(CLOCK_MONOTONIC_COARSE, &now) != 0)
        return plat_tick_ms();
    const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000;
    return static_cast<uint32_t>(ms);
}

void plat_sleep_ms(uint32_t milliseconds)
{
    if (plat_sleep_sink sleep = sleep_override.load()) {
        sleep(milliseconds);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void plat_clock_override(plat_tick_source tick, plat_sleep_sink sleep)
{
    tick_override.store(tick);
    sleep_override.store(sleep);
}
