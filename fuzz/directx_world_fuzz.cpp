// libFuzzer target: DirectX .x texts parsed from memory and, when accepted, made into polygons
// that are then freed.
#include <cstddef>
#include <cstdint>

#include "formats/directx_world.h"
#include "world/polygon.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    directx_world_report_errors() = 0;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    x_mesh mesh;
    if (engine_parse_x_text(reinterpret_cast<const char*>(data), size, "fuzz.x", mesh) == 0) {
        polygon* list = nullptr;
        engine_convert_x_world_to_polygons(mesh, &list);
        polygon_list_free(&list);
    }
    return 0;
}
