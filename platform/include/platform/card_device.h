// The 3D card as a drawing device: pre-transformed vertices, render states, textures, an offscreen
// frame read back into a 16-bit surface. OpenGL over EGL, headless (Mesa's llvmpipe works).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct plat_surface;

// A pre-transformed, pre-lit corner: screen x, y, depth z in [0, 1], reciprocal of the eye depth,
// colours as 0xAARRGGBB (the specular alpha carries the vertex fog: 255 none, 0 all fog).
struct plat_card_vertex {
    float x, y, z, rhw;
    uint32_t diffuse;
    uint32_t specular;
    float tu, tv;
};

enum plat_card_state {
    PLAT_CARD_ALPHA_BLEND_ENABLE,
    PLAT_CARD_SRC_BLEND,
    PLAT_CARD_DEST_BLEND,
    PLAT_CARD_ALPHA_REF,
    PLAT_CARD_ALPHA_TEST_ENABLE,
    PLAT_CARD_ALPHA_FUNC,
    PLAT_CARD_Z_ENABLE,
    PLAT_CARD_Z_WRITE_ENABLE,
    PLAT_CARD_Z_FUNC,
    PLAT_CARD_TEXTURE_PERSPECTIVE,
    PLAT_CARD_FOG_TABLE_MODE,
    PLAT_CARD_FOG_TABLE_START,  // a float's bits
    PLAT_CARD_FOG_TABLE_END,    // a float's bits
    PLAT_CARD_FOG_COLOUR,       // 0x00RRGGBB
    PLAT_CARD_COLOUR_OP,
    PLAT_CARD_COLOUR_ARG1,
    PLAT_CARD_COLOUR_ARG2,
    PLAT_CARD_ALPHA_OP,
    PLAT_CARD_ALPHA_ARG1,
    PLAT_CARD_MIN_FILTER,
    PLAT_CARD_MAG_FILTER,
    PLAT_CARD_MIP_FILTER,
    PLAT_CARD_STAGE1_COLOUR_OP,
    PLAT_CARD_STATE_COUNT
};

// State values, numbered as the classic card interfaces number them.
namespace plat_card_value {
inline constexpr uint32_t blend_zero = 1, blend_one = 2, blend_src_colour = 3, blend_inv_src_colour = 4,
                          blend_dest_colour = 9, blend_inv_dest_colour = 10;
inline constexpr uint32_t compare_less = 2, compare_less_equal = 4, compare_greater_equal = 7;
inline constexpr uint32_t op_disable = 1, op_select_arg1 = 2, op_modulate = 4;
inline constexpr uint32_t arg_diffuse = 0, arg_texture = 2;
inline constexpr uint32_t filter_point = 1, filter_linear = 2;
inline constexpr uint32_t fog_none = 0, fog_linear = 3;
}  // namespace plat_card_value

struct plat_card_caps {
    std::string vendor, renderer, version;
    int depth_bits;
    int min_texture, max_texture;  // texture sides
    int max_aspect;                // 0: any
    bool square_only;
    bool dest_colour_blend, table_fog, vertex_fog, alpha_textures, linear_filter, multitexture;
};

// A device the card can draw with; `software` for Mesa's software renderers.
struct plat_card_device_info {
    std::string renderer;
    bool software;
};

// The devices found (probed once, hardware ones first); empty when OpenGL cannot start.
std::vector<plat_card_device_info> plat_card_devices();

// Opens device `index` with a width x height RGBA8 frame (and a 24-bit depth buffer when asked),
// closing one already open. Nothing stays current on the calling thread. False on failure.
bool plat_card_open(int index, int width, int height, bool depth);
void plat_card_close();
bool plat_card_is_open();
// Makes the device current on the calling thread / lets it go (the engine holds its lock between).
bool plat_card_acquire();
void plat_card_release();

plat_card_caps plat_card_read_caps();
void plat_card_set_state(plat_card_state state, uint32_t value);
// Clears the frame to 0xAARRGGBB (and the depth buffer to depth when asked).
void plat_card_clear(uint32_t colour, bool with_depth, float depth);
// 0 when it cannot be made; pixels are RGBA8 rows, top row first.
uint32_t plat_card_texture_create(int width, int height, const uint8_t* rgba);
void plat_card_texture_destroy(uint32_t texture);
void plat_card_set_texture(uint32_t texture);  // 0: none
// States, textures and fans are queued and drawn in order by runs: at the latest when the frame is
// cleared or read back, a texture is made or dropped, or the device is let go.
void plat_card_draw_fan(const plat_card_vertex* vertices, int count);
// Copies the frame into the 16-bit surface (RGB565, the frame's top row first), clipped to it.
bool plat_card_read_back(plat_surface* surface);
