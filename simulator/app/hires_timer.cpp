// THiResTimer over the platform's periodic timer.
#include "app/hires_timer.h"

THiResTimer::~THiResTimer()
{
    timer_.stop();
}

void THiResTimer::SetEnabled(bool value)
{
    if (value == enabled_)
        return;
    if (value)
        StartTimer();
    else
        timer_.stop();
    enabled_ = value;
}

void THiResTimer::StartTimer()
{
    const int interval = interval_;
    const int resolution = resolution_;
    const bool started = interval > 0 && resolution >= 0 &&
                         timer_.start(static_cast<uint32_t>(interval),
                                      static_cast<uint32_t>(resolution), [handler = OnTimer] {
                                          if (handler)
                                              handler();
                                      });
    if (!started) {
        enabled_ = false;
        throw EHiResTimer("Unable to create a timer");
    }
}
