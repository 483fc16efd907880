// libFuzzer target: .bmp_swap cache files, taken with the stamp and transparent index they hold.
#include <cstddef>
#include <cstdint>

#include "foundation/le_bytes.h"
#include "render/images/jbm.h"
#include "render/images/jbm_files.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    jbm_report_errors() = 0;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < jbm_swap_header_size) return 0;
    jbm_info info;
    jbm_info_init(&info);
    jbm_swap_from_memory(&info, data, size, le_i32(data + 12 + 32), le_i32(data + 4));
    jbm_info_free(&info);
    return 0;
}
