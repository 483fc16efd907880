// Groups: named sets of polygons forming a tree; membership is found by walking the world order.
#pragma once
#include <string>

#include "foundation/geometry.h"
#include "world/records.h"

int& group_report_errors();

group* group_create(group** list, const char* name);
group* group_create_using_object(group** list, const object* obj);
void group_set_object_parameters(group* g, const dynamic_object* d);
group* group_extract(group** list, group* g);
// NULL deletes every group of the list.
int group_delete(group** list, group* g);
// A new unique name for both the name and the given name; the old name leaves the dictionary. 0 / -1.
int group_rename(group* g, const char* name);
group* group_find_by_name(group* list, const char* name);
// 1 when b is NULL (the whole world), a itself or one of a's fathers.
int group_is_included(const group* a, const group* b);
int group_get_number_of_polygons(const group* g);
int group_get_number_of_points(const group* g);
int group_count_included(const group* list, const group* g);
int group_set_father_group(group* g, group* father);
// Makes the name unique through the name dictionary and registers it; 0 / -1.
int group_add_name_to_dictionary(std::string& name);
group* group_duplicate(const group* g);
group* group_duplicate_tree(group* g, group* father);
group* group_duplicate_tree_triangled(group* g, group* father);
void group_get_center(const group* g, vec3& out);
void group_get_bounding_box(const group* g, double box[6]);
void engine_compute_groups_bounding_boxes();
int group_is_bitmap_used(const group* g, const bitmap_texture* texture);
int group_count_intersections(const group* g1, const group* g2);
int group_calculate_axis_system(group* g);
polygon* group_get_polygon_by_orientation(const group* g, int orientation);
int group_is_rotation_enabled(const group* g);
void group_set_absolute_speed(group* g, double v);
void group_set_speed(group* g, const vec3& v);
polygon* group_get_first_polygon(const group* g);
polygon* group_get_next_polygon(const group* g, const polygon* p);
void group_delete_patches(const group* g, int type);
void group_add_shadow_of_polygon(const group* g, polygon* caster, const vec3& light, int kind);
void group_add_shadow_of_group(const group* receivers, const group* casters, const vec3& light, int kind);
void group_set_patches_color(const group* g, int r, int gr, int b, int type);
void group_set_patches_bitmap(const group* g, bitmap_texture* bitmap, int type);
void group_set_patches_translucent(const group* g, int kind, int type);
void group_calculate_vertices_normals(const group* g, int reset);
void polygon_list_calculate_vertices_normals(polygon* list);
void group_get_signature(const group* g, double out[4]);
