// The demo data set's first-screen part: situations that load, the timetable listed first,
// pictures that decode and the sound effects the simulator asks for.
#include <gtest/gtest.h>

#include <QComboBox>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cab/cab_picture.h"
#include "app/ini_file.h"
#include "demo_situations.h"
#include "demo_sounds.h"
#include "forms/selection_forms.h"
#include "app/sim_space.h"
#include "app/sim_state.h"
#include "platform/msgbox.h"
#include "platform/paths.h"
#include "cab/traction_model.h"
#include "train/train_file.h"

namespace {

namespace fs = std::filesystem;

class DemoDataTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        root = new fs::path(fs::path(DROVIK_TEST_BINARY_DIR) / "demo_root");
        fs::remove_all(*root);
        written = WriteDemoSounds(root->string()) && WriteDemoScreens(root->string()) &&
                  WriteDemoSituations(root->string());
        TConsist train;
        ClearConsist(train);
        TVehicleRec loco;
        loco.name = "RE-RUZ125";
        loco.isTraction = 1;
        loco.mass = 88;
        loco.length = 19.5;
        AddVehicle(train, 0, loco);
        std::string error;
        fs::create_directories(*root / "rail yard");
        written = SaveTrain((*root / "rail yard" / kDemoTrain).string(), train, &error) && written;
    }
    static void TearDownTestSuite()
    {
        delete root;
        root = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(written);
        ResetSimState();
        SimState.paths.root = root->string();
        plat_message_box_clear_records();
    }
    void TearDown() override { ResetSimState(); }

    static fs::path* root;
    static bool written;
};
fs::path* DemoDataTest::root = nullptr;
bool DemoDataTest::written = false;

