// Unit SoundFx: the simulator's sound effects on fixed channels of the sound library.
#pragma once
#include <string>

#include "app/sim_slot.h"
#include "fmod_api.h"

// Fixed channels.
enum TSoundChannel : int {
    chRailJoint = 0,
    chRunning = 1,
    chCompressor = 2,
    chHorn = 3,
    chChatter = 4,
    chRelease = 5,
};

// File name of the running sound, from the traction model's [sound] section.
extern std::string SoundRunFile;
// "Your sound driver list: \r", the driver names and the output kind: kept, not shown.
extern std::string SoundDriverList;

// Version check, driver and output choice, init. The result is the sound flag.
bool SoundInit();
// "Start Sim" with sound on: loads the samples, starts the running sound and the compressor.
void SoundStart();
// Options window, sound switched on: the running sound and the compressor again.
void SoundRestart();
void SoundStopAll();
void SoundClose();
// Loads root "\sounds\" file, replacing handle's sample, looped. A failure shows the path and
// the error and switches sound off; the result tells whether it loaded.
bool LoadSample(FSOUND_SAMPLE& handle, const std::string& file);
// Once per simulated second: rail joints by speed, running sound by notch, chatter, release.
void SoundUpdate(const TSimSlot& speed, const TSimSlot& throttle);
void SoundHorn();

// The random numbers of the chatter, 0 .. range-1; nullptr restores the simulator's generator.
typedef int (*TSoundRandom)(int range);
void SoundSetRandom(TSoundRandom random);
