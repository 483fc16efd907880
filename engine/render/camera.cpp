// Cameras: creation, aiming, the camera and inverse matrices, the camera list.
#include "render/camera.h"

#include <cmath>
#include <string>

#include "foundation/dictionary.h"
#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/registry.h"
#include "foundation/strings.h"
#include "world/engine_state.h"

namespace {

void report(const char* text) {
    if (camera_report_errors()) report_error(1, text);
}

void set_row(mat4& m, int row, const vec3& v) {
    m.m[row][0] = v.x;
    m.m[row][1] = v.y;
    m.m[row][2] = v.z;
}

}  // namespace

int& camera_report_errors() {
    static int flag = 1;
    return flag;
}

camera* camera_init(const char* name, int width, int height, double field_of_view, int culling_depth_flag,
                    double culling_depth, const vec3& location, const vec3& direction, double distance) {
    if (width < 0 || height < 0 || !(field_of_view > 0 && field_of_view < 180) || !(distance > 0)) {
        report("camera_init: illegal input params");
        return nullptr;
    }
    camera* c = record_new<camera>(kind_camera);
    if (!c) {
        report("camera_init: cant alloc mem 1");
        return nullptr;
    }
    std::string unique = name ? name : "camera";
    find_unique_name(unique, [](const std::string& n) { return camera_find(engine_state.cameras, n.c_str()); },
                     false, "camera_find_unique_name");
    jstrcpy_with_allocating(&c->name, unique.c_str());
    c->width = width;
    c->height = height;
    c->middle_x = (width + 1) / 2;
    c->middle_y = (height + 1) / 2;
    c->own_culling_depth = culling_depth_flag;
    c->culling_depth = culling_depth;
    c->field_of_view = field_of_view;
    c->focal_length = -width / (2 * std::tan(deg_to_rad(field_of_view) / 2));
    c->distance_from_eye = distance;
    c->perspective = 1;
    matrix_identity(c->matrix);
    matrix_identity(c->inverse_matrix);
    if (camera_set_direction(c, direction) != 0) {
        camera_destroy(c);
        return nullptr;
    }
    camera_set_location(c, location);
    camera_rebuild(c);
    c->chase_softness = 0.1;
    c->next_track_point = 1;
    c->time_based = 1;
    c->save = 1;
    c->visit_flag = 1;
    jstrcpy_with_allocating(&c->track_name, "NO_TRACK");
    return c;
}

camera* camera_create_default_camera(camera** list) {
    if (engine_state.adding_world) return nullptr;
    camera* c = camera_init("default_camera", 100, 100, 90, 0, 0, {0, 0, 0}, {-1, 0, 0}, 4);
    if (!c) {
        report("camera_create_default_camera: failed to init camera");
        return nullptr;
    }
    camera** tail = list;
    while (*tail) tail = &(*tail)->next;
    *tail = c;
    return c;
}

int camera_rebuild(camera* c) {
    if (!c) return -1;
    if (matrix_inverse(c->inverse_matrix, c->matrix) != 0) {
        report("camera_rebuild: init_frustum_matrix failed");
        return -1;
    }
    c->matrices_valid = 1;
    return 0;
}

int camera_set_direction(camera* c, const vec3& direction) {
    vec3 x{-direction.x, -direction.y, -direction.z};
    if (vec_normalize(x) != 0) return -1;
    vec3 up{0, 0, 1};
    if (std::fabs(x.z) > 1 - 1e-9) up = {0, 1, 0};
    vec3 z = up;
    vec3 along;
    vec_scale(along, vec_dot(up, x), x);
    vec_sub(z, along);
    if (vec_normalize(z) != 0) return -1;
    const vec3 y = vec_cross(z, x);
    set_row(c->matrix, 0, x);
    set_row(c->matrix, 1, y);
    set_row(c->matrix, 2, z);
    c->matrices_valid = 0;
    return 0;
}

void camera_set_location(camera* c, const vec3& location) {
    c->location[0] = location.x;
    c->location[1] = location.y;
    c->location[2] = location.z;
    matrix_set_translation(c->matrix, location);
    c->matrices_valid = 0;
}

void camera_to_world(const camera* c, const vec3& in, vec3& out) { mul_vec_mat3(out, in, c->matrix); }

camera* camera_find(camera* list, const char* name) {
    if (!name) return nullptr;
    for (; list; list = list->next) {
        if (list->name && jstricmp(list->name, name) == 0) return list;
    }
    return nullptr;
}

void camera_destroy(camera* c) {
    if (!c) return;
    for (char* owned : {c->name, c->track_name, c->chase_name, c->chase_type_string}) engine_free(owned);
    record_destroy(c);
}

void camera_list_free(camera** list) {
    while (*list) {
        camera* next = (*list)->next;
        camera_destroy(*list);
        *list = next;
    }
}
