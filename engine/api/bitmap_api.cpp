// Bitmap family: loading and finding cached bitmaps, their images and palettes, resampling,
// unloading and saving.
#include <filesystem>
#include <random>
#include <string>

#include "api/family_exports.h"
#include "formats/bitmap_save.h"
#include "formats/world_formats.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/strings.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "render/images/bitmap_texture.h"
#include "render/images/jbm.h"
#include "render/images/shade_tables.h"
#include "world/colour.h"
#include "world/engine_state.h"

namespace {

// The name each export's checks print and its value when refused.
const api_export_row bitmap_exports[] = {
    {"Drovik_bitmap_get_next", "Drovik_bitmap_get_next", 0},
    {"Drovik_bitmap_resample", "Drovik_bitmap_duplicate", 0},
    {"Drovik_bitmap_unload", "Drovik_bitmap_unload", -1},
    {"Drovik_bitmap_get_number_of_polygons_using_bitmap", "Drovik_bitmap_get_number_of_polygons_using_bitmap", 0},
    {"Drovik_bitmap_get_name", "Drovik_bitmap_get_name", 0},
    {"Drovik_bitmap_get_width", "Drovik_bitmap_get_width", 0},
    {"Drovik_bitmap_get_height", "Drovik_bitmap_get_height", 0},
    {"Drovik_bitmap_get_memory", "Drovik_bitmap_get_memory", 0},
    {"Drovik_bitmap_get_palette", "Drovik_bitmap_get_palette", 0},
    {"Drovik_bitmap_get_palette_size", "Drovik_bitmap_get_palette_size", 0},
    {"Drovik_bitmap_rgb_color_to_index", "Drovik_bitmap_rgb_color_to_index", -1},
    {"Drovik_bitmap_index_to_rgb", "Drovik_bitmap_rgb_color_to_index", -1},
    {"Drovik_bitmap_set_palette_color", "Drovik_bitmap_rgb_color_to_index", -1},
    {"Drovik_bitmap_get_transparent_index", "Drovik_bitmap_get_transparent_index", -1},
    {"Drovik_bitmap_get_transparent_rgb", "Drovik_bitmap_get_transparent_rgb", -1},
    {"Drovik_bitmap_save", "Drovik_bitmap_save", 0},
};

namespace texts {
inline constexpr const char* load_null = "Drovik_bitmap_load: got a NULL string\n";
inline constexpr const char* handle_null = "Drovik_bitmap_get_handle: got a NULL string\n";
inline constexpr const char* save_failed = "Drovik_bitmap_save: failed to write %s\n";
}  // namespace texts

// The channel widths the engine starts with (5-6-5).
constexpr int default_red_bits = 5, default_green_bits = 6, default_blue_bits = 5;
// An empty world in editor mode, for a bitmap loaded before any world.
constexpr int editor_world_flags = 4;

template <typename F>
auto with_bitmap(const char* export_name, DROVIK_HANDLE handle, F&& f) {
    return api_with_record<bitmap_texture>(bitmap_exports, export_name, handle, DROVIK_KIND_BITMAP, f);
}

// A palette entry as the normal shade level shows it.
rgb8 entry_colour(const jbm_info& image, int index) {
    int r = 0, g = 0, b = 0;
    pixel_to_rgb(image.shade_tables[NORMAL_PALETTE][index], &r, &g, &b);
    return {static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)};
}

int square_distance(const rgb8& c, int r, int g, int b) {
    const int dr = c.r - r, dg = c.g - g, db = c.b - b;
    return dr * dr + dg * dg + db * db;
}

bool has_shades(const jbm_info& image) { return image.shade_tables[0] && image.palette_count > 0; }

void put_rgb(const rgb8& c, int* r, int* g, int* b) {
    *r = c.r;
    *g = c.g;
    *b = c.b;
}

void report_failure(const std::string& path) {
    api_log(plat_format(texts::save_failed, path.c_str()).c_str());
}

// The save flag for the extension of the file asked for.
int flag_for(const std::string& extension) {
    if (jstricmp(extension.c_str(), "jpg") == 0) return save_flags::bitmaps_jpeg;
    if (jstricmp(extension.c_str(), "jbm") == 0) return save_flags::bitmaps_engine;
    return save_flags::bitmaps_bmp;
}

