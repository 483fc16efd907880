// Dynamic objects: movable sub-worlds with father/son trees, axes, location, speed and physics.
#pragma once
#include <functional>

#include "foundation/geometry.h"
#include "world/records.h"

int& dynamic_report_errors();

// Spaces of moves and turns.
inline constexpr int space_world = 0;
inline constexpr int space_object = 1;
inline constexpr int space_camera = 2;

dynamic_object* init_dynamic_object();
dynamic_object* dynamic_create(const char* name);
dynamic_object* dynamic_create_from_group(const group* g);

void dynamic_list_push(dynamic_object** list, dynamic_object* d);
int dynamic_list_remove(dynamic_object** list, dynamic_object* d);
dynamic_object* dynamic_get_by_index(dynamic_object* list, int n);
dynamic_object* dynamic_find_by_name(dynamic_object* list, const char* name);
dynamic_object* dynamic_find_by_module_name(dynamic_object* list, const char* name);
void dynamic_free_all(dynamic_object** list);
// Every object of the list and, recursively, of their son lists.
void dynamic_for_each(dynamic_object* list, const std::function<void(dynamic_object*)>& f);
void dynamic_node_list_push(dynamic_object** list, dynamic_object* d);
int dynamic_node_list_remove(dynamic_object** list, dynamic_object* d);
void dynamic_node_list_free(dynamic_object** list);
// Frees the object and its son list; everything that pointed at them is unhooked first.
void dynamic_free(dynamic_object* d);
// Takes the object off the world's list and frees it (sons included) with its module, unless its
// delete-only flag keeps the module; chasers, cameras and lights lose it.
void dynamic_delete(dynamic_object* d);

void dynamic_set_location(dynamic_object* d, const vec3& location);
vec3 dynamic_get_location(const dynamic_object* d);
void dynamic_move(dynamic_object* d, const vec3& v, int space);
void dynamic_rotate_x(dynamic_object* d, double radians, int space);
void dynamic_rotate_y(dynamic_object* d, double radians, int space);
void dynamic_rotate_z(dynamic_object* d, double radians, int space);
void dynamic_set_axis_system(dynamic_object* d, const vec3& x, const vec3& y, const vec3& z);
void dynamic_get_axis_system(const dynamic_object* d, vec3& x, vec3& y, vec3& z);
vec3 dynamic_get_x_axis(const dynamic_object* d);
vec3 dynamic_get_y_axis(const dynamic_object* d);
vec3 dynamic_get_z_axis(const dynamic_object* d);
void dynamic_set_direction(dynamic_object* d, const vec3& direction);
vec3 dynamic_get_direction(const dynamic_object* d);
double dynamic_get_cos_head(const dynamic_object* d);
double dynamic_get_cos_pitch(const dynamic_object* d);
double dynamic_get_cos_bank(const dynamic_object* d);
double dynamic_get_bank(const dynamic_object* d);
void dynamic_set_bank(dynamic_object* d, double degrees);
double dynamic_get_head(const dynamic_object* d);
// Splits the total matrix into the axis system and the per-axis scale.
void dynamic_set_total_move_mat_and_(dynamic_object* d);

void dynamic_set_speed(dynamic_object* d, const vec3& v);
void dynamic_set_absolute_speed(dynamic_object* d, double v);
void dynamic_set_force(dynamic_object* d, const vec3& v);
void dynamic_set_absolute_force(dynamic_object* d, double v);
void dynamic_physics_step(dynamic_object* d, double time_factor, int timed);

int dynamic_get_next_track_point(const dynamic_object* d);
void dynamic_update_track_target(dynamic_object* d);
void dynamic_disable(dynamic_object* d);

animation* dynamic_get_animation(const dynamic_object* d);
int dynamic_replace_animation(dynamic_object* d, animation* old_animation, animation* new_animation);
int dynamic_replace_animation_using_names(dynamic_object* d, const char* old_name, const char* new_name);

int dynamic_set_father(dynamic_object* d, dynamic_object* father);
int dynamic_is_included(const dynamic_object* a, const dynamic_object* b);
dynamic_object* dynamic_get_first_son(const dynamic_object* d);
dynamic_object* dynamic_get_next_son(const dynamic_object* d, const dynamic_object* son);
dynamic_object* dynamic_get_first_direct_son(const dynamic_object* d);
dynamic_object* dynamic_get_next_direct_son(const dynamic_object* d, const dynamic_object* son);
int dynamic_get_center_of_tree(const dynamic_object* d, vec3& out);
void dynamic_connect_fathers(dynamic_object* list);
void dynamic_set_polygons_owner(dynamic_object* d, bsp_node* node);

void collect_dynamic_objects(module* m, dynamic_object** list);
// Puts every object that is not disabled into the node of the world tree that holds its
// location (sons into their father's module tree) and grows the node boxes by its box.
void engine_place_dynamic_objects(module* world, dynamic_object* list);
void propagate_dynamic_box_up(dynamic_object* d);
// Flags the modules of the objects and their sons, and every module nested in them.
void mark_dynamic_modules(dynamic_object* objects);
