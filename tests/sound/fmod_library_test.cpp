// Tests of the sound library's FSOUND interface on the OpenAL device and on the silent device.
#include <AL/al.h>
#include <AL/alc.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "fmod_api.h"
#include "platform/module.h"
#include "wav_writer.h"

namespace {

namespace fsys = std::filesystem;

const fsys::path files = fsys::path(DROVIK_TEST_BINARY_DIR) / "fmod_files";

void write_fixtures()
{
    fsys::create_directories(files / "Sounds");
    wav_test::write_wav((files / "tone.wav").string(), 22050, 22050);
    wav_test::write_wav((files / "click.wav").string(), 220, 22050);
    wav_test::write_wav((files / "stereo.wav").string(), 1000, 44100, 2);
    wav_test::write_wav((files / "Sounds" / "Horn.WAV").string(), 1000, 11025);
    wav_test::write_wav((files / "empty.wav").string(), 0, 22050);
    wav_test::write_file((files / "garbage.wav").string(),
                         std::vector<uint8_t>(200, 0x5a));
    std::vector<uint8_t> cut = wav_test::wav_bytes(1000, 22050, 1);
    cut.resize(20);  // inside the format chunk
    wav_test::write_file((files / "cut.wav").string(), cut);
}

// An MP3 file, encoded by libsndfile.
void write_mp3(const fsys::path& path)
{
    SF_INFO info{};
    info.samplerate = 22050;
    info.channels = 1;
    info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    SNDFILE* out = sf_open(path.string().c_str(), SFM_WRITE, &info);
    ASSERT_NE(out, nullptr) << sf_strerror(nullptr);
    std::vector<short> tone(22050);
    for (size_t i = 0; i < tone.size(); i++)
        tone[i] = (i / 50) % 2 ? 8000 : -8000;
    sf_write_short(out, tone.data(), static_cast<sf_count_t>(tone.size()));
    sf_close(out);
}

std::string file(const char* name)
{
    return (files / name).string();
}

// Waits (generously) until the channel stops playing.
bool stops_within_seconds(int channel, int seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (!FSOUND_IsPlaying(channel))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(FsoundSystem, SettingsBeforeInitAndRefusedAfter)
{
    write_fixtures();
    EXPECT_GE(FSOUND_GetVersion(), 3.3f);
    ASSERT_GE(FSOUND_GetNumDrivers(), 1);
    EXPECT_NE(FSOUND_GetDriverName(0), nullptr);
    EXPECT_EQ(FSOUND_GetDriverName(FSOUND_GetNumDrivers()), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);

    EXPECT_EQ(FSOUND_SetOutput(9), 0);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(FSOUND_SetDriver(0), 1);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_NONE);
    EXPECT_EQ(FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND), 1);
    EXPECT_EQ(FSOUND_GetOutput(), FSOUND_OUTPUT_DSOUND);
    EXPECT_EQ(FSOUND_SetMixer(FSOUND_MIXER_QUALITY_AUTODETECT), 1);
    EXPECT_EQ(FSOUND_SetBufferSize(200), 1);
    EXPECT_EQ(FSOUND_SetBufferSize(0), 0);

    EXPECT_EQ(FSOUND_PlaySound(0, 1 << 12), -1);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_UNINITIALIZED);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, file("tone.wav").c_str(), FSOUND_2D, 0), 0);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_UNINITIALIZED);

    EXPECT_EQ(FSOUND_Init(100, 64, 0), 0);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(FSOUND_Init(44100, 0, 0), 0);
    ASSERT_EQ(FSOUND_Init(44100, 64, 0), 1);
    EXPECT_EQ(FSOUND_Init(44100, 64, 0), 0);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_BUSY);
    for (signed char result : {FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND), FSOUND_SetDriver(0),
                               FSOUND_SetMixer(0), FSOUND_SetBufferSize(100)}) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_BUSY);
    }
    FSOUND_Close();
    FSOUND_Close();
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_NONE);
}

