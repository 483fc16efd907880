// A small Windows bitmap reader for height maps: 8-bit paletted or 24-bit files, read field by field.
#include "world/terrain_bitmap.h"

#include <algorithm>
#include <cstdlib>

#include "foundation/files.h"
#include "foundation/memory.h"

namespace {

constexpr size_t file_header_size = 14;
constexpr uint32_t info_header_size = 40;

uint32_t u32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

height_bitmap_status parse(const uint8_t* data, size_t size, height_bitmap& out) {
    if (size < file_header_size + info_header_size || data[0] != 'B' || data[1] != 'M')
        return height_bitmap_status::unreadable;
    const uint32_t pixel_offset = u32(data + 10);
    const uint32_t header_size = u32(data + 14);
    if (header_size < info_header_size || header_size > size - file_header_size)
        return height_bitmap_status::unreadable;
    const auto width = static_cast<int32_t>(u32(data + 18));
    const auto signed_height = static_cast<int32_t>(u32(data + 22));
    const int bits = u16(data + 28);
    const uint32_t compression = u32(data + 30);
    uint32_t colours_used = u32(data + 46);
    if (bits != 8 && bits != 24) return height_bitmap_status::bad_depth;
    if (compression != 0 || width <= 0 || signed_height == 0 || signed_height == INT32_MIN)
        return height_bitmap_status::bad_bitmap;
    const bool top_down = signed_height < 0;
    const int64_t height = std::llabs(signed_height);
    if (static_cast<int64_t>(width) * height > height_bitmap_max_pixels) return height_bitmap_status::bad_bitmap;
    const int64_t row_length = (static_cast<int64_t>(width) * bits / 8 + 3) / 4 * 4;
    if (pixel_offset > size || row_length * height > static_cast<int64_t>(size - pixel_offset))
        return height_bitmap_status::bad_bitmap;
    const uint8_t* palette = data + file_header_size + header_size;
    if (bits == 8) {
        // A count of 0 or above 256 means as many entries as stand before the pixels, at most 256.
        const uint64_t palette_start = file_header_size + header_size;
        const uint64_t room = pixel_offset > palette_start ? (pixel_offset - palette_start) / 4 : 0;
        if (colours_used == 0 || colours_used > 256)
            colours_used = static_cast<uint32_t>(std::min<uint64_t>(room, 256));
        if (colours_used == 0 || colours_used > room) return height_bitmap_status::bad_bitmap;
    }
    height_bitmap result;
    result.width = width;
    result.height = static_cast<int>(height);
    result.bits_per_pixel = bits;
    result.row_length = static_cast<int>(row_length);
    result.rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (int64_t row = 0; row < height; ++row) {
        const int64_t stored = top_down ? row : height - 1 - row;
        const uint8_t* source = data + pixel_offset + stored * row_length;
        uint8_t* target = result.rgb.data() + row * width * 3;
        for (int x = 0; x < width; ++x) {
            const uint8_t* bgr = source + 3 * x;
            if (bits == 8) {
                const uint8_t index = source[x];
                if (index >= colours_used) return height_bitmap_status::bad_bitmap;
                bgr = palette + 4 * index;
            }
            target[3 * x] = bgr[2];
            target[3 * x + 1] = bgr[1];
            target[3 * x + 2] = bgr[0];
        }
    }
    out = std::move(result);
    return height_bitmap_status::ok;
}

}  // namespace

height_bitmap_status height_bitmap_read(const char* path, height_bitmap& out) {
    char* buffer = nullptr;
    int size = 0;
    if (file_to_memory(path, &buffer, &size) != 0) return height_bitmap_status::unreadable;
    const height_bitmap_status status =
        parse(reinterpret_cast<const uint8_t*>(buffer), static_cast<size_t>(size), out);
    engine_free(buffer);
    return status;
}
