// Chase type codes and their keywords (with the optional "_FALL<height>" suffix), and the chase
// steps of dynamic objects and cameras.
#include "world/chase.h"

#include <algorithm>
#include <cmath>

#include "foundation/errors.h"
#include "foundation/strings.h"
#include "platform/numbers.h"
#include "world/camera.h"
#include "world/collision.h"
#include "world/dynamic_object.h"
#include "world/group.h"
#include "world/track.h"

namespace {
struct chase_word {
    const char* keyword;
    int code;
};
constexpr chase_word words[] = {{"NO_CHASE", NO_CHASE},           {"CHASE_LOCATION", CHASE_LOCATION},
                                {"CHASE_PRECISE", CHASE_PRECISE}, {"CHASE_FLEXIBLE", CHASE_FLEXIBLE},
                                {"CHASE_PHYSICS", CHASE_PHYSICS}, {"CHASE_TRACK", CHASE_TRACK},
                                {"CHASE_TRACK_AIRPLANE", CHASE_TRACK_AIRPLANE}};

constexpr int deepest_bounce = 1000;
constexpr double max_bank = 45;

void report(const char* text) {
    if (dynamic_report_errors()) report_error(1, text);
}

vec3 row(const mat4& m, int r) { return {m.m[r][0], m.m[r][1], m.m[r][2]}; }

// Where the chased entity stands and, for objects and cameras, its axes.
struct chase_frame {
    bool found = false;
    bool group_only = false;
    vec3 location{0, 0, 0};
    vec3 x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1};
};

chase_frame frame_of(const chase_part& chase) {
    const dynamic_object* object = chase.chased_object;
    const camera* cam = chase.chased_camera;
    const group* g = chase.chased_group;
    chase_frame f;
    if (object) {
        f.found = true;
        dynamic_get_axis_system(object, f.x, f.y, f.z);
        f.location = dynamic_get_location(object);
    } else if (cam) {
        f.found = true;
        camera_get_axes(cam, f.x, f.y, f.z);
        f.location = camera_get_location(cam);
    } else if (g) {
        f.found = true;
        f.group_only = true;
        group_get_center(g, f.location);
    }
    return f;
}

vec3 blend(double f, const vec3& a, const vec3& b) {
    vec3 out, other;
    vec_scale(out, f, a);
    vec_scale(other, 1 - f, b);
    vec_add(out, other);
    return out;
}

vec3 offset_of(const chase_part& chase) { return {chase.offset[0], chase.offset[1], chase.offset[2]}; }

vec3 offset_of(const track_part& track) { return {track.offset[0], track.offset[1], track.offset[2]}; }

// The axes and location of a precise chase: the own axes blended toward the target's by the
// softness and repaired into a basis, the place the chase distance along the new x axis.
struct precise_place {
    vec3 axes[3];
    vec3 location;
};

bool precise_placement(const chase_part& chase, const vec3 own[3], const char* group_message, precise_place& out) {
    const chase_frame f = frame_of(chase);
    if (f.group_only) {
        report(group_message);
        return false;
    }
    if (!f.found) return false;
    const double k = chase.softness;
    const vec3 target[3] = {f.x, f.y, f.z};
    for (int i = 0; i < 3; ++i) out.axes[i] = blend(k, target[i], own[i]);
    if (repair_basis(out.axes[0], out.axes[1], out.axes[2]) != 0) return false;
    vec3 behind;
    vec_scale(behind, chase.distance, out.axes[0]);
    out.location = f.location;
    vec_add(out.location, behind);
    vec_add(out.location, offset_of(chase));
    return true;
}

// A track step by the mover's absolute speed from where it stands: its new next point, and the
// location and direction it takes.
void track_placement(track_part& track, double speed, const vec3& from, const vec3& old_direction, double factor,
                     vec3& location, vec3& direction) {
    const vec3 offset = offset_of(track);
    track.next_point = track_advance(track.line, offset, from, track.next_point, speed, location);
    vec3 on_track = location;
    vec_sub(on_track, offset);
    track_get_direction(track.line, on_track, old_direction, track.next_point, factor, direction);
}

void step_along_track(dynamic_object* d, double factor) {
    vec3 location, direction;
    track_placement(d->track, d->absolute_speed, dynamic_get_location(d), dynamic_get_direction(d), factor, location,
                    direction);
    dynamic_set_location(d, location);
    dynamic_set_direction(d, direction);
}

double wrap_degrees(double c) {
    if (c >= 360) {
        c -= 360;
    } else if (c < -360) {
        c += 360;
    }
    if (c > 180) c -= 360;
    if (c < -180) c += 360;
    return c;
}

