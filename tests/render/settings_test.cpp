// Engine settings: the steps and limits of each operation and what a change recomputes.
#include <vector>

#include "../common/render_fixture.h"
#include "engine_state_load.h"
#include "render/engine_settings.h"
#include "render/images/shade_tables.h"
#include "world/dynamic_object.h"
#include "world/polygon.h"

namespace {

class Settings : public RenderTest {
protected:
    // A unit square in the MAIN root list, brightness 8, default light diminution.
    polygon* add_square() {
        polygon* p = init_poly();
        const double corners[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
        for (const auto& c : corners) {
            const double values[6] = {c[0], c[1], 0, 0, 0, 8};
            polygon_add_point(p, values);
        }
        polygon_recalculate(p);
        polygon_list_add(&engine_state.main_module->root->polygons, p);
        return p;
    }
};

TEST_F(Settings, CullingDepthSteps) {
    const int errors = engine_get_error_count();
    const std::vector<std::pair<int, int>> increases = {{32, 64}, {96, 128}, {128, 3200}, {3200, 3200}};
    for (const auto& [from, to] : increases) {
        engine_state.culling_depth = from;
        engine_increase_culling_depth();
        EXPECT_EQ(engine_state.culling_depth, to) << "increase from " << from;
    }
    const std::vector<std::pair<int, int>> decreases = {{3200, 160}, {160, 128}, {64, 32}, {32, 32}, {0, 32}};
    for (const auto& [from, to] : decreases) {
        engine_state.culling_depth = from;
        engine_decrease_culling_depth();
        EXPECT_EQ(engine_state.culling_depth, to) << "decrease from " << from;
    }
    engine_set_culling_depth(-1);
    EXPECT_EQ(engine_state.culling_depth, 32);
    engine_set_culling_depth(500);
    EXPECT_EQ(engine_state.culling_depth, 500);
    engine_set_default_culling_depth();
    EXPECT_EQ(engine_state.culling_depth, 32);
    EXPECT_EQ(engine_get_error_count(), errors) << "culling depth needs no world";
}

TEST_F(Settings, CullingDepthRecomputesTheFadeDistance) {
    add_main_module();
    polygon* p = add_square();
    const double before = p->fade_distance;
    engine_increase_culling_depth();
    EXPECT_GT(p->fade_distance, before);
    // (64 - 8) / (0.01 * light diminution)
    EXPECT_NEAR(p->fade_distance, 56 / (0.01 * p->light_diminution), 1e-6);
}

TEST_F(Settings, IntensitySteps) {
    add_main_module();
    const int errors = engine_get_error_count();
    struct step {
        double from;
        void (*operation)();
        double to;
    };
    const step steps[] = {
        {0.012, engine_decrease_atmospheric_effect_intensity, 0},
        {1.0, engine_decrease_atmospheric_effect_intensity, 0.8},
        {0, engine_increase_atmospheric_effect_intensity, 0.01},
        {0.009, engine_increase_atmospheric_effect_intensity, 0.01},
        {1.0, engine_increase_atmospheric_effect_intensity, 1.25},
        {9, engine_increase_atmospheric_effect_intensity, 10},
        {0.5, engine_set_default_atmospheric_effect_intensity, 2.0},
    };
    for (const step& s : steps) {
        engine_state.atmospheric_intensity = s.from;
        s.operation();
        EXPECT_DOUBLE_EQ(engine_get_atmospheric_effect_intensity(), s.to) << "from " << s.from;
    }
    engine_set_atmospheric_effect_intensity(-0.5);
    EXPECT_DOUBLE_EQ(engine_state.atmospheric_intensity, 2.0);
    engine_set_atmospheric_effect_intensity(0);
    EXPECT_DOUBLE_EQ(engine_state.atmospheric_intensity, 0);
    EXPECT_EQ(engine_get_error_count(), errors);
}

TEST_F(Settings, BrightnessStepsStopAtSixteen) {
    add_main_module();
    engine_state.brightness = -15;
    engine_increase_brightness();
    engine_increase_brightness();
    EXPECT_EQ(engine_state.brightness, -16);
    engine_state.brightness = 16;
    engine_decrease_brightness();
    EXPECT_EQ(engine_state.brightness, 16);
    engine_set_brightness(5);
    EXPECT_EQ(engine_state.brightness, -5) << "stored with the opposite sign";
    engine_set_default_brightness();
    EXPECT_EQ(engine_state.brightness, 0);
}

TEST_F(Settings, BrightnessWithoutAWorldReportsAndKeepsTheValue) {
    engine_set_brightness(3);
    EXPECT_EQ(engine_state.brightness, -3);
    const std::string banner = "Drovik errors file\n------------------\n";
    EXPECT_EQ(error_log(), banner + "engine_set_brightness: main_mdl==NULL\nplease load world first\n");
    engine_increase_atmospheric_effect_intensity();
    EXPECT_DOUBLE_EQ(engine_state.atmospheric_intensity, 0.0125);
    EXPECT_EQ(error_log(), banner +
              "engine_set_brightness: main_mdl==NULL\nplease load world first\n"
              "engine_increase_atmospheric_effect_intensity: main_mdl==NULL\nplease load world first\n");
    engine_state_reset(0);
    EXPECT_EQ(engine_state.brightness, 0) << "the next load resets it";
}

TEST_F(Settings, PerspectiveToggles) {
    ASSERT_EQ(engine_state.perspective_automatic, 1);
    EXPECT_EQ(engine_toggle_automatic_perspective_correction(), 2);
    EXPECT_EQ(engine_toggle_automatic_perspective_correction(), 1);
    const int spans[] = {8, 16, 32, 1, 2, 4, 8, 16};
    for (int span : spans) {
        EXPECT_EQ(engine_toggle_perspective_correction_accuracy(), 3);
        EXPECT_EQ(engine_state.perspective_automatic, 3);
        EXPECT_EQ(engine_state.span_length, span);
        EXPECT_EQ(1 << engine_state.span_length_log2, span);
        EXPECT_DOUBLE_EQ(engine_state.span_reciprocal, 1.0 / span);
    }
    EXPECT_EQ(engine_toggle_automatic_perspective_correction(), 1) << "mode 3 becomes automatic";
}

TEST_F(Settings, AccuracyOf1000IsExactCorrection) {
    engine_set_perspective_correction_accuracy(1000);
    EXPECT_EQ(engine_state.perspective_automatic, 3);
    EXPECT_EQ(engine_state.span_length, 1);
    EXPECT_EQ(engine_state.span_length_log2, 0);
    EXPECT_DOUBLE_EQ(engine_state.perspective_accuracy, 1000);
    engine_set_perspective_correction_accuracy(999);
    EXPECT_EQ(engine_state.perspective_automatic, 1);
    EXPECT_DOUBLE_EQ(engine_state.perspective_accuracy, 999);
}

TEST_F(Settings, FreezeSetsPerspectiveAsideAndRestoresIt) {
    engine_toggle_perspective_correction_accuracy();
    engine_toggle_perspective_correction_accuracy();  // mode 3, span 16
    engine_toggle_freeze_mode();
    EXPECT_EQ(engine_is_freeze_mode(), 1);
    EXPECT_EQ(engine_state.span_length, 1);
    EXPECT_EQ(engine_state.span_length_log2, 0);
    EXPECT_EQ(engine_state.perspective_automatic, 3);
    engine_toggle_freeze_mode();
    EXPECT_EQ(engine_is_freeze_mode(), 0);
    EXPECT_EQ(engine_state.span_length, 16);
    EXPECT_EQ(engine_state.span_length_log2, 4);
    EXPECT_DOUBLE_EQ(engine_state.span_reciprocal, 1.0 / 16);
    EXPECT_EQ(engine_state.perspective_automatic, 3);
    engine_toggle_automatic_perspective_correction();  // mode 1
    engine_toggle_freeze_mode();
    engine_toggle_freeze_mode();
    EXPECT_EQ(engine_state.perspective_automatic, 1);
}

TEST_F(Settings, RenderingModeAndWireFrameCycles) {
    const int order[] = {0, 1, 2, 4, 3, 0};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(engine_toggle_rendering_mode(), order[i]);
        EXPECT_EQ(engine_state.rendering_mode, order[i + 1]);
    }
    engine_state.rendering_mode = 7;
    EXPECT_EQ(engine_toggle_rendering_mode(), 7);
    EXPECT_EQ(engine_state.rendering_mode, 0);
    EXPECT_EQ(engine_toggle_wire_frame_flag(), 1);
    EXPECT_EQ(engine_toggle_wire_frame_flag(), 0);
    engine_state.wire_frame = 5;
    EXPECT_EQ(engine_toggle_wire_frame_flag(), 1);
    engine_state.rendering_mode = 2;
    engine_set_normal_rendering_mode();
    EXPECT_EQ(engine_state.rendering_mode, 0);
    EXPECT_EQ(engine_state.wire_frame, 0);
}

TEST_F(Settings, FarObjectsAccuracySteps) {
    engine_state.far_objects_accuracy = 31;
    engine_increase_far_objects_color_accuracy();
    EXPECT_EQ(engine_state.far_objects_accuracy, 31);
    engine_state.far_objects_accuracy = 0;
    engine_decrease_far_objects_color_accuracy();
    EXPECT_EQ(engine_state.far_objects_accuracy, 0);
    engine_set_far_objects_color_accuracy(-2);
    EXPECT_EQ(engine_state.far_objects_accuracy, 0);
    engine_set_far_objects_color_accuracy(12);
    EXPECT_EQ(engine_state.far_objects_accuracy, 12);
    engine_set_default_far_objects_color_accuracy();
    EXPECT_EQ(engine_state.far_objects_accuracy, 30);
}

TEST_F(Settings, FogColourCycleRebuildsPalettes) {
    const uint8_t pixels[1] = {0};
    const rgb8 palette[1] = {{200, 40, 40}};
    bitmap_texture* b = bitmap_texture_create_from_pixels(&engine_state.bitmaps, "b", 1, 1, pixels, palette, 1, -1);
    ASSERT_TRUE(b);
    EXPECT_EQ(engine_toggle_atmospheric_effect(), 0);
    EXPECT_EQ(engine_state.atmosphere_red, 128);
    EXPECT_EQ(engine_toggle_atmospheric_effect(), 1);
    EXPECT_EQ(engine_state.atmosphere_blue, 255);
    EXPECT_EQ(engine_toggle_atmospheric_effect(), 2);
    EXPECT_EQ(engine_state.atmosphere_green, 0);
    EXPECT_EQ(b->image.shade_tables[31][0], 0x0800) << "faded toward black";
    EXPECT_EQ(engine_state.background_pixel, 0xA515) << "the background keeps its colour";
    EXPECT_EQ(engine_toggle_atmospheric_effect(), 3);
    EXPECT_EQ(engine_state.atmosphere_blue, 170);
    EXPECT_EQ(b->image.shade_tables[31][0], 0xA4F4);
    EXPECT_EQ(engine_toggle_atmospheric_effect(), 0);
    engine_set_atmospheric_effect(255, 0, 0);
    EXPECT_EQ(engine_state.background_pixel, 0xF800);
    engine_set_background_color(0, 0, 255);
    EXPECT_EQ(engine_state.background_pixel, 0x001F);
    EXPECT_EQ(engine_state.atmosphere_red, 255);
}

TEST_F(Settings, ZbufferSwitch) {
    module* m = add_main_module();
    dynamic_object* d = init_dynamic_object();
    engine_state.dynamic_objects = d;
    dynamic_node_list_push(&m->root->dynamic_objects, d);
    d->node = m->root;
    EXPECT_EQ(engine_use_zbuffer(0), 0);
    EXPECT_EQ(engine_is_zbuffer_off(), 1);
    EXPECT_EQ(d->node, nullptr);
    EXPECT_EQ(m->root->dynamic_objects, nullptr) << "the node no longer lists the object";
    EXPECT_EQ(engine_use_zbuffer(1), 0);
    EXPECT_EQ(engine_is_zbuffer_off(), 0);
    engine_state.editor_mode = 1;
    EXPECT_EQ(engine_use_zbuffer(0), -1);
    EXPECT_EQ(engine_is_zbuffer_off(), 0);
    dynamic_free_all(&engine_state.dynamic_objects);
}

}  // namespace

