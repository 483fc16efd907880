// Camera family: the current camera, aiming and moving at window pixels, the chase type and the
// movement steps.
#include <cmath>
#include <string>

#include "api/record_access.h"
#include "foundation/strings.h"
#include "render/software/rendering_manager.h"
#include "world/camera.h"
#include "world/chase.h"
#include "world/engine_state.h"
#include "world/movers.h"

namespace {

const api_export_row camera_view_exports[] = {
    {"Drovik_camera_set_current", "Drovik_camera_set_current", -1},
    {"Drovik_camera_point_at_2D", "Drovik_camera_point_at_2D", -1},
    {"Drovik_camera_move_toward_point_2D", "Drovik_camera_move_toward_point_2D", -1},
    {"Drovik_camera_get_location_to_fit_rectangle", "Drovik_camera_set_elasticity", -1},
    {"Drovik_camera_set_chase_type", "Drovik_camera_get_chase_type", -1},
    {"Drovik_camera_advance", "Drovik_camera_advance_on_track", -1},
};

constexpr double flat_tangent = 1e-10;

template <typename Work>
auto with_camera(const char* export_name, DROVIK_HANDLE handle, Work&& work) {
    return api_with_record<camera>(api_export_row_of(camera_view_exports, export_name), handle, DROVIK_KIND_CAMERA,
                                   work);
}

// The world point under a window pixel as the current camera sees it; false when nothing is there.
bool point_under_pixel(int x, int y, vec3& at) {
    double hit[3];
    if (Drovik_engine_2D_point_to_3D(x, y, hit, nullptr, nullptr) != 0) return false;
    at = api_vec(hit);
    return true;
}

}  // namespace

// With a window the rendering manager binds the camera to it; the camera becomes the current one.
DROVIK_API int Drovik_camera_set_current(DROVIK_HANDLE camera_handle, DROVIK_WINDOW window) {
    engine_guard guard;
    const api_export_row& row = api_export_row_of(camera_view_exports, __func__);
    if (!api_world_guard(row.check_name)) return api_refusal{row};
    camera* c = api_checked<camera>(row, camera_handle, DROVIK_KIND_CAMERA);
    if (!c) return api_refusal{row};
    if (window && rendering_manager().set_active_camera(window, c) != 0) return -1;
    set_current_camera(c);
    return 0;
}

DROVIK_API int Drovik_camera_point_at_2D(DROVIK_HANDLE camera_handle, int x, int y) {
    return with_camera(__func__, camera_handle, [=](camera* c) {
        vec3 at;
        if (!point_under_pixel(x, y, at)) return -1;
        vec_sub(at, camera_get_location(c));
        camera_set_direction(c, at);
        return 0;
    });
}

DROVIK_API int Drovik_camera_move_toward_point_2D(DROVIK_HANDLE camera_handle, int x, int y, double fraction) {
    return with_camera(__func__, camera_handle, [=](camera* c) {
        set_current_camera(c);
        vec3 at;
        if (!point_under_pixel(x, y, at)) return -1;
        vec_sub(at, camera_get_location(c));
        vec_scale(at, fraction, at);
        camera_move(c, at, 0);
        return 0;
    });
}

DROVIK_API int Drovik_camera_get_location_to_fit_rectangle(DROVIK_HANDLE camera_handle, int left, int top, int right,
                                                           int bottom, double location[3]) {
    return with_camera(__func__, camera_handle, [=](camera* c) {
        if (!location) return -1;
        api_put_vec(location, {0, 0, 0});
        vec3 centre;
        if (!point_under_pixel((left + right) / 2, (top + bottom) / 2, centre)) return -1;
        if (std::fabs(std::tan(c->field_of_view * 0.5 * 0.017453292519943295)) < flat_tangent) return -1;
        // The rectangle's share of the picture's width shrinks the depth of its centre by as much.
        const vec3 direction = camera_get_direction(c);
        vec3 to_centre = centre;
        vec_sub(to_centre, camera_get_location(c));
        const double depth = vec_dot(to_centre, direction);
        const double share = c->width ? std::fabs(static_cast<double>(right - left)) / c->width : 1;
        vec3 back;
        vec_scale(back, depth * share, direction);
        vec_sub(centre, back);
        api_put_vec(location, centre);
        return 0;
    });
}

DROVIK_API int Drovik_camera_set_chase_type(DROVIK_HANDLE camera_handle, int type) {
    return with_camera(__func__, camera_handle, [=](camera* c) {
        if (chase_set_type(c->chase, type, c->fall_flag, c->fall_height)) camera_reset_track_target(c);
        return 0;
    });
}

DROVIK_API int Drovik_camera_advance(DROVIK_HANDLE camera_handle) {
    return with_camera(__func__, camera_handle, [](camera* c) {
        engine_move_cameras(c);
        return 0;
    });
}

DROVIK_API int Drovik_camera_advance_all() {
    engine_guard guard;
    engine_move_all_cameras();
    return 0;
}
