// The traversal's small world and camera with the 3D card started on a 160 x 120 memory window.
#pragma once
#include <gtest/gtest.h>

#include "../software/traversal_fixture.h"
#include "platform/window.h"
#include "render/card3d/card3d.h"
#include "render/card3d/card3d_device.h"
#include "render/card3d/card3d_framework.h"

class CardTest : public TraversalTest {
protected:
    // The device the card starts on; the recording fake unless a suite says otherwise.
    virtual const card3d_device& device() { return fake_card_table(); }
    static const card3d_device& fake_card_table();

    void SetUp() override {
        TraversalTest::SetUp();
        card3d_device_use(&device());
        card3d_settings().hide_dialog = 1;
        window_ = plat_window_create_memory(width, height);
        ASSERT_NE(window_, nullptr);
    }

    void TearDown() override {
        card3d_close();
        card3d_device_use(nullptr);
        card3d_settings().hide_dialog = 0;
        plat_window_destroy(window_);
        TraversalTest::TearDown();
    }

    void start() { ASSERT_EQ(card3d_init(window_), 0); }

    // A bitmap of w x h pixels all of index `fill` over a palette of red, green and blue.
    bitmap_texture* bitmap(const char* name, int w, int h, uint8_t fill, int transparent_index = -1) {
        const std::vector<uint8_t> pixels(static_cast<size_t>(w) * h, fill);
        const rgb8 palette[3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
        return bitmap_texture_create_from_pixels(&engine_state.bitmaps, name, w, h, pixels.data(), palette, 3,
                                                 transparent_index);
    }

    plat_window* window_ = nullptr;
};
