// Shadows cast between the BSP trees of dynamic objects and single polygons: each walker marks the
// polygons of a tree as their object's and lays shadow patches for every pair.
#pragma once
#include "foundation/geometry.h"
#include "world/records.h"

// Pairing of polygon_add_shadow_patch_family: 0 the two polygons alone, 1 the receiver's split
// family, 2 the caster's, 3 both.
// The caster polygon on every polygon of the receiver's tree; the number of patches laid.
int bsp_tree_cast_shadow_on(dynamic_object* receiver, polygon* caster, const vec3& light, int kind, int pairing);
// Every polygon of the caster's tree on the receiver polygon.
int bsp_tree_cast_shadow_from(dynamic_object* caster, polygon* receiver, const vec3& light, int kind, int pairing);
// Every polygon of one tree on every polygon of the other.
int bsp_tree_cast_shadows_between(dynamic_object* caster, dynamic_object* receiver, const vec3& light, int kind);
