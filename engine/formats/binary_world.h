// The binary world file and the engine's world: building records from a parsed file and
// collecting a saved group into file records.
#pragma once
#include "formats/binary_format.h"
#include "world/records.h"

// Creates the groups, animations, polygons (into the module's root list, in file order), the main
// tree from the file's BSP records (viewer mode), the cameras, tracks, settings, dynamic objects,
// backgrounds and lights of a parsed file, digests them, then in editor mode folds the objects back
// into their groups and in viewer mode gives the objects' modules their trees; the saved top group
// goes to `top_group`. Nothing is created when the file holds a polygon the engine cannot hold: 0,
// or -1 with a report. A later section that fails is reported, the rest is still built and the
// result is -1.
int bfl_build_world(const bf_world& world, module* m, group** top_group);
// The same for a world that already passed bfl_check_world, as every parsed one has.
int bfl_build_checked_world(const bf_world& world, module* m, group** top_group);
// The file records of `saved` and what lies inside it (groups in group-list order, polygons in
// world order, shared points and cords, name tables, the main tree in viewer mode, dynamic objects,
// animations, settings): 0 / -1.
int bfl_collect_world(const group* saved, int flags, bf_world& out);

// Reads a binary world file into the module and digests it: 0 / -1.
int bfl_read_world(const char* path, module* m, group** top_group);
// What a read binary world needs afterwards: the main module must exist; z-buffer state, player
// object, track and chase links, current background, animations by bitmap name and the default
// camera: 0, or -1 (reported) when a link is missing.
int bfl_digest_world();
// The binary entry of the format table: a fresh "MAIN" module filled from the file.
int engine_read_world_design_drovik_binary_format(const char* directory, const char* file_name, const char* path,
                                                 group** top_group);
// Saves `g` (NULL: the whole world, under a temporary group named with the path); in editor mode
// the dynamic groups are written as objects, the world being put back exactly afterwards: 0 / -1.
int engine_save_drovik_binary_world(const char* path, group* g, int flags);

namespace bf_world_texts {
inline constexpr const char* no_group_name = "bfl_read_groups: couldnt find name\n";
inline constexpr const char* too_many_points = "bfl_read_world: polygon %d has %d points, more than %d\n";
inline constexpr const char* broken_patches = "bfl_read_world: the patch links of the polygons are broken\n";
inline constexpr const char* section_failed = "bfl_read_world: some error accured while reading %s\n";
inline constexpr const char* no_module = "bfl_read_world: no module to read into\n";
inline constexpr const char* internal_error = "engine_save_drovik_binary_format: internal error\n";
inline constexpr const char* internal_error_2 = "engine_save_drovik_binary_format: internal error 2\n";
inline constexpr const char* object_without_module = "do_dynamic_section: dyn->mdl==NULL !\n";
inline constexpr const char* animation_not_found = "bf_get_animation_index: coudnt find animation\n";
inline constexpr const char* no_temporary_group = "engine_save_drovik_binary_world: couldnt create the world group\n";
inline constexpr const char* no_main_module = "engine_digest_worlds: Cant find the main module !!\n";
inline constexpr const char* tracks_missing = "engine_digest_worlds: Some Tracks are missing!!\n";
inline constexpr const char* camera_tracks_missing =
    "engine_digest_worlds: Some Tracks are missing (for the cameras)!!\n";
inline constexpr const char* chase_failed = "engine_digest_worlds: connect_chase_objects failed\n";
inline constexpr const char* unnamed_group = "no_name";
inline constexpr const char* unnamed_object = "No_name";
// Log window captions of the reading steps.
inline constexpr const char* caption_load = "Load File";
inline constexpr const char* caption_groups = "Groups";
inline constexpr const char* caption_animations = "Animations";
inline constexpr const char* caption_polygon_alloc = "Polygon alloc";
inline constexpr const char* caption_polygons = "Polygon read";
inline constexpr const char* caption_tree = "BSP Tree";
inline constexpr const char* caption_objects = "Dynamic Objects";
inline constexpr const char* caption_cameras = "Cameras";
inline constexpr const char* caption_tracks = "Tracks";
inline constexpr const char* caption_settings = "Settings";
inline constexpr const char* caption_backgrounds = "Backgrounds";
inline constexpr const char* caption_lights = "Lights";
inline constexpr const char* caption_processing = "Processing data";
inline constexpr const char* caption_processing_2 = "Processing data 2";
inline constexpr const char* caption_general = "General";
}  // namespace bf_world_texts
