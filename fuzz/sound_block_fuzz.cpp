// libFuzzer target: SOUND blocks of world text files, read without a sound library (the words
// are checked and the block's length given, nothing is loaded).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "api/sound_manager.h"
#include "platform/msgbox.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    plat_message_box_set_headless(true);
    sound_manager_use_library("/nonexistent/libfmod_for_fuzzing.so");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    int used = -1;
    if (read_world_sound(text.c_str(), "", &used) == 0 && (used < 0 || static_cast<size_t>(used) > text.size()))
        std::abort();
    return 0;
}
