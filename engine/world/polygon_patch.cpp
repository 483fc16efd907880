// Patches laid on a polygon: easy square patches, shadow patches and the chain that holds them.
#include "world/polygon_patch.h"

#include <cmath>
#include <vector>

#include "foundation/errors.h"
#include "foundation/profiler.h"
#include "world/colour.h"
#include "world/poly_clip.h"
#include "world/polygon_fill.h"
#include "world/polygon_geometry.h"

namespace {

void report(const char* text) {
    if (polygon_patch_report_errors()) report_error(1, text);
}

// A patch record: the source's attributes without points, name, lists or family.
polygon* new_patch_from(const polygon* source) {
    polygon* patch = init_poly();
    if (!patch) return nullptr;
    polygon_copy_attributes(patch, source);
    patch->ancestor_id = patch->serial_id;
    polygon_set_name(patch, nullptr);
    patch->family_head = nullptr;
    patch->family_next = nullptr;
    patch->disabled = 0;
    return patch;
}

std::vector<clip_point> clip_points_of(const polygon* p, const mat4* turn) {
    std::vector<clip_point> out;
    for (const point* pt = p->points; pt; pt = pt->next) {
        vec3 q = point_position(pt);
        if (turn) mul_vec_mat2(q, *turn);
        out.push_back({q.x, q.y, q.z, pt->bitmap_x, pt->bitmap_y, pt->brightness});
    }
    return out;
}

bool planes_differ(const polygon* a, const polygon* b) {
    for (int k = 0; k < 4; ++k) {
        if (std::fabs(a->plane[k] - b->plane[k]) >= 1e-6) return true;
    }
    return false;
}

// The pieces of a split family, or the polygon alone.
std::vector<polygon*> family_of(polygon* p) {
    std::vector<polygon*> out;
    if (!p->family_head) {
        out.push_back(p);
        return out;
    }
    for (polygon* piece = p->family_head; piece; piece = piece->family_next) out.push_back(piece);
    return out;
}

}  // namespace

int& polygon_patch_report_errors() {
    static int flag = 1;
    return flag;
}

polygon* polygon_add_patch_easy(polygon* p, const vec3* centre, double size, const vec3* direction,
                                bitmap_texture* bitmap, int red, int green, int blue) {
    if (!p) return nullptr;
    const vec3 c = centre ? *centre : vec3{p->centre[0], p->centre[1], p->centre[2]};
    vec3 d = direction ? *direction : vec3{1, 0, 0};
    if (vec_normalize(d) != 0) d = {1, 0, 0};
    const vec3 normal = polygon_normal(p);
    vec3 u = vec_cross(d, normal);
    if (vec_normalize(u) != 0) {
        get_drop_axis_perpendicular(normal, u);
        if (vec_normalize(u) != 0) {
            report("polygon_add_patch_easy: failed, internal error\n");
            return nullptr;
        }
    }
    vec3 v = vec_cross(normal, u);
    vec_scale(u, size, u);
    vec_scale(v, size, v);
    polygon* patch = new_patch_from(p);
    if (!patch) {
        report("polygon_add_patch_easy: init_polygon failed\n");
        return nullptr;
    }
    patch->patch_kind = patch_kind_easy;
    patch->blending = 0;
    const double brightness = static_cast<int>(light_intensity_to_shade(100, NORMAL_PALETTE));
    const double corners[4][5] = {{1, 1, 1, 0}, {1, -1, 1, 1}, {-1, -1, 0, 1}, {-1, 1, 0, 0}};
    for (const auto& k : corners) {
        const double values[6] = {c.x + k[0] * u.x + k[1] * v.x, c.y + k[0] * u.y + k[1] * v.y,
                                  c.z + k[0] * u.z + k[1] * v.z, k[2], k[3], brightness};
        polygon_add_point(patch, values);
    }
    if (bitmap) {
        polygon_set_bitmap_fill(patch, bitmap);
    } else {
        polygon_set_color_fill(patch, red, green, blue);
    }
    polygon_set_name(patch, "patch");
    polygon_calculate_bounding_box(patch, patch->rotated ? 0 : 1);
    if (polygon_insert_patch(p, patch) != 0) {
        patch->patch_kind = 0;
        free_polygon(patch);
        return nullptr;
    }
    return patch;
}