uint32_t Le32(const std::vector<unsigned char>& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

TEST_F(DemoDataTest, SituationsLoadAndNameFilesThatExist)
{
    for (const char* name : {"Previous Situation", "Tarrow Wet Evening"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(LoadSituation(SituationPath(root->string(), name)));
        EXPECT_TRUE(fs::exists(plat_path_resolve(SimState.paths.route)));
        EXPECT_TRUE(fs::exists(plat_path_resolve(SimState.paths.timetable)));
        EXPECT_TRUE(fs::exists(plat_path_resolve(SimState.paths.train)));
        EXPECT_GE(SimState.startSegment, 3);
    }
    EXPECT_TRUE(plat_message_box_records().empty());
    // The round trip writes the same six lines.
    ASSERT_TRUE(LoadSituation(SituationPath(root->string(), "Tarrow Wet Evening")));
    ASSERT_TRUE(SaveSituation("Round trip"));
    const auto read = [](const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(read(*root / "situations" / "Round trip.txt"),
              read(*root / "situations" / "Tarrow Wet Evening.txt"));
    fs::remove(*root / "situations" / "Round trip.txt");
}

TEST_F(DemoDataTest, PreviousSituationOfTheLastRunIsKept)
{
    const fs::path previous = *root / "situations" / "Previous Situation.txt";
    std::ofstream(previous) << "kept";
    ASSERT_TRUE(WriteDemoSituations(root->string()));
    std::ifstream in(previous);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "kept");
    fs::remove(previous);
    ASSERT_TRUE(WriteDemoSituations(root->string()));
    EXPECT_TRUE(LoadSituation(previous.string()));
}

TEST_F(DemoDataTest, NewSituationOffersTheRouteAndItsTimetableFirst)
{
    TSel2Form form;
    form.FormShow();
    EXPECT_EQ(form.RouteBox->currentText().toStdString(), kDemoRoute);
    EXPECT_EQ(form.WorkBox->currentText().toStdString(), kDemoTimetable);
    EXPECT_EQ(form.TrainBox->count(), 1);
}

TEST_F(DemoDataTest, ScreenPicturesDecode)
{
    std::string error;
    EXPECT_EQ(LoadJpegFile((*root / "images" / "first_scrn.jpg").string(), &error).size(),
              QSize(800, 600)) << error;
    EXPECT_EQ(LoadJpegFile((*root / "images" / "second_scrn.jpg").string(), &error).size(),
              QSize(640, 420)) << error;
}

TEST_F(DemoDataTest, SoundEffectsAreWaveFilesAtTheirRates)
{
    const struct {
        std::string name;
        uint32_t rate;
    } sounds[] = {{kDefaultRunSound, 22050}, {"track_gap_slow.wav", 11025},
                  {"compressor.wav", 22050}, {"BP_release.wav", 22050},
                  {"BR_horn1.wav", 22050},   {"chat1.wav", 22050},
                  {"chat2.wav", 22050},      {"chat3.wav", 22050},
                  {"chat4.wav", 22050}};
    for (const auto& s : sounds) {
        SCOPED_TRACE(s.name);
        std::ifstream in(*root / "sounds" / s.name, std::ios::binary);
        const std::vector<unsigned char> b(std::istreambuf_iterator<char>(in), {});
        ASSERT_GT(b.size(), 44u);
        EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
        EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
        EXPECT_EQ(Le32(b, 24), s.rate);
        EXPECT_EQ(Le32(b, 40), b.size() - 44);
        EXPECT_GT(b.size(), 44u + s.rate / 2);  // at least half a second
    }
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs the generator program over root; its exit status.
int Generate(const fs::path& root, const char* option = "")
{
    const std::string command = std::string("\"") + DROVIK_MAKE_DEMO_DATA + "\" " + option +
                                " \"" + root.string() + "\" >/dev/null 2>&1";
    return std::system(command.c_str());
}

TEST(DemoGenerator, SecondRunKeepsTheUsersEditsAndForceRewritesThem)
{
    const fs::path root = fs::path(DROVIK_TEST_BINARY_DIR) / "generator_root";
    fs::remove_all(root);
    ASSERT_EQ(Generate(root), 0);
    const fs::path ini = root / "traction" / "RE-RUZ125" / "RE-RUZ125.ini";
    const fs::path train = root / "rail yard" / "Demo Freight.trn";
    const fs::path sound = root / "sounds" / "BR_horn1.wav";
    const std::string control1 = TIniFile(ini.string()).ReadString("cab layout", "control1", "");
    const std::string horn = ReadAll(sound);
    ASSERT_EQ(TIniFile(ini.string()).ReadString("loco physics", "mass", ""), "88");
    ASSERT_FALSE(control1.empty());

    // What a user does: a physics value and an item's place edited, a train and a situation
    // saved over the demo's, a situation of their own added, a sound removed.
    {
        TIniFile edit(ini.string());
        ASSERT_TRUE(edit.WriteString("loco physics", "mass", "90"));
        ASSERT_TRUE(
            edit.WriteString("cab layout", "control1", "RE-RUZ125.throttle-brake, 400:200"));
    }
    std::ofstream(train, std::ios::binary) << "my train";
    std::ofstream(root / "situations" / "Tarrow Wet Evening.txt") << "my evening";
    std::ofstream(root / "situations" / "Mine.txt") << "mine";
    fs::remove(sound);

    ASSERT_EQ(Generate(root), 0);
    const TIniFile kept(ini.string());
    EXPECT_EQ(kept.ReadString("loco physics", "mass", ""), "90");
    EXPECT_EQ(kept.ReadString("cab layout", "control1", ""), "RE-RUZ125.throttle-brake, 400:200");
    EXPECT_EQ(ReadAll(train), "my train");
    EXPECT_EQ(ReadAll(root / "situations" / "Tarrow Wet Evening.txt"), "my evening");
    EXPECT_EQ(ReadAll(root / "situations" / "Mine.txt"), "mine");
    EXPECT_EQ(ReadAll(sound), horn);  // a missing file is written again

    ASSERT_EQ(Generate(root, "--force"), 0);
    const TIniFile fresh(ini.string());
    EXPECT_EQ(fresh.ReadString("loco physics", "mass", ""), "88");
    EXPECT_EQ(fresh.ReadString("cab layout", "control1", ""), control1);
    EXPECT_NE(ReadAll(train), "my train");
    EXPECT_NE(ReadAll(root / "situations" / "Tarrow Wet Evening.txt"), "my evening");
    EXPECT_EQ(ReadAll(root / "situations" / "Mine.txt"), "mine");  // not the demo's to rewrite
    fs::remove_all(root);
}

}  // namespace
