// Patches laid on a polygon: easy square patches, shadow patches and the chain that holds them.
#pragma once
#include "foundation/geometry.h"
#include "world/polygon.h"

int& polygon_patch_report_errors();

// A square of side 2 x size centred on `centre` (the polygon's centre when NULL), turned toward
// `direction` ((1, 0, 0) when NULL); textured with `bitmap` or filled with the colour.
polygon* polygon_add_patch_easy(polygon* p, const vec3* centre, double size, const vec3* direction,
                                bitmap_texture* bitmap, int red, int green, int blue);
// Hangs the patch on the father's chain; -1 when either is NULL or the father is itself a patch.
int polygon_insert_patch(polygon* father, polygon* patch);
// Type 1 every patch, 4 the kinds from 4 up, any other type that kind only.
void Polygon_delete_patches(polygon* p, int type);
void polygon_update_patches_blending(polygon* father);

polygon* polygon_add_shadow_patch_not_dynamic(const polygon* receiver, const polygon* caster,
                                              const vec3& light, int kind);
polygon* polygon_add_shadow_patch(polygon* receiver, polygon* caster, const vec3& light, int kind);
// Type 3 family on family, 1 receiver's family with the caster, 2 receiver with caster's family.
polygon* polygon_add_shadow_patch_family(polygon* receiver, polygon* caster, const vec3& light, int kind,
                                         int type);
