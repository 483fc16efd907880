// Sound family: loading sounds, attaching them to world entities, playing, stopping and
// adjusting them, and the library's CD calls.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "api/export_guards.h"
#include "api/sound_manager.h"
#include "foundation/strings.h"

namespace {

constexpr int lowest_volume = 1, highest_volume = 1000;
constexpr double library_volume = 254;

// Every export but the listener update opens with this: the lock is held by the caller.
Sound_manager& started() {
    sound_exports_start();
    return sound_manager();
}

bool playing(const sound_object* s) { return s && s->channel != 0; }

}  // namespace

DROVIK_API DROVIK_HANDLE Drovik_sound_load(const char* file, DROVIK_HANDLE entity, double reach) {
    engine_guard guard;
    started();
    return sound_load(file, entity, reach);
}

DROVIK_API int Drovik_sound_attach(DROVIK_HANDLE sound, DROVIK_HANDLE entity) {
    engine_guard guard;
    started();
    sound_object* s = sound_checked(sound);
    const int16_t kind = sound_probe_entity(entity);
    if (!s || (entity && kind == sound_on_nothing)) return -1;
    s->entity = entity;
    s->entity_kind = kind;
    return 0;
}

DROVIK_API int Drovik_sound_play_all_sounds(void) {
    engine_guard guard;
    Sound_manager& m = started();
    if (!m.library_loaded) return 0;
    for (sound_object* s : m.sounds) {
        if (sound_play(s, 0) != 0) return -1;
    }
    return 1;
}

DROVIK_API int Drovik_sound_play(DROVIK_HANDLE sound, int loop) {
    engine_guard guard;
    started();
    return sound_play(sound_checked(sound), loop);
}

DROVIK_API int Drovik_sound_stop(DROVIK_HANDLE sound) {
    engine_guard guard;
    started();
    sound_object* s = sound_checked(sound);
    if (!s) return -1;
    sound_stop(s);
    return 0;
}

DROVIK_API int Drovik_sound_stop_all_sounds(void) {
    engine_guard guard;
    Sound_manager& m = started();
    if (!m.library_loaded) return 0;
    m.library.stop_all_channels();
    for (sound_object* s : m.sounds) s->channel = 0;
    return 0;
}

DROVIK_API DROVIK_HANDLE Drovik_sound_get_first(void) {
    engine_guard guard;
    Sound_manager& m = started();
    return m.sounds.empty() ? nullptr : m.sounds.front();
}

DROVIK_API DROVIK_HANDLE Drovik_sound_get_next(DROVIK_HANDLE sound) {
    engine_guard guard;
    Sound_manager& m = started();
    const sound_object* s = sound_checked(sound);
    if (!s) return nullptr;
    for (auto at = m.sounds.begin(); at != m.sounds.end(); ++at) {
        if ((*at)->sample != s->sample) continue;
        return ++at == m.sounds.end() ? nullptr : *at;
    }
    return nullptr;
}

DROVIK_API int Drovik_sound_update_listener(void) {
    engine_guard guard;
    if (!sound_manager().exports_started) return 0;
    return sound_update_listener();
}

DROVIK_API int Drovik_sound_set_volume(DROVIK_HANDLE sound, int volume) {
    engine_guard guard;
    Sound_manager& m = started();
    sound_object* s = sound_checked(sound);
    if (!s) return 0;
    const int clamped = std::clamp(volume, lowest_volume, highest_volume);
    s->volume = std::trunc(clamped * 0.001 * library_volume);
    if (playing(s)) m.library.set_volume(s->channel, static_cast<int>(s->volume));
    return 1;
}

DROVIK_API int Drovik_sound_get_volume(DROVIK_HANDLE sound) {
    engine_guard guard;
    Sound_manager& m = started();
    const sound_object* s = sound_checked(sound);
    if (!playing(s)) return -1;
    const int volume = m.library.get_volume(s->channel);
    if (volume < 0) return -1;
    return static_cast<int>(std::trunc(volume / library_volume * highest_volume));
}

