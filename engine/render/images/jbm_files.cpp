// The engine's image files and the loading of a paletted image from a .jbm, a BMP or a JPEG.
#include "render/images/jbm_files.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <numeric>
#include <string>

#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/le_bytes.h"
#include "foundation/memory.h"
#include "foundation/strings.h"
#include "render/images/jbm.h"
#include "render/images/jpeg_convert.h"
#include "render/images/shade_tables.h"
#include "render/images/winbmp.h"
#include "world/colour.h"
#include "world/engine_state.h"

namespace {

constexpr int jbm_header = 8;
constexpr int swap_version = 1;
constexpr int record_offset = 12;

void report(const char* text) {
    if (jbm_report_errors()) report_error(1, text);
}

// A report followed by the path as a line of its own in the engine log.
void report_with_path(const char* text, const char* path) {
    report(text);
    if (jbm_report_errors()) engine_log_printf("%s\n", path);
}

// The path with its last three characters replaced.
std::string with_suffix(const char* path, const char* suffix) {
    std::string s = path;
    s.resize(s.size() >= 3 ? s.size() - 3 : 0);
    return s + suffix;
}

struct file_block {
    char* data = nullptr;
    int size = 0;
    ~file_block() { engine_free(data); }
    bool load(const char* path) { return file_to_memory(path, &data, &size) == 0; }
    const uint8_t* bytes() const { return reinterpret_cast<const uint8_t*>(data); }
};

int distance2(const rgb8& a, const rgb8& b) {
    return (a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) + (a.b - b.b) * (a.b - b.b);
}

// Integers of a text file in the C locale, in order.
std::vector<long> read_integers(const char* text, size_t size) {
    std::vector<long> numbers;
    const char* p = text;
    const char* end = text + size;
    while (p < end) {
        if ((*p >= '0' && *p <= '9') || *p == '-') {
            long value = 0;
            const auto [next, error] = std::from_chars(p, end, value);
            if (error == std::errc()) numbers.push_back(value);
            p = next == p ? p + 1 : next;
        } else {
            ++p;
        }
    }
    return numbers;
}

// The colour filter over padding-free rows with their BMP palette; 0 or -1.
int apply_colour_filter(uint8_t* pixels, int width, int height, const rgb8* palette, const char* path) {
    const size_t count = static_cast<size_t>(width) * height;
    file_block file;
    bool picked = false;
    rgb8 key{};
    if (!file.load(path)) {
        key = palette[pixels[count - 1]];
        picked = true;
        write_filter_file(key, path);
        if (!file.load(path)) {
            report("failed to open filter file");
            return -1;
        }
    }
    const std::vector<long> n = read_integers(file.data, static_cast<size_t>(file.size));
    if (n.size() < 3) return -1;
    if (n[0] < 0 || n[1] < 0 || n[2] < 0) return 0;
    if (!picked) key = rgb8{static_cast<uint8_t>(std::min(n[0], 255L)), static_cast<uint8_t>(std::min(n[1], 255L)),
                            static_cast<uint8_t>(std::min(n[2], 255L))};
    if (n.size() < 4) return -1;
    bool used[256] = {};
    for (size_t i = 0; i < count; ++i) used[pixels[i]] = true;
    int k = -1;
    for (int i = 0, best = 0; i < 256; ++i) {
        if (used[i] && (k < 0 || distance2(palette[i], key) < best)) {
            k = i;
            best = distance2(palette[i], key);
        }
    }
    const auto near_key = [&](uint8_t index, long threshold) { return distance2(palette[index], palette[k]) < threshold; };
    for (size_t i = 0; i < count; ++i) {
        if (near_key(pixels[i], n[3])) pixels[i] = static_cast<uint8_t>(k);
    }
    if (width < 3) return 0;
    for (size_t pass = 4; pass + 1 < n.size(); pass += 2) {
        for (int y = 1; y < height - 1; ++y) {
            for (int x = 1; x < width - 1; ++x) {
                uint8_t& p = pixels[static_cast<size_t>(y) * width + x];
                if (p == k) continue;
                int around = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        around += (dx || dy) && pixels[static_cast<size_t>(y + dy) * width + x + dx] == k;
                if (around >= n[pass] && near_key(p, n[pass + 1])) p = static_cast<uint8_t>(k);
            }
        }
    }
    return 0;
}

// The .jbm and .clr of padding-free bottom-up rows: rows top-down, palette ordered by use.
void make_jbm_pair(const uint8_t* rows, int width, int height, const rgb8* palette, jbm_file_pair* out) {
    const size_t count = static_cast<size_t>(width) * height;
    long uses[256] = {};
    for (size_t i = 0; i < count; ++i) ++uses[rows[i]];
    int order[256];
    std::iota(order, order + 256, 0);
    std::stable_sort(order, order + 256, [&](int a, int b) { return uses[a] > uses[b]; });
    uint8_t remap[256] = {};
    int used = 0;
    while (used < 256 && uses[order[used]] > 0) {
        remap[order[used]] = static_cast<uint8_t>(used);
        ++used;
    }
    out->jbm.assign(jbm_header + count, 0);
    put_le_u16(out->jbm.data(), jbm_paletted_type);
    put_le_u16(out->jbm.data() + 2, static_cast<uint32_t>(width));
    put_le_u32(out->jbm.data() + 4, static_cast<uint32_t>(height));
    for (int y = 0; y < height; ++y) {
        const uint8_t* source = rows + static_cast<size_t>(height - 1 - y) * width;
        uint8_t* target = out->jbm.data() + jbm_header + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; ++x) target[x] = remap[source[x]];
    }
    out->clr.assign(2 + 3 * static_cast<size_t>(used), 0);
    put_le_u16(out->clr.data(), static_cast<uint32_t>(used));
    for (int i = 0; i < used; ++i) {
        const rgb8& c = palette[order[i]];
        uint8_t* e = out->clr.data() + 2 + 3 * i;
        e[0] = c.b;
        e[1] = c.g;
        e[2] = c.r;
    }
}

