// Windows bitmaps held whole in memory: header access, pixels, palettes, resampling and colour depth.
#include "render/images/winbmp.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/le_bytes.h"
#include "foundation/memory.h"
#include "platform/numbers.h"

namespace {

constexpr int file_header_size = 14;
constexpr int info_header_size = 40;
constexpr uint32_t os2_info_header_size = 12;
constexpr int header_size = file_header_size + info_header_size;
constexpr int64_t max_pixels = 64LL * 1024 * 1024;

void report(const char* text) {
    if (winbmp_report_errors()) report_error(1, text);
}

int padded_row(int width, int bits) { return (width * (bits / 8) + 3) / 4 * 4; }

// A zeroed image with room for entries palette entries (8 bits) and its headers filled in.
uint8_t* make_image(int width, int height, int bits, int entries) {
    const int data_offset = header_size + (bits == 8 ? 4 * entries : 0);
    const int64_t size = static_cast<int64_t>(padded_row(width, bits)) * height + data_offset;
    auto* image = static_cast<uint8_t*>(engine_alloc(static_cast<size_t>(size)));
    if (!image) return nullptr;
    image[0] = 'B';
    image[1] = 'M';
    put_le_u32(image + 2, static_cast<uint32_t>(size));
    put_le_u32(image + 10, static_cast<uint32_t>(data_offset));
    put_le_u32(image + 14, info_header_size);
    put_le_u32(image + 18, static_cast<uint32_t>(width));
    put_le_u32(image + 22, static_cast<uint32_t>(height));
    put_le_u16(image + 26, 1);
    put_le_u16(image + 28, static_cast<uint32_t>(bits));
    return image;
}

uint8_t* pixel_at(const uint8_t* image, int x, int y) {
    const int bytes = winbmp_get_bits_per_pixel(image) / 8;
    return const_cast<uint8_t*>(image) + winbmp_get_data_offset(image) +
           static_cast<int64_t>(y) * winbmp_get_bytes_per_row(image) + static_cast<int64_t>(x) * bytes;
}

bool sides_fit(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= 65535 && height <= 65535 && width * height <= max_pixels;
}

int palette_search_limit(const uint8_t* image) {
    const int entries = winbmp_get_number_of_colors_in_palette(image);
    const int important = static_cast<int>(le_u32(image + 50));
    return important > 0 && important < entries ? important : entries;
}

// The sides of an image of the depth a conversion takes, with at least one pixel; false after
// the conversion's report.
bool conversion_input_fits(const uint8_t* image, int depth, const char* conversion, int* width, int* height) {
    const int bits = winbmp_get_bits_per_pixel(image);
    if (bits != depth) {
        if (winbmp_report_errors())
            report_errorf("%s: \bad params - not a %dbit format bitmap. insted we got %ld bit per pixel format\n",
                          conversion, depth, static_cast<long>(bits));
        return false;
    }
    *width = winbmp_get_width(image);
    *height = winbmp_get_height(image);
    if (*width < 1 || *height < 1) {
        if (winbmp_report_errors()) report_errorf("%s: bad %dbit bitmap. ilegal dimensions", conversion, depth);
        return false;
    }
    return true;
}

}  // namespace

int& winbmp_report_errors() {
    static int flag = 1;
    return flag;
}

uint8_t* winbmp_from_memory(const uint8_t* data, size_t size, winbmp_status* status, uint32_t* format) {
    winbmp_status ignored;
    winbmp_status& result = status ? *status : ignored;
    result = winbmp_status::unreadable;
    if (format) *format = 0;
    if (!data || size < file_header_size + 4 || data[0] != 'B' || data[1] != 'M') return nullptr;
    const uint32_t info_size = le_u32(data + 14);
    if (info_size == os2_info_header_size) {
        result = winbmp_status::unsupported;
        return nullptr;
    }
    if (size < header_size || info_size < info_header_size || info_size > size - file_header_size) return nullptr;
    const uint32_t bits_and_compression = le_u32(data + 28);
    if (format) *format = bits_and_compression;
    result = winbmp_status::unsupported;
    if (bits_and_compression != 8 && bits_and_compression != 24) return nullptr;
    result = winbmp_status::bad_format;
    const int bits = static_cast<int>(bits_and_compression);
    const int64_t width = le_i32(data + 18), stored_height = le_i32(data + 22);
    // A negative height stores the rows top-down.
    const bool top_down = stored_height < 0;
    const int64_t height = top_down ? -stored_height : stored_height;
    if (!sides_fit(width, height)) return nullptr;
    const uint64_t palette_start = file_header_size + info_size;
    const uint64_t data_offset = le_u32(data + 10);
    int entries = 0;
    if (bits == 8) {
        const uint64_t room = data_offset > palette_start ? (data_offset - palette_start) / 4 : 0;
        entries = winbmp_palette_entries(le_u32(data + 46), room);
        if (entries == 0) return nullptr;
    }
    const int row = padded_row(static_cast<int>(width), bits);
    result = winbmp_status::truncated;
    if (data_offset < palette_start || data_offset + static_cast<uint64_t>(row) * height > size) return nullptr;
    const uint8_t* rows = data + data_offset;
    if (bits == 8) {
        for (int64_t y = 0; y < height; ++y) {
            const uint8_t* r = rows + y * row;
            if (std::any_of(r, r + width, [&](uint8_t index) { return index >= entries; })) {
                result = winbmp_status::bad_format;
                return nullptr;
            }
        }
    }
    uint8_t* image = make_image(static_cast<int>(width), static_cast<int>(height), bits, entries);
    if (!image) return nullptr;
    std::memcpy(image + header_size, data + palette_start, 4 * static_cast<size_t>(entries));
    uint8_t* target = image + winbmp_get_data_offset(image);
    for (int64_t y = 0; y < height; ++y) {
        const int64_t stored = top_down ? height - 1 - y : y;
        std::memcpy(target + y * row, rows + stored * row, static_cast<size_t>(row));
    }
    result = winbmp_status::ok;
    return image;
}

