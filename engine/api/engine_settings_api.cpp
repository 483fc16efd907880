// Engine family: the rendering settings (brightness, fog, modes, perspective correction, colour
// accuracy of far objects, culling depth, z-buffer, automatic movement, speaker).
#include "api/engine_family.h"
#include "foundation/errors.h"
#include "render/engine_settings.h"
#include "world/engine_state.h"

namespace {

constexpr int wire_frame_mode = 3;
constexpr int colour_fill_mode = 4;

// The world guard, then the setting's change; -1 without a world.
template <typename Change>
int guarded(const char* export_name, Change&& change) {
    engine_guard guard;
    const api_export_row& row = engine_row_of(export_name);
    if (!api_world_guard(row.check_name)) return api_refusal{row};
    change();
    return 0;
}

// The world guard, then the value read; the row's value without a world.
template <typename Read>
auto guarded_read(const char* export_name, Read&& read) -> decltype(read()) {
    engine_guard guard;
    const api_export_row& row = engine_row_of(export_name);
    if (!api_world_guard(row.check_name)) return api_refusal{row};
    return read();
}

void put_colour(int* r, int* g, int* b, int red, int green, int blue) {
    if (r) *r = red;
    if (g) *g = green;
    if (b) *b = blue;
}

}  // namespace

DROVIK_API int Drovik_engine_set_default_brightness() { return guarded(__func__, engine_set_default_brightness); }

DROVIK_API int Drovik_engine_increase_brightness() { return guarded(__func__, engine_increase_brightness); }

DROVIK_API int Drovik_engine_decrease_brightness() { return guarded(__func__, engine_decrease_brightness); }

DROVIK_API int Drovik_engine_set_brightness(int brightness) {
    return guarded(__func__, [brightness] { engine_set_brightness(brightness); });
}

DROVIK_API int Drovik_engine_get_brightness() {
    return guarded_read(__func__, [] { return -engine_state.brightness; });
}

DROVIK_API int Drovik_engine_set_default_atmospheric_effect_intensity() {
    return guarded(__func__, engine_set_default_atmospheric_effect_intensity);
}

DROVIK_API int Drovik_engine_increase_atmospheric_effect_intensity() {
    return guarded(__func__, engine_increase_atmospheric_effect_intensity);
}

DROVIK_API int Drovik_engine_decrease_atmospheric_effect_intensity() {
    return guarded(__func__, engine_decrease_atmospheric_effect_intensity);
}

DROVIK_API int Drovik_engine_set_atmospheric_effect_intensity(double intensity) {
    return guarded(__func__, [intensity] { engine_set_atmospheric_effect_intensity(intensity); });
}

DROVIK_API double Drovik_engine_get_atmospheric_effect_intensity() {
    return guarded_read(__func__, engine_get_atmospheric_effect_intensity);
}

DROVIK_API int Drovik_engine_set_atmospheric_effect(int r, int g, int b) {
    return guarded(__func__, [=] { engine_set_atmospheric_effect(r, g, b); });
}

DROVIK_API void Drovik_engine_get_atmospheric_effect(int* r, int* g, int* b) {
    engine_guard guard;
    put_colour(r, g, b, engine_state.atmosphere_red, engine_state.atmosphere_green, engine_state.atmosphere_blue);
}

DROVIK_API int Drovik_engine_toggle_atmospheric_effect() {
    return guarded(__func__, engine_toggle_atmospheric_effect);
}

DROVIK_API int Drovik_engine_set_background_color(int r, int g, int b) {
    return guarded(__func__, [=] { engine_set_background_color(r, g, b); });
}

DROVIK_API void Drovik_engine_get_background_color(int* r, int* g, int* b) {
    engine_guard guard;
    put_colour(r, g, b, engine_state.background_red, engine_state.background_green, engine_state.background_blue);
}

DROVIK_API int Drovik_engine_set_normal_rendering_mode() {
    return guarded(__func__, engine_set_normal_rendering_mode);
}

