// Scan conversion, the span dispatcher and the fill-bag set-up with its drawer choice.
#include <cmath>
#include <string>

#include "foundation/errors.h"
#include "raster_fixture.h"
#include "render/software/drawer_flags.h"
#include "render/software/span_drawers.h"

// Pixel centres on the left and top edges are drawn, those on the right and bottom edges not.
TEST_F(RasterTest, FillRulePixelSets) {
    struct fill_case {
        const char* name;
        std::vector<projected_point> points;
        std::set<std::pair<int, int>> expected;
    };
    // Screen column = x + 16 - 0.5 at pixel centres, screen row = 12 - y - 0.5.
    const fill_case cases[] = {
        {"square on pixel corners", {{4, 4}, {4, -4}, {-4, -4}, {-4, 4}}, block(12, 19, 8, 15)},
        {"edges through pixel centres", {{3.5, 4.5}, {3.5, -3.5}, {-4.5, -3.5}, {-4.5, 4.5}}, block(11, 18, 7, 14)},
        {"reversed order draws nothing", {{-4, 4}, {-4, -4}, {4, -4}, {4, 4}}, {}},
        {"thin sliver between centres", {{0.2, 4}, {0.2, -4}, {0.1, -4}, {0.1, 4}}, {}},
    };
    for (const fill_case& c : cases) {
        clear();
        fill(c.points);
        EXPECT_EQ(drawn(), c.expected) << c.name;
    }
}

TEST_F(RasterTest, SharedEdgeDrawnOnce) {
    const std::vector<projected_point> a{{5.3, 6.1}, {-2.7, -7.2}, {-6.4, 4.4}};
    const std::vector<projected_point> b{{5.3, 6.1}, {6.6, -5.5}, {-2.7, -7.2}};
    fill(a);
    const auto first = drawn();
    clear();
    fill(b);
    const auto second = drawn();
    EXPECT_FALSE(first.empty());
    EXPECT_FALSE(second.empty());
    for (const auto& pixel : first) EXPECT_EQ(second.count(pixel), 0u) << pixel.first << "," << pixel.second;
    clear();
    fill({{5.3, 6.1}, {6.6, -5.5}, {-2.7, -7.2}, {-6.4, 4.4}});
    auto both = first;
    both.insert(second.begin(), second.end());
    EXPECT_EQ(drawn(), both);
}

TEST_F(RasterTest, SolidQuadUsesPolygonColourAndCountsStatistics) {
    const frame_statistics before = engine_state.statistics;
    fill({{4, 4}, {4, -4}, {-4, -4}, {-4, 4}});
    EXPECT_EQ(frame_[8 * width + 12], 0xC945);
    EXPECT_EQ(engine_state.statistics.polygons - before.polygons, 1);
    EXPECT_EQ(engine_state.statistics.lines - before.lines, 8);
    EXPECT_EQ(engine_state.statistics.pixels - before.pixels, 64);
    // Drawn again over itself: every line hidden.
    fill({{4, 4}, {4, -4}, {-4, -4}, {-4, 4}});
    EXPECT_EQ(engine_state.statistics.hidden_lines - before.hidden_lines, 8);
    EXPECT_EQ(engine_state.statistics.hidden_pixels - before.hidden_pixels, 64);
}

namespace {
int recorded_length;
int recorded_free;
const char* recorded_kind;
void record_perspective(fill_bag& b) {
    recorded_kind = "perspective";
    recorded_length = b.span_length;
    recorded_free = b.span_free;
    b.drew = 1;
}
void record_linear(fill_bag& b) {
    recorded_kind = "linear";
    recorded_length = b.span_length;
    recorded_free = b.span_free;
}
}  // namespace

