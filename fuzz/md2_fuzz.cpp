// libFuzzer target: MD2 models read from a scratch file into a fresh world, every sequence set
// half way into its first step and the polygons moved there, then all freed.
#include <cstddef>
#include <cstdint>

#include "engine_state_load.h"
#include "fuzz_support.h"
#include "world/anim3d.h"
#include "world/anim3d_load.h"
#include "world/engine_state.h"
#include "world/polygon.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    anim3d_report_errors() = 0;
    fuzz_quiet_boxes();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz_input_file("model.md2", data, size);
    engine_init_world_state(1, 5, 6, 5, 0);
    polygon* list = nullptr;
    if (anim3d* a = anim3d_load_md2_file(path.c_str(), &list)) {
        for (seq3d* s = a->sequences; s; s = s->next) {
            sequence3d_set_current_position(s, 0.5);
            anim3d_update_polygon_list_to_frame(a, s, list);
        }
    }
    polygon_list_free(&list);
    engine_close(1);
    return 0;
}
