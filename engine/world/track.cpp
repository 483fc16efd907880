// Tracks: the polylines that dynamic objects and cameras follow.
#include "world/track.h"

#include <algorithm>
#include <cmath>

#include "foundation/dictionary.h"
#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/registry.h"
#include "foundation/strings.h"
#include "world/camera.h"
#include "world/engine_state.h"
#include "world/entity_list.h"

namespace {

void report(const char* text) {
    if (track_report_errors()) report_error(1, text);
}

vec3 track_point(const jtrack* t, int i) { return {t->points[3 * i], t->points[3 * i + 1], t->points[3 * i + 2]}; }

void clear_object_links(dynamic_object* list, const jtrack* track, int depth) {
    if (depth > 1000) return;
    for (dynamic_object* d = list; d; d = d->next) {
        if (d->track.line == track) {
            d->track.line = nullptr;
            d->track.name = static_cast<char*>(engine_free(d->track.name));
        }
        clear_object_links(d->first_son, track, depth + 1);
    }
}

// Walks `distance` along the track from `position` on segment a (a to a + 1). The walk ends on
// the last point of an open track; on a cyclic one a whole lap that gains no distance (all points
// coincident) ends it where it is.
int track_step(const jtrack* t, vec3 position, double distance, int a, vec3& out) {
    double lap_start = distance;
    int steps = 0;
    for (;;) {
        int n = a + 1;
        if (n >= t->point_count) {
            if (!t->cyclic) {
                out = track_point(t, a);
                return a;
            }
            n = 0;
        }
        const vec3 target = track_point(t, n);
        const double b = vec_distance(target, position);
        if (b < distance) {
            position = target;
            distance -= b;
            a = n;
            if (++steps >= t->point_count) {
                if (distance >= lap_start) {
                    out = position;
                    return a;
                }
                lap_start = distance;
                steps = 0;
            }
            continue;
        }
        if (b >= 1e-20) {
            vec3 step = target;
            vec_sub(step, position);
            vec_scale(step, distance / b, step);
            out = position;
            vec_add(out, step);
            return a;
        }
        out = target;
        return n;
    }
}

}  // namespace

int& track_report_errors() {
    static int flag = 1;
    return flag;
}

jtrack* init_jtrack() {
    jtrack* t = record_new<jtrack>(kind_track);
    if (!t) report("init_jtrack: failed to alloc mem\n");
    return t;
}

int trk_find_unique_name(jtrack* list, std::string& name) {
    return find_unique_name(
        name, [list](const std::string& n) { return track_find(list, n.c_str()) != nullptr; }, false,
        "trk_find_unique_name");
}

jtrack* track_create(jtrack** list, const char* name, int cyclic, const double* points, int count) {
    if (!list) return nullptr;
    jtrack* t = init_jtrack();
    if (!t) return nullptr;
    std::string unique = name ? name : "";
    if (trk_find_unique_name(*list, unique) != 0 || !jstrcpy_with_allocating(&t->name, unique.c_str()) ||
        track_set_points(t, points, count) != 0) {
        track_delete(t);
        return nullptr;
    }
    t->cyclic = cyclic;
    list_push(list, t);
    return t;
}

jtrack* track_find(jtrack* list, const char* name) {
    if (!name) return nullptr;
    for (; list; list = list->next) {
        if (list->name && jstricmp(list->name, name) == 0) return list;
    }
    return nullptr;
}

int track_set_points(jtrack* track, const double* points, int count) {
    if (!track || count < 0 || (count > 0 && !points)) return -1;
    double* copy = nullptr;
    if (count > 0) {
        copy = static_cast<double*>(engine_alloc(sizeof(double) * 3 * static_cast<size_t>(count)));
        if (!copy) return -1;
        for (int i = 0; i < 3 * count; ++i) copy[i] = points[i];
    }
    engine_free(track->points);
    track->points = copy;
    track->point_count = count;
    track->points_held = count;
    return 0;
}

