// Bitmaps on windows: bitmap files and the engine's built-in pictures as 16-bit surfaces, pasted or
// copied into windows and surfaces.
#pragma once
#include <cstdint>

#include "platform/surface.h"
#include "platform/window.h"

inline constexpr int genwin_logo_id = 1000;

int& genwin_report_errors();

// An 8- or 24-bit BMP file as a new surface; NULL when it is missing or damaged.
plat_surface* genwin_load_bitmap_file(const char* path);
// A bitmap image held in memory (8 or 24 bits) as a new surface; NULL for NULL.
plat_surface* genwin_surface_from_image(const uint8_t* image);
// The engine's built-in picture of that id as a new surface; NULL with a report for an unknown id.
plat_surface* genwin_get_resource_bitmap(int id);
// Copies the bitmap into the window's client area inset by margin on every side, scaled when sizes differ.
int genwin_paste_bitmap(plat_window* window, const plat_surface* bitmap, int margin);
// As genwin_paste_bitmap for a built-in picture, kept loaded while the same id is asked again.
int j_paste_bitmap(plat_window* window, int id, int margin);
// Copies the bitmap to (x, y) of a window or a surface; width or height <= 0 take the bitmap's own.
int genwin_copy_bitmap_on_dc(void* dc, const plat_surface* bitmap, int x, int y, int width, int height);
int genwin_is_windows98();
