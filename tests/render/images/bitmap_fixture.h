// Image files built byte by byte for the bitmap tests, and a fixture with a clean engine state.
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../../common/bmp_writer.h"
#include "../../common/render_fixture.h"
#include "world/records.h"

using bytes = std::vector<uint8_t>;

inline void put16(bytes& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
inline void put32(bytes& b, size_t at, uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}
inline uint32_t get16(const bytes& b, size_t at) { return b[at] | b[at + 1] << 8; }
inline uint32_t get32(const bytes& b, size_t at) { return get16(b, at) | get16(b, at + 2) << 16; }

// A BMP file: pixels are red-first colours, top row first; 8-bit files get a palette of the
// distinct colours in order of first appearance.
inline bytes make_bmp(int width, int height, int bits, int info_size, const std::vector<rgb8>& pixels) {
    bmp_image image{width, height, bits, info_size, {}, {}};
    for (const rgb8& c : pixels) {
        const uint32_t colour = static_cast<uint32_t>(c.r) << 16 | static_cast<uint32_t>(c.g) << 8 | c.b;
        if (bits != 8) {
            image.pixels.push_back(colour);
            continue;
        }
        size_t i = 0;
        while (i < image.palette.size() && image.palette[i] != colour) ++i;
        if (i == image.palette.size()) image.palette.push_back(colour);
        image.pixels.push_back(static_cast<uint32_t>(i));
    }
    const std::string file = bmp_bytes(image);
    return bytes(file.begin(), file.end());
}

inline void write_file(const std::string& path, const bytes& data) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

// Colours that survive the 5-6-5 reduction unchanged.
inline rgb8 exact(int r, int g, int b) {
    return rgb8{static_cast<uint8_t>(r & 0xF8), static_cast<uint8_t>(g & 0xFC), static_cast<uint8_t>(b & 0xF8)};
}

class BitmapTest : public RenderTest {};