namespace {

TEST_F(Settings, WorldResetGivesTheRendererDefaults) {
    engine_state.rendering_mode = 3;
    engine_state.brightness = 5;
    engine_state.freeze_mode = 1;
    engine_state.atmospheric_cycle = 2;
    engine_init_world_state(0, 5, 5, 5, 0);
    const engine_state_record& s = engine_state;
    EXPECT_EQ(s.rendering_mode, 0);
    EXPECT_EQ(s.wire_frame, 0);
    EXPECT_EQ(s.zbuffer_state, 1);
    EXPECT_EQ(s.brightness, 0);
    EXPECT_DOUBLE_EQ(s.atmospheric_intensity, 0.01);
    EXPECT_EQ(s.atmosphere_red, 160);
    EXPECT_EQ(s.atmosphere_blue, 170);
    EXPECT_EQ(s.background_green, 160);
    EXPECT_EQ(s.background_pixel, 0x5295) << "(160, 160, 170) in the 555 format asked for";
    EXPECT_EQ(s.perspective_automatic, 1);
    EXPECT_EQ(s.span_length, 8);
    EXPECT_EQ(s.span_length_log2, 3);
    EXPECT_DOUBLE_EQ(s.span_reciprocal, 0.125);
    EXPECT_DOUBLE_EQ(s.perspective_accuracy, 0.1);
    EXPECT_EQ(s.culling_depth, 32);
    EXPECT_EQ(s.far_objects_accuracy, 30);
    EXPECT_EQ(s.mipmaps, 0);
    EXPECT_DOUBLE_EQ(s.mipmap_bias, 0);
    EXPECT_DOUBLE_EQ(s.mipmap_factor, 1);
    EXPECT_EQ(s.maximum_render_time, 1000000);
    EXPECT_EQ(s.minimum_render_time, 2);
    EXPECT_EQ(s.card_width, 640);
    EXPECT_EQ(s.card_height, 480);
    EXPECT_EQ(s.card_depth, 16);
    EXPECT_EQ(s.card_full_screen, 0);
    EXPECT_STREQ(s.bitmaps_directory, "bitmaps");
    EXPECT_NE(s.name_dictionary, nullptr);
    EXPECT_EQ(s.freeze_mode, 0);
    EXPECT_EQ(s.atmospheric_cycle, 0);
    EXPECT_EQ(rgb_to_pixel(255, 255, 255), 0x7FFF) << "the pixel format follows the channel widths";
    engine_close(0);
}

}  // namespace
