// Rasterising a frame on several threads: the walk sets up and keeps the frame's polygons in order,
// then bands of rows draw them, each band every kept polygon clipped to its rows, so the picture
// is the one a single thread draws.
#pragma once
#include "render/software/fill_bag.h"

// Threads the software renderer rasterises with; 0 gives one per core. Until set, the environment
// variable DROVIK_RENDER_THREADS gives the count. With one thread every polygon is drawn as the
// walk meets it.
void software_render_set_threads(int count);
int software_render_threads();

// Starts keeping the frame's polygons when more than one thread draws.
void raster_bands_begin(const camera* c);
// Keeps a prepared polygon for the bands: false when it is to be drawn now (not keeping, or the
// polygon cannot wait; then what was kept is drawn first).
bool raster_bands_keep(const fill_bag& bag, bool marked);
// Draws what was kept and stops keeping.
void raster_bands_end();