TEST(FsoundSystem, CdCallsReportNoCd)
{
    EXPECT_EQ(FSOUND_CD_GetNumTracks(), 0);
    EXPECT_EQ(FSOUND_CD_GetTrack(), 0);
    EXPECT_EQ(FSOUND_CD_GetPaused(), 0);
    FSOUND_CD_SetPlayMode(1);
    for (signed char result : {FSOUND_CD_Play(1), FSOUND_CD_Stop(), FSOUND_CD_SetPaused(1),
                               FSOUND_CD_Eject()}) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_PLAY);
    }
}

TEST(FsoundSystem, EngineBindsThePlainNamesThroughTheModuleLoader)
{
    void* module = plat_module_load("fmod.dll");
    ASSERT_NE(module, nullptr);
    for (const char* name : {"FSOUND_SetOutput", "FSOUND_Init", "FSOUND_Sample_LoadWav",
                             "FSOUND_Sample_LoadMpeg", "FSOUND_3D_PlaySound",
                             "FSOUND_Reverb_SetMix", "FSOUND_CD_Eject", "FSOUND_SetPaused"})
        EXPECT_NE(plat_module_symbol(module, name), nullptr) << name;
    auto version = reinterpret_cast<float (*)()>(plat_module_symbol(module, "FSOUND_GetVersion"));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version(), FSOUND_VERSION);
    plat_module_free(module);
}

// Every case runs on the OpenAL device (null back-end in tests) and on the silent device.
class FsoundDevice : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        write_fixtures();
        ASSERT_EQ(FSOUND_SetOutput(GetParam()), 1);
        ASSERT_EQ(FSOUND_Init(44100, 8, 0), 1);
    }
    void TearDown() override
    {
        FSOUND_Close();
        FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND);
    }
    FSOUND_SAMPLE load(const char* name, unsigned mode = FSOUND_2D)
    {
        return FSOUND_Sample_Load(FSOUND_FREE, file(name).c_str(), mode, 0);
    }
};

TEST_P(FsoundDevice, LoadsWavFilesAndReportsBadOnes)
{
    const FSOUND_SAMPLE tone = load("tone.wav");
    ASSERT_NE(tone, 0);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_NONE);
    EXPECT_EQ(FSOUND_Sample_GetLength(tone), 22050);
    EXPECT_NE(load("stereo.wav"), 0);
    // Windows-style path with another letter case, as the simulator builds it.
    const std::string windows = files.string() + "\\sounds\\horn.wav";
    EXPECT_NE(FSOUND_Sample_Load(FSOUND_FREE, windows.c_str(), FSOUND_2D, 0), 0);
    EXPECT_NE(FSOUND_Sample_LoadWav(FSOUND_FREE, file("tone.wav").c_str(), FSOUND_2D), 0);

    struct bad_case {
        const char* name;
        int error;
    };
    for (const bad_case& c : {bad_case{"missing.wav", FMOD_ERR_FILE_NOTFOUND},
                              bad_case{"garbage.wav", FMOD_ERR_FILE_FORMAT},
                              bad_case{"cut.wav", FMOD_ERR_FILE_FORMAT},
                              bad_case{"empty.wav", FMOD_ERR_FILE_BAD}}) {
        EXPECT_EQ(load(c.name), 0) << c.name;
        EXPECT_EQ(FSOUND_GetError(), c.error) << c.name;
    }
    EXPECT_EQ(FSOUND_Sample_LoadMpeg(FSOUND_FREE, file("tone.wav").c_str(), FSOUND_2D), 0);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_FILE_FORMAT);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, nullptr, FSOUND_2D, 0), 0);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
}

