// Bitmaps on windows: bitmap files and the engine's built-in pictures as 16-bit surfaces.
#include "render/images/genwin.h"

#include <algorithm>

#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/memory.h"
#include "render/images/winbmp.h"
#include "world/colour.h"

namespace {

void report(const char* text) {
    if (genwin_report_errors()) report_error(1, text);
}

// The logo: a dusk gradient with the engine's name.
plat_surface* draw_logo() {
    plat_surface* s = plat_surface_create(200, 60);
    if (!s) return nullptr;
    for (int y = 0; y < s->height; ++y) {
        const uint16_t colour = rgb_to_pixel(20 + 2 * y, 30 + y, 90 + 2 * y);
        std::fill(s->bits + y * s->pitch_pixels, s->bits + y * s->pitch_pixels + s->width, colour);
    }
    plat_surface_draw_text(s, 12, (s->height - plat_text_height()) / 2, "Drovik", rgb_to_pixel(255, 230, 160));
    return s;
}

struct kept_resource {
    int id = 0;
    plat_surface* surface = nullptr;
};

kept_resource& kept() {
    static kept_resource resource;
    return resource;
}

// Nearest-pixel copy of the whole bitmap onto a width x height block of the target surface.
void stretch_into(plat_surface* target, const plat_surface* bitmap, int x, int y, int width, int height) {
    for (int ty = std::max(0, y); ty < std::min(target->height, y + height); ++ty) {
        const int sy = static_cast<int>(static_cast<int64_t>(ty - y) * bitmap->height / height);
        for (int tx = std::max(0, x); tx < std::min(target->width, x + width); ++tx) {
            const int sx = static_cast<int>(static_cast<int64_t>(tx - x) * bitmap->width / width);
            target->bits[ty * target->pitch_pixels + tx] = bitmap->bits[sy * bitmap->pitch_pixels + sx];
        }
    }
}

}  // namespace

int& genwin_report_errors() {
    static int flag = 1;
    return flag;
}

plat_surface* genwin_load_bitmap_file(const char* path) {
    char* data = nullptr;
    int size = 0;
    if (file_to_memory(path, &data, &size) != 0) return nullptr;
    uint8_t* image = winbmp_from_memory(reinterpret_cast<const uint8_t*>(data), static_cast<size_t>(size), nullptr,
                                        nullptr);
    engine_free(data);
    plat_surface* s = genwin_surface_from_image(image);
    engine_free(image);
    return s;
}

plat_surface* genwin_surface_from_image(const uint8_t* image) {
    plat_surface* s = image ? plat_surface_create(winbmp_get_width(image), winbmp_get_height(image)) : nullptr;
    for (int y = 0; s && y < s->height; ++y) {
        for (int x = 0; x < s->width; ++x) {
            int r, g, b;
            winbmp_get_pixel(image, x, s->height - 1 - y, &r, &g, &b);
            s->bits[y * s->pitch_pixels + x] = rgb_to_pixel(r, g, b);
        }
    }
    return s;
}

plat_surface* genwin_get_resource_bitmap(int id) {
    plat_surface* s = id == genwin_logo_id ? draw_logo() : nullptr;
    if (!s) report("genwin_get_resource_bitmap: coudn't load specified bitmap. Probably bad id");
    return s;
}

int genwin_paste_bitmap(plat_window* window, const plat_surface* bitmap, int margin) {
    if (!window || !bitmap) return -1;
    int width = 0, height = 0;
    plat_window_client_size(window, &width, &height);
    width -= 2 * margin;
    height -= 2 * margin;
    if (width <= 0 || height <= 0) return -1;
    if (width == bitmap->width && height == bitmap->height)
        return plat_present(window, bitmap, margin, margin, width, height, 0, 0) ? 0 : -1;
    return plat_present_stretched(window, bitmap, margin, margin, width, height, 0, 0, bitmap->width, bitmap->height)
               ? 0
               : -1;
}

int j_paste_bitmap(plat_window* window, int id, int margin) {
    kept_resource& k = kept();
    if (!k.surface || k.id != id) {
        plat_surface* s = genwin_get_resource_bitmap(id);
        if (!s) {
            report("j_paste_bitmap: coudn't load specified bitmap. Probably bad id");
            return -1;
        }
        plat_surface_destroy(k.surface);
        k = {id, s};
    }
    return genwin_paste_bitmap(window, k.surface, margin);
}

int genwin_copy_bitmap_on_dc(void* dc, const plat_surface* bitmap, int x, int y, int width, int height) {
    if (!dc || !bitmap) return -1;
    if (width <= 0) width = bitmap->width;
    if (height <= 0) height = bitmap->height;
    if (plat_is_window(dc)) {
        auto* window = static_cast<plat_window*>(dc);
        if (width == bitmap->width && height == bitmap->height)
            return plat_present(window, bitmap, x, y, width, height, 0, 0) ? 0 : -1;
        return plat_present_stretched(window, bitmap, x, y, width, height, 0, 0, bitmap->width, bitmap->height) ? 0
                                                                                                                 : -1;
    }
    stretch_into(static_cast<plat_surface*>(dc), bitmap, x, y, width, height);
    return 0;
}

int genwin_is_windows98() { return 0; }
