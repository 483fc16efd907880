// Bitmap texture records in memory: creation from pixels and a palette, and freeing.
#pragma once
#include "world/records.h"

// A bitmap named name holding a width x height paletted image (pixels row-major, top row first) with
// the palette's shade tables toward the current atmospheric colour; pushed at the head of list.
// NULL for bad sizes, a palette of 0 or more than 256 entries, or a failed allocation.
bitmap_texture* bitmap_texture_create_from_pixels(bitmap_texture** list, const char* name, int width, int height,
                                                  const uint8_t* pixels, const rgb8* palette, int count,
                                                  int transparent_index);
// Frees the image, its resampled levels and the record (not unlinked from any list).
void bitmap_texture_free(bitmap_texture* bitmap);
