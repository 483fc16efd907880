// The error reporter: log banners, verbatim report lines, the last error, the speaker and boxes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>

#include "foundation/errors.h"
#include "platform/msgbox.h"
#include "work_dir.h"

namespace {

const std::string log_banner_pattern =
    "=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=\n"
    "\\|   Drovik Engine Log File    \\|\n"
    "=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=\n"
    "\n-------------------------------------------------\n"
    "    Time=\\d{1,2}:\\d{1,2} and \\d{1,2} seconds \\(\\d{1,2} \\. \\d{1,2} \\. \\d{4}\\)    \n"
    "-------------------------------------------------\n";

TEST(ErrorReporter, OpensBothLogsWithTheirBannersInTheWorkingDirectory) {
    temp_work_dir work;
    ASSERT_EQ(open_log_files(), 0);
    EXPECT_EQ(open_log_files(), -1) << "already open";
    EXPECT_EQ(log_directory(), work.dir().string());
    EXPECT_TRUE(std::regex_match(read_file(work.dir() / "Drovik.log"), std::regex(log_banner_pattern)));
    EXPECT_EQ(read_file(work.dir() / "error.log"), "Drovik errors file\n------------------\n");
    EXPECT_FALSE(std::filesystem::exists(work.dir() / "stam5421.txt"));
}

// error.log holds one report a line: a text without its line end gets one there.
TEST(ErrorReporter, WritesTheTextToBothLogsAndKeepsItsFirst59Characters) {
    temp_work_dir work;
    engine_set_speaker_mode(0);
    const std::string percent_line = "camera_rebuild: 100% of %s %d failed\n";
    report_error(1, percent_line.c_str());
    std::string long_line(200, 'x');
    for (size_t i = 0; i < long_line.size(); ++i) long_line[i] = static_cast<char>('a' + i % 26);
    report_error(1, long_line.c_str());
    EXPECT_EQ(std::string(engine_get_last_error()), long_line.substr(0, 59));
    const std::string errors = read_file(work.dir() / "error.log");
    EXPECT_EQ(errors, "Drovik errors file\n------------------\n" + percent_line + long_line + "\n");
    const std::string log = read_file(work.dir() / "Drovik.log");
    EXPECT_TRUE(std::regex_match(log.substr(0, log.size() - percent_line.size() - long_line.size()),
                                 std::regex(log_banner_pattern)));
    EXPECT_EQ(log.substr(log.size() - percent_line.size() - long_line.size()), percent_line + long_line);
}

TEST(ErrorReporter, BeepsOnlyWhileTheSpeakerIsOn) {
    temp_work_dir work;
    engine_set_speaker_mode(1);
    report_error(1, "a: beep\n");
    ASSERT_EQ(plat_beep_records().size(), 2u) << "the speaker, then the default message beep";
    EXPECT_EQ(plat_beep_records()[0].frequency, 200u);
    EXPECT_EQ(plat_beep_records()[0].milliseconds, 50u);
    EXPECT_EQ(engine_set_speaker_mode(0), 0);
    report_error(1, "a: quiet\n");
    EXPECT_EQ(plat_beep_records().size(), 2u);
}

TEST(ErrorReporter, ReportsReopenTheLogsAfterTheyWereClosed) {
    temp_work_dir work;
    engine_set_speaker_mode(0);
    report_error(1, "first\n");
    close_log_files();
    EXPECT_FALSE(log_files_are_open());
    report_error(1, "second\n");
    EXPECT_TRUE(log_files_are_open());
    EXPECT_EQ(read_file(work.dir() / "error.log"), "Drovik errors file\n------------------\nsecond\n");
}

TEST(ErrorReporter, ADesktopWorkingDirectorySendsTheLogsToTheStateDirectory) {
    temp_work_dir work("My DeskTop");
    const std::filesystem::path state = work.root() / "state";
    ASSERT_EQ(setenv("XDG_STATE_HOME", state.c_str(), 1), 0);
    ASSERT_EQ(open_log_files(), 0);
    EXPECT_EQ(log_directory(), (state / "drovik").string());
    EXPECT_TRUE(std::filesystem::exists(state / "drovik" / "Drovik.log"));
    EXPECT_TRUE(std::filesystem::exists(state / "drovik" / "error.log"));
    EXPECT_FALSE(std::filesystem::exists(work.dir() / "Drovik.log"));
    close_log_files();
    unsetenv("XDG_STATE_HOME");
}

TEST(ErrorReporter, AnUnwritableWorkingDirectorySendsTheLogsToTheStateDirectory) {
    temp_work_dir work;
    const std::filesystem::path state = work.root() / "state";
    ASSERT_EQ(setenv("XDG_STATE_HOME", state.c_str(), 1), 0);
    // No one, root included, makes files in /proc; a folder's mode bits would not stop root.
    std::filesystem::current_path("/proc");
    ASSERT_EQ(std::fopen("probe", "w"), nullptr);
    ASSERT_EQ(open_log_files(), 0);
    EXPECT_EQ(log_directory(), (state / "drovik").string());
    EXPECT_TRUE(std::filesystem::exists(state / "drovik" / "error.log"));
    close_log_files();
    unsetenv("XDG_STATE_HOME");
}

TEST(WarningBoxes, AreRecordedWithTheirCaptionAndWarningIcon) {
    temp_work_dir work;
    EXPECT_EQ(warning_box("text one"), PLAT_ANSWER_OK);
    warning_box_captioned("text two", "Drovik_camera_set_zoom");
    const auto boxes = plat_message_box_records();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "Warning");
    EXPECT_EQ(boxes[0].text, "text one");
    EXPECT_EQ(boxes[0].icon, PLAT_ICON_WARNING);
    EXPECT_EQ(boxes[1].caption, "Drovik_camera_set_zoom");
    EXPECT_EQ(boxes[1].text, "text two");
}

}  // namespace
