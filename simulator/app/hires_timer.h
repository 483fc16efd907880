// THiResTimer: a periodic timer whose OnTimer handler runs on a worker thread of its own.
#pragma once
#include <atomic>
#include <functional>
#include <stdexcept>

#include "platform/timer.h"

// Raised when the timer cannot be created.
class EHiResTimer : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class THiResTimer {
public:
    THiResTimer() = default;
    ~THiResTimer();  // disables
    THiResTimer(const THiResTimer&) = delete;
    THiResTimer& operator=(const THiResTimer&) = delete;

    bool Enabled() const { return enabled_; }
    // A change starts or stops the worker; once false has returned no tick runs.
    // Throws EHiResTimer "Unable to create a timer" and stays disabled when the timer
    // cannot be created. Must not be called while holding a lock a tick waits for.
    void SetEnabled(bool value);

    int Interval() const { return interval_; }  // ms
    void SetInterval(int ms) { interval_ = ms; }
    int Resolution() const { return resolution_; }  // ms
    void SetResolution(int ms) { resolution_ = ms; }

    // Runs on the worker thread; set it while the timer is disabled.
    std::function<void()> OnTimer;

private:
    void StartTimer();

    plat_periodic_timer timer_;
    bool enabled_ = false;
    std::atomic<int> interval_{100};
    std::atomic<int> resolution_{100};
};