// Writes the bitmap's files under the base name into a private folder beside the target folder
// and moves them over the target's files: a file already there is replaced, never read or removed.
void save_files(bitmap_texture* b, const std::string& folder, std::string base, int flags) {
    namespace fs = std::filesystem;
    const std::string target = folder.empty() ? "." : folder;
    const std::string scratch = target + "/.bitmap_save_" + std::to_string(std::random_device{}());
    char* kept_name = b->image.name;
    b->image.name = base.data();
    const bool written = jcreate_directory(scratch.c_str()) == 0 && engine_save_bitmaps(b, scratch.c_str(), flags) == 0;
    b->image.name = kept_name;
    const std::string resolved = plat_path_resolve(scratch);
    std::error_code error;
    if (written && !resolved.empty()) {
        for (const fs::directory_entry& file : fs::directory_iterator(resolved, error)) {
            const std::string name = file.path().filename().string();
            const std::string path = target + "/" + name;
            if (jmove_file(file.path().string().c_str(), path.c_str()) != 0) report_failure(path);
        }
    } else {
        report_failure(target + "/" + base);
    }
    if (!resolved.empty()) fs::remove_all(resolved, error);
}

}  // namespace

DROVIK_API DROVIK_HANDLE Drovik_bitmap_load(const char* name, int transparent_index) {
    engine_guard guard;
    if (!name) {
        warning_box(texts::load_null);
        return nullptr;
    }
    if (!engine_world_loaded() && Drovik_engine_load_world(nullptr, nullptr, nullptr, editor_world_flags) != 0) {
        return nullptr;
    }
    return bitmap_texture_create(&engine_state.bitmaps, name, transparent_index);
}

DROVIK_API DROVIK_HANDLE Drovik_bitmap_get_handle(const char* name, int transparent_index) {
    engine_guard guard;
    if (!name) {
        warning_box(texts::handle_null);
        return nullptr;
    }
    return find_bitmap_texture(engine_state.bitmaps, name, transparent_index);
}

DROVIK_API DROVIK_HANDLE Drovik_bitmap_get_first_bitmap() {
    engine_guard guard;
    return engine_state.bitmaps;
}

DROVIK_API DROVIK_HANDLE Drovik_bitmap_get_next(DROVIK_HANDLE bitmap) {
    return with_bitmap(__func__, bitmap, [](bitmap_texture* b) -> DROVIK_HANDLE { return b->next; });
}

DROVIK_API DROVIK_HANDLE Drovik_bitmap_resample(DROVIK_HANDLE bitmap, int width, int height) {
    return with_bitmap(__func__, bitmap, [width, height](bitmap_texture* b) -> DROVIK_HANDLE {
        if (!engine_world_loaded()) set_pixel_format_bits(default_red_bits, default_green_bits, default_blue_bits);
        return bitmap_texture_duplicate(&engine_state.bitmaps, b, width, height);
    });
}

DROVIK_API int Drovik_bitmap_unload(DROVIK_HANDLE bitmap) {
    return with_bitmap(__func__, bitmap, [](bitmap_texture* b) { return bitmap_texture_delete(&engine_state.bitmaps, b); });
}

DROVIK_API int Drovik_bitmap_get_number_of_polygons_using_bitmap(DROVIK_HANDLE bitmap) {
    return with_bitmap(__func__, bitmap, [](bitmap_texture* b) { return bitmap_count_polygons_using(b); });
}

DROVIK_API const char* Drovik_bitmap_get_name(DROVIK_HANDLE bitmap) {
    return with_bitmap(__func__, bitmap, [](bitmap_texture* b) -> const char* { return b->image.name; });
}

DROVIK_API int Drovik_bitmap_get_width(DROVIK_HANDLE bitmap) {
    return with_bitmap(__func__, bitmap, [](bitmap_texture* b) { return static_cast<int>(b->image.width); });
}

DROVIK_API int Drovik_bitmap_get_height(DROVIK_HANDLE bitmap) {
    return with_bitmap(__func__, bitmap, [](bitmap_texture* b) { return static_cast<int>(b->image.height); });
}

DROVIK_API unsigned char* Drovik_bitmap_get_memory(DROVIK_HANDLE bitmap) {
    return with_bitmap(__func__, bitmap, [](bitmap_texture* b) -> unsigned char* { return jbm_pixels(&b->image); });
}

