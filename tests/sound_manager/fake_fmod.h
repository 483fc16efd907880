// A recording stand-in for the sound library: every entry point appends one line to a log, and
// the test sets what the calls answer.
#pragma once

#define FAKE_FMOD_API extern "C" __attribute__((visibility("default")))

struct fake_fmod_answers {
    int init;            // FSOUND_Init
    int next_sample;     // the next sample handle; 0 makes every load fail
    int next_channel;    // the next channel handle; -1 makes every play fail
    int playing;         // FSOUND_IsPlaying
    int frequency;       // FSOUND_GetFrequency
    int cd_track;        // FSOUND_CD_GetTrack
};

// Clears the log and restores the default answers (samples from 1, channels from 101).
FAKE_FMOD_API void fake_fmod_reset();
FAKE_FMOD_API fake_fmod_answers* fake_fmod_answer();
// The calls since the last reset, one a line.
FAKE_FMOD_API const char* fake_fmod_log();