int track_set_number_of_points(jtrack* track, int count) {
    if (!track || count < 0 || count > track->points_held) return -1;
    track->point_count = count;
    return 0;
}

void track_unhook(jtrack* track) {
    if (!track) return;
    clear_object_links(engine_state.dynamic_objects, track, 0);
    for (camera* c = engine_state.cameras; c; c = c->next) {
        if (c->track.line != track) continue;
        c->track.line = nullptr;
        jstrcpy_with_allocating(&c->track.name, "NO_TRACK");
    }
}

void track_delete(jtrack* track) {
    if (!track) return;
    track_unhook(track);
    engine_free(track->name);
    engine_free(track->points);
    record_destroy(track);
}

void track_delete_all(jtrack** list) {
    if (!list) return;
    while (*list) {
        jtrack* t = *list;
        *list = t->next;
        track_delete(t);
    }
}

int track_find_closest_point(const jtrack* track, const vec3& location) {
    if (!track || !track->points || track->point_count <= 0) return -1;
    int best = -1;
    double best_distance = 0;
    for (int i = 0; i < track->point_count; ++i) {
        const double d = vec_square_distance(track_point(track, i), location);
        if (best < 0 || d < best_distance) {
            best = i;
            best_distance = d;
        }
    }
    return best;
}

int track_advance(const jtrack* track, const vec3& offset, const vec3& location, int next_point, double distance,
                  vec3& out) {
    out = location;
    if (!track || !track->points || track->point_count <= 0) return next_point;
    const int last = track->point_count - 1;
    vec3 position = location;
    vec_sub(position, offset);
    int a = next_point - 1;
    if (a < 0 || a > last) a = last;
    const int r = track_step(track, position, distance, a, out);
    int next = r + 1;
    if (next >= track->point_count) next = track->cyclic ? 0 : last;
    vec_add(out, offset);
    return next;
}

void track_get_direction(const jtrack* track, const vec3& position, const vec3& old_direction, int next_point,
                         double factor, vec3& out) {
    out = old_direction;
    if (!track || !track->points || next_point < 0 || next_point >= track->point_count) return;
    const vec3 target = track_point(track, next_point);
    vec3 from = position;
    if (std::fabs(position.x - target.x) < 1e-10 && std::fabs(position.y - target.y) < 1e-10 &&
        std::fabs(position.z - target.z) < 1e-10) {
        from = track_point(track, next_point > 0 ? next_point - 1 : 0);
    }
    vec3 q = target;
    vec_sub(q, from);
    if (vec_normalize(q) != 0) q = {0, 0, 0};
    vec_scale(q, factor, q);
    vec3 blended;
    vec_scale(blended, 1 - factor, old_direction);
    vec_add(blended, q);
    if (vec_normalize(blended) == 0) out = blended;
}

void track_copy_settings(track_part& to, const track_part& from) {
    jstrcpy_with_allocating(&to.name, from.name);
    std::copy(from.offset, from.offset + 3, to.offset);
}

int track_next_point(const track_part& track, const vec3& location, int none) {
    if (!track.line) return none;
    const vec3 at{location.x - track.offset[0], location.y - track.offset[1], location.z - track.offset[2]};
    const int closest = track_find_closest_point(track.line, at);
    if (closest < 0) return none;
    return closest + 1 >= track.line->point_count ? 0 : closest + 1;
}

void track_set_target(track_part& track, const vec3& location, int next_point) {
    track.target[0] = location.x;
    track.target[1] = location.y;
    track.target[2] = location.z;
    const jtrack* t = track.line;
    if (t && t->points && next_point >= 0 && next_point < t->point_count)
        track.target[2] = t->points[3 * next_point + 2] + track.offset[2];
}

int track_set_next_point(track_part& track, int index) {
    // A track without points counts as none: a clamp would store -1.
    if (!track.line || track.line->point_count < 1) return -1;
    const int count = track.line->point_count;
    track.next_point = std::clamp(index, 0, count - 1);
    return index < 0 || index >= count ? -1 : 0;
}
