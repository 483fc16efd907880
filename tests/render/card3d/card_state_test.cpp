// The back-end's states, corners, fog, texture sizes and capability report, on the recording device.
#include <bit>
#include <filesystem>
#include <fstream>

#include "card_fixture.h"
#include "drovik.h"
#include "foundation/errors.h"
#include "fake_card.h"
#include "platform/card_dialog.h"
#include "platform/display.h"
#include "render/images/bitmap_texture.h"
#include "render/software/background.h"
#include "render/software/rendering_manager.h"
#include "world/world_order.h"

const card3d_device& CardTest::fake_card_table() { return fake_card::table(); }

namespace {

class CardFake : public CardTest {
protected:
    void SetUp() override {
        fake_card::get().reset();
        CardTest::SetUp();
    }

    fake_card& card() { return fake_card::get(); }

    // A wall held by the world's root node (freed with it).
    polygon* quad() {
        polygon* p = wall(-5, -1, 1, -1, 1, 200, 100, 50);
        put(main_->root, p);
        return p;
    }

    // A square of four corners at depth 4 with the given colour.
    static std::vector<card3d_corner> square(uint32_t colour = 0x808080) {
        return {{-10, 10, -4, 4, colour, 0, 0}, {10, 10, -4, 4, colour, 1, 0}, {10, -10, -4, 4, colour, 1, 1},
                {-10, -10, -4, 4, colour, 0, 1}};
    }

    void draw(polygon* p) {
        const auto corners = square();
        card3d_draw_polygon(p, corners.data(), 4);
    }
};

TEST_F(CardFake, IdenticalPolygonsSetEachCachedStateOnce) {
    start();
    polygon* p = quad();
    p->blending = 0x22;
    p->blending_on = 1;
    const size_t from = card().states.size();
    for (int i = 0; i < 3; ++i) draw(p);
    EXPECT_EQ(card().values(PLAT_CARD_SRC_BLEND, from), std::vector<uint32_t>{2});
    EXPECT_EQ(card().values(PLAT_CARD_DEST_BLEND, from), std::vector<uint32_t>{2});
    EXPECT_EQ(card().count(PLAT_CARD_Z_FUNC, from), 1);
    EXPECT_EQ(card().values(PLAT_CARD_ALPHA_BLEND_ENABLE, from), std::vector<uint32_t>{1});
    EXPECT_EQ(card().count(PLAT_CARD_ALPHA_TEST_ENABLE, from), 0);
    EXPECT_EQ(card().fans.size(), 3u);
}

TEST_F(CardFake, BlendingBytesGiveTheirFactorsAndZeroTurnsBlendingOff) {
    start();
    polygon* p = quad();
    p->blending_on = 1;
    const struct {
        uint8_t byte;
        uint32_t source, destination, blend;
    } cases[] = {{0x93, 9, 3, 1}, {0xA2, 10, 2, 1}, {0x34, 3, 4, 1}, {0x00, 2, 1, 0}};
    for (const auto& c : cases) {
        const size_t from = card().states.size();
        p->blending = c.byte;
        draw(p);
        EXPECT_EQ(card().values(PLAT_CARD_SRC_BLEND, from), std::vector<uint32_t>{c.source}) << int(c.byte);
        EXPECT_EQ(card().values(PLAT_CARD_DEST_BLEND, from), std::vector<uint32_t>{c.destination}) << int(c.byte);
        const auto blend = card().values(PLAT_CARD_ALPHA_BLEND_ENABLE, from);
        if (c.byte == 0x93) {
            EXPECT_EQ(blend, std::vector<uint32_t>{1});
        }
        if (c.byte == 0x00) {
            EXPECT_EQ(blend, std::vector<uint32_t>{0});
        }
    }
}

TEST_F(CardFake, TransparentAndOpaqueBitmapsAlternateTheAlphaTest) {
    bitmap_texture* glass = bitmap("glass", 8, 8, 1, 0);
    bitmap_texture* stone = bitmap("stone", 8, 8, 1);
    start();
    ASSERT_NE(glass->card_texture, nullptr);
    ASSERT_NE(stone->card_texture, nullptr);
    polygon* p = quad();
    const size_t from = card().states.size();
    for (bitmap_texture* b : {glass, stone, glass, glass}) {
        p->texture = b;
        draw(p);
    }
    EXPECT_EQ(card().values(PLAT_CARD_ALPHA_TEST_ENABLE, from), (std::vector<uint32_t>{1, 0, 1}));
    EXPECT_EQ(card().values(PLAT_CARD_COLOUR_OP, from).front(), plat_card_value::op_modulate);
    p->texture = nullptr;
}

TEST_F(CardFake, CornersBecomeScreenVerticesWithFogInTheSpecularAlpha) {
    start();
    polygon* p = quad();
    p->fade_distance = 100;
    // 160 x 120 target: the centre is (81, 61).
    const card3d_corner corners[3] = {{-10.5, 5.25, -4, 4, 0x102030, 0.25, 0.75},
                                      {20, -30, -50, 100, 0xFFFFFF, 1, 0},
                                      {0, 0, -200, 250, 0, 0, 1}};
    card3d_draw_polygon(p, corners, 3);
    ASSERT_EQ(card().fans.size(), 1u);
    const auto& v = card().fans.back();
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[0].x, 70.0f);
    EXPECT_EQ(v[0].y, 55.0f);
    EXPECT_EQ(v[0].rhw, 0.25f);
    EXPECT_EQ(v[0].z, 0.75f);
    EXPECT_EQ(v[0].diffuse, 0x102030u);
    EXPECT_EQ(v[0].specular, 0xF5000000u);  // trunc(96 x 255.999 / 100) = 245
    EXPECT_EQ(v[0].tu, 0.25f);
    EXPECT_EQ(v[0].tv, 0.75f);
    EXPECT_EQ(v[1].x, 101.0f);
    EXPECT_EQ(v[1].y, 91.0f);
    EXPECT_EQ(v[1].specular, 0u);  // at the fade distance
    EXPECT_EQ(v[2].specular, 0u);  // beyond it
    EXPECT_EQ(v[2].rhw, 0.005f);
}

