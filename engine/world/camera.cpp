// Cameras: creation and rebuild, the view frustum, projection constants, the camera list, and the
// operations that place, turn and aim a camera.
#include "world/camera.h"

#include <cmath>
#include <numbers>

#include "foundation/dictionary.h"
#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/registry.h"
#include "foundation/strings.h"
#include "world/engine_state.h"
#include "world/track.h"

namespace {

constexpr double edge_margin = 0.001;  // keeps projected points off the frame's last pixel edge
constexpr double max_field_of_view = 179;
constexpr double min_field_of_view = 1;

void report(const char* text) {
    if (camera_report_errors()) report_error(1, text);
}

vec3 row(const mat4& m, int r) { return {m.m[r][0], m.m[r][1], m.m[r][2]}; }

void set_row(mat4& m, int r, const vec3& v) {
    m.m[r][0] = v.x;
    m.m[r][1] = v.y;
    m.m[r][2] = v.z;
}

vec3 location_of(const camera* c) { return {c->location[0], c->location[1], c->location[2]}; }

bool valid_input(int width, int height, double field_of_view, double distance) {
    return width >= 0 && height >= 0 && field_of_view > 0 && field_of_view < 180 && distance > 0;
}

plane unit_plane(double a, double b, double c, double length) { return {a / length, b / length, c / length, 0}; }

int perspective_frustum(camera* c) {
    const double f = c->focal_length;
    const double half_w_up = std::ceil(c->width / 2.0), half_w_down = std::floor(c->width / 2.0);
    const double half_h_up = std::ceil(c->height / 2.0), half_h_down = std::floor(c->height / 2.0);
    const double g = edge_margin - half_w_up, o = half_w_down - edge_margin;
    const double u = half_h_up - edge_margin, w = edge_margin - half_h_down;
    const double lengths[4] = {std::sqrt(g * g + f * f), std::sqrt(f * f + o * o), std::sqrt(f * f + u * u),
                               std::sqrt(f * f + w * w)};
    for (double length : lengths) {
        if (!(length > 0)) {
            report("init_frustum_vs_planes: length<=0 !");
            return -1;
        }
    }
    plane* p = c->frustum_camera;
    p[camera_near_plane] = {-1, 0, 0, -c->distance_from_eye};
    p[camera_left_plane] = unit_plane(g, -f, 0, lengths[0]);
    p[camera_right_plane] = unit_plane(-o, f, 0, lengths[1]);
    p[camera_top_plane] = unit_plane(-u, 0, f, lengths[2]);
    p[camera_bottom_plane] = unit_plane(w, 0, -f, lengths[3]);
    return 0;
}

int parallel_frustum(camera* c) {
    const int pw = c->parallel_width, ph = c->parallel_height;
    if (pw <= 0 || ph <= 0) {
        report("init_frustum_vs_planes: parallel width or height <= 0 !");
        return -1;
    }
    c->parallel_scale_x = static_cast<double>(c->width & ~1) / pw;
    c->parallel_scale_y = static_cast<double>(c->height & ~1) / ph;
    plane* p = c->frustum_camera;
    p[camera_near_plane] = {-1, 0, 0, -c->distance_from_eye};
    p[camera_left_plane] = {0, 1, 0, pw / 2.0 - edge_margin};
    p[camera_right_plane] = {0, -1, 0, std::floor(pw / 2.0) - edge_margin};
    p[camera_top_plane] = {0, 0, -1, ph / 2.0 - edge_margin};
    p[camera_bottom_plane] = {0, 0, 1, std::floor(ph / 2.0) - edge_margin};
    return 0;
}

int init_frustum_vs_planes(camera* c) { return c->perspective ? perspective_frustum(c) : parallel_frustum(c); }

void set_projection(camera* c, int width, int height, double field_of_view) {
    c->width = width;
    c->height = height;
    c->middle_x = (width + 1) / 2;
    c->middle_y = (height + 1) / 2;
    c->field_of_view = field_of_view;
    c->focal_length = -width / (2 * std::tan(deg_to_rad(field_of_view) / 2));
}

// The camera-space planes carried into world space: normals turned by the axes, each plane through
// the world image of its camera-space foot point.
void compute_world_planes(camera* c) {
    for (int i = 0; i < 5; ++i) {
        const plane& p = c->frustum_camera[i];
        vec3 normal;
        vec_mul_rotation(normal, {p.a, p.b, p.c}, c->matrix);
        vec3 foot;
        vec_mul_rotation(foot, {-p.d * p.a, -p.d * p.b, -p.d * p.c}, c->matrix);
        vec_add(foot, location_of(c));
        c->frustum_world[i] = {normal.x, normal.y, normal.z, -vec_dot(normal, foot)};
    }
}

// The inverse matrix from the camera matrix; -1 when the axes are singular.
int update_inverse(camera* c) {
    mat4 inverse;
    if (matrix_inverse(inverse, c->matrix) != 0) return -1;
    c->inverse_matrix = inverse;
    c->matrices_valid = 0;
    return 0;
}

void turn(camera* c, const mat4& rotation, int space) {
    mat4 result;
    if (space == camera_space) {
        matrix_multiply(result, rotation, c->matrix);
    } else {
        matrix_multiply(result, c->matrix, rotation);
    }
    const mat4 old = c->matrix;
    c->matrix = result;
    matrix_set_translation(c->matrix, location_of(c));
    if (update_inverse(c) != 0) c->matrix = old;
}

// Head angle in 0..360.
double full_turn_head_angle(const camera* c) {
    const double h = camera_get_head_angle(c);
    return h < 0 ? h + 360 : h;
}

double bank_radians(const camera* c) {
    double b = safe_acos(c->matrix.m[1][2]);
    if (c->matrix.m[2][2] < 0) b = 2 * std::numbers::pi - b;
    return b;
}

}  // namespace

