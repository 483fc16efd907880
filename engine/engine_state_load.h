// Loading a world, adding a further world, loading a file into a scratch state for its polygons,
// and closing the world.
#pragma once
#include <cstdint>

#include "foundation/geometry.h"
#include "world/records.h"

// The full reset before a load: first-use start-up, the pixel format, the frame buffers, the
// counters; with keep_bitmaps the bitmap list survives.
void engine_init_world_state(int editor, int red_bits, int green_bits, int blue_bits, int keep_bitmaps);
// Resets the state, reads the file with the reader of its extension (NULL: an empty world with
// one "MAIN" module) and digests it; 0 / -1. out_count gets the number of polygons.
int engine_load_world(const char* file, const char* world_directory, const char* bitmaps_directory, uint32_t flags,
                      int red_bits, int green_bits, int blue_bits, int* out_count);
// Reads a further text world and places it as a static object at position; its group, or NULL.
group* engine_add_world(const char* file, const char* world_directory, const char* bitmaps_directory,
                        const vec3& position);
// Any format: text worlds as above; others through a scratch state, their polygons appended to
// the MAIN root. The group the reader reports, or NULL.
group* engine_add_world_any_format(const char* file, const char* world_directory, const char* bitmaps_directory,
                                   const vec3& position);
// The polygons of a world file, loaded in a scratch state (an MD2 model in the live state, its
// 3D animation given through `animation`); 0 / -1.
int engine_load_file_polygons(const char* file, polygon** out, anim3d** animation = nullptr);
// Frees the world (with full = 1 the bitmaps too) and writes the summary, statistics and profile.
void engine_close(int full);

namespace load_texts {
inline constexpr const char* main_module = "MAIN";
inline constexpr const char* caption_load = "Load world";
inline constexpr const char* caption_closing = "Closing";
inline constexpr const char* close_banner = "\n\n-----------------------\n==== engine_close: ====\n-----------------------\n";
inline constexpr const char* memory_summary = "Memory usage summery\n---------------------\n";
inline constexpr const char* bitmaps_freed = "    bitmaps table freed %d bytes\n";
inline constexpr const char* modules_freed = "    modules list freed %d bytes\n";
inline constexpr const char* dynamic_freed = "    dynamic objects freed %d bytes\n";
inline constexpr const char* maximum_memory = "    Maximum of memory that was needed=%d\n";
inline constexpr const char* statistics_banner = "\nInternal Engine Satistics\n-------------------------\n";
inline constexpr const char* statistics_total = "    Total: frames=%lld, polygons=%lld, lines=%lld pixels=%lld\n";
inline constexpr const char* statistics_frame = "    per frame:    \t  polygons=%lld, lines=%lld pixels=%lld\n";
inline constexpr const char* statistics_polygon = "    per polygon:  \t           \t  lines=%lld pixels=%lld\n";
inline constexpr const char* statistics_line = "    per line:   \tpixels=%lld\n";
inline constexpr const char* statistics_hidden_lines = "    hidden lines=%lld (were included above)\n";
inline constexpr const char* statistics_hidden_pixels =
    "    discovered hidden pixels=%lld (include hidden lines) (to find out how many were not discovered test it in "
    "a world like a room than all the hidden pixel are pixels_per_frame-resx*resy\n";
inline constexpr const char* statistics_hidden_in_lines =
    "    %lld=The part of discovered hidden pixels that were in totally hidden lines\n";
}  // namespace load_texts