TEST_F(CardFake, WithoutVertexFogEveryCornerIsClear) {
    card().caps.vertex_fog = false;
    start();
    polygon* p = quad();
    p->fade_distance = 10;
    const card3d_corner corners[3] = {{0, 0, -40, 40, 0, 0, 0}, {5, 0, -40, 40, 0, 0, 0}, {0, 5, -40, 40, 0, 0, 0}};
    card3d_draw_polygon(p, corners, 3);
    EXPECT_EQ(card().fans.back()[0].specular, 0xFF000000u);
}

TEST_F(CardFake, TableFogRunsFromOneTwentiethOfTheRangeToItAndAHugeRangeHasNone) {
    card().caps.vertex_fog = false;
    engine_state.fog_range = 1000;
    start();
    ASSERT_EQ(card().count(PLAT_CARD_FOG_TABLE_END), 1);
    EXPECT_EQ(card().values(PLAT_CARD_FOG_TABLE_MODE).back(), plat_card_value::fog_linear);
    EXPECT_EQ(std::bit_cast<float>(card().values(PLAT_CARD_FOG_TABLE_START).back()), 50.0f);
    EXPECT_EQ(std::bit_cast<float>(card().values(PLAT_CARD_FOG_TABLE_END).back()), 1000.0f);

    engine_state.fog_range = 1e100;
    const size_t from = card().states.size();
    card3d_set_fog();
    EXPECT_EQ(card().values(PLAT_CARD_FOG_TABLE_MODE, from), std::vector<uint32_t>{plat_card_value::fog_none});
    EXPECT_EQ(card().count(PLAT_CARD_FOG_TABLE_END, from), 0);
}

