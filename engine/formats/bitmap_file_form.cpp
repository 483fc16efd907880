// Moving a paletted image between its engine form and its file form around a transparent index.
#include "formats/bitmap_file_form.h"

#include <algorithm>
#include <cstring>

namespace {
bool valid_index(int index) { return index >= 0 && index <= 255; }
}  // namespace

bitmap_palette bitmap_file_palette(const bitmap_palette& engine_palette, int transparent_index,
                                   const uint8_t colour[3]) {
    bitmap_palette file = engine_palette;
    if (!valid_index(transparent_index)) return file;
    const int count = std::clamp(engine_palette.count, 0, 256);
    // Entries between the end of a short palette and the transparent index are black.
    for (int i = count; i < transparent_index; ++i) std::memset(file.rgb[i], 0, 3);
    for (int i = transparent_index; i < count && i + 1 < 256; ++i) {
        std::memcpy(file.rgb[i + 1], engine_palette.rgb[i], 3);
    }
    std::memcpy(file.rgb[transparent_index], colour, 3);
    file.count = std::min(std::max(count, transparent_index) + 1, 256);
    return file;
}

void bitmap_pixels_to_file_form(uint8_t* pixels, size_t count, int transparent_index) {
    if (!pixels || !valid_index(transparent_index)) return;
    const auto t = static_cast<uint8_t>(transparent_index);
    for (size_t i = 0; i < count; ++i) {
        if (pixels[i] == engine_transparent_pixel) pixels[i] = t;
        else if (pixels[i] >= t) ++pixels[i];  // at most 254 + 1: stays a real colour
    }
}

void bitmap_pixels_from_file_form(uint8_t* pixels, size_t count, int transparent_index) {
    if (!pixels || !valid_index(transparent_index)) return;
    const auto t = static_cast<uint8_t>(transparent_index);
    for (size_t i = 0; i < count; ++i) {
        if (pixels[i] == t) pixels[i] = engine_transparent_pixel;
        else if (pixels[i] > t) --pixels[i];
    }
}