bool read_swap_offset(const uint8_t* data, int field, uint32_t expected) {
    return le_u32(data + record_offset + field) == expected;
}

// The loader's last step for an image read from files: the name, the palette and the cache file.
int finish_loaded_image(jbm_info* info, const char* path, const jbm_file_pair& pair, int transparent_index,
                        int32_t stamp) {
    if (jbm_from_memory(info, pair.jbm.data(), pair.jbm.size(), pair.clr.data(), pair.clr.size(),
                        transparent_index) != 0 ||
        set_jbm_info_name(info, strip_extension(path).c_str()) != 0) {
        jbm_info_free(info);
        return -1;
    }
    if (!engine_state.read_only_bitmaps) write_jbm_swap_file(info, path, stamp);
    return 0;
}

}  // namespace

bool jbm_image_is_valid(const uint8_t* data, size_t size) {
    if (!data || size < jbm_header || le_u16(data) != jbm_paletted_type) return false;
    const size_t width = le_u16(data + 2), height = le_u16(data + 4);
    return width > 0 && height > 0 && size >= jbm_header + width * height;
}

int clr_from_memory(const uint8_t* data, size_t size, rgb8 palette[256]) {
    if (!data || size < 2) return -1;
    const int count = le_u16(data);
    if (count > 256 || 2 + 3 * static_cast<size_t>(count) > size) return -1;
    for (int i = 0; i < count; ++i) {
        const uint8_t* e = data + 2 + 3 * i;
        palette[i] = rgb8{e[2], e[1], e[0]};
    }
    return count;
}

int jbm_from_memory(jbm_info* info, const uint8_t* jbm, size_t jbm_size, const uint8_t* clr, size_t clr_size,
                    int transparent_index) {
    jbm_info_free(info);
    rgb8 palette[256];
    const int count = clr_from_memory(clr, clr_size, palette);
    if (!jbm_image_is_valid(jbm, jbm_size) || count <= 0) return -1;
    const int width = le_u16(jbm + 2), height = le_u16(jbm + 4);
    const uint8_t* pixels = jbm + jbm_header;
    if (std::any_of(pixels, pixels + static_cast<size_t>(width) * height, [&](uint8_t p) { return p >= count; }))
        return -1;
    info->transparent_index = transparent_index < 0 ? -1 : transparent_index;
    if (jbm_create_image(info, width, height) != 0) {
        jbm_info_free(info);
        return -1;
    }
    std::memcpy(jbm_pixels(info), pixels, static_cast<size_t>(width) * height);
    if (jbm_apply_palette(info, palette, count, current_atmospheric_colour()) != 0) {
        jbm_info_free(info);
        return -1;
    }
    return 0;
}

