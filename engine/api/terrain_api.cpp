// Terrain from a height bitmap through the interface: the "Terrain" group, coloured or textured,
// joined, wrapped and scaled. A user's file is never overwritten or deleted.
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "api/polygon_group_tables.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/memory.h"
#include "foundation/strings.h"
#include "platform/paths.h"
#include "render/images/bitmap_texture.h"
#include "render/images/jpeg_convert.h"
#include "render/images/winbmp.h"
#include "world/engine_state.h"
#include "world/terrain.h"

namespace {

namespace texts {
inline constexpr const char* name = "Drovik_engine_create_terrain_from_bitmap";
inline constexpr const char* null_file =
    "Drovik_engine_create_terrain_from_bitmap: source bitmap file name is NULL !\n";
inline constexpr const char* no_file = "Drovik_engine_create_terrain_from_bitmap: couldnt find file\n";
inline constexpr const char* unsupported =
    "Drovik_engine_create_terrain_from_bitmap: source bitmap file name is not in a supported format (only 8 and "
    "24 bit per pixel bitmap format are supported !)\n";
inline constexpr const char* copy_suffix = "_8bit";
}  // namespace texts

// An empty editor world with nearest power-of-two bitmaps.
constexpr int fresh_world_flags = 36;
constexpr int power_of_two_nearest = 32;
constexpr double join_tolerance = 0.001;
constexpr double terrain_scale = 0.0005;

// A file the export made for itself, removed when the export returns.
class scratch_file {
public:
    ~scratch_file() {
        if (!path_.empty()) std::remove(plat_path_resolve_for_write(path_).c_str());
    }
    void own(const std::string& path) { path_ = path; }

private:
    std::string path_;
};

// `stem + ending` when no such file exists yet, else a free private name beside it.
std::string unused_name(const std::string& stem, const char* ending, bool* is_private) {
    *is_private = false;
    std::string path = stem + ending;
    for (int n = 1; plat_file_exists(path); ++n) {
        *is_private = true;
        path = stem + "_terrain_scratch_" + std::to_string(n) + ending;
    }
    return path;
}

// The JPEG decoded into a bitmap file beside it; "" on failure.
std::string convert_jpeg(const char* file, scratch_file& scratch) {
    char* data = nullptr;
    int size = 0;
    if (file_to_memory(file, &data, &size) != 0) return "";
    uint8_t* image = jpeg_to_winbmp(reinterpret_cast<const uint8_t*>(data), static_cast<size_t>(size), 0);
    engine_free(data);
    if (!image) return "";
    bool is_private = false;
    const std::string path = unused_name(strip_extension(file), ".bmp", &is_private);
    const int saved = winbmp_save_to_file(path.c_str(), image);
    engine_free(image);
    if (is_private) scratch.own(path);
    return saved == 0 ? path : "";
}

// The engine form of the file widened to 24 bits; NULL after the export's message.
uint8_t* read_24bit(const std::string& file) {
    char* data = nullptr;
    int size = 0;
    if (file_to_memory(file.c_str(), &data, &size) != 0) {
        api_log_line(texts::no_file);
        return nullptr;
    }
    winbmp_status status = winbmp_status::unreadable;
    uint8_t* image = winbmp_from_memory(reinterpret_cast<const uint8_t*>(data), static_cast<size_t>(size), &status,
                                        nullptr);
    engine_free(data);
    if (image && winbmp_get_bits_per_pixel(image) == 8) {
        uint8_t* wide = winbmp_convert_8bit_to_24bit(image);
        engine_free(image);
        image = wide;
    }
    if (!image || winbmp_get_bits_per_pixel(image) != 24) {
        engine_free(image);
        warning_box(texts::unsupported);
        return nullptr;
    }
    return image;
}

// A texture of an 8-bit engine-form image (rows bottom-up), named name.
bitmap_texture* texture_of(const uint8_t* image, const std::string& name) {
    const int width = winbmp_get_width(image), height = winbmp_get_height(image);
    const int row = winbmp_get_bytes_per_row(image);
    rgb8 palette[256];
    const int count = winbmp_get_palette(image, palette);
    if (count <= 0) return nullptr;
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height);
    const uint8_t* bits = image + winbmp_get_data_offset(image);
    for (int y = 0; y < height; ++y) {
        const uint8_t* source = bits + static_cast<size_t>(height - 1 - y) * row;
        std::copy(source, source + width, pixels.begin() + static_cast<ptrdiff_t>(y) * width);
    }
    return bitmap_texture_create_from_pixels(&engine_state.bitmaps, name.c_str(), width, height, pixels.data(),
                                             palette, count, -1);
}

