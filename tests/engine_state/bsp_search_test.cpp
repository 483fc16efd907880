// The partition search against a plain one that scores every candidate with a pass over the list:
// on generated worlds both must choose the same plane at every node of the tree.
#include "state_fixture.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "startup.h"
#include "world/bsp_node.h"
#include "world/bsp_tree.h"
#include "world/object_module.h"
#include "world/polygon_geometry.h"

using namespace state_test;

namespace {

// ---------------------------------------------------------------- the plain search

struct plain_score {
    long splits;
    long balance;
};

plain_score plain_count(const plane& pl, const polygon* list, long limit) {
    long behind = 0, front = 0, splits = 0;
    for (const polygon* p = list; p; p = p->next) {
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

bool unit(double v) { return v == 1 || v == -1; }

bool plain_search(polygon* list, long limit, plane& out) {
    long n = 0;
    for (const polygon* p = list; p; p = p->next) n++;
    if (n == 1) {
        out = polygon_plane(list);
        return true;
    }
    bool found = false;
    long best = LONG_MAX;
    auto take = [&](const plane& pl, long splits, long balance) {
        found = true;
        out = pl;
        limit = splits;
        best = balance;
        return limit == 0 && best == 0;
    };
    for (const polygon* p = list; p; p = p->next) {
        if (!p->points) continue;
        const plane axes[2] = {{1, 0, 0, -p->points->x}, {0, 1, 0, -p->points->y}};
        for (const plane& candidate : axes) {
            const plain_score s = plain_count(candidate, list, limit);
            if (s.splits > limit || s.balance == n) continue;
            if ((s.splits < limit || s.balance < best) && take(candidate, s.splits, s.balance)) return true;
        }
        const plane own = polygon_plane(p);
        if (unit(own.a) || unit(own.b)) continue;
        const bool along_z = unit(own.c);
        const plain_score s = plain_count(own, list, limit);
        if (s.splits > limit) continue;
        const long balance = along_z ? s.balance : 2147483646;
        if ((s.splits < limit || (along_z && balance < best)) && take(own, s.splits, balance)) return true;
    }
    return found;
}

plane plain_partition_plane(polygon* list) {
    plane out{1, 0, 0, 0};
    if (plain_search(list, 0, out) || plain_search(list, INT_MAX, out)) return out;
    return {1, 0, 0, 0};
}

// ---------------------------------------------------------------- generated worlds

double uniform(std::mt19937& random, double low, double high) {
    return low + (high - low) * static_cast<double>(random() % 1000000) / 1000000.0;
}

polygon* polygon_through(const std::vector<vec3>& corners) {
    polygon* p = init_poly();
    for (const vec3& c : corners) {
        const double values[6] = {c.x, c.y, c.z, 0, 0, 8};
        polygon_add_point(p, values);
    }
    polygon_recalculate(p);
    return p;
}

// A convex polygon of 3 to 6 corners in a random oblique plane.
polygon* random_polygon(std::mt19937& random) {
    const vec3 centre{uniform(random, -1000, 1000), uniform(random, -1000, 1000), uniform(random, -300, 300)};
    vec3 n{uniform(random, -1, 1), uniform(random, -1, 1), uniform(random, -1, 1)};
    if (vec_normalize(n) != 0) n = {0.3, 0.4, 0.866};
    vec3 u = vec_cross(n, {0, 0, 1});
    if (vec_normalize(u) != 0) u = {1, 0, 0};
    const vec3 v = vec_cross(n, u);
    const int corners = 3 + static_cast<int>(random() % 4);
    const double r = uniform(random, 20, 300);
    std::vector<vec3> points;
    for (int k = 0; k < corners; ++k) {
        const double angle = 2 * 3.141592653589793 * k / corners;
        points.push_back({centre.x + r * (std::cos(angle) * u.x + std::sin(angle) * v.x),
                          centre.y + r * (std::cos(angle) * u.y + std::sin(angle) * v.y),
                          centre.z + r * (std::cos(angle) * u.z + std::sin(angle) * v.z)});
    }
    return polygon_through(points);
}

// The six faces of a box on a 10-unit grid, so that faces of different boxes often share a plane.
void add_box(std::mt19937& random, std::vector<polygon*>& out) {
    auto grid = [&](int low, int high) { return 10.0 * (low + static_cast<int>(random() % (high - low))); };
    const double x = grid(-80, 80), y = grid(-80, 80), z = grid(0, 10);
    const double w = grid(2, 30), d = grid(2, 30), h = grid(2, 20);
    const vec3 c[8] = {{x, y, z},         {x + w, y, z},         {x + w, y + d, z},     {x, y + d, z},
                       {x, y, z + h},     {x + w, y, z + h},     {x + w, y + d, z + h}, {x, y + d, z + h}};
    static constexpr int faces[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                                        {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
    for (const auto& f : faces) out.push_back(polygon_through({c[f[0]], c[f[1]], c[f[2]], c[f[3]]}));
}

// Floors at a few heights and walls on a few lines: many polygons on one plane.
polygon* coplanar_polygon(std::mt19937& random) {
    const double a = 100.0 * static_cast<int>(random() % 20) - 1000, b = 100.0 * static_cast<int>(random() % 20) - 1000;
    const double level = 150.0 * static_cast<int>(random() % 3);
    if (random() % 2) return polygon_through({{a, b, level}, {a + 80, b, level}, {a + 80, b + 80, level}, {a, b + 80, level}});
    return polygon_through({{level, a, b}, {level, a + 80, b}, {level, a + 80, b + 80}, {level, a, b + 80}});
}

// Long walls across the world: they straddle most planes of the other polygons.
polygon* straddling_polygon(std::mt19937& random) {
    const double at = uniform(random, -900, 900);
    if (random() % 2) return polygon_through({{at, -1200, 0}, {at, 1200, 0}, {at, 1200, 250}, {at, -1200, 250}});
    return polygon_through({{-1200, at, 0}, {-1200, at, 250}, {1200, at, 250}, {1200, at, 0}});
}

// Floors and ceilings over one square at many heights, a quarter of them running out to
// x = infinity: along any line but x's their values are not numbers, so the counts test them plane
// by plane, while the floors' planes are the ones worth choosing.
polygon* unbounded_polygon(std::mt19937& random) {
    const double z = 10.0 * static_cast<int>(random() % 40), far = random() % 4 ? 500 : HUGE_VAL;
    std::vector<vec3> corners = {{-500, -500, z}, {far, -500, z}, {far, 500, z}, {-500, 500, z}};
    if (random() % 2) std::reverse(corners.begin(), corners.end());
    return polygon_through(corners);
}

enum class mix { random, axis_aligned, coplanar, straddling, all, unbounded };

polygon* generate(mix kind, unsigned seed, int count) {
    std::mt19937 random(seed);
    std::vector<polygon*> made;
    while (static_cast<int>(made.size()) < count) {
        mix pick = kind == mix::all ? static_cast<mix>(random() % 4) : kind;
        switch (pick) {
            case mix::random: made.push_back(random_polygon(random)); break;
            case mix::axis_aligned: add_box(random, made); break;
            case mix::coplanar: made.push_back(coplanar_polygon(random)); break;
            case mix::unbounded: made.push_back(unbounded_polygon(random)); break;
            default: made.push_back(straddling_polygon(random)); break;
        }
    }
    polygon* list = nullptr;
    for (auto it = made.rbegin(); it != made.rend(); ++it) polygon_list_add(&list, *it);
    return list;
}

// ---------------------------------------------------------------- the walk

bool same_plane(const plane& a, const plane& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void push(polygon** list, polygon* p) {
    p->next = *list;
    *list = p;
}

// Walks the tree the build makes, comparing both searches at every node; the polygons the nodes
// keep go to `kept` (split families link them until the end). Returns the node count.
int compare_node_by_node(polygon* list, polygon** kept, int depth = 0) {
    if (!list || depth > 200) {
        while (polygon* p = polygon_list_pop(&list)) push(kept, p);
        return 0;
    }
    plane fast{};
    EXPECT_EQ(get_partition_plane(list, fast), 0);
    const plane plain = plain_partition_plane(list);
    EXPECT_TRUE(same_plane(fast, plain)) << "depth " << depth << ": (" << fast.a << ", " << fast.b << ", " << fast.c
                                         << ", " << fast.d << ") against (" << plain.a << ", " << plain.b << ", "
                                         << plain.c << ", " << plain.d << ")";
    polygon *on = nullptr, *front = nullptr, *back = nullptr;
    while (polygon* p = polygon_list_pop(&list)) {
        switch (get_plane_poly_relations(plain, p, bsp_tolerance)) {
            case 2: push(&back, p); break;
            case 3: push(&front, p); break;
            case 4: {
                polygon *f = nullptr, *b = nullptr;
                if (split_polygon(p, plain, &f, &b) != 0) {
                    push(&on, p);
                    break;
                }
                free_polygon(p);
                if (f->point_count > 2) push(&front, f); else free_polygon(f);
                if (b->point_count > 2) push(&back, b); else free_polygon(b);
                break;
            }
            default: push(&on, p); break;
        }
    }
    if (!on && (!front || !back)) push(&on, polygon_list_pop(front ? &front : &back));
    while (polygon* p = polygon_list_pop(&on)) push(kept, p);
    const int below = compare_node_by_node(front, kept, depth + 1);
    return 1 + below + compare_node_by_node(back, kept, depth + 1);
}

struct world_case {
    const char* name;
    mix kind;
};

class PartitionSearch : public ::testing::TestWithParam<world_case> {
protected:
    void SetUp() override {
        engine_first_init();
        baseline = engine_get_bytes_in_use();
    }
    void TearDown() override { EXPECT_EQ(engine_get_bytes_in_use(), baseline); }
    uint32_t baseline = 0;
};

void PrintTo(const world_case& c, std::ostream* out) { *out << c.name; }

TEST_P(PartitionSearch, ChoosesThePlainSearchsPlaneAtEveryNode) {
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        polygon* kept = nullptr;
        const int nodes = compare_node_by_node(generate(GetParam().kind, seed, 240), &kept);
        EXPECT_GT(nodes, 20);
        polygon_list_free(&kept);
    }
}

INSTANTIATE_TEST_SUITE_P(Worlds, PartitionSearch,
                         ::testing::Values(world_case{"random", mix::random},
                                           world_case{"axis_aligned", mix::axis_aligned},
                                           world_case{"coplanar", mix::coplanar},
                                           world_case{"straddling", mix::straddling}, world_case{"mixed", mix::all},
                                           world_case{"unbounded", mix::unbounded}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- the whole build

// The tree the build makes, made with the plain search at every node: a node keeps the polygons
// on its plane, a polygon that cannot be cut goes whole to the side of its centre, and a plane
// that leaves everything on one side keeps the first polygon of that side.
void plain_build(bsp_node* node, polygon* list) {
    const plane pl = plain_partition_plane(list);
    const double values[4] = {pl.a, pl.b, pl.c, pl.d};
    std::memcpy(node->plane, values, sizeof values);
    polygon *front = nullptr, *back = nullptr;
    bool kept = false;
    while (polygon* p = polygon_list_pop(&list)) {
        switch (get_plane_poly_relations(pl, p, bsp_tolerance)) {
            case 2: push(&back, p); break;
            case 3: push(&front, p); break;
            case 4: {
                kept = true;
                polygon *f = nullptr, *b = nullptr;
                if (split_polygon(p, pl, &f, &b) != 0) {
                    polygon_calculate_bounding_box(p, 1);
                    const vec3 centre{p->centre[0], p->centre[1], p->centre[2]};
                    push(plane_point_side(pl, centre) == 2 ? &back : &front, p);
                    break;
                }
                free_polygon(p);
                if (f->point_count > 2) push(&front, f); else free_polygon(f);
                if (b->point_count > 2) push(&back, b); else free_polygon(b);
                break;
            }
            default:
                kept = true;
                bsp_node_insert_polygon(node, p);
                break;
        }
    }
    if (!kept && (!front || !back)) bsp_node_insert_polygon(node, polygon_list_pop(front ? &front : &back));
    for (auto [child, side] : {std::pair{&node->front, front}, std::pair{&node->back, back}}) {
        if (!side) continue;
        *child = init_bsp_node();
        (*child)->parent = node;
        plain_build(*child, side);
    }
}

bool same_points(const polygon* a, const polygon* b) {
    if (a->point_count != b->point_count) return false;
    for (const point *p = a->points, *q = b->points; p && q; p = p->next, q = q->next) {
        const double pa[3] = {p->x, p->y, p->z}, qa[3] = {q->x, q->y, q->z};
        if (std::memcmp(pa, qa, sizeof pa) != 0) return false;
    }
    return true;
}

// Same planes to the bit, same polygons in the same order at every node.
void expect_same_tree(const bsp_node* built, const bsp_node* plain, const std::string& path) {
    ASSERT_EQ(built == nullptr, plain == nullptr) << "at " << path;
    if (!built) return;
    EXPECT_EQ(std::memcmp(built->plane, plain->plane, sizeof built->plane), 0) << "plane at " << path;
    const polygon *p = built->polygons, *q = plain->polygons;
    for (int i = 0; p && q; p = p->next, q = q->next, ++i) {
        EXPECT_TRUE(same_points(p, q)) << "polygon " << i << " at " << path;
    }
    EXPECT_EQ(p == nullptr, q == nullptr) << "polygon count at " << path;
    expect_same_tree(built->front, plain->front, path + "f");
    expect_same_tree(built->back, plain->back, path + "b");
}

polygon* prepared(polygon* list) {
    for (polygon* p = list; p; p = p->next) {
        polygon_calculate_plane(p);
        polygon_make_coplanner(p, 0);
    }
    return list;
}

// The build hands each node's sorted orders down to its children, which merge in the pieces of
// split polygons: the tree must still be the one the plain search makes.
TEST_P(PartitionSearch, TheBuildMakesThePlainSearchsTree) {
    module* m = init_module();
    m->root = init_bsp_node();
    m->root->polygons = generate(GetParam().kind, 4, 400);
    build_module_bsp_tree(m, true);
    bsp_node* plain = init_bsp_node();
    plain_build(plain, prepared(generate(GetParam().kind, 4, 400)));
    EXPECT_GT(bsp_tree_count_nodes(plain), 40);
    expect_same_tree(m->root, plain, "root ");
    bsp_tree_destroy(plain);
    module_destroy(m);
}

// A list in which no candidate divides anything gets the plane (1, 0, 0, 0), not a polygon's own.
TEST(PartitionSearchFallback, NoPartitionGivesTheXPlane) {
    engine_first_init();
    polygon* list = nullptr;
    for (int i = 0; i < 2; ++i) {
        polygon* p = init_poly();
        polygon_store_plane(p, {0, 0, 1, -5.0 * (i + 1)});
        polygon_list_add(&list, p);
    }
    const std::string before = error_log();
    plane pl{};
    ASSERT_EQ(get_partition_plane(list, pl), 0);
    EXPECT_TRUE(same_plane(pl, {1, 0, 0, 0}));
    EXPECT_EQ(error_log().substr(before.size()).find("get_partition_plane: didnt find any partition\n") !=
                  std::string::npos,
              true);
    polygon_list_free(&list);
}

}  // namespace
