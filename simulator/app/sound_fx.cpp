// Unit SoundFx: the simulator's sound effects on fixed channels of the sound library.
#include "app/sound_fx.h"

#include <cmath>
#include <mutex>
#include <random>

#include "app/fmod_errors.h"
#include "app/qt_message_box.h"
#include "app/sim_state.h"
#include "platform/msgbox.h"
#include "platform/numbers.h"
#include "train/brake.h"

std::string SoundRunFile;
std::string SoundDriverList;

namespace {

constexpr int kMaxFrequency = 705600;

FSOUND_SAMPLE RunSample = 0;
FSOUND_SAMPLE CompressorSample = 0;
FSOUND_SAMPLE RailJointSample = 0;
FSOUND_SAMPLE ChatterSample = 0;
FSOUND_SAMPLE ReleaseSample = 0;
FSOUND_SAMPLE HornSample = 0;
int RunBaseFrequency = 0;
TSoundRandom SoundRandom = nullptr;

void ShowLastError()
{
    if (const int code = FSOUND_GetError(); code != FMOD_ERR_NONE)
        ShowMessage(std::string("Error: ") + FMOD_ErrorString(code));
}

int Random(int range)
{
    if (SoundRandom)
        return SoundRandom(range);
    std::lock_guard guard(SimLock);
    return std::uniform_int_distribution<int>(0, range - 1)(SimRandom);
}

// Rounds half to even (banker's rounding), kept within the library's frequency range.
int RoundedFrequency(double value)
{
    if (!(value > 0.0))
        return 0;
    if (value >= kMaxFrequency)
        return kMaxFrequency;
    return static_cast<int>(std::nearbyint(value));
}

// Offset of the running sound over its base for a notch; -1 for a notch outside 0..8.
int NotchOffset(double throttle)
{
    static const int offsets[] = {0, 3500, 4250, 5000, 6500, 8000, 9500, 11000, 12500};
    if (!(throttle > -0.5 && throttle < 8.5))
        return -1;
    const int notch = static_cast<int>(std::nearbyint(throttle));
    return notch >= 0 && notch <= 8 ? offsets[notch] : -1;
}

void PlayOn(int channel, FSOUND_SAMPLE sample, int volume)
{
    if (sample == 0)
        return;
    FSOUND_PlaySound(channel, sample);
    FSOUND_SetVolume(channel, volume);
}

}  // namespace

bool SoundInit()
{
    const float version = FSOUND_GetVersion();
    if (version < 3.29999) {
        ShowMessage("Error: You are using FMOD version " + plat_format("%.3g", version) +
                         "." + "\r" + "You should be using version " + "3.3");
        return false;
    }
    SoundDriverList = "Your sound driver list: \r";
    const int drivers = FSOUND_GetNumDrivers();
    for (int i = 0; i < drivers; i++) {
        const char* name = FSOUND_GetDriverName(i);
        SoundDriverList += std::string(name ? name : "") + "\r";
    }
    FSOUND_SetDriver(0);
    ShowLastError();
    FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND);
    ShowLastError();
    switch (FSOUND_GetOutput()) {
    case FSOUND_OUTPUT_WINMM:
        SoundDriverList += "or Windows Multimedia Waveout Driver";
        break;
    case FSOUND_OUTPUT_DSOUND:
        SoundDriverList += "or DirectX Driver";
        break;
    case FSOUND_OUTPUT_A3D:
        SoundDriverList += "or A3D Driver";
        break;
    default:
        SoundDriverList += "No Sound Driver!";
        return false;
    }
    FSOUND_SetMixer(FSOUND_MIXER_QUALITY_AUTODETECT);
    if (!FSOUND_Init(44100, 64, 0)) {
        const int code = FSOUND_GetError();
        ShowMessage("Error: Initializing sound card");
        ShowMessage(FMOD_ErrorString(code));
        FSOUND_Close();
        return false;
    }
    return true;
}

bool LoadSample(FSOUND_SAMPLE& handle, const std::string& file)
{
    std::string root;
    {
        std::lock_guard guard(SimLock);
        root = SimState.paths.root;
    }
    // A reload replaces the sample, so starting again does not pile up samples.
    if (handle != 0)
        FSOUND_Sample_Free(handle);
    const std::string path = root + "\\sounds\\" + file;
    handle = FSOUND_Sample_Load(FSOUND_FREE, path.c_str(), FSOUND_2D, 0);
    if (handle == 0) {
        ShowMessage(path + "\r" + "Error: " + FMOD_ErrorString(FSOUND_GetError()));
        std::lock_guard guard(SimLock);
        SimState.soundOn = false;
        return false;
    }
    FSOUND_Sample_SetLoopMode(handle, FSOUND_LOOP_NORMAL);
    return true;
}

void SoundStart()
{
    LoadSample(RunSample, SoundRunFile);
    PlayOn(chRunning, RunSample, 255);
    RunBaseFrequency = FSOUND_GetFrequency(chRunning);
    LoadSample(CompressorSample, "compressor.wav");
    PlayOn(chCompressor, CompressorSample, 100);
    LoadSample(RailJointSample, "track_gap_slow.wav");
    LoadSample(ReleaseSample, "BP_release.wav");
    if (LoadSample(HornSample, "BR_horn1.wav"))
        FSOUND_Sample_SetLoopMode(HornSample, FSOUND_LOOP_OFF);
}

void SoundRestart()
{
    PlayOn(chRunning, RunSample, 255);
    PlayOn(chCompressor, CompressorSample, 100);
}

void SoundUpdate(const TSimSlot& speed, const TSimSlot& throttle)
{
    if (speed.value > 3.0) {
        if (!FSOUND_IsPlaying(chRailJoint))
            PlayOn(chRailJoint, RailJointSample, 160);
        FSOUND_SetFrequency(chRailJoint, RoundedFrequency(speed.value * 100.0 + 8000.0));
    } else {
        FSOUND_StopSound(chRailJoint);
    }

    const int offset = NotchOffset(throttle.value);
    FSOUND_SetFrequency(chRunning, offset < 0 ? 0 : RoundedFrequency(RunBaseFrequency + offset));

    if (Random(55) == 1 && !FSOUND_IsPlaying(chChatter)) {
        const std::string file = "chat" + std::to_string(Random(4) + 1) + ".wav";
        if (LoadSample(ChatterSample, file)) {
            FSOUND_Sample_SetLoopMode(ChatterSample, FSOUND_LOOP_OFF);
            PlayOn(chChatter, ChatterSample, 50);
        }
    }

    double flow;
    {
        std::lock_guard guard(SimLock);
        flow = Brake.FLOW.value;
    }
    if (flow < 0.0) {
        if (!FSOUND_IsPlaying(chRelease))
            PlayOn(chRelease, ReleaseSample, 100);
    } else {
        FSOUND_StopSound(chRelease);
    }
}

void SoundHorn()
{
    if (!FSOUND_IsPlaying(chHorn))
        PlayOn(chHorn, HornSample, 255);
}

void SoundStopAll()
{
    for (int channel : {chRunning, chCompressor, chRailJoint, chChatter, chRelease, chHorn})
        FSOUND_StopSound(channel);
}

void SoundClose()
{
    FSOUND_Close();
    // Closing frees every sample.
    RunSample = CompressorSample = RailJointSample = ChatterSample = ReleaseSample = HornSample = 0;
    RunBaseFrequency = 0;
}

void SoundSetRandom(TSoundRandom random)
{
    SoundRandom = random;
}
