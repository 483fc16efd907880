// The sound manager: the sound library loaded at run time and the engine's sounds, each played
// on its own channel and placed in 3D relative to the current camera when attached to an
// object, polygon or group.
#pragma once
#include <cstdint>
#include <cstdio>
#include <list>
#include <string>

#include "api/sound_library.h"
#include "foundation/memory.h"

// The registry knows a sound record by this kind word; no entity family uses it.
inline constexpr int32_t kind_sound = 1140;

// What a sound is attached to.
enum sound_entity_kind : int16_t { sound_on_nothing = 0, sound_on_object = 1, sound_on_polygon = 2, sound_on_group = 3 };
enum sound_format : int32_t { sound_format_mp3 = 4, sound_format_wav = 5 };

struct sound_object {
    int32_t kind;  // kind_sound
    char tag[12];  // "SoundObject"
    int32_t sample;
    char* file;    // the path as loaded
    void* entity;  // NULL when not attached
    int16_t entity_kind;
    char* name;
    int32_t channel;  // 0 when not playing
    double volume;    // the library's scale, 0..254
    int32_t frequency;
    int32_t format;
    float position[3];
    float velocity[3];
    float reach_factor;
    // A world file names the entity; it is looked up once that world is digested.
    char* pending_entity_name;
};

class Sound_manager {
public:
    explicit Sound_manager(const char* library_name);
    ~Sound_manager();
    Sound_manager(const Sound_manager&) = delete;
    Sound_manager& operator=(const Sound_manager&) = delete;

    sound_library library{};
    bool library_loaded = false;
    bool fsound_initialised = false;
    bool exports_started = false;  // the exports' shared first-call flag
    bool reader_started = false;   // the world reader's first-block flag
    bool warned = false;           // the missing-library box is shown once
    float distance_scale = 1.0f;
    std::list<sound_object*> sounds;
};

// Sounds outlive the world (they go at exit), so the memory a sound holds is not counted among
// the bytes the world leaves behind: its record and strings are made inside one of these.
struct sound_memory_scope {
    sound_memory_scope() { engine_set_uncounted(1); }
    ~sound_memory_scope() { engine_set_uncounted(0); }
    sound_memory_scope(const sound_memory_scope&) = delete;
    sound_memory_scope& operator=(const sound_memory_scope&) = delete;
};

// The one manager, built on first use (the library loads it when it is loaded itself).
Sound_manager& sound_manager();
// Builds the manager and connects it to the world: the text format's SOUND blocks, entity
// deletion and world close, and the attachments a world file names.
void sound_manager_install();
// Test hook: forgets every sound and binds the library of this name (or path) instead.
void sound_manager_use_library(const char* name);

// 0 once the library runs; -1 (and, the first time, the missing-library box) without it, or when
// the library's initialisation fails.
int sound_init();
// Runs sound_init on the first call of any sound export.
void sound_exports_start();
// A new sound, appended to the list, or NULL. An attached sound's sample is placed in 3D.
sound_object* sound_load(const char* file, void* entity, double reach);
// A sound of a world file: placed in 3D when `kind` names an entity kind; the entity of that
// kind and name is attached once the world is digested.
sound_object* sound_load_for_world(const char* file, int16_t kind, const char* entity_name, double reach);
std::string sound_make_unique_name(const char* file);
sound_object* sound_checked(const void* handle);
// The entity's kind (0 for anything that is not an object, polygon or group).
int16_t sound_probe_entity(const void* entity);
float sound_reach_factor(double reach);
int sound_play(sound_object* s, int loop);
void sound_stop(sound_object* s);
// Re-places every playing attached sound and commits; -1 without the library.
int sound_update_listener();
// The entity's name as written in a SOUND block ("no_object" for none).
const char* sound_entity_name(const sound_object* s);

// SOUND blocks of the world text format: the reader gets the text from "SOUND:" on and gives
// the characters the block used; the writer writes every sound's block and copies its file
// into the "Sounds" folder beside the world.
int read_world_sound(const char* text, const char* directory, int* used);
int write_world_sounds(FILE* file, const char* directory);
// Copies unless the destination is at least as new as the source: 1, or 0 on failure.
int copy_file_if_newer(const char* source, const char* destination);

namespace sound_texts {
inline constexpr const char* tag = "SoundObject";
inline constexpr const char* library_name = "fmod.dll";
inline constexpr const char* no_library =
    "Could not load the library fmod.dll,\nyou must have this dll in order to have sound capabilities";
inline constexpr const char* no_object = "no_object";
inline constexpr const char* block =
    "SOUND: %s \r\n\r\tOBJECT_TYPE: %s \r\n\r\tOBJECT_NAME: %s \r\n\r\tFILE_NAME: %s \r\n\rEND_SOUND: %s \r\n\r\r";
inline constexpr const char* sounds_folder = "Sounds";
inline constexpr const char* copy_failed = "write_world_sounds: couldnt copy %s to %s\n";
}  // namespace sound_texts
