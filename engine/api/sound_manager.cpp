// The sound manager: loading the sound library, the list of sounds, naming, placing and playing.
#include "api/sound_manager.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "api/export_guards.h"
#include "formats/text_world.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/geometry.h"
#include "foundation/memory.h"
#include "foundation/registry.h"
#include "foundation/strings.h"
#include "render/render_hooks.h"
#include "world/camera.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"
#include "world/engine_state_links.h"
#include "world/group.h"
#include "world/polygon.h"

namespace {

// The library's sample modes and loop modes.
constexpr unsigned int mode_3d = 4096;
constexpr unsigned int mode_2d = 8192;
constexpr unsigned int loop_normal = 2;
constexpr unsigned int loop_off = 1;
constexpr int free_channel = -1;
constexpr int start_frequency = 44100;
constexpr int play_volume = 127;
// World units to the library's distance units.
constexpr double units_per_distance = 0.02;

Sound_manager* instance = nullptr;

void free_record(sound_object* s) {
    engine_free(s->file);
    engine_free(s->name);
    engine_free(s->pending_entity_name);
    record_destroy(s);
}

// Stops every sound, frees the samples and the records, and gives the library's device back
// (the library itself stays loaded).
void release_sounds(Sound_manager& m) {
    const bool running = m.fsound_initialised && m.library_loaded;
    if (running) {
        m.library.stop_all_channels();
        for (sound_object* s : m.sounds) m.library.sample_free(s->sample);
    }
    for (sound_object* s : m.sounds) free_record(s);
    m.sounds.clear();
    if (running) m.library.close();
}

void exit_clean_up() {
    engine_guard guard;
    delete instance;
    instance = nullptr;
}

Sound_manager& manager_named(const char* library_name) {
    if (!instance) instance = new Sound_manager(library_name);
    return *instance;
}

// Registered with the first sound: after the library started and after the engine's memory and
// registry came to be, so it runs before any of them is torn down at exit.
void clean_up_at_exit() {
    static const bool registered = std::atexit(exit_clean_up) == 0;
    (void)registered;
}

bool used_name(const std::string& name) {
    for (const sound_object* s : sound_manager().sounds) {
        if (s->name && name == s->name) return true;
    }
    return false;
}

// The bounding box's larger horizontal extent, scaled; 1 without a world or with an empty one.
float world_distance_scale() {
    if (!engine_world_loaded()) return 1.0f;
    double box[6];
    group_get_bounding_box(nullptr, box);
    const double extent = std::max(box[3] - box[0], box[4] - box[1]);
    if (!(extent > 0)) return 1.0f;
    return static_cast<float>(extent * 0.1 * units_per_distance);
}

vec3 polygon_location(const polygon* p) {
    double box[6] = {1e100, 1e100, 1e100, -1e100, -1e100, -1e100};
    for (const point* pt = p->points; pt; pt = pt->next) {
        const double v[3] = {pt->x, pt->y, pt->z};
        for (int k = 0; k < 3; ++k) {
            box[k] = std::min(box[k], v[k]);
            box[k + 3] = std::max(box[k + 3], v[k]);
        }
    }
    if (!p->points) return {0, 0, 0};
    vec3 centre{(box[0] + box[3]) / 2, (box[1] + box[4]) / 2, (box[2] + box[5]) / 2};
    if (p->owner) mul_vec_mat2(centre, p->owner->total_matrix);
    return centre;
}

vec3 entity_location(const sound_object* s) {
    vec3 at{0, 0, 0};
    switch (s->entity_kind) {
    case sound_on_object: at = dynamic_get_location(static_cast<const dynamic_object*>(s->entity)); break;
    case sound_on_polygon: at = polygon_location(static_cast<const polygon*>(s->entity)); break;
    case sound_on_group: group_get_center(static_cast<const group*>(s->entity), at); break;
    default: break;
    }
    return at;
}

// The sound's position around the listener: toward the entity, at its distance from the
// current camera over the distance scale, times the reach factor; as (y, z, x).
void place(sound_object* s) {
    const camera* c = get_current_camera();
    const vec3 from = c ? camera_get_location(c) : vec3{0, 0, 0};
    const vec3 to = entity_location(s);
    const double d = vec_distance(from, to);
    vec3 direction = to;
    vec_sub(direction, from);
    if (vec_normalize(direction) != 0) direction = {0, 0, 0};
    const double k = d / sound_manager().distance_scale * s->reach_factor;
    s->position[0] = static_cast<float>(direction.y * k);
    s->position[1] = static_cast<float>(direction.z * k);
    s->position[2] = static_cast<float>(direction.x * k);
}

int loaded_sample(const char* file, int32_t* format, bool attached) {
    const sound_library& l = sound_manager().library;
    const unsigned int mode = attached ? mode_3d : mode_2d;
    int sample = 0;
    if (std::strstr(file, ".mp3")) {
        *format = sound_format_mp3;
        sample = l.sample_load_mpeg(-1, file, mode);
    } else if (std::strstr(file, ".wav")) {
        *format = sound_format_wav;
        sample = l.sample_load_wav(-1, file, mode);
    }
    if (sample != 0 && attached) l.sample_set_min_max_distance(sample, 2.0f, 1000.0f);
    return sample;
}

sound_object* load_record(const char* file, void* entity, int16_t kind, double reach) {
    Sound_manager& m = sound_manager();
    if (!m.library_loaded || !file) return nullptr;
    sound_init();
    int32_t format = 0;
    const int sample = loaded_sample(file, &format, kind != sound_on_nothing);
    if (sample == 0) return nullptr;
    sound_memory_scope scope;
    auto* s = static_cast<sound_object*>(record_create(sizeof(sound_object), kind_sound));
    if (!s) {
        m.library.sample_free(sample);
        return nullptr;
    }
    clean_up_at_exit();
    std::memcpy(s->tag, sound_texts::tag, sizeof s->tag);
    s->sample = sample;
    jstrcpy_with_allocating(&s->file, file);
    s->entity = entity;
    s->entity_kind = kind;
    s->frequency = start_frequency;
    s->format = format;
    s->reach_factor = sound_reach_factor(reach == 0 ? 1 : reach);
    jstrcpy_with_allocating(&s->name, sound_make_unique_name(file).c_str());
    m.sounds.push_back(s);
    return s;
}

void forget_entity(const void* entity) {
    if (!instance) return;
    for (sound_object* s : instance->sounds) {
        if (entity && s->entity != entity) continue;
        s->entity = nullptr;
        s->entity_kind = sound_on_nothing;
        if (!entity) s->pending_entity_name = static_cast<char*>(engine_free(s->pending_entity_name));
    }
}

void* find_entity(int16_t kind, const char* name) {
    switch (kind) {
    case sound_on_object: return dynamic_find_by_name(engine_state.dynamic_objects, name);
    case sound_on_polygon: return polygon_find_by_name(name);
    case sound_on_group: return group_find_by_name(engine_state.groups, name);
    default: return nullptr;
    }
}

void attach_waiting_sounds() {
    if (!instance || engine_state_is_scratch()) return;
    for (sound_object* s : instance->sounds) {
        if (!s->pending_entity_name) continue;
        s->entity = find_entity(s->entity_kind, s->pending_entity_name);
        if (!s->entity) s->entity_kind = sound_on_nothing;
        s->pending_entity_name = static_cast<char*>(engine_free(s->pending_entity_name));
    }
}

}  // namespace

