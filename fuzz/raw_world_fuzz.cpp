// libFuzzer target: raw triangle texts parsed from memory into polygons that are then freed.
#include <cstddef>
#include <cstdint>

#include "formats/raw_world.h"
#include "world/polygon.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    raw_world_report_errors() = 0;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    polygon* list = nullptr;
    engine_parse_raw_text(reinterpret_cast<const char*>(data), size, "fuzz.raw", &list);
    polygon_list_free(&list);
    return 0;
}
