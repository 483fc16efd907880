// Clipping a polygon's points against one plane (the part in front of it and on it is kept).
#include "render/poly_clip.h"

#include "foundation/errors.h"

namespace {

constexpr double clip_tolerance = 1e-6;

vec3 position(const clip_point& c) { return {c.x, c.y, c.z}; }

clip_point crossing(const plane& p, const clip_point& a, const clip_point& b) {
    const double va = plane_value(p, position(a));
    const double vb = plane_value(p, position(b));
    const double t = va / (va - vb);
    auto mix = [t](double u, double w) { return u + t * (w - u); };
    return {mix(a.x, b.x), mix(a.y, b.y), mix(a.z, b.z), mix(a.bitmap_x, b.bitmap_x),
            mix(a.bitmap_y, b.bitmap_y), mix(a.brightness, b.brightness)};
}

}  // namespace

int clip_poly_plane(const std::vector<clip_point>& in, std::vector<clip_point>& out, const plane& p) {
    out.clear();
    if (in.size() < 3) {
        report_error(1, "clip_poly_plane: less then 3 points in input poly");
        return 1;
    }
    bool any_in_front = false;
    const size_t n = in.size();
    for (size_t i = 0; i < n; ++i) {
        const clip_point& a = in[i];
        const clip_point& b = in[(i + 1) % n];
        const int ra = plane_point_relation(p, position(a), clip_tolerance);
        const int rb = plane_point_relation(p, position(b), clip_tolerance);
        if (ra != 2) out.push_back(a);
        if (ra == 3) any_in_front = true;
        if ((ra == 3 && rb == 2) || (ra == 2 && rb == 3)) out.push_back(crossing(p, a, b));
    }
    if (!any_in_front || out.size() < 3) {
        out.clear();
        return 1;
    }
    return 2;
}
