// libFuzzer target: a .jbm and its .clr from one input (a 16-bit length of the .jbm part first,
// then both files); an accepted pair must give a valid .bmp_swap image.
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
    if (size < 3) return 0;
    const size_t jbm_size = static_cast<size_t>(data[0] | data[1] << 8);
    const int transparent_index = static_cast<int8_t>(data[2]);
    data += 3;
    size -= 3;
    if (jbm_size > size) return 0;
    jbm_info info;
    jbm_info_init(&info);
    if (jbm_from_memory(&info, data, jbm_size, data + jbm_size, size - jbm_size, transparent_index) != 0) return 0;
    set_jbm_info_name(&info, "FUZZ");
    const std::vector<uint8_t> swap = jbm_swap_image(&info, 1);
    jbm_info again;
    jbm_info_init(&again);
    if (jbm_swap_from_memory(&again, swap.data(), swap.size(), info.transparent_index, 1) != 0) std::abort();
    jbm_info_free(&again);
    jbm_info_free(&info);
    return 0;
}
