// SOUND blocks of the world text format: written beside the world with copies of the sound
// files, read back and attached once the world is digested.
#include "sound_fixture.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "world/dynamic_object.h"
#include "world/engine_state.h"
#include "world/group.h"
#include "world/polygon.h"

namespace fs = std::filesystem;

namespace {

constexpr int editor_mode = 4;

std::string read_text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The text from the first "SOUND:" to the end of the last block.
std::string sound_blocks(const std::string& world) {
    const size_t begin = world.find("SOUND:");
    const size_t last = world.rfind("END_SOUND:");
    if (begin == std::string::npos || last == std::string::npos) return "";
    return world.substr(begin, world.find("\r\r", last) + 2 - begin);
}

// The test world with a block attaching "bell.wav" to the object "cart", ahead of the modules.
std::string world_with_bell() {
    std::string text = sound_test_world;
    const std::string block =
        "SOUND: ringer\n\tOBJECT_TYPE: object\n\tOBJECT_NAME: cart\n\tFILE_NAME: bell.wav\nEND_SOUND: ringer\n";
    text.insert(text.find("BEGIN_MODULE: main"), block);
    return text;
}

class SoundBlocks : public SoundTest {
protected:
    void load_editor_world() {
        write("world.wld", sound_test_world);
        ASSERT_EQ(Drovik_engine_load_world(in_work("world.wld").c_str(), work_.dir().string().c_str(), "",
                                           editor_mode),
                  0);
    }

    int save() { return Drovik_engine_save(in_work("out/saved.wld").c_str(), nullptr, 0); }
};

}  // namespace

TEST_F(SoundBlocks, SavedWorldHoldsTheBlocksAndTheSoundsFolder) {
    load_editor_world();
    write("src/horn.wav", "HORN");
    write("src/engine.wav", "ENGINE");
    write("src/my bell.wav", "BELL");
    fs::create_directories(in_work("out"));
    ASSERT_NE(Drovik_sound_load(in_work("src/horn.wav").c_str(), group_find_by_name(engine_state.groups, "cart"), 0),
              nullptr);
    ASSERT_NE(Drovik_sound_load(in_work("src/engine.wav").c_str(), polygon_find_by_name("ground"), 0), nullptr);
    ASSERT_NE(Drovik_sound_load(in_work("src/my bell.wav").c_str(), nullptr, 0), nullptr);
    ASSERT_EQ(save(), 0);
    EXPECT_EQ(sound_blocks(read_text(in_work("out/saved.wld"))),
              "SOUND: horn \r\n\r\tOBJECT_TYPE: group \r\n\r\tOBJECT_NAME: cart \r\n\r\tFILE_NAME: horn.wav \r\n\r"
              "END_SOUND: horn \r\n\r\r"
              "SOUND: engine \r\n\r\tOBJECT_TYPE: polygon \r\n\r\tOBJECT_NAME: ground \r\n\r\tFILE_NAME: engine.wav \r\n\r"
              "END_SOUND: engine \r\n\r\r"
              "SOUND: my_bell \r\n\r\tOBJECT_TYPE: no_object \r\n\r\tOBJECT_NAME: no_object \r\n\r"
              "\tFILE_NAME: my_bell.wav \r\n\rEND_SOUND: my_bell \r\n\r\r");
    EXPECT_EQ(read_text(in_work("out/Sounds/horn.wav")), "HORN");
    EXPECT_EQ(read_text(in_work("out/Sounds/engine.wav")), "ENGINE");
    EXPECT_EQ(read_text(in_work("out/Sounds/my_bell.wav")), "BELL");
}

