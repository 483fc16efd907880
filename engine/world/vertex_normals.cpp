// Vertex normals through an index of point positions: coinciding points are looked up among the
// few that share their position cell, never by scanning every polygon.
#include "world/vertex_normals.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/huge_pages.h"
#include "world/group.h"
#include "world/polygon.h"

namespace {

// Cells of 1/1024 on each axis: a power of two, so a cell number is an exact product. They are
// centred on multiples of 1/1024, so round coordinates lie mid-cell, within one cell's reach.
constexpr double cells_per_unit = 1024;
// Wider than the tolerance, so a point's neighbours are always in the cells visited.
constexpr double search_reach = 2 * vertex_normal_tolerance;
constexpr double largest_cell = 9e15;  // cell numbers stay exact in a double and fit 64 bits

using cell = std::array<int64_t, 3>;

int64_t cell_of(double v) {
    const double c = std::floor(v * cells_per_unit + 0.5);
    if (std::isnan(c)) return 0;  // such a point coincides with nothing
    return static_cast<int64_t>(std::clamp(c, -largest_cell, largest_cell));
}

cell cell_of(const point* pt) { return {cell_of(pt->x), cell_of(pt->y), cell_of(pt->z)}; }

// Compared field by field: small enough to stay inline where the table is searched.
bool same_cell(const cell& a, const cell& b) { return a[0] == b[0] && a[1] == b[1] && a[2] == b[2]; }

struct entry {
    uint32_t order;    // position in the scan: polygon by polygon, point by point
    uint32_t polygon;  // index in the polygon list
    point* pt;
};

uint64_t cell_hash(const cell& c) {
    uint64_t h = 0x9E3779B97F4A7C15ull;
    for (int64_t v : c) {
        h ^= static_cast<uint64_t>(v);
        h = (h ^ (h >> 33)) * 0xFF51AFD7ED558CCDull;
        h = (h ^ (h >> 33)) * 0xC4CEB9FE1A85EC53ull;
    }
    return h ^ (h >> 33);
}

// The points of a polygon list grouped by cell, each cell's points in scan order, and the cells
// found through an open-addressing table: building and every lookup take constant time.
class point_index {
public:
    explicit point_index(const std::vector<polygon*>& polygons) {
        size_t points = 0;
        for (const polygon* p : polygons) {
            for (const point* pt = p->points; pt; pt = pt->next) ++points;
        }
        slots_ = zeroed_table<uint32_t>(half_full_slots(points, 16));
        reserve_in_huge_pages(cell_of_entry_, points);
        reserve_in_huge_pages(keys_, points);
        std::vector<uint32_t> counts;
        reserve_in_huge_pages(counts, points);
        // Points wait a few steps between having their slot fetched and taking it, so the table's
        // cache misses overlap; they still take their cells in scan order.
        std::array<std::pair<cell, uint64_t>, lookahead> waiting;
        size_t fetched = 0, placed = 0;
        auto place = [&](const std::pair<cell, uint64_t>& next) {
            uint32_t& slot = slots_[find(next.first, next.second)];
            if (!slot) {
                keys_.push_back(next.first);
                counts.push_back(0);
                slot = static_cast<uint32_t>(keys_.size());
            }
            cell_of_entry_.push_back(slot - 1);
            counts[slot - 1]++;
        };
        for (const polygon* p : polygons) {
            for (const point* pt = p->points; pt; pt = pt->next) {
                const cell key = cell_of(pt);
                const uint64_t hash = cell_hash(key);
                __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
                if (fetched - placed == lookahead) place(waiting[placed++ % lookahead]);
                waiting[fetched++ % lookahead] = {key, hash};
            }
        }
        while (placed < fetched) place(waiting[placed++ % lookahead]);
        first_.assign(counts.size() + 1, 0);
        for (size_t c = 0; c < counts.size(); ++c) first_[c + 1] = first_[c] + counts[c];
        std::vector<uint32_t>& next = counts;  // where each cell's next entry goes
        std::copy(first_.begin(), first_.end() - 1, next.begin());
        reserve_in_huge_pages(entries_, points);
        entries_.resize(points);
        uint32_t order = 0;
        for (uint32_t i = 0; i < polygons.size(); ++i) {
            for (point* pt = polygons[i]->points; pt; pt = pt->next, ++order) {
                entries_[next[cell_of_entry_[order]]++] = {order, i, pt};
            }
        }
    }

    // The points in cell `c`, in scan order.
    std::pair<const entry*, const entry*> in(const cell& c) const {
        const uint32_t number = slots_[find(c)];
        if (!number) return {nullptr, nullptr};
        return in_cell(number - 1);
    }

    // The points in the cell of the point scanned `order`th, found without the table: the scan
    // goes on in that order, so this is read front to back.
    std::pair<const entry*, const entry*> in_cell_of(uint32_t order) const { return in_cell(cell_of_entry_[order]); }

private:
    static constexpr size_t lookahead = 16;

    std::pair<const entry*, const entry*> in_cell(uint32_t id) const {
        return {entries_.data() + first_[id], entries_.data() + first_[id + 1]};
    }

    size_t find(const cell& c) const { return find(c, cell_hash(c)); }

    size_t find(const cell& c, uint64_t hash) const {
        const size_t mask = slots_.size() - 1;
        size_t slot = hash & mask;
        while (slots_[slot] && !same_cell(keys_[slots_[slot] - 1], c)) slot = (slot + 1) & mask;
        return slot;
    }

    zeroed_table<uint32_t> slots_{0};  // cell numbers plus one, 0 when free
    std::vector<cell> keys_;           // by cell number
    std::vector<uint32_t> first_;      // each cell's first entry; one past the end last
    std::vector<entry> entries_;
    std::vector<uint32_t> cell_of_entry_;  // each point's cell, in scan order
};

bool same_place(const point* a, const point* b) {
    return std::fabs(a->x - b->x) <= vertex_normal_tolerance && std::fabs(a->y - b->y) <= vertex_normal_tolerance &&
           std::fabs(a->z - b->z) <= vertex_normal_tolerance;
}

void add_coinciding(const point* pt, std::pair<const entry*, const entry*> cell, std::vector<const entry*>& out) {
    for (const entry* at = cell.first; at != cell.second; ++at) {
        if (same_place(pt, at->pt)) out.push_back(at);
    }
}

// The points coinciding with `pt`, the point scanned `order`th, in scan order.
void coinciding_points(const point_index& index, const point* pt, uint32_t order, std::vector<const entry*>& out) {
    out.clear();
    const double v[3] = {pt->x, pt->y, pt->z};
    int64_t low[3], high[3];
    for (int k = 0; k < 3; ++k) {
        low[k] = cell_of(v[k] - search_reach);
        high[k] = cell_of(v[k] + search_reach);
    }
    if (low[0] == high[0] && low[1] == high[1] && low[2] == high[2]) {
        // Within its own cell, as nearly every point is.
        add_coinciding(pt, index.in_cell_of(order), out);
    } else {
        for (int64_t x = low[0]; x <= high[0]; ++x) {
            for (int64_t y = low[1]; y <= high[1]; ++y) {
                for (int64_t z = low[2]; z <= high[2]; ++z) add_coinciding(pt, index.in({x, y, z}), out);
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
    const point_index index(polygons);
    std::vector<const entry*> near;
    std::vector<point*> coinciding;
    uint32_t order = 0;
    for (polygon* p : polygons) {
        for (point* pt = p->points; pt; pt = pt->next, ++order) {
            if (pt->normal_x || pt->normal_y || pt->normal_z) continue;
            coinciding_points(index, pt, order, near);
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
