// Dynamic objects and cameras against the world: falling onto what lies beneath, testing a move.
#include "world/dynamic_fall.h"

#include "foundation/errors.h"
#include "world/camera.h"
#include "world/dynamic_object.h"

namespace {

constexpr double far_away = 1e100;
constexpr int most_stacked = 1000;

void report(const char* text) {
    if (dynamic_report_errors()) report_error(1, text);
}

// Repeats the downward test from each dynamic object hit, ignoring it; false when the way down is
// then free.
bool pass_through_objects(collision_hit& hit, const dynamic_object* faller) {
    int rounds = 0;
    while (hit.object && hit.object != faller) {
        if (++rounds > most_stacked) {
            report("dynamic_fall_down: very strange !\n");
            break;
        }
        const vec3 from = dynamic_get_location(hit.object);
        if (is_movement_possible(hit.object, from, {from.x, from.y, -far_away}, hit) == 1) return false;
    }
    return true;
}

}  // namespace

int dynamic_fall_down(dynamic_object* d, int stacked) {
    if (!d) return -1;
    const vec3 at = dynamic_get_location(d);
    collision_hit hit;
    if (is_movement_possible(d, at, {at.x, at.y, -far_away}, hit) == 1 &&
        is_movement_possible(d, at, {at.x, at.y, far_away}, hit) == 1) {
        report("dynamic_fall_down: Very weird nothing beneath and nothing above !\n");
        engine_log_printf("\t\tEmty location (x,y, t)== (% lG, % lG, t)\n", at.x, at.y);
        return -1;
    }
    if (stacked == 1 && !pass_through_objects(hit, d)) return -1;
    dynamic_set_location(d, {hit.point.x, hit.point.y, hit.point.z + d->fall_height});
    return 0;
}

int dynamic_is_movement_possible(dynamic_object* d, const vec3& v, int space, collision_hit& hit) {
    hit = collision_hit{};
    if (!d) return 1;
    const vec3 from = dynamic_get_location(d);
    vec3 to = v;
    if (space == space_object) {
        vec_mul_rotation(to, v, d->axis_system);
    }
    vec_add(to, from);
    return is_movement_possible(d, from, to, hit);
}

int camera_fall_down(camera* c, int pass_through) {
    if (!c) return -1;
    const vec3 at = camera_get_location(c);
    collision_hit hit;
    if (is_movement_possible(nullptr, at, {at.x, at.y, -far_away}, hit) == 1) return -1;
    if (pass_through == 1 && !pass_through_objects(hit, nullptr)) return -1;
    camera_set_location(c, {hit.point.x, hit.point.y, hit.point.z + c->fall_height});
    return 0;
}

int camera_is_movement_possible(const camera* c, const vec3& v, int space, collision_hit& hit) {
    hit = collision_hit{};
    if (!c) return 1;
    return is_movement_possible(nullptr, camera_get_location(c), camera_get_movement_target(c, v, space), hit);
}
