// Golden frames: whole frames of small scenes compared byte for byte with tests/data/render.
#include <vector>

#include "golden_frame.h"
#include "render/images/bitmap_texture.h"
#include "traversal_fixture.h"

namespace {

class GoldenFrameTest : public TraversalTest {
protected:
    void render(const char* name) {
        clear_draw_buffer_buffer(&buffer_, background);
        ASSERT_EQ(draw(), 0);
        expect_golden_frame(name, pixels(), width, height, width);
    }
};

}  // namespace

TEST_F(GoldenFrameTest, EmptyWorld) {
    render("empty_world.ppm");
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) ASSERT_EQ(pixel(x, y), 0xA515) << x << "," << y;
    }
}

TEST_F(GoldenFrameTest, SolidQuad) {
    put(main_->root, wall(-100, -50, 50, -30, 30, 200, 40, 40));
    finish_tree();
    render("solid_quad.ppm");
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool inside = x >= 40 && x <= 119 && y >= 36 && y <= 83;
            ASSERT_EQ(pixel(x, y), inside ? 0xC945 : 0xA515) << x << "," << y;
        }
    }
}

// A checkered bitmap on a quad leaning away from the camera, perspective-corrected at every pixel.
TEST_F(GoldenFrameTest, CheckerOnSlantedQuad) {
    std::vector<uint8_t> texels(8 * 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) texels[y * 8 + x] = static_cast<uint8_t>((x / 2 + y / 2) % 2);
    }
    const rgb8 palette[2] = {{240, 240, 240}, {20, 20, 120}};
    bitmap_texture* checker =
        bitmap_texture_create_from_pixels(&engine_state.bitmaps, "checker", 8, 8, texels.data(), palette, 2, -1);
    ASSERT_NE(checker, nullptr);
    polygon* floor = make({{-30, 40, -20, 2, 0}, {-30, -40, -20, 2, 2}, {-160, -40, 30, 0, 2}, {-160, 40, 30, 0, 0}},
                          0, 0, 0);
    polygon_set_bitmap_fill(floor, checker);
    put(main_->root, floor);
    finish_tree();
    engine_state.perspective_automatic = 3;
    engine_state.span_length = 1;
    engine_state.span_length_log2 = 0;
    engine_state.span_reciprocal = 1;
    render("checker_slanted.ppm");
}

// Overlapping quads and a dynamic object in front of them, with the z-buffer on.
TEST_F(GoldenFrameTest, OverlappingQuadsAndObject) {
    engine_state.zbuffer_state = 1;
    put(main_->root, wall(-120, -70, 20, -40, 30, 40, 160, 60));
    put(main_->root, wall(-90, -10, 60, -20, 45, 220, 180, 30));
    finish_tree();
    polygon* front = wall(0, -12, 12, -12, 12, 30, 60, 220);
    polygon* side = make({{0, 12, 12}, {-24, 12, 12}, {-24, 12, -12}, {0, 12, -12}}, 120, 20, 160);
    dynamic_object* d = object_at("cube", {-50, -20, -5}, {front, side});
    (void)d;
    render("overlap_object_zbuffer.ppm");
}
