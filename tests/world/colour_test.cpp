// Pixel packing in 565 and 555, the 32 shade levels, intensity against level, and vertex shading.
#include <array>
#include <vector>

#include "../common/render_fixture.h"

namespace {

// The fixture restores the engine's RGB565 format whatever a case switched to.
class Colour : public RenderTest {
protected:
    static void use_555() { set_pixel_format_bits(5, 5, 5); }
};

std::array<int, 3> unpacked(uint16_t pixel) {
    std::array<int, 3> c{};
    pixel_to_rgb(pixel, &c[0], &c[1], &c[2]);
    return c;
}

TEST_F(Colour, Packs565) {
    EXPECT_EQ(rgb_to_pixel(255, 255, 255), 0xFFFF);
    EXPECT_EQ(rgb_to_pixel(200, 40, 40), 0xC945);
    EXPECT_EQ(rgb_to_pixel(160, 160, 170), 0xA515);
    EXPECT_EQ(rgb_to_pixel(255, 0, 0), 0xF800);
    EXPECT_EQ(rgb_to_pixel(0, 255, 0), 0x07E0);
    EXPECT_EQ(rgb_to_pixel(0, 0, 255), 0x001F);
    EXPECT_EQ(unpacked(0xFFFF), (std::array<int, 3>{248, 252, 248}));
    EXPECT_EQ(unpacked(0xC945), (std::array<int, 3>{200, 40, 40}));
}

TEST_F(Colour, Packs555) {
    use_555();
    EXPECT_EQ(rgb_to_pixel(255, 255, 255), 0x7FFF);
    EXPECT_EQ(rgb_to_pixel(200, 40, 40), 0x64A5);
    EXPECT_EQ(rgb_to_pixel(0, 255, 0), 0x03E0);
    EXPECT_EQ(unpacked(0x7FFF), (std::array<int, 3>{248, 248, 248}));
    EXPECT_EQ(unpacked(0x64A5), (std::array<int, 3>{200, 40, 40}));
}

TEST_F(Colour, WidthsAreGivenRedFirst) {
    set_pixel_format_bits(6, 5, 5);
    EXPECT_EQ(rgb_to_pixel(255, 0, 0), 0xFC00);
    EXPECT_EQ(rgb_to_pixel(0, 0, 255), 0x001F);
    EXPECT_EQ(unpacked(0xFC00), (std::array<int, 3>{252, 0, 0}));
}

TEST_F(Colour, RowOfPixelsToTriples) {
    const uint16_t row[2] = {0xF800, 0x001F};
    rgb8 out[3] = {{1, 2, 3}, {1, 2, 3}, {9, 9, 9}};
    pixels_to_rgb_triples(row, out, 2);
    EXPECT_EQ(out[0].r, 248);
    EXPECT_EQ(out[0].b, 0);
    EXPECT_EQ(out[1].r, 0);
    EXPECT_EQ(out[1].b, 248);
    EXPECT_EQ(out[2].r, 9) << "nothing past count";
    pixels_to_rgb_triples(row, out, -1);
    EXPECT_EQ(out[0].r, 248);
}

const rgb8 fog{160, 160, 170};
const rgb8 brick{200, 40, 40};

struct level_case {
    int level;
    uint16_t table565, shaded565, table555;
};

// Brick (200, 40, 40) toward the fog (160, 160, 170). In 565 the channels are (25, 10, 5) and
// the fog (20, 40, 21): level 0 is four times the colour, capped; level 7 is 1.375 times; level
// 9 is 23/24 colour + 1/24 fog (tables round, shade_color truncates); level 31 is 1/24 + 23/24.
const level_case brick_levels[] = {
    {0, 0xFD14, 0xFD14, 0x7E94},   // (31, 40, 20)
    {7, 0xF9C7, 0xF9C7, 0x7CE7},   // (31, 14, 7)
    {8, 0xC945, 0xC945, 0x64A5},   // the colour itself
    {9, 0xC966, 0xC165, 0x64C6},   // table (25, 11, 6), shaded (24, 11, 5)
    {31, 0xA4F4, 0xA4D4, 0x5274},  // table (20, 39, 20), shaded (20, 38, 20)
};

TEST_F(Colour, ShadeLevelsInTablesAndShadeColor) {
    uint16_t single[NUMBER_OF_PALETTES];
    build_color_shade_table(brick, single, NUMBER_OF_PALETTES, NORMAL_PALETTE, fog);
    const rgb8 palette[2] = {{0, 0, 0}, brick};
    uint16_t block[NUMBER_OF_PALETTES][2];
    uint16_t* tables[NUMBER_OF_PALETTES];
    for (int i = 0; i < NUMBER_OF_PALETTES; ++i) tables[i] = block[i];
    build_shade_tables(palette, 2, tables, NUMBER_OF_PALETTES, NORMAL_PALETTE, fog);
    for (const level_case& c : brick_levels) {
        SCOPED_TRACE(c.level);
        EXPECT_EQ(single[c.level], c.table565);
        EXPECT_EQ(block[c.level][1], c.table565);
        EXPECT_EQ(shade_color(c.level, 0xC945, fog), c.shaded565);
    }
    EXPECT_EQ(block[0][0], 0x0000) << "black stays black when brightened";
    EXPECT_EQ(block[31][0], 0x9CD4) << "black fades toward the fog: (19, 38, 20)";
}

TEST_F(Colour, ShadeLevelsIn555) {
    use_555();
    uint16_t single[NUMBER_OF_PALETTES];
    build_color_shade_table(brick, single, NUMBER_OF_PALETTES, NORMAL_PALETTE, fog);
    for (const level_case& c : brick_levels) EXPECT_EQ(single[c.level], c.table555) << c.level;
    EXPECT_EQ(shade_color(8, 0x64A5, fog), 0x64A5);
}

TEST_F(Colour, ShadeColorClampsTheLevel) {
    EXPECT_EQ(shade_color(-3, 0xC945, fog), 0xFD14);
    EXPECT_EQ(shade_color(32, 0xC945, fog), 0xA4D4);
    EXPECT_EQ(shade_color(1000000, 0xC945, fog), 0xA4D4);
}

TEST_F(Colour, IntensityToLevel) {
    const std::pair<double, double> cases[] = {
        {100, 8.5}, {0, 31.5}, {-20, 31.5}, {50, 20.0}, {400, 0.5}, {250, 4.5}, {1000, 0.0001},
    };
    for (const auto& [percent, level] : cases) {
        EXPECT_DOUBLE_EQ(light_intensity_to_shade(percent, NORMAL_PALETTE), level) << percent;
    }
    EXPECT_EQ(static_cast<int>(light_intensity_to_shade(100, NORMAL_PALETTE)), 8);
    EXPECT_EQ(static_cast<int>(light_intensity_to_shade(0, NORMAL_PALETTE)), 31);
    EXPECT_EQ(static_cast<int>(light_intensity_to_shade(400, NORMAL_PALETTE)), 0);
}

TEST_F(Colour, LevelToIntensity) {
    const std::pair<double, double> cases[] = {
        {8.5, 100}, {31.5, 0}, {40, 0}, {20, 50}, {0.5, 400}, {0.1, 400}, {4.5, 250},
    };
    for (const auto& [level, percent] : cases) {
        EXPECT_DOUBLE_EQ(convert_palette_index_to_light_intensity(level, NORMAL_PALETTE), percent) << level;
    }
    const int errors = engine_get_error_count();
    EXPECT_DOUBLE_EQ(convert_palette_index_to_light_intensity(31.5, 31), 100) << "no fading range";
    EXPECT_EQ(engine_get_error_count(), errors + 1);
}

TEST_F(Colour, LightDiminutionScale) {
    EXPECT_DOUBLE_EQ(light_diminution_to_internal(40), 0.0096);
    EXPECT_NEAR(light_diminution_from_internal(0.0096), 40, 1e-9);
}

TEST_F(Colour, VertexShadeAddsFogByDistanceAndStaysInRange) {
    EXPECT_DOUBLE_EQ(vertex_shade_level(3, 4, 0, 8, 2), 8 + 5 * 0.01 * 2);
    engine_state.brightness = -2;
    EXPECT_DOUBLE_EQ(vertex_shade_level(0, 0, 0, 8, 2), 6);
    EXPECT_DOUBLE_EQ(vertex_shade_level(0, 0, 0, -8, 2), 0.0001);
    EXPECT_DOUBLE_EQ(vertex_shade_level(1e6, 0, 0, 8, 2), 31.9999);
}

TEST_F(Colour, NearestPaletteIndexAndInverseTable) {
    const rgb8 palette[4] = {{0, 0, 0}, {248, 0, 0}, {248, 0, 0}, {0, 0, 248}};
    EXPECT_EQ(nearest_palette_index(palette, 4, 250, 10, 10), 1) << "the first of equals";
    EXPECT_EQ(nearest_palette_index(palette, 4, 0, 0, 200), 3);
    EXPECT_EQ(nearest_palette_index(palette, 0, 0, 0, 200), 0);
    std::vector<uint8_t> table(65536);
    build_inverse_palette(table.data(), palette, 4);
    EXPECT_EQ(table[0xF800], 1);
    EXPECT_EQ(table[0x001F], 3);
    EXPECT_EQ(table[0x0000], 0);
}

}  // namespace
