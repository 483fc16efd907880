// Sound library samples: decoding sound files with libsndfile, loop modes and distances.
#include <sndfile.h>

#include "fmod_internal.h"
#include "platform/paths.h"

namespace {

constexpr sf_count_t max_sample_values = 64 * 1024 * 1024;  // 128 MB of 16-bit PCM
constexpr sf_count_t read_chunk_frames = 16384;

enum class file_kind { any, wav, mpeg };

bool kind_matches(file_kind kind, int format)
{
    const int major = format & SF_FORMAT_TYPEMASK;
    switch (kind) {
    case file_kind::wav:
        return major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX || major == SF_FORMAT_RF64;
    case file_kind::mpeg:
        return major == SF_FORMAT_MPEG;
    case file_kind::any:
        break;
    }
    return true;
}

struct decoded {
    std::vector<int16_t> pcm;
    int channels = 0;
    int rate = 0;
};

// Decodes the whole file to 16-bit PCM; the result is an FMOD error code.
int decode_file(const std::string& path, file_kind kind, decoded& out)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        const int reason = sf_error(nullptr);
        return reason == SF_ERR_MALFORMED_FILE ? FMOD_ERR_FILE_BAD : FMOD_ERR_FILE_FORMAT;
    }
    int code = FMOD_ERR_NONE;
    if (!kind_matches(kind, info.format) || info.channels < 1 || info.channels > 2 ||
        info.samplerate <= 0)
        code = FMOD_ERR_FILE_FORMAT;
    else if (info.frames > max_sample_values / info.channels)
        code = FMOD_ERR_MEMORY;
    while (code == FMOD_ERR_NONE) {
        const size_t used = out.pcm.size();
        if (static_cast<sf_count_t>(used) + read_chunk_frames * info.channels > max_sample_values) {
            code = FMOD_ERR_MEMORY;
            break;
        }
        out.pcm.resize(used + read_chunk_frames * info.channels);
        const sf_count_t got = sf_readf_short(file, out.pcm.data() + used, read_chunk_frames);
        out.pcm.resize(used + static_cast<size_t>(got > 0 ? got : 0) * info.channels);
        if (got <= 0)
            break;
    }
    if (code == FMOD_ERR_NONE && (sf_error(file) != SF_ERR_NO_ERROR || out.pcm.empty()))
        code = FMOD_ERR_FILE_BAD;
    sf_close(file);
    out.channels = info.channels;
    out.rate = info.samplerate;
    return code;
}

// Frees a slot's sample and stops the channels playing it.
void free_slot(fs_state& s, int slot)
{
    for (fs_voice& voice : s.voices)
        if (voice.active && voice.sample == slot)
            fs_voice_stop(voice);
    fs_sample& sample = s.samples[slot];
    s.backend->buffer_free(sample.buffer);
    sample = fs_sample{};
}

int free_slot_index(const fs_state& s)
{
    for (size_t i = 0; i < s.samples.size(); i++)
        if (!s.samples[i].used)
            return static_cast<int>(i);
    return s.samples.size() < fs_max_slots ? static_cast<int>(s.samples.size()) : -1;
}

FSOUND_SAMPLE load(int index, const char* name, unsigned int mode, file_kind kind)
{
    fs_state& s = fs();
    std::lock_guard lock(s.mutex);
    if (!s.initialised)
        return fs_fail(FMOD_ERR_UNINITIALIZED, 0);
    if (!name || (index != FSOUND_FREE && (index < 0 || index >= fs_max_slots)))
        return fs_fail(FMOD_ERR_INVALID_PARAM, 0);
    const std::string path = plat_path_resolve(name);
    if (path.empty())
        return fs_fail(FMOD_ERR_FILE_NOTFOUND, 0);
    decoded data;
    if (const int code = decode_file(path, kind, data); code != FMOD_ERR_NONE)
        return fs_fail(code, 0);
    const unsigned buffer = s.backend->buffer_create(data.pcm, data.channels, data.rate);
    if (buffer == 0)
        return fs_fail(FMOD_ERR_CREATEBUFFER, 0);
    int slot = index;
    if (slot == FSOUND_FREE)
        slot = free_slot_index(s);
    if (slot < 0) {
        s.backend->buffer_free(buffer);
        return fs_fail(FMOD_ERR_MEMORY, 0);
    }
    if (slot >= static_cast<int>(s.samples.size()))
        s.samples.resize(slot + 1);
    if (s.samples[slot].used)
        free_slot(s, slot);
    fs_sample& sample = s.samples[slot];
    sample.used = true;
    sample.generation = fs_new_generation();
    sample.channels = data.channels;
    sample.rate = data.rate;
    sample.frames = static_cast<int>(data.pcm.size() / data.channels);
    sample.buffer = buffer;
    sample.is3d = (mode & FSOUND_HW3D) != 0 && (mode & FSOUND_2D) == 0;
    if (mode & FSOUND_LOOP_NORMAL)
        sample.loop_mode = FSOUND_LOOP_NORMAL;
    else if (mode & FSOUND_LOOP_BIDI)
        sample.loop_mode = FSOUND_LOOP_BIDI;
    return fs_ok(sample.generation << fs_index_bits | slot);
}