TEST_P(FsoundDevice, LoadsMpegFiles)
{
    write_mp3(files / "tone.mp3");
    const FSOUND_SAMPLE mpeg =
        FSOUND_Sample_LoadMpeg(FSOUND_FREE, file("tone.mp3").c_str(), FSOUND_2D);
    ASSERT_NE(mpeg, 0) << FSOUND_GetError();
    EXPECT_GT(FSOUND_Sample_GetLength(mpeg), 20000);
    const int channel = FSOUND_PlaySound(FSOUND_FREE, mpeg);
    EXPECT_TRUE(FSOUND_IsPlaying(channel));
    EXPECT_EQ(FSOUND_GetFrequency(channel), 22050);
    EXPECT_NE(load("tone.mp3"), 0);
    EXPECT_EQ(FSOUND_Sample_LoadWav(FSOUND_FREE, file("tone.mp3").c_str(), FSOUND_2D), 0);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_FILE_FORMAT);
}

TEST_P(FsoundDevice, SampleIndexReplacesAndFreedSamplesAreStale)
{
    const FSOUND_SAMPLE first = FSOUND_Sample_Load(3, file("tone.wav").c_str(), FSOUND_2D, 0);
    ASSERT_NE(first, 0);
    const int channel = FSOUND_PlaySound(FSOUND_FREE, first);
    ASSERT_NE(channel, -1);
    const FSOUND_SAMPLE second = FSOUND_Sample_Load(3, file("click.wav").c_str(), FSOUND_2D, 0);
    ASSERT_NE(second, 0);
    EXPECT_NE(second, first);
    EXPECT_FALSE(FSOUND_IsPlaying(channel));  // its sample was replaced
    EXPECT_EQ(FSOUND_Sample_GetLength(first), 0);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(FSOUND_Sample_GetLength(second), 220);

    FSOUND_Sample_Free(second);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, second), -1);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, 0), -1);
}

TEST_P(FsoundDevice, PlayHandlesAreNonZeroAndGoStaleAfterStop)
{
    const FSOUND_SAMPLE tone = load("tone.wav", FSOUND_2D | FSOUND_LOOP_NORMAL);
    ASSERT_NE(tone, 0);
    const int a = FSOUND_PlaySound(FSOUND_FREE, tone);
    const int b = FSOUND_PlaySound(FSOUND_FREE, tone);
    ASSERT_NE(a, -1);
    ASSERT_NE(b, -1);
    EXPECT_NE(a, 0);
    EXPECT_NE(b, 0);
    EXPECT_NE(a, b);
    EXPECT_TRUE(FSOUND_IsPlaying(a));
    EXPECT_TRUE(FSOUND_IsPlaying(0));  // a landed on the first channel
    EXPECT_EQ(FSOUND_GetFrequency(a), 22050);
    EXPECT_EQ(FSOUND_GetVolume(a), 255);

    EXPECT_EQ(FSOUND_StopSound(a), 1);
    EXPECT_FALSE(FSOUND_IsPlaying(a));
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(FSOUND_SetVolume(a, 10), 0);
    EXPECT_EQ(FSOUND_StopSound(a), 0);
    EXPECT_FALSE(FSOUND_IsPlaying(0));
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_NONE);
    EXPECT_TRUE(FSOUND_IsPlaying(b));

    // A fixed channel: replaying it makes the earlier handle stale.
    const int first = FSOUND_PlaySound(5, tone);
    ASSERT_NE(first, -1);
    EXPECT_NE(first, 0);
    const int again = FSOUND_PlaySound(5, tone);
    EXPECT_NE(again, first);
    EXPECT_FALSE(FSOUND_IsPlaying(first));
    EXPECT_TRUE(FSOUND_IsPlaying(again));
    EXPECT_TRUE(FSOUND_IsPlaying(5));

    EXPECT_EQ(FSOUND_PlaySound(8, tone), -1);  // only channels 0..7
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);

    FSOUND_StopAllChannels();
    EXPECT_FALSE(FSOUND_IsPlaying(b));
    EXPECT_FALSE(FSOUND_IsPlaying(5));
}