TEST_F(SoundBlocks, FilesAreCopiedOnceAndAgainWhenTheSourceChanges) {
    load_editor_world();
    write("src/horn.wav", "HORN");
    fs::create_directories(in_work("out"));
    Drovik_sound_load(in_work("src/horn.wav").c_str(), nullptr, 0);
    ASSERT_EQ(save(), 0);
    const fs::path copy = in_work("out/Sounds/horn.wav");
    EXPECT_EQ(fs::last_write_time(copy), fs::last_write_time(in_work("src/horn.wav")));
    // The copy as new as its source: left alone.
    const auto copied_at = fs::last_write_time(copy);
    write("out/Sounds/horn.wav", "KEPT");
    fs::last_write_time(copy, copied_at);
    ASSERT_EQ(save(), 0);
    EXPECT_EQ(read_text(copy), "KEPT");
    fs::last_write_time(in_work("src/horn.wav"), copied_at + std::chrono::seconds(10));
    ASSERT_EQ(save(), 0);
    EXPECT_EQ(read_text(copy), "HORN");
    // A source gone after its copy was made keeps the copy; one never copied fails the save.
    fs::remove(in_work("src/horn.wav"));
    EXPECT_EQ(save(), 0);
    Drovik_sound_load(in_work("src/gone.wav").c_str(), nullptr, 0);
    EXPECT_EQ(save(), -1);
}

TEST_F(SoundBlocks, ReadingBackAttachesToTheSameEntities) {
    load_editor_world();
    write("src/horn.wav", "HORN");
    write("src/engine.wav", "ENGINE");
    fs::create_directories(in_work("out"));
    Drovik_sound_load(in_work("src/horn.wav").c_str(), group_find_by_name(engine_state.groups, "cart"), 0);
    Drovik_sound_load(in_work("src/engine.wav").c_str(), polygon_find_by_name("ground"), 0);
    ASSERT_EQ(save(), 0);
    sound_manager_use_library(FAKE_FMOD_PATH);
    fake_fmod_reset();
    seen_ = 0;
    const std::string out = in_work("out");
    ASSERT_EQ(Drovik_engine_load_world("saved.wld", out.c_str(), "", editor_mode), 0);
    EXPECT_NE(calls().find("FSOUND_Sample_LoadWav(-1," + out + "\\Sounds\\horn.wav,4096)\n"
                           "FSOUND_Sample_SetMinMaxDistance(1,2,1000)\n"),
              std::string::npos);
    DROVIK_HANDLE horn = Drovik_sound_get_handle_using_name("horn");
    DROVIK_HANDLE engine = Drovik_sound_get_handle_using_name("engine");
    ASSERT_NE(horn, nullptr);
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(static_cast<sound_object*>(horn)->entity, group_find_by_name(engine_state.groups, "cart"));
    EXPECT_EQ(static_cast<sound_object*>(engine)->entity, polygon_find_by_name("ground"));
}

TEST_F(SoundBlocks, BlockAheadOfTheModulesAttachesOnceTheWorldIsDigested) {
    load_world(world_with_bell());
    DROVIK_HANDLE bell = Drovik_sound_get_first();
    ASSERT_NE(bell, nullptr);
    EXPECT_STREQ(Drovik_sound_get_sound_name(bell), "bell");
    EXPECT_EQ(bell, Drovik_sound_get_handle_using_entity(dynamic_find_by_name(engine_state.dynamic_objects, "cart")));
    EXPECT_EQ(static_cast<sound_object*>(bell)->entity_kind, sound_on_object);
    // The world's sounds outlive it, detached.
    load_world();
    EXPECT_EQ(static_cast<sound_object*>(bell)->entity, nullptr);
    EXPECT_EQ(static_cast<sound_object*>(bell)->entity_kind, sound_on_nothing);
}

TEST_F(SoundBlocks, ReaderGivesTheCharactersTheBlockUsed) {
    struct offset_case {
        const char* text;
        const char* next;
    };
    const offset_case cases[] = {
        {"SOUND: a \r\n\r\tOBJECT_TYPE: group \r\n\r\tOBJECT_NAME: g \r\n\r\tFILE_NAME: a.wav \r\n\r"
         "END_SOUND: a \r\n\r\rBEGIN_MODULE: main",
         "BEGIN_MODULE: main"},
        {"SOUND: a\nOBJECT_TYPE: x\nOBJECT_NAME: y\nFILE_NAME: a.wav\nEND_SOUND:   a_longer_name\n\n\tLIGHT: l",
         "LIGHT: l"},
        {"SOUND: a,OBJECT_TYPE:,no_object,OBJECT_NAME:,no_object,FILE_NAME:,a.wav,END_SOUND:\nTRACK: t", "TRACK: t"},
        {"SOUND: a OBJECT_TYPE: x OBJECT_NAME: y FILE_NAME: a.wav END_SOUND: a", ""},
    };
    for (const offset_case& c : cases) {
        int used = 0;
        EXPECT_EQ(read_world_sound(c.text, "", &used), 0) << c.text;
        EXPECT_STREQ(c.text + used, c.next) << c.text;
    }
}