std::vector<uint8_t> jbm_swap_image(const jbm_info* info, int32_t stamp) {
    const size_t name_size = static_cast<size_t>(jstrlen(info->name)) + 1;
    const size_t count = static_cast<size_t>(info->palette_count);
    const size_t image_at = jbm_swap_header_size + name_size;
    const size_t tables_at = image_at + static_cast<size_t>(info->image_size);
    const size_t palette_at = tables_at + 64 * count;
    std::vector<uint8_t> out(palette_at + 3 * count, 0);
    uint8_t* d = out.data();
    put_le_u32(d, swap_version);
    put_le_u32(d + 4, static_cast<uint32_t>(stamp));
    put_le_u32(d + 8, NUMBER_OF_PALETTES);
    uint8_t* r = d + record_offset;
    put_le_u32(r, jbm_swap_header_size);
    put_le_u32(r + 4, static_cast<uint32_t>(image_at));
    put_le_u32(r + 8, static_cast<uint32_t>(info->image_size));
    put_le_u16(r + 12, info->type);
    put_le_u16(r + 14, info->width);
    put_le_u16(r + 16, info->height);
    put_le_u16(r + 18, info->first_width);
    put_le_u16(r + 20, info->first_height);
    put_le_u32(r + 24, static_cast<uint32_t>(info->width_exponent));
    put_le_u32(r + 28, static_cast<uint32_t>(info->height_exponent));
    put_le_u32(r + 32, static_cast<uint32_t>(info->transparent_index));
    put_le_u32(r + 36, static_cast<uint32_t>(info->file_palette));
    put_le_u32(r + 40, static_cast<uint32_t>(info->palette_count));
    for (int i = 0; i < NUMBER_OF_PALETTES; ++i) put_le_u32(r + 44 + 4 * i, static_cast<uint32_t>(tables_at + 2 * count * i));
    put_le_u32(r + 172, static_cast<uint32_t>(info->normal_level));
    const rgb8 colours[2] = {info->average_colour, info->transparent_colour};
    for (int i = 0; i < 2; ++i) {
        r[176 + 3 * i] = colours[i].r;
        r[177 + 3 * i] = colours[i].g;
        r[178 + 3 * i] = colours[i].b;
    }
    put_le_u32(r + 184, static_cast<uint32_t>(palette_at));
    for (int i = 0; i < NUMBER_OF_PALETTES; ++i) put_le_u16(r + 188 + 2 * i, info->average_by_level[i]);
    std::memcpy(d + jbm_swap_header_size, info->name, name_size);
    std::memcpy(d + image_at, info->image, static_cast<size_t>(info->image_size));
    for (size_t i = 0; i < NUMBER_OF_PALETTES * count; ++i)
        put_le_u16(d + tables_at + 2 * i, info->shade_tables[0][i]);
    for (size_t i = 0; i < count; ++i) {
        d[palette_at + 3 * i] = info->palette[i].r;
        d[palette_at + 3 * i + 1] = info->palette[i].g;
        d[palette_at + 3 * i + 2] = info->palette[i].b;
    }
    return out;
}

