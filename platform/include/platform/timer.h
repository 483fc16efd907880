// Auto-reset events and a periodic timer whose ticks run on a worker thread of their own.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>

// An auto-reset event: set wakes one waiter; a wait consumes the signal.
class plat_event {
public:
    plat_event();
    ~plat_event();
    plat_event(const plat_event&) = delete;
    plat_event& operator=(const plat_event&) = delete;
    void set();
    void reset();
    // Waits for the signal; timeout_ms < 0 waits forever. True when signalled.
    bool wait(int timeout_ms);

private:
    struct state;
    std::unique_ptr<state> s_;
};

// A periodic timer signals an auto-reset event every period; a worker thread waits on the
// event and calls the tick. Ticks that fall due while a tick runs collapse into one.
// stop() is cooperative: when it returns no tick runs and none will.
class plat_periodic_timer {
public:
    plat_periodic_timer();
    ~plat_periodic_timer();  // stops
    plat_periodic_timer(const plat_periodic_timer&) = delete;
    plat_periodic_timer& operator=(const plat_periodic_timer&) = delete;
    // False when already running or the period is 0.
    bool start(uint32_t period_ms, uint32_t resolution_ms, std::function<void()> tick);
    // Safe to call from the tick itself (then it does not join its own thread).
    void stop();
    bool running() const;
    void set_paused(bool paused);  // while paused the event is not signalled

private:
    struct state;
    std::unique_ptr<state> s_;
};