double clamp_bank(double b) { return b < -max_bank ? -max_bank : b > max_bank ? max_bank : b; }

}  // namespace

int chase_convert_string_to_number(const char* text, double* height, int* fall_flag) {
    if (!text) return NO_CHASE;
    std::string keyword = text;
    const char* fall = jstristr(text, "_FALL");
    if (fall) {
        keyword.resize(static_cast<size_t>(fall - text));
        *fall_flag = 1;
        double value = 0;
        if (plat_sscanf(fall + 5, "%lf", &value) != 1)
            report_error(1, "chase_convert_string_to_number: coudnt extract the number after FALL\n");
        *height = value;
    }
    for (const chase_word& w : words) {
        if (jstricmp(keyword.c_str(), w.keyword) == 0) return w.code;
    }
    report_errorf("chase_convert_string_to_number: Chasing type %s is not supported yet\n", text);
    return NO_CHASE;
}

std::string chase_convert_number_to_string(int code, int fall_flag, double height) {
    std::string text = "NO_CHASE";
    for (const chase_word& w : words) {
        if (w.code == code) text = w.keyword;
    }
    if (fall_flag == 1) text += plat_format("_FALL%G", height);
    return text;
}

void chase_copy_settings(chase_part& to, const chase_part& from) {
    jstrcpy_with_allocating(&to.name, from.name);
    std::copy(from.offset, from.offset + 3, to.offset);
    jstrcpy_with_allocating(&to.type_string, from.type_string);
    to.softness = from.softness;
    to.distance = from.distance;
}

void chase_set_target(chase_part& chase, camera* target_camera, dynamic_object* target_object, group* target_group,
                      const char* target_name) {
    chase.chased_camera = target_camera;
    chase.chased_object = target_object;
    chase.chased_group = target_group;
    jstrcpy_with_allocating(&chase.name, target_name);
}

bool chase_set_type(chase_part& chase, int type, int fall_flag, double fall_height) {
    if (chase.type == type) return false;
    chase.type = type;
    const std::string name = chase_convert_number_to_string(type, fall_flag, fall_height);
    jstrcpy_with_allocating(&chase.type_string, name.c_str());
    return true;
}

void dynamic_trace_location(dynamic_object* d) {
    if (!d) return;
    const chase_frame f = frame_of(d->chase);
    if (!f.found) return;
    vec3 location = f.location;
    vec_add(location, offset_of(d->chase));
    dynamic_set_axis_system(d, {1, 0, 0}, {0, 1, 0}, {0, 0, 1});
    dynamic_set_location(d, location);
}

void dynamic_trace_precise(dynamic_object* d) {
    if (!d) return;
    precise_place place;
    const vec3 own[3] = {row(d->total_matrix, 0), row(d->total_matrix, 1), row(d->total_matrix, 2)};
    if (!precise_placement(d->chase, own, "dynamic_trace_precise: chasing a group is not supported yet !!\n", place))
        return;
    dynamic_set_axis_system(d, place.axes[0], place.axes[1], place.axes[2]);
    dynamic_set_location(d, place.location);
}

void dynamic_trace_track(dynamic_object* d) {
    if (d && d->track.line) step_along_track(d, d->chase.softness);
}

void dynamic_trace_track_airplane(dynamic_object* d) {
    if (!d || !d->track.line) return;
    const double head = dynamic_get_head(d);
    double bank = dynamic_get_bank(d);
    step_along_track(d, 1);
    const double change = wrap_degrees(dynamic_get_head(d) - head);
    double target = -10 * change;
    if (bank * target >= 0 && std::fabs(bank) >= 1e-10 && target / bank >= 1 && target / bank < 10) {
        bank *= 0.9;
    } else {
        target = clamp_bank(target);
        bank += 0.1 * (target - bank);
    }
    bank = clamp_bank(bank);
    dynamic_set_direction(d, dynamic_get_direction(d));
    dynamic_set_bank(d, bank);
    dynamic_rotate_z(d, deg_to_rad(-0.1 * bank), space_world);
}

void dynamic_trace_physics(dynamic_object* d) {
    if (!d) return;
    vec3 from = dynamic_get_location(d);
    vec3 to = from;
    vec_add(to, {d->speed[0], d->speed[1], d->speed[2]});
    if (d->chase_physics_collision) {
        // Disabled for the test so that the object does not collide with itself.
        const int was_disabled = d->disabled;
        d->disabled = 1;
        dynamic_move_according_to_physics_recursive(d, from, to, d->absolute_speed, 0);
        d->disabled = was_disabled;
    }
    dynamic_set_location(d, to);
}

