// Sound library channels: playing samples, stopping, volume, frequency, pause and 3D placement.
#include <algorithm>

#include "fmod_internal.h"

namespace {

constexpr int max_frequency = 705600;

fs_voice* free_voice(fs_state& s)
{
    for (fs_voice& voice : s.voices)
        if (!voice.active || !s.backend->voice_playing(voice))
            return &voice;
    return nullptr;
}

void copy3(float* to, const float* from)
{
    for (int i = 0; i < 3; i++)
        to[i] = from ? from[i] : 0.0f;
}

int play(int channel, FSOUND_SAMPLE sample, int freq, int vol, int pan, const float* pos,
         const float* vel)
{
    fs_state& s = fs();
    std::lock_guard lock(s.mutex);
    if (!s.initialised)
        return fs_fail(FMOD_ERR_UNINITIALIZED, -1);
    const int slot = fs_sample_slot(sample);
    if (slot < 0 || freq < -1 || freq > max_frequency || vol < -1 || vol > 255 || pan < -1 ||
        pan > 255)
        return fs_fail(FMOD_ERR_INVALID_PARAM, -1);
    fs_voice* voice = nullptr;
    if (channel == FSOUND_FREE) {
        voice = free_voice(s);
        if (!voice)
            return fs_fail(FMOD_ERR_CHANNEL_ALLOC, -1);
    } else if (channel >= 0 && channel < static_cast<int>(s.voices.size())) {
        voice = &s.voices[channel];
    } else {
        return fs_fail(FMOD_ERR_INVALID_PARAM, -1);
    }
    fs_voice_stop(*voice);
    const fs_sample& data = s.samples[slot];
    voice->sample = slot;
    voice->frames = data.frames;
    voice->rate = data.rate;
    voice->loop = data.loop_mode != FSOUND_LOOP_OFF;
    voice->is3d = data.is3d;
    voice->min_distance = data.min_distance;
    voice->max_distance = data.max_distance;
    voice->frequency = freq == -1 ? data.rate : freq;
    voice->volume = vol == -1 ? 255 : vol;
    voice->pan = pan == -1 ? 128 : pan;
    voice->paused = false;
    voice->reverb_mix = -1.0f;
    copy3(voice->position, pos);
    copy3(voice->velocity, vel);
    if (!s.backend->voice_start(*voice, data.buffer))
        return fs_fail(FMOD_ERR_PLAY, -1);
    voice->active = true;
    voice->generation = fs_new_generation();
    return fs_ok(fs_voice_handle(*voice));
}

// The channel named, or nullptr with the error set.
fs_voice* channel_for(int channel)
{
    if (!fs().initialised)
        return fs_fail<fs_voice*>(FMOD_ERR_UNINITIALIZED, nullptr);
    fs_voice* voice = fs_voice_for(channel);
    if (!voice)
        return fs_fail<fs_voice*>(FMOD_ERR_INVALID_PARAM, nullptr);
    return voice;
}

}  // namespace

fs_voice* fs_voice_for(int channel)
{
    fs_state& s = fs();
    if (channel < 0)
        return nullptr;
    const int index = channel & (fs_max_slots - 1);
    const int generation = channel >> fs_index_bits;
    if (index >= static_cast<int>(s.voices.size()))
        return nullptr;
    fs_voice& voice = s.voices[index];
    if (generation != 0 && generation != voice.generation)
        return nullptr;
    return &voice;
}

int fs_voice_handle(const fs_voice& voice)
{
    const fs_state& s = fs();
    return voice.generation << fs_index_bits | static_cast<int>(&voice - s.voices.data());
}

void fs_voice_stop(fs_voice& voice)
{
    if (!voice.active)
        return;
    fs().backend->voice_stop(voice);
    voice.active = false;
    voice.sample = -1;
    voice.generation = fs_new_generation();
}

