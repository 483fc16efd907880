// Dynamic objects and cameras against the world: falling onto what lies beneath, testing a move.
#pragma once
#include "world/collision.h"

// Puts the object on the surface beneath it (above it when nothing is beneath), raised by its
// fall height; with stacked, on top of a stack of dynamic objects. 0 / -1.
int dynamic_fall_down(dynamic_object* d, int stacked);
// The collision test from the object's location to where the move would take it (through its
// axes in object space, else location + vector).
int dynamic_is_movement_possible(dynamic_object* d, const vec3& v, int space, collision_hit& hit);

// Puts the camera on the surface beneath it, raised by its fall height; with pass_through,
// dynamic objects beneath are passed through. 0, or -1 when nothing lies beneath.
int camera_fall_down(camera* c, int pass_through);
// The collision test from the camera's location to where the move would take it.
int camera_is_movement_possible(const camera* c, const vec3& v, int space, collision_hit& hit);
