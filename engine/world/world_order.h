// The world order: one list through every polygon of the world, and the walk over it.
#pragma once
#include "world/records.h"

// Rebuilds the order over every module: front subtree, back subtree, then the node's polygons.
void thread_polygons_in_world_order();
// The first polygon of the world: the world order in viewer mode, the MAIN root list in editor mode.
polygon* get_first_polygon();
polygon* get_next_polygon(const polygon* p);