TEST_F(SoundBlocks, WrongWordsAreRefused) {
    const char* const cases[] = {
        "SOUND:",
        "SOUND: a OBJECT_KIND: x OBJECT_NAME: y FILE_NAME: a.wav END_SOUND: a",
        "SOUND: a OBJECT_TYPE: x OBJECT_NAME: y FILE: a.wav END_SOUND: a",
        "SOUND: a OBJECT_TYPE: x OBJECT_NAME: y FILE_NAME: a.wav",
        "SOUND: a OBJECT_TYPE: x OBJECT_NAME: y FILE_NAME: a.wav END_SOUND a",
        "SOUNDS: a OBJECT_TYPE: x OBJECT_NAME: y FILE_NAME: a.wav END_SOUND: a",
    };
    for (const char* text : cases) {
        int used = -7;
        EXPECT_EQ(read_world_sound(text, "", &used), -1) << text;
        EXPECT_EQ(used, -7) << text;
    }
    std::string broken = world_with_bell();
    broken.replace(broken.find("FILE_NAME:"), 10, "FILENAME:");
    write("broken.wld", broken);
    EXPECT_EQ(Drovik_engine_load_world(in_work("broken.wld").c_str(), work_.dir().string().c_str(), "", 0), -1);
    EXPECT_EQ(Drovik_sound_get_first(), nullptr);
}

TEST_F(SoundBlocks, WorldLoadsWithoutTheLibraryAndWithoutItsSounds) {
    sound_manager_use_library((work_.dir() / "libno_such_fmod.so").string().c_str());
    load_world(world_with_bell());
    EXPECT_EQ(Drovik_sound_get_first(), nullptr);
    const auto boxes = plat_message_box_records();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "Could not load the library fmod.dll,\nyou must have this dll in order to have sound capabilities");
}

TEST_F(SoundBlocks, AnUnnamedEntityIsWrittenAsNoObject) {
    write("src/horn.wav", "HORN");
    polygon* unnamed = init_poly();
    ASSERT_NE(Drovik_sound_load(in_work("src/horn.wav").c_str(), unnamed, 0), nullptr);
    char* text = nullptr;
    size_t size = 0;
    FILE* stream = open_memstream(&text, &size);
    ASSERT_EQ(write_world_sounds(stream, work_.dir().string().c_str()), 0);
    std::fclose(stream);
    EXPECT_EQ(std::string(text, size),
              "SOUND: horn \r\n\r\tOBJECT_TYPE: polygon \r\n\r\tOBJECT_NAME: no_object \r\n\r\tFILE_NAME: horn.wav \r\n\r"
              "END_SOUND: horn \r\n\r\r");
    std::free(text);
    EXPECT_EQ(read_text(work_.dir() / "Sounds" / "horn.wav"), "HORN");
    free_polygon(unnamed);
}

TEST_F(SoundBlocks, WorldSoundsOutliveTheWorldWithoutCountingAsALeak) {
    load_world(world_with_bell());
    DROVIK_HANDLE bell = Drovik_sound_get_first();
    ASSERT_NE(bell, nullptr);
    ASSERT_EQ(Drovik_sound_set_sound_name(bell, "renamed_bell"), 0);
    engine_shutdown();
    const std::string errors = read_text(work_.dir() / "error.log");
    EXPECT_EQ(errors.find("Didnt free all mem"), std::string::npos) << errors;
    EXPECT_EQ(static_cast<sound_object*>(bell)->kind, kind_sound);
}