Sound_manager::Sound_manager(const char* library_name) {
    library_loaded = sound_library_bind(library, library_name);
}

Sound_manager::~Sound_manager() { release_sounds(*this); }

Sound_manager& sound_manager() { return manager_named(sound_texts::library_name); }

void sound_manager_install() {
    engine_guard guard;
    sound_manager();
    text_world_set_sound_hooks(read_world_sound, write_world_sounds);
    world_link_hooks_state() = {forget_entity, attach_waiting_sounds};
    // Each frame places the listener, once the library is started.
    frame_hooks_state().update_sound_listener = [] {
        if (sound_manager().fsound_initialised) sound_update_listener();
    };
}

void sound_manager_use_library(const char* name) {
    engine_guard guard;
    Sound_manager& m = manager_named(name);
    release_sounds(m);
    m.library_loaded = sound_library_bind(m.library, name);
    m.fsound_initialised = m.exports_started = m.reader_started = m.warned = false;
    m.distance_scale = 1.0f;
    sound_manager_install();
}

int sound_init() {
    Sound_manager& m = sound_manager();
    if (m.fsound_initialised) return 0;
    if (!m.library_loaded) {
        if (!m.warned) warning_box(sound_texts::no_library);
        m.warned = true;
        return -1;
    }
    m.fsound_initialised = true;
    const sound_library& l = m.library;
    l.set_output(2);
    l.set_driver(0);
    l.set_buffer_size(200);
    l.set_mixer(4);
    m.distance_scale = world_distance_scale();
    return l.init(44100, 32, 0) ? 0 : -1;
}

