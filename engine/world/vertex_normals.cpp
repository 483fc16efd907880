// Vertex normals through an index of point positions: coinciding points are looked up among the
// few that share their position cell, never by scanning every polygon.
#include "world/vertex_normals.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "world/group.h"
#include "world/polygon.h"

namespace {

// Cells of 1/1024 on each axis: a power of two, so a cell number is an exact product.
constexpr double cells_per_unit = 1024;
// Wider than the tolerance, so a point's neighbours are always in the cells visited.
constexpr double search_reach = 2 * vertex_normal_tolerance;
constexpr double largest_cell = 9e15;  // cell numbers stay exact in a double and fit 64 bits

using cell = std::array<int64_t, 3>;

int64_t cell_of(double v) {
    const double c = std::floor(v * cells_per_unit);
    if (std::isnan(c)) return 0;  // such a point coincides with nothing
    return static_cast<int64_t>(std::clamp(c, -largest_cell, largest_cell));
}

cell cell_of(const point* pt) { return {cell_of(pt->x), cell_of(pt->y), cell_of(pt->z)}; }

struct entry {
    cell key;
    uint32_t order;    // position in the scan: polygon by polygon, point by point
    uint32_t polygon;  // index in the polygon list
    point* pt;
};

bool key_less(const entry& a, const entry& b) { return a.key < b.key || (a.key == b.key && a.order < b.order); }

std::vector<entry> index_points(const std::vector<polygon*>& polygons) {
    std::vector<entry> index;
    uint32_t order = 0;
    for (uint32_t i = 0; i < polygons.size(); ++i) {
        for (point* pt = polygons[i]->points; pt; pt = pt->next) index.push_back({cell_of(pt), order++, i, pt});
    }
    std::sort(index.begin(), index.end(), key_less);
    return index;
}

bool same_place(const point* a, const point* b) {
    return std::fabs(a->x - b->x) <= vertex_normal_tolerance && std::fabs(a->y - b->y) <= vertex_normal_tolerance &&
           std::fabs(a->z - b->z) <= vertex_normal_tolerance;
}

// The points coinciding with `pt`, in scan order.
void coinciding_points(const std::vector<entry>& index, const point* pt, std::vector<const entry*>& out) {
    out.clear();
    const double v[3] = {pt->x, pt->y, pt->z};
    int64_t low[3], high[3];
    for (int k = 0; k < 3; ++k) {
        low[k] = cell_of(v[k] - search_reach);
        high[k] = cell_of(v[k] + search_reach);
    }
    for (int64_t x = low[0]; x <= high[0]; ++x) {
        for (int64_t y = low[1]; y <= high[1]; ++y) {
            for (int64_t z = low[2]; z <= high[2]; ++z) {
                const entry probe{{x, y, z}, 0, 0, nullptr};
                auto at = std::lower_bound(index.begin(), index.end(), probe, key_less);
                for (; at != index.end() && at->key == probe.key; ++at) {
                    if (same_place(pt, at->pt)) out.push_back(&*at);
                }
            }
        }
    }
    std::sort(out.begin(), out.end(), [](const entry* a, const entry* b) { return a->order < b->order; });
}

int8_t normal_byte(double component) { return static_cast<int8_t>(std::floor(127 * component + 0.5)); }

void store_normal(point* pt, const vec3& n) {
    pt->normal_x = normal_byte(n.x);
    pt->normal_y = normal_byte(n.y);
    pt->normal_z = normal_byte(n.z);
}

}  // namespace

void average_vertex_normals(const std::vector<polygon*>& polygons,
                            const std::function<bool(const polygon*, const polygon*)>& related) {
    const std::vector<entry> index = index_points(polygons);
    std::vector<const entry*> near;
    std::vector<point*> coinciding;
    for (polygon* p : polygons) {
        for (point* pt = p->points; pt; pt = pt->next) {
            if (pt->normal_x || pt->normal_y || pt->normal_z) continue;
            coinciding_points(index, pt, near);
            vec3 sum{0, 0, 0};
            coinciding.clear();
            const entry* previous = nullptr;
            for (const entry* e : near) {
                // Each polygon counts once, through its first coinciding point.
                if (previous && previous->polygon == e->polygon) continue;
                previous = e;
                const polygon* q = polygons[e->polygon];
                if (!related(p, q)) continue;
                vec_add(sum, polygon_normal(q));
                coinciding.push_back(e->pt);
            }
            if (coinciding.empty()) {
                if (group_report_errors()) report_error(1, "group_calculate_vertices_normals: Internal error \n");
                continue;
            }
            if (vec_normalize(sum) != 0) sum = {1, 0, 0};
            for (point* c : coinciding) store_normal(c, sum);
            store_normal(pt, sum);
        }
        refresh_log_window();
    }
}
