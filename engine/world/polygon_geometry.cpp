// Geometry of one polygon: plane, inside tests, cords consistency, joins, splits, transforms, axes.
#include "world/polygon_geometry.h"

#include <cmath>
#include <vector>

#include "foundation/errors.h"
#include "world/group.h"

namespace {

void report(const char* text) {
    if (polygon_geometry_report_errors()) report_error(1, text);
}

std::vector<vec3> positions(const polygon* p) {
    std::vector<vec3> out;
    out.reserve(p->point_count > 0 ? p->point_count : 0);
    for (const point* pt = p->points; pt; pt = pt->next) out.push_back(point_position(pt));
    return out;
}

std::vector<point*> point_array(const polygon* p) {
    std::vector<point*> out;
    for (point* pt = p->points; pt; pt = pt->next) out.push_back(pt);
    return out;
}

vec3 minus(const vec3& a, const vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
vec3 plus(const vec3& a, const vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
vec3 times(double k, const vec3& a) { return {k * a.x, k * a.y, k * a.z}; }

bool same_position(const vec3& a, const vec3& b, double t) {
    return std::fabs(a.x - b.x) <= t && std::fabs(a.y - b.y) <= t && std::fabs(a.z - b.z) <= t;
}

void set_row(mat4& m, int row, const vec3& v) {
    m.m[row][0] = v.x;
    m.m[row][1] = v.y;
    m.m[row][2] = v.z;
    m.m[row][3] = 0;
}

vec3 row_of(const mat4& m, int row) { return {m.m[row][0], m.m[row][1], m.m[row][2]}; }

void set_axes(mat4& m, const vec3& x, const vec3& y, const vec3& z) {
    matrix_identity(m);
    set_row(m, 0, x);
    set_row(m, 1, y);
    set_row(m, 2, z);
}

// The value a cords check looks at.
using point_value = double point::*;

// Fits `value` of every point to the plane through the first three usable points (see the header).
int check_linear_values(polygon* p, point_value value) {
    if (!p || p->point_count < 3) return 0;
    if (p->point_count == 3) return 1;
    const double ax = std::fabs(p->plane[0]), ay = std::fabs(p->plane[1]), az = std::fabs(p->plane[2]);
    auto project = [&](const point* pt) -> vec3 {
        if (ay >= ax && ay >= az) return {pt->x, pt->z, pt->*value};
        if (ax >= ay && ax >= az) return {pt->y, pt->z, pt->*value};
        return {pt->x, pt->y, pt->*value};
    };
    vec3 chosen[3];
    int found = 0;
    for (const point* pt = p->points; pt && found < 3; pt = pt->next) {
        if (pt->*value >= 0) chosen[found++] = project(pt);
    }
    if (found < 3) return 0;
    plane eq;
    if (points_to_plane_unnormalized(eq, chosen[0], chosen[1], chosen[2]) != 0) return 0;
    if (std::fabs(eq.c) < zero_tolerance) return 0;
    for (point* pt = p->points; pt; pt = pt->next) {
        const vec3 uv = project(pt);
        const double predicted = -(eq.d + eq.a * uv.x + eq.b * uv.y) / eq.c;
        if (pt->*value == -1) {
            pt->*value = predicted;
        } else if (std::fabs(pt->*value - predicted) > 1e-8) {
            return 0;
        }
    }
    return 1;
}

// True when the point at index i is redundant (its two edges run on one line within t).
bool is_redundant(const std::vector<vec3>& v, size_t i, double t) {
    const size_t n = v.size();
    const vec3& previous = v[(i + n - 1) % n];
    const vec3& next = v[(i + 1) % n];
    const vec3 c = vec_cross(minus(v[i], previous), minus(next, v[i]));
    return std::fabs(c.x) <= t && std::fabs(c.y) <= t && std::fabs(c.z) <= t;
}

// Index of the point of `list` at `q` within 1e-10, or -1.
int find_position(const std::vector<vec3>& list, const vec3& q) {
    for (size_t i = 0; i < list.size(); ++i) {
        if (same_position(list[i], q, 1e-10)) return static_cast<int>(i);
    }
    return -1;
}

// Edge of p most nearly perpendicular to `n`, normalised; -1 when none can be normalised.
int edge_most_perpendicular(const polygon* p, const vec3& n, vec3& out) {
    const std::vector<vec3> v = positions(p);
    const size_t count = v.size();
    double best = 1e300;
    bool found = false;
    for (size_t i = 0; i < count; ++i) {
        vec3 edge = minus(v[(i + 1) % count], v[i]);
        if (vec_normalize(edge) != 0) continue;
        const double d = std::fabs(vec_dot(edge, n));
        if (d < best) {
            best = d;
            out = edge;
            found = true;
            if (d == 0) break;
        }
    }
    return found ? 0 : -1;
}

void add_vertex_to(polygon* piece, const vertex& v) { polygon_add_point_from_vertex(piece, v); }

}  // namespace

int& polygon_geometry_report_errors() {
    static int flag = 1;
    return flag;
}

int polygon_calculate_plane(polygon* p) {
    if (!p || p->point_count < 3) {
        report("calculate_poly_normal: poly->num_points<3\n");
        if (p) polygon_store_plane(p, {0, 0, 0, 0});
        return -1;
    }
    const point* a = p->points;
    plane pl;
    if (points_to_plane(pl, point_position(a), point_position(a->next), point_position(a->next->next)) != 0) {
        report("calculate_poly_normal: make_normal failed\n");
        polygon_store_plane(p, {0, 0, 0, 0});
        return -1;
    }
    polygon_store_plane(p, pl);
    return 0;
}

int are_poly_points_on_plane(const polygon* p, double t) {
    if (!p) return 0;
    if (p->point_count == 3) return 1;
    const plane pl = polygon_plane(p);
    for (const point* pt = p->points; pt; pt = pt->next) {
        if (plane_point_relation(pl, point_position(pt), t) != 1) return 0;
    }
    return 1;
}

int polygon_make_coplanner(polygon* p, double t) {
    if (!p || p->point_count < 3) {
        report("polygon_make_coplanner: null polygon or less then 3 points\n");
        return -1;
    }
    if (p->point_count == 3) return 0;
    const plane pl = polygon_plane(p);
    int index = 0;
    for (point* pt = p->points; pt; pt = pt->next, ++index) {
        if (index < 3) continue;
        const vec3 q = point_position(pt);
        if (plane_point_relation(pl, q, t) == 1) continue;
        const double v = plane_value(pl, q);
        pt->x -= v * pl.a;
        pt->y -= v * pl.b;
        pt->z -= v * pl.c;
    }
    return 0;
}

int is_poly_convex(const polygon* p) {
    if (!p || p->point_count < 3) {
        report("is_poly_convex: poly==NULL || poly->num_points<3\n");
        return -1;
    }
    if (p->point_count == 3) return 1;
    const std::vector<vec3> v = positions(p);
    const size_t n = v.size();
    plane first;
    if (points_to_plane(first, v[0], v[1], v[2]) != 0) return 0;
    for (size_t i = 1; i < n; ++i) {
        plane pl;
        if (points_to_plane(pl, v[i], v[(i + 1) % n], v[(i + 2) % n]) != 0) return 0;
        if (std::fabs(pl.a - first.a) > 0.01 || std::fabs(pl.b - first.b) > 0.01 ||
            std::fabs(pl.c - first.c) > 0.01)
            return 0;
    }
    return 1;
}

int is_point_inside_polygon(const vec3& q, const polygon* p) {
    if (!p || p->point_count < 3) {
        report("is_point_inside_polygon: poly==NULL || poly->num_points<3\n");
        return -1;
    }
    const std::vector<vec3> v = positions(p);
    const vec3 normal = polygon_normal(p);
    for (size_t i = 0; i < v.size(); ++i) {
        const vec3& a = v[i];
        const vec3& b = v[(i + 1) % v.size()];
        vec3 edge_normal = vec_cross(minus(b, a), normal);
        if (vec_normalize(edge_normal) != 0) continue;
        if (vec_dot(edge_normal, minus(q, b)) <= -0.001) return 0;
    }
    return 1;
}

int is_point_inside_polygon_concave(const vec3& q, const polygon* p) {
    if (!p || p->point_count < 3) {
        report("is_point_inside_polygon: poly==NULL || poly->num_points<3\n");
        return -1;
    }
    const std::vector<vec3> v = positions(p);
    const vec3 normal = polygon_normal(p);
    double sum = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        vec3 u = minus(v[i], q);
        vec3 w = minus(v[(i + 1) % v.size()], q);
        if (vec_normalize(u) != 0 || vec_normalize(w) != 0) return 1;  // on a corner
        const vec3 c = vec_cross(u, w);
        // The side of each angle is the side of its cross product against the polygon's normal.
        const double angle = std::atan2(vec_length(c), vec_dot(u, w));
        sum += vec_dot(c, normal) >= 0 ? angle : -angle;
    }
    return std::fabs(sum) >= 3.14 ? 1 : 0;
}

int does_segment_intersect_polygon(const vec3& a, const vec3& b, const polygon* p, vec3& out) {
    if (!p || p->point_count < 3) return 0;
    vec3 hit;
    if (get_segment_plane_intersection(polygon_plane(p), a, b, hit) != 2) return 0;
    if (is_point_inside_polygon(hit, p) != 1) return 0;
    out = hit;
    return 1;
}

int do_polygons_intersect(const polygon* p1, const polygon* p2, double t, vec3& out) {
    if (!p1 || !p2 || p1->point_count < 3 || p2->point_count < 3) {
        report("do_polygons_intersect: bad params\n");
        return 0;
    }
    if (get_plane_poly_relations(polygon_plane(p2), p1, t) != 4) return 0;
    if (get_plane_poly_relations(polygon_plane(p1), p2, t) != 4) return 0;
    const std::vector<vec3> v = positions(p1);
    for (size_t i = 0; i < v.size(); ++i) {
        if (does_segment_intersect_polygon(v[i], v[(i + 1) % v.size()], p2, out)) return 1;
    }
    return 0;
}

int get_plane_poly_relations(const plane& pl, const polygon* p, double t) {
    if (!p) {
        report("get_plane_poly_relations: poly==NULL\n");
        return 1;
    }
    int running = 1;
    for (const point* pt = p->points; pt; pt = pt->next) {
        const int relation = plane_point_relation(pl, point_position(pt), t);
        if (relation == 1 || relation == running) continue;
        if (running != 1) return 4;
        running = relation;
    }
    return running;
}

int check_bitmap_x_cords(polygon* p) { return check_linear_values(p, &point::bitmap_x); }
int check_bitmap_y_cords(polygon* p) { return check_linear_values(p, &point::bitmap_y); }
int check_brightness_values(polygon* p) { return check_linear_values(p, &point::brightness); }

int polygon_cords_are_linear(const polygon* p) {
    if (!p || p->point_count <= 3) return -1;
    std::vector<vertex> v;
    for (const point* pt = p->points; pt; pt = pt->next) {
        vertex x;
        point_copy_to_vertex(pt, x);
        v.push_back(x);
    }
    const vec3 normal = polygon_normal(p);
    plane ex, ey;
    const int tx = make_bm_equation(v[0].v, v[1].v, v[2].v, normal, VX_BM_X, ex);
    const int ty = make_bm_equation(v[0].v, v[1].v, v[2].v, normal, VX_BM_Y, ey);
    if (tx < 0 || ty < 0 || std::fabs(ex.c) <= equation_tolerance || std::fabs(ey.c) <= equation_tolerance)
        return 0;
    for (size_t i = 3; i < v.size(); ++i) {
        const vec3 q{v[i].v[VX_X], v[i].v[VX_Y], v[i].v[VX_Z]};
        if (std::fabs(get_bm_x_using_equation(q, ex, tx) - v[i].v[VX_BM_X]) > 1e-8) return 0;
        if (std::fabs(get_bm_x_using_equation(q, ey, ty) - v[i].v[VX_BM_Y]) > 1e-8) return 0;
    }
    return 1;
}

int does_poly_has_redandent_points(const polygon* p, double t, int* out_count) {
    if (!p || p->point_count < 3) {
        report("does_poly_has_redandent_points: poly==NULL || poly->num_points<3\n");
        return -1;
    }
    const std::vector<vec3> v = positions(p);
    int count = 0;
    for (size_t i = 0; i < v.size(); ++i) count += is_redundant(v, i, t) ? 1 : 0;
    if (out_count) *out_count = count;
    return count > 0 ? 1 : 0;
}

int remove_polys_redandent_points(polygon* p, double t) {
    if (!p || p->point_count < 3) {
        report("remove_polys_redandent_points: poly==NULL || poly->num_points<3\n");
        return -1;
    }
    int removed = 0;
    for (;;) {
        const std::vector<vec3> v = positions(p);
        const size_t n = v.size();
        // Inner points first, then the two at the wrap-around.
        size_t found = n;
        for (size_t k = 0; k < n && found == n; ++k) {
            const size_t i = k + 1 < n ? k + 1 : 0;
            if (is_redundant(v, i, t)) found = i;
        }
        if (found == n) return removed;
        if (p->point_count <= 3) {
            if (found == 0 || found == n - 1) {
                report("reduce_polys_points: polygon has no space\n");
                return -1;
            }
            report("remove_polys_redandent_points: polygon has no space\n");
            return -1000;
        }
        free_point(polygon_extract_point(p, polygon_get_point(p, static_cast<int>(found))));
        removed++;
    }
}

int match_bitmap_cords(const polygon* reference, polygon* target) {
    if (!reference || !target || reference->point_count < 3) {
        report("match_bitmap_cords: polygon doesnt have three points\n");
        return -1;
    }
    const point* r0 = reference->points;
    const point* r1 = r0->next;
    const point* r2 = r1->next;
    const vec3 e0 = minus(point_position(r0), point_position(r1));
    const vec3 e2 = minus(point_position(r2), point_position(r1));
    const double a0[3] = {e0.x, e0.y, e0.z};
    const double a2[3] = {e2.x, e2.y, e2.z};
    const int rows[3][2] = {{0, 1}, {0, 2}, {1, 2}};
    for (point* pt = target->points; pt; pt = pt->next) {
        const vec3 d = minus(point_position(pt), point_position(r1));
        const double rhs[3] = {d.x, d.y, d.z};
        double solution[2];
        bool solved = false;
        for (const auto& pair : rows) {
            double m[4][4] = {};
            for (int r = 0; r < 2; ++r) {
                m[r][0] = a0[pair[r]];
                m[r][1] = a2[pair[r]];
                m[r][2] = rhs[pair[r]];
            }
            if (solve_equations(m, 2, solution) == 0) {
                solved = true;
                break;
            }
        }
        if (!solved) {
            report("set_poly_bitmap_cords: couldnt solve equation !\n");
            return -1;
        }
        const double alpha = solution[0], beta = solution[1];
        pt->bitmap_x = r1->bitmap_x + alpha * (r0->bitmap_x - r1->bitmap_x) + beta * (r2->bitmap_x - r1->bitmap_x);
        pt->bitmap_y = r1->bitmap_y + alpha * (r0->bitmap_y - r1->bitmap_y) + beta * (r2->bitmap_y - r1->bitmap_y);
    }
    const double min_x = get_polygon_min_bm_x(target);
    const double min_y = get_polygon_min_bm_y(target);
    for (point* pt = target->points; pt; pt = pt->next) {
        if (min_x < 0) pt->bitmap_x -= std::floor(min_x);
        if (min_y < 0) pt->bitmap_y -= std::floor(min_y);
    }
    return 0;
}

polygon* join_polygons(const polygon* p1, const polygon* p2, double t) {
    if (!p1 || !p2 || p1->point_count < 3 || p2->point_count < 3) {
        report("join_polygons: poly==NULL || poly->num_points<3\n");
        return nullptr;
    }
    for (int k = 0; k < 3; ++k) {
        if (std::fabs(p1->plane[k] - p2->plane[k]) > t) return nullptr;
    }
    const std::vector<vec3> v1 = positions(p1);
    const std::vector<vec3> v2 = positions(p2);
    std::vector<int> shared;  // indices in p1 of the points p2 also has
    for (size_t i = 0; i < v1.size(); ++i) {
        if (find_position(v2, v1[i]) >= 0) shared.push_back(static_cast<int>(i));
    }
    const int count = static_cast<int>(shared.size());
    if (count != 2 && count != p1->point_count) return nullptr;
    if (count == p2->point_count) return duplicate_polygon(p1);
    if (count != 2) return nullptr;
    const int n1 = p1->point_count, n2 = p2->point_count;
    // The shared edge runs A -> B in p1; the same edge runs B -> A in p2 when both face one way.
    int a1 = shared[0], b1 = shared[1];
    if ((a1 + 1) % n1 != b1) std::swap(a1, b1);
    if ((a1 + 1) % n1 != b1) return nullptr;
    const int a2 = find_position(v2, v1[a1]);
    const int b2 = find_position(v2, v1[b1]);
    if ((b2 + 1) % n2 != a2) return nullptr;
    polygon* joined = init_poly();
    if (!joined) return nullptr;
    polygon_copy_attributes(joined, p1);
    joined->family_head = nullptr;
    joined->family_next = nullptr;
    const std::vector<point*> q1 = point_array(p1);
    const std::vector<point*> q2 = point_array(p2);
    bool ok = true;
    for (int k = 0; k < n1 && ok; ++k) ok = polygon_add_point_copy(joined, q1[(b1 + k) % n1]) == 0;
    for (int k = 1; k < n2 - 1 && ok; ++k) ok = polygon_add_point_copy(joined, q2[(a2 + k) % n2]) == 0;
    if (ok) remove_polys_redandent_points(joined, 1e-10);
    if (!ok || joined->point_count < 3) {
        report("join_polygons: an error occured\n");
        free_polygon(joined);
        return nullptr;
    }
    if (polygon_calculate_plane(joined) != 0 || is_poly_convex(joined) != 1) {
        free_polygon(joined);
        return nullptr;
    }
    polygon_calculate_bounding_box(joined, 1);
    match_bitmap_cords(p1, joined);
    return joined;
}

namespace {
// Joins the first pair of group polygons that can be joined; true when one was joined, -1 on failure.
int join_first_pair(polygon** list, const group* g, double t) {
    for (polygon* p = *list; p; p = p->next) {
        if (!group_is_included(p->owner_group, g)) continue;
        for (polygon* q = p->next; q; q = q->next) {
            if (!group_is_included(q->owner_group, g)) continue;
            polygon* j = join_polygons(p, q, t);
            if (!j) continue;
            j->next = p->next;
            p->next = j;
            if (polygon_list_remove(list, p) != 0) {
                report("optimize_polygon_list: error extracting1\n");
                return -1;
            }
            if (polygon_list_remove(list, q) != 0) {
                report("optimize_polygon_list: error extracting2\n");
                return -1;
            }
            free_polygon(p);
            free_polygon(q);
            return 1;
        }
    }
    return 0;
}
}  // namespace

int optimize_polygon_list(polygon** list, group* g, double t) {
    if (!list) return -1;
    int joins = 0;
    for (;;) {
        const int joined = join_first_pair(list, g, t);
        if (joined < 0) return -1;
        if (joined == 0) return joins;
        joins++;
    }
}

void polygon_transform(polygon* p, const vec3& centre, const mat4& m) {
    if (!p) return;
    mat4 used = m;
    if (p->rotated) {
        // Camera-facing polygons only scale and move.
        matrix_identity(used);
        used.m[0][0] = vec_length(row_of(m, 0));
        used.m[1][1] = vec_length(row_of(m, 1));
        used.m[2][2] = vec_length(row_of(m, 2));
        for (int c = 0; c < 4; ++c) used.m[3][c] = m.m[3][c];
    }
    for (point* pt = p->points; pt; pt = pt->next) {
        vec3 q;
        mul_vec_mat3(q, minus(point_position(pt), centre), used);
        q = plus(q, centre);
        pt->x = q.x;
        pt->y = q.y;
        pt->z = q.z;
    }
    if (polygon_calculate_plane(p) != 0) report("polygon_transform: internalerror\n");
    polygon_calculate_bounding_box(p, 1);
}

void polygon_rotate_x(polygon* p, double radians, const vec3& centre) {
    mat4 m;
    matrix_rotation_x(m, radians);
    polygon_transform(p, centre, m);
}

void polygon_rotate_y(polygon* p, double radians, const vec3& centre) {
    mat4 m;
    matrix_rotation_y(m, radians);
    polygon_transform(p, centre, m);
}

void polygon_rotate_z(polygon* p, double radians, const vec3& centre) {
    mat4 m;
    matrix_rotation_z(m, radians);
    polygon_transform(p, centre, m);
}

namespace {
void shift_points(polygon* p, const vec3& v, const char* failure) {
    if (!p) return;
    for (point* pt = p->points; pt; pt = pt->next) {
        pt->x += v.x;
        pt->y += v.y;
        pt->z += v.z;
    }
    if (polygon_calculate_plane(p) != 0) report(failure);
    polygon_calculate_bounding_box(p, 1);
}
}  // namespace

void polygon_move(polygon* p, const vec3& v) { shift_points(p, v, "polygon_move: internal error\n"); }

void polygon_set_location(polygon* p, const vec3& from, const vec3& to) {
    shift_points(p, minus(to, from), "polygon_set_location: internal error\n");
}

void polygon_flip_visible_side(polygon* p) {
    if (!p || !p->points) return;
    point* rest = p->points->next;
    p->points->next = nullptr;
    p->point_count = 1;
    // Every point but the first goes to the head in turn, reversing the order.
    while (rest) {
        point* next = rest->next;
        const double values[6] = {rest->x, rest->y, rest->z, rest->bitmap_x, rest->bitmap_y, rest->brightness};
        const uint8_t r = rest->red, g = rest->green, b = rest->blue;
        free_point(rest);
        if (polygon_add_point_to_head(p, values) == 0) {
            p->points->red = r;
            p->points->green = g;
            p->points->blue = b;
        }
        rest = next;
    }
    for (point* pt = p->points; pt; pt = pt->next) pt->normal_x = pt->normal_y = pt->normal_z = 0;
    if (polygon_calculate_plane(p) != 0) report("polygon_flip_visible_side: failed to calculate normal\n");
}

int polygon_get_axis_system(const polygon* p, vec3& x, vec3& y, vec3& z) {
    if (!p || p->point_count < 2) return -1;
    x = polygon_normal(p);
    const std::vector<vec3> v = positions(p);
    const vec3 up_y{0, 1, 0}, up_z{0, 0, 1};
    double best = 1e300;
    vec3 chosen{0, 0, 0};
    bool nearest_y = true;
    for (size_t i = 0; i < v.size(); ++i) {
        vec3 edge = minus(v[(i + 1) % v.size()], v[i]);
        vec3 unit = edge;
        if (vec_normalize(unit) != 0) continue;
        const double dy = vec_square_distance(unit, up_y);
        const double dz = vec_square_distance(unit, up_z);
        if (dy < best) {
            best = dy;
            chosen = unit;
            nearest_y = true;
        }
        if (dz < best) {
            best = dz;
            chosen = unit;
            nearest_y = false;
        }
    }
    if (vec_normalize(chosen) != 0) return -1;
    if (nearest_y) {
        y = chosen;
        z = vec_cross(x, y);
    } else {
        z = chosen;
        y = vec_cross(z, x);
    }
    return 0;
}

int polygon_get_mutual_axis_systems(const polygon* p, const polygon* reference, mat4& axes_p,
                                    mat4& axes_reference) {
    if (!p || !reference || p->point_count < 3 || reference->point_count < 3) return -1;
    const vec3 n_ref = polygon_normal(reference);
    const vec3 xp = polygon_normal(p);
    vec3 yp;
    if (edge_most_perpendicular(p, n_ref, yp) != 0) return -1;
    set_axes(axes_p, xp, yp, vec_cross(xp, yp));
    vec3 yr = minus(yp, times(vec_dot(yp, n_ref), n_ref));
    if (vec_normalize(yr) != 0) {
        const point* r = reference->points;
        yr = minus(point_position(r->next), point_position(r));
        if (vec_normalize(yr) != 0) return -1;
    }
    set_axes(axes_reference, n_ref, yr, vec_cross(n_ref, yr));
    return 0;
}

int polygon_get_direction_axis_systems(const polygon* p, const vec3& direction, mat4& axes_p,
                                       mat4& axes_direction) {
    if (!p || p->point_count < 3) return -1;
    vec3 d = direction;
    if (vec_normalize(d) != 0) return -1;
    const vec3 xp = polygon_normal(p);
    vec3 yp;
    if (edge_most_perpendicular(p, d, yp) != 0) return -1;
    set_axes(axes_p, xp, yp, vec_cross(xp, yp));
    const vec3 candidates[3] = {yp, {d.y, -d.x, d.z}, {d.x, -d.z, d.y}};
    for (const vec3& c : candidates) {
        vec3 y = minus(c, times(vec_dot(c, d), d));
        if (vec_normalize(y) != 0) continue;
        set_axes(axes_direction, d, y, vec_cross(d, y));
        return 0;
    }
    return -1;
}

int polygon_rotate_mat_to_match_referance_polygon(const polygon* p, const polygon* reference, mat4& m) {
    mat4 axes_p, axes_ref, inverse;
    if (polygon_get_mutual_axis_systems(p, reference, axes_p, axes_ref) != 0) {
        report("polygon_rotate_mat_to_match_referance_polygon: polygon_get_mutual_axis_systems failed\n");
        return -1;
    }
    if (matrix3_inverse(inverse, axes_p) != 0) {
        report("polygon_rotate_mat_to_match_referance_polygon: failed inverting the matrix\n");
        return -1;
    }
    matrix_multiply(m, inverse, axes_ref);
    for (int c = 0; c < 4; ++c) m.m[3][c] = c == 3 ? 1 : 0;
    vec3 mean{0, 0, 0};
    for (const point* pt = p->points; pt; pt = pt->next) mean = plus(mean, point_position(pt));
    mean = times(1.0 / p->point_count, mean);
    vec3 turned;
    vec_mul_rotation(turned, mean, m);
    const vec3 t = minus(mean, turned);
    m.m[3][0] = t.x;
    m.m[3][1] = t.y;
    m.m[3][2] = t.z;
    return 0;
}

int split_polygon(polygon* source, const plane& pl, polygon** front_out, polygon** back_out) {
    if (!source) {
        report("split_polygon: poly==NULL\n");
        return -1;
    }
    if (source->point_count < 3) {
        report("split_polygon: less then 3 points in input poly\n");
        return -1;
    }
    polygon* front = init_poly();
    polygon* back = init_poly();
    if (!front || !back) {
        free_polygon(front);
        free_polygon(back);
        return -1;
    }
    polygon_copy_attributes(front, source);
    polygon_copy_attributes(back, source);
    std::vector<vertex> v;
    for (const point* pt = source->points; pt; pt = pt->next) {
        vertex x;
        point_copy_to_vertex(pt, x);
        v.push_back(x);
    }
    std::vector<int> cls;
    for (const vertex& x : v) cls.push_back(plane_point_relation(pl, {x.v[VX_X], x.v[VX_Y], x.v[VX_Z]}, 0.1));
    auto add_crossing = [&](const vertex& a, const vertex& b) {
        vertex cut;
        if (split_edge_by_plane(pl, a.v, b.v, cut.v) != 2) {
            report("split_polygon: Very odd, no intersection !\n");
            return;
        }
        add_vertex_to(front, cut);
        add_vertex_to(back, cut);
    };
    int previous = 1;
    for (size_t i = 0; i < v.size(); ++i) {
        const int c = cls[i];
        if (c == 1) {
            add_vertex_to(front, v[i]);
            add_vertex_to(back, v[i]);
        } else {
            if ((c == 2 && previous == 3) || (c == 3 && previous == 2)) add_crossing(v[i - 1], v[i]);
            add_vertex_to(c == 3 ? front : back, v[i]);
        }
        previous = c;
    }
    const int last = cls.back(), first = cls.front();
    if ((last == 2 && first == 3) || (last == 3 && first == 2)) add_crossing(v.back(), v.front());
    if (back->point_count == 1 || back->point_count == 2) report("split_poly: illegal back_piece was created\n");
    if (front->point_count == 1 || front->point_count == 2) report("split_poly: illegal front_piece was created\n");
    polygon_calculate_bounding_box(front, 0);
    polygon_calculate_bounding_box(back, 0);

    polygon* head = source->family_head ? source->family_head : front;
    front->family_head = head;
    front->family_next = nullptr;
    back->family_next = nullptr;
    if (polygon_family_append(head, front) != 0) report("split_polygon: add_polygon_family_list() failed\n");
    back->family_head = front->family_head;
    if (polygon_family_append(head, back) != 0) report("split_polygon: add_polygon_family_list() failed2\n");
    if (source->family_head) {
        if (source->family_head == source) {
            polygon* new_head = source->family_next;
            for (polygon* member = new_head; member; member = member->family_next) {
                if (member->family_head != source) report("split_polygon: internal error\n");
                member->family_head = new_head;
            }
        } else {
            polygon_family_remove(&head, source);
        }
        source->family_head = nullptr;
        source->family_next = nullptr;
    }
    polygon_calculate_plane(front);
    polygon_calculate_plane(back);
    if (front->point_count >= 3) polygon_make_coplanner(front, 0);
    if (back->point_count >= 3) polygon_make_coplanner(back, 0);
    *front_out = front;
    *back_out = back;
    return 0;
}