// The slot of the sample named, with the lock held; -1 with the error set.
int slot_for(FSOUND_SAMPLE sample)
{
    if (!fs().initialised)
        return fs_fail(FMOD_ERR_UNINITIALIZED, -1);
    const int slot = fs_sample_slot(sample);
    if (slot < 0)
        return fs_fail(FMOD_ERR_INVALID_PARAM, -1);
    return slot;
}

}  // namespace

int fs_sample_slot(FSOUND_SAMPLE sample)
{
    const fs_state& s = fs();
    if (sample <= 0)
        return -1;
    const int slot = sample & (fs_max_slots - 1);
    if (slot >= static_cast<int>(s.samples.size()) || !s.samples[slot].used ||
        s.samples[slot].generation != sample >> fs_index_bits)
        return -1;
    return slot;
}

extern "C" {

FSOUND_SAMPLE FSOUND_Sample_Load(int index, const char* name, unsigned int mode, int)
{
    return load(index, name, mode, file_kind::any);
}

FSOUND_SAMPLE FSOUND_Sample_LoadWav(int index, const char* name, unsigned int mode)
{
    return load(index, name, mode, file_kind::wav);
}

FSOUND_SAMPLE FSOUND_Sample_LoadMpeg(int index, const char* name, unsigned int mode)
{
    return load(index, name, mode, file_kind::mpeg);
}

void FSOUND_Sample_Free(FSOUND_SAMPLE sample)
{
    fs_state& s = fs();
    std::lock_guard lock(s.mutex);
    const int slot = slot_for(sample);
    if (slot < 0)
        return;
    free_slot(s, slot);
    s.error = FMOD_ERR_NONE;
}

signed char FSOUND_Sample_SetLoopMode(FSOUND_SAMPLE sample, unsigned int loopmode)
{
    fs_state& s = fs();
    std::lock_guard lock(s.mutex);
    const int slot = slot_for(sample);
    if (slot < 0)
        return 0;
    if (loopmode != FSOUND_LOOP_OFF && loopmode != FSOUND_LOOP_NORMAL &&
        loopmode != FSOUND_LOOP_BIDI)
        return fs_fail(FMOD_ERR_INVALID_PARAM, 0);
    s.samples[slot].loop_mode = loopmode;
    for (fs_voice& voice : s.voices)
        if (voice.active && voice.sample == slot) {
            voice.loop = loopmode != FSOUND_LOOP_OFF;
            s.backend->voice_apply(voice);
        }
    return fs_ok(1);
}

signed char FSOUND_Sample_SetMinMaxDistance(FSOUND_SAMPLE sample, float min, float max)
{
    fs_state& s = fs();
    std::lock_guard lock(s.mutex);
    const int slot = slot_for(sample);
    if (slot < 0)
        return 0;
    if (!(min > 0.0f) || !(max >= min))
        return fs_fail(FMOD_ERR_INVALID_PARAM, 0);
    s.samples[slot].min_distance = min;
    s.samples[slot].max_distance = max;
    return fs_ok(1);
}

int FSOUND_Sample_GetLength(FSOUND_SAMPLE sample)
{
    fs_state& s = fs();
    std::lock_guard lock(s.mutex);
    const int slot = slot_for(sample);
    if (slot < 0)
        return 0;
    return fs_ok(s.samples[slot].frames);
}

}  // extern "C"
