// Cameras: creation, aiming, the camera and inverse matrices, the camera list.
#pragma once
#include "foundation/geometry.h"
#include "world/records.h"

int& camera_report_errors();

// A new camera aimed along direction and placed at location; not added to any list. NULL when
// width or height is negative, the field of view is not inside (0, 180) or distance <= 0.
camera* camera_init(const char* name, int width, int height, double field_of_view, int culling_depth_flag,
                    double culling_depth, const vec3& location, const vec3& direction, double distance);
// Appends "default_camera" to the list (nothing while a world is being added).
camera* camera_create_default_camera(camera** list);
// Recomputes the inverse matrix from the camera matrix; 0 / -1.
int camera_rebuild(camera* c);
// Aims the camera's negative x axis along direction, z axis as near to world up as it can; 0 / -1.
int camera_set_direction(camera* c, const vec3& direction);
void camera_set_location(camera* c, const vec3& location);
void camera_to_world(const camera* c, const vec3& in, vec3& out);
camera* camera_find(camera* list, const char* name);
void camera_destroy(camera* c);
void camera_list_free(camera** list);
