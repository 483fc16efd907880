// Entity family: the kind and the name of any engine handle.
#include <cstring>

#include "api/entity_kind.h"
#include "api/export_guards.h"
#include "foundation/errors.h"
#include "foundation/registry.h"
#include "world/records.h"

namespace {

namespace texts {
inline constexpr const char* caption = "Drovik_entity_get_name";
inline constexpr const char* not_supported = "entity not supported with this function";
inline constexpr const char* null_group = "Drovik_group_get_name: got a NULL handle\n";
}  // namespace texts

template <typename T>
const char* name_field(DROVIK_HANDLE handle) {
    return static_cast<T*>(handle)->name;
}

// The whole world has no name of its own.
const char* group_name(DROVIK_HANDLE handle) {
    if (handle) return name_field<group>(handle);
    warning_box(texts::null_group);
    return nullptr;
}

const char* bitmap_name(DROVIK_HANDLE handle) { return static_cast<bitmap_texture*>(handle)->image.name; }

struct name_reader {
    int32_t kind;
    const char* (*read)(DROVIK_HANDLE);
};

// The name of each kind that has one (by the family's getter, or from the record).
const name_reader name_readers[] = {
    {DROVIK_KIND_CAMERA, Drovik_camera_get_name},
    {DROVIK_KIND_OBJECT, name_field<dynamic_object>},
    {DROVIK_KIND_GROUP, group_name},
    {DROVIK_KIND_BITMAP, bitmap_name},
    {DROVIK_KIND_TRACK, name_field<jtrack>},
    {DROVIK_KIND_BACKGROUND, name_field<background>},
    {DROVIK_KIND_POLYGON, name_field<polygon>},
    {DROVIK_KIND_ANIMATION3D, Drovik_3D_animation_get_name},
    {DROVIK_KIND_SEQUENCE3D, Drovik_3D_sequence_get_name},
};

}  // namespace

int32_t get_entity_kind(const void* handle) {
    if (!handle) return DROVIK_KIND_GROUP;
    int32_t kind = 0;
    return registry_lookup(handle, &kind) ? kind : 0;
}

DROVIK_API int Drovik_entity_get_name(DROVIK_HANDLE handle, char* buffer, int buffer_size) {
    engine_guard guard;
    if (!buffer || buffer_size < 1) return 0;
    const int32_t kind = get_entity_kind(handle);
    for (const name_reader& reader : name_readers) {
        if (reader.kind != kind) continue;
        const char* name = reader.read(handle);
        const size_t length = name ? strnlen(name, static_cast<size_t>(buffer_size - 1)) : 0;
        std::memset(buffer, 0, static_cast<size_t>(buffer_size));
        if (length) std::memcpy(buffer, name, length);
        return static_cast<int>(length);
    }
    warning_box_captioned(texts::not_supported, texts::caption);
    return 0;
}
