// Drawing one world polygon: back-face test, translucent passes, patches, texture animation,
// rotated polygons, frustum clipping, camera space and projection, then the back-end.
#pragma once
#include <vector>

#include "world/poly_clip.h"
#include "world/records.h"

void draw_polygon_timed(polygon* p, camera* c);
void draw_polygon(polygon* p, camera* c);
void draw_polygon_patches(polygon* p, camera* c);
// Turns the points about the vertical axis through the polygon's centre to face the eye and sets
// the polygon's plane to match; -1 when eye and centre stand on one vertical line.
int calc_rotated_object_points(polygon* p, std::vector<clip_point>& points, const vec3& eye);
// A frame copy of a dynamic object's polygon: points carried through the matrix, plane
// recomputed; the copy takes over the marked-polygon role.
void polygon_copy_transformed(polygon& copy, std::vector<clip_point>& points, polygon* p, const mat4& matrix);
// Hands an animated copy's texture state and the marked-polygon role back to the polygon.
void polygon_copy_back(polygon* p, const polygon& copy);

namespace draw_polygon_texts {
inline constexpr const char* no_inverse = "draw_polygon: failed inverting mat";
inline constexpr const char* no_rotation_normal = "calc_rotated_object_points: couldnt calculate rotated object normal";
inline constexpr const char* failed = "poly %s failed\n";
}  // namespace draw_polygon_texts
