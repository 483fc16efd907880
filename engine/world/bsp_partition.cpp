// The partition search of the tree build. Candidates are tried in the order and with the tie rules
// of the plain search; only the counting is faster: parallel candidates (normals along one line,
// facing either way) are counted together in one sweep over the polygons' extents along that line,
// instead of a pass over every polygon per candidate. The sorted extents and members of a large family are handed down to the
// node's children, which keep their share and merge in the pieces of split polygons.
#include "world/bsp_partition.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <memory_resource>
#include <span>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "foundation/errors.h"
#include "foundation/scratch_pool.h"
#include "world/bsp_tree.h"
#include "world/polygon.h"
#include "world/polygon_geometry.h"

namespace {

constexpr long no_balance = LONG_MAX;
constexpr long oblique_balance = 2147483646;
// Below this many members a family is counted candidate by candidate.
constexpr size_t family_minimum = 4;
// The orders of at most this many families, the largest, are handed down.
constexpr size_t kept_families = 16;

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
    bool own;        // the polygon's own plane, else an axis plane through its first point
    bool along_z;    // an own plane whose normal is along z
    bool reversed;   // its normal is its family's direction reversed
    int family;      // its family of parallel candidates, -1 when counted on its own
    uint32_t owner;  // the number of its polygon in the list
};

// A normal or a line's direction by its exact bits.
struct normal_key {
    uint64_t bits[3];
    explicit normal_key(const vec3& n) {
        const double v[3] = {n.x, n.y, n.z};
        std::memcpy(bits, v, sizeof bits);
    }
    bool operator==(const normal_key&) const = default;
};

// The line a plane's normal lies along: its direction is the normal or the normal reversed, whichever
// has its first component that is not zero positive, with every zero +0. A family is the candidates
// along one line. Negation is exact and the sign of a zero changes no comparison, so a point's value
// against a candidate is its value along the direction plus the candidate's d, or that sum negated
// for a reversed candidate with its d negated: a reversed candidate is counted as the plane of the
// direction with d negated, behind and front swapped. A value that is not a number is behind every
// plane, so polygons with one are tested against the candidate's own plane.
struct line {
    normal_key key;
    vec3 direction;
    bool reversed;
};

line line_of(const plane& pl) {
    vec3 n{pl.a + 0.0, pl.b + 0.0, pl.c + 0.0};  // -0 + 0 is +0
    const double first = n.x != 0 ? n.x : n.y != 0 ? n.y : n.z;
    const bool reversed = first < 0;
    if (reversed) n = {0.0 - n.x, 0.0 - n.y, 0.0 - n.z};
    return {normal_key(n), n, reversed};
}

// A candidate's d against its line's direction.
double d_along(const plane& pl, bool reversed) { return reversed ? -pl.d : pl.d; }

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

// One family's polygons and members in the orders its count sweeps them. A polygon's values are
// direction . point over its points; polygons are known by their number in the list.
// Its arrays come from `memory`: a node's orders share one arena.
struct family_order {
    normal_key key;
    vec3 normal;
    std::pmr::vector<double> lows, highs;        // each polygon's smallest and largest value, ascending
    std::pmr::vector<uint32_t> by_low, by_high;  // the polygons in those orders
    std::pmr::vector<uint32_t> unordered;        // polygons with a value that is not a number
    std::pmr::vector<double> member_d;           // the members' d along the direction, descending
    std::pmr::vector<uint32_t> member_owner;     // each member's polygon
    std::pmr::vector<uint8_t> member_kind;       // 0: its polygon's x plane, 1: its y plane, 2: its own plane

    family_order(const normal_key& k, const vec3& n,
                 std::pmr::memory_resource* memory = std::pmr::get_default_resource())
        : key(k),
          normal(n),
          lows(memory),
          highs(memory),
          by_low(memory),
          by_high(memory),
          unordered(memory),
          member_d(memory),
          member_owner(memory),
          member_kind(memory) {}
};

// The points of some of a list's polygons that have points, side by side, so that every family
// reads them from one array.
struct point_table {
    scratch_vector<uint32_t> numbers;  // the polygons' numbers in the list
    scratch_vector<size_t> first;  // where each polygon's x, y, z triples start in `xyz`; one past the end last
    scratch_vector<double> xyz;

