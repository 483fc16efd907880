// Format dispatch: the table, the reader and writer chosen by extension, and the fresh module entry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/binary_world.h"
#include "formats/text_world.h"
#include "formats/md2_world.h"
#include "formats/world_formats.h"
#include "foundation/errors.h"
#include "foundation/memory.h"
#include "platform/numbers.h"
#include "world/engine_state.h"
#include "world/object_module.h"

namespace {

struct call {
    std::string directory, file_name, path;
    int flags;
};
std::vector<call> calls;
int fake_result = 0;

int fake_reader(const char* directory, const char* file_name, const char* path, group**) {
    calls.push_back({directory, file_name, path, 0});
    return fake_result;
}

int fake_writer(const char* path, group*, int flags) {
    calls.push_back({"", "", path, flags});
    return fake_result;
}

int list_reader(const char* path, module* m, group**) {
    calls.push_back({"", "", path, m && m->root && m == engine_state.modules});
    return fake_result;
}

// Every test starts from an empty world with no readers or writers installed.
class WorldFormats : public ::testing::Test {
protected:
    void SetUp() override {
        engine_state_reset(1);
        for (const world_format_row& row : world_format_rows) {
            world_formats_set_reader(row.extension, nullptr);
            world_formats_set_writer(row.extension, nullptr);
        }
        calls.clear();
        fake_result = 0;
    }
    void TearDown() override {
        for (const world_format_row& row : world_format_rows) {
            world_formats_set_reader(row.extension, nullptr);
            world_formats_set_writer(row.extension, nullptr);
        }
        world_formats_set_reader("drovik", engine_read_world_design_drovik_binary_format);
        world_formats_set_writer("drovik", engine_save_drovik_binary_world);
        world_formats_set_reader("wld", engine_read_world_design);
        world_formats_set_writer("wld", engine_save_text_world);
        module_list_free(&engine_state.modules);
        engine_state.last_main_module_name = static_cast<char*>(engine_free(engine_state.last_main_module_name));
        engine_state_release();
    }
};

TEST_F(WorldFormats, TableHasSixRowsWithMftListedOnly) {
    const char* extensions[] = {"wld", "mft", "x", "raw", "md2", "drovik"};
    for (int i = 0; i < world_format_count; ++i) EXPECT_STREQ(world_format_rows[i].extension, extensions[i]);
    EXPECT_STREQ(world_format_rows[5].name, "Drovik binary file format");
    EXPECT_STREQ(world_format_rows[0].name, world_format_rows[1].name);
    EXPECT_EQ(world_formats_set_reader("mft", fake_reader), -1);
    EXPECT_EQ(world_formats_set_writer("mft", fake_writer), -1);
    EXPECT_EQ(world_formats_set_writer("md2", fake_writer), -1);
    EXPECT_EQ(world_formats_set_reader("md2", fake_reader), 0);
    world_formats_set_reader("md2", engine_read_world_design_md2_format);
}

TEST_F(WorldFormats, ReaderIsChosenByExtensionInAnyCase) {
    ASSERT_EQ(world_formats_set_reader("wld", fake_reader), 0);
    for (const char* name : {"a.wld", "a.WLD", "a.Wld"}) {
        calls.clear();
        EXPECT_EQ(read_world_design1("worlds", name, nullptr), 0) << name;
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].directory, "worlds");
        EXPECT_EQ(calls[0].file_name, name);
        EXPECT_EQ(calls[0].path, std::string("worlds/") + name);
    }
    fake_result = -7;
    EXPECT_EQ(read_world_design1("", "b.wld", nullptr), -1);
    EXPECT_EQ(calls.back().path, "b.wld");
}

TEST_F(WorldFormats, UnknownOrMissingReadersAreReported) {
    struct refused {
        const char* file;
        std::string report;
    };
    const refused cases[] = {
        {"a.mft", "engine_read_world_design: unsupported file format ( *.mft )\n"},
        {"a.txt", "engine_read_world_design: unsupported file format ( *.txt )\n"},
        {"noextension", "engine_read_world_design: unsupported file format ( *. )\n"},
        {"a.MD2", "engine_read_world_design: no reader is built for ( *.MD2 ) files\n"},
    };
    world_formats_set_reader("md2", nullptr);
    for (const refused& c : cases) {
        EXPECT_EQ(read_world_design1("", c.file, nullptr), -1) << c.file;
        EXPECT_EQ(engine_get_last_error(), c.report.substr(0, 59)) << "the last error keeps 59 characters";
    }
    EXPECT_TRUE(calls.empty());
    world_formats_set_reader("md2", engine_read_world_design_md2_format);
}

TEST_F(WorldFormats, SaveChoosesTheWriterAndGivesTheTextWriterABasePath) {
    for (const char* extension : {"wld", "drovik", "x", "raw"}) world_formats_set_writer(extension, fake_writer);
    EXPECT_EQ(engine_save("out/world.WLD", nullptr, 0x40), 0);
    EXPECT_EQ(engine_save("out/world.Drovik", nullptr, 0x800), 0);
    EXPECT_EQ(engine_save("out/world.x", nullptr, 0), 0);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].path, "out/world");
    EXPECT_EQ(calls[0].flags, 0x40);
    EXPECT_EQ(calls[1].path, "out/world.Drovik");
    EXPECT_EQ(calls[1].flags, 0x800);
    EXPECT_STREQ(engine_g().progress_caption, "Saving");
    fake_result = 3;
    EXPECT_EQ(engine_save("out/world.raw", nullptr, 0), -1);
}

TEST_F(WorldFormats, SaveRefusesFormatsItCannotWrite) {
    for (const char* extension : {"wld", "drovik", "x", "raw"}) world_formats_set_writer(extension, fake_writer);
    for (const char* path : {"world.md2", "world.mft", "world.txt", "world"}) {
        EXPECT_EQ(engine_save(path, nullptr, 0), -1) << path;
        EXPECT_STREQ(engine_get_last_error(), "engine_save: unsupported format extension .Saving in Drovik");
    }
    EXPECT_EQ(engine_save(nullptr, nullptr, 0), -1);
    EXPECT_TRUE(calls.empty());
    world_formats_set_writer("raw", nullptr);
    EXPECT_EQ(engine_save("world.raw", nullptr, 0), -1);
    EXPECT_STREQ(engine_get_last_error(), "engine_save: no writer is built for ( *.raw ) files\n");
}

TEST_F(WorldFormats, EachAddedWorldGetsItsOwnMainModule) {
    EXPECT_EQ(read_into_new_module("one.drovik", list_reader, true, nullptr), 0);
    module* first = engine_state.main_module;
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->name, "MAIN");
    ASSERT_NE(first->root, nullptr);
    EXPECT_EQ(read_into_new_module("two.drovik", list_reader, true, nullptr), 0);
    EXPECT_EQ(engine_state.main_module, first);
    EXPECT_STREQ(engine_state.modules->name, "MAIN_2");
    EXPECT_STREQ(engine_state.last_main_module_name, "MAIN_2");
    EXPECT_EQ(read_into_new_module("three.raw", list_reader, false, nullptr), 0);
    EXPECT_STREQ(engine_state.modules->name, "MAIN_3");
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[2].path, "three.raw");
    EXPECT_EQ(calls[2].flags, 1);  // the reader got the new module, already on the list
    fake_result = -1;
    EXPECT_EQ(read_into_new_module("bad.raw", list_reader, false, nullptr), -1);
}

}  // namespace