TEST_P(FsoundDevice, HandlesFromBeforeCloseAreRefusedAfterInitAgain)
{
    const FSOUND_SAMPLE tone = load("tone.wav", FSOUND_2D | FSOUND_LOOP_NORMAL);
    const int channel = FSOUND_PlaySound(FSOUND_FREE, tone);
    ASSERT_NE(channel, -1);
    FSOUND_Close();
    ASSERT_EQ(FSOUND_Init(44100, 8, 0), 1);
    EXPECT_NE(load("tone.wav"), tone);
    EXPECT_EQ(FSOUND_Sample_GetLength(tone), 0);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, tone), -1);
    EXPECT_EQ(FSOUND_SetFrequency(channel, 1000), 0);
}

TEST_P(FsoundDevice, NoFreeChannelIsAnAllocationError)
{
    const FSOUND_SAMPLE tone = load("tone.wav", FSOUND_2D | FSOUND_LOOP_NORMAL);
    for (int i = 0; i < 8; i++)
        ASSERT_NE(FSOUND_PlaySound(FSOUND_FREE, tone), -1);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, tone), -1);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_CHANNEL_ALLOC);
    FSOUND_StopSound(6);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, tone) & 0xfff, 6);
}

TEST_P(FsoundDevice, FrequencyZeroHoldsTheChannelSilent)
{
    const FSOUND_SAMPLE click = load("click.wav");
    const int channel = FSOUND_PlaySound(1, click);
    ASSERT_NE(channel, -1);
    EXPECT_EQ(FSOUND_SetFrequency(1, 0), 1);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_NONE);
    EXPECT_EQ(FSOUND_GetFrequency(1), 0);
    // Held, a 10 ms one-shot does not run out.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(FSOUND_IsPlaying(channel));
    EXPECT_EQ(FSOUND_SetFrequency(1, 44100), 1);
    EXPECT_TRUE(stops_within_seconds(channel, 10));
    EXPECT_EQ(FSOUND_SetFrequency(1, -1), 0);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
}

TEST_P(FsoundDevice, VolumeIsClampedAndPauseKeepsTheChannelPlaying)
{
    const FSOUND_SAMPLE click = load("click.wav");
    const int channel = FSOUND_PlaySoundAttrib(FSOUND_FREE, click, 11025, 100, -1);
    ASSERT_NE(channel, -1);
    EXPECT_EQ(FSOUND_GetVolume(channel), 100);
    EXPECT_EQ(FSOUND_GetFrequency(channel), 11025);
    EXPECT_EQ(FSOUND_SetVolume(channel, 300), 1);
    EXPECT_EQ(FSOUND_GetVolume(channel), 255);
    EXPECT_EQ(FSOUND_SetVolume(channel, -4), 1);
    EXPECT_EQ(FSOUND_GetVolume(channel), 0);

    EXPECT_EQ(FSOUND_SetPaused(channel, 1), 1);
    EXPECT_TRUE(FSOUND_GetPaused(channel));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(FSOUND_IsPlaying(channel));
    EXPECT_EQ(FSOUND_SetPaused(channel, 0), 1);
    EXPECT_FALSE(FSOUND_GetPaused(channel));
    EXPECT_TRUE(stops_within_seconds(channel, 10));
}

TEST_P(FsoundDevice, LoopModesDecideWhetherAChannelRunsOut)
{
    const FSOUND_SAMPLE once = load("click.wav");
    FSOUND_SAMPLE looped = load("click.wav");
    ASSERT_EQ(FSOUND_Sample_SetLoopMode(looped, FSOUND_LOOP_NORMAL), 1);
    const int a = FSOUND_PlaySound(FSOUND_FREE, once);
    const int b = FSOUND_PlaySound(FSOUND_FREE, looped);
    EXPECT_TRUE(stops_within_seconds(a, 10));
    EXPECT_TRUE(FSOUND_IsPlaying(b));
    // The loop mode also reaches a channel already playing the sample.
    EXPECT_EQ(FSOUND_Sample_SetLoopMode(looped, FSOUND_LOOP_OFF), 1);
    EXPECT_TRUE(stops_within_seconds(b, 10));

    EXPECT_EQ(FSOUND_Sample_SetLoopMode(looped, 3), 0);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(FSOUND_Sample_SetLoopMode(looped, FSOUND_LOOP_BIDI), 1);
}

