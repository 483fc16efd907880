// The error cap: report 20,000 writes one "Too many errors" line and later reports write nothing.
#include <gtest/gtest.h>

#include <string>

#include "foundation/errors.h"
#include "work_dir.h"

namespace {

size_t count_of(const std::string& text, const std::string& piece) {
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++count;
    return count;
}

TEST(ErrorCap, The20000thReportWritesTheCapLineOnceAndLaterReportsNothing) {
    // The count lives as long as the process: a repeated run finds the cap reached already.
    if (engine_get_error_count() >= 20000) GTEST_SKIP() << "the cap was reached earlier in this process";
    temp_work_dir work;
    engine_set_speaker_mode(0);
    while (engine_get_error_count() < 19999) report_error(1, "r\n");
    const std::string before_log = read_file(work.dir() / "Drovik.log");
    const std::string before_errors = read_file(work.dir() / "error.log");
    EXPECT_EQ(count_of(before_errors, "r\n"), 19999u);

    report_error(1, "twenty thousand\n");
    EXPECT_EQ(engine_get_error_count(), 20000);
    EXPECT_EQ(read_file(work.dir() / "Drovik.log"), before_log + "\nToo many errors (20000)\n\n");
    EXPECT_EQ(read_file(work.dir() / "error.log"), before_errors);
    EXPECT_STREQ(engine_get_last_error(), "twenty thousand\n");

    report_error(1, "later\n");
    EXPECT_EQ(engine_get_error_count(), 20001);
    EXPECT_EQ(read_file(work.dir() / "Drovik.log"), before_log + "\nToo many errors (20000)\n\n");
    EXPECT_EQ(read_file(work.dir() / "error.log"), before_errors);
    EXPECT_STREQ(engine_get_last_error(), "later\n");
}

}  // namespace
