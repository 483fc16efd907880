// Screen picking: the point of a window turned into the polygon and the world point under it.
#pragma once
#include "foundation/geometry.h"
#include "world/records.h"

// The camera-space point of the screen plane under the window point; 0, or -1 for a NULL camera,
// a zero window size or a parallel camera with a zero scale (out is then (0, 0, 0)).
int engine_2D_point_to_3D_point_on_plane(const camera* c, int x, int y, vec3& out, int window_width,
                                         int window_height);
// The first polygon hit by the ray through the window point from the current camera, the world
// point and the dynamic object hit: 0. When nothing is hit: -1, and out is the screen-plane point
// (camera space) scaled by 1,000,000.
int engine_2D_point_to_3D(int x, int y, vec3& out, polygon** out_polygon, dynamic_object** out_object,
                          int window_width, int window_height);
polygon* engine_mark_polygon_at_point(int x, int y, int window_width, int window_height);