void sound_exports_start() {
    Sound_manager& m = sound_manager();
    if (m.exports_started) return;
    m.exports_started = true;
    sound_init();
}

sound_object* sound_load(const char* file, void* entity, double reach) {
    const int16_t kind = sound_probe_entity(entity);
    return load_record(file, kind ? entity : nullptr, kind, reach);
}

sound_object* sound_load_for_world(const char* file, int16_t kind, const char* entity_name, double reach) {
    sound_object* s = load_record(file, nullptr, kind, reach);
    sound_memory_scope scope;
    if (s && kind != sound_on_nothing) jstrcpy_with_allocating(&s->pending_entity_name, entity_name);
    return s;
}

std::string sound_make_unique_name(const char* file) {
    std::string base = get_file_title(file);
    for (;;) {
        if (!used_name(base)) return base;
        for (int n = 1; n <= 9; ++n) {
            const std::string name = base + "_" + std::to_string(n);
            if (!used_name(name)) return name;
        }
        base += "_1";
    }
}

sound_object* sound_checked(const void* handle) {
    int32_t kind = 0;
    if (!handle || !registry_lookup(handle, &kind) || kind != kind_sound) return nullptr;
    return static_cast<sound_object*>(const_cast<void*>(handle));
}

int16_t sound_probe_entity(const void* entity) {
    if (!entity) return sound_on_nothing;
    if (api_check_handle(entity, nullptr, DROVIK_KIND_OBJECT)) return sound_on_object;
    if (api_check_handle(entity, nullptr, DROVIK_KIND_POLYGON)) return sound_on_polygon;
    if (api_check_handle(entity, nullptr, DROVIK_KIND_GROUP)) return sound_on_group;
    return sound_on_nothing;
}

float sound_reach_factor(double reach) {
    if (reach == 1) return 1.0f;
    return static_cast<float>(sound_manager().distance_scale / (reach * units_per_distance));
}

int sound_play(sound_object* s, int loop) {
    if (!s) return -1;
    const sound_library& l = sound_manager().library;
    sound_stop(s);
    l.sample_set_loop_mode(s->sample, loop ? loop_normal : loop_off);
    int channel = 0;
    if (s->entity) {
        place(s);
        channel = l.play_sound_3d(free_channel, s->sample, s->position, s->velocity);
        if (channel != -1) l.reverb_set_mix(channel, -1.0f);
    } else {
        channel = l.play_sound(free_channel, s->sample);
    }
    if (channel == -1) return -1;
    s->channel = channel;
    l.set_volume(channel, play_volume);
    return 0;
}

void sound_stop(sound_object* s) {
    // Channel 0 is "not playing" here, but a channel number to the library.
    if (s->channel != 0) sound_manager().library.stop_sound(s->channel);
    s->channel = 0;
}

int sound_update_listener() {
    Sound_manager& m = sound_manager();
    if (!m.library_loaded) return -1;
    for (sound_object* s : m.sounds) {
        if (s->channel == 0 || !s->entity) continue;
        place(s);
        m.library.set_attributes_3d(s->channel, s->position, s->velocity);
    }
    m.library.update_3d();
    return 0;
}

const char* sound_entity_name(const sound_object* s) {
    const char* name = nullptr;
    switch (s->entity ? s->entity_kind : int16_t{sound_on_nothing}) {
    case sound_on_object: name = static_cast<const dynamic_object*>(s->entity)->name; break;
    case sound_on_polygon: name = static_cast<const polygon*>(s->entity)->name; break;
    case sound_on_group: name = static_cast<const group*>(s->entity)->name; break;
    default: break;
    }
    return name && *name ? name : sound_texts::no_object;
}
