// MD2 models read as worlds: the model's frame-0 polygons in a fresh "MAIN" module.
#include "formats/md2_world.h"

#include "formats/world_formats.h"
#include "world/anim3d_load.h"

namespace {

int read_model(const char* path, module* m, group**) {
    return anim3d_load_md2_file(path, &m->root->polygons) ? 0 : -1;
}

}  // namespace

int engine_read_world_design_md2_format(const char*, const char*, const char* path, group** top_group) {
    return read_into_new_module(path, read_model, false, top_group);
}
