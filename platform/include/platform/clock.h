// A 32-bit wrapping millisecond clock and sleep, both replaceable by tests.
#pragma once
#include <cstdint>

uint32_t plat_tick_ms();
// The same tick read from the system's coarse clock: a few nanoseconds a read, a few milliseconds
// resolution; the override replaces it too.
uint32_t plat_coarse_tick_ms();
void plat_sleep_ms(uint32_t milliseconds);

typedef uint32_t (*plat_tick_source)();
typedef void (*plat_sleep_sink)(uint32_t milliseconds);
// nullptr restores the real clock or sleep.
void plat_clock_override(plat_tick_source tick, plat_sleep_sink sleep);
