// The world order: one list through every polygon of the world, and the walk over it.
#pragma once
#include <cstddef>
#include <vector>

#include "world/records.h"

// Rebuilds the order over every module: front subtree, back subtree, then the node's polygons.
void thread_polygons_in_world_order();
// The first polygon of the world: the world order in viewer mode, the MAIN root list in editor mode.
polygon* get_first_polygon();
polygon* get_next_polygon(const polygon* p);
// Every polygon get_first_polygon and get_next_polygon reach, in their order.
std::vector<polygon*> world_polygons();
// Polygons of world_polygons() a thread takes at a time.
inline constexpr size_t world_polygons_step = 4096;
// Like get_next_polygon, but a polygon's patches follow it before the next polygon.
polygon* get_next_polygon_in_tree(const polygon* p);
// The first texture animation showing the bitmap; with only_used, only animations some polygon shows.
animation* animation_find_using_bitmap(const bitmap_texture* bitmap, int only_used);
// 1 when a polygon of the group (or of a group inside it) shows the animation.
int is_animation_used_by_group(const group* g, const animation* a);
