// Clipping a polygon's points against planes and the camera's frustum, and projecting them.
#pragma once
#include <vector>

#include "foundation/geometry.h"
#include "world/records.h"

// A point as the clipper carries it: position, bitmap cords and brightness.
struct clip_point {
    double x, y, z, bitmap_x, bitmap_y, brightness;
    double red = 0, green = 0, blue = 0;  // the point's colour, drawn by the 3D card
};

// A projected point relative to the screen centre: x to the right, y upward.
struct projected_point {
    double x, y;
};

// 1 when nothing is left (or fewer than 3 input points), 2 otherwise; `out` gets the kept polygon.
int clip_poly_plane(const std::vector<clip_point>& in, std::vector<clip_point>& out, const plane& p);
// Clips against the camera's near, left, right, top and bottom world planes, then a far plane
// far_distance ahead; `points` gets the result, `scratch` is work space. 2, or 1 when nothing is left.
int clip_poly_to_frustum(std::vector<clip_point>& points, std::vector<clip_point>& scratch, const camera* c,
                         double far_distance);
// Camera-space points to the screen: 0, or -1 for a point behind the near plane (or, with the
// check on, one off the picture).
int project_poly(const clip_point* points, int count, projected_point* out, const camera* c, int check);
int project_poly_parallel(const clip_point* points, int count, projected_point* out, const camera* c, int check);
// The largest camera-space x (the depth nearest the eye); 0 for an empty list.
double get_poly_max_x_value(const clip_point* points, int count);

namespace clip_texts {
inline constexpr const char* behind = "project_poly: x>back_plane in poly !";
inline constexpr const char* behind_value = "x=%lf\n";
inline constexpr const char* bad_points = "project_poly: BAD points";
inline constexpr const char* bad_parallel_points = "project_poly_parallel: Bad points";
inline constexpr const char* bad_points_line =
    "sx,sy=(%lf,%lf) px,py=(%lf,%lf) resx=%d resy=%d midx=%d, midy=%d\n";
inline constexpr const char* no_points = "get_poly_max_x_value: num_of_points<=0";
}  // namespace clip_texts
