// Sky backgrounds: the records, their list, and drawing the panorama behind the world.
#pragma once
#include <string>

#include "render/software/draw_buffer.h"
#include "world/records.h"

int& background_report_errors();

background* init_background();
// A paletted panorama of the bitmap, named uniquely, pushed at the head of list.
background* background_create(background** list, const char* name, bitmap_texture* bitmap);
// Keeps the name when no background bears it, else the first free "<name>_<n>" (a trailing
// "_<digits>" of the name taken off first); 0 or -1.
int background_find_unique_name(background* list, std::string& name);
background* background_find_by_name(background* first, const char* name);
bitmap_texture* background_set_bitmap(background* b, bitmap_texture* bitmap);
int background_list_remove(background** list, background* b);
void background_free(background* b);
void background_delete_all(background** list);

// The panorama column at the left edge of the view for a bitmap width wide; -1 on failure.
int background_get_x_offset(const camera* c, int width);
// Clears the buffer to colour (software mode), then draws the background's current frame and moves
// to the next frame; 0, or -1 on failure.
int engine_draw_world_background(background* b, draw_buffer* buffer, uint16_t colour, const camera* c);
int background_draw64k(background* b, draw_buffer* buffer, const camera* c);