int jbm_swap_from_memory(jbm_info* info, const uint8_t* data, size_t size, int transparent_index, int32_t stamp) {
    jbm_info_free(info);
    if (!data || size < jbm_swap_header_size) return -1;
    const uint8_t* r = data + record_offset;
    if (le_i32(data) != swap_version || le_i32(data + 4) != stamp || le_i32(data + 8) != NUMBER_OF_PALETTES ||
        le_i32(r + 32) != (transparent_index < 0 ? -1 : transparent_index) || le_u16(r + 12) != jbm_paletted_type)
        return -1;
    const uint8_t* name = data + jbm_swap_header_size;
    const auto* name_end = static_cast<const uint8_t*>(std::memchr(name, 0, size - jbm_swap_header_size));
    const int64_t count = le_i32(r + 40), image_size = le_i32(r + 8);
    if (!name_end || count <= 0 || count > 256 || image_size < jbm_header || !read_swap_offset(data, 0, jbm_swap_header_size))
        return -1;
    const uint64_t image_at = static_cast<uint64_t>(name_end - data) + 1;
    const uint64_t tables_at = image_at + static_cast<uint64_t>(image_size);
    const uint64_t palette_at = tables_at + 64 * static_cast<uint64_t>(count);
    if (palette_at + 3 * static_cast<uint64_t>(count) != size || !read_swap_offset(data, 4, static_cast<uint32_t>(image_at)) ||
        !read_swap_offset(data, 184, static_cast<uint32_t>(palette_at)))
        return -1;
    for (int i = 0; i < NUMBER_OF_PALETTES; ++i) {
        if (!read_swap_offset(data, 44 + 4 * i, static_cast<uint32_t>(tables_at + 2 * count * i))) return -1;
    }
    const uint8_t* image = data + image_at;
    const int width = le_u16(image + 2), height = le_u16(image + 4);
    if (!jbm_image_is_valid(image, static_cast<size_t>(image_size)) ||
        static_cast<int64_t>(width) * height + jbm_header != image_size || le_u16(r + 14) != width ||
        le_u16(r + 16) != height)
        return -1;
    const uint8_t* pixels = image + jbm_header;
    const bool marked = transparent_index >= 0 && transparent_index < count;
    if (std::any_of(pixels, pixels + (image_size - jbm_header),
                    [&](uint8_t p) { return p >= count && !(marked && p == 255); }))
        return -1;
    rgb8 palette[256];
    for (int64_t i = 0; i < count; ++i) {
        const uint8_t* e = data + palette_at + 3 * i;
        palette[i] = rgb8{e[0], e[1], e[2]};
    }
    info->transparent_index = transparent_index < 0 ? -1 : transparent_index;
    if (jbm_create_image(info, width, height) != 0) return -1;
    std::memcpy(jbm_pixels(info), pixels, static_cast<size_t>(image_size - jbm_header));
    if (jbm_apply_palette(info, palette, static_cast<int>(count), current_atmospheric_colour()) != 0) {
        jbm_info_free(info);
        return -1;
    }
    return 0;
}

int write_jbm_swap_file(const jbm_info* info, const char* path, int32_t stamp) {
    if (!info || !path || !info->image || !info->palette || !info->name) return -1;
    const std::vector<uint8_t> image = jbm_swap_image(info, stamp);
    const std::string target = strip_extension(path) + ".bmp_swap";
    return mem2file(target.c_str(), image.data(), static_cast<int>(image.size()));
}

int remove_bitmap_padding(uint8_t* pixels, int stride, int rows, int width) {
    if (stride < width) {
        report("remove_bitmap_padding: Internal Error");
        return 0;
    }
    for (int y = 1; y < rows; ++y)
        std::memmove(pixels + static_cast<size_t>(y) * width, pixels + static_cast<size_t>(y) * stride,
                     static_cast<size_t>(width));
    return (stride - width) * rows;
}

int bmp_to_jbm(const uint8_t* bmp, size_t size, const char* bmp_path, const char* filter_path, jbm_file_pair* out) {
    winbmp_status status;
    uint32_t format = 0;
    uint8_t* image = winbmp_from_memory(bmp, size, &status, &format);
    if (status == winbmp_status::unsupported) {
        if (jbm_report_errors()) {
            report_errorf("bmp2jbmx: Bitmap file is not in 8 or 24 bits per pixel format without compression ! "
                          "(it has %s)\n",
                          winbmp_describe_form(bmp, size).c_str());
            engine_log_printf("%d\n", static_cast<int>(format));
            if (bmp_path) engine_log_printf("%s\n", bmp_path);
        }
        return -1;
    }
    if (!image) {
        report_with_path(status == winbmp_status::truncated ? "bmp2jbmx: Bitmap file is probably truncated"
                                                            : "bmp2jbmx: Bitmap file is damaged",
                         bmp_path ? bmp_path : "");
        return -1;
    }
    if (winbmp_get_bits_per_pixel(image) == 24) {
        uint8_t* reduced = winbmp_convert_24bit_to_8bit(image);
        engine_free(image);
        if (!reduced) {
            report("bmp2jbmx: failed converting to 8 bpp bitmap");
            return -1;
        }
        image = reduced;
    }
    const int width = winbmp_get_width(image), height = winbmp_get_height(image);
    rgb8 palette[256];
    winbmp_get_palette(image, palette);
    uint8_t* rows = image + winbmp_get_data_offset(image);
    remove_bitmap_padding(rows, winbmp_get_bytes_per_row(image), height, width);
    int result = 0;
    if (filter_path) result = apply_colour_filter(rows, width, height, palette, filter_path);
    if (result == 0) make_jbm_pair(rows, width, height, palette, out);
    engine_free(image);
    return result;
}

