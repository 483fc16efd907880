// The engine family's world exports: load, save (with its refusals), the state queries, the
// formats arrays and close.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "../common/files.h"
#include "drovik.h"
#include "engine_state_load.h"
#include "formats/binary_format.h"
#include "formats/world_formats.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/profiler.h"
#include "platform/clock.h"
#include "platform/msgbox.h"
#include "platform/window.h"
#include "startup.h"
#include "world/camera.h"
#include "world/engine_state.h"
#include "world/polygon_patch.h"
#include "world/world_order.h"

namespace fs = std::filesystem;

namespace {

const std::string fixtures = DROVIK_FORMATS_FIXTURES;

std::string error_log() { return read_file(log_directory() + "/error.log"); }

std::string last_box() {
    const auto boxes = plat_message_box_records();
    return boxes.empty() ? std::string() : boxes.back().text;
}

class EngineWorldsApi : public ::testing::Test {
protected:
    void SetUp() override {
        plat_message_box_set_headless(true);
        plat_message_box_clear_records();
        folder_ = fs::temp_directory_path() / ("drovik_api_" + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        if (engine_is_initialized()) engine_shutdown();
        std::error_code error;
        fs::remove_all(folder_, error);
    }
    std::string in_folder(const std::string& name) const { return (folder_ / name).string(); }
    fs::path folder_;
};

TEST_F(EngineWorldsApi, FormatsArraysHaveSixMatchingRows) {
    int extensions_count = 0, names_count = 0;
    const char** extensions = Drovik_engine_get_supported_formats_extensions_array(&extensions_count);
    const char** names = Drovik_engine_get_supported_formats_names_array(&names_count);
    ASSERT_EQ(extensions_count, 6);
    ASSERT_EQ(names_count, 6);
    EXPECT_STREQ(extensions[5], "drovik");
    EXPECT_STREQ(names[5], "Drovik binary file format");
    EXPECT_STREQ(extensions[1], "mft");
    EXPECT_STREQ(names[2], "Microsoft DirectX 3D worlds file format");
    // One table: the engine's arrays are the dispatcher's rows.
    for (int i = 0; i < world_format_count; ++i) {
        EXPECT_STREQ(extensions[i], world_format_rows[i].extension) << i;
        EXPECT_STREQ(names[i], world_format_rows[i].name) << i;
        EXPECT_EQ(names[i], engine_g().format_names[i]) << i;
    }
    EXPECT_EQ(Drovik_engine_get_supported_formats_names_array(nullptr), names);
}

TEST_F(EngineWorldsApi, LoadQueryAndSaveABinaryWorld) {
    EXPECT_EQ(Drovik_engine_is_engine_empty(), 1);
    EXPECT_EQ(Drovik_engine_is_editor_mode(), 0);
    EXPECT_EQ(Drovik_engine_save(in_folder("early.drovik").c_str(), nullptr, 0), -1);
    EXPECT_EQ(last_box(), "Drovik_engine_save:\nYou must call Drovik_engine_load_world()\n before calling this function !!\n");

    ASSERT_EQ(Drovik_engine_load_world("small.drovik", fixtures.c_str(), "", 0), 0) << engine_get_last_error();
    EXPECT_EQ(Drovik_engine_is_engine_empty(), 0);
    EXPECT_EQ(Drovik_engine_is_editor_mode(), 0);

    // Viewer mode saves binary worlds only.
    EXPECT_EQ(Drovik_engine_save(in_folder("text.wld").c_str(), nullptr, 0), -1);
    EXPECT_FALSE(fs::exists(in_folder("text.wld")));
    const std::string path = in_folder("again.drovik");
    ASSERT_EQ(Drovik_engine_save(path.c_str(), nullptr, 0), 0) << engine_get_last_error();
    bf_world saved;
    ASSERT_EQ(bfl_read_world_file(path.c_str(), saved), 0);
    EXPECT_EQ(saved.polygons.size(), 4u);
    EXPECT_FALSE(fs::exists(in_folder("again.wld")));  // the folder probe leaves nothing behind

    // A failed load leaves no world.
    EXPECT_EQ(Drovik_engine_load_world("missing.drovik", fixtures.c_str(), "", 0), -1);
    EXPECT_EQ(Drovik_engine_is_engine_empty(), 1);
    EXPECT_EQ(Drovik_engine_save(path.c_str(), nullptr, 0), -1);
}

TEST_F(EngineWorldsApi, SaveRefusalsInEditorMode) {
    ASSERT_EQ(Drovik_engine_load_world("small.drovik", fixtures.c_str(), "", 4), 0) << engine_get_last_error();
    EXPECT_EQ(Drovik_engine_is_editor_mode(), 1);

    EXPECT_EQ(Drovik_engine_save(nullptr, nullptr, 0), -1);
    EXPECT_EQ(last_box(), "Drovik_engine_save: got a NULL file_name !\n");

    // 1901 characters are refused; 1900 pass that test (and fail later on the missing folder).
    const std::string long_base = in_folder("") + std::string(1900, 'a');
    const std::string too_long = long_base.substr(0, 1901 - 7) + ".drovik";
    ASSERT_EQ(too_long.size(), 1901u);
    EXPECT_EQ(Drovik_engine_save(too_long.c_str(), nullptr, 0), -1);
    EXPECT_EQ(last_box(), "Drovik_engine_save: file_name is too big!\nMore then 1900 chars !!");
    EXPECT_EQ(Drovik_engine_save(too_long.substr(1).c_str(), nullptr, 0), -1);
    EXPECT_NE(last_box(), "Drovik_engine_save: file_name is too big!\nMore then 1900 chars !!");

    // The extension test is case-sensitive.
    EXPECT_EQ(Drovik_engine_save(in_folder("world.X").c_str(), nullptr, 0), -1);
    EXPECT_EQ(last_box(), "Drovik_engine_save:\nYou must call this function with .wld extension\nor with .X extension\nor "
                          "with no extension at all !\n");
    EXPECT_EQ(Drovik_engine_save(in_folder("world.md2").c_str(), nullptr, 0), -1);

    const std::string no_folder = in_folder("nowhere/world.drovik");
    EXPECT_EQ(Drovik_engine_save(no_folder.c_str(), nullptr, 0), -1);
    EXPECT_EQ(last_box(), "Path for file   " + in_folder("nowhere/world.wld") + "\ndoes not exist !");
    EXPECT_FALSE(fs::exists(in_folder("nowhere")));

    // An existing file of the probe's name is neither truncated nor removed.
    std::ofstream(in_folder("kept.wld")) << "keep";
    ASSERT_EQ(Drovik_engine_save(in_folder("kept.drovik").c_str(), nullptr, 0), 0) << engine_get_last_error();
    EXPECT_EQ(fs::file_size(in_folder("kept.wld")), 4u);

    // A garbage group handle is refused.
    int not_a_record = 0;
    EXPECT_EQ(Drovik_engine_save(in_folder("g.drovik").c_str(), &not_a_record, 0), -1);
}

// A damaged file is refused with its one report line and leaves no world; a save that cannot be
// written fails and leaves the previous file whole.
TEST_F(EngineWorldsApi, BadFilesAndFailedWritesAreFailures) {
    const std::string damaged = std::string(fixtures) + "/damaged";
    for (const char* name : {"point_index_out_of_range.drovik", "bsp_cycle.drovik", "string_unterminated.drovik"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(Drovik_engine_load_world("small.drovik", fixtures.c_str(), "", 0), 0) << engine_get_last_error();
        bf_world parsed;
        ASSERT_EQ(bfl_read_world_file((damaged + "/" + name).c_str(), parsed), -1);
        const int errors_before = engine_get_error_count();
        EXPECT_EQ(Drovik_engine_load_world(name, damaged.c_str(), "", 0), -1);
        // The reader's one line (above), then the load's own two, the last naming the file.
        EXPECT_EQ(engine_get_error_count(), errors_before + 3);
        const std::string named = "engine_load_world: failed reading " + damaged + "/" + name + "\n";
        EXPECT_EQ(engine_get_last_error(), named.substr(0, 59));
        EXPECT_EQ(Drovik_engine_is_engine_empty(), 1);
    }

    ASSERT_EQ(Drovik_engine_load_world("small.drovik", fixtures.c_str(), "", 0), 0) << engine_get_last_error();
    const std::string path = in_folder("kept.drovik");
    std::ofstream(path, std::ios::binary) << "previous";
    fs::create_directory(path + ".tmp");  // the temporary file cannot be made
    EXPECT_EQ(Drovik_engine_save(path.c_str(), nullptr, 0), -1);
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "previous");
    EXPECT_EQ(Drovik_engine_is_engine_empty(), 0);
}

// A failed load says so in the shown log window and minimises it.
TEST_F(EngineWorldsApi, FailedLoadIsWrittenIntoTheShownLogWindow) {
    ASSERT_EQ(Drovik_engine_load_world("small.drovik", fixtures.c_str(), "", 0), 0) << engine_get_last_error();
    plat_window* log_window = create_log_window();
    ASSERT_NE(log_window, nullptr);
    engine_g().log_window_visible = 1;
    EXPECT_EQ(Drovik_engine_load_world("missing.drovik", fixtures.c_str(), "", 0), -1);
    EXPECT_EQ(plat_window_title(log_window), "!!! Failed loading world !!!\n");
    EXPECT_TRUE(plat_window_is_minimized(log_window));
    EXPECT_EQ(Drovik_engine_is_engine_empty(), 1);
}

uint32_t slept_ms = 0;
void count_sleep(uint32_t milliseconds) { slept_ms += milliseconds; }

TEST_F(EngineWorldsApi, CloseShowsASecondOfProgressThenShutsDown) {
    ASSERT_EQ(Drovik_engine_load_world("small.drovik", fixtures.c_str(), "", 0), 0) << engine_get_last_error();
    slept_ms = 0;
    plat_clock_override(nullptr, count_sleep);
    EXPECT_EQ(Drovik_engine_close(), 0);
    plat_clock_override(nullptr, nullptr);
    EXPECT_EQ(slept_ms, 1000u);
    EXPECT_EQ(engine_is_initialized(), 0);
    EXPECT_EQ(Drovik_engine_is_engine_empty(), 1);
}

// A camera may chase an object that owns no polygons: the chase is linked while the objects exist,
// in editor mode as in viewer mode; in editor mode the camera chases nothing once they are folded.
TEST_F(EngineWorldsApi, CameraChasingAnObjectWithoutPolygonsLoadsInBothModes) {
    for (const int flags : {0, 4}) {
        SCOPED_TRACE(flags);
        ASSERT_EQ(Drovik_engine_load_world("chase.drovik", fixtures.c_str(), "", flags), 0) << engine_get_last_error();
        EXPECT_EQ(error_log().find("connect_chase_objects"), std::string::npos) << error_log();
        ASSERT_NE(engine_state.cameras, nullptr);
        if (flags == 4) {
            EXPECT_EQ(engine_state.dynamic_objects, nullptr);
            EXPECT_EQ(engine_state.cameras->chase.chased_object, nullptr);
        } else {
            ASSERT_NE(engine_state.cameras->chase.chased_object, nullptr);
            EXPECT_STREQ(engine_state.cameras->chase.chased_object->name, "beacon");
        }
    }
}

// Loading a binary world writes nothing beside it, whatever it holds (objects with polygons of their
// own, a stored tree or none).
TEST_F(EngineWorldsApi, LoadingABinaryWorldWritesNothingBesideIt) {
    for (const char* name : {"small.drovik", "full.drovik", "cube.drovik"}) {
        for (const int flags : {0, 8, 0x2000}) {
            SCOPED_TRACE(std::string(name) + " " + std::to_string(flags));
            const fs::path world = folder_ / name;
            fs::copy_file(fixtures + "/" + name, world, fs::copy_options::overwrite_existing);
            ASSERT_EQ(Drovik_engine_load_world(name, folder_.string().c_str(), "", flags), 0)
                << engine_get_last_error();
            int files = 0;
            for (const auto& entry : fs::directory_iterator(folder_)) {
                EXPECT_EQ(entry.path().filename(), world.filename());
                ++files;
            }
            EXPECT_EQ(files, 1);
            fs::remove(world);
        }
    }
    // Every object's module has its tree, whatever the switch for modules other than MAIN.
    fs::copy_file(fixtures + "/full.drovik", folder_ / "full.drovik");
    ASSERT_EQ(Drovik_engine_load_world("full.drovik", folder_.string().c_str(), "", 0), 0) << engine_get_last_error();
    EXPECT_EQ(engine_state.bsp_for_others, 0);
    int objects = 0;
    for (dynamic_object* d = engine_state.dynamic_objects; d; d = d->next, ++objects) {
        ASSERT_NE(d->own_module, nullptr);
        ASSERT_NE(d->own_module->root, nullptr);
        EXPECT_NE(d->own_module->root->plane[3], 3.4028234663852886e38) << d->name;
    }
    EXPECT_EQ(objects, 2);
}

// Loading again and again, and closing the engine in between, keeps each timed site on its one
// chunk: no new chunk per load, no illegal chunk number after the close.
TEST_F(EngineWorldsApi, ProfilerChunksSurviveLoadsAndClose) {
    plat_clock_override(nullptr, count_sleep);
    ASSERT_EQ(Drovik_engine_load_world(nullptr, "", "", 0), 0) << engine_get_last_error();
    const int chunks = profiler_chunks_in_use();
    for (int i = 0; i < 3; ++i) ASSERT_EQ(Drovik_engine_load_world(nullptr, "", "", 0), 0);
    EXPECT_EQ(profiler_chunks_in_use(), chunks);

    ASSERT_EQ(Drovik_engine_load_world("small.drovik", fixtures.c_str(), "", 4), 0) << engine_get_last_error();
    const vec3 light{0, 0, 1000};
    polygon* receiver = get_first_polygon();
    ASSERT_NE(receiver, nullptr);
    polygon_add_shadow_patch(receiver, get_next_polygon(receiver), light, 0);
    EXPECT_EQ(Drovik_engine_close(), 0);

    ASSERT_EQ(Drovik_engine_load_world(nullptr, "", "", 0), 0) << engine_get_last_error();
    ASSERT_EQ(Drovik_engine_load_world("small.drovik", fixtures.c_str(), "", 4), 0) << engine_get_last_error();
    receiver = get_first_polygon();
    polygon_add_shadow_patch(receiver, get_next_polygon(receiver), light, 0);
    plat_clock_override(nullptr, nullptr);
    const std::string log = error_log();
    EXPECT_EQ(log.find("illegal chunk num"), std::string::npos) << log;
    EXPECT_EQ(log.find("cant measure time"), std::string::npos) << log;
    EXPECT_NE(find_chunk_by_name("build_bsp_tree"), -1);
    EXPECT_NE(find_chunk_by_name("polygon_add_shadow_patch"), -1);
}

std::string name_seen_by_reader;
int record_world_name(const char*, const char*, const char*, group**) {
    name_seen_by_reader = engine_state.world_file_name ? engine_state.world_file_name : "";
    return -1;
}

// The reader of an added world already finds the added file's joined path as the world file name.
TEST_F(EngineWorldsApi, AddedWorldIsTheWorldFileWhileItIsRead) {
    ASSERT_EQ(Drovik_engine_load_world(nullptr, "", "", 4), 0) << engine_get_last_error();
    ASSERT_EQ(world_formats_set_reader("wld", record_world_name), 0);
    name_seen_by_reader.clear();
    EXPECT_EQ(engine_add_world("added.wld", "/worlds/extra", "", vec3{0, 0, 0}), nullptr);
    world_formats_set_reader("wld", nullptr);
    EXPECT_EQ(name_seen_by_reader, "/worlds/extra/added.wld");
}

// With save flag 0x01 only the backgrounds marked for saving are written, as with cameras.
TEST_F(EngineWorldsApi, MarkedOnlySaveLeavesOutUnmarkedBackgrounds) {
    ASSERT_EQ(Drovik_engine_load_world("full.drovik", fixtures.c_str(), "", 0), 0) << engine_get_last_error();
    ASSERT_NE(engine_state.backgrounds, nullptr);
    ASSERT_STREQ(engine_state.backgrounds->name, "sky");
    engine_state.backgrounds->save = 0;
    const std::string all = in_folder("all.drovik");
    const std::string marked = in_folder("marked.drovik");
    ASSERT_EQ(Drovik_engine_save(all.c_str(), nullptr, 0), 0) << engine_get_last_error();
    ASSERT_EQ(Drovik_engine_save(marked.c_str(), nullptr, 1), 0) << engine_get_last_error();
    bf_world w;
    ASSERT_EQ(bfl_read_world_file(all.c_str(), w), 0);
    EXPECT_EQ(w.backgrounds.size(), 2u);
    ASSERT_EQ(bfl_read_world_file(marked.c_str(), w), 0);
    ASSERT_EQ(w.backgrounds.size(), 1u);
    EXPECT_EQ(w.backgrounds[0].name, "dusk");
}

}  // namespace
