// A dynamic object made from the polygons of a world file.
#include "dynamic_from_file.h"

#include <string>

#include "engine_state_load.h"
#include "foundation/errors.h"
#include "foundation/strings.h"
#include "world/bsp_tree.h"
#include "world/dynamic_object.h"
#include "world/dynamic_sequence3d.h"
#include "world/engine_state.h"
#include "world/polygon.h"
#include "world/world_order.h"

dynamic_object* dynamic_create_from_file(const char* path) {
    polygon* polygons = nullptr;
    anim3d* animation = nullptr;
    if (!path || engine_load_file_polygons(path, &polygons, &animation) != 0) {
        if (dynamic_report_errors()) report_error(1, "dynamic_create_from_file: failed\n");
        return nullptr;
    }
    dynamic_object* d = dynamic_create(get_file_name(path).c_str());
    if (!d) {
        polygon_list_free(&polygons);
        if (dynamic_report_errors()) report_error(1, "dynamic_create_from_file: failed\n");
        return nullptr;
    }
    for (polygon* p = polygons; p; p = p->next) p->owner = d;
    d->own_module->root->polygons = polygons;
    build_module_bsp_tree(d->own_module, false);
    thread_polygons_in_world_order();
    if (animation) {
        d->animation3d = animation;
        dynamic_set_3D_sequence_at_once(d, animation->sequences);
    }
    return d;
}
