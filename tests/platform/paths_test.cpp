// Windows-style paths: separators, letter case, writing beside existing files, state folder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/paths.h"

namespace fs = std::filesystem;

namespace {

// A scratch tree: <root>/Data/Sub/File.TXT, <root>/Data/a.txt and <root>/Data/A.txt.
class PathTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::path(DROVIK_TEST_BINARY_DIR) /
                ("paths_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "Data" / "Sub");
        write(root_ / "Data" / "Sub" / "File.TXT", "sub");
        write(root_ / "Data" / "a.txt", "lower");
        write(root_ / "Data" / "A.txt", "upper");
    }
    void TearDown() override { fs::remove_all(root_); }

    static void write(const fs::path& path, const char* text) { std::ofstream(path) << text; }
    std::string root() const { return root_.string(); }

    fs::path root_;
};

std::string read_all(FILE* file)
{
    std::string text;
    char buffer[64];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, n);
    std::fclose(file);
    return text;
}

}  // namespace

TEST(PathNormalize, FoldsSeparators)
{
    const std::pair<const char*, const char*> cases[] = {
        {"a\\b\\c.txt", "a/b/c.txt"},
        {"a\\\\b//c", "a/b/c"},
        {"\\root\\x", "/root/x"},
        {"plain", "plain"},
        {"", ""},
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(plat_path_normalize(input), expected) << input;
}

TEST_F(PathTree, ResolvesRegardlessOfCaseAndSeparator)
{
    const std::pair<std::string, std::string> cases[] = {
        {"\\data\\SUB\\file.txt", "/Data/Sub/File.TXT"},
        {"/DATA/sub/FILE.txt", "/Data/Sub/File.TXT"},
        {"/Data//Sub\\", "/Data/Sub"},
        {"/Data/a.txt", "/Data/a.txt"},  // the exact name wins over a case variant
        {"/Data/A.txt", "/Data/A.txt"},
        {"/data/sub/missing.txt", ""},
        {"/nothere/File.TXT", ""},
        {"/Data/Sub/File.TXT/x", ""},
    };
    for (const auto& [tail, expected] : cases) {
        std::string got = plat_path_resolve(root() + tail);
        EXPECT_EQ(got, expected.empty() ? "" : root() + expected) << tail;
    }
    EXPECT_TRUE(plat_file_exists(root() + "\\DATA\\sub\\file.TXT"));
    EXPECT_FALSE(plat_file_exists(root() + "/data/sub"));
    EXPECT_TRUE(plat_directory_exists(root() + "/data/SUB"));
    EXPECT_FALSE(plat_directory_exists(root() + "/data/other"));
}

TEST_F(PathTree, RelativePathsStartAtTheCurrentFolder)
{
    std::string previous = fs::current_path().string();
    ASSERT_EQ(::chdir(root().c_str()), 0);
    EXPECT_EQ(plat_path_resolve("data\\sub\\FILE.txt"), "Data/Sub/File.TXT");
    EXPECT_EQ(plat_path_resolve("nothing.txt"), "");
    FILE* file = plat_fopen("DATA\\SUB\\file.txt", "rb");
    ASSERT_EQ(::chdir(previous.c_str()), 0);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(read_all(file), "sub");
}

TEST_F(PathTree, WritingResolvesTheFolderAndReusesAnExistingName)
{
    EXPECT_EQ(plat_path_resolve_for_write(root() + "\\DATA\\sub\\new.txt"),
              root() + "/Data/Sub/new.txt");
    EXPECT_EQ(plat_path_resolve_for_write(root() + "/data/sub/FILE.txt"),
              root() + "/Data/Sub/File.TXT");
    // A missing folder is not invented: the normalised path comes back and opening fails.
    EXPECT_EQ(plat_path_resolve_for_write(root() + "\\none\\x.txt"), root() + "/none/x.txt");
    EXPECT_EQ(plat_fopen(root() + "/none/x.txt", "wb"), nullptr);

    FILE* out = plat_fopen(root() + "\\data\\SUB\\file.txt", "wb");
    ASSERT_NE(out, nullptr);
    std::fputs("rewritten", out);
    std::fclose(out);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(root_ / "Data" / "Sub"))
        ++entries;
    EXPECT_EQ(entries, 1);
    EXPECT_EQ(read_all(plat_fopen(root() + "/Data/Sub/File.TXT", "r")), "rewritten");
    EXPECT_EQ(plat_fopen(root() + "/Data/Sub/gone.txt", "r"), nullptr);
    EXPECT_EQ(plat_fopen(root() + "/data/sub", "r"), nullptr);  // a folder is not a file
}

TEST_F(PathTree, StateDirectoryIsCreatedUnderXdgStateHome)
{
    const char* saved = std::getenv("XDG_STATE_HOME");
    std::string saved_value = saved ? saved : "";
    setenv("XDG_STATE_HOME", (root() + "/state").c_str(), 1);
    std::string folder = plat_state_directory();
    if (saved)
        setenv("XDG_STATE_HOME", saved_value.c_str(), 1);
    else
        unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(folder, root() + "/state/drovik");
    EXPECT_TRUE(fs::is_directory(folder));
}
