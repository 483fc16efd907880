// Drawing one world polygon: back-face test, translucent passes, patches, texture animation,
// rotated polygons, frustum clipping, camera space and projection, then the back-end.
#include "render/software/draw_polygon.h"

#include <cmath>

#include "foundation/errors.h"
#include "foundation/profiler.h"
#include "render/render_backend.h"
#include "render/render_hooks.h"
#include "render/software/raster_iface.h"
#include "render/software/world_traversal.h"
#include "world/engine_state.h"
#include "world/group.h"

namespace {

constexpr double back_face_tolerance = 0.00001;

vec3 camera_eye(const camera* c) { return {c->location[0], c->location[1], c->location[2]}; }
vec3 camera_back_axis(const camera* c) { return {c->matrix.m[0][0], c->matrix.m[0][1], c->matrix.m[0][2]}; }

// Seen from its front: the eye in front of the plane, or for a parallel camera a plane turned
// toward the viewing direction. A nested polygon is tested in its own space.
bool faces_camera(const polygon* p, const camera* c) {
    vec3 eye = camera_eye(c);
    vec3 back = camera_back_axis(c);
    const traversal_state& t = traversal();
    if (t.depth > 0) {
        mat4 inverse;
        if (matrix_inverse(inverse, t.matrix) != 0) {
            report_error(1, draw_polygon_texts::no_inverse);
            return false;
        }
        mul_vec_mat3(eye, eye, inverse);
        vec_mul_rotation(back, back, inverse);
    }
    const plane pl{p->plane[0], p->plane[1], p->plane[2], p->plane[3]};
    if (c->perspective) return plane_value(pl, eye) > back_face_tolerance;
    return pl.a * back.x + pl.b * back.y + pl.c * back.z >= 0;
}

void copy_points(const polygon* p, std::vector<clip_point>& out) {
    out.clear();
    for (const point* q = p->points; q; q = q->next) {
        out.push_back({q->x, q->y, q->z, q->bitmap_x, q->bitmap_y, q->brightness, static_cast<double>(q->red),
                       static_cast<double>(q->green), static_cast<double>(q->blue)});
    }
}

void animate(polygon* p, const camera* c) {
    const render_hooks& hooks = render_hooks_state();
    if (!p->bitmap_is_animation || !p->anim || !hooks.animate_polygon) return;
    if (p->family_head && p->family_stamp == engine_state.rendered_frames) return;
    hooks.animate_polygon(p, c);
}

// The texture animation, then clipping, projection and the back-end, on points already in
// traversal().points when `ready`.
void project_and_draw(polygon* p, camera* c, bool ready) {
    traversal_state& t = traversal();
    animate(p, c);
    if (!ready) copy_points(p, t.points);
    if (p->rotated && calc_rotated_object_points(p, t.points, camera_eye(c)) != 0) return;
    if (t.points.size() < 3) return;
    double far_distance = p->fade_distance;
    if (c->own_culling_depth && c->culling_depth < far_distance) far_distance = c->culling_depth;
    if (clip_poly_to_frustum(t.points, t.scratch, c, far_distance) == 1) return;
    const int count = static_cast<int>(t.points.size());
    t.camera_points.resize(count);
    t.projected.resize(count);
    for (int i = 0; i < count; ++i) {
        const clip_point& w = t.points[i];
        vec3 at;
        mul_vec_mat3(at, {w.x, w.y, w.z}, c->inverse_matrix);
        t.camera_points[i] = {at.x, at.y, at.z, w.bitmap_x, w.bitmap_y, w.brightness, w.red, w.green, w.blue};
    }
    const int check = raster_frame_state().check_spans;
    const int projected = c->perspective ? project_poly(t.camera_points.data(), count, t.projected.data(), c, check)
                                         : project_poly_parallel(t.camera_points.data(), count, t.projected.data(), c, check);
    if (projected != 0 || count < 3) return;
    if (render_backend_current().projected_polygon(c, p, t.points.data(), count, t.camera_points.data(),
                                                   t.projected.data()) != 0) {
        engine_log_printf(draw_polygon_texts::failed, p->bitmap_name ? p->bitmap_name : "");
    }
}

void draw_points(polygon* p, camera* c, bool ready) {
    static profiler_site site{"draw_polygon_patches (fully seen)"};
    const profiler_timer timer(site);
    project_and_draw(p, c, ready);
}

void draw_with_patches(polygon* p, camera* c) {
    const traversal_state& t = traversal();
    if (!p->next_patch) {
        draw_polygon(p, c);
        return;
    }
    if (t.back_to_front) {
        draw_polygon(p, c);
        for (polygon* patch = p->next_patch; patch; patch = patch->next_patch) draw_polygon(patch, c);
        return;
    }
    std::vector<polygon*> chain;
    for (polygon* patch = p->next_patch; patch; patch = patch->next_patch) chain.push_back(patch);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) draw_polygon(*it, c);
    draw_polygon(p, c);
}

}  // namespace

