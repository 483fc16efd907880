// Clipping a polygon's points against one plane (the part in front of it and on it is kept).
#pragma once
#include <vector>

#include "foundation/geometry.h"

// A point as the clipper carries it: position, bitmap cords and brightness.
struct clip_point {
    double x, y, z, bitmap_x, bitmap_y, brightness;
};

// 1 when nothing is left (or fewer than 3 input points), 2 otherwise; `out` gets the kept polygon.
int clip_poly_plane(const std::vector<clip_point>& in, std::vector<clip_point>& out, const plane& p);
