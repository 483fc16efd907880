// The engine clock: one millisecond tick for event deadlines, last ticks and timed animations.
#include "foundation/engine_clock.h"

#include "platform/clock.h"

uint32_t engine_clock_now() {
    const uint32_t now = plat_tick_ms();
    return now == 0 ? 1 : now;
}

int32_t engine_clock_elapsed(uint32_t now, uint32_t since) {
    // The difference taken modulo 2^32 and read as signed is right across a wrap.
    return static_cast<int32_t>(now - since);
}

bool engine_clock_is_due(uint32_t deadline, uint32_t now) {
    return deadline != 0 && engine_clock_elapsed(now, deadline) >= 0;
}