int winbmp_palette_entries(uint32_t used, uint64_t room) {
    if (used > 0 && used <= 256) return used <= room ? static_cast<int>(used) : 0;
    return static_cast<int>(std::min<uint64_t>(room, 256));
}

std::string winbmp_describe_form(const uint8_t* data, size_t size) {
    if (!data || size < file_header_size + 4) return "not a bitmap";
    if (le_u32(data + 14) == os2_info_header_size && size >= 26)
        return plat_format("an OS/2 header with %d bits per pixel", le_u16(data + 24));
    if (size < 34) return "not a bitmap";
    static const char* const compressions[] = {"no compression", "RLE8 compression", "RLE4 compression",
                                               "bit-field masks", "JPEG compression", "PNG compression",
                                               "alpha bit-field masks"};
    const uint32_t compression = le_u32(data + 30);
    const std::string how = compression < std::size(compressions) ? compressions[compression]
                                                                  : plat_format("compression %u", compression);
    return plat_format("%d bits per pixel with %s", le_u16(data + 28), how.c_str());
}

int winbmp_get_number_of_colors_in_palette(const uint8_t* image) {
    if (!image) return 0;
    const int offset = winbmp_get_data_offset(image);
    if (offset < header_size || (offset - header_size) % 4 != 0) {
        report("winbmp_get_number_of_colors_in_palette: Bad bitmap or internal error");
        return 0;
    }
    return (offset - header_size) / 4;
}

int winbmp_get_width(const uint8_t* image) { return image ? le_i32(image + 18) : 0; }
int winbmp_get_height(const uint8_t* image) { return image ? le_i32(image + 22) : 0; }
int winbmp_get_bits_per_pixel(const uint8_t* image) { return image ? le_u16(image + 28) : 0; }
int winbmp_get_file_size(const uint8_t* image) { return image ? le_i32(image + 2) : 0; }
int winbmp_get_data_offset(const uint8_t* image) { return image ? le_i32(image + 10) : 0; }

int winbmp_get_bytes_per_row(const uint8_t* image) {
    const int height = winbmp_get_height(image);
    return height > 0 ? (winbmp_get_file_size(image) - winbmp_get_data_offset(image)) / height : 0;
}

int winbmp_get_pixel(const uint8_t* image, int x, int y, int* r, int* g, int* b) {
    if (!image || !r || !g || !b) {
        report("winbmp_get_pixel: got NULL params");
        return -1;
    }
    if (x < 0 || x >= winbmp_get_width(image)) {
        report("winbmp_get_pixel: x out of range");
        return -1;
    }
    if (y < 0 || y >= winbmp_get_height(image)) {
        report("winbmp_get_pixel: y out of range");
        return -1;
    }
    const int bits = winbmp_get_bits_per_pixel(image);
    if (bits != 8 && bits != 24) return -1;
    const uint8_t* bgr = pixel_at(image, x, y);
    if (bits == 8) bgr = image + header_size + 4 * *bgr;
    *b = bgr[0];
    *g = bgr[1];
    *r = bgr[2];
    return 0;
}

