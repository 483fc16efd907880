// Tracks: the polylines that dynamic objects and cameras follow.
#pragma once
#include "foundation/geometry.h"
#include "world/records.h"

// The point nearest the location (the first of equals); -1 for a track without points.
int track_find_closest_point(const jtrack* track, const vec3& location);
