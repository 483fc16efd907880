// The twelve handle-check exports and the guards that open the other exports.
#include <string>

#include "api/export_guards.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/registry.h"

namespace {

struct check_texts {
    int32_t kind;
    const char* word;      // names the kind in the garbage-memory texts
    const char* null_log;  // after "<name>: "
    const char* null_box;
};

const check_texts checks[] = {
    {DROVIK_KIND_CAMERA, "camera", "Camera handle is NULL\n", "Camera handle is NULL"},
    {DROVIK_KIND_OBJECT, "object", "Object handle is NULL\n", "Object handle is NULL"},
    {DROVIK_KIND_GROUP, "group", nullptr, nullptr},
    {DROVIK_KIND_BITMAP, "bitmap", "bitmap handle is NULL\n", "bitmap handle is NULL"},
    {DROVIK_KIND_TRACK, "track", "Track handle is NULL\n", "track handle is NULL"},
    {DROVIK_KIND_ANIMATION, "animation", "animation handle is NULL\n", "animation handle is NULL"},
    {DROVIK_KIND_BACKGROUND, "background", "background handle is NULL\n",
     "background handle is NULL"},
    {DROVIK_KIND_POLYGON, "polygon", "polygon handle is NULL\n", "polygon handle is NULL"},
    {DROVIK_KIND_POINT, "point", "point handle is NULL\n", "point handle is NULL"},
    {DROVIK_KIND_LIGHT, "light", "light handle is NULL\n", "light handle is NULL"},
    {DROVIK_KIND_ANIMATION3D, "anim3d", "animation3d handle is NULL\n",
     "animation3d handle is NULL"},
    {DROVIK_KIND_SEQUENCE3D, "seq3d", "sequence3d handle is NULL\n", "sequence3d handle is NULL"},
};

const check_texts* texts_of(int32_t kind) {
    for (const check_texts& t : checks) {
        if (t.kind == kind) return &t;
    }
    return nullptr;
}

void refuse(const char* name, const std::string& log_tail, const std::string& box) {
    api_report(name, log_tail.c_str());
    warning_box_captioned(box.c_str(), name);
}

bool mode_guard(const char* name, bool refused, const char* tail) {
    if (!refused) return true;
    warning_box((std::string(name ? name : "") + tail).c_str());
    return false;
}

}  // namespace

int& api_report_errors() {
    static int flag = 1;
    return flag;
}

void api_report(const char* name, const char* reason) {
    if (api_report_errors()) {
        report_error(1, (std::string(name ? name : "") + ": " + (reason ? reason : "")).c_str());
    }
}

int api_check_handle(const void* handle, const char* name, int32_t kind) {
    engine_guard guard;
    const check_texts* t = texts_of(kind);
    if (!t) return 0;
    if (!handle) {
        if (kind == DROVIK_KIND_GROUP) return 1;  // the whole world
        if (name) refuse(name, t->null_log, t->null_box);
        return 0;
    }
    int32_t found = 0;
    if (!registry_lookup(handle, &found)) {
        if (name) {
            const std::string garbage = std::string("Illegal ") + t->word + guard_texts::garbage_tail;
            refuse(name, garbage + "\n", garbage);
        }
        return 0;
    }
    if (found == kind) return 1;
    if (name) {
        refuse(name, guard_texts::wrong_kind_log,
               kind == DROVIK_KIND_OBJECT ? guard_texts::wrong_kind_object_box
                                          : guard_texts::wrong_kind_box);
    }
    return 0;
}

bool api_world_guard(const char* name) {
    return mode_guard(name, !engine_world_loaded(), guard_texts::world);
}

bool api_editor_only_guard(const char* name, bool editor_mode) {
    return mode_guard(name, !editor_mode, guard_texts::editor_only);
}

bool api_viewer_only_guard(const char* name, bool editor_mode) {
    return mode_guard(name, editor_mode, guard_texts::viewer_only);
}

bool api_viewer_mode_guard(const char* name, bool editor_mode) {
    return mode_guard(name, editor_mode, guard_texts::viewer_mode);
}

bool api_polygon_geometry_guard(const char* name, bool polygon_has_owner, bool editor_mode) {
    return mode_guard(name, !polygon_has_owner && !editor_mode, guard_texts::polygon_geometry);
}

bool api_chase_handles_guard(const char* name, bool editor_mode) {
    return mode_guard(name, editor_mode, guard_texts::chase_handles);
}

DROVIK_API int Drovik_camera_is_camera(DROVIK_HANDLE camera, const char* name) {
    return api_check_handle(camera, name, DROVIK_KIND_CAMERA);
}

DROVIK_API int Drovik_object_is_object(DROVIK_HANDLE object, const char* name) {
    return api_check_handle(object, name, DROVIK_KIND_OBJECT);
}

DROVIK_API int Drovik_group_is_group(DROVIK_HANDLE group, const char* name) {
    return api_check_handle(group, name, DROVIK_KIND_GROUP);
}

DROVIK_API int Drovik_bitmap_is_bitmap(DROVIK_HANDLE bitmap, const char* name) {
    return api_check_handle(bitmap, name, DROVIK_KIND_BITMAP);
}

DROVIK_API int Drovik_track_is_track(DROVIK_HANDLE track, const char* name) {
    return api_check_handle(track, name, DROVIK_KIND_TRACK);
}

DROVIK_API int Drovik_animation_is_animation(DROVIK_HANDLE animation, const char* name) {
    return api_check_handle(animation, name, DROVIK_KIND_ANIMATION);
}

DROVIK_API int Drovik_background_is_background(DROVIK_HANDLE background, const char* name) {
    return api_check_handle(background, name, DROVIK_KIND_BACKGROUND);
}

DROVIK_API int Drovik_polygon_is_polygon(DROVIK_HANDLE polygon, const char* name) {
    return api_check_handle(polygon, name, DROVIK_KIND_POLYGON);
}

DROVIK_API int Drovik_point_is_point(DROVIK_HANDLE point, const char* name) {
    return api_check_handle(point, name, DROVIK_KIND_POINT);
}

DROVIK_API int Drovik_light_is_light(DROVIK_HANDLE light, const char* name) {
    return api_check_handle(light, name, DROVIK_KIND_LIGHT);
}

DROVIK_API int Drovik_3D_animation_is_3D_animation(DROVIK_HANDLE animation, const char* name) {
    return api_check_handle(animation, name, DROVIK_KIND_ANIMATION3D);
}

DROVIK_API int Drovik_3D_sequence_is_3D_sequence(DROVIK_HANDLE sequence, const char* name) {
    return api_check_handle(sequence, name, DROVIK_KIND_SEQUENCE3D);
}