int winbmp_set_pixel(uint8_t* image, int x, int y, int r, int g, int b) {
    if (!image) {
        report("winbmp_set_pixel: got NULL bitmap");
        return -1;
    }
    if (x < 0 || x >= winbmp_get_width(image)) {
        report("winbmp_set_pixel: x out of range");
        return -1;
    }
    if (y < 0 || y >= winbmp_get_height(image)) {
        report("winbmp_set_pixel: y out of range");
        return -1;
    }
    const int bits = winbmp_get_bits_per_pixel(image);
    uint8_t* at = pixel_at(image, x, y);
    if (bits == 24) {
        at[0] = static_cast<uint8_t>(b);
        at[1] = static_cast<uint8_t>(g);
        at[2] = static_cast<uint8_t>(r);
        return 0;
    }
    if (bits != 8) return -1;
    long best = 10000000;
    int best_index = 0;
    const int limit = palette_search_limit(image);
    for (int i = 0; i < limit; ++i) {
        const uint8_t* e = image + header_size + 4 * i;
        const long d = (e[2] - r) * (e[2] - r) + (e[1] - g) * (e[1] - g) + (e[0] - b) * (e[0] - b);
        if (d < best) {
            best = d;
            best_index = i;
        }
    }
    *at = static_cast<uint8_t>(best_index);
    return 0;
}

uint8_t* winbmp_init_bitmap(int width, int height, int bits) {
    if (bits != 8 && bits != 24) {
        if (winbmp_report_errors())
            report_errorf("winbmp_init_bitmap: unsuported color format. got %ld. supports only 24 and 8 bit per "
                          "picel format\n",
                          static_cast<long>(bits));
        return nullptr;
    }
    uint8_t* image = sides_fit(width, height) ? make_image(width, height, bits, 256) : nullptr;
    if (!image) report("winbmp_init_bitmap: failed to alloc memory");
    return image;
}

int winbmp_set_palette(uint8_t* image, const rgb8* palette, int count) {
    if (!image || !palette || winbmp_get_bits_per_pixel(image) != 8) {
        report("winbmp_set_palette: works only with 8 bit per pixel bitmaps");
        return -1;
    }
    count = std::min(count, winbmp_get_number_of_colors_in_palette(image));
    for (int i = 0; i < count; ++i) {
        uint8_t* e = image + header_size + 4 * i;
        e[0] = palette[i].b;
        e[1] = palette[i].g;
        e[2] = palette[i].r;
        e[3] = 0;
    }
    return 0;
}

int winbmp_get_palette(const uint8_t* image, rgb8* palette) {
    if (!image || !palette || winbmp_get_bits_per_pixel(image) != 8) {
        report("winbmp_get_palette: works only with 8 bit per pixel bitmaps");
        return -1;
    }
    const int count = winbmp_get_number_of_colors_in_palette(image);
    for (int i = 0; i < 256; ++i) {
        const uint8_t* e = image + header_size + 4 * i;
        palette[i] = i < count ? rgb8{e[2], e[1], e[0]} : rgb8{0, 0, 0};
    }
    return count;
}

uint8_t* winbmp_create_resampled(const uint8_t* image, int width, int height) {
    const int bits = winbmp_get_bits_per_pixel(image);
    if (bits != 8 && bits != 24) {
        if (winbmp_report_errors())
            report_errorf("winbmp_create_resampled: unsuported color format. got %ld. supports only 24 and 8 bit "
                          "per picel format\n",
                          static_cast<long>(bits));
        return nullptr;
    }
    const int entries = winbmp_get_number_of_colors_in_palette(image);
    uint8_t* out = sides_fit(width, height) ? make_image(width, height, bits, entries) : nullptr;
    if (!out) return nullptr;
    std::memcpy(out + header_size, image + header_size, 4 * static_cast<size_t>(entries));
    const int source_width = winbmp_get_width(image), source_height = winbmp_get_height(image);
    const double sx = (source_width - 0.00001) / width, sy = (source_height - 0.00001) / height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double sums[3] = {0, 0, 0};
            double x0 = x * sx, y0 = y * sy;
            if (x0 == std::floor(x0)) x0 += 1e-7;
            if (y0 == std::floor(y0)) y0 += 1e-7;
            const double x1 = (x + 1) * sx, y1 = (y + 1) * sy;
            for (int v = static_cast<int>(y0); v < y1 && v < source_height; ++v) {
                const double h = std::min<double>(v + 1, y1) - std::max<double>(v, y0);
                for (int u = static_cast<int>(x0); u < x1 && u < source_width; ++u) {
                    const double w = (std::min<double>(u + 1, x1) - std::max<double>(u, x0)) * h;
                    int c[3] = {0, 0, 0};
                    winbmp_get_pixel(image, u, v, &c[0], &c[1], &c[2]);
                    for (int k = 0; k < 3; ++k) sums[k] += w * c[k];
                }
            }
            int c[3];
            for (int k = 0; k < 3; ++k) c[k] = std::min(255, static_cast<int>(sums[k] / (sx * sy) + 0.5));
            winbmp_set_pixel(out, x, y, c[0], c[1], c[2]);
        }
    }
    return out;
}