    point_table(const std::vector<polygon*>& list, std::span<const uint32_t> wanted) {
        numbers.reserve(wanted.size());
        first.reserve(wanted.size() + 1);
        xyz.reserve(12 * wanted.size());
        for (uint32_t number : wanted) {
            const polygon* p = list[number];
            if (!p->points) continue;  // on every plane: counts nowhere
            numbers.push_back(number);
            first.push_back(xyz.size());
            for (const point* pt = p->points; pt; pt = pt->next) xyz.insert(xyz.end(), {pt->x, pt->y, pt->z});
        }
        first.push_back(xyz.size());
    }
};

// The table's polygons' extents along the family's normal, sorted, into `out`, and those whose
// values cannot be ordered (not a number) into its unordered list.
void sort_extents(const point_table& points, const vec3& normal, family_order& out) {
    scratch_vector<std::pair<double, uint32_t>> low, high;
    low.reserve(points.numbers.size());
    high.reserve(points.numbers.size());
    out.lows.reserve(points.numbers.size());
    out.by_low.reserve(points.numbers.size());
    out.highs.reserve(points.numbers.size());
    out.by_high.reserve(points.numbers.size());
    for (size_t i = 0; i < points.numbers.size(); ++i) {
        double lowest = HUGE_VAL, highest = -HUGE_VAL;
        bool ordered = true;
        for (size_t k = points.first[i]; k < points.first[i + 1]; k += 3) {
            const double* pt = &points.xyz[k];
            const double v = normal.x * pt[0] + normal.y * pt[1] + normal.z * pt[2];
            if (std::isnan(v)) ordered = false;
            lowest = std::min(lowest, v);
            highest = std::max(highest, v);
        }
        if (ordered) {
            low.emplace_back(lowest, points.numbers[i]);
            high.emplace_back(highest, points.numbers[i]);
        } else {
            out.unordered.push_back(points.numbers[i]);
        }
    }
    // Equal values fall on one side of every plane, so their order among themselves is free.
    const auto by_value = [](const auto& a, const auto& b) { return a.first < b.first; };
    std::sort(low.begin(), low.end(), by_value);
    std::sort(high.begin(), high.end(), by_value);
    for (const auto& [v, number] : low) {
        out.lows.push_back(v);
        out.by_low.push_back(number);
    }
    for (const auto& [v, number] : high) {
        out.highs.push_back(v);
        out.by_high.push_back(number);
    }
}

struct member {
    double d;
    uint32_t owner;
    uint8_t kind;
};

void sort_members(scratch_vector<member>& members, family_order& out) {
    out.member_d.reserve(members.size());
    out.member_owner.reserve(members.size());
    out.member_kind.reserve(members.size());
    std::sort(members.begin(), members.end(), [](const member& a, const member& b) { return a.d > b.d; });
    for (const member& m : members) {
        out.member_d.push_back(m.d);
        out.member_owner.push_back(m.owner);
        out.member_kind.push_back(m.kind);
    }
}

// Walks two runs sorted by `before` in merged order: put(false, i) for the i-th of `a`,
// put(true, j) for the j-th of `b`.
template <typename Before, typename Put>
void merge_runs(std::span<const double> a, std::span<const double> b, Before before, Put put) {
    size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        if (j < b.size() && (i == a.size() || before(b[j], a[i]))) {
            put(true, j++);
        } else {
            put(false, i++);
        }
    }
}

void merge_values(std::pmr::vector<double>& values, std::pmr::vector<uint32_t>& owners,
                  const std::pmr::vector<double>& more, const std::pmr::vector<uint32_t>& more_owners) {
    std::pmr::vector<double> merged(values.get_allocator());
    std::pmr::vector<uint32_t> merged_owners(owners.get_allocator());
    merged.reserve(values.size() + more.size());
    merged_owners.reserve(values.size() + more.size());
    merge_runs(values, more, std::less<double>(), [&](bool added, size_t i) {
        merged.push_back(added ? more[i] : values[i]);
        merged_owners.push_back(added ? more_owners[i] : owners[i]);
    });
    values.swap(merged);
    owners.swap(merged_owners);
}

