// Image files built byte by byte for the bitmap tests, and a fixture with a clean engine state.
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../render/render_fixture.h"
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
    std::vector<rgb8> palette;
    std::vector<uint8_t> index;
    for (const rgb8& c : pixels) {
        size_t i = 0;
        while (i < palette.size() && (palette[i].r != c.r || palette[i].g != c.g || palette[i].b != c.b)) ++i;
        if (i == palette.size()) palette.push_back(c);
        index.push_back(static_cast<uint8_t>(i));
    }
    const size_t row = (static_cast<size_t>(width) * bits / 8 + 3) / 4 * 4;
    const size_t offset = 14 + info_size + (bits == 8 ? 4 * palette.size() : 0);
    bytes b(offset + row * height, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<uint32_t>(b.size()));
    put32(b, 10, static_cast<uint32_t>(offset));
    put32(b, 14, static_cast<uint32_t>(info_size));
    put32(b, 18, static_cast<uint32_t>(width));
    put32(b, 22, static_cast<uint32_t>(height));
    put16(b, 26, 1);
    put16(b, 28, static_cast<uint32_t>(bits));
    if (bits == 8) {
        put32(b, 46, static_cast<uint32_t>(palette.size()));
        for (size_t i = 0; i < palette.size(); ++i) {
            b[14 + info_size + 4 * i] = palette[i].b;
            b[15 + info_size + 4 * i] = palette[i].g;
            b[16 + info_size + 4 * i] = palette[i].r;
        }
    }
    for (int y = 0; y < height; ++y) {
        const size_t at = offset + row * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const size_t k = static_cast<size_t>(y) * width + x;
            if (bits == 8) {
                b[at + x] = index[k];
            } else {
                b[at + 3 * x] = pixels[k].b;
                b[at + 3 * x + 1] = pixels[k].g;
                b[at + 3 * x + 2] = pixels[k].r;
            }
        }
    }
    return b;
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
