// World traversal: the frame's BSP walks front to back (software, card z-buffer pass) or back to
// front, dynamic objects and attached modules under their placement matrices, the time budget,
// and the card's translucent passes.
#pragma once
#include <cstdint>
#include <vector>

#include "foundation/geometry.h"
#include "world/poly_clip.h"
#include "world/records.h"

struct draw_buffer;

inline constexpr int translucent_capacity = 2500;
inline constexpr int pass_everything = 3;
inline constexpr int pass_collect = 1;
inline constexpr int pass_translucent = 2;

struct translucent_polygon {
    polygon* p;
    dynamic_object* object;  // nullptr for the static world
};

struct traversal_state {
    mat4 matrix;  // current placement, identity at depth 0
    int depth;
    camera* cam;
    dynamic_object* object;  // the dynamic object being drawn, nullptr for the static world
    int back_to_front;
    int software_walk;  // 1 during the software renderer's walk
    int pass;
    std::vector<translucent_polygon> translucent;  // at most translucent_capacity
    int translucent_seen;                          // blended polygons met in the first pass
    uint32_t start_tick;
    int node_counter;
    int budget_exceeded;
    // Work space of the polygon set-up, kept between polygons.
    std::vector<clip_point> points, scratch, camera_points;
    std::vector<projected_point> projected;
};

traversal_state& traversal();

// Draws the world through the current back-end: 0, or -1 for a refused frame.
int draw_world(draw_buffer* buffer, module* root, camera* c, dynamic_object* objects);
int draw_world_software(draw_buffer* buffer, module* root, camera* c, dynamic_object* objects);
int draw_world_card3d(module* root, camera* c, dynamic_object* objects);
void draw_bsp_node(bsp_node* node);
void draw_bsp_node_back_to_front(bsp_node* node);
int is_bsp_node_visible(bsp_node* node);
void draw_node_polygons(polygon* list);
void draw_attached_modules(object* list);
// A node's list (linked through next_in_node) or the world's list (through next).
void draw_dynamic_object_list(dynamic_object* list, dynamic_object* dynamic_object::*link);
void draw_world_dynamic_objects(dynamic_object* list);

namespace traversal_texts {
inline constexpr const char* no_buffer = "draw_world: buffer==NULL";
inline constexpr const char* does_not_fit = "draw_world: rendered picture doesnt fit to buffer";
inline constexpr const char* no_mask = "draw_world: failed to set dirty_buffer";
inline constexpr const char* zbuffer_size = "draw_world: zbuff set_buffer_dimentions() failed ()";
inline constexpr const char* zbuffer_small = "draw_world: used zbuffer is too small";
}  // namespace traversal_texts
