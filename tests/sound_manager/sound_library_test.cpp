// The sound manager over the project's own sound library (OpenAL's null device in the tests),
// with sound files the test writes.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <string>
#include <vector>

#include "../sound/wav_writer.h"
#include "api/sound_manager.h"
#include "drovik.h"
#include "platform/msgbox.h"
#include "work_dir.h"

namespace {

class SoundLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        sound_manager_use_library("fmod.dll");
        ASSERT_TRUE(sound_manager().library_loaded);
    }
    void TearDown() override { sound_manager_use_library("fmod.dll"); }

    std::string in_work(const char* name) const { return (work_.dir() / name).string(); }

    temp_work_dir work_;
};

void write_mp3(const std::string& path, int rate) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    SNDFILE* out = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(out, nullptr) << sf_strerror(nullptr);
    std::vector<short> tone(static_cast<size_t>(rate));
    for (size_t i = 0; i < tone.size(); i++) tone[i] = (i / 50) % 2 ? 8000 : -8000;
    sf_write_short(out, tone.data(), static_cast<sf_count_t>(tone.size()));
    sf_close(out);
}

}  // namespace

TEST_F(SoundLibrary, WavAndMp3PlayAtTheirRatesAndStop) {
    wav_test::write_wav(in_work("tone.wav"), 22050, 22050);
    write_mp3(in_work("tone.mp3"), 32000);
    struct file_case {
        const char* file;
        int rate;
    };
    for (const file_case c : {file_case{"tone.wav", 22050}, file_case{"tone.mp3", 32000}}) {
        DROVIK_HANDLE s = Drovik_sound_load(in_work(c.file).c_str(), nullptr, 0);
        ASSERT_NE(s, nullptr) << c.file;
        ASSERT_EQ(Drovik_sound_play(s, 1), 0);
        const int channel = static_cast<sound_object*>(s)->channel;
        EXPECT_EQ(Drovik_sound_is_sound_playing(s), 1);
        EXPECT_EQ(Drovik_sound_get_frequency(s), c.rate);
        EXPECT_EQ(Drovik_sound_get_volume(s), 500);
        EXPECT_EQ(Drovik_sound_play(s, 1), 0);
        EXPECT_EQ(sound_manager().library.is_playing(channel), 0) << "a replay stops the old channel";
        EXPECT_EQ(Drovik_sound_stop(s), 0);
        EXPECT_EQ(Drovik_sound_is_sound_playing(s), 0);
        EXPECT_EQ(sound_manager().library.is_playing(static_cast<sound_object*>(s)->channel), 0);
    }
    EXPECT_EQ(Drovik_sound_load(in_work("missing.wav").c_str(), nullptr, 0), nullptr);
    EXPECT_EQ(Drovik_sound_CD_get_track(), 0);
    EXPECT_TRUE(plat_message_box_records().empty());
}

TEST_F(SoundLibrary, PlayAllStartsEverySoundOnItsOwnChannel) {
    wav_test::write_wav(in_work("a.wav"), 22050, 22050);
    wav_test::write_wav(in_work("b.wav"), 22050, 11025);
    DROVIK_HANDLE a = Drovik_sound_load(in_work("a.wav").c_str(), nullptr, 0);
    DROVIK_HANDLE b = Drovik_sound_load(in_work("b.wav").c_str(), nullptr, 0);
    EXPECT_EQ(Drovik_sound_play_all_sounds(), 1);
    EXPECT_EQ(Drovik_sound_is_sound_playing(a), 1);
    EXPECT_EQ(Drovik_sound_is_sound_playing(b), 1);
    EXPECT_NE(static_cast<sound_object*>(a)->channel, static_cast<sound_object*>(b)->channel);
    EXPECT_EQ(Drovik_sound_get_frequency(b), 11025);
    EXPECT_EQ(Drovik_sound_set_frequency(b, 8000), 1);
    EXPECT_EQ(Drovik_sound_get_frequency(b), 8000);
    EXPECT_EQ(Drovik_sound_set_pause_mode(a, 1), 1);
    EXPECT_EQ(Drovik_sound_is_sound_playing(a), 1);
    EXPECT_EQ(Drovik_sound_stop_all_sounds(), 0);
    EXPECT_EQ(Drovik_sound_is_sound_playing(a), 0);
    EXPECT_EQ(Drovik_sound_is_sound_playing(b), 0);
}