TEST_P(FsoundDevice, ThreeDimensionalAttributesAreAccepted)
{
    const FSOUND_SAMPLE tone = load("tone.wav", FSOUND_HW3D);
    ASSERT_NE(tone, 0);
    EXPECT_EQ(FSOUND_Sample_SetMinMaxDistance(tone, 2.0f, 1000.0f), 1);
    EXPECT_EQ(FSOUND_Sample_SetMinMaxDistance(tone, 0.0f, 1000.0f), 0);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
    const float pos[3] = {1.0f, 2.0f, 3.0f};
    const float vel[3] = {0.0f, 0.0f, 0.0f};
    const int channel = FSOUND_3D_PlaySound(FSOUND_FREE, tone, pos, vel);
    ASSERT_NE(channel, -1);
    EXPECT_EQ(FSOUND_Reverb_SetMix(channel, -1.0f), 1);
    EXPECT_EQ(FSOUND_Reverb_SetMix(channel, 2.0f), 0);
    const float moved[3] = {-4.0f, 0.5f, 10.0f};
    EXPECT_EQ(FSOUND_3D_SetAttributes(channel, moved, nullptr), 1);
    FSOUND_3D_Update();
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_NONE);
    EXPECT_TRUE(FSOUND_IsPlaying(channel));
    EXPECT_EQ(FSOUND_StopSound(channel), 1);
    EXPECT_EQ(FSOUND_3D_SetAttributes(channel, moved, vel), 0);
}

// Where OpenAL places the sources that are playing now.
std::vector<std::vector<float>> playing_source_positions()
{
    std::vector<std::vector<float>> positions;
    for (ALuint source = 1; source < 4096; ++source) {
        if (!alIsSource(source))
            continue;
        ALint state = AL_STOPPED;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        if (state != AL_PLAYING)
            continue;
        std::vector<float> at(3);
        alGetSourcefv(source, AL_POSITION, at.data());
        positions.push_back(at);
    }
    return positions;
}

TEST_P(FsoundDevice, ThreeDimensionalPositionReachesTheDevice)
{
    if (GetParam() != FSOUND_OUTPUT_DSOUND || !alcGetCurrentContext())
        GTEST_SKIP() << "no OpenAL device";
    const FSOUND_SAMPLE tone = load("tone.wav", FSOUND_HW3D);
    ASSERT_NE(tone, 0);
    const float pos[3] = {1.0f, 2.0f, 3.0f};
    const int channel = FSOUND_3D_PlaySound(FSOUND_FREE, tone, pos, nullptr);
    ASSERT_NE(channel, -1);
    EXPECT_EQ(playing_source_positions(), (std::vector<std::vector<float>>{{1.0f, 2.0f, 3.0f}}));
    const float moved[3] = {-4.0f, 0.5f, 10.0f};
    EXPECT_EQ(FSOUND_3D_SetAttributes(channel, moved, nullptr), 1);
    FSOUND_3D_Update();
    EXPECT_EQ(playing_source_positions(), (std::vector<std::vector<float>>{{-4.0f, 0.5f, 10.0f}}));
    EXPECT_EQ(FSOUND_3D_SetAttributes(channel, nullptr, nullptr), 1);
    EXPECT_EQ(playing_source_positions(), (std::vector<std::vector<float>>{{-4.0f, 0.5f, 10.0f}}))
        << "no position given keeps the last one";
    EXPECT_EQ(FSOUND_StopSound(channel), 1);
}

INSTANTIATE_TEST_SUITE_P(Outputs, FsoundDevice,
                         ::testing::Values(FSOUND_OUTPUT_DSOUND, FSOUND_OUTPUT_NOSOUND),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == FSOUND_OUTPUT_NOSOUND ? std::string("Silent")
                                                                        : std::string("Device");
                         });

}  // namespace
