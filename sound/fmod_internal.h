// Shared state of the sound library: samples, channels, the last error and the audio back-end.
#pragma once
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "fmod_api.h"

// Handles carry a generation above the low 12 bits, so a handle is never 0 and never a
// channel number, and a handle from an earlier generation is recognised as stale.
constexpr int fs_index_bits = 12;
constexpr int fs_max_slots = 1 << fs_index_bits;
constexpr int fs_max_generation = (1 << (31 - fs_index_bits)) - 1;

struct fs_sample {
    bool used = false;
    int generation = 0;
    int frames = 0;
    int rate = 0;
    int channels = 0;
    unsigned loop_mode = FSOUND_LOOP_OFF;
    bool is3d = false;
    float min_distance = 1.0f;
    float max_distance = 1000000000.0f;
    unsigned buffer = 0;  // back-end buffer id
};

struct fs_voice {
    int generation = 0;   // changes at every play and stop
    bool active = false;  // a play is in progress (it may since have reached its end)
    int sample = -1;      // sample slot
    int frames = 0;
    int rate = 0;
    bool loop = false;
    bool is3d = false;
    float min_distance = 1.0f;
    float max_distance = 1000000000.0f;
    int frequency = 0;
    int volume = 255;
    int pan = 128;
    bool paused = false;
    float reverb_mix = -1.0f;
    float position[3] = {0, 0, 0};
    float velocity[3] = {0, 0, 0};
    // Back-end state.
    unsigned source = 0;
    double cursor = 0.0;   // silent device: frames played
    double run_rate = 0.0; // silent device: frames per second now
    std::chrono::steady_clock::time_point mark;
};

// Plays decoded samples; the core keeps every FSOUND state and tells the back-end to apply it.
struct fs_backend {
    std::vector<std::string> (*devices)();
    bool (*open)(const char* device, int mixrate);  // nullptr = default device
    void (*close)();
    unsigned (*buffer_create)(const std::vector<int16_t>& pcm, int channels, int rate);
    void (*buffer_free)(unsigned buffer);
    bool (*voice_start)(fs_voice& voice, unsigned buffer);
    void (*voice_stop)(fs_voice& voice);
    void (*voice_release)(fs_voice& voice);
    void (*voice_apply)(fs_voice& voice);  // volume, frequency, pause, loop, 3D
    bool (*voice_playing)(fs_voice& voice);
    void (*commit)();
};
extern const fs_backend fs_openal_backend;
extern const fs_backend fs_silent_backend;

struct fs_state {
    std::mutex mutex;
    int error = FMOD_ERR_NONE;
    int output = FSOUND_OUTPUT_DSOUND;
    int driver = 0;
    int mixer = FSOUND_MIXER_AUTODETECT;
    int buffer_ms = 200;
    int generation = 0;
    bool initialised = false;
    int mixrate = 0;
    std::vector<std::string> drivers;  // filled on first use
    const fs_backend* backend = nullptr;
    std::vector<fs_sample> samples;
    std::vector<fs_voice> voices;
};

fs_state& fs();
// Each returns the value it is given after setting the last error, for one-line returns.
template <typename T> T fs_fail(int code, T result) { fs().error = code; return result; }
template <typename T> T fs_ok(T result) { fs().error = FMOD_ERR_NONE; return result; }

// A generation number shared by samples and channels, so no handle comes back after Close.
int fs_new_generation();
// The sample slot a handle names, or -1 (stale, free or not a handle).
int fs_sample_slot(FSOUND_SAMPLE sample);
// The channel a channel number or a live handle names, or nullptr.
fs_voice* fs_voice_for(int channel);
int fs_voice_handle(const fs_voice& voice);
void fs_voice_stop(fs_voice& voice);
void fs_release_all();