void draw_polygon_timed(polygon* p, camera* c) {
    const traversal_state& t = traversal();
    if (!p || (t.budget_exceeded && t.pass != pass_translucent)) return;
    static profiler_site site{"draw_polygon"};
    const profiler_timer timer(site);
    draw_with_patches(p, c);
}

void draw_polygon(polygon* p, camera* c) {
    if (!p || !c || p->disabled) return;
    if (!group_is_included(p->owner_group, engine_state.group_to_render)) return;
    if (!p->rotated && !faces_camera(p, c)) return;
    traversal_state& t = traversal();
    if (t.pass == pass_collect && p->blending_on) {
        if (t.translucent_seen < translucent_capacity) t.translucent.push_back({p, t.object});
        ++t.translucent_seen;
        return;
    }
    if (t.pass == pass_translucent && !p->blending_on) return;
    if (t.depth == 0) {
        draw_polygon_patches(p, c);
        return;
    }
    polygon copy;
    polygon_copy_transformed(copy, t.points, p, t.matrix);
    draw_points(&copy, c, true);
    polygon_copy_back(p, copy);
}

void draw_polygon_patches(polygon* p, camera* c) { draw_points(p, c, false); }

int calc_rotated_object_points(polygon* p, std::vector<clip_point>& points, const vec3& eye) {
    const double cx = p->centre[0];
    const double cy = p->centre[1];
    const double tx = eye.x - cx;
    const double ty = eye.y - cy;
    const double to_eye = std::hypot(tx, ty);
    const double facing = std::hypot(p->plane[0], p->plane[1]);
    if (to_eye < zero_tolerance || facing < zero_tolerance) {
        report_error(1, draw_polygon_texts::no_rotation_normal);
        return -1;
    }
    // The turn that takes the plane's horizontal normal onto the direction to the eye.
    const double nx = p->plane[0] / facing, ny = p->plane[1] / facing;
    const double ex = tx / to_eye, ey = ty / to_eye;
    const double cosine = nx * ex + ny * ey;
    const double sine = nx * ey - ny * ex;
    for (clip_point& q : points) {
        const double dx = q.x - cx, dy = q.y - cy;
        q.x = cx + dx * cosine - dy * sine;
        q.y = cy + dx * sine + dy * cosine;
    }
    p->plane[0] = ex * facing;
    p->plane[1] = ey * facing;
    p->plane[3] = -(p->plane[0] * cx + p->plane[1] * cy + p->plane[2] * p->centre[2]);
    return 0;
}

void polygon_copy_transformed(polygon& copy, std::vector<clip_point>& points, polygon* p, const mat4& matrix) {
    copy = *p;
    copy_points(p, points);
    for (clip_point& q : points) {
        vec3 at;
        mul_vec_mat3(at, {q.x, q.y, q.z}, matrix);
        q.x = at.x;
        q.y = at.y;
        q.z = at.z;
    }
    plane moved;
    if (transform_plane(moved, {p->plane[0], p->plane[1], p->plane[2], p->plane[3]}, matrix) == 0) {
        copy.plane[0] = moved.a;
        copy.plane[1] = moved.b;
        copy.plane[2] = moved.c;
        copy.plane[3] = moved.d;
    }
    vec3 centre{p->centre[0], p->centre[1], p->centre[2]};
    mul_vec_mat3(centre, centre, matrix);
    copy.centre[0] = centre.x;
    copy.centre[1] = centre.y;
    copy.centre[2] = centre.z;
    raster_frame& frame = raster_frame_state();
    if (frame.marked == p) frame.marked = &copy;
}

void polygon_copy_back(polygon* p, const polygon& copy) {
    raster_frame& frame = raster_frame_state();
    if (frame.marked == &copy) frame.marked = p;
    if (!p->bitmap_is_animation) return;
    p->texture = copy.texture;
    p->bitmap_mirrored = copy.bitmap_mirrored;
    p->animation_frame = copy.animation_frame;
    p->animation_last_tick = copy.animation_last_tick;
    p->animation_running = copy.animation_running;
    p->drawer_index = copy.drawer_index;
}