DROVIK_API const unsigned char* Drovik_bitmap_get_palette(DROVIK_HANDLE bitmap) {
    static_assert(sizeof(rgb8) == 3);
    return with_bitmap(__func__, bitmap, [](bitmap_texture* b) -> const unsigned char* {
        return reinterpret_cast<const unsigned char*>(b->image.palette);
    });
}

DROVIK_API int Drovik_bitmap_get_palette_size(DROVIK_HANDLE bitmap) {
    return with_bitmap(__func__, bitmap, [](bitmap_texture* b) { return b->image.palette_count; });
}

DROVIK_API int Drovik_bitmap_rgb_color_to_index(DROVIK_HANDLE bitmap, int red, int green, int blue) {
    return with_bitmap(__func__, bitmap, [red, green, blue](bitmap_texture* b) {
        const jbm_info& image = b->image;
        if (!has_shades(image)) return -1;
        int best = 0, best_distance = square_distance(entry_colour(image, 0), red, green, blue);
        for (int i = 1; i < image.palette_count; ++i) {
            const int d = square_distance(entry_colour(image, i), red, green, blue);
            if (d < best_distance) {
                best = i;
                best_distance = d;
            }
        }
        const bool transparent_nearer =
            image.transparent_index >= 0 && square_distance(image.transparent_colour, red, green, blue) < best_distance;
        return transparent_nearer ? image.palette_count : best;
    });
}

DROVIK_API int Drovik_bitmap_index_to_rgb(DROVIK_HANDLE bitmap, int index, int* red, int* green, int* blue) {
    return with_bitmap(__func__, bitmap, [index, red, green, blue](bitmap_texture* b) {
        if (!red || !green || !blue) return -1;
        *red = *green = *blue = 0;
        if (!has_shades(b->image) || index < 0 || index >= b->image.palette_count) return -1;
        put_rgb(entry_colour(b->image, index), red, green, blue);
        return 0;
    });
}

DROVIK_API int Drovik_bitmap_set_palette_color(DROVIK_HANDLE bitmap, int index, int red, int green, int blue) {
    return with_bitmap(__func__, bitmap, [index, red, green, blue](bitmap_texture* b) {
        jbm_info& image = b->image;
        if (!has_shades(image) || !image.palette || index < 0 || index >= image.palette_count) return -1;
        const rgb8 colour{static_cast<uint8_t>(red), static_cast<uint8_t>(green), static_cast<uint8_t>(blue)};
        uint16_t shades[NUMBER_OF_PALETTES];
        build_color_shade_table(colour, shades, NUMBER_OF_PALETTES, NORMAL_PALETTE, current_atmospheric_colour());
        for (int level = 0; level < NUMBER_OF_PALETTES; ++level) image.shade_tables[level][index] = shades[level];
        image.palette[index] = colour;
        return 0;
    });
}

DROVIK_API int Drovik_bitmap_get_transparent_index(DROVIK_HANDLE bitmap) {
    return with_bitmap(__func__, bitmap, [](bitmap_texture* b) { return b->image.transparent_index; });
}

DROVIK_API int Drovik_bitmap_get_transparent_rgb(DROVIK_HANDLE bitmap, int* red, int* green, int* blue) {
    return with_bitmap(__func__, bitmap, [red, green, blue](bitmap_texture* b) {
        const jbm_info& image = b->image;
        if (!red || !green || !blue || image.transparent_index < 0) return -1;
        const bool in_palette = has_shades(image) && image.transparent_index < image.palette_count;
        put_rgb(in_palette ? entry_colour(image, image.transparent_index) : image.transparent_colour, red, green, blue);
        return 0;
    });
}

DROVIK_API void Drovik_bitmap_save(DROVIK_HANDLE bitmap, const char* file_name) {
    with_bitmap(__func__, bitmap, [file_name](bitmap_texture* b) {
        if (!file_name || !*file_name) {
            save_files(b, "", get_file_name(b->image.name), save_flags::bitmaps_bmp);
            return;
        }
        save_files(b, get_directory(file_name), strip_extension(get_file_name(file_name).c_str()),
                   flag_for(get_extension(file_name)));
    });
}