// Merges another order of the same family (of other polygons) into `into`.
void merge_order(family_order& into, const family_order& more) {
    merge_values(into.lows, into.by_low, more.lows, more.by_low);
    merge_values(into.highs, into.by_high, more.highs, more.by_high);
    into.unordered.insert(into.unordered.end(), more.unordered.begin(), more.unordered.end());
    family_order merged(into.key, into.normal, into.member_d.get_allocator().resource());
    const size_t total = into.member_d.size() + more.member_d.size();
    merged.member_d.reserve(total);
    merged.member_owner.reserve(total);
    merged.member_kind.reserve(total);
    merge_runs(into.member_d, more.member_d, std::greater<double>(), [&](bool added, size_t i) {
        const family_order& from = added ? more : into;
        merged.member_d.push_back(from.member_d[i]);
        merged.member_owner.push_back(from.member_owner[i]);
        merged.member_kind.push_back(from.member_kind[i]);
    });
    into.member_d.swap(merged.member_d);
    into.member_owner.swap(merged.member_owner);
    into.member_kind.swap(merged.member_kind);
}

}  // namespace

struct bsp_orders {
    explicit bsp_orders(size_t bytes = 0) : arena(std::max<size_t>(bytes, 64), scratch_resource()) {}

    std::pmr::monotonic_buffer_resource arena;
    size_t polygons = 0;           // the length of the list they order
    std::vector<uint32_t> pieces;  // polygons of the list missing from the orders
    std::vector<std::unique_ptr<family_order>> families;
};

void bsp_orders_free::operator()(bsp_orders* orders) const { delete orders; }

namespace {

// Counts every member of a family at once. A point's value against a member is
// (normal . point) + d, computed as the plane test computes it, so for a fixed d it rises with
// normal . point: a polygon has a point in front when its largest value is, and one behind when
// its smallest is. Going through the members by falling d, ever more polygons have a point behind
// and ever fewer one in front, so one pass over both sorted extents finds every count. Polygons
// whose values cannot be ordered are tested plainly.
void count_family(const family_order& order, const std::vector<polygon*>& list, const scratch_vector<size_t>& first,
                  const scratch_vector<candidate>& candidates, scratch_vector<score>& scores,
                  scratch_vector<uint8_t>& sides) {
    constexpr uint8_t behind_bit = 1, no_front_bit = 2;
    sides.assign(list.size(), 0);
    const size_t n = order.lows.size();
    const double t = bsp_tolerance;
    size_t behind_count = 0;  // polygons with a point behind: the first ones by smallest value
    size_t no_front = 0;      // polygons with no point in front: the first ones by largest value
    long splits = 0;          // polygons with a point behind and one in front
    for (size_t k = 0; k < order.member_d.size(); ++k) {
        const double d = order.member_d[k];
        for (; behind_count < n && order.lows[behind_count] + d < -t; ++behind_count) {
            uint8_t& s = sides[order.by_low[behind_count]];
            s |= behind_bit;
            if (!(s & no_front_bit)) splits++;
        }
        for (; no_front < n && !(order.highs[no_front] + d > t); ++no_front) {
            uint8_t& s = sides[order.by_high[no_front]];
            s |= no_front_bit;
            if (s & behind_bit) splits--;
        }
        const candidate& member = candidates[first[order.member_owner[k]] + order.member_kind[k]];
        long crossing = splits;
        long behind = static_cast<long>(behind_count) - splits;
        long front = static_cast<long>(n - no_front) - splits;
        if (member.reversed) std::swap(behind, front);
        for (uint32_t number : order.unordered) {
            switch (get_plane_poly_relations(member.pl, list[number], t)) {
                case 2: behind++; break;
                case 3: front++; break;
                case 4: crossing++; break;
                default: break;
            }
        }
        scores[static_cast<size_t>(&member - candidates.data())] = {crossing, std::labs(behind - front)};
    }
}

// Every candidate of the list in the order the search tries them, with its family.
class candidate_table {
public:
    candidate_table(const std::vector<polygon*>& list, bsp_orders& orders) : orders_(orders), list_(list) {
        candidates_.reserve(3 * list_.size());
        first_.reserve(list_.size() + 1);
        for (size_t i = 0; i < list_.size(); ++i) {
            const polygon* p = list_[i];
            first_.push_back(candidates_.size());
            if (!p->points) continue;
            const auto number = static_cast<uint32_t>(i);
            candidates_.push_back({{1, 0, 0, -p->points->x}, false, false, false, -1, number});
            candidates_.push_back({{0, 1, 0, -p->points->y}, false, false, false, -1, number});
            const plane own = polygon_plane(p);
            if (is_unit(own.a) || is_unit(own.b)) continue;
            candidates_.push_back({own, true, is_unit(own.c), false, -1, number});
        }
        first_.push_back(candidates_.size());
        if (list_.size() >= family_minimum) find_families();  // else no family is large enough
        take_orders();
    }

