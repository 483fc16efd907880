// libFuzzer target: the whole load of a world file through the interface, as each world format
// in turn, in viewer mode (digestion, trees and their cache file, boxes) and in editor mode.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "drovik.h"
#include "engine_state_load.h"
#include "formats/directx_world.h"
#include "formats/raw_world.h"
#include "formats/text_world.h"
#include "fuzz_support.h"
#include "world/anim3d.h"
#include "world/bsp_tree.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
    setenv("DROVIK_HEADLESS_BOXES", "1", 0);
    fuzz_quiet_boxes();
    text_world_report_errors() = 0;
    text_world_confine_includes() = 1;
    directx_world_report_errors() = 0;
    raw_world_report_errors() = 0;
    anim3d_report_errors() = 0;
    bsp_report_errors() = 0;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string folder = fuzz_folder().string();
    for (const char* extension : {"wld", "x", "raw", "md2", "drovik"}) {
        const std::string name = std::string("world.") + extension;
        fuzz_input_file(name, data, size);
        for (unsigned flags : {0u, 4u}) {
            // No tree cache of an earlier input.
            std::error_code error;
            std::filesystem::remove(fuzz_folder() / "world.bsp", error);
            Drovik_engine_load_world(name.c_str(), folder.c_str(), "", flags);
        }
        std::filesystem::remove(fuzz_folder() / name);
    }
    engine_close(1);
    return 0;
}
