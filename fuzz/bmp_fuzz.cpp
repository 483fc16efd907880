// libFuzzer target: BMP file images; whatever is accepted must convert to a .jbm and .clr pair
// that reads back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "render/images/jbm.h"
#include "render/images/jbm_files.h"
#include "render/images/winbmp.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    jbm_report_errors() = 0;
    winbmp_report_errors() = 0;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    jbm_file_pair pair;
    if (bmp_to_jbm(data, size, "fuzz.bmp", nullptr, &pair) != 0) return 0;
    jbm_info info;
    jbm_info_init(&info);
    if (jbm_from_memory(&info, pair.jbm.data(), pair.jbm.size(), pair.clr.data(), pair.clr.size(), -1) != 0)
        std::abort();
    jbm_info_free(&info);
    return 0;
}
