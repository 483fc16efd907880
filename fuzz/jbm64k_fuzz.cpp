// libFuzzer target: a .64k image from memory; an accepted one holds all its pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "render/images/jbm.h"
#include "render/images/jbm_files.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    jbm_report_errors() = 0;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    jbm_info info;
    jbm_info_init(&info);
    if (jbm64k_from_memory(&info, "FUZZ", data, size) != 0) return 0;
    if (static_cast<size_t>(info.image_size) < 8 + 2 * size_t{info.width} * info.height) std::abort();
    jbm_info_free(&info);
    return 0;
}