// The height map coloured through the map and reduced to 8 bits, as the terrain's texture. The
// copy is made in memory under the name "<file>_8bit", so no file beside the source is touched.
bitmap_texture* coloured_texture(const std::string& file, const unsigned char* colour_map, int entries) {
    uint8_t* image = read_24bit(file);
    if (!image) return nullptr;
    std::vector<rgb8> map;
    for (int k = 0; colour_map && k < entries; ++k) {
        map.push_back({colour_map[3 * k], colour_map[3 * k + 1], colour_map[3 * k + 2]});
    }
    uint8_t* reduced = nullptr;
    if (winbmp_gray2colors(image, map.empty() ? nullptr : map.data(), static_cast<int>(map.size())) == 0) {
        reduced = winbmp_convert_24bit_to_8bit(image);
    }
    engine_free(image);
    if (!reduced) return nullptr;
    const std::string name = strip_extension(file.c_str()) + texts::copy_suffix;
    if (bitmap_texture* cached = find_bitmap_texture(engine_state.bitmaps, name.c_str(), -1)) {
        bitmap_texture_delete(&engine_state.bitmaps, cached);
    }
    bitmap_texture* texture = texture_of(reduced, name);
    engine_free(reduced);
    return texture;
}

}  // namespace

DROVIK_API DROVIK_HANDLE Drovik_engine_create_terrain_from_bitmap(const char* bitmap_file, double height_step,
                                                                  int polygon_count, DROVIK_HANDLE bitmap,
                                                                  int repeat_x, int repeat_y,
                                                                  const unsigned char* colour_map, int map_entries,
                                                                  const double* /* scale: always terrain_scale */,
                                                                  int* polygons_out) {
    engine_guard guard;
    if (!engine_world_loaded() && Drovik_engine_load_world(nullptr, "", "", fresh_world_flags) != 0) return nullptr;
    int unused_count = 0;
    int* out = polygons_out ? polygons_out : &unused_count;
    *out = 0;
    if (!bitmap_file) {
        warning_box(texts::null_file);
        return nullptr;
    }
    scratch_file scratch;
    std::string source = bitmap_file;
    if (jstricmp(get_extension(bitmap_file).c_str(), "jpg") == 0) {
        source = convert_jpeg(bitmap_file, scratch);
        if (source.empty()) return nullptr;
    }
    if (!bitmap) {
        repeat_x = repeat_y = 1;
        bitmap = coloured_texture(source, colour_map, map_entries);
        if (!bitmap) return nullptr;
    }
    if (!api_check_handle(bitmap, texts::name, DROVIK_KIND_BITMAP)) return nullptr;
    bitmap_texture* texture = static_cast<bitmap_texture*>(bitmap);
    if ((repeat_x > 1 || repeat_y > 1) && !bitmap_texture_is_power_of_two(texture)) {
        if (bitmap_texture* copy =
                bitmap_texture_make_power_of_two(&engine_state.bitmaps, texture, power_of_two_nearest)) {
            texture = copy;
        }
    }
    group* terrain = engine_create_terrain_group_from_bitmap(source.c_str(), height_step, polygon_count);
    if (!terrain) return nullptr;
    *out = polygon_count;
    Drovik_group_reduce_polygons_count(terrain, join_tolerance);
    Drovik_group_wrap_a_bitmap(terrain, texture, repeat_x, repeat_y);
    Drovik_group_scale(terrain, 0, terrain_scale, terrain_scale, terrain_scale);
    return terrain;
}
