// 16-bit RGB565 top-down surfaces and presenting them into windows.
#pragma once
#include <cstdint>

struct plat_window;

struct plat_surface {
    int width;
    int height;
    int pitch_pixels;  // row length in pixels, always even
    uint16_t* bits;    // top-down rows, written directly by the renderer
};

plat_surface* plat_surface_create(int width, int height);  // zero-filled; nullptr on bad size
void plat_surface_destroy(plat_surface* surface);

// The fields for programs in plain C (declared in drovik.h); 0 or NULL for a NULL surface.
extern "C" int plat_surface_width(const plat_surface* surface);
extern "C" int plat_surface_height(const plat_surface* surface);
extern "C" int plat_surface_pitch(const plat_surface* surface);  // in pixels
extern "C" uint16_t* plat_surface_bits(const plat_surface* surface);

// BitBlt: copies a width x height block of the surface from (src_x, src_y) to (dst_x, dst_y)
// in the window's client area, clipped to both. Any thread.
bool plat_present(plat_window* window, const plat_surface* surface, int dst_x, int dst_y,
                  int width, int height, int src_x, int src_y);

// StretchBlt: scales the source rectangle onto the destination rectangle (nearest pixel),
// clipped to the window. Any thread.
bool plat_present_stretched(plat_window* window, const plat_surface* surface, int dst_x,
                            int dst_y, int dst_width, int dst_height, int src_x, int src_y,
                            int src_width, int src_height);

// Draws 8-bit text with its top-left corner at (x, y), clipped to the surface.
// Returns the width in pixels; 0 when no font is available.
int plat_surface_draw_text(plat_surface* surface, int x, int y, const char* text,
                           uint16_t colour);
// Width and height in pixels of text drawn as above; 0 when no font is available.
int plat_text_width(const char* text);
int plat_text_height();
