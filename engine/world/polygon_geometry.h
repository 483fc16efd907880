// Geometry of one polygon: plane, inside tests, cords consistency, joins, splits, transforms, axes.
#pragma once
#include "foundation/geometry.h"
#include "world/polygon.h"

int& polygon_geometry_report_errors();

int polygon_calculate_plane(polygon* p);
int are_poly_points_on_plane(const polygon* p, double t);
int polygon_make_coplanner(polygon* p, double t);
int is_poly_convex(const polygon* p);
int is_point_inside_polygon(const vec3& q, const polygon* p);
int is_point_inside_polygon_concave(const vec3& q, const polygon* p);
int does_segment_intersect_polygon(const vec3& a, const vec3& b, const polygon* p, vec3& out);
int do_polygons_intersect(const polygon* p1, const polygon* p2, double t, vec3& out);
int get_plane_poly_relations(const plane& pl, const polygon* p, double t);

// Fill in values of exactly -1 from the plane of the first three usable points; 1 when consistent.
int check_bitmap_x_cords(polygon* p);
int check_bitmap_y_cords(polygon* p);
int check_brightness_values(polygon* p);
int polygon_cords_are_linear(const polygon* p);

int does_poly_has_redandent_points(const polygon* p, double t, int* out_count);
int remove_polys_redandent_points(polygon* p, double t);
int match_bitmap_cords(const polygon* reference, polygon* target);

polygon* join_polygons(const polygon* p1, const polygon* p2, double t);
int optimize_polygon_list(polygon** list, group* g, double t);

void polygon_transform(polygon* p, const vec3& centre, const mat4& m);
void polygon_rotate_x(polygon* p, double radians, const vec3& centre);
void polygon_rotate_y(polygon* p, double radians, const vec3& centre);
void polygon_rotate_z(polygon* p, double radians, const vec3& centre);
void polygon_move(polygon* p, const vec3& v);
void polygon_set_location(polygon* p, const vec3& from, const vec3& to);
void polygon_flip_visible_side(polygon* p);

// Axis systems are matrices whose rows 0-2 hold the x, y and z axes.
int polygon_get_axis_system(const polygon* p, vec3& x, vec3& y, vec3& z);
int polygon_get_mutual_axis_systems(const polygon* p, const polygon* reference, mat4& axes_p,
                                    mat4& axes_reference);
int polygon_get_direction_axis_systems(const polygon* p, const vec3& direction, mat4& axes_p,
                                       mat4& axes_direction);
int polygon_rotate_mat_to_match_referance_polygon(const polygon* p, const polygon* reference, mat4& m);

// Cuts the source by the plane into two new pieces of its split family; 0 / -1.
int split_polygon(polygon* source, const plane& pl, polygon** front, polygon** back);
