// libFuzzer target: a BMP file read into a surface through the interface; an accepted file gives
// a surface of a real size whose last pixel can be read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "drovik.h"
#include "fuzz_support.h"
#include "platform/surface.h"
#include "render/images/winbmp.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    winbmp_report_errors() = 0;
    fuzz_quiet_boxes();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = fuzz_input_file("picture.bmp", data, size);
    DROVIK_SURFACE surface = Drovik_utilities_load_bitmap_from_file(path.c_str());
    if (!surface)
        return 0;
    if (surface->width <= 0 || surface->height <= 0 || surface->pitch_pixels < surface->width)
        std::abort();
    volatile uint16_t last = surface->bits[(surface->height - 1) * surface->pitch_pixels + surface->width - 1];
    (void)last;
    plat_surface_destroy(surface);
    return 0;
}
