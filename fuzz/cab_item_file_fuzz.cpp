// libFuzzer target: the cab item file reader on arbitrary bytes; whatever it accepts must write
// back and read again as the same file.
#include <cstdlib>
#include <string_view>

#include "cab/cit_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CitFile file;
    try {
        file = cit_decode(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const CitError&) {
        return 0;
    }
    const std::string written = cit_encode(file);
    if (!(cit_decode(written) == file))
        std::abort();
    return 0;
}
