// Cameras: creation and rebuild, the view frustum, projection constants, the camera list, and the
// operations that place, turn and aim a camera.
#pragma once
#include <string>

#include "foundation/geometry.h"
#include "world/records.h"

// Frustum plane order.
enum camera_plane { camera_near_plane, camera_left_plane, camera_right_plane, camera_top_plane, camera_bottom_plane };
// Space argument of the move and turn operations: 2 = the camera's own axes, anything else the world's.
inline constexpr int camera_space = 2;

// What a caller saves of a camera and applies again (216 bytes).
struct camera_values {
    int32_t own_culling_depth;
    double culling_depth;
    double distance_from_eye;
    int32_t width, height;
    double field_of_view;
    vec3 location;
    vec3 x_axis, y_axis, z_axis;
    vec3 speed;
    double absolute_speed;
    vec3 force;
    double friction, elasticity, max_speed;
};
static_assert(sizeof(camera_values) == 216);

int& camera_report_errors();

// A new camera aimed along direction and placed at location; not added to any list. NULL when
// width or height is negative, the field of view is not inside (0, 180) or distance <= 0.
camera* camera_init(const char* name, int width, int height, double field_of_view, int culling_depth_flag,
                    double culling_depth, const vec3& location, const vec3& direction, double distance);
// Appends "default_camera" to the list (nothing while a world is being added).
camera* camera_create_default_camera(camera** list);
// Recomputes everything camera_init computes on an existing camera; bad input leaves it unchanged (-1).
int camera_rebuild(camera* c, int width, int height, double field_of_view, int culling_depth_flag,
                   double culling_depth, const vec3& location, const vec3& direction, double distance);
// World planes from the camera matrix; matrices valid.
void camera_mark_rebuilt(camera* c);

int camera_set_resolution(camera* c, int width, int height);
void camera_get_resolution(const camera* c, int* width, int* height);
int camera_set_field_of_view(camera* c, double degrees);
double camera_get_field_of_view(const camera* c);
// Field of view by a step, at most 179 / at least 1; a step <= 0 does nothing.
void camera_widen_field_of_view(camera* c, double step);
void camera_narrow_field_of_view(camera* c, double step);
double camera_get_culling_depth(const camera* c);

void camera_add_camera(camera* c, camera** list);
camera* camera_list_remove(camera** list, camera* c);
camera* camera_find_by_name(camera* list, const char* name);
// Makes name unique in the list ("_2", "_3", ...; a taken "_digits" ending is replaced); 0 or -1.
int camera_find_unique_name(camera* list, std::string& name);
void camera_free(camera* c);
void camera_delete_all(camera** list);

vec3 camera_get_location(const camera* c);
void camera_set_location(camera* c, const vec3& location);
void camera_get_axes(const camera* c, vec3& x, vec3& y, vec3& z);
int camera_set_axes(camera* c, const vec3& x, const vec3& y, const vec3& z);
vec3 camera_get_direction(const camera* c);
// Aims the camera's negative x axis along direction, z axis as near to world up as it can; 0 / -1.
int camera_set_direction(camera* c, const vec3& direction);

void camera_move(camera* c, const vec3& vector, int space);
void camera_rotate_x(camera* c, double radians, int space);
void camera_rotate_y(camera* c, double radians, int space);
void camera_rotate_z(camera* c, double radians, int space);

double camera_get_head_angle(const camera* c);
void camera_set_head_angle(camera* c, double degrees);
double camera_get_tilt(const camera* c);
int camera_set_tilt(camera* c, double degrees);
double camera_get_bank(const camera* c);
void camera_set_bank(camera* c, double degrees);

// Where a move by vector would take the camera, in world space.
vec3 camera_get_movement_target(const camera* c, const vec3& vector, int space);
void camera_set_speed(camera* c, const vec3& velocity);
void camera_set_absolute_speed(camera* c, double value);
// Index after the track point nearest to the camera, 0 past the last point or without a track.
int camera_get_next_track_point(const camera* c);
void camera_reset_track_target(camera* c);
int camera_save_values(const camera* c, camera_values* values);
