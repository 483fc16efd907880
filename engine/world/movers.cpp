// The per-frame movers: one chase step of every dynamic object and camera scaled to real time,
// and the timed events of dynamic objects.
#include "world/movers.h"

#include <array>
#include <vector>

#include "foundation/engine_clock.h"
#include "foundation/errors.h"
#include "world/camera.h"
#include "world/chase.h"
#include "world/dynamic_fall.h"
#include "world/dynamic_object.h"
#include "world/dynamic_sequence3d.h"
#include "world/engine_state.h"

namespace {

constexpr double ms_to_seconds = 0.001;

void report_unsupported(const dynamic_object* d) {
    if (!dynamic_report_errors()) return;
    report_errorf(
        "engine_move_dynamic_objects: Chasing type %s (for object %s) is not supported yet\n\t\tCurrently available "
        "are: NO_CHASE, CHASE_TRACK, CHASE_TRACK_AIRPLANE, CHASE_LOCATION\n",
        d->chase.type_string ? d->chase.type_string : "", d->name ? d->name : "");
}

using offset3 = std::array<double, 3>;

// A step uses the chase offset turned into world axes by the mover's axes; returns the offset as set.
offset3 turn_chase_offset(chase_part& chase, const mat4& axes) {
    const offset3 unturned{chase.offset[0], chase.offset[1], chase.offset[2]};
    vec3 turned;
    vec_mul_rotation(turned, {unturned[0], unturned[1], unturned[2]}, axes);
    chase.offset[0] = turned.x;
    chase.offset[1] = turned.y;
    chase.offset[2] = turned.z;
    return unturned;
}

void restore_chase_offset(chase_part& chase, const offset3& unturned) {
    for (int i = 0; i < 3; ++i) chase.offset[i] = unturned[i];
}

void scale3(double* v, double k) {
    for (int i = 0; i < 3; ++i) v[i] *= k;
}

// The speeds of one step: per second until scaled by the time since the object's last step.
struct step_speeds {
    bool scaled = false;
    double elapsed = 0;
    double speed[3], absolute_speed, force[3], absolute_force;
};

step_speeds scale_to_elapsed_time(dynamic_object* d) {
    step_speeds saved;
    for (int i = 0; i < 3; ++i) {
        saved.speed[i] = d->speed[i];
        saved.force[i] = d->force[i];
    }
    saved.absolute_speed = d->absolute_speed;
    saved.absolute_force = d->absolute_force;
    const bool physics_collision = d->chase.type == CHASE_PHYSICS && d->chase_physics_collision;
    if (engine_state.time_based_objects != 1 || d->time_based != 1 || physics_collision) return saved;
    const uint32_t now = engine_clock_now();
    // The first step after a load moves unscaled; a step in the same millisecond moves nothing.
    if (d->last_tick != 0) {
        const int32_t ms = engine_clock_elapsed(now, d->last_tick);
        saved.elapsed = ms > 0 ? ms * ms_to_seconds : 0;
        saved.scaled = true;
        scale3(d->speed, saved.elapsed);
        scale3(d->force, saved.elapsed);
        d->absolute_speed *= saved.elapsed;
        d->absolute_force *= saved.elapsed;
    }
    d->last_tick = now;
    return saved;
}

// Per-second speeds again: the ones kept aside, or for physics the step's result per second.
void restore_speeds(dynamic_object* d, const step_speeds& saved) {
    if (!saved.scaled) return;
    if (d->chase.type == CHASE_PHYSICS && saved.elapsed > 1e-6) {
        scale3(d->speed, 1 / saved.elapsed);
        scale3(d->force, 1 / saved.elapsed);
        d->absolute_speed /= saved.elapsed;
        d->absolute_force /= saved.elapsed;
        return;
    }
    for (int i = 0; i < 3; ++i) {
        d->speed[i] = saved.speed[i];
        d->force[i] = saved.force[i];
    }
    d->absolute_speed = saved.absolute_speed;
    d->absolute_force = saved.absolute_force;
}

vec3 target_of(const track_part& track) { return {track.target[0], track.target[1], track.target[2]}; }

void put_target(track_part& track, const vec3& on_track) {
    track.target[0] = on_track.x;
    track.target[1] = on_track.y;
    track.target[2] = on_track.z;
}

// A track step that falls onto the ground: the step runs on the track's own height and the
// object is then put down on what lies beneath.
void track_step_with_fall(dynamic_object* d, void (*step)(dynamic_object*)) {
    if (d->fall_flag != 1) {
        step(d);
        return;
    }
    dynamic_set_location(d, target_of(d->track));
    step(d);
    put_target(d->track, dynamic_get_location(d));
    dynamic_fall_down(d, 0);
}

void step_by_type(dynamic_object* d, const offset3& unturned_offset, double elapsed, bool scaled) {
    switch (d->chase.type) {
        case CHASE_LOCATION:
            restore_chase_offset(d->chase, unturned_offset);
            dynamic_trace_location(d);
            break;
        case CHASE_PRECISE:
            dynamic_trace_precise(d);
            break;
        case CHASE_PHYSICS:
            dynamic_physics_step(d, elapsed, scaled);
            dynamic_trace_physics(d);
            break;
        case CHASE_TRACK:
            track_step_with_fall(d, dynamic_trace_track);
            break;
        case CHASE_TRACK_AIRPLANE:
            track_step_with_fall(d, dynamic_trace_track_airplane);
            break;
        default:
            report_unsupported(d);
    }
}

void report_unsupported(const camera* c) {
    if (!camera_report_errors()) return;
    report_errorf(
        "engine_move_cameras: Chasing type %s (for camera %s) is not supported yet\n\t\tCurrently available are: "
        "CHASE_TRACK, NO_CHASE, CHASE_LOCATION, CHASE_PRECISE, CHASE_FLEXIBLE\n",
        c->chase.type_string ? c->chase.type_string : "", c->name ? c->name : "");
}

// The camera's speed for this step: by the time since its last step; the first step (no last tick
// yet) and a second step in the same millisecond move nothing. The per-second speed is returned.
double scale_camera_speed(camera* c) {
    const double per_second = c->absolute_speed;
    if (!engine_state.time_based_cameras || c->time_based != 1) return per_second;
    const uint32_t now = engine_clock_now();
    const int32_t ms = c->last_tick != 0 ? engine_clock_elapsed(now, c->last_tick) : 0;
    c->absolute_speed = (ms > 0 ? ms * ms_to_seconds : 0) * per_second;
    c->last_tick = now;
    return per_second;
}

void camera_track_step_with_fall(camera* c) {
    if (c->fall_flag != 1) {
        camera_trace_track(c);
        return;
    }
    camera_set_location(c, target_of(c->track));
    camera_trace_track(c);
    put_target(c->track, camera_get_location(c));
    camera_fall_down(c, c->fall_pass_through);
}

}  // namespace