int bmp2jbmx(const char* bmp_path, const char* jbm_path, const char* filter_path) {
    if (!bmp_path || !jbm_path || jstrlen(jbm_path) <= 4) {
        report("bmp2jbmx: output file name is too short minimum length\nfor example would be a.jbm (5 chars)\n");
        return -1;
    }
    file_block bmp;
    jbm_file_pair pair;
    if (!bmp.load(bmp_path)) {
        report_with_path("bmp2jbmx: Bitmap file is probably truncated", bmp_path);
        return -1;
    }
    if (bmp_to_jbm(bmp.bytes(), static_cast<size_t>(bmp.size), bmp_path, filter_path, &pair) != 0) return -1;
    const std::string clr_path = with_suffix(jbm_path, "clr");
    if (mem2file(jbm_path, pair.jbm.data(), static_cast<int>(pair.jbm.size())) != 0 ||
        mem2file(clr_path.c_str(), pair.clr.data(), static_cast<int>(pair.clr.size())) != 0)
        return -1;
    return 0;
}

int jbm2bmp(const uint8_t* jbm, const uint8_t* clr, const char* path) {
    if (!jbm || !clr || jbm_image_type(jbm) != jbm_paletted_type) {
        report("jbm2bmp: unsupported jbm type");
        return -1;
    }
    const int count = le_u16(clr);
    if (count > 256) {
        report("jbm2bmp: bad clr file. more then 256 colors\n");
        return -1;
    }
    const int width = jbm_image_width(jbm), height = jbm_image_height(jbm);
    uint8_t* image = winbmp_init_bitmap(width, height, 8);
    if (!image) {
        report("jbm2bmp: failed to alloc memory");
        return -1;
    }
    for (int i = 0; i < count; ++i) std::memcpy(image + 54 + 4 * i, clr + 2 + 3 * i, 3);
    const int stride = winbmp_get_bytes_per_row(image);
    for (int y = 0; y < height; ++y)
        std::memcpy(image + winbmp_get_data_offset(image) + static_cast<size_t>(height - 1 - y) * stride,
                    jbm + jbm_header + static_cast<size_t>(y) * width, static_cast<size_t>(width));
    const int result = winbmp_save_to_file(path, image);
    engine_free(image);
    return result;
}

int write_filter_file(const rgb8& key, const char* path) {
    if (file_exists(path)) return 0;
    char text[256];
    const int length = std::snprintf(text, sizeof text, "%d\t %d\t %d\n%d\n%d\t %d\n%d\t %d\n%d\t %d\n%d\t %d\n%d\t %d\n",
                                     key.r, key.g, key.b, 20000, 8, 1000000, 6, 22000, 3, 24000, 6, 28000, 8, 1000000);
    if (mem2file(path, text, length) != 0) {
        report("write_filter_file: couldnt create filter file");
        if (jbm_report_errors()) engine_log_printf("file name: %s\n", path);
        return -1;
    }
    return 0;
}