double dynamic_move_according_to_physics_recursive(dynamic_object* d, vec3& from, vec3& to, double remaining,
                                                   int depth) {
    for (;; ++depth) {
        if (remaining <= 0) return 0;
        if (depth > deepest_bounce) {
            report("dynamic_move_according_to_physics_recursive: Warning recurursion is too deep. Exiting.\n");
            return 0;
        }
        collision_hit hit;
        if (is_movement_possible(d, from, to, hit) == 1) return 0;
        vec3 v = to;
        vec_sub(v, from);
        vec3 unit = v;
        vec_normalize(unit);
        vec3 beyond = unit;
        vec_scale(beyond, 0.1, beyond);
        vec_add(beyond, to);
        vec3 normal;
        if (calculate_combined_normal(normal, from, beyond) == 0 || vec_length(normal) == 0) {
            normal = {hit.polygon_hit->plane[0], hit.polygon_hit->plane[1], hit.polygon_hit->plane[2]};
        }
        vec3 direction = unit;
        if (vec_dot(normal, v) < 0) {
            if (plane_get_reflected_direction(v, {normal.x, normal.y, normal.z, 0}, direction) != 0) {
                report("dynamic_move_according_to_physics_recursive: plane_get_reflected_direction failed\n");
                return 0;
            }
            vec_normalize(direction);
        }
        remaining -= vec_distance(hit.point, from);
        if (remaining < 0 && remaining >= -1e-8) remaining = 0;
        if (remaining < -1e-8) {
            report("dynamic_move_according_to_physics_recursive: internal error\n");
            return 0;
        }
        from = to = hit.point;
        remaining *= d->elasticity;
        vec3 speed;
        vec_scale(speed, d->absolute_speed * d->elasticity, direction);
        dynamic_set_speed(d, speed);
        vec3 step;
        vec_scale(step, remaining, direction);
        vec_add(to, step);
        vec_scale(step, 1e-8, direction);
        vec_add(from, step);
        if (remaining <= 1e-8) vec_add(to, step);
    }
}

void camera_trace_location(camera* c) {
    if (!c) return;
    const chase_frame f = frame_of(c->chase);
    if (!f.found) return;
    vec3 location = f.location;
    vec_add(location, offset_of(c->chase));
    camera_set_location(c, location);
}

void camera_trace_precise(camera* c) {
    if (!c) return;
    precise_place place;
    vec3 own[3];
    camera_get_axes(c, own[0], own[1], own[2]);
    if (!precise_placement(c->chase, own, "camera_trace_precise: chasing a group is not supported yet !!\n", place))
        return;
    camera_set_axes(c, place.axes[0], place.axes[1], place.axes[2]);
    camera_set_location(c, place.location);
}

void camera_trace_flexible(camera* c) {
    if (!c) return;
    const chase_frame f = frame_of(c->chase);
    if (f.group_only) {
        report("camera_trace_flexible: chasing a group is not supported yet !!\n");
        return;
    }
    if (!f.found) return;
    const vec3 d = camera_get_direction(c);
    const double k = c->chase.softness;
    vec3 direction{d.y, -d.x, d.z};
    if (vec_dot(f.x, d) <= 0.999) {
        vec3 back = f.x;
        vec_negate(back);
        direction = blend(k, back, d);
        if (vec_length(direction) == 0) direction = back;
    }
    camera_set_direction(c, direction);
    // P lies the chase distance behind the target; Q keeps the distance from where the camera is.
    vec3 p, q, v = camera_get_location(c), step;
    vec_scale(step, c->chase.distance, f.x);
    p = f.location;
    vec_add(p, step);
    vec_sub(v, offset_of(c->chase));
    vec_sub(v, f.location);
    vec_normalize(v);
    vec_scale(step, c->chase.distance, v);
    q = f.location;
    vec_add(q, step);
    vec3 toward = p;
    vec_sub(toward, q);
    vec_scale(toward, k, toward);
    vec_add(q, toward);
    vec_add(q, offset_of(c->chase));
    camera_set_location(c, q);
}

void camera_trace_track(camera* c) {
    if (!c || !c->track.line) return;
    vec3 location, direction;
    track_placement(c->track, c->absolute_speed, camera_get_location(c), camera_get_direction(c), c->chase.softness,
                    location, direction);
    camera_set_location(c, location);
    camera_set_direction(c, direction);
}
