// Texture animations: frame lists of bitmaps per viewing direction and the frame durations.
#pragma once
#include <string>

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

// View types of the five frame lists.
inline constexpr int view_front = 1;
inline constexpr int view_front_sided = 2;
inline constexpr int view_side = 3;
inline constexpr int view_back_sided = 4;
inline constexpr int view_back = 5;

void animation_delete_all(animation** list);
// Clears every polygon's link to the animation; each keeps showing its current frame's bitmap.
void animation_unhook(animation* a);
animation* animation_find(animation* list, const char* name);
// 0, with a taken name's "_<digits>" ending replaced by a free "_<n>"; -1 when every suffix is taken.
int animation_find_unique_name(animation* list, std::string& name);
int animation_count_views(const animation* a);
bitmap_texture* animation_get_first_bitmap(const animation* a);
frame_item* animation_get_first_list(const animation* a);
// The list of a view type 1..5, NULL otherwise.
frame_item* animation_get_list(const animation* a, int view_type);
bitmap_texture* animate_get_texture_from_list(frame_item* list, int n);
// The n-th real item's bitmap: the count stops at the first placeholder.
bitmap_texture* animate_get_real_texture_from_list(frame_item* list, int n);
frame_item* animate_get_frame(frame_item* list, int n);
int frame_list_uses_bitmap(const frame_item* list, const bitmap_texture* bitmap);
int animation_uses_bitmap(const animation* a, const bitmap_texture* bitmap);
// The texture of frame n seen from direction a onto a polygon facing b (unit vectors): the
// list matching the angle between them, else the nearest list that has the frame.
bitmap_texture* animate_get_next_texture(const animation* a, int frame, const vec3& from, const vec3& facing);
// 1 when a.y b.x - b.y a.x is negative.
int is_left_of(const vec3& a, const vec3& b);
// Multiplies every duration by k (rounded, at least one hundredth).
void animation_factor_speed(animation* a, double k);
// Sets the speed factor to s.
void animation_set_speed(animation* a, double s);
void frame_item_set_bitmap(frame_item* item, bitmap_texture* bitmap);
void frame_list_push(frame_item** list, frame_item* item);
// After the last real item, before any placeholders.
void add_frame_item_as_last(frame_item** list, frame_item* item);
// At a position among the real items (negative or past them: as last); the position used, or -1.
int add_frame_item(frame_item** list, frame_item* item, int position);
int animation_add_bitmap(animation* a, int view_type, bitmap_texture* bitmap, int position);
int animation_remove_bitmap(animation* a, int view_type, int n);
// Gives an animated polygon the texture of its current frame as seen from the camera (the view
// by the horizontal angle between the viewing direction and the polygon's normal), then
// advances its frame.
void polygon_choose_animation_texture(polygon* p, const camera* c);