TEST_F(CardFake, BitmapsAreFittedToTheCardsTextureLimits) {
    const struct {
        const char* what;
        int minimum, maximum, aspect;
        bool square;
        int w, h;
        int copy_w, copy_h;  // 0: no copy
    } cases[] = {
        {"nearest powers, clamped", 8, 256, 0, false, 300, 200, 256, 256},
        {"already fitting", 8, 256, 0, false, 64, 32, 0, 0},
        {"aspect limit", 1, 2048, 2, false, 512, 64, 128, 64},
        {"square only", 1, 2048, 0, true, 64, 16, 64, 64},
        {"raised to the smallest", 32, 256, 0, false, 8, 8, 32, 32},
    };
    for (const auto& c : cases) {
        card().caps.min_texture = c.minimum;
        card().caps.max_texture = c.maximum;
        card().caps.max_aspect = c.aspect;
        card().caps.square_only = c.square;
        card3d().caps = card().caps;
        bitmap_texture* b = bitmap("wall", c.w, c.h, 2);
        bitmap_texture* copy = nullptr;
        ASSERT_EQ(card3d_create_bitmap_according_to_card_limitations(b, &copy), 0) << c.what;
        if (c.copy_w == 0) {
            EXPECT_EQ(copy, nullptr) << c.what;
        } else {
            ASSERT_NE(copy, nullptr) << c.what;
            EXPECT_EQ(copy->image.width, c.copy_w) << c.what;
            EXPECT_EQ(copy->image.height, c.copy_h) << c.what;
            EXPECT_STREQ(copy->image.name, "WALL_3D") << c.what;
            bitmap_texture_delete(&engine_state.bitmaps, copy);
        }
        bitmap_texture_delete(&engine_state.bitmaps, b);
    }
}

TEST_F(CardFake, ACardWhoseLargestTextureIsBelowItsSmallestIsRefused) {
    card3d().caps = card().caps;
    card3d().caps.min_texture = 256;
    card3d().caps.max_texture = 128;
    bitmap_texture* b = bitmap("wall", 300, 200, 2);
    bitmap_texture* copy = nullptr;
    EXPECT_EQ(card3d_create_bitmap_according_to_card_limitations(b, &copy), -1);
    EXPECT_EQ(copy, nullptr);
    EXPECT_NE(error_log().find("card3d_create_bitmap_according_to_card_limitations: This card has weird texture limits !"),
              std::string::npos);
}

TEST_F(CardFake, StartingUploadsEveryBitmapAndAResizedOneThroughItsCopy) {
    card().caps.max_texture = 256;
    bitmap_texture* big = bitmap("big", 300, 200, 0);
    bitmap_texture* small = bitmap("small", 16, 16, 1);
    start();
    ASSERT_NE(big->card_copy, nullptr);
    EXPECT_EQ(big->card_copy->card_source, big);
    EXPECT_EQ(small->card_copy, nullptr);
    ASSERT_EQ(card().textures.size(), 2u);
    std::vector<std::pair<int, int>> sizes;
    for (const auto& t : card().textures) sizes.push_back(t.second);
    EXPECT_NE(std::find(sizes.begin(), sizes.end(), std::make_pair(256, 256)), sizes.end());
    EXPECT_NE(std::find(sizes.begin(), sizes.end(), std::make_pair(16, 16)), sizes.end());
    EXPECT_FALSE(std::filesystem::exists("big.bmp"));
    EXPECT_FALSE(std::filesystem::exists("big_3d.bmp"));
}

