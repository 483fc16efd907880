// Terrain from a height bitmap: a group "Terrain" of triangles over a 2000 x 2000 grid.
#pragma once
#include "world/records.h"

// At most this many triangles, whatever polygon count is asked for.
inline constexpr int terrain_max_polygons = 50000;

// Editor mode only (otherwise NULL, silently). The new group, or NULL.
group* engine_create_terrain_group_from_bitmap(const char* file, double height_step, int polygon_count);
