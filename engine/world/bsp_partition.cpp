// The partition search of the tree build. Candidates are tried in the order and with the tie rules
// of the plain search; only the counting is faster: parallel candidates (one normal) are counted
// from the polygons' extents along that normal, sorted once, by binary search and a counting tree,
// instead of a pass over every polygon per candidate.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "foundation/errors.h"
#include "world/bsp_tree.h"
#include "world/polygon.h"
#include "world/polygon_geometry.h"

namespace {

constexpr long no_balance = LONG_MAX;
constexpr long oblique_balance = 2147483646;
// Below this many members a family is counted candidate by candidate.
constexpr size_t family_minimum = 4;

void report(const char* text) {
    if (bsp_report_errors()) report_error(1, text);
}

bool is_unit(double v) { return v == 1 || v == -1; }

struct score {
    long splits;
    long balance;
};

// Counts polygons behind, in front and crossing; stops once the splits exceed the limit.
score count_each(const plane& pl, const std::vector<polygon*>& list, long limit) {
    long behind = 0, front = 0, splits = 0;
    for (const polygon* p : list) {
        switch (get_plane_poly_relations(pl, p, bsp_tolerance)) {
            case 2: behind++; break;
            case 3: front++; break;
            case 4: splits++; break;
            default: break;
        }
        if (splits > limit) break;
    }
    return {splits, std::labs(behind - front)};
}

struct candidate {
    plane pl;
    bool own;      // the polygon's own plane, else an axis plane through its first point
    bool along_z;  // an own plane whose normal is along z
    int family;    // its family of parallel candidates, -1 when counted on its own
    score counted;  // filled when the family is counted
};

// Counts of how many inserted values have a rank below a bound.
class rank_counter {
public:
    explicit rank_counter(size_t size) : tree_(size + 1, 0) {}
    void insert(size_t rank) {
        for (size_t i = rank + 1; i < tree_.size(); i += i & (~i + 1)) tree_[i]++;
    }
    long below(size_t rank) const {
        long n = 0;
        for (size_t i = rank; i > 0; i -= i & (~i + 1)) n += tree_[i];
        return n;
    }

private:
    std::vector<long> tree_;
};

struct extent {
    double low, high;  // smallest and largest of normal . point over the polygon's points
};

// The points of a list's polygons that have points, copied side by side once per node so that
// every family reads them from one array.
struct point_table {
    std::vector<polygon*> polygons;
    std::vector<size_t> first;  // where each polygon's x, y, z triples start in `xyz`; one past the end last
    std::vector<double> xyz;

    explicit point_table(const std::vector<polygon*>& list) {
        polygons.reserve(list.size());
        first.reserve(list.size() + 1);
        xyz.reserve(12 * list.size());
        for (polygon* p : list) {
            if (!p->points) continue;  // on every plane: counts nowhere
            polygons.push_back(p);
            first.push_back(xyz.size());
            for (const point* pt = p->points; pt; pt = pt->next) xyz.insert(xyz.end(), {pt->x, pt->y, pt->z});
        }
        first.push_back(xyz.size());
    }
};

// Counts every member of a family at once. A point's value against a member is
// (normal . point) + d, computed as the plane test computes it, so for a fixed d it rises with
// normal . point: a polygon has a point in front when its largest value is, and one behind when
// its smallest is. Polygons whose values cannot be ordered (not a number) are tested plainly.
class family_counter {
public:
    family_counter(const vec3& normal, const point_table& points) {
        std::vector<extent> extents;
        extents.reserve(points.polygons.size());
        for (size_t i = 0; i < points.polygons.size(); ++i) {
            extent e{HUGE_VAL, -HUGE_VAL};
            bool ordered = true;
            for (size_t k = points.first[i]; k < points.first[i + 1]; k += 3) {
                const double* pt = &points.xyz[k];
                const double v = normal.x * pt[0] + normal.y * pt[1] + normal.z * pt[2];
                if (std::isnan(v)) ordered = false;
                e.low = std::min(e.low, v);
                e.high = std::max(e.high, v);
            }
            if (ordered) {
                extents.push_back(e);
            } else {
                unordered_.push_back(points.polygons[i]);
            }
        }
        const size_t n = extents.size();
        std::vector<std::pair<double, size_t>> low(n), high(n);
        for (size_t i = 0; i < n; ++i) {
            low[i] = {extents[i].low, i};
            high[i] = {extents[i].high, i};
        }
        // Equal values fall on one side of every plane, so their order among themselves is free.
        const auto by_value = [](const std::pair<double, size_t>& a, const std::pair<double, size_t>& b) {
            return a.first < b.first;
        };
        std::sort(low.begin(), low.end(), by_value);
        std::sort(high.begin(), high.end(), by_value);
        by_low_.resize(n);
        high_rank_.resize(n);
        lows_.resize(n);
        highs_.resize(n);
        for (size_t r = 0; r < n; ++r) {
            by_low_[r] = low[r].second;
            lows_[r] = low[r].first;
            high_rank_[high[r].second] = r;
            highs_[r] = high[r].first;
        }
    }