int& camera_report_errors() {
    static int flag = 1;
    return flag;
}

camera* camera_init(const char* name, int width, int height, double field_of_view, int culling_depth_flag,
                    double culling_depth, const vec3& location, const vec3& direction, double distance) {
    if (!valid_input(width, height, field_of_view, distance)) {
        report("camera_init: illegal input params");
        return nullptr;
    }
    camera* c = record_new<camera>(kind_camera);
    if (!c) {
        report("camera_init: cant alloc mem 1");
        return nullptr;
    }
    std::string unique = name ? name : "camera";
    camera_find_unique_name(engine_state.cameras, unique);
    jstrcpy_with_allocating(&c->name, unique.c_str());
    c->perspective = 1;
    c->own_culling_depth = culling_depth_flag;
    c->culling_depth = culling_depth;
    c->distance_from_eye = distance;
    set_projection(c, width, height, field_of_view);
    init_frustum_vs_planes(c);
    matrix_identity(c->matrix);
    matrix_identity(c->inverse_matrix);
    if (camera_set_direction(c, direction) != 0) {
        camera_free(c);
        return nullptr;
    }
    camera_set_location(c, location);
    compute_world_planes(c);
    c->chase.softness = 0.1;
    c->matrices_valid = 1;
    c->track.next_point = 1;
    c->time_based = 1;
    c->chase.type = 0;
    c->save = 1;
    c->visit_flag = 1;
    jstrcpy_with_allocating(&c->track.name, "NO_TRACK");
    return c;
}

camera* camera_create_default_camera(camera** list) {
    if (engine_state.adding_world) return nullptr;
    camera* c = camera_init("default_camera", 100, 100, 90, 0, 0, {0, 0, 0}, {-1, 0, 0}, 4);
    if (!c) {
        report("camera_create_default_camera: failed to init camera");
        return nullptr;
    }
    camera_add_camera(c, list);
    return c;
}

int camera_rebuild(camera* c, int width, int height, double field_of_view, int culling_depth_flag,
                   double culling_depth, const vec3& location, const vec3& direction, double distance) {
    if (!c || !valid_input(width, height, field_of_view, distance)) {
        report("camera_rebuild: illegal input params");
        return -1;
    }
    c->own_culling_depth = culling_depth_flag;
    c->culling_depth = culling_depth;
    c->distance_from_eye = distance;
    set_projection(c, width, height, field_of_view);
    init_frustum_vs_planes(c);
    if (camera_set_direction(c, direction) != 0) report("camera_rebuild: init_frustum_matrix failed");
    camera_set_location(c, location);
    camera_mark_rebuilt(c);
    return 0;
}

