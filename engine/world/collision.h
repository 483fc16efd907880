// The collision test: whether a straight move is free, and if not where, by which polygon and object.
#pragma once
#include "foundation/geometry.h"
#include "world/records.h"

int& collision_report_errors();

// The nearest obstacle of a blocked move.
struct collision_hit {
    polygon* polygon_hit = nullptr;
    vec3 point{0, 0, 0};
    dynamic_object* object = nullptr;  // NULL for the static world
};

// 1 when the move from start to end is free, 0 when blocked (the nearest hit over the MAIN
// module's tree and every collisional dynamic object other than `moving` is written to hit).
int is_movement_possible(const dynamic_object* moving, const vec3& start, const vec3& end, collision_hit& hit);
// The same for a segment given in the current camera's space.
int is_movement_possible_camera_space(const dynamic_object* moving, const vec3& start, const vec3& end,
                                      collision_hit& hit);
// One tree: 1 free, 0 blocked, -1 for a NULL root. `main_tree` tells the MAIN module's tree from
// the others (whose trees may be switched off).
int is_movement_possible_in_bsp(bsp_node* root, bool main_tree, const vec3& start, const vec3& end,
                                polygon** out_polygon, vec3& out_point);
// The brute-force test over the root's flat polygon list; 1 free, 0 blocked, -1 for a NULL root.
int is_movement_possible_editor_mode(bsp_node* root, const vec3& start, const vec3& end, polygon** out_polygon,
                                     vec3& out_point);

// The normalised sum of the normals of every polygon the segment crosses (each found polygon is
// disabled for the next test, then restored); returns their number.
int calculate_combined_normal(vec3& out, const vec3& from, const vec3& to);