    // Scores the members (all with finite d) in one sweep over the polygons by smallest value.
    void count(std::vector<candidate*>& members) const {
        struct query {
            size_t behind_prefix;  // polygons with a point behind: the first ones by smallest value
            size_t front_from;     // polygons with a point in front: from this rank by largest value
            candidate* c;
        };
        std::vector<query> queries;
        queries.reserve(members.size());
        const double t = bsp_tolerance;
        for (candidate* c : members) {
            const double d = c->pl.d;
            const size_t behind = static_cast<size_t>(
                std::partition_point(lows_.begin(), lows_.end(), [&](double v) { return v + d < -t; }) - lows_.begin());
            const size_t front = static_cast<size_t>(
                std::partition_point(highs_.begin(), highs_.end(), [&](double v) { return !(v + d > t); }) -
                highs_.begin());
            queries.push_back({behind, front, c});
        }
        std::sort(queries.begin(), queries.end(),
                  [](const query& a, const query& b) { return a.behind_prefix < b.behind_prefix; });
        rank_counter ranks(lows_.size());
        size_t inserted = 0;
        for (const query& q : queries) {
            while (inserted < q.behind_prefix) ranks.insert(high_rank_[by_low_[inserted++]]);
            // Crossing: a point behind and a point in front.
            long splits = static_cast<long>(inserted) - ranks.below(q.front_from);
            long behind = static_cast<long>(q.behind_prefix) - splits;
            long front = static_cast<long>(highs_.size() - q.front_from) - splits;
            for (const polygon* p : unordered_) {
                switch (get_plane_poly_relations(q.c->pl, p, t)) {
                    case 2: behind++; break;
                    case 3: front++; break;
                    case 4: splits++; break;
                    default: break;
                }
            }
            q.c->counted = {splits, std::labs(behind - front)};
        }
    }

private:
    std::vector<polygon*> unordered_;
    std::vector<size_t> by_low_;     // polygon numbers by smallest value
    std::vector<size_t> high_rank_;  // each polygon's rank by largest value
    std::vector<double> lows_;       // smallest values, ascending
    std::vector<double> highs_;      // largest values, ascending
};

// A normal by its exact bits: candidates of one family give every point the same value.
struct normal_key {
    uint64_t bits[3];
    explicit normal_key(const plane& pl) {
        const double n[3] = {pl.a, pl.b, pl.c};
        std::memcpy(bits, n, sizeof bits);
    }
    bool operator==(const normal_key&) const = default;
};

struct normal_hash {
    size_t operator()(const normal_key& k) const {
        uint64_t h = 0x9E3779B97F4A7C15ull;
        for (uint64_t b : k.bits) h = (h ^ b) * 0x100000001B3ull;
        return static_cast<size_t>(h ^ (h >> 29));
    }
};

bool finite(const plane& pl) {
    return std::isfinite(pl.a) && std::isfinite(pl.b) && std::isfinite(pl.c) && std::isfinite(pl.d);
}

// Every candidate of the list in the order the search tries them, with its family.
class candidate_table {
public:
    explicit candidate_table(polygon* first) {
        for (polygon* p = first; p; p = p->next) list_.push_back(p);
        candidates_.reserve(3 * list_.size());
        for (polygon* p : list_) {
            if (!p->points) continue;
            add({{1, 0, 0, -p->points->x}, false, false, -1, {0, 0}});
            add({{0, 1, 0, -p->points->y}, false, false, -1, {0, 0}});
            const plane own = polygon_plane(p);
            if (is_unit(own.a) || is_unit(own.b)) continue;
            add({own, true, is_unit(own.c), -1, {0, 0}});
        }
        std::unordered_map<normal_key, int, normal_hash> families;
        std::vector<size_t> sizes;
        for (candidate& c : candidates_) {
            if (!finite(c.pl)) continue;
            const auto [at, fresh] = families.try_emplace(normal_key(c.pl), static_cast<int>(sizes.size()));
            if (fresh) sizes.push_back(0);
            sizes[static_cast<size_t>(at->second)]++;
            c.family = at->second;
        }
        members_.resize(sizes.size());
        for (candidate& c : candidates_) {
            if (c.family < 0) continue;
            if (sizes[static_cast<size_t>(c.family)] < family_minimum) {
                c.family = -1;
                continue;
            }
            members_[static_cast<size_t>(c.family)].push_back(&c);
        }
        counted_.assign(members_.size(), false);
    }

