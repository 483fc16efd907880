// libFuzzer target: the BSP cache reader. The world's header is taken from the input itself, so
// the planes are read too; every plane handed back must be sound.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "foundation/strings.h"
#include "fuzz_support.h"
#include "world/bsp_cache.h"
#include "world/bsp_tree.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    bsp_report_errors() = 0;
    strings_report_errors() = 0;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    bsp_cache_header world{};
    if (size >= bsp_cache_header_size) {
        double values[4];
        for (int i = 0; i < 4; ++i) {
            uint64_t bits = 0;
            for (int b = 7; b >= 0; --b) bits = bits << 8 | data[8 * i + b];
            std::memcpy(&values[i], &bits, sizeof bits);
        }
        world = {values[0], values[1], values[2], values[3]};
    }
    std::vector<plane> planes;
    const bool usable = bsp_cache_read(fuzz_input_file("world.bsp", data, size), world, planes);
    if (!usable && !planes.empty())
        std::abort();
    for (const plane& p : planes) {
        if (std::fabs(std::sqrt(p.a * p.a + p.b * p.b + p.c * p.c) - 1) > 1e-2)
            std::abort();
    }
    return 0;
}
