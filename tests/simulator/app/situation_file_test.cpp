// Situation files: the parsing rules, save and load round trip, missing and damaged files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "../../common/box_texts.h"
#include "app/sim_space.h"
#include "app/sim_state.h"
#include "platform/msgbox.h"

namespace {

namespace fs = std::filesystem;

TEST(ParseSituation, Lines)
{
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        int segment, hour, minute;
        bool wet;
    };
    const std::vector<std::string> base = {"Tarrow-Venn.dat", "12", "0905 Freight.txt",
                                           "Demo Freight.trn", "6  45", "DRY"};
    const auto with = [&base](size_t i, const std::string& text) {
        std::vector<std::string> lines = base;
        lines[i] = text;
        return lines;
    };
    const Case cases[] = {
        {"as written", base, 12, 6, 45, false},
        {"hour 24", with(4, "24  45"), 12, 9, 45, false},
        {"minute 75", with(4, "6  75"), 12, 6, 1, false},
        {"minute 60", with(4, "6  60"), 12, 6, 1, false},
        {"hour 23 minute 59", with(4, "23  59"), 12, 23, 59, false},
        {"midnight", with(4, "0  0"), 12, 0, 0, false},
        {"negative hour", with(4, "-1  45"), 12, 9, 45, false},
        {"negative minute", with(4, "6  -5"), 12, 6, 1, false},
        {"time unreadable", with(4, "six  x"), 12, 9, 1, false},
        {"time missing", with(4, ""), 12, 9, 1, false},
        {"segment unreadable", with(1, "x12"), 3, 6, 45, false},
        {"segment below 3 as written", with(1, "-4"), -4, 6, 45, false},
        {"segment 1 as written", with(1, "1"), 1, 6, 45, false},
        {"segment beyond an integer", with(1, "4294967296"), 3, 6, 45, false},
        {"lower case dry", with(5, "dry"), 12, 6, 45, true},
        {"mixed case dry", with(5, "Dry"), 12, 6, 45, true},
        {"empty rail", with(5, ""), 12, 6, 45, true},
        {"wet", with(5, "WET"), 12, 6, 45, true},
        {"five lines", {base.begin(), base.begin() + 5}, 12, 6, 45, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TSituation s;
        ASSERT_TRUE(ParseSituation(c.lines, &s));
        EXPECT_EQ(s.routeName, "Tarrow-Venn");
        EXPECT_EQ(s.timetableFile, "0905 Freight.txt");
        EXPECT_EQ(s.trainFile, "Demo Freight.trn");
        EXPECT_EQ(s.startSegment, c.segment);
        EXPECT_EQ(s.startHour, c.hour);
        EXPECT_EQ(s.startMinute, c.minute);
        EXPECT_EQ(s.wet, c.wet);
    }
}

TEST(ParseSituation, NamesAreRequired)
{
    const std::vector<std::vector<std::string>> damaged = {
        {},
        {"Tarrow-Venn.dat", "3"},
        {".dat", "3", "t.txt", "x.trn", "9  1", "DRY"},
        {"Tarrow-Venn.dat", "3", "", "x.trn", "9  1", "DRY"},
    };
    for (const auto& lines : damaged) {
        TSituation s;
        s.startSegment = 77;
        EXPECT_FALSE(ParseSituation(lines, &s));
        EXPECT_EQ(s.startSegment, 77);
    }
}

class SituationFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        ResetSimState();
        plat_message_box_clear_records();
        root = fs::path(DROVIK_TEST_BINARY_DIR) / "situation_root";
        fs::remove_all(root);
        fs::create_directories(root / "routes" / "Tarrow-Venn");
        fs::create_directories(root / "rail yard");
        fs::create_directories(root / "situations");
        Touch(root / "routes" / "Tarrow-Venn" / "Tarrow-Venn.dat");
        Touch(root / "routes" / "Tarrow-Venn" / "0905 Freight.txt");
        Touch(root / "rail yard" / "Demo Freight.trn");
        SimState.paths.root = root.string();
    }
    void TearDown() override { ResetSimState(); }

    static void Touch(const fs::path& path) { std::ofstream(path) << "x"; }
    static std::string Read(const fs::path& path)
    {
        std::stringstream text;
        text << std::ifstream(path, std::ios::binary).rdbuf();
        return text.str();
    }
    void SetCurrent()
    {
        const std::string r = root.string();
        SimState.paths.route = r + "\\routes\\Tarrow-Venn\\Tarrow-Venn.dat";
        SimState.paths.timetable = r + "\\routes\\Tarrow-Venn\\0905 Freight.txt";
        SimState.paths.train = r + "\\rail yard\\Demo Freight.trn";
        SimState.startSegment = 17;
        SimState.clock = (14 * 60 + 7) / 1440.0 + 3.0;  // a day count and 14:07
        SimState.wet = false;
    }
    fs::path root;
};