DROVIK_API int Drovik_sound_set_frequency(DROVIK_HANDLE sound, int frequency) {
    engine_guard guard;
    Sound_manager& m = started();
    sound_object* s = sound_checked(sound);
    if (!s) return 0;
    s->frequency = frequency;
    if (!playing(s)) return 0;
    return m.library.set_frequency(s->channel, frequency);
}

DROVIK_API int Drovik_sound_get_frequency(DROVIK_HANDLE sound) {
    engine_guard guard;
    Sound_manager& m = started();
    const sound_object* s = sound_checked(sound);
    if (!playing(s)) return -1;
    return m.library.get_frequency(s->channel);
}

DROVIK_API int Drovik_sound_is_sound_playing(DROVIK_HANDLE sound) {
    engine_guard guard;
    Sound_manager& m = started();
    const sound_object* s = sound_checked(sound);
    if (!s) return -1;
    return playing(s) && m.library.is_playing(s->channel) ? 1 : 0;
}

DROVIK_API int Drovik_sound_set_sound_name(DROVIK_HANDLE sound, const char* name) {
    engine_guard guard;
    Sound_manager& m = started();
    sound_object* s = sound_checked(sound);
    if (!s || !name || !*name) return -1;
    for (const sound_object* other : m.sounds) {
        if (std::strcmp(other->name, name) == 0) return -1;
    }
    sound_memory_scope scope;
    jstrcpy_with_allocating(&s->name, name);
    return 0;
}

DROVIK_API const char* Drovik_sound_get_sound_name(DROVIK_HANDLE sound) {
    engine_guard guard;
    started();
    const sound_object* s = sound_checked(sound);
    return s ? s->name : nullptr;
}

DROVIK_API DROVIK_HANDLE Drovik_sound_get_handle_using_name(const char* name) {
    engine_guard guard;
    Sound_manager& m = started();
    if (!name) return nullptr;
    for (sound_object* s : m.sounds) {
        if (std::strcmp(s->name, name) == 0) return s;
    }
    return nullptr;
}

DROVIK_API DROVIK_HANDLE Drovik_sound_get_handle_using_entity(DROVIK_HANDLE entity) {
    engine_guard guard;
    Sound_manager& m = started();
    if (!entity) return nullptr;
    for (sound_object* s : m.sounds) {
        if (s->entity == entity) return s;
    }
    return nullptr;
}

DROVIK_API int Drovik_sound_set_distance_reach(DROVIK_HANDLE sound, double reach) {
    engine_guard guard;
    started();
    sound_object* s = sound_checked(sound);
    if (!s) return -1;
    s->reach_factor = sound_reach_factor(reach == 0 ? 1 : reach);
    return 0;
}

DROVIK_API int Drovik_sound_set_pause_mode(DROVIK_HANDLE sound, int mode) {
    engine_guard guard;
    Sound_manager& m = started();
    if (!m.library_loaded) return 0;
    const sound_object* s = sound_checked(sound);
    if (!s) return -1;
    if (!playing(s)) return 0;
    return m.library.set_paused(s->channel, static_cast<signed char>(mode));
}

DROVIK_API int Drovik_sound_CD_play(int track) {
    engine_guard guard;
    Sound_manager& m = started();
    return m.library_loaded ? m.library.cd_play(track) : 0;
}

DROVIK_API int Drovik_sound_CD_stop(void) {
    engine_guard guard;
    Sound_manager& m = started();
    return m.library_loaded ? m.library.cd_stop() : 0;
}

DROVIK_API int Drovik_sound_CD_set_pause_mode(int mode) {
    engine_guard guard;
    Sound_manager& m = started();
    return m.library_loaded ? m.library.cd_set_paused(static_cast<signed char>(mode)) : 0;
}

DROVIK_API int Drovik_sound_CD_get_track(void) {
    engine_guard guard;
    Sound_manager& m = started();
    return m.library_loaded ? m.library.cd_get_track() : -1;
}

DROVIK_API int Drovik_sound_CD_get_num_of_tracks(void) {
    engine_guard guard;
    Sound_manager& m = started();
    return m.library_loaded ? m.library.cd_get_num_tracks() : -1;
}

DROVIK_API int Drovik_sound_CD_eject(void) {
    engine_guard guard;
    Sound_manager& m = started();
    return m.library_loaded ? m.library.cd_eject() : 0;
}