// Spans of N pixels or fewer go to the linear drawer; covered ends are trimmed first.
TEST_F(RasterTest, DispatcherTrimsAndChoosesBySpanLength) {
    struct span_case {
        int first, last;  // columns
        std::vector<int> covered;
        const char* kind;
        int length, free;
    };
    const span_case cases[] = {
        {0, 7, {}, "linear", 8, 1},
        {0, 8, {}, "perspective", 9, 1},
        {0, 31, {0, 1, 2, 30, 31}, "perspective", 27, 1},
        {0, 11, {0, 1, 2, 3, 6}, "linear", 8, 0},
        {0, 31, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27,
                 28, 29, 30, 31},
         nullptr, 0, 0},
    };
    for (const span_case& c : cases) {
        clear();
        for (int column : c.covered) mask_[column / 32] |= 1u << (column % 32);
        fill_bag bag;
        poly_.drawer_index = 8;
        fill({{4, 4}, {4, -4}, {-4, -4}});
        prepare_fill_poly_bag(bag, &cam_, &poly_, 3, camera_points_.data(), camera_points_.data(), projected_.data());
        bag.perspective_drawer = record_perspective;
        bag.linear_drawer = record_linear;
        recorded_kind = nullptr;
        recorded_length = 0;
        // Row 0 of the frame: y = 11.5.
        draw_y_line_upper(c.first + 0.5 - 16, c.last + 0.5 - 16, 11.5, bag);
        EXPECT_EQ(recorded_kind ? std::string(recorded_kind) : "", c.kind ? std::string(c.kind) : "");
        EXPECT_EQ(recorded_length, c.length);
        if (c.kind) {
            EXPECT_EQ(recorded_free, c.free);
        }
        if (c.kind && std::string(c.kind) == "perspective") {
            const uint32_t whole = c.last == 31 ? 0xFFFFFFFFu : (1u << (c.last + 1)) - 1;
            EXPECT_EQ(mask_[0], whole) << "a drawer that drew gets its span covered";
        }
    }
}

// A span whose end comes before its start draws nothing and is reported.
TEST_F(RasterTest, AReversedSpanIsRefused) {
    fill_bag bag;
    poly_.drawer_index = 8;
    fill({{4, 4}, {4, -4}, {-4, -4}});
    prepare_fill_poly_bag(bag, &cam_, &poly_, 3, camera_points_.data(), camera_points_.data(), projected_.data());
    bag.perspective_drawer = record_perspective;
    bag.linear_drawer = record_linear;
    recorded_kind = nullptr;
    const frame_statistics before = engine_state.statistics;
    draw_y_line_upper(5.5 - 16, 2.5 - 16, 11.5, bag);
    EXPECT_EQ(recorded_kind, nullptr);
    EXPECT_EQ(engine_state.statistics.hidden_pixels, before.hidden_pixels);
    EXPECT_STREQ(engine_get_last_error(), "draw_y_line_upper: fatal error !");
}

