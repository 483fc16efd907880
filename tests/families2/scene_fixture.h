// An editor world with a MAIN module for the light, background, animation, bitmap and track
// family tests: squares to light and animate, bitmaps made from pixels, and every list freed after.
#pragma once
#include <string>
#include <vector>

#include "family_fixture.h"
#include "foundation/strings.h"
#include "render/images/bitmap_texture.h"
#include "render/software/background.h"
#include "render/software/draw_buffer.h"
#include "render/software/frame_buffers.h"
#include "render/software/world_traversal.h"
#include "world/animation.h"
#include "world/bsp_node.h"
#include "world/camera.h"
#include "world/group.h"
#include "world/light.h"
#include "world/movers.h"
#include "world/polygon.h"
#include "world/polygon_fill.h"
#include "world/track.h"
#include "world/world_order.h"

class SceneTest : public FamilyTest {
protected:
    void SetUp() override {
        FamilyTest::SetUp();
        set_editor_mode(1);
        main_ = init_module();
        main_->root = init_bsp_node();
        jstrcpy_with_allocating(&main_->name, "MAIN");
        module_list_push(&engine_state.modules, main_);
        engine_state.main_module = main_;
    }

    void TearDown() override {
        light_delete_all(&engine_state.lights);
        animation_delete_all(&engine_state.animations);
        background_delete_all(&engine_state.backgrounds);
        engine_state.current_background = nullptr;
        track_delete_all(&engine_state.tracks);
        bitmap_texture_delete_all(&engine_state.bitmaps);
        group_delete(&engine_state.groups, nullptr);
        engine_state.card_in_use = 0;
        free_frame_buffers();
        FamilyTest::TearDown();
    }

    // The unit square at (x0, y0), height 0, facing up, in the group and coloured (200, 100, 50).
    polygon* add_square(double x0, double y0, group* g = nullptr) {
        polygon* p = init_poly();
        const double corners[4][2] = {{x0, y0}, {x0, y0 + 1}, {x0 + 1, y0 + 1}, {x0 + 1, y0}};
        for (const auto& c : corners) {
            const double values[6] = {c[0], c[1], 0, 0, 0, 8};
            polygon_add_point(p, values);
        }
        polygon_recalculate(p);
        p->owner_group = g;
        polygon_list_add(&main_->root->polygons, p);
        polygon_set_color_fill(p, 200, 100, 50);
        for (point* pt = p->points; pt; pt = pt->next) pt->normal_z = 127;
        return p;
    }

    // A width x height bitmap of the palette's first colour, pixels counting through the palette.
    bitmap_texture* make_bitmap(const char* name, const std::vector<rgb8>& palette, int transparent = -1,
                                int width = 4, int height = 4) {
        std::vector<uint8_t> pixels(static_cast<size_t>(width) * height);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i % palette.size());
        return bitmap_texture_create_from_pixels(&engine_state.bitmaps, name, width, height, pixels.data(),
                                                 palette.data(), static_cast<int>(palette.size()), transparent);
    }

    static std::vector<uint8_t> colour_of(const polygon* p) {
        return {p->points->red, p->points->green, p->points->blue};
    }

    // A record of the kind, alive in the registry, standing in for a handle of that kind.
    struct foreign_record {
        explicit foreign_record(int32_t kind) : handle(record_create(sizeof(::polygon), kind)) {}
        ~foreign_record() { record_destroy(handle); }
        void* handle;
    };

    // Checks the one refusal logged and boxed under check_name since the last call.
    void expect_wrong_kind(const std::string& check_name) {
        EXPECT_EQ(new_log(), check_name +
                                 ": Fatal, got a different kind of handle\nCheck if you accidantlly gave the wrong "
                                 "handle !\n");
        const std::vector<plat_box_record> boxes = new_boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, check_name);
        EXPECT_EQ(boxes[0].text,
                  "Fatal, got a different kind of handle\nCheck if you accidantlly gave the wrong handle !");
    }

    // Every row's export, given a live record of another kind, refuses under its check name.
    template <size_t count>
    void expect_rows_refuse_a_foreign_handle(const family_row (&rows)[count]) {
        foreign_record polygon(kind_polygon);
        for (const family_row& row : rows) {
            SCOPED_TRACE(row.export_name);
            EXPECT_EQ(row.call(polygon.handle), row.failure);
            expect_wrong_kind(row.check_name);
        }
    }

    // The one box shown since the last call.
    std::string one_box() {
        const std::vector<plat_box_record> boxes = new_boxes();
        EXPECT_EQ(boxes.size(), 1u);
        return boxes.empty() ? std::string() : boxes[0].text;
    }

    // One frame's work after the world changed: movers, lights, sky and world drawn into a small
    // buffer by a camera above the squares looking down and along -x.
    void advance_and_render() {
        engine_move_all_dynamic_objects();
        engine_move_all_cameras();
        engine_activate_lights_before_render(engine_state.lights);
        camera* eye = camera_init("frame", 64, 48, 90, 0, 0, {8, 0.5, 3}, {-1, 0, -0.4}, 4);
        ASSERT_NE(eye, nullptr);
        draw_buffer buffer{};
        init_draw_buffer(&buffer, 2);
        ASSERT_EQ(set_buffer_dimentions(&buffer, 64, 48), 0);
        engine_draw_world_background(engine_state.current_background, &buffer, 0, eye);
        draw_world(&buffer, main_, eye, engine_state.dynamic_objects);
        free_draw_buffer(&buffer);
        camera_free(eye);
    }

    module* main_ = nullptr;
};