extern "C" {

int FSOUND_PlaySound(int channel, FSOUND_SAMPLE sample)
{
    return play(channel, sample, -1, -1, -1, nullptr, nullptr);
}

int FSOUND_PlaySoundAttrib(int channel, FSOUND_SAMPLE sample, int freq, int vol, int pan)
{
    return play(channel, sample, freq, vol, pan, nullptr, nullptr);
}

int FSOUND_3D_PlaySound(int channel, FSOUND_SAMPLE sample, const float* pos, const float* vel)
{
    return play(channel, sample, -1, -1, -1, pos, vel);
}

signed char FSOUND_StopSound(int channel)
{
    std::lock_guard lock(fs().mutex);
    fs_voice* voice = channel_for(channel);
    if (!voice)
        return 0;
    fs_voice_stop(*voice);
    return fs_ok(1);
}

void FSOUND_StopAllChannels(void)
{
    fs_state& s = fs();
    std::lock_guard lock(s.mutex);
    if (!s.initialised) {
        s.error = FMOD_ERR_UNINITIALIZED;
        return;
    }
    for (fs_voice& voice : s.voices)
        fs_voice_stop(voice);
    s.error = FMOD_ERR_NONE;
}

signed char FSOUND_IsPlaying(int channel)
{
    std::lock_guard lock(fs().mutex);
    fs_voice* voice = channel_for(channel);
    if (!voice)
        return 0;
    return fs_ok<signed char>(voice->active && fs().backend->voice_playing(*voice));
}

signed char FSOUND_SetFrequency(int channel, int freq)
{
    std::lock_guard lock(fs().mutex);
    fs_voice* voice = channel_for(channel);
    if (!voice)
        return 0;
    if (freq < 0 || freq > max_frequency)
        return fs_fail(FMOD_ERR_INVALID_PARAM, 0);
    voice->frequency = freq;
    if (voice->active)
        fs().backend->voice_apply(*voice);
    return fs_ok(1);
}

int FSOUND_GetFrequency(int channel)
{
    std::lock_guard lock(fs().mutex);
    fs_voice* voice = channel_for(channel);
    return voice ? fs_ok(voice->frequency) : -1;
}

signed char FSOUND_SetVolume(int channel, int vol)
{
    std::lock_guard lock(fs().mutex);
    fs_voice* voice = channel_for(channel);
    if (!voice)
        return 0;
    voice->volume = std::clamp(vol, 0, 255);
    if (voice->active)
        fs().backend->voice_apply(*voice);
    return fs_ok(1);
}

int FSOUND_GetVolume(int channel)
{
    std::lock_guard lock(fs().mutex);
    fs_voice* voice = channel_for(channel);
    return voice ? fs_ok(voice->volume) : -1;
}

signed char FSOUND_SetPaused(int channel, signed char paused)
{
    std::lock_guard lock(fs().mutex);
    fs_voice* voice = channel_for(channel);
    if (!voice)
        return 0;
    voice->paused = paused != 0;
    if (voice->active)
        fs().backend->voice_apply(*voice);
    return fs_ok(1);
}

signed char FSOUND_GetPaused(int channel)
{
    std::lock_guard lock(fs().mutex);
    fs_voice* voice = channel_for(channel);
    return voice ? fs_ok<signed char>(voice->paused) : 0;
}

signed char FSOUND_Reverb_SetMix(int channel, float mix)
{
    std::lock_guard lock(fs().mutex);
    fs_voice* voice = channel_for(channel);
    if (!voice)
        return 0;
    if (mix != -1.0f && !(mix >= 0.0f && mix <= 1.0f))
        return fs_fail(FMOD_ERR_INVALID_PARAM, 0);
    voice->reverb_mix = mix;
    return fs_ok(1);
}

signed char FSOUND_3D_SetAttributes(int channel, const float* pos, const float* vel)
{
    std::lock_guard lock(fs().mutex);
    fs_voice* voice = channel_for(channel);
    if (!voice)
        return 0;
    if (pos)
        copy3(voice->position, pos);
    if (vel)
        copy3(voice->velocity, vel);
    if (voice->active)
        fs().backend->voice_apply(*voice);
    return fs_ok(1);
}

void FSOUND_3D_Update(void)
{
    fs_state& s = fs();
    std::lock_guard lock(s.mutex);
    if (!s.initialised) {
        s.error = FMOD_ERR_UNINITIALIZED;
        return;
    }
    s.backend->commit();
    s.error = FMOD_ERR_NONE;
}

}  // extern "C"