TEST_F(CardFake, FramesOfATexturedWorldUnderASkyUploadNoTexture) {
    bitmap_texture* brick = bitmap("brick", 16, 16, 0);
    ::background* sky = background_create(&engine_state.backgrounds, "sky", bitmap("sky", 256, 128, 1));
    ASSERT_NE(sky, nullptr);
    start();
    polygon* p = quad();
    polygon_set_bitmap_fill(p, brick);
    finish_tree();
    thread_polygons_in_world_order();
    const uint32_t made = card().next_texture;
    for (int frame = 0; frame < 3; ++frame) {
        ASSERT_EQ(card3d_before_each_render(window_, cam_), 0);
        EXPECT_EQ(draw_world(nullptr, main_, cam_, nullptr), 0);
        EXPECT_EQ(engine_draw_world_background(sky, nullptr, 0, cam_), 0);
        card3d_after_render();
    }
    EXPECT_EQ(card().fans.size(), 6u);
    EXPECT_EQ(card().next_texture, made);
    background_delete_all(&engine_state.backgrounds);
}

TEST_F(CardFake, DeletingOrUnloadingABitmapReleasesItsTextureAndContainer) {
    card().caps.max_texture = 256;
    bitmap_texture* big = bitmap("big", 300, 200, 0);
    bitmap("small", 16, 16, 1);
    start();
    ASSERT_EQ(card3d_container_count(), 2);
    ASSERT_EQ(bitmap_texture_delete(&engine_state.bitmaps, big), 0);
    EXPECT_EQ(card3d_container_count(), 1);
    EXPECT_EQ(card().textures.size(), 1u);
    // Nothing uses the other one: unloading takes it and its texture.
    EXPECT_EQ(unload_unused_bitmaps(&engine_state.bitmaps), 1);
    EXPECT_EQ(card3d_container_count(), 0);
    EXPECT_TRUE(card().textures.empty());
    EXPECT_EQ(engine_state.bitmaps, nullptr);
}

TEST_F(CardFake, UnloadingKeepsTheCardCopyOfABitmapInUse) {
    card().caps.max_texture = 256;
    bitmap_texture* big = bitmap("big", 300, 200, 0);
    polygon* p = quad();
    p->texture = big;
    thread_polygons_in_world_order();
    start();
    ASSERT_NE(big->card_copy, nullptr);
    EXPECT_EQ(unload_unused_bitmaps(&engine_state.bitmaps), 0);
    EXPECT_NE(big->card_copy, nullptr);
    EXPECT_EQ(card3d_container_count(), 1);
    p->texture = nullptr;
}

TEST_F(CardFake, CapabilityReportIsWrittenOnceKeptAndWrittenAgainAfterDeletion) {
    std::filesystem::remove("card3d.txt");
    start();
    const std::string first = read_file("card3d.txt");
    EXPECT_EQ(first.rfind("3D card capabilities\n--------------------\n", 0), 0u);
    EXPECT_NE(first.find("\tGL_RENDERER\tfake renderer\n"), std::string::npos);
    const std::string tail = "\n\n------------------------\nTo regenerate this file: delete the file and run the program again\n";
    ASSERT_GE(first.size(), tail.size());
    EXPECT_EQ(first.substr(first.size() - tail.size()), tail);

    card3d_close();
    { std::ofstream("card3d.txt") << "kept"; }
    start();
    EXPECT_EQ(read_file("card3d.txt"), "kept");

    card3d_close();
    std::filesystem::remove("card3d.txt");
    start();
    EXPECT_EQ(read_file("card3d.txt"), first);
}

TEST_F(CardFake, TheFrameSetsTheCameraOnePixelLargerThanTheTarget) {
    start();
    ASSERT_EQ(card3d_before_each_render(window_, cam_), 0);
    EXPECT_EQ(cam_->width, width + 1);
    EXPECT_EQ(cam_->height, height + 1);
    card3d_after_render();
}

