// Tracks: the polylines that dynamic objects and cameras follow.
#pragma once
#include <string>

#include "foundation/geometry.h"
#include "world/records.h"

int& track_report_errors();

jtrack* init_jtrack();
// A new track with its name made unique on the list and a copy of the points, pushed on the list.
jtrack* track_create(jtrack** list, const char* name, int cyclic, const double* points, int count);
// 0, with a "_<n>" suffix added to a taken name; -1 when every suffix is taken.
int trk_find_unique_name(jtrack* list, std::string& name);
// The first track of the given name, letter case ignored.
jtrack* track_find(jtrack* list, const char* name);
// Replaces the points with a copy of `count` x, y, z triples; 0 / -1.
int track_set_points(jtrack* track, const double* points, int count);
// Shortens the track to its first `count` points; a count above the points held is refused: 0 / -1.
int track_set_number_of_points(jtrack* track, int count);
// Clears every link of the world's objects and cameras to the track, as setting no track does.
void track_unhook(jtrack* track);
void track_delete(jtrack* track);
void track_delete_all(jtrack** list);

// The point nearest the location (the first of equals); -1 for a track without points.
int track_find_closest_point(const jtrack* track, const vec3& location);
// Moves `distance` along the track from `location` (less the offset) toward the next point and
// writes the new location (offset added); returns the new next point.
int track_advance(const jtrack* track, const vec3& offset, const vec3& location, int next_point, double distance,
                  vec3& out);
// The old direction turned by `factor` toward the next point (1: straight at it); a direction
// that comes out zero keeps the old one.
void track_get_direction(const jtrack* track, const vec3& position, const vec3& old_direction, int next_point,
                         double factor, vec3& out);

// The settings of a mover's track part a file or a group keeps: the name and the offset.
void track_copy_settings(track_part& to, const track_part& from);
// The point after the one nearest the location (less the offset), 0 past the last point; `none`
// without a track or points.
int track_next_point(const track_part& track, const vec3& location, int none);
// Sets the target to the location, at the height of the next point (offset added) where that
// point exists.
void track_set_target(track_part& track, const vec3& location, int next_point);
// Sets the next point to `index` clamped to the track's points; -1 when it had to be clamped or
// there is no track with points, else 0.
int track_set_next_point(track_part& track, int index);
