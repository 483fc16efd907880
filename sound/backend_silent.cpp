// The silent device: no sound, but channel positions advance with time so playing state is kept.
#include <cmath>

#include "fmod_internal.h"

namespace {

using clock_type = std::chrono::steady_clock;

unsigned next_buffer = 0;

// Moves the cursor to now at the rate that held since the last mark.
void advance(fs_voice& voice)
{
    const clock_type::time_point now = clock_type::now();
    const double seconds = std::chrono::duration<double>(now - voice.mark).count();
    voice.mark = now;
    voice.cursor += seconds * voice.run_rate;
    if (voice.loop && voice.frames > 0)
        voice.cursor = std::fmod(voice.cursor, static_cast<double>(voice.frames));
}

std::vector<std::string> devices()
{
    return {"Silent output"};
}

bool open(const char*, int)
{
    return true;
}

void close() {}

unsigned buffer_create(const std::vector<int16_t>&, int, int)
{
    next_buffer = next_buffer == ~0u ? 1 : next_buffer + 1;
    return next_buffer;
}

void buffer_free(unsigned) {}

void apply(fs_voice& voice)
{
    advance(voice);
    voice.run_rate = voice.paused ? 0.0 : static_cast<double>(voice.frequency);
}

bool start(fs_voice& voice, unsigned)
{
    voice.cursor = 0.0;
    voice.run_rate = 0.0;
    voice.mark = clock_type::now();
    apply(voice);
    return true;
}

void stop(fs_voice& voice)
{
    voice.run_rate = 0.0;
}

void release(fs_voice&) {}

bool playing(fs_voice& voice)
{
    advance(voice);
    return voice.loop || voice.cursor < voice.frames;
}

void commit() {}

}  // namespace

const fs_backend fs_silent_backend = {devices, open,  close,   buffer_create, buffer_free, start,
                                      stop,    release, apply, playing,       commit};
