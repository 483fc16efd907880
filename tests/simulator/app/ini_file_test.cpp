// INI files: case-insensitive look-ups, defaults, raw values and writes made in place.
#include "app/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    fs::path path;

    void SetUp() override
    {
        fs::path dir = fs::path(DROVIK_TEST_BINARY_DIR) / "ini";
        fs::create_directories(dir);
        path = dir / (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".ini");
        fs::remove(path);
    }
    void TearDown() override { fs::remove(path); }
    void Write(const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }
    std::string Read() const
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(IniFileTest, LookUpsIgnoreCaseAndKeepRawText)
{
    Write("; model\n[General]\nTraction_Type = ELE \ndescription=Bo-Bo, 25 kV=AC\n\n"
          "[loco physics]\nmass=84.5\nnumAxles=4x\n");
    TIniFile ini(path.string());
    EXPECT_EQ(ini.ReadString("general", "traction_type", "nil"), "ELE");
    EXPECT_EQ(ini.ReadString("GENERAL", "DESCRIPTION", "nil"), "Bo-Bo, 25 kV=AC");
    EXPECT_EQ(ini.ReadString("Loco Physics", "MASS", "0"), "84.5");
    EXPECT_DOUBLE_EQ(ini.ReadFloat("loco physics", "mass", 1.0), 84.5);
    EXPECT_TRUE(ini.SectionExists("LOCO PHYSICS"));
    EXPECT_TRUE(ini.ValueExists("loco physics", "numaxles"));
}

TEST_F(IniFileTest, DefaultsForMissingFileSectionKeyOrBadNumber)
{
    {
        TIniFile missing(path.string());
        EXPECT_EQ(missing.ReadString("cab layout", "3d_top", "10"), "10");
        EXPECT_FALSE(missing.SectionExists("cab layout"));
    }
    Write("[loco physics]\nmass=heavy\nnumAxles=4x\npower_hp=3000\n");
    TIniFile ini(path.string());
    EXPECT_EQ(ini.ReadString("general", "mass", "none"), "none");      // other section
    EXPECT_EQ(ini.ReadString("loco physics", "length", "20"), "20");  // other key
    EXPECT_DOUBLE_EQ(ini.ReadFloat("loco physics", "mass", 100.0), 100.0);
    EXPECT_EQ(ini.ReadInteger("loco physics", "numAxles", 6), 6);
    EXPECT_EQ(ini.ReadInteger("loco physics", "power_hp", 200), 3000);
}

TEST_F(IniFileTest, SectionValuesInFileOrder)
{
    Write("[data]\nmass=80\n; comment\nlength = 15\n[general]\nx=1\n");
    TIniFile ini(path.string());
    EXPECT_EQ(ini.ReadSectionValues("DATA"), (std::vector<std::string>{"mass=80", "length=15"}));
    EXPECT_TRUE(ini.ReadSectionValues("none").empty());
}

TEST_F(IniFileTest, WriteReplacesInPlaceAndKeepsEveryOtherLine)
{
    Write("; traction model\n[cab layout]\n3d_top=10\ncontrol1=RE.throttle, 100:200\n\n"
          "[general]\ntraction_type=ELE\n");
    TIniFile ini(path.string());
    ASSERT_TRUE(ini.WriteString("CAB LAYOUT", "Control1", "RE.throttle, 300:120"));
    EXPECT_EQ(Read(), "; traction model\n[cab layout]\n3d_top=10\nControl1=RE.throttle, 300:120\n\n"
                      "[general]\ntraction_type=ELE\n");
    EXPECT_EQ(ini.ReadString("cab layout", "control1", ""), "RE.throttle, 300:120");
}

TEST_F(IniFileTest, NewKeyEndsItsSectionAndNewSectionEndsTheFile)
{
    Write("[cab layout]\r\n3d_top=10\r\n\r\n[general]\r\ntraction_type=ELE\r\n");
    TIniFile ini(path.string());
    ASSERT_TRUE(ini.WriteString("cab layout", "3d_left", "20"));
    ASSERT_TRUE(ini.WriteInteger("sound", "volume", 7));
    // Windows line ends stay Windows line ends.
    EXPECT_EQ(Read(), "[cab layout]\r\n3d_top=10\r\n3d_left=20\r\n\r\n[general]\r\n"
                      "traction_type=ELE\r\n\r\n[sound]\r\nvolume=7\r\n");
    TIniFile again(path.string());
    EXPECT_EQ(again.ReadInteger("SOUND", "Volume", 0), 7);
}

TEST_F(IniFileTest, WriteCreatesAMissingFileButNotAMissingFolder)
{
    TIniFile ini(path.string());
    ASSERT_TRUE(ini.WriteString("filenames", "control3", "lever"));
    EXPECT_EQ(Read(), "[filenames]\ncontrol3=lever\n");

    TIniFile nowhere((path.parent_path() / "no such folder" / "x.ini").string());
    EXPECT_FALSE(nowhere.WriteString("a", "b", "c"));
    EXPECT_EQ(nowhere.ReadString("a", "b", "d"), "d");  // the failed write is not kept
}

}  // namespace
