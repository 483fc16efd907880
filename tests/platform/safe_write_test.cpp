// Safe writes: the whole file or nothing, no temporary left, the failing step's text kept.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "../common/files.h"
#include "platform/safe_write.h"

namespace fs = std::filesystem;

namespace {

class SafeWrite : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::path(DROVIK_TEST_BINARY_DIR) /
                  ("safe_write_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "Data");
        std::ofstream(target(), std::ios::binary) << "old";
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path target() const { return folder_ / "Data" / "world.bin"; }
    plat_write_result write(const fs::path& path, const std::string& text, std::string* error = nullptr)
    {
        return plat_write_file(path.string(), text.data(), text.size(), error);
    }

    fs::path folder_;
};

TEST_F(SafeWrite, ReplacesTheFileWholeAndLeavesNoTemporary)
{
    std::string error = "untouched";
    EXPECT_EQ(write(target(), "new bytes", &error), PLAT_WRITE_OK);
    EXPECT_EQ(read_file(target()), "new bytes");
    EXPECT_EQ(error, "untouched");
    EXPECT_FALSE(fs::exists(target().string() + ".tmp"));
    // A folder named in another letter case is the existing one.
    EXPECT_EQ(write(folder_ / "DATA" / "WORLD.BIN", ""), PLAT_WRITE_OK);
    EXPECT_EQ(read_file(target()), "");
    EXPECT_FALSE(fs::exists(folder_ / "DATA"));
}

TEST_F(SafeWrite, FailuresLeaveTheOldFileAndNameTheirCause)
{
    struct failure_case {
        const char* what;
        fs::path path;
        plat_write_result result;
        const char* error;
    };
    // A folder standing where the temporary would go, or where the file would go.
    fs::create_directory(target().string() + ".tmp");
    fs::create_directories(folder_ / "Data" / "taken.bin" / "inside");
    const failure_case cases[] = {
        {"no temporary", target(), PLAT_WRITE_NO_TEMPORARY, "Is a directory"},
        {"no folder", folder_ / "missing" / "x.bin", PLAT_WRITE_NO_TEMPORARY, "No such file or directory"},
        {"no rename", folder_ / "Data" / "taken.bin", PLAT_WRITE_FAILED, "Is a directory"},
    };
    for (const failure_case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string error;
        EXPECT_EQ(write(c.path, "new", &error), c.result);
        EXPECT_EQ(error, c.error);
    }
    EXPECT_EQ(read_file(target()), "old");
    EXPECT_TRUE(fs::is_directory(target().string() + ".tmp")) << "not the writer's to remove";
    EXPECT_TRUE(fs::is_directory(folder_ / "Data" / "taken.bin" / "inside"));
    EXPECT_FALSE(fs::exists(folder_ / "Data" / "taken.bin.tmp"));
}

// A file-size limit stands in for a full disk: the write stops part way.
TEST_F(SafeWrite, AWriteCutShortLeavesTheOldFileAndNoTemporary)
{
    std::string error;
    const plat_write_result result =
        with_file_size_limit(100, [&] { return write(target(), std::string(1000, 'x'), &error); });
    EXPECT_EQ(result, PLAT_WRITE_FAILED);
    EXPECT_EQ(error, "File too large");
    EXPECT_EQ(read_file(target()), "old");
    EXPECT_FALSE(fs::exists(target().string() + ".tmp"));
}

}  // namespace