TEST_F(RasterTest, DrawerChoiceByRowModeAndZState) {
    bitmap_texture texture{};
    texture.image.transparent_index = -1;
    struct choice_case {
        int row, mode, zstate, transparent;
        span_drawer perspective, linear;
        int flags;
    };
    const choice_case cases[] = {
        {3, 0, 0, 0, draw_y_line_bitmap_tiled, draw_y_line_bitmap_tiled_linear, 1},
        {3, 0, 1, 0, draw_y_line_bitmap_tiled_semi_zbuff, draw_y_line_bitmap_tiled_semi_zbuff, 1},
        {7, 1, 1, 1, draw_y_line_bitmap_tiled_semi_zbuff_transparent, draw_y_line_bitmap_tiled_semi_zbuff_transparent, 1},
        {7, 0, 2, 1, draw_y_line_bitmap_tiled_full_zbuff, draw_y_line_bitmap_tiled_full_zbuff, 1},
        {1, 0, 0, 0, draw_y_line_bitmap_tiled_interpolated_shading, draw_y_line_bitmap_tiled_interpolated_shading, 3},
        {1, 0, 1, 0, draw_y_line_bitmap_tiled_interpolated_shading_semi_zbuff,
         draw_y_line_bitmap_tiled_interpolated_shading_semi_zbuff, 3},
        {5, 0, 2, 1, draw_y_line_bitmap_tiled_interpolated_shading_full_zbuff,
         draw_y_line_bitmap_tiled_interpolated_shading_full_zbuff, 3},
        {1, 1, 1, 0, draw_y_line_bitmap_tiled_semi_zbuff, draw_y_line_bitmap_tiled_semi_zbuff, 1},
        {5, 1, 2, 1, draw_y_line_bitmap_tiled_full_zbuff, draw_y_line_bitmap_tiled_full_zbuff, 1},
        {1, 2, 2, 0, draw_y_line_solid_shaded_full_zbuff, draw_y_line_solid_shaded_full_zbuff, 1},
        {3, 2, 1, 0, draw_y_line_solid_shaded_semi_zbuff, draw_y_line_solid_shaded_semi_zbuff, 1},
        {3, 3, 0, 0, draw_y_line_debug_marker, draw_y_line_debug_marker, 0},
        {3, 4, 1, 0, draw_y_line_solid_shaded_semi_zbuff, draw_y_line_solid_shaded_semi_zbuff, 0},
        {0, 0, 0, 0, draw_y_line_solid_shaded, draw_y_line_solid_shaded, 0},
    };
    for (const choice_case& c : cases) {
        engine_state.rendering_mode = c.mode;
        engine_state.zbuffer_state = c.zstate;
        engine_state.perspective_automatic = 3;
        texture.image.transparent_index = c.transparent ? 0 : -1;
        poly_.texture = &texture;
        poly_.drawer_index = c.row;
        std::vector<clip_point> points{{-10, 1, 1, 0, 0, 8}, {-10, 1, -1, 0, 0, 8}, {-10, -1, -1, 0, 0, 8}};
        const projected_point pr[3] = {{1, 1}, {1, -1}, {-1, -1}};
        fill_bag bag;
        prepare_fill_poly_bag(bag, &cam_, &poly_, 3, points.data(), points.data(), pr);
        const std::string where = "row " + std::to_string(c.row) + " mode " + std::to_string(c.mode) + " z " +
                                  std::to_string(c.zstate);
        EXPECT_EQ(bag.perspective_drawer, c.perspective) << where;
        EXPECT_EQ(bag.linear_drawer, c.linear) << where;
        EXPECT_EQ(bag.flags, c.flags) << where;
    }
    poly_.texture = nullptr;
}

// A textured polygon whose nearest point reaches the far-objects level draws its average colour.
TEST_F(RasterTest, FarTexturedPolygonSwitchesToSolid) {
    bitmap_texture texture{};
    texture.image.transparent_index = -1;
    poly_.texture = &texture;
    poly_.drawer_index = 3;
    poly_.average_brightness = 8;
    engine_state.atmospheric_intensity = 1;
    poly_.light_diminution = 1;
    struct far_case {
        double depth;
        int mode, transparent;
        int expected_mode;
    };
    for (const far_case& c : {far_case{21, 0, 0, 0}, far_case{22, 0, 0, 4}, far_case{22, 0, 1, 0},
                              far_case{22, 3, 0, 3}, far_case{22, 4, 0, 4}}) {
        engine_state.rendering_mode = c.mode;
        texture.image.transparent_index = c.transparent ? 3 : -1;
        std::vector<clip_point> points{{-c.depth, 1, 1, 0, 0, 8}, {-40, 1, -1, 0, 0, 8}, {-40, -1, -1, 0, 0, 8}};
        const projected_point pr[3] = {{1, 1}, {1, -1}, {-1, -1}};
        fill_bag bag;
        prepare_fill_poly_bag(bag, &cam_, &poly_, 3, points.data(), points.data(), pr);
        EXPECT_EQ(bag.rendering_mode, c.expected_mode) << c.depth << " mode " << c.mode;
        if (c.expected_mode == 4 && c.mode != 4) {
            EXPECT_NE(bag.texture.shaded_average, nullptr) << "the texture's average colour is drawn";
        }
        if (c.mode == 4) {
            EXPECT_EQ(bag.texture.shaded_average, nullptr) << "engine mode 4 keeps the polygon colour";
        }
    }
    poly_.texture = nullptr;
}

