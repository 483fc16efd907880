// Loading MD2 models into 3D animations, their sequences by frame-name prefix, and the polygons
// of a model frame or of the moment in a sequence.
#pragma once
#include "world/records.h"

// Reads (or reuses, for an unchanged file already loaded) the model as a 3D animation of the
// world and puts the polygons of its frame 0 at the head of the list; NULL with one report line
// when the file is missing or damaged.
anim3d* anim3d_load_md2_file(const char* path, polygon** list);
// One polygon per triangle of the frame, in triangle order, at the head of the list; 0 / -1.
int anim3d_create_polygon_list(anim3d* a, int frame, polygon** list);
// Moves the points of the list (one polygon per triangle) to the sequence's moment; 0 / -1.
int anim3d_update_polygon_list_to_frame(anim3d* a, seq3d* s, polygon* list);
// Runs of frames with a common name prefix become sequences of 100 ms steps; 0 / -1.
int anim3d_create_sequences_list(anim3d* a);

namespace anim3d_load_texts {
inline constexpr const char* prefix = "anim3d_load_md2_file: ";
inline constexpr const char* cant_read = "anim3d_load_md2_file: cant read the file %s\n";
inline constexpr const char* frames_failed = "anim3d_load_md2_file: Failed creating frames\n";
inline constexpr const char* sequences_failed = "anim3d_load_md2_file: Failed creating sequences\n";
inline constexpr const char* polygons_failed =
    "anim3d_load_md2_file: an error accured while creating polygon list\n";
inline constexpr const char* polygon_point = "anim3d_create_polygon_list: failed getting a point\n";
inline constexpr const char* polygon_add = "anim3d_create_polygon_list: failed to add polygon\n";
inline constexpr const char* points_deleted =
    "anim3d_update_polygon_list_to_frame: Internal error. Some points were deleted !\n";
inline constexpr const char* polygons_deleted =
    "anim3d_update_polygon_list_to_frame: Internal error. Some polygons were deleted !\n";
inline constexpr const char* update_point = "anim3d_update_polygon_list_to_frame: failed getting a point\n";
}  // namespace anim3d_load_texts
