// A fresh engine state with logs in a temporary folder, for the renderer's record and settings tests.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "../foundation/work_dir.h"
#include "engine_state_load.h"
#include "files.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/registry.h"
#include "platform/msgbox.h"
#include "render/images/bitmap_texture.h"
#include "startup.h"
#include "world/bsp_node.h"
#include "world/camera.h"
#include "world/colour.h"
#include "world/engine_state.h"
#include "world/object_module.h"

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine_set_speaker_mode(0);
        // First-use start-up keeps its tables for the life of the process, and a close leaves its
        // caption behind: the baseline holds both.
        engine_first_init();
        set_log_window_caption(load_texts::caption_closing);
        bytes_before_ = engine_get_bytes_in_use();
        records_before_ = registry_size();
        engine_state_reset(0);
    }

    void TearDown() override {
        while (bitmap_texture* b = engine_state.bitmaps) {
            engine_state.bitmaps = b->next;
            bitmap_texture_free(b);
        }
        camera_delete_all(&engine_state.cameras);
        module_list_free(&engine_state.modules);
        engine_state.main_module = nullptr;
        engine_state_release();
        set_pixel_format_bits(5, 6, 5);
        close_log_files();
        EXPECT_EQ(registry_size(), records_before_) << "records left alive";
        EXPECT_EQ(engine_get_bytes_in_use(), bytes_before_) << "engine memory leaked";
    }

    // A MAIN module with an empty root node: a loaded world as far as the settings care.
    module* add_main_module() {
        module* m = init_module();
        m->root = init_bsp_node();
        module_list_push(&engine_state.modules, m);
        engine_state.main_module = m;
        return m;
    }

    static std::string error_log() { return read_file(log_directory() + "/error.log"); }

private:
    temp_work_dir work_{"render"};
    uint32_t bytes_before_ = 0;
    size_t records_before_ = 0;
};
