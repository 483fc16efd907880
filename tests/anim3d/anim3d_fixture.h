// A started engine with a fake clock for the 3D animation tests, and the generated MD2 models
// copied into the case's own folder.
#pragma once
#include <filesystem>
#include <string>

#include "../engine_state/state_fixture.h"
#include "platform/clock.h"
#include "world/anim3d.h"
#include "world/anim3d_load.h"

namespace anim3d_test {

using state_test::clock_now;

class Anim3dTest : public state_test::ClockedStateTest {
protected:
    // Copies a generated model (a path under the fixtures folder) into the case's folder.
    std::string model(const std::string& name) {
        const std::filesystem::path target = folder / std::filesystem::path(name).filename();
        std::filesystem::copy_file(std::filesystem::path(DROVIK_MD2_FIXTURES) / name, target,
                                   std::filesystem::copy_options::overwrite_existing);
        return target.string();
    }

    // An empty world, then the model read into `list`.
    anim3d* load_model(const std::string& name, polygon** list) {
        EXPECT_EQ(load(nullptr), 0);
        return anim3d_load_md2_file(model(name).c_str(), list);
    }

    static int count_animations() {
        int n = 0;
        for (anim3d* a = engine_state.animations3d; a; a = a->next) ++n;
        return n;
    }
};

}  // namespace anim3d_test