TEST_F(RasterTest, AutomaticPerspectiveStep) {
    engine_state.perspective_accuracy = 1;
    bitmap_texture texture{};
    texture.image.transparent_index = -1;
    poly_.texture = &texture;
    poly_.drawer_index = 3;
    struct step_case {
        double normal_y;
        int step;
        bool linear;
    };
    for (const step_case& c : {step_case{0.6, 4, false}, step_case{0.4, 8, false}, step_case{0.2, 16, false},
                               step_case{0.07, 32, false}, step_case{0.01, 64, false}, step_case{0.0, 8, true}}) {
        poly_.plane[0] = std::sqrt(1 - c.normal_y * c.normal_y);
        poly_.plane[1] = c.normal_y;
        std::vector<clip_point> points{{-10, 1, 1, 0, 0, 8}, {-10, 1, -1, 0, 0, 8}, {-10, -1, -1, 0, 0, 8}};
        const projected_point pr[3] = {{1, 1}, {1, -1}, {-1, -1}};
        fill_bag bag;
        prepare_fill_poly_bag(bag, &cam_, &poly_, 3, points.data(), points.data(), pr);
        EXPECT_EQ(bag.step, c.step) << c.normal_y;
        EXPECT_EQ(bag.perspective_drawer == bag.linear_drawer, c.linear) << c.normal_y;
    }
    poly_.texture = nullptr;
}

// Projected points on one line give no planes: every span takes the first point's values.
TEST_F(RasterTest, EdgeOnPolygonTakesFirstPointValues) {
    fill_bag bag;
    std::vector<clip_point> points{{-10, 1, 1, 0.25, 0.5, 8}, {-20, 2, 2, 0.75, 0.5, 8}, {-30, 3, 3, 0.5, 0.5, 8}};
    const projected_point pr[3] = {{1, 1}, {2, 2}, {3, 3}};
    poly_.drawer_index = 3;
    bitmap_texture texture{};
    texture.image.transparent_index = -1;
    poly_.texture = &texture;
    prepare_fill_poly_bag(bag, &cam_, &poly_, 3, points.data(), points.data(), pr);
    prepare_for_interpolation(bag);
    EXPECT_EQ(bag.planes_valid, 0);
    EXPECT_DOUBLE_EQ(plane_at(bag.inverse_z, 7, -3), -0.1);
    EXPECT_DOUBLE_EQ(plane_at(bag.u_z_unscaled, 5, 9) / plane_at(bag.inverse_z, 5, 9), 0.25);
    poly_.texture = nullptr;
}

// Any point count fills: a 200-point disc, split into a fan, covers the centre and stays inside.
TEST_F(RasterTest, ManyPointPolygonFills) {
    std::vector<projected_point> disc;
    for (int i = 0; i < 200; ++i) {
        const double a = -2 * M_PI * i / 200;
        disc.push_back({9 * std::cos(a), 9 * std::sin(a)});
    }
    poly_.linear_bitmap_cords = 0;
    fill(disc);
    const auto pixels = drawn();
    EXPECT_TRUE(pixels.count({16, 12}));
    for (const auto& [c, r] : pixels) EXPECT_LE(std::hypot(c + 0.5 - 16, 12 - r - 0.5), 9.0);
    EXPECT_GT(pixels.size(), 230u);
}

TEST_F(RasterTest, MarkedPolygonShowsSpanEnds) {
    raster_frame_state().marked = &poly_;
    fill({{4, 4}, {4, -4}, {-4, -4}, {-4, 4}});
    EXPECT_EQ(frame_[8 * width + 12], 0xF81F);
    EXPECT_EQ(frame_[8 * width + 19], 0xF800);
    EXPECT_EQ(frame_[8 * width + 13], 0xC945);
}

// Far-off projected points (no frustum clip before them) fill only the picture, quickly.
TEST_F(RasterTest, HugeCordsStayInsideThePicture) {
    fill({{1e300, 1e300}, {1e300, -1e300}, {-1e300, -1e300}, {-1e300, 1e300}});
    EXPECT_EQ(drawn(), block(0, width - 1, 0, height - 1));
    clear();
    fill({{std::nan(""), 3}, {4, -4}, {-4, -4}});
    EXPECT_LE(drawn().size(), static_cast<size_t>(width * height));
}
