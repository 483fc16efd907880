// Tracks: the polylines that dynamic objects and cameras follow.
#include "world/track.h"

int track_find_closest_point(const jtrack* track, const vec3& location) {
    if (!track || !track->points || track->point_count <= 0) return -1;
    int best = -1;
    double best_distance = 0;
    for (int i = 0; i < track->point_count; ++i) {
        const vec3 p{track->points[3 * i], track->points[3 * i + 1], track->points[3 * i + 2]};
        const double d = vec_square_distance(p, location);
        if (best < 0 || d < best_distance) {
            best = i;
            best_distance = d;
        }
    }
    return best;
}