int read_jbm256(jbm_info* info, const char* path, int transparent_index, int kind, int32_t stamp) {
    jbm_info_free(info);
    if (!path) return -1;
    jbm_file_pair pair;
    if (kind == jbm_source_jbm) {
        file_block jbm, clr;
        if (!jbm.load(path) || !clr.load(with_suffix(path, "clr").c_str())) {
            report_with_path("set_palettes: cant load clr_file ", path);
            return -1;
        }
        pair.jbm.assign(jbm.bytes(), jbm.bytes() + jbm.size);
        pair.clr.assign(clr.bytes(), clr.bytes() + clr.size);
        return finish_loaded_image(info, path, pair, transparent_index, stamp);
    }
    std::string bmp_path = path;
    bool from_jpeg = false;
    if (kind != jbm_source_bmp || !file_exists(path)) {
        const std::string jpg_path = with_suffix(path, "jpg");
        if (!file_exists(jpg_path.c_str())) {
            report_with_path("read_jbm256: cant find jpg (nor bmp nor jbm !) file. name=", path);
            return -1;
        }
        if (jpg2bmp(jpg_path.c_str()) != 0) {
            report("read_jbm256: failed to convert jpg to bmp");
            return -1;
        }
        bmp_path = with_suffix(path, "bmp");
        if (!file_exists(bmp_path.c_str())) {
            report_with_path("read_jbm256: very strange, jpg2bmp should have created the bitmap but we cant find it. name=",
                             path);
            return -1;
        }
        from_jpeg = true;
    }
    const auto bmp_stamp = static_cast<int32_t>(get_file_time(bmp_path.c_str()));
    file_block bmp;
    const std::string filter = with_suffix(bmp_path.c_str(), "flt");
    const char* filter_path = from_jpeg && transparent_index >= 0 ? filter.c_str() : nullptr;
    if (!bmp.load(bmp_path.c_str())) {
        report_with_path("read_jbm256: failed to convert to jbm format ", bmp_path.c_str());
        return -1;
    }
    // A refused BMP has been reported once, with its reason.
    if (bmp_to_jbm(bmp.bytes(), static_cast<size_t>(bmp.size), bmp_path.c_str(), filter_path, &pair) != 0) return -1;
    return finish_loaded_image(info, bmp_path.c_str(), pair, transparent_index, bmp_stamp);
}

int jbm64k_from_memory(jbm_info* info, const char* name, const uint8_t* d, size_t size) {
    jbm_info_free(info);
    const size_t width = size >= 8 ? le_u16(d + 2) : 0, height = size >= 8 ? le_u16(d + 4) : 0;
    if (size < 8 || le_u16(d) != jbm_16bit_type || width == 0 || height == 0 || size < 8 + 2 * width * height ||
        size > INT32_MAX || set_jbm_info_name(info, name) != 0)
        return -1;
    info->image = static_cast<uint8_t*>(engine_alloc(size));
    if (!info->image) {
        jbm_info_free(info);
        return -1;
    }
    std::memcpy(info->image, d, size);
    info->image_size = static_cast<int32_t>(size);
    info->type = jbm_16bit_type;
    info->width = info->first_width = static_cast<uint16_t>(width);
    info->height = info->first_height = static_cast<uint16_t>(height);
    info->width_exponent = (width & (width - 1)) == 0 ? std::countr_zero(width) : -1;
    info->height_exponent = (height & (height - 1)) == 0 ? std::countr_zero(height) : -1;
    info->normal_level = -1;
    return 0;
}

int read_jbm64k(jbm_info* info, const char* name) {
    jbm_info_free(info);
    if (!name || jstrlen(name) > 8) return -1;
    file_block file;
    const std::string path = std::string(name) + ".64k";
    if (!file.load(path.c_str())) {
        report_with_path("read_jbm64k: cant load file ", name);
        return -1;
    }
    return jbm64k_from_memory(info, name, file.bytes(), static_cast<size_t>(file.size));
}

int jbm_load_image(jbm_info* info, const char* path, int transparent_index, int kind, int32_t stamp, int type) {
    if (!info || !path) return -1;
    if (type == jbm_16bit_type) return read_jbm64k(info, path);
    if (type != jbm_paletted_type) return -1;
    file_block swap;
    const std::string swap_path = strip_extension(path) + ".bmp_swap";
    if (swap.load(swap_path.c_str()) &&
        jbm_swap_from_memory(info, swap.bytes(), static_cast<size_t>(swap.size), transparent_index, stamp) == 0 &&
        set_jbm_info_name(info, strip_extension(path).c_str()) == 0)
        return 0;
    return read_jbm256(info, path, transparent_index, kind, stamp);
}

int jbm_image_type(const uint8_t* image) { return image ? le_u16(image) : 0; }
int jbm_image_width(const uint8_t* image) { return image ? le_u16(image + 2) : 0; }
int jbm_image_height(const uint8_t* image) { return image ? le_u16(image + 4) : 0; }