DROVIK_API int Drovik_engine_set_color_fill_rendering_mode() {
    return guarded(__func__, [] { engine_state.rendering_mode = colour_fill_mode; });
}

DROVIK_API int Drovik_engine_set_wire_frame_rendering_mode() {
    return guarded(__func__, [] { engine_state.rendering_mode = wire_frame_mode; });
}

DROVIK_API int Drovik_engine_toggle_rendering_mode() { return guarded_read(__func__, engine_toggle_rendering_mode); }

DROVIK_API int Drovik_engine_toggle_wire_frame_flag() { return guarded_read(__func__, engine_toggle_wire_frame_flag); }

DROVIK_API int Drovik_engine_toggle_automatic_perspective_correction() {
    return guarded_read(__func__, engine_toggle_automatic_perspective_correction);
}

DROVIK_API int Drovik_engine_toggle_perspective_correction_accuracy() {
    return guarded_read(__func__, engine_toggle_perspective_correction_accuracy);
}

DROVIK_API void Drovik_engine_set_perspective_correction_accuracy(double accuracy) {
    engine_guard guard;
    engine_set_perspective_correction_accuracy(accuracy);
}

DROVIK_API double Drovik_engine_get_perspective_correction_accuracy() {
    engine_guard guard;
    return engine_state.perspective_accuracy;
}

DROVIK_API int Drovik_engine_set_default_far_objects_color_accuracy() {
    return guarded(__func__, engine_set_default_far_objects_color_accuracy);
}

DROVIK_API int Drovik_engine_increase_far_objects_color_accuracy() {
    return guarded(__func__, engine_increase_far_objects_color_accuracy);
}

DROVIK_API int Drovik_engine_decrease_far_objects_color_accuracy() {
    return guarded(__func__, engine_decrease_far_objects_color_accuracy);
}

DROVIK_API int Drovik_engine_set_far_objects_color_accuracy(int accuracy) {
    return guarded_read(__func__, [accuracy] {
        engine_set_far_objects_color_accuracy(accuracy);
        return accuracy;
    });
}

DROVIK_API int Drovik_engine_get_far_objects_color_accuracy() {
    return guarded_read(__func__, [] { return engine_state.far_objects_accuracy; });
}

DROVIK_API int Drovik_engine_set_default_culling_depth() { return guarded(__func__, engine_set_default_culling_depth); }

DROVIK_API int Drovik_engine_increase_culling_depth() { return guarded(__func__, engine_increase_culling_depth); }

DROVIK_API int Drovik_engine_decrease_culling_depth() { return guarded(__func__, engine_decrease_culling_depth); }

DROVIK_API int Drovik_engine_set_culling_depth(int depth) {
    return guarded(__func__, [depth] { engine_set_culling_depth(depth); });
}

DROVIK_API int Drovik_engine_get_culling_depth() {
    return guarded_read(__func__, [] { return engine_state.culling_depth; });
}

DROVIK_API int Drovik_engine_use_zbuffer(int on) {
    engine_guard guard;
    return engine_use_zbuffer(on);
}

DROVIK_API int Drovik_engine_is_zbuffer() {
    return guarded_read(__func__, [] { return engine_state.zbuffer_state == 1 ? 1 : 0; });
}

DROVIK_API int Drovik_engine_advance_objects_automatically(int flag) {
    engine_guard guard;
    const api_export_row& row = engine_row_of(__func__);
    if (!api_world_guard(row.check_name)) return api_refusal{row};
    if (!api_viewer_only_guard(row.check_name, engine_state.editor_mode)) return api_refusal{row};
    engine_state.advance_objects = flag;
    return 0;
}

DROVIK_API void Drovik_engine_advance_cameras_automatically(int flag) {
    engine_guard guard;
    engine_state.advance_cameras = flag;
}

DROVIK_API int Drovik_engine_set_speaker_mode(int flag) {
    return guarded(__func__, [flag] { engine_set_speaker_mode(flag); });
}