TEST_F(CardFake, TheDriverDialogShowsOnceAStartUnlessHiddenAndItsChoiceIsUsed) {
    card().devices = {{"gpu", false}, {"llvmpipe", true}};
    static int shown;
    shown = 0;
    plat_card_dialog_set_handler([](const plat_card_dialog_model* m) {
        ++shown;
        m->choose(m->model, 1, 1);
        return 1;
    });
    card3d_settings().hide_dialog = 0;
    start();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(card().opened_index, 1);
    EXPECT_EQ(card3d_selected_device()->name, "llvmpipe");

    card3d_close();
    card3d_settings().hide_dialog = 1;
    start();
    EXPECT_EQ(shown, 1);
    plat_card_dialog_set_handler(nullptr);
}

// Without the host's view the library asks with a box of one button per device; a script presses them.
TEST_F(CardFake, WithoutAHostViewTheDialogIsABoxOfOneButtonPerDevice) {
    card().devices = {{"gpu", false}, {"llvmpipe", true}};
    card3d_settings().hide_dialog = 0;
    struct asked {
        std::string caption, text;
        std::vector<std::string> buttons;
    };
    static std::vector<asked> boxes;
    static int press;
    boxes.clear();
    plat_card_dialog_set_box_handler([](const char* caption, const char* text, const std::vector<std::string>& b) {
        boxes.push_back({caption, text, b});
        return press;
    });
    const struct {
        int press;
        int opened;
    } cases[] = {{1, 1}, {2, 0}, {-1, 0}, {0, 0}};  // llvmpipe, Cancel, closed, the device already chosen
    for (const auto& c : cases) {
        SCOPED_TRACE(c.press);
        card3d_free_enumeration();
        press = c.press;
        start();
        EXPECT_EQ(card().opened_index, c.opened);
        card3d_close();
    }
    plat_card_dialog_set_box_handler(nullptr);
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].caption, "Select New Direct3D Driver");
    EXPECT_EQ(boxes[0].text, "Driver: Primary Display Driver\nDevice:");
    EXPECT_EQ(boxes[0].buttons, (std::vector<std::string>{"gpu", "llvmpipe", "Cancel"}));

    // Headless and with neither a view nor a box handler the dialog does not show: the choice stays.
    card3d_free_enumeration();
    start();
    EXPECT_EQ(card().opened_index, 0);
}

TEST_F(CardFake, BitmapsSharingANameEachKeepTheirOwnTexture) {
    const std::string name = "a/folder/whose/name/runs/past/forty/characters/brick";
    bitmap_texture* plain = bitmap(name.c_str(), 8, 8, 1);
    bitmap_texture* see_through = bitmap(name.c_str(), 8, 8, 1, 0);
    bitmap_texture* other = bitmap((name + "2").c_str(), 8, 8, 1);
    start();
    EXPECT_EQ(card3d_container_count(), 3);
    EXPECT_EQ(card().textures.size(), 3u);
    EXPECT_NE(plain->card_texture, see_through->card_texture);
    EXPECT_NE(plain->card_texture, other->card_texture);
    const auto* transparent = static_cast<const card3d_container*>(see_through->card_texture);
    EXPECT_EQ(transparent->flags, card3d_container_flags::transparent_black);
}

TEST_F(CardFake, FullScreenRecordsTheModeAndMaximisesTheWindow) {
    card().devices = {{"gpu", false}, {"llvmpipe", true}};
    ASSERT_EQ(card3d_use_detailed(window_, 800, 600, 16, 0, 1, 0), 0);
    EXPECT_EQ(engine_state.card_full_screen, 1);
    EXPECT_EQ(card().width, 800);
    EXPECT_EQ(card().height, 600);
    EXPECT_EQ(card3d_get_width(), 800);
    const auto modes = plat_display_mode_requests();
    ASSERT_FALSE(modes.empty());
    EXPECT_EQ(modes.back().width, 800);
    EXPECT_EQ(modes.back().height, 600);
    EXPECT_EQ(modes.back().bits, 16);
    card3d_close();
    EXPECT_EQ(engine_state.card_full_screen, 0);
    EXPECT_EQ(engine_state.card_width, 800);  // the full-screen size stays
}

