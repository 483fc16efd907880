// libFuzzer target: the binary world parser on arbitrary bytes; whatever it accepts must
// serialize, and the serialized file must parse back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "formats/binary_format.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    bfl_report_errors() = 0;  // a report per rejected input would fill the log files
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bf_world world;
    if (bfl_parse_world(data, size, world) != 0) return 0;
    std::vector<uint8_t> once;
    if (bfl_serialize_world(world, once) != 0) std::abort();
    bf_world again;
    if (bfl_parse_world(once.data(), once.size(), again) != 0) std::abort();
    std::vector<uint8_t> twice;
    if (bfl_serialize_world(again, twice) != 0 || twice != once) std::abort();
    return 0;
}
