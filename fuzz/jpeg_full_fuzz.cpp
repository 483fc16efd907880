// libFuzzer target: JPEG file images to 8-bit bitmaps up to the engine's own size cap, as every
// loader decodes them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "foundation/memory.h"
#include "fuzz_support.h"
#include "render/images/jpeg_convert.h"
#include "render/images/winbmp.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_quiet_boxes();
    winbmp_report_errors() = 0;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint8_t* image = jpeg_to_winbmp(data, size, 0);
    if (!image) return 0;
    if (winbmp_get_bits_per_pixel(image) != 8 ||
        static_cast<int64_t>(winbmp_get_width(image)) * winbmp_get_height(image) > jpeg_max_pixels)
        std::abort();
    engine_free(image);
    return 0;
}