TEST_F(CardFake, AParallelCameraTurnsTexturePerspectiveOff) {
    start();
    const size_t from = card().states.size();
    cam_->perspective = 0;
    ASSERT_EQ(card3d_before_each_render(window_, cam_), 0);
    card3d_after_render();
    EXPECT_EQ(card().values(PLAT_CARD_TEXTURE_PERSPECTIVE, from), std::vector<uint32_t>{0});
}

TEST_F(CardFake, AZBufferChangeOrAResizedWindowMakesTheDeviceAgain) {
    engine_state.zbuffer_state = 1;
    start();
    EXPECT_TRUE(card().depth);
    const int opens = card().opens;
    engine_state.zbuffer_state = 0;
    ASSERT_EQ(card3d_before_each_render(window_, cam_), 0);
    card3d_after_render();
    EXPECT_EQ(card().opens, opens + 1);
    EXPECT_FALSE(card().depth);

    plat_window_set_client_size(window_, 200, 100);
    ASSERT_EQ(card3d_before_each_render(window_, cam_), 0);
    card3d_after_render();
    EXPECT_EQ(card().opens, opens + 2);
    EXPECT_EQ(card().width, 200);
    EXPECT_EQ(card().height, 100);
    EXPECT_EQ(cam_->width, 201);
}

TEST_F(CardFake, ThePrimaryDisplaysOwnDeviceIsNotMesasSoftwareOne) {
    EXPECT_EQ(card3d_use_detailed(window_, 0, 0, 0, 0, 0, 0), -1);
    EXPECT_EQ(engine_state.card_in_use, 0);
    EXPECT_EQ(card3d_use_detailed(window_, 0, 0, 0, 0, 0, 1), -1);
    card().devices = {{"gpu", false}, {"llvmpipe", true}};
    card3d_free_enumeration();
    EXPECT_EQ(card3d_use_detailed(window_, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(card().opened_index, 0);
}

TEST_F(CardFake, DisplayModeChangesStopTheCardAndStartItAgain) {
    start();
    const int opens = card().opens;
    EXPECT_EQ(Drovik_engine_set_color_depth(16), 0);
    EXPECT_EQ(card().opens, opens + 1);
    EXPECT_TRUE(card().open);
    EXPECT_EQ(engine_state.card_in_use, 1);
    EXPECT_EQ(Drovik_engine_set_resolution(800, 600, 16), 0);
    EXPECT_EQ(card().opens, opens + 2);
    EXPECT_EQ(engine_state.card_in_use, 1);
    card3d_close();
    EXPECT_EQ(Drovik_engine_set_color_depth(16), 0);
    EXPECT_EQ(card().opens, opens + 2);
    EXPECT_EQ(engine_state.card_in_use, 0);
    rendering_manager().display.close();  // the mode calls opened the display wrapper
}

TEST_F(CardFake, AFrameTheDeviceCannotBeginIsRefusedAndReported) {
    start();
    card().open = false;
    EXPECT_EQ(card3d_before_each_render(window_, cam_), -1);
    EXPECT_STREQ(engine_get_last_error(), "card3d_before_each_render: BeginScene() failed (Catch)");
    card().open = true;
    EXPECT_EQ(card3d_before_each_render(window_, cam_), 0);
    card3d_after_render();
}

TEST_F(CardFake, ClosingGoesBackToSoftwareAndDropsEveryTexture) {
    bitmap_texture* b = bitmap("small", 16, 16, 1);
    start();
    EXPECT_EQ(engine_state.card_in_use, 1);
    EXPECT_EQ(&render_backend_current(), &render_backend_card3d());
    card3d_close();
    EXPECT_EQ(engine_state.card_in_use, 0);
    EXPECT_EQ(&render_backend_current(), &render_backend_software());
    EXPECT_EQ(b->card_texture, nullptr);
    EXPECT_FALSE(card().open);
    EXPECT_EQ(card3d_container_count(), 0);
}

}  // namespace
