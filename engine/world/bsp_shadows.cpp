// Shadows cast between the BSP trees of dynamic objects and single polygons.
#include "world/bsp_shadows.h"

#include <vector>

#include "world/bsp_tree.h"
#include "world/polygon_patch.h"

namespace {

// The polygons of the object's own tree, marked as the object's (none without a tree).
std::vector<polygon*> tree_polygons(dynamic_object* d) {
    std::vector<polygon*> all;
    if (!d || !d->own_module || !d->own_module->root) return all;
    bsp_tree_get_all_polygons(d->own_module->root, all);
    for (polygon* p : all) p->owner = d;
    return all;
}

int lay(polygon* receiver, polygon* caster, const vec3& light, int kind, int pairing) {
    const polygon* made = pairing == 0 ? polygon_add_shadow_patch(receiver, caster, light, kind)
                                       : polygon_add_shadow_patch_family(receiver, caster, light, kind, pairing);
    return made ? 1 : 0;
}

}  // namespace

int bsp_tree_cast_shadow_on(dynamic_object* receiver, polygon* caster, const vec3& light, int kind, int pairing) {
    int laid = 0;
    for (polygon* r : tree_polygons(receiver)) laid += lay(r, caster, light, kind, pairing);
    return laid;
}

int bsp_tree_cast_shadow_from(dynamic_object* caster, polygon* receiver, const vec3& light, int kind, int pairing) {
    int laid = 0;
    for (polygon* c : tree_polygons(caster)) laid += lay(receiver, c, light, kind, pairing);
    return laid;
}

int bsp_tree_cast_shadows_between(dynamic_object* caster, dynamic_object* receiver, const vec3& light, int kind) {
    const std::vector<polygon*> receivers = tree_polygons(receiver);
    int laid = 0;
    for (polygon* c : tree_polygons(caster)) {
        for (polygon* r : receivers) laid += lay(r, c, light, kind, 0);
    }
    return laid;
}