void camera_mark_rebuilt(camera* c) {
    compute_world_planes(c);
    c->matrices_valid = 1;
}

int camera_set_resolution(camera* c, int width, int height) {
    if (!c || width < 0 || height < 0) return -1;
    if (engine_state.card_in_use) {
        ++width;
        ++height;
    }
    if (width == c->width && height == c->height && c->matrices_valid) return 0;
    set_projection(c, width, height, c->field_of_view);
    init_frustum_vs_planes(c);
    camera_mark_rebuilt(c);
    return 0;
}

void camera_get_resolution(const camera* c, int* width, int* height) {
    *width = c ? c->width : 0;
    *height = c ? c->height : 0;
}

int camera_set_field_of_view(camera* c, double degrees) {
    if (!c || !(degrees > 0 && degrees < 180)) {
        report("camera_set_field_of_view: angle<=0 || angle >=180");
        return -1;
    }
    set_projection(c, c->width, c->height, degrees);
    init_frustum_vs_planes(c);
    c->matrices_valid = 0;
    return 0;
}

double camera_get_field_of_view(const camera* c) { return c ? c->field_of_view : 0; }

void camera_widen_field_of_view(camera* c, double step) {
    if (c && step > 0) camera_set_field_of_view(c, std::fmin(max_field_of_view, c->field_of_view + step));
}

void camera_narrow_field_of_view(camera* c, double step) {
    if (c && step > 0) camera_set_field_of_view(c, std::fmax(min_field_of_view, c->field_of_view - step));
}

double camera_get_culling_depth(const camera* c) { return c ? c->culling_depth : 0; }

void camera_add_camera(camera* c, camera** list) {
    if (!c || !list) {
        report("camera_add_camera: got a null pointer");
        return;
    }
    camera** tail = list;
    while (*tail) tail = &(*tail)->next;
    c->next = nullptr;
    *tail = c;
}

camera* camera_list_remove(camera** list, camera* c) {
    for (camera** at = list; at && *at; at = &(*at)->next) {
        if (*at == c) {
            *at = c->next;
            c->next = nullptr;
            return c;
        }
    }
    return nullptr;
}

camera* camera_find_by_name(camera* list, const char* name) {
    if (!name) return nullptr;
    for (; list; list = list->next) {
        if (list->name && jstricmp(list->name, name) == 0) return list;
    }
    return nullptr;
}

int camera_find_unique_name(camera* list, std::string& name) {
    return find_unique_name(
        name, [list](const std::string& n) { return camera_find_by_name(list, n.c_str()) != nullptr; }, true,
        "camera_find_unique_name");
}

void camera_free(camera* c) {
    if (!c) return;
    for (char* owned : {c->name, c->track.name, c->chase.name, c->chase.type_string}) engine_free(owned);
    record_destroy(c);
}

void camera_delete_all(camera** list) {
    while (*list) {
        camera* next = (*list)->next;
        camera_free(*list);
        *list = next;
    }
}

vec3 camera_get_location(const camera* c) { return c ? location_of(c) : vec3{0, 0, 0}; }

void camera_set_location(camera* c, const vec3& location) {
    c->location[0] = location.x;
    c->location[1] = location.y;
    c->location[2] = location.z;
    matrix_set_translation(c->matrix, location);
    update_inverse(c);
    c->matrices_valid = 0;
}

void camera_get_axes(const camera* c, vec3& x, vec3& y, vec3& z) {
    x = row(c->matrix, 0);
    y = row(c->matrix, 1);
    z = row(c->matrix, 2);
}

int camera_set_axes(camera* c, const vec3& x, const vec3& y, const vec3& z) {
    const mat4 old = c->matrix;
    set_row(c->matrix, 0, x);
    set_row(c->matrix, 1, y);
    set_row(c->matrix, 2, z);
    matrix_set_translation(c->matrix, location_of(c));
    if (update_inverse(c) != 0) {
        c->matrix = old;
        return -1;
    }
    return 0;
}

vec3 camera_get_direction(const camera* c) { return {-c->matrix.m[0][0], -c->matrix.m[0][1], -c->matrix.m[0][2]}; }

