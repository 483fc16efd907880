// libFuzzer target: world text designs read from memory into a fresh world, then freed; include
// lines are confined to an empty scratch folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine_state_load.h"
#include "formats/text_world.h"
#include "world/engine_state.h"

namespace {
std::string scratch;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    text_world_report_errors() = 0;
    text_world_confine_includes() = 1;
    char folder[] = "/tmp/fuzz_text_world_XXXXXX";
    if (!mkdtemp(folder)) std::abort();
    scratch = folder;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    engine_init_world_state(1, 5, 6, 5, 0);
    text_world_read_memory(reinterpret_cast<const char*>(data), size, scratch.c_str());
    engine_close(1);
    return 0;
}
