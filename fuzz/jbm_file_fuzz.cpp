// libFuzzer target: a .jbm and its .clr read from files (a 16-bit length of the .jbm part first,
// then the transparent index, then both files); an accepted pair is a named image of its size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "render/images/jbm.h"
#include "render/images/jbm_files.h"
#include "world/engine_state.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    jbm_report_errors() = 0;
    engine_state.read_only_bitmaps = 1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const size_t jbm_size = static_cast<size_t>(data[0] | data[1] << 8);
    const int transparent_index = static_cast<int8_t>(data[2]);
    data += 3;
    size -= 3;
    if (jbm_size > size)
        return 0;
    const std::string path = fuzz_input_file("image.jbm", data, jbm_size);
    fuzz_input_file("image.clr", data + jbm_size, size - jbm_size);
    jbm_info info;
    jbm_info_init(&info);
    if (read_jbm256(&info, path.c_str(), transparent_index, jbm_source_jbm, 1) == 0 && !jbm_pixels(&info))
        std::abort();
    jbm_info_free(&info);
    return 0;
}
