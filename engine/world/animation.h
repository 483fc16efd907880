// Texture animations: frame lists of bitmaps per viewing direction and the frame durations.
#pragma once
#include "world/records.h"

inline constexpr int animation_view_count = 5;
// Duration of a frame added by resizing, in hundredths of a second.
inline constexpr uint32_t animation_default_duration = 50;

animation* init_animation();
void animation_delete(animation* a);
frame_item* init_frame_item();
void free_frame_item(frame_item* item);
void frame_list_destroy(frame_item** list);
// Cuts the list to n items or pads it with placeholders repeating its last bitmap; 0 / -1.
int frames_force_list_length(frame_item** list, int n);
// Brings every list and the durations to the longest real list; polygons showing a frame past
// the new end restart at the first frame.
int animation_resize_lists(animation* a);
