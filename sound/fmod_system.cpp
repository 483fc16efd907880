// Sound library system calls: version, errors, output and driver choice, init and close.
#include "fmod_internal.h"

namespace {

constexpr int min_mixrate = 4000;
constexpr int max_mixrate = 192000;
constexpr int max_channels = 1024;
constexpr int max_buffer_ms = 10000;

void fill_drivers(fs_state& s)
{
    if (!s.drivers.empty())
        return;
    s.drivers = fs_openal_backend.devices();
    if (s.drivers.empty())
        s.drivers = fs_silent_backend.devices();
}

// Opens the chosen device, or the silent one when the output is NOSOUND or nothing opens.
const fs_backend* open_backend(fs_state& s, int mixrate)
{
    if (s.output != FSOUND_OUTPUT_NOSOUND) {
        const char* device = s.driver == 0 ? nullptr : s.drivers[s.driver].c_str();
        if (fs_openal_backend.open(device, mixrate))
            return &fs_openal_backend;
    }
    fs_silent_backend.open(nullptr, mixrate);
    return &fs_silent_backend;
}

// A setting made before init, with the lock held: refused while the system runs or when the
// value lies outside lo..hi.
signed char set_before_init(const fs_state& s, int& setting, int value, int lo, int hi)
{
    if (s.initialised)
        return fs_fail(FMOD_ERR_BUSY, 0);
    if (value < lo || value > hi)
        return fs_fail(FMOD_ERR_INVALID_PARAM, 0);
    setting = value;
    return fs_ok(1);
}

}  // namespace

// Never destroyed: a caller's exit handler may still stop its sounds after static destruction.
fs_state& fs()
{
    static fs_state* state = new fs_state;
    return *state;
}

int fs_new_generation()
{
    fs_state& s = fs();
    s.generation = s.generation >= fs_max_generation ? 1 : s.generation + 1;
    return s.generation;
}

void fs_release_all()
{
    fs_state& s = fs();
    for (fs_voice& voice : s.voices) {
        fs_voice_stop(voice);
        s.backend->voice_release(voice);
    }
    for (fs_sample& sample : s.samples)
        if (sample.used)
            s.backend->buffer_free(sample.buffer);
    s.voices.clear();
    s.samples.clear();
}

extern "C" {

float FSOUND_GetVersion(void)
{
    std::lock_guard lock(fs().mutex);
    return fs_ok(FSOUND_VERSION);
}

int FSOUND_GetError(void)
{
    std::lock_guard lock(fs().mutex);
    return fs().error;
}

signed char FSOUND_SetOutput(int outputtype)
{
    fs_state& s = fs();
    std::lock_guard lock(s.mutex);
    if (outputtype == -1)
        outputtype = FSOUND_OUTPUT_DSOUND;
    return set_before_init(s, s.output, outputtype, FSOUND_OUTPUT_NOSOUND, FSOUND_OUTPUT_A3D);
}

int FSOUND_GetOutput(void)
{
    std::lock_guard lock(fs().mutex);
    return fs_ok(fs().output);
}

int FSOUND_GetNumDrivers(void)
{
    fs_state& s = fs();
    std::lock_guard lock(s.mutex);
    fill_drivers(s);
    return fs_ok(static_cast<int>(s.drivers.size()));
}

const char* FSOUND_GetDriverName(int id)
{
    fs_state& s = fs();
    std::lock_guard lock(s.mutex);
    fill_drivers(s);
    if (id < 0 || id >= static_cast<int>(s.drivers.size()))
        return fs_fail<const char*>(FMOD_ERR_INVALID_PARAM, nullptr);
    return fs_ok(s.drivers[id].c_str());
}

signed char FSOUND_SetDriver(int driver)
{
    fs_state& s = fs();
    std::lock_guard lock(s.mutex);
    fill_drivers(s);
    return set_before_init(s, s.driver, driver, 0, static_cast<int>(s.drivers.size()) - 1);
}

signed char FSOUND_SetMixer(int mixer)
{
    fs_state& s = fs();
    std::lock_guard lock(s.mutex);
    return set_before_init(s, s.mixer, mixer, 0, FSOUND_MIXER_MAX);
}

signed char FSOUND_SetBufferSize(int len_ms)
{
    fs_state& s = fs();
    std::lock_guard lock(s.mutex);
    return set_before_init(s, s.buffer_ms, len_ms, 1, max_buffer_ms);
}

signed char FSOUND_Init(int mixrate, int maxchannels, unsigned int)
{
    fs_state& s = fs();
    std::lock_guard lock(s.mutex);
    if (s.initialised)
        return fs_fail(FMOD_ERR_BUSY, 0);
    if (mixrate < min_mixrate || mixrate > max_mixrate || maxchannels < 1 ||
        maxchannels > max_channels)
        return fs_fail(FMOD_ERR_INVALID_PARAM, 0);
    fill_drivers(s);
    s.backend = open_backend(s, mixrate);
    s.mixrate = mixrate;
    s.voices.assign(maxchannels, fs_voice{});
    s.samples.clear();
    s.initialised = true;
    return fs_ok(1);
}

void FSOUND_Close(void)
{
    fs_state& s = fs();
    std::lock_guard lock(s.mutex);
    if (!s.initialised) {
        s.error = FMOD_ERR_NONE;
        return;
    }
    fs_release_all();
    s.backend->close();
    s.backend = nullptr;
    s.initialised = false;
    s.error = FMOD_ERR_NONE;
}

}  // extern "C"