    long size() const { return static_cast<long>(list_.size()); }

    // One search with split limit `limit`; see get_partition_plane.
    bool search(long limit, plane& out) {
        const long n = size();
        bool found = false;
        long best_balance = no_balance;
        for (size_t i = 0; i < candidates_.size(); ++i) {
            const candidate& c = candidates_[i];
            const score s = score_of(i, limit);
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

    // Leaves in the orders those worth handing down: of the largest families that are counted together.
    void hand_down() {
        auto& families = orders_.families;
        for (auto& order : made_) families.push_back(std::move(order));
        std::erase_if(families, [](const auto& order) { return order->member_d.size() < family_minimum; });
        std::sort(families.begin(), families.end(),
                  [](const auto& a, const auto& b) { return a->member_d.size() > b->member_d.size(); });
        if (families.size() > kept_families) families.resize(kept_families);
    }

private:
    // Gives every candidate its family, or -1 when too few parallel candidates lie along its line.
    // A candidate's normal is most often that of the candidate of the same kind before it.
    void find_families() {
        std::unordered_map<normal_key, int, normal_hash> index;
        struct recent {
            normal_key normal;  // the exact normal
            int family;
            bool reversed;
        };
        std::vector<recent> last;  // by the candidate's place among its polygon's
        for (size_t i = 0; i < list_.size(); ++i) {
            for (size_t k = first_[i]; k < first_[i + 1]; ++k) {
                candidate& c = candidates_[k];
                if (!finite(c.pl)) continue;
                const normal_key normal(vec3{c.pl.a, c.pl.b, c.pl.c});
                const size_t place = k - first_[i];
                if (place < last.size() && last[place].normal == normal) {
                    c.family = last[place].family;
                    c.reversed = last[place].reversed;
                } else {
                    const line along = line_of(c.pl);
                    const auto [at, fresh] = index.try_emplace(along.key, static_cast<int>(families_.size()));
                    if (fresh) families_.push_back({along.key, along.direction, 0, nullptr, false});
                    c.family = at->second;
                    c.reversed = along.reversed;
                    if (place >= last.size()) last.resize(place + 1, {normal, c.family, c.reversed});
                    last[place] = {normal, c.family, c.reversed};
                }
                families_[static_cast<size_t>(c.family)].members++;
            }
        }
        for (candidate& c : candidates_) {
            if (c.family >= 0 && families_[static_cast<size_t>(c.family)].members < family_minimum) c.family = -1;
        }
    }

    // Completes the orders handed down with the list's pieces and gives them to their families.
    void take_orders() {
        if (orders_.polygons != list_.size()) orders_.families.clear();  // another list's
        orders_.polygons = list_.size();
        if (!orders_.pieces.empty() && !orders_.families.empty()) {
            const point_table pieces(list_, orders_.pieces);
            for (auto& order : orders_.families) merge_order(*order, pieces_order(pieces, *order));
        }
        orders_.pieces.clear();
        for (auto& order : orders_.families) {
            for (family& f : families_) {
                if (f.key == order->key) f.order = order.get();
            }
        }
    }

    family_order pieces_order(const point_table& pieces, const family_order& family) const {
        family_order order(family.key, family.normal);
        sort_extents(pieces, family.normal, order);
        scratch_vector<member> members;
        for (uint32_t number : orders_.pieces) {
            for (size_t i = first_[number]; i < first_[number + 1]; ++i) {
                const plane& pl = candidates_[i].pl;
                if (!finite(pl)) continue;
                const line along = line_of(pl);
                if (along.key == family.key) {
                    members.push_back({d_along(pl, along.reversed), number, static_cast<uint8_t>(i - first_[number])});
                }
            }
        }
        sort_members(members, order);
        return order;
    }

    family_order* fresh_order(int f) {
        const family& of = families_[static_cast<size_t>(f)];
        scratch_vector<member> members;
        members.reserve(of.members);
        const candidate* c = nullptr;
        for (const candidate& each : candidates_) {
            if (each.family != f) continue;
            c = &each;
            members.push_back(
                {d_along(c->pl, c->reversed), c->owner, static_cast<uint8_t>(c - &candidates_[first_[c->owner]])});
        }
        auto order = std::make_unique<family_order>(of.key, of.direction, scratch_resource());
        if (!points_) {
            scratch_vector<uint32_t> all(list_.size());
            for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<uint32_t>(i);
            points_ = std::make_unique<point_table>(list_, all);
        }
        sort_extents(*points_, order->normal, *order);
        sort_members(members, *order);
        made_.push_back(std::move(order));
        return made_.back().get();
    }

    score score_of(size_t i, long limit) {
        const candidate& c = candidates_[i];
        if (c.family < 0) return count_each(c.pl, list_, limit);
        family& f = families_[static_cast<size_t>(c.family)];
        if (!f.counted) {
            if (!f.order) f.order = fresh_order(c.family);
            if (scores_.empty()) scores_.resize(candidates_.size());
            count_family(*f.order, list_, first_, candidates_, scores_, sides_);
            f.counted = true;
        }
        return scores_[i];
    }

    struct family {
        normal_key key;  // its line's
        vec3 direction;
        size_t members;
        family_order* order;  // once known
        bool counted;
    };

    bsp_orders& orders_;
    const std::vector<polygon*>& list_;
    scratch_vector<size_t> first_;  // each polygon's first candidate; one past the last at the end
    scratch_vector<candidate> candidates_;
    scratch_vector<score> scores_;  // by candidate, filled when its family is counted
    std::vector<family> families_;
    std::vector<std::unique_ptr<family_order>> made_;
    std::unique_ptr<point_table> points_;  // made when the first family is sorted afresh
    scratch_vector<uint8_t> sides_;        // the family count's working space
};

constexpr uint32_t no_child = UINT32_MAX;
constexpr uint32_t back_child = 1u << 31;

// Calls each(i, child number, to the back) for the i-th of `owners` that goes to a child.
template <typename Each>
void route_each(std::span<const uint32_t> owners, const scratch_vector<uint32_t>& route, Each each) {
    for (size_t i = 0; i < owners.size(); ++i) {
        const uint32_t to = route[owners[i]];
        if (to != no_child) each(i, to & ~back_child, (to & back_child) != 0);
    }
}

// Bytes the orders of a child of `polygons` polygons can take at most from a divided family.
size_t child_bytes(const family_order& order, size_t polygons) {
    const size_t extents = std::min(order.lows.size(), polygons);
    const size_t members = std::min(order.member_d.size(), polygons);
    return extents * 2 * (sizeof(double) + sizeof(uint32_t)) + members * (sizeof(double) + sizeof(uint32_t) + 1) + 64;
}

void reserve_child(family_order& f, const family_order& order, size_t polygons) {
    const size_t extents = std::min(order.lows.size(), polygons);
    f.lows.reserve(extents);
    f.by_low.reserve(extents);
    f.highs.reserve(extents);
    f.by_high.reserve(extents);
    const size_t members = std::min(order.member_d.size(), polygons);
    f.member_d.reserve(members);
    f.member_owner.reserve(members);
    f.member_kind.reserve(members);
}

// Hands a family's entries to the children their polygons go to; `to` is null for a child
// that gets no orders.
void divide_family(const family_order& order, const scratch_vector<uint32_t>& route, bsp_orders* to_side[2]) {
    family_order* to[2] = {nullptr, nullptr};
    for (int side = 0; side < 2; ++side) {
        if (!to_side[side]) continue;
        to[side] = new family_order(order.key, order.normal, &to_side[side]->arena);
        to_side[side]->families.emplace_back(to[side]);
        reserve_child(*to[side], order, to_side[side]->polygons);
    }
    route_each(order.by_low, route, [&](size_t i, uint32_t c, bool is_back) {
        to[is_back]->lows.push_back(order.lows[i]);
        to[is_back]->by_low.push_back(c);
    });
    route_each(order.by_high, route, [&](size_t i, uint32_t c, bool is_back) {
        to[is_back]->highs.push_back(order.highs[i]);
        to[is_back]->by_high.push_back(c);
    });
    route_each(order.unordered, route, [&](size_t, uint32_t c, bool is_back) { to[is_back]->unordered.push_back(c); });
    route_each(order.member_owner, route, [&](size_t i, uint32_t c, bool is_back) {
        to[is_back]->member_d.push_back(order.member_d[i]);
        to[is_back]->member_owner.push_back(c);
        to[is_back]->member_kind.push_back(order.member_kind[i]);
    });
}

}  // namespace

int bsp_partition_plane(const std::vector<polygon*>& list, plane& out, bsp_orders_ptr& orders) {
    out = {1, 0, 0, 0};
    if (list.empty()) {
        orders.reset();
        report(bsp_texts::null_list);
        return -1;
    }
    if (list.size() == 1) {
        orders.reset();
        out = polygon_plane(list.front());
        return 0;
    }
    if (!orders) orders.reset(new bsp_orders);
    candidate_table table(list, *orders);
    plane found{1, 0, 0, 0};
    const bool any = table.search(0, found) || table.search(INT_MAX, found);
    table.hand_down();
    if (any) {
        out = found;
        return 0;
    }
    report(bsp_texts::no_partition);
    return 0;
}

int get_partition_plane(polygon* list, plane& out) {
    std::vector<polygon*> polygons;
    for (polygon* p = list; p; p = p->next) polygons.push_back(p);
    bsp_orders_ptr none;
    return bsp_partition_plane(polygons, out, none);
}

std::vector<uint8_t> bsp_orders_relations(const bsp_orders* orders, const plane& pl) {
    if (!orders || !finite(pl)) return {};
    const line along = line_of(pl);
    for (const auto& order : orders->families) {
        if (!(order->key == along.key)) continue;
        // Polygons without points lie on every plane; the others as their extents say. What lies
        // behind the direction's plane lies in front of a reversed one, and the other way round.
        constexpr uint8_t on = 1, both = 4;
        const uint8_t behind = along.reversed ? 3 : 2, front = along.reversed ? 2 : 3;
        std::vector<uint8_t> relations(orders->polygons, on);
        const double t = bsp_tolerance;
        const double d = d_along(pl, along.reversed);
        for (size_t r = 0; r < order->lows.size() && order->lows[r] + d < -t; ++r) {
            relations[order->by_low[r]] = behind;
        }
        for (size_t r = order->highs.size(); r > 0 && order->highs[r - 1] + d > t; --r) {
            uint8_t& relation = relations[order->by_high[r - 1]];
            relation = relation == behind ? both : front;
        }
        for (uint32_t number : order->unordered) relations[number] = 0;
        return relations;
    }
    return {};
}

void bsp_orders_divide(bsp_orders_ptr divided, const std::vector<int32_t>& front_from,
                       const std::vector<int32_t>& back_from, bsp_orders_ptr& front, bsp_orders_ptr& back) {
    front.reset();
    back.reset();
    if (!divided || divided->families.empty()) return;
    scratch_vector<uint32_t> route(divided->polygons, no_child);
    bsp_orders* to_side[2] = {nullptr, nullptr};
    for (auto [from, child, mark] : {std::tuple{&front_from, &front, 0u}, std::tuple{&back_from, &back, back_child}}) {
        // A list this short has no family large enough to be counted together.
        if (from->size() < family_minimum) continue;
        size_t bytes = 0;
        for (const auto& order : divided->families) bytes += child_bytes(*order, from->size());
        child->reset(new bsp_orders(bytes));
        bsp_orders* side = child->get();
        to_side[mark ? 1 : 0] = side;
        side->polygons = from->size();
        for (size_t c = 0; c < from->size(); ++c) {
            const int32_t number = (*from)[c];
            if (number < 0) {
                side->pieces.push_back(static_cast<uint32_t>(c));
            } else {
                route[static_cast<size_t>(number)] = static_cast<uint32_t>(c) | mark;
            }
        }
    }
    if (!to_side[0] && !to_side[1]) return;
    for (const auto& order : divided->families) divide_family(*order, route, to_side);
}
