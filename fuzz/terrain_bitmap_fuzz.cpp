// libFuzzer target: the terrain height-map bitmap reader; an accepted bitmap must hold every pixel
// its size promises.
#include <cstdlib>

#include "fuzz_support.h"
#include "world/terrain_bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    height_bitmap bitmap;
    if (height_bitmap_read(fuzz_input_file("terrain.bmp", data, size).c_str(), bitmap) != height_bitmap_status::ok)
        return 0;
    if (bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.rgb.size() != static_cast<size_t>(bitmap.width) * static_cast<size_t>(bitmap.height) * 3)
        std::abort();
    return 0;
}
