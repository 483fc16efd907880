// Windows bitmap files written byte by byte for the tests, and the little-endian writer under them.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Bytes appended field by field, least significant byte first.
struct le_bytes {
    std::string s;
    le_bytes& u8(uint8_t v)
    {
        s.push_back(static_cast<char>(v));
        return *this;
    }
    le_bytes& u16(uint16_t v) { return u8(static_cast<uint8_t>(v)).u8(static_cast<uint8_t>(v >> 8)); }
    le_bytes& u32(uint32_t v) { return u16(static_cast<uint16_t>(v)).u16(static_cast<uint16_t>(v >> 16)); }
    le_bytes& raw(std::string_view t)
    {
        s.append(t);
        return *this;
    }
};

// An uncompressed bottom-up BMP. Pixels are given top row first: palette indexes for 8 bits,
// the stored 16-bit values for 16 bits, 0xRRGGBB for 24 bits; palette entries are 0xRRGGBB.
struct bmp_image {
    int width = 0;
    int height = 0;
    int bits = 24;
    int info_size = 40;  // 40, or a larger info header whose extra fields are zero
    std::vector<uint32_t> palette;
    std::vector<uint32_t> pixels;
};

inline std::string bmp_bytes(const bmp_image& image)
{
    const uint32_t row = (static_cast<uint32_t>(image.width) * static_cast<uint32_t>(image.bits) / 8 + 3) / 4 * 4;
    const uint32_t image_size = row * static_cast<uint32_t>(image.height);
    const uint32_t offset = 14 + static_cast<uint32_t>(image.info_size) + 4 * static_cast<uint32_t>(image.palette.size());
    le_bytes b;
    b.raw("BM").u32(offset + image_size).u32(0).u32(offset);
    b.u32(static_cast<uint32_t>(image.info_size)).u32(static_cast<uint32_t>(image.width));
    b.u32(static_cast<uint32_t>(image.height)).u16(1).u16(static_cast<uint16_t>(image.bits));
    b.u32(0).u32(image_size).u32(0).u32(0).u32(static_cast<uint32_t>(image.palette.size())).u32(0);
    b.s.append(static_cast<size_t>(image.info_size - 40), '\0');
    for (uint32_t c : image.palette) b.u8(static_cast<uint8_t>(c)).u8(static_cast<uint8_t>(c >> 8)).u8(static_cast<uint8_t>(c >> 16)).u8(0);
    for (int y = image.height - 1; y >= 0; --y) {
        const size_t start = b.s.size();
        for (int x = 0; x < image.width; ++x) {
            const uint32_t p = image.pixels[static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)];
            if (image.bits == 8) b.u8(static_cast<uint8_t>(p));
            if (image.bits == 16) b.u16(static_cast<uint16_t>(p));
            if (image.bits == 24) b.u8(static_cast<uint8_t>(p)).u8(static_cast<uint8_t>(p >> 8)).u8(static_cast<uint8_t>(p >> 16));
        }
        b.s.append(start + row - b.s.size(), '\0');
    }
    return b.s;
}
