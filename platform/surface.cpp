// RGB565 surfaces, presenting them 1:1 or scaled into windows, and text drawn with SDL_ttf.
#include "platform/surface.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <mutex>

#include "internal.h"

namespace {

constexpr int max_surface_side = 16384;
constexpr int font_point_size = 12;

uint16_t* row_of(const plat_surface* s, int y)
{
    return s->bits + static_cast<ptrdiff_t>(y) * s->pitch_pixels;
}

bool surface_ok(const plat_surface* s)
{
    return s && s->bits && s->width > 0 && s->height > 0 && s->pitch_pixels >= s->width;
}

std::mutex font_mutex;

// The font, opened on first use; null when SDL_ttf or the font file is missing.
TTF_Font* font_locked()
{
    static bool tried = false;
    static TTF_Font* font = nullptr;
    if (!tried) {
        tried = true;
        if (TTF_WasInit() || TTF_Init() == 0)
            font = TTF_OpenFont(PLATFORM_FONT_PATH, font_point_size);
    }
    return font;
}

}  // namespace

plat_surface* plat_surface_create(int width, int height)
{
    if (width <= 0 || height <= 0 || width > max_surface_side || height > max_surface_side)
        return nullptr;
    auto* s = new plat_surface;
    s->width = width;
    s->height = height;
    s->pitch_pixels = (width + 1) / 2 * 2;
    s->bits = new uint16_t[static_cast<size_t>(s->pitch_pixels) * height]();
    return s;
}

void plat_surface_destroy(plat_surface* surface)
{
    if (!surface)
        return;
    delete[] surface->bits;
    delete surface;
}

int plat_surface_width(const plat_surface* surface)
{
    return surface ? surface->width : 0;
}

int plat_surface_height(const plat_surface* surface)
{
    return surface ? surface->height : 0;
}

int plat_surface_pitch(const plat_surface* surface)
{
    return surface ? surface->pitch_pixels : 0;
}

uint16_t* plat_surface_bits(const plat_surface* surface)
{
    return surface ? surface->bits : nullptr;
}

bool plat_present(plat_window* window, const plat_surface* surface, int dst_x, int dst_y,
                  int width, int height, int src_x, int src_y)
{
    if (!surface_ok(surface) || width < 0 || height < 0)
        return false;
    std::unique_lock<std::mutex> lock;
    if (!plat_window_lock_live(window, lock))
        return false;
    // Clip against the source, then against the client area, moving both corners together.
    int64_t sx = src_x, sy = src_y, dx = dst_x, dy = dst_y, w = width, h = height;
    auto clip_low = [](int64_t& a, int64_t& b, int64_t& size) {
        if (a < 0) {
            b -= a;
            size += a;
            a = 0;
        }
    };
    clip_low(sx, dx, w);
    clip_low(sy, dy, h);
    clip_low(dx, sx, w);
    clip_low(dy, sy, h);
    w = std::min({w, surface->width - sx, window->width - dx});
    h = std::min({h, surface->height - sy, window->height - dy});
    if (w > 0 && h > 0) {
        for (int64_t row = 0; row < h; ++row) {
            const uint16_t* from = row_of(surface, static_cast<int>(sy + row)) + sx;
            uint16_t* to = window->frame.data() + (dy + row) * window->width + dx;
            std::copy_n(from, w, to);
        }
    }
    plat_window_frame_changed(window, lock);
    return true;
}

bool plat_present_stretched(plat_window* window, const plat_surface* surface, int dst_x,
                            int dst_y, int dst_width, int dst_height, int src_x, int src_y,
                            int src_width, int src_height)
{
    if (!surface_ok(surface) || dst_width < 0 || dst_height < 0 || src_width < 0 ||
        src_height < 0)
        return false;
    std::unique_lock<std::mutex> lock;
    if (!plat_window_lock_live(window, lock))
        return false;
    if (dst_width > 0 && dst_height > 0 && src_width > 0 && src_height > 0) {
        // Destination pixel (x, y) takes source pixel
        // (src_x + (x - dst_x) * src_width / dst_width, src_y + (y - dst_y) * src_height / dst_height),
        // integer division; pixels outside the client area or whose source lies outside the
        // surface are left alone.
        int64_t x0 = std::max<int64_t>(dst_x, 0);
        int64_t y0 = std::max<int64_t>(dst_y, 0);
        int64_t x1 = std::min<int64_t>(int64_t{dst_x} + dst_width, window->width);
        int64_t y1 = std::min<int64_t>(int64_t{dst_y} + dst_height, window->height);
        for (int64_t y = y0; y < y1; ++y) {
            int64_t sy = src_y + (y - dst_y) * src_height / dst_height;
            if (sy < 0 || sy >= surface->height)
                continue;
            const uint16_t* from = row_of(surface, static_cast<int>(sy));
            uint16_t* to = window->frame.data() + y * window->width;
            for (int64_t x = x0; x < x1; ++x) {
                int64_t sx = src_x + (x - dst_x) * src_width / dst_width;
                if (sx >= 0 && sx < surface->width)
                    to[x] = from[sx];
            }
        }
    }
    plat_window_frame_changed(window, lock);
    return true;
}

int plat_surface_draw_text(plat_surface* surface, int x, int y, const char* text,
                           uint16_t colour)
{
    if (!surface_ok(surface) || !text || !*text)
        return 0;
    std::lock_guard<std::mutex> guard(font_mutex);
    TTF_Font* font = font_locked();
    if (!font)
        return 0;
    SDL_Color white = {255, 255, 255, 255};
    // Solid rendering gives an 8-bit surface: index 0 is the background.
    SDL_Surface* glyphs = TTF_RenderText_Solid(font, text, white);
    if (!glyphs)
        return 0;
    int drawn_width = glyphs->w;
    if (SDL_LockSurface(glyphs) == 0) {
        for (int row = 0; row < glyphs->h; ++row) {
            int ty = y + row;
            if (ty < 0 || ty >= surface->height)
                continue;
            const auto* from = static_cast<const uint8_t*>(glyphs->pixels) +
                               static_cast<ptrdiff_t>(row) * glyphs->pitch;
            uint16_t* to = row_of(surface, ty);
            for (int col = 0; col < glyphs->w; ++col) {
                int tx = x + col;
                if (tx >= 0 && tx < surface->width && from[col] != 0)
                    to[tx] = colour;
            }
        }
        SDL_UnlockSurface(glyphs);
    }
    SDL_FreeSurface(glyphs);
    return drawn_width;
}

int plat_text_width(const char* text)
{
    if (!text || !*text)
        return 0;
    std::lock_guard<std::mutex> guard(font_mutex);
    TTF_Font* font = font_locked();
    int width = 0;
    if (!font || TTF_SizeText(font, text, &width, nullptr) != 0)
        return 0;
    return width;
}

int plat_text_height()
{
    std::lock_guard<std::mutex> guard(font_mutex);
    TTF_Font* font = font_locked();
    return font ? TTF_FontHeight(font) : 0;
}