int camera_set_direction(camera* c, const vec3& direction) {
    vec3 x{-direction.x, -direction.y, -direction.z};
    if (vec_normalize(x) != 0) return -1;
    vec3 y{0, 1, 0};
    // Straight up or down the right-hand axis cannot come from the direction.
    if (x.z != 1 && x.z != -1) {
        vec3 across{-x.y, x.x, 0};
        if (vec_normalize(across) == 0) y = across;
    }
    return camera_set_axes(c, x, y, vec_cross(x, y));
}

void camera_move(camera* c, const vec3& vector, int space) {
    if (vector.x == 0 && vector.y == 0 && vector.z == 0) return;
    camera_set_location(c, camera_get_movement_target(c, vector, space));
}

void camera_rotate_x(camera* c, double radians, int space) {
    if (radians == 0) return;
    mat4 rotation;
    matrix_rotation_x(rotation, radians);
    turn(c, rotation, space);
}

void camera_rotate_y(camera* c, double radians, int space) {
    if (radians == 0) return;
    mat4 rotation;
    matrix_rotation_y(rotation, radians);
    turn(c, rotation, space);
}

void camera_rotate_z(camera* c, double radians, int space) {
    if (radians == 0) return;
    mat4 rotation;
    matrix_rotation_z(rotation, radians);
    turn(c, rotation, space);
}

double camera_get_head_angle(const camera* c) {
    const double h = rad_to_deg(safe_acos(c->matrix.m[0][0]));
    return camera_get_direction(c).y > 0 ? -h : h;
}

void camera_set_head_angle(camera* c, double degrees) {
    camera_rotate_z(c, deg_to_rad(degrees - full_turn_head_angle(c)), 0);
}

double camera_get_tilt(const camera* c) {
    return rad_to_deg(std::numbers::pi / 2 - safe_acos(camera_get_direction(c).z));
}

int camera_set_tilt(camera* c, double degrees) {
    if (degrees < -90 || degrees > 90) {
        report("camera_set_tilt: value must from -90 to 90");
        return -1;
    }
    const double now = std::numbers::pi / 2 - safe_acos(camera_get_direction(c).z);
    camera_rotate_y(c, deg_to_rad(degrees) - now, camera_space);
    return 0;
}

double camera_get_bank(const camera* c) { return rad_to_deg(bank_radians(c) - std::numbers::pi / 2); }

void camera_set_bank(camera* c, double degrees) {
    camera_rotate_x(c, bank_radians(c) - std::numbers::pi / 2 - deg_to_rad(degrees), camera_space);
}

vec3 camera_get_movement_target(const camera* c, const vec3& vector, int space) {
    vec3 target;
    if (space == camera_space) {
        mul_vec_mat3(target, vector, c->matrix);
    } else {
        target = location_of(c);
        vec_add(target, vector);
    }
    return target;
}

void camera_set_speed(camera* c, const vec3& velocity) {
    c->speed[0] = velocity.x;
    c->speed[1] = velocity.y;
    c->speed[2] = velocity.z;
    c->absolute_speed = vec_length(velocity);
}

void camera_set_absolute_speed(camera* c, double value) {
    vec3 direction{c->speed[0], c->speed[1], c->speed[2]};
    if (vec_normalize(direction) != 0) direction = {1, 0, 0};
    vec3 velocity;
    vec_scale(velocity, value, direction);
    camera_set_speed(c, velocity);
}

int camera_get_next_track_point(const camera* c) { return c ? track_next_point(c->track, location_of(c), 0) : 0; }

void camera_reset_track_target(camera* c) {
    track_set_target(c->track, location_of(c), camera_get_next_track_point(c));
}

int camera_save_values(const camera* c, camera_values* values) {
    if (!c || !values) return -1;
    values->own_culling_depth = c->own_culling_depth;
    values->culling_depth = c->culling_depth;
    values->distance_from_eye = c->distance_from_eye;
    values->width = c->width;
    values->height = c->height;
    values->field_of_view = c->field_of_view;
    values->location = location_of(c);
    camera_get_axes(c, values->x_axis, values->y_axis, values->z_axis);
    values->speed = {c->speed[0], c->speed[1], c->speed[2]};
    values->absolute_speed = c->absolute_speed;
    values->force = {c->force[0], c->force[1], c->force[2]};
    values->friction = c->friction;
    values->elasticity = c->elasticity;
    values->max_speed = c->max_speed;
    return 0;
}
