// Engine family: shadows cast between groups, polygons and dynamic objects, and the dynamic
// shadows made in the fast pool.
#include <vector>

#include "api/engine_family.h"
#include "api/record_access.h"
#include "foundation/memory.h"
#include "foundation/profiler.h"
#include "foundation/registry.h"
#include "world/bsp_shadows.h"
#include "world/group.h"
#include "world/polygon_patch.h"
#include "world/world_order.h"

namespace {

namespace texts {
inline constexpr const char* not_a_caster = "the caster is not a group, a polygon or an object\n";
inline constexpr const char* not_a_receiver = "the receiver is not a group, a polygon or an object\n";
inline constexpr const char* chunk_name = "Drovik_engine_create_shadow";
}  // namespace texts

// The kind of a live group, polygon or object; 0 for anything else.
int32_t shadow_kind(const void* handle) {
    int32_t kind = 0;
    if (!handle || !registry_lookup(handle, &kind)) return 0;
    return kind == kind_group || kind == kind_polygon || kind == kind_dynamic_object ? kind : 0;
}

std::vector<polygon*> group_polygons_of(const group* g) {
    std::vector<polygon*> all;
    for (polygon* p = group_get_first_polygon(g); p; p = group_get_next_polygon(g, p)) all.push_back(p);
    return all;
}

// How a polygon pair is widened to split families: 1 the receiver's, 2 the caster's, 3 both.
int pairing_of(int32_t caster, int32_t receiver) {
    if (caster == kind_polygon && receiver == kind_polygon) return 3;
    if (caster == kind_polygon) return receiver == kind_group ? 1 : 2;
    if (receiver == kind_polygon) return caster == kind_group ? 2 : 1;
    return 0;
}

void cast_polygons(const std::vector<polygon*>& casters, const std::vector<polygon*>& receivers, const vec3& light,
                   int kind, int pairing) {
    for (polygon* c : casters) {
        for (polygon* r : receivers) {
            if (pairing == 0) {
                polygon_add_shadow_patch(r, c, light, kind);
            } else {
                polygon_add_shadow_patch_family(r, c, light, kind, pairing);
            }
        }
    }
}

// The caster's polygons on the receiver's, by the kinds of the two.
void cast(void* caster, int32_t caster_kind, void* receiver, int32_t receiver_kind, const vec3& light, int kind) {
    const int pairing = pairing_of(caster_kind, receiver_kind);
    auto as_polygons = [](void* handle, int32_t k) {
        return k == kind_group ? group_polygons_of(static_cast<group*>(handle))
                               : std::vector<polygon*>{static_cast<polygon*>(handle)};
    };
    auto* caster_object = static_cast<dynamic_object*>(caster);
    auto* receiver_object = static_cast<dynamic_object*>(receiver);
    if (caster_kind == kind_dynamic_object && receiver_kind == kind_dynamic_object) {
        bsp_tree_cast_shadows_between(caster_object, receiver_object, light, kind);
    } else if (receiver_kind == kind_dynamic_object) {
        for (polygon* c : as_polygons(caster, caster_kind)) bsp_tree_cast_shadow_on(receiver_object, c, light, kind, pairing);
    } else if (caster_kind == kind_dynamic_object) {
        for (polygon* r : as_polygons(receiver, receiver_kind))
            bsp_tree_cast_shadow_from(caster_object, r, light, kind, pairing);
    } else {
        cast_polygons(as_polygons(caster, caster_kind), as_polygons(receiver, receiver_kind), light, kind, pairing);
    }
}

// Unlinks the patches made in the fast pool from the chain of their polygon.
void unlink_fast_patches(polygon* father) {
    polygon* kept = father;
    for (polygon* patch = father->next_patch; patch;) {
        polygon* next = patch->next_patch;
        if (patch->fast_pool) {
            kept->next_patch = next;
            if (next) next->previous_patch = kept;
        } else {
            kept = patch;
        }
        patch = next;
    }
}

}  // namespace

DROVIK_API int Drovik_engine_create_shadow(DROVIK_HANDLE caster, DROVIK_HANDLE receiver, const double light[3],
                                           int mode) {
    engine_guard guard;
    const api_export_row& row = engine_row_of(__func__);
    if (!api_world_guard(row.check_name)) return api_refusal{row};
    const int32_t caster_kind = shadow_kind(caster);
    const int32_t receiver_kind = shadow_kind(receiver);
    if (!caster_kind || !receiver_kind) {
        api_report(row.check_name, caster_kind ? texts::not_a_receiver : texts::not_a_caster);
        return api_refusal{row};
    }
    if (!light) return api_refusal{row};
    cast(caster, caster_kind, receiver, receiver_kind, api_vec(light), mode);
    return 0;
}

DROVIK_API long Drovik_engine_create_dynamic_shadow(DROVIK_HANDLE caster, DROVIK_HANDLE receiver,
                                                    const double light[3], int mode) {
    engine_guard guard;
    static int chunk = -1;
    chunk = start_measuring(chunk, texts::chunk_name);
    fast_alloc_mode_on();
    Drovik_engine_create_shadow(caster, receiver, light, mode);
    fast_alloc_mode_off();
    return end_measuring(chunk);
}

DROVIK_API void Drovik_engine_delete_dynamic_shadows() {
    engine_guard guard;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) unlink_fast_patches(p);
    free_all_big_blocks();
}
