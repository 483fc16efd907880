// The file form of a paletted image with a transparent colour: inside the engine a transparent
// texel has the index 255; in a file it has the transparent index, whose palette entry holds the
// transparent colour.
#pragma once
#include <cstddef>
#include <cstdint>

inline constexpr int engine_transparent_pixel = 255;

struct bitmap_palette {
    int count;  // entries in use, 0..256
    uint8_t rgb[256][3];
};

// The palette a file gets: the transparent colour inserted at `transparent_index` and the later
// entries one place up. It never holds more than 256 entries: the engine's entry 255 is never
// drawn (255 marks transparency), so it is the one that gives way. An index outside 0..255
// leaves the palette as it is.
bitmap_palette bitmap_file_palette(const bitmap_palette& engine_palette, int transparent_index,
                                   const uint8_t colour[3]);
// Engine pixels to file pixels, in place, in one pass: 255 becomes the transparent index and every
// real colour at or above it moves one up, so no real colour turns transparent.
void bitmap_pixels_to_file_form(uint8_t* pixels, size_t count, int transparent_index);
// The exact reverse of bitmap_pixels_to_file_form.
void bitmap_pixels_from_file_form(uint8_t* pixels, size_t count, int transparent_index);
