// Tests of the simulator's sound effects on the fixed channels, and of the error texts.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "../../sound/wav_writer.h"
#include "app/fmod_errors.h"
#include "app/sim_state.h"
#include "app/sound_fx.h"
#include "platform/msgbox.h"
#include "train/brake.h"

namespace {

namespace fsys = std::filesystem;

TEST(FmodErrorString, TextsByTheLowSevenBits)
{
    struct text_case {
        int code;
        const char* text;
    };
    for (const text_case& c : {
             text_case{0, "No errors"},
             text_case{1, "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first."},
             text_case{2, "This command failed because FSOUND_Init was not called"},
             text_case{3, "Error initializing output device."},
             text_case{4, "The output device is already in use and cannot be reused."},
             text_case{5, "Playing the sound failed."},
             text_case{6, "Soundcard does not support the features needed for this soundsystem "
                          "(16bit stereo output)"},
             text_case{7, "Error setting cooperative level for hardware."},
             text_case{8, "Error creating hardware sound buffer."},
             text_case{9, "File not found"},
             text_case{10, "Unknown file format"},
             text_case{11, "Error loading file"},
             text_case{12, "Not enough memory "},
             text_case{13, "The version number of this file format is not supported"},
             text_case{14, "An invalid parameter was passed to this function"},
             text_case{15, "Tried to use an EAX command on a non EAX enabled channel or output."},
             text_case{16, "Tried to use an advanced EAX2 command on a non EAX2 enabled channel or "
                           "output."},
             text_case{17, "Failed to allocate a new channel"},
             text_case{18, "Recording is not supported on this machine"},
             text_case{19, "Required Mediaplayer codec is not installed"},
             text_case{20, "Unknown error"},
             text_case{128 + 10, "Unknown file format"},
             text_case{-1, "Unknown error"},
         })
        EXPECT_STREQ(FMOD_ErrorString(c.code), c.text) << c.code;
}

int fixed_random_value = 0;
int fixed_random(int)
{
    return fixed_random_value;
}

class SoundFx : public ::testing::Test {
protected:
    fsys::path root = fsys::path(DROVIK_TEST_BINARY_DIR) / "sound_fx_root";

