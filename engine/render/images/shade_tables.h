// A bitmap's average colour, and the rebuild of every bitmap's shade tables for a new atmospheric colour.
#pragma once
#include "world/records.h"

// The engine state's atmosphere colour.
rgb8 current_atmospheric_colour();
// Mean palette colour of the image's pixels, transparent ones left out ((255, 0, 0) when all are);
// 0, or -1 with a report when the image has no pixels.
int get_average_rgb(const rgb8* palette, const jbm_info* image, rgb8* out);
// Rebuilds the 32 shade tables and shaded average colours of every bitmap (and of its resampled
// levels) toward the atmospheric colour; 0, or -1 when a bitmap record is not valid.
int change_palettes(const rgb8& atmospheric);