uint8_t* winbmp_convert_8bit_to_24bit(const uint8_t* image) {
    int width = 0, height = 0;
    if (!conversion_input_fits(image, 8, "winbmp_convert_8bit_to_24bit", &width, &height)) return nullptr;
    uint8_t* out = winbmp_init_bitmap(width, height, 24);
    for (int y = 0; out && y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int r = 0, g = 0, b = 0;
            winbmp_get_pixel(image, x, y, &r, &g, &b);
            winbmp_set_pixel(out, x, y, r, g, b);
        }
    }
    return out;
}

uint8_t* winbmp_convert_24bit_to_8bit(const uint8_t* image) {
    int width = 0, height = 0;
    if (!conversion_input_fits(image, 24, "winbmp_convert_24bit_to_8bit", &width, &height)) return nullptr;
    std::vector<uint32_t> counts;
    try {
        counts.assign(65536, 0);
    } catch (const std::bad_alloc&) {
        report("winbmp_convert_24bit_to_8bit: failed to alloc mem");
        return nullptr;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* bgr = pixel_at(image, x, y);
            ++counts[(bgr[2] & 0xF8) << 8 | (bgr[1] & 0xFC) << 3 | bgr[0] >> 3];
        }
    }
    uint8_t* out = winbmp_init_bitmap(width, height, 8);
    if (!out) return nullptr;
    int found = 0;
    for (; found < 256; ++found) {
        const auto most = std::max_element(counts.begin(), counts.end());
        if (*most == 0) break;
        const auto key = static_cast<uint32_t>(most - counts.begin());
        *most = 0;
        uint8_t* e = out + header_size + 4 * found;
        e[0] = static_cast<uint8_t>(key << 3 & 0xF8);
        e[1] = static_cast<uint8_t>(key >> 3 & 0xFC);
        e[2] = static_cast<uint8_t>(key >> 8 & 0xF8);
    }
    put_le_u32(out + 50, static_cast<uint32_t>(found));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* bgr = pixel_at(image, x, y);
            winbmp_set_pixel(out, x, y, bgr[2], bgr[1], bgr[0]);
        }
    }
    return out;
}

int winbmp_save_to_file(const char* path, const uint8_t* image) {
    if (!image || !path) return -1;
    return mem2file(path, image, winbmp_get_file_size(image));
}

int transform_gray_to_map_colors(int grey, int highest, int lowest, const rgb8* map, int entries, rgb8* out) {
    if (!map || !out || entries < 1) {
        report("transform_gray_to_map_colors: bad params");
        return -1;
    }
    if (entries == 1 || highest == lowest) {
        *out = map[0];
        return 0;
    }
    const double position = static_cast<double>(grey - lowest) * (entries - 1) / (highest - lowest);
    const int i = static_cast<int>(std::max(0.0, position - 0.0001));
    if (i + 1 >= entries) {
        report("transform_gray_to_map_colors: internal error");
        return -1;
    }
    const double f = std::clamp(position - i, 0.0, 1.0);
    const auto mix = [f](uint8_t a, uint8_t b) {
        return static_cast<uint8_t>(std::min(a + (b - a) * f, 254.5) + 0.5);
    };
    *out = rgb8{mix(map[i].r, map[i + 1].r), mix(map[i].g, map[i + 1].g), mix(map[i].b, map[i + 1].b)};
    return 0;
}

int winbmp_gray2colors(uint8_t* image, const rgb8* map, int entries) {
    static const rgb8 default_map[5] = {{10, 30, 0}, {38, 249, 6}, {249, 172, 7}, {145, 5, 5}, {255, 255, 255}};
    const int bits = winbmp_get_bits_per_pixel(image);
    if (bits != 24) {
        if (winbmp_report_errors())
            report_errorf("winbmp_gray2colors: \bad params - not a 24bit format bitmap. insted we got %ld bit per pixel "
                          "format\n",
                          static_cast<long>(bits));
        return -1;
    }
    const int width = winbmp_get_width(image), height = winbmp_get_height(image);
    if (width < 1 || height < 1) {
        report("winbmp_gray2colors: bad 24bit bitmap. ilegal dimensions");
        return -1;
    }
    if (!map) {
        map = default_map;
        entries = 5;
    }
    const auto grey_at = [image](int x, int y) {
        const uint8_t* bgr = pixel_at(image, x, y);
        return static_cast<int>((bgr[0] + bgr[1] + bgr[2] + 0.5) / 3);
    };
    int lowest = 255, highest = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            lowest = std::min(lowest, grey_at(x, y));
            highest = std::max(highest, grey_at(x, y));
        }
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            rgb8 c;
            if (transform_gray_to_map_colors(grey_at(x, y), highest, lowest, map, entries, &c) != 0) return -1;
            winbmp_set_pixel(image, x, y, c.r, c.g, c.b);
        }
    }
    return 0;
}
