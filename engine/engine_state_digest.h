// Digestion: the lists a reader left become the viewer-mode world (modules with BSP trees,
// linked names, placed dynamic objects, the world order, groups and a camera).
#pragma once
#include "world/records.h"

// 0, or -1 (reported) when MAIN, a module, a track or a chase target is missing; a failure
// leaves only the MAIN module, without its objects.
int engine_digest_worlds(const char* bitmaps_directory, module* modules, int immerse);
// Makes "the_world" the father of every top-level group when the world has several of them or
// polygons of the MAIN root without a group.
void engine_make_the_world_group();

namespace digest_texts {
inline constexpr const char* main_module = "MAIN";
inline constexpr const char* the_world = "the_world";
inline constexpr const char* caption_bsp = "BSP Tree";
inline constexpr const char* caption_general = "General";
inline constexpr const char* caption_light = "Light";
inline constexpr const char* profiler_chunk = "build_bsp_tree";
inline constexpr const char* count_lines =
    "%d == Original number of polygons in sceen\n%d Polygons were added to the origional sceen \r\n\r\n";
}  // namespace digest_texts