void engine_move_cameras(camera* c) {
    if (!c || c->chase.type == NO_CHASE) return;
    if (!c->matrices_valid) camera_mark_rebuilt(c);
    const offset3 unturned = turn_chase_offset(c->chase, c->matrix);
    const double per_second = scale_camera_speed(c);
    switch (c->chase.type) {
        case CHASE_LOCATION: camera_trace_location(c); break;
        case CHASE_PRECISE: camera_trace_precise(c); break;
        case CHASE_FLEXIBLE: camera_trace_flexible(c); break;
        case CHASE_TRACK: camera_track_step_with_fall(c); break;
        default: report_unsupported(c);
    }
    restore_chase_offset(c->chase, unturned);
    c->absolute_speed = per_second;
}

void engine_move_all_cameras() {
    for (camera* c = engine_state.cameras; c; c = c->next) engine_move_cameras(c);
}

void engine_move_dynamic_objects(dynamic_object* d) {
    if (!d || d->chase.type == NO_CHASE) return;
    const offset3 unturned = turn_chase_offset(d->chase, d->axis_system);
    const step_speeds saved = scale_to_elapsed_time(d);
    d->distance_counter += d->absolute_speed;
    step_by_type(d, unturned, saved.elapsed, saved.scaled);
    restore_chase_offset(d->chase, unturned);
    restore_speeds(d, saved);
}

void engine_move_all_dynamic_objects() {
    for (dynamic_object* d = engine_state.dynamic_objects; d; d = d->next) {
        if (d->disabled) continue;
        if (!d->no_automatic_advance) engine_move_dynamic_objects(d);
        dynamic_step_3D_animation(d);
    }
}

void engine_run_dynamic_events() {
    if (!engine_state.dynamic_objects) return;
    const uint32_t now = engine_clock_now();
    std::vector<dynamic_object*> due;
    for (dynamic_object* d = engine_state.dynamic_objects; d; d = d->next) {
        if (engine_clock_is_due(d->event_time, now)) due.push_back(d);
    }
    // An event may delete more than its own object: each one is looked up on the list again.
    for (dynamic_object* d : due) {
        for (dynamic_object* e = engine_state.dynamic_objects; e; e = e->next) {
            if (e == d) {
                dynamic_do_event(d);
                break;
            }
        }
    }
}

void dynamic_do_event(dynamic_object* d) {
    if (!d) return;
    const int kind = d->event;
    d->event_time = 0;
    if (kind == 1) {
        dynamic_delete(d);
    } else if (kind == 2) {
        dynamic_disable(d);
    } else if (dynamic_report_errors()) {
        report_error(1, "dynamic_do_event: unknown event\n");
    }
}
