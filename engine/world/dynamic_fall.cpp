// Dynamic objects against the world: falling onto what lies beneath and testing a move.
#include "world/dynamic_fall.h"

#include "foundation/errors.h"
#include "world/dynamic_object.h"

namespace {

constexpr double far_away = 1e100;
constexpr int most_stacked = 1000;

void report(const char* text) {
    if (dynamic_report_errors()) report_error(1, text);
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
    if (stacked == 1) {
        int rounds = 0;
        while (hit.object && hit.object != d) {
            if (++rounds > most_stacked) {
                report("dynamic_fall_down: very strange !\n");
                break;
            }
            const vec3 from = dynamic_get_location(hit.object);
            if (is_movement_possible(hit.object, from, {from.x, from.y, -far_away}, hit) == 1) return -1;
        }
    }
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