    void SetUp() override
    {
        fsys::create_directories(root / "sounds");
        const auto sound = [this](const char* name, uint32_t frames) {
            wav_test::write_wav((root / "sounds" / name).string(), frames, 22050);
        };
        sound("run.wav", 22050);
        sound("compressor.wav", 22050);
        sound("track_gap_slow.wav", 11025);
        sound("BP_release.wav", 11025);
        sound("BR_horn1.wav", 6615);  // 0.3 s: long enough to sound it again while it plays
        for (const char* chat : {"chat1.wav", "chat2.wav", "chat3.wav", "chat4.wav"})
            sound(chat, 22050);
        SimState.paths.root = root.string();
        SimState.soundOn = true;
        SoundRunFile = "run.wav";
        Brake.FLOW.value = 0.0;
        fixed_random_value = 0;
        SoundSetRandom(fixed_random);
        plat_message_box_set_headless(true);
        plat_message_box_clear_records();
    }
    void TearDown() override
    {
        SoundClose();
        SoundSetRandom(nullptr);
    }
    void Update(double speed, double throttle)
    {
        TSimSlot speedSlot;
        speedSlot.value = speed;
        TSimSlot throttleSlot;
        throttleSlot.value = throttle;
        SoundUpdate(speedSlot, throttleSlot);
    }
};

TEST_F(SoundFx, InitKeepsTheDriverListAndStartsTheLocomotive)
{
    ASSERT_TRUE(SoundInit());
    EXPECT_EQ(SoundDriverList.rfind("Your sound driver list: \r", 0), 0u);
    EXPECT_TRUE(SoundDriverList.ends_with("\ror DirectX Driver"));
    SoundStart();
    EXPECT_TRUE(plat_message_box_records().empty());
    EXPECT_TRUE(FSOUND_IsPlaying(chRunning));
    EXPECT_EQ(FSOUND_GetVolume(chRunning), 255);
    EXPECT_TRUE(FSOUND_IsPlaying(chCompressor));
    EXPECT_EQ(FSOUND_GetVolume(chCompressor), 100);
    for (int channel : {chRailJoint, chHorn, chChatter, chRelease})
        EXPECT_FALSE(FSOUND_IsPlaying(channel)) << channel;
    EXPECT_TRUE(SimState.soundOn);

    // A second start reloads and plays again without complaint.
    SoundStopAll();
    SoundStart();
    EXPECT_TRUE(FSOUND_IsPlaying(chRunning));
    EXPECT_TRUE(plat_message_box_records().empty());
}

TEST_F(SoundFx, RailJointsFollowTheSpeedAndTheRunningSoundTheNotch)
{
    ASSERT_TRUE(SoundInit());
    SoundStart();
    Update(3.0, 0.0);
    EXPECT_FALSE(FSOUND_IsPlaying(chRailJoint));
    Update(10.0, 0.0);
    EXPECT_TRUE(FSOUND_IsPlaying(chRailJoint));
    EXPECT_EQ(FSOUND_GetFrequency(chRailJoint), 9000);
    EXPECT_EQ(FSOUND_GetVolume(chRailJoint), 160);
    Update(2.0, 0.0);
    EXPECT_FALSE(FSOUND_IsPlaying(chRailJoint));

    struct notch_case {
        double throttle;
        int frequency;
    };
    for (const notch_case& c : {notch_case{0.0, 22050}, notch_case{1.0, 22050 + 3500},
                                notch_case{2.5, 22050 + 4250}, notch_case{4.0, 22050 + 6500},
                                notch_case{8.0, 22050 + 12500}, notch_case{9.0, 0},
                                notch_case{-1.0, 0}}) {
        Update(0.0, c.throttle);
        EXPECT_EQ(FSOUND_GetFrequency(chRunning), c.frequency) << c.throttle;
        EXPECT_TRUE(FSOUND_IsPlaying(chRunning)) << c.throttle;
    }
}

TEST_F(SoundFx, ReleaseHissFollowsTheBrakePipeFlow)
{
    ASSERT_TRUE(SoundInit());
    SoundStart();
    Brake.FLOW.value = -0.42;
    Update(0.0, 0.0);
    EXPECT_TRUE(FSOUND_IsPlaying(chRelease));
    EXPECT_EQ(FSOUND_GetVolume(chRelease), 100);
    Brake.FLOW.value = 0.0;
    Update(0.0, 0.0);
    EXPECT_FALSE(FSOUND_IsPlaying(chRelease));
}

TEST_F(SoundFx, ChatterPlaysOnceWhenTheDiceSayOne)
{
    ASSERT_TRUE(SoundInit());
    SoundStart();
    Update(0.0, 0.0);
    EXPECT_FALSE(FSOUND_IsPlaying(chChatter));
    fixed_random_value = 1;  // random(55) = 1 picks chat2.wav
    Update(0.0, 0.0);
    EXPECT_TRUE(FSOUND_IsPlaying(chChatter));
    EXPECT_EQ(FSOUND_GetVolume(chChatter), 50);
    fsys::remove(root / "sounds" / "chat2.wav");
    Update(0.0, 0.0);  // still chattering: nothing is reloaded
    EXPECT_TRUE(plat_message_box_records().empty());
}

TEST_F(SoundFx, HornPlaysOnceAndIsNotRestartedWhilePlaying)
{
    ASSERT_TRUE(SoundInit());
    SoundStart();
    SoundHorn();
    ASSERT_TRUE(FSOUND_IsPlaying(chHorn));
    EXPECT_EQ(FSOUND_GetVolume(chHorn), 255);
    // A restart would set the volume again.
    FSOUND_SetVolume(chHorn, 7);
    SoundHorn();
    EXPECT_TRUE(FSOUND_IsPlaying(chHorn));
    EXPECT_EQ(FSOUND_GetVolume(chHorn), 7) << "restarted while playing";
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (FSOUND_IsPlaying(chHorn) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(FSOUND_IsPlaying(chHorn));

    SoundHorn();
    SoundStopAll();
    for (int channel : {chRailJoint, chRunning, chCompressor, chHorn, chChatter, chRelease})
        EXPECT_FALSE(FSOUND_IsPlaying(channel)) << channel;
    SoundRestart();
    EXPECT_TRUE(FSOUND_IsPlaying(chRunning));
    EXPECT_TRUE(FSOUND_IsPlaying(chCompressor));
}

TEST_F(SoundFx, AMissingSampleIsShownAndSwitchesSoundOff)
{
    ASSERT_TRUE(SoundInit());
    SoundRunFile = "absent.wav";
    SoundStart();
    const auto boxes = plat_message_box_records();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Kestrovane");
    EXPECT_EQ(boxes[0].text, root.string() + "\\sounds\\absent.wav\rError: File not found");
    EXPECT_FALSE(SimState.soundOn);
    EXPECT_FALSE(FSOUND_IsPlaying(chRunning));
    EXPECT_TRUE(FSOUND_IsPlaying(chCompressor));
}

TEST_F(SoundFx, LoadingBeforeInitReportsIt)
{
    FSOUND_SAMPLE sample = 0;
    EXPECT_FALSE(LoadSample(sample, "compressor.wav"));
    EXPECT_EQ(sample, 0);
    const auto boxes = plat_message_box_records();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.ends_with(
        "\rError: This command failed because FSOUND_Init was not called"));
}

TEST_F(SoundFx, InitFailureIsShownAndLeavesSoundOff)
{
    ASSERT_TRUE(SoundInit());
    // A second init is refused by the library: the failure path shows both texts.
    EXPECT_FALSE(SoundInit());
    const auto boxes = plat_message_box_records();
    ASSERT_GE(boxes.size(), 2u);
    EXPECT_EQ(boxes[boxes.size() - 2].text, "Error: Initializing sound card");
    EXPECT_EQ(boxes.back().text,
              "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.");
}

}  // namespace