int polygon_insert_patch(polygon* father, polygon* patch) {
    if (!father || !patch || father == patch) return -1;
    if (father->patch_kind) {
        report("polygon_insert_patch: a patch cant carry patches\n");
        return -1;
    }
    if (patch->patch_kind == 0) patch->patch_kind = patch_kind_easy;
    polygon* after = father;
    if (patch->patch_kind == patch_kind_easy) {
        while (after->next_patch && after->next_patch->patch_kind == patch_kind_easy) after = after->next_patch;
    } else {
        while (after->next_patch) after = after->next_patch;
    }
    patch->next_patch = after->next_patch;
    patch->previous_patch = after;
    if (after->next_patch) after->next_patch->previous_patch = patch;
    after->next_patch = patch;
    polygon_update_patches_blending(father);
    if (father->owner) {
        mat4 inverse;
        if (matrix_inverse(inverse, father->owner->total_matrix) == 0) {
            for (point* pt = patch->points; pt; pt = pt->next) {
                vec3 q = point_position(pt);
                mul_vec_mat2(q, inverse);
                pt->x = q.x;
                pt->y = q.y;
                pt->z = q.z;
            }
        }
        for (int k = 0; k < 4; ++k) patch->plane[k] = father->plane[k];
        polygon_calculate_bounding_box(patch, 1);
    }
    polygon_patch_count_add(1);
    return 0;
}

void Polygon_delete_patches(polygon* p, int type) {
    if (!p || p->patch_kind) return;
    polygon* patch = p->next_patch;
    while (patch) {
        polygon* next = patch->next_patch;
        const bool selected = type == 1 || (type == 4 ? patch->patch_kind >= 4 : patch->patch_kind == type);
        if (selected) {
            if (!patch->previous_patch) {
                report("Polygon_delete_patches: very weired. a patch without a father\n");
            } else {
                free_polygon(patch);
            }
        }
        patch = next;
    }
}

void polygon_update_patches_blending(polygon* father) {
    if (!father) return;
    polygon* first_translucent = nullptr;
    polygon* start = nullptr;
    for (polygon* e = father; e; e = e->next_patch) {
        if (!first_translucent && e->blending != 0) first_translucent = e;
        if (first_translucent && !start && e->blending == 0) start = e;
    }
    bool opaque_after_translucent = false;
    for (polygon* e = father; e && e->next_patch; e = e->next_patch) {
        if (e->blending != 0 && e->next_patch->blending == 0) opaque_after_translucent = true;
    }
    if (!opaque_after_translucent) {
        for (polygon* e = father; e; e = e->next_patch) {
            if (e->blending == 0) e->blending_on = 0;
        }
        return;
    }
    for (polygon* e = start; e; e = e->next_patch) e->blending_on = 1;
}

