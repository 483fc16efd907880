// String, path, list, comment and file helpers.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "foundation/files.h"
#include "foundation/memory.h"
#include "foundation/strings.h"
#include "platform/msgbox.h"
#include "work_dir.h"

namespace {

class Strings : public ::testing::Test {
protected:
    void SetUp() override { engine_set_speaker_mode(0); }
    // The line the last call reported into error.log, or "" when it reported nothing.
    std::string reported() {
        const std::string errors = read_file(work_.dir() / "error.log");
        const std::string tail = errors.substr(std::min(errors.size(), seen_));
        seen_ = errors.size();
        return tail;
    }
    temp_work_dir work_;
    size_t seen_ = std::strlen("Drovik errors file\n------------------\n");
};

TEST_F(Strings, NullArgumentsAreReportedByName) {
    char buffer[8] = "abc";
    struct {
        std::function<bool()> call;
        const char* line;
    } cases[] = {
        {[] { return jstrlen(nullptr) == 0; }, "jstrlen: got NULL\n"},
        {[] { return get_num_of_occurrences(nullptr, "a") == 0; }, "get_num_of_occurrences: got NULL\n"},
        {[] { return jstrupr(nullptr) == nullptr; }, "jstrupr: got NULL\n"},
        {[] { return jstrcmp(nullptr, "a") == -2; }, "jstrcmp: got NULL\n"},
        {[] { return jstricmp("a", nullptr) == -2; }, "jstrcmp: got NULL\n"},
        {[] { return jstrncmp(nullptr, "a", 1) == -2; }, "jstrncmp: got NULL\n"},
        {[&] { return jstrcpy(buffer, nullptr) == nullptr; }, "jstrcpy: got NULL\n"},
        {[&] { return jstrcpy_up_to_digit(nullptr, "a1") == nullptr; }, "jstrcpy: got NULL\n"},
        {[&] { return jstrcat(nullptr, "a") == nullptr; }, "jstrcat: got NULL\n"},
        {[&] { return jstrncpy(buffer, nullptr, 2) == nullptr; }, "jstrncpy: got NULL\n"},
        {[] { return jstrstr("a", nullptr) == nullptr; }, "jstrstr: got NULL\n"},
        {[] { return jstristr(nullptr, "a") == nullptr; }, "jstrstr: got NULL\n"},
        {[] { return jstrcpy_with_allocating(nullptr, "a") == nullptr; },
         "jstrcpy_with_allocating: got null \n"},
        {[] { return j_duplicate_name(nullptr, "a") == -1; }, "j_duplicate_name: got null address\n"},
        {[] { return str_concatenate_paths(nullptr, "dir").empty(); },
         "str_concatenate_paths: got a null name\n"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(c.call()) << c.line;
        EXPECT_EQ(reported(), c.line);
    }
    EXPECT_STREQ(buffer, "abc");
}

TEST_F(Strings, ComparesBySignedBytesWithShorterPrefixesFirst) {
    EXPECT_EQ(jstrcmp("abc", "abd"), -1);
    EXPECT_EQ(jstrcmp("ab", "abc"), -1);
    EXPECT_EQ(jstrcmp("abc", "ab"), 1);
    EXPECT_EQ(jstrcmp("abc", "abc"), 0);
    EXPECT_EQ(jstrcmp("\x80", "a"), -1) << "bytes compare signed";
    EXPECT_EQ(jstricmp("Main", "mAIN"), 0);
    EXPECT_EQ(jstrncmp("abcx", "abcy", 3), 0);
    EXPECT_EQ(jstrncmp("abcx", "abcy", 4), -1);
    EXPECT_EQ(reported(), "");
}

TEST_F(Strings, CopiesSearchesAndCounts) {
    char buffer[16];
    std::memset(buffer, 'z', sizeof buffer);
    jstrncpy(buffer, "ab", 6);
    EXPECT_EQ(std::memcmp(buffer, "ab\0\0\0\0z", 7), 0) << "the rest of the count is zero-filled";
    EXPECT_STREQ(jstrcpy_up_to_digit(buffer, "walk12"), "walk");
    EXPECT_STREQ(jstrcat(jstrcpy(buffer, "ab"), "cd"), "abcd");
    EXPECT_STREQ(jstrupr(buffer), "ABCD");
    EXPECT_EQ(get_num_of_occurrences("aaaa", "aa"), 2);
    EXPECT_EQ(get_num_of_occurrences("abc", ""), 0);
    const char* text = "Hello World";
    EXPECT_EQ(jstrstr(text, "World"), text + 6);
    EXPECT_EQ(jstrstr(text, "world"), nullptr);
    EXPECT_EQ(jstristr(text, "wORLD"), text + 6);
    EXPECT_EQ(replace_char(buffer, 'B', 'x'), 1);
    EXPECT_EQ(is_integer_text("-123"), 1);
    EXPECT_EQ(is_integer_text(""), 1);
    EXPECT_EQ(is_integer_text("12a"), 0);
}

TEST_F(Strings, AllocatedCopiesReplaceTheSlotAndAreCounted) {
    const uint32_t before = engine_get_bytes_in_use();
    char* slot = nullptr;
    EXPECT_STREQ(jstrcpy_with_allocating(&slot, "first"), "first");
    EXPECT_STREQ(jstrcpy_with_allocating(&slot, "second name"), "second name");
    EXPECT_EQ(engine_get_bytes_in_use(), before + std::strlen("second name") + 1);
    EXPECT_EQ(jstrcpy_with_allocating(&slot, nullptr), nullptr);
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(engine_get_bytes_in_use(), before);
}

TEST_F(Strings, SplitsAndJoinsPaths) {
    EXPECT_EQ(strip_extension("dir.v2\\world.wld"), "dir.v2\\world");
    EXPECT_EQ(strip_extension("dir.v2\\world"), "dir.v2\\world");
    EXPECT_EQ(get_extension("a\\b.tar.gz"), "gz");
    EXPECT_EQ(get_extension("noext"), "");
    EXPECT_EQ(get_file_name("a\\b\\c.wld"), "c.wld");
    EXPECT_EQ(get_file_name("a/b/c.wld"), "c.wld");
    EXPECT_EQ(get_directory("a\\b\\c.wld"), "a\\b");
    EXPECT_EQ(get_directory("c.wld"), "");
    EXPECT_EQ(get_file_title("a\\c.part.wld"), "c");
    EXPECT_EQ(str_concatenate_paths("c:\\w.wld", "dir"), "c:\\w.wld");
    EXPECT_EQ(str_concatenate_paths("\\w.wld", "dir"), "\\w.wld");
    EXPECT_EQ(str_concatenate_paths("w.wld", "dir"), "dir/w.wld");
    EXPECT_EQ(str_concatenate_paths("w.wld", "dir\\"), "dir\\w.wld");
    EXPECT_EQ(str_concatenate_paths("w.wld", ""), "w.wld");
    EXPECT_EQ(str_concatenate_paths("w.wld", nullptr), "w.wld");
}

TEST_F(Strings, BlanksCommentsButKeepsSlashesAfterAColon) {
    char text[] = "a // note\nb c://x /* one\ntwo */d";
    ASSERT_EQ(remove_comments(text), 0);
    EXPECT_EQ(std::string(text), "a" + std::string(8, ' ') + "\nb c://x" + std::string(14, ' ') + "d");
    char unclosed[] = "a /* never closed";
    EXPECT_EQ(remove_comments(unclosed), -1);
    char at_end[] = "x // to the end";
    EXPECT_EQ(remove_comments(at_end), 0);
    EXPECT_EQ(std::string(at_end), "x" + std::string(14, ' '));
}

TEST_F(Strings, StringListsAddAtTheHeadAndDeleteByText) {
    const uint32_t before = engine_get_bytes_in_use();
    str_list_cell* head = nullptr;
    str_list_add_str(&head, "one");
    str_list_add_str(&head, "two");
    EXPECT_STREQ(head->text, "two");
    EXPECT_NE(str_list_find_str(head, "one"), nullptr);
    EXPECT_EQ(str_list_delete_str(&head, "one"), 0);
    EXPECT_EQ(str_list_find_str(head, "one"), nullptr);
    EXPECT_EQ(str_list_delete_str(&head, "absent"), -1);
    EXPECT_EQ(str_list_free_list(&head), 0);
    EXPECT_EQ(head, nullptr);
    EXPECT_EQ(engine_get_bytes_in_use(), before);
}

TEST_F(Strings, MemoryRoutinesFillCopyAndMirror) {
    unsigned char bytes[7];
    jmemset(bytes, 7, 0xAB);
    for (unsigned char b : bytes) EXPECT_EQ(b, 0xAB);
    const unsigned char source[5] = {1, 2, 3, 4, 5};
    unsigned char mirrored[5];
    jmemcpy_reversed(5, mirrored, source);
    EXPECT_EQ(mirrored[0], 5);
    EXPECT_EQ(mirrored[4], 1);
    uint16_t cells[3];
    jmemset16(cells, 3, 0xF800);
    EXPECT_EQ(cells[2], 0xF800);
    jmemset(bytes, 0, 0);  // a count of 0 does nothing
    EXPECT_EQ(bytes[0], 0xAB);
}

TEST_F(Strings, WholeFilesGoOutAndComeBackWithATerminatingNul) {
    const char data[] = {'a', 0, 'b'};
    ASSERT_EQ(mem2file("blob.bin", data, 3), 0);
    EXPECT_FALSE(std::filesystem::exists(work_.dir() / "blob.bin.tmp"));
    char* buffer = nullptr;
    int size = 0;
    ASSERT_EQ(file_to_memory("BLOB.bin", &buffer, &size), 0) << "found regardless of case";
    EXPECT_EQ(size, 3);
    const char with_nul[4] = {'a', 0, 'b', 0};
    EXPECT_EQ(std::memcmp(buffer, with_nul, 4), 0);
    engine_free(buffer);
    EXPECT_EQ(file_to_memory("missing.bin", &buffer, &size), -1);
    ASSERT_EQ(mem2file("empty.bin", data, 0), 0);
    EXPECT_EQ(file_to_memory("empty.bin", &buffer, &size), -1);
    EXPECT_EQ(file_exists("blob.bin"), 1);
    EXPECT_GT(get_file_time("blob.bin"), 1000000000);
    EXPECT_EQ(get_file_time("missing.bin"), -1);
    EXPECT_EQ(mem2file("no/such/dir/x.bin", data, 3), -1);
    EXPECT_EQ(reported(), "mem2file: cant open file\n");
    EXPECT_EQ(mem2file_stream(nullptr, data, 3), -1);
    EXPECT_EQ(reported(), "mem2file: problams in fwrite\n");
}

TEST_F(Strings, BeepsReportAFrequencyOutOfRangeAndStillBeep) {
    jbeep(20, 10);
    EXPECT_EQ(reported(), "jbeep: frequency out of range\n");
    ASSERT_EQ(plat_beep_records().size(), 2u);
    EXPECT_EQ(plat_beep_records()[0].frequency, 20u);
    EXPECT_EQ(plat_beep_records()[1].frequency, 0u) << "then the default message beep";
}

}  // namespace