    long size() const { return static_cast<long>(list_.size()); }
    polygon* only() const { return list_.front(); }

    // One search with split limit `limit`; see get_partition_plane.
    bool search(long limit, plane& out) {
        const long n = size();
        bool found = false;
        long best_balance = no_balance;
        for (candidate& c : candidates_) {
            const score s = score_of(c, limit);
            if (s.splits > limit) continue;
            long balance = s.balance;
            bool take = false;
            if (!c.own) {
                take = balance != n && (s.splits < limit || balance < best_balance);
            } else {
                if (!c.along_z) balance = oblique_balance;
                take = s.splits < limit || (c.along_z && balance < best_balance);
            }
            if (!take) continue;
            found = true;
            out = c.pl;
            limit = s.splits;
            best_balance = balance;
            if (limit == 0 && best_balance == 0) return true;
        }
        return found;
    }

private:
    void add(const candidate& c) { candidates_.push_back(c); }

    score score_of(const candidate& c, long limit) {
        if (c.family < 0) return count_each(c.pl, list_, limit);
        const size_t f = static_cast<size_t>(c.family);
        if (!counted_[f]) {
            if (!points_) points_ = std::make_unique<point_table>(list_);
            family_counter({c.pl.a, c.pl.b, c.pl.c}, *points_).count(members_[f]);
            counted_[f] = true;
        }
        return c.counted;
    }

    std::vector<polygon*> list_;
    std::vector<candidate> candidates_;
    std::vector<std::vector<candidate*>> members_;
    std::vector<bool> counted_;
    std::unique_ptr<point_table> points_;  // made when the first family is counted
};

}  // namespace

int get_partition_plane(polygon* list, plane& out) {
    out = {1, 0, 0, 0};
    if (!list) {
        report(bsp_texts::null_list);
        return -1;
    }
    if (!list->next) {
        out = polygon_plane(list);
        return 0;
    }
    candidate_table table(list);
    plane found{1, 0, 0, 0};
    if (table.search(0, found) || table.search(INT_MAX, found)) {
        out = found;
        return 0;
    }
    report(bsp_texts::no_partition);
    return 0;
}
