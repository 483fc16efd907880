// The recording stand-in for the sound library. Built twice: whole, and without FSOUND_StopSound.
#include "fake_fmod.h"

#include <cstdarg>
#include <cstdio>
#include <map>
#include <string>

namespace {

// Kept on the heap and never freed: the engine's exit clean-up may still call in.
std::string& log_text() {
    static std::string* text = new std::string;
    return *text;
}

std::map<int, int>& volumes() {
    static std::map<int, int>* by_channel = new std::map<int, int>;
    return *by_channel;
}

fake_fmod_answers answers = {1, 1, 101, 1, 22050, 3};

void record(const char* format, ...) __attribute__((format(printf, 1, 2)));
void record(const char* format, ...) {
    char line[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    log_text() += line;
    log_text() += '\n';
}

std::string floats(const float* v) {
    if (!v) return "NULL";
    char text[128];
    std::snprintf(text, sizeof text, "[%g,%g,%g]", v[0], v[1], v[2]);
    return text;
}

int new_sample() { return answers.next_sample == 0 ? 0 : answers.next_sample++; }
int new_channel() { return answers.next_channel == -1 ? -1 : answers.next_channel++; }

}  // namespace

FAKE_FMOD_API void fake_fmod_reset() {
    log_text().clear();
    volumes().clear();
    answers = {1, 1, 101, 1, 22050, 3};
}

FAKE_FMOD_API fake_fmod_answers* fake_fmod_answer() { return &answers; }
FAKE_FMOD_API const char* fake_fmod_log() { return log_text().c_str(); }

FAKE_FMOD_API signed char FSOUND_SetOutput(int output) { record("FSOUND_SetOutput(%d)", output); return 1; }
FAKE_FMOD_API signed char FSOUND_SetDriver(int driver) { record("FSOUND_SetDriver(%d)", driver); return 1; }
FAKE_FMOD_API signed char FSOUND_SetMixer(int mixer) { record("FSOUND_SetMixer(%d)", mixer); return 1; }
FAKE_FMOD_API signed char FSOUND_SetBufferSize(int ms) { record("FSOUND_SetBufferSize(%d)", ms); return 1; }
FAKE_FMOD_API signed char FSOUND_Init(int rate, int channels, unsigned int flags) {
    record("FSOUND_Init(%d,%d,%u)", rate, channels, flags);
    return static_cast<signed char>(answers.init);
}
FAKE_FMOD_API void FSOUND_Close() { record("FSOUND_Close()"); }
FAKE_FMOD_API int FSOUND_Sample_LoadWav(int index, const char* name, unsigned int mode) {
    record("FSOUND_Sample_LoadWav(%d,%s,%u)", index, name, mode);
    return new_sample();
}
FAKE_FMOD_API int FSOUND_Sample_LoadMpeg(int index, const char* name, unsigned int mode) {
    record("FSOUND_Sample_LoadMpeg(%d,%s,%u)", index, name, mode);
    return new_sample();
}
FAKE_FMOD_API void FSOUND_Sample_Free(int sample) { record("FSOUND_Sample_Free(%d)", sample); }
FAKE_FMOD_API signed char FSOUND_Sample_SetLoopMode(int sample, unsigned int mode) {
    record("FSOUND_Sample_SetLoopMode(%d,%u)", sample, mode);
    return 1;
}
FAKE_FMOD_API signed char FSOUND_Sample_SetMinMaxDistance(int sample, float minimum, float maximum) {
    record("FSOUND_Sample_SetMinMaxDistance(%d,%g,%g)", sample, minimum, maximum);
    return 1;
}
FAKE_FMOD_API int FSOUND_PlaySound(int channel, int sample) {
    record("FSOUND_PlaySound(%d,%d)", channel, sample);
    return new_channel();
}
FAKE_FMOD_API int FSOUND_PlaySoundAttrib(int channel, int sample, int frequency, int volume, int pan) {
    record("FSOUND_PlaySoundAttrib(%d,%d,%d,%d,%d)", channel, sample, frequency, volume, pan);
    return new_channel();
}
FAKE_FMOD_API int FSOUND_3D_PlaySound(int channel, int sample, const float* position, const float* velocity) {
    record("FSOUND_3D_PlaySound(%d,%d,%s,%s)", channel, sample, floats(position).c_str(), floats(velocity).c_str());
    return new_channel();
}
#ifndef FAKE_FMOD_WITHOUT_STOP_SOUND
FAKE_FMOD_API signed char FSOUND_StopSound(int channel) { record("FSOUND_StopSound(%d)", channel); return 1; }
#endif
FAKE_FMOD_API void FSOUND_StopAllChannels() { record("FSOUND_StopAllChannels()"); }
FAKE_FMOD_API signed char FSOUND_SetFrequency(int channel, int frequency) {
    record("FSOUND_SetFrequency(%d,%d)", channel, frequency);
    return 1;
}
FAKE_FMOD_API signed char FSOUND_SetVolume(int channel, int volume) {
    record("FSOUND_SetVolume(%d,%d)", channel, volume);
    volumes()[channel] = volume;
    return 1;
}
FAKE_FMOD_API signed char FSOUND_CD_Play(int track) { record("FSOUND_CD_Play(%d)", track); return 1; }
FAKE_FMOD_API void FSOUND_CD_SetPlayMode(signed char mode) { record("FSOUND_CD_SetPlayMode(%d)", mode); }
FAKE_FMOD_API signed char FSOUND_CD_Stop() { record("FSOUND_CD_Stop()"); return 1; }
FAKE_FMOD_API signed char FSOUND_CD_SetPaused(signed char paused) { record("FSOUND_CD_SetPaused(%d)", paused); return 1; }
FAKE_FMOD_API signed char FSOUND_CD_GetPaused() { record("FSOUND_CD_GetPaused()"); return 0; }
FAKE_FMOD_API int FSOUND_CD_GetTrack() { record("FSOUND_CD_GetTrack()"); return answers.cd_track; }
FAKE_FMOD_API int FSOUND_CD_GetNumTracks() { record("FSOUND_CD_GetNumTracks()"); return 12; }
FAKE_FMOD_API signed char FSOUND_CD_Eject() { record("FSOUND_CD_Eject()"); return 1; }
FAKE_FMOD_API void FSOUND_3D_Update() { record("FSOUND_3D_Update()"); }
FAKE_FMOD_API signed char FSOUND_3D_SetAttributes(int channel, const float* position, const float* velocity) {
    record("FSOUND_3D_SetAttributes(%d,%s,%s)", channel, floats(position).c_str(), floats(velocity).c_str());
    return 1;
}
FAKE_FMOD_API int FSOUND_Sample_GetLength(int sample) { record("FSOUND_Sample_GetLength(%d)", sample); return 1000; }
FAKE_FMOD_API signed char FSOUND_IsPlaying(int channel) {
    record("FSOUND_IsPlaying(%d)", channel);
    return static_cast<signed char>(answers.playing);
}
FAKE_FMOD_API int FSOUND_GetFrequency(int channel) {
    record("FSOUND_GetFrequency(%d)", channel);
    return answers.frequency;
}
FAKE_FMOD_API int FSOUND_GetVolume(int channel) {
    record("FSOUND_GetVolume(%d)", channel);
    auto found = volumes().find(channel);
    return found == volumes().end() ? -1 : found->second;
}
FAKE_FMOD_API signed char FSOUND_Reverb_SetMix(int channel, float mix) {
    record("FSOUND_Reverb_SetMix(%d,%g)", channel, mix);
    return 1;
}
FAKE_FMOD_API signed char FSOUND_SetPaused(int channel, signed char paused) {
    record("FSOUND_SetPaused(%d,%d)", channel, paused);
    return 1;
}
