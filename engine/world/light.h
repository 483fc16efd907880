// Lights: colours written into the points of a group, a dynamic object or a polygon (3D card only).
#pragma once
#include <string>

#include "foundation/geometry.h"
#include "world/records.h"

int& light_report_errors();

// Light type flags.
inline constexpr int light_directional = 1;
inline constexpr int light_linear = 2;
inline constexpr int light_quadratic = 4;
inline constexpr int light_ambient = 8;
inline constexpr int light_diffuse = 0x10;
inline constexpr int light_specular = 0x20;

// Modes of activation.
inline constexpr int light_mode_reset = 0;
inline constexpr int light_mode_add = 1;
inline constexpr int light_mode_subtract = 2;

light* init_light();
// A light with the default values, its name made unique on the list, pushed at its head.
light* light_create(light** list, const char* name);
int light_find_unique_name(light* list, std::string& name);
light* light_find(light* list, const char* name);
void light_delete(light* l);
void light_delete_all(light** list);
// Every light of the world that lights the entity lights nothing from now on.
void light_forget_entity(const void* entity);

void light_set_location(light* l, const vec3& location);
void light_set_direction(light* l, const vec3& direction);
void light_set_color(light* l, int red, int green, int blue);
void light_set_activate_before_each_render(light* l, int flag, int mode);

// Resolves every light's entity name after loading; 0, or -1 when any is missing.
int light_connect_to_entities(light* list);
// Lights the entity's points: mode 0 resets them to black and adds, 1 adds, 2 subtracts.
void light_activate(light* l, int mode);
// Gives every point of the light's entity the colour.
void light_reset(light* l, int red, int green, int blue);
// Gives the points of the light's entity their unlit colours back.
void light_remove_light(light* l);
// The lights flagged for it, before a frame: per entity the first mode-0 light resets and the
// others add, then the lights of the other modes.
void engine_activate_lights_before_render(light* list);

void polygon_set_points_color(polygon* p, int red, int green, int blue);
void polygon_restore_points_color(polygon* p);
void group_set_points_color(const group* g, int red, int green, int blue);
void group_restore_points_color(const group* g);
void bsp_tree_set_points_color(bsp_node* root, int red, int green, int blue);
void bsp_tree_restore_points_color(bsp_node* root);
