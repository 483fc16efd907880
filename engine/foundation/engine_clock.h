// The engine clock: one millisecond tick for event deadlines, last ticks and timed animations.
#pragma once
#include <cstdint>

// The platform's 32-bit millisecond tick, never 0 (0 means never or not started).
uint32_t engine_clock_now();
// Milliseconds from `since` to `now`, across a wrap of the 32-bit tick; negative when `since` is later.
int32_t engine_clock_elapsed(uint32_t now, uint32_t since);
// True when a deadline (not 0) has been reached by `now`.
bool engine_clock_is_due(uint32_t deadline, uint32_t now);