polygon* polygon_add_shadow_patch_not_dynamic(const polygon* receiver, const polygon* caster,
                                              const vec3& light, int kind) {
    static profiler_site site{"polygon_add_shadow_patch_not_dynamic"};
    const profiler_timer timer(site);
    polygon* result = nullptr;
    if (!receiver || !caster) return nullptr;
    if (caster->point_count < 3) {
        report("polygon_create_shadow_patch: bad shadow_poly. Has to have at least three points\n");
        return nullptr;
    }
    const plane receiver_plane = polygon_plane(receiver);
    const bool usable = receiver != caster && receiver->point_count >= 3 &&
                        plane_point_side(receiver_plane, light) == 3 &&
                        (caster->rotated || plane_point_side(polygon_plane(caster), light) == 3) &&
                        planes_differ(receiver, caster);
    if (!usable) return nullptr;
    static profiler_site full_site{"polygon_add_shadow_patch_not_dynamic_full"};
    const profiler_timer full_timer(full_site);
    // Buffers follow the polygons' own sizes.
    mat4 turn;
    const bool turned = caster->rotated &&
                        polygon_rotate_mat_to_match_referance_polygon(caster, receiver, turn) == 0;
    std::vector<clip_point> caster_points = clip_points_of(caster, turned ? &turn : nullptr);
    std::vector<clip_point> receiver_points = clip_points_of(receiver, nullptr);
    std::vector<clip_point> clipped;
    plane caster_plane = polygon_plane(caster);
    if (turned) {
        const vec3 a{caster_points[0].x, caster_points[0].y, caster_points[0].z};
        const vec3 b{caster_points[1].x, caster_points[1].y, caster_points[1].z};
        const vec3 c{caster_points[2].x, caster_points[2].y, caster_points[2].z};
        points_to_plane(caster_plane, a, b, c);
    }
    bool ok = clip_poly_plane(caster_points, clipped, receiver_plane) == 2;
    if (ok) {
        vec3 middle{0, 0, 0};
        for (const clip_point& c : clipped) middle = {middle.x + c.x, middle.y + c.y, middle.z + c.z};
        vec_scale(middle, 1.0 / static_cast<double>(clipped.size()), middle);
        for (size_t i = 0; i < clipped.size() && ok; ++i) {
            const clip_point& a = clipped[i];
            const clip_point& b = clipped[(i + 1) % clipped.size()];
            plane side;
            if (points_to_plane(side, light, {a.x, a.y, a.z}, {b.x, b.y, b.z}) != 0) continue;
            // Keep the side of the edge plane on which the caster lies.
            if (plane_value(side, middle) < 0) side = {-side.a, -side.b, -side.c, -side.d};
            std::vector<clip_point> kept;
            ok = clip_poly_plane(receiver_points, kept, side) == 2 && kept.size() >= 3;
            receiver_points.swap(kept);
        }
    }
    std::vector<vec3> projected;
    if (ok) {
        double v[3][VX_COUNT] = {};
        for (int k = 0; k < 3; ++k) {
            v[k][VX_X] = caster_points[k].x;
            v[k][VX_Y] = caster_points[k].y;
            v[k][VX_Z] = caster_points[k].z;
            v[k][VX_BM_X] = caster_points[k].bitmap_x;
            v[k][VX_BM_Y] = caster_points[k].bitmap_y;
        }
        const vec3 normal{caster_plane.a, caster_plane.b, caster_plane.c};
        plane ex, ey;
        const int tx = make_bm_equation(v[0], v[1], v[2], normal, VX_BM_X, ex);
        const int ty = make_bm_equation(v[0], v[1], v[2], normal, VX_BM_Y, ey);
        ok = tx >= 0 && ty >= 0;
        for (size_t i = 0; ok && i < receiver_points.size(); ++i) {
            clip_point& r = receiver_points[i];
            vec3 hit;
            if (get_line_plane_intersection(caster_plane, light, {r.x, r.y, r.z}, hit) != 2) {
                ok = false;
                break;
            }
            r.bitmap_x = get_bm_x_using_equation(hit, ex, tx);
            r.bitmap_y = get_bm_x_using_equation(hit, ey, ty);
        }
    }
    if (ok) result = new_patch_from(caster);
    if (result) {
        for (int k = 0; k < 4; ++k) result->plane[k] = receiver->plane[k];
        result->owner_group = receiver->owner_group;
        result->owner = receiver->owner;
        result->patch_kind = static_cast<uint8_t>(kind);
        result->rotated = 0;
        polygon_set_name(result, "shadow_patch");
        for (const clip_point& r : receiver_points) {
            const double values[6] = {r.x, r.y, r.z, r.bitmap_x, r.bitmap_y, r.brightness};
            polygon_add_point(result, values);
        }
        polygon_calculate_bounding_box(result, 1);
        result->linear_bitmap_cords = polygon_cords_are_linear(result) == 1 ? 1 : 0;
    }
    return result;
}

polygon* polygon_add_shadow_patch(polygon* receiver, polygon* caster, const vec3& light, int kind) {
    if (!receiver || !caster) {
        report("polygon_create_shadow_patch: Null params\n");
        return nullptr;
    }
    static profiler_site site{"polygon_add_shadow_patch"};
    const profiler_timer timer(site);
    polygon* receiver_world = receiver->owner ? duplicate_polygon_mat(receiver, receiver->owner->total_matrix) : nullptr;
    polygon* caster_world = caster->owner ? duplicate_polygon_mat(caster, caster->owner->total_matrix) : nullptr;
    polygon* patch = nullptr;
    if ((!receiver->owner || receiver_world) && (!caster->owner || caster_world)) {
        if (receiver_world) {
            receiver_world->owner = receiver->owner;
            receiver_world->owner_group = receiver->owner_group;
        }
        patch = polygon_add_shadow_patch_not_dynamic(receiver_world ? receiver_world : receiver,
                                                     caster_world ? caster_world : caster, light, kind);
    }
    free_polygon(receiver_world);
    free_polygon(caster_world);
    if (patch && polygon_insert_patch(receiver, patch) != 0) {
        patch->patch_kind = 0;
        free_polygon(patch);
        patch = nullptr;
    }
    return patch;
}

polygon* polygon_add_shadow_patch_family(polygon* receiver, polygon* caster, const vec3& light, int kind,
                                         int type) {
    if (!receiver || !caster) {
        report("polygon_create_shadow_patch: Null params\n");
        return nullptr;
    }
    static profiler_site site{"polygon_add_shadow_patch_family"};
    const profiler_timer timer(site);
    const std::vector<polygon*> receivers = type == 3 || type == 1 ? family_of(receiver) : std::vector<polygon*>{receiver};
    const std::vector<polygon*> casters = type == 3 || type == 2 ? family_of(caster) : std::vector<polygon*>{caster};
    polygon* last = nullptr;
    for (polygon* r : receivers) {
        for (polygon* c : casters) {
            polygon* made = polygon_add_shadow_patch(r, c, light, kind);
            if (made) last = made;
        }
    }
    return last;
}
