// libFuzzer target: JPEG file images to 8-bit bitmaps; images over one megapixel are skipped.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "foundation/memory.h"
#include "platform/msgbox.h"
#include "render/images/jpeg_convert.h"
#include "render/images/winbmp.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    plat_message_box_set_headless(true);
    winbmp_report_errors() = 0;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint8_t* image = jpeg_to_winbmp(data, size, 1 << 20);
    if (!image) return 0;
    if (winbmp_get_bits_per_pixel(image) != 8) std::abort();
    engine_free(image);
    return 0;
}