TEST_F(SituationFileTest, SavedFileHasSixLines)
{
    SetCurrent();
    ASSERT_TRUE(SaveSituation("Morning"));
    EXPECT_EQ(Read(root / "situations" / "Morning.txt"),
              "Tarrow-Venn.dat\r\n17\r\n0905 Freight.txt\r\nDemo Freight.trn\r\n14  7\r\nDRY\r\n");
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(SituationFileTest, SegmentBelowThreeIsSavedAsThreeAndWetAsWET)
{
    SetCurrent();
    SimState.startSegment = 1;
    SimState.wet = true;
    ASSERT_TRUE(SaveSituation("Low"));
    const std::string text = Read(root / "situations" / "Low.txt");
    EXPECT_NE(text.find("\r\n3\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\nWET\r\n"), std::string::npos) << text;
}

TEST_F(SituationFileTest, RoundTrip)
{
    SetCurrent();
    SimState.wet = true;
    ASSERT_TRUE(SaveSituation("Previous Situation"));
    const pathRec saved = SimState.paths;
    ResetSimState();
    SimState.paths.root = root.string();
    const std::string path = root.string() + "\\situations\\Previous Situation.txt";
    ASSERT_TRUE(LoadSituation(path));
    EXPECT_EQ(SimState.paths.situation, path);
    EXPECT_EQ(SimState.paths.route, saved.route);
    EXPECT_EQ(SimState.paths.timetable, saved.timetable);
    EXPECT_EQ(SimState.paths.train, saved.train);
    EXPECT_EQ(SimState.trainName, "Demo Freight");
    EXPECT_EQ(SimState.startSegment, 17);
    EXPECT_EQ(SimState.startHour, 14);
    EXPECT_EQ(SimState.startMinute, 7);
    EXPECT_TRUE(SimState.wet);
    EXPECT_TRUE(BoxTexts().empty());
    // Saved again unchanged, the file is the same.
    const std::string first = Read(root / "situations" / "Previous Situation.txt");
    ASSERT_TRUE(SaveSituation("Previous Situation"));
    EXPECT_EQ(Read(root / "situations" / "Previous Situation.txt"), first);
}

TEST_F(SituationFileTest, NothingWrittenWhenAFileIsMissing)
{
    for (int missing = 0; missing < 3; missing++) {
        SetCurrent();
        std::string* paths[] = {&SimState.paths.route, &SimState.paths.timetable,
                                &SimState.paths.train};
        *paths[missing] += ".gone";
        std::string error;
        EXPECT_FALSE(SaveSituation("Nothing", &error));
        EXPECT_EQ(error, "The situation was not saved: its route, timetable or train file is missing.");
        EXPECT_FALSE(fs::exists(root / "situations" / "Nothing.txt"));
    }
    EXPECT_TRUE(BoxTexts().empty());
}

// Only a ".txt" ending is the save dialog's own: "Late.shift" stays whole.
TEST(SituationNames, OnlyATxtEndingIsDropped)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Late.shift", "Late.shift"}, {"Morning.txt", "Morning"}, {"Evening.TXT", "Evening"},
        {"Late.shift.txt", "Late.shift"}, {"txt", "txt"}, {"Notes.text", "Notes.text"}};
    for (const auto& [file, name] : cases)
        EXPECT_EQ(SituationNameOfFile(file), name) << file;
}

TEST_F(SituationFileTest, AFileThatCannotBeWrittenIsReported)
{
    SetCurrent();
    fs::create_directories(root / "situations" / "Blocked.txt" / "inside");
    std::string error;
    EXPECT_FALSE(SaveSituation("Blocked", &error));
    EXPECT_EQ(error, "The situation file \"" + root.string() + "\\situations\\Blocked.txt\" could not be written.");
    EXPECT_TRUE(fs::is_directory(root / "situations" / "Blocked.txt" / "inside"));
    EXPECT_FALSE(fs::exists(root / "situations" / "Blocked.txt.tmp"));
}

TEST_F(SituationFileTest, MissingFileIsReportedAndChangesNothing)
{
    SetCurrent();
    const pathRec before = SimState.paths;
    const std::string path = root.string() + "\\situations\\Nowhere.txt";
    EXPECT_FALSE(LoadSituation(path));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>({"The situation file \"" + path +
                                                    "\" was not found."}));
    EXPECT_EQ(SimState.paths.route, before.route);
    EXPECT_EQ(SimState.paths.train, before.train);
    EXPECT_EQ(SimState.startSegment, 17);
}

TEST_F(SituationFileTest, DamagedFileIsReportedAndChangesNothing)
{
    SetCurrent();
    std::ofstream(root / "situations" / "Short.txt") << "Tarrow-Venn.dat\n5\n";
    EXPECT_FALSE(LoadSituation(root.string() + "\\situations\\Short.txt"));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>({"The situation file \"" + root.string() +
                                                    "\\situations\\Short.txt\" cannot be read."}));
    EXPECT_EQ(SimState.startSegment, 17);
}

TEST_F(SituationFileTest, UnixLineEndsAndLetterCaseOfTheFolder)
{
    fs::rename(root / "situations", root / "Situations");
    std::ofstream(root / "Situations" / "Evening.txt")
        << "Tarrow-Venn.dat\n8\n0905 Freight.txt\nDemo Freight.trn\n24  75\nDRY\n";
    ASSERT_TRUE(LoadSituation(root.string() + "\\situations\\Evening.txt"));
    EXPECT_EQ(SimState.startSegment, 8);
    EXPECT_EQ(SimState.startHour, 9);
    EXPECT_EQ(SimState.startMinute, 1);
    EXPECT_FALSE(SimState.wet);
}

// The start segment is kept as written; only one that cannot be read becomes 3.
TEST_F(SituationFileTest, StartSegmentIsReadAsWritten)
{
    const std::pair<const char*, int> cases[] = {{"1", 1}, {"0", 0}, {"none", 3}};
    for (const auto& [text, segment] : cases) {
        SCOPED_TRACE(text);
        std::ofstream(root / "situations" / "Early.txt")
            << "Tarrow-Venn.dat\r\n" << text << "\r\n0905 Freight.txt\r\nDemo Freight.trn\r\n7  0\r\nDRY\r\n";
        ASSERT_TRUE(LoadSituation(root.string() + "\\situations\\Early.txt"));
        EXPECT_EQ(SimState.startSegment, segment);
    }
}

}  // namespace
