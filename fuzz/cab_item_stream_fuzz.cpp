// libFuzzer target: a component stream ("TPF0" and its properties) without the resource container,
// whose stored sizes stop most mutations early; an accepted stream must write back and read again.
#include <cstdlib>
#include <string_view>

#include "cab/cit_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CitComponent component;
    try {
        component = cit_read_component(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const CitError&) {
        return 0;
    }
    if (!(cit_read_component(cit_write_component(component)) == component))
        std::abort();
    return 0;
}
