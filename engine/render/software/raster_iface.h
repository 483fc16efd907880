// The seam between polygon set-up (traversal, clipping, projection) and the software rasteriser.
#pragma once
#include <cstdint>

#include "world/poly_clip.h"
#include "world/records.h"

// What the rasteriser draws into this frame, set by the world drawer before the walk.
struct raster_frame {
    uint32_t* coverage;     // one bit per frame pixel: bit row * pitch + column, 32-bit words
    uint32_t* zbuffer;      // camera width x height cells, row-major; nullptr with the z-buffer off
    int64_t zbuffer_cells;
    polygon* marked;        // the engine's marked polygon: drawn with its span-end marks
    int check_spans;        // 1: every span is checked against the picture
};

raster_frame& raster_frame_state();

// Fills a clipped polygon: points in world space (brightness and bitmap cords), the same points in
// camera space, and their projections. 0, or -1 when the polygon could not be filled.
int fill_polygon_software(camera* c, polygon* p, const clip_point* points, int count,
                          const clip_point* camera_points, const projected_point* projected);
