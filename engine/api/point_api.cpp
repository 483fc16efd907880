// Point family: reading and writing one polygon point's location, bitmap cords, colour and
// brightness.
#include "api/export_guards.h"
#include "world/colour.h"
#include "world/polygon_fill.h"

namespace {

// The name each export's checks print and its value when refused.
const api_export_row point_exports[] = {
    {"Drovik_point_get_next_point", "Drovik_point_get_next_point", 0},
    {"Drovik_point_get_xyz", "Drovik_point_get_xyz", 0},
    {"Drovik_point_set_xyz", "Drovik_point_set_xyz", 0},
    {"Drovik_point_get_bitmap_xy", "Drovik_point_get_bitmap_xy", 0},
    {"Drovik_point_set_bitmap_xy", "Drovik_point_set_bitmap_xy ", 0},
    {"Drovik_point_get_rgb", "Drovik_point_get_rgb", 0},
    {"Drovik_point_set_rgb", "Drovik_point_set_rgb", 0},
    {"Drovik_point_get_brightness", "Drovik_point_get_brightness", 0},
    {"Drovik_point_set_brightness", "Drovik_point_set_brightness", 0},
};

namespace texts {
inline constexpr const char* null_array = "got a NULL array\n";
}  // namespace texts

// Shade levels are counted from the brightest; the colour itself is level 8.
constexpr int normal_level = 8;

// The whole work of an export over one point: `work` on the checked point, or the row's failure
// value.
template <typename T, typename F>
T with_point(const char* export_name, DROVIK_HANDLE handle, F&& work) {
    engine_guard guard;
    const api_export_row& row = api_export_row_of(point_exports, export_name);
    if (!api_check_handle(handle, row.check_name, DROVIK_KIND_POINT)) return api_refusal{row};
    return work(static_cast<point*>(handle));
}

// The same for exports that read or fill a caller's array: a NULL array is reported and refused.
template <typename F>
int with_point_array(const char* export_name, DROVIK_HANDLE handle, const void* array, F&& work) {
    return with_point<int>(export_name, handle, [&](point* pt) {
        if (array) return work(pt);
        api_report(api_export_row_of(point_exports, export_name).check_name, texts::null_array);
        return -1;
    });
}

}  // namespace

DROVIK_API DROVIK_HANDLE Drovik_point_get_next_point(DROVIK_HANDLE point_handle) {
    return with_point<DROVIK_HANDLE>(__func__, point_handle, [](point* pt) { return pt->next; });
}

DROVIK_API int Drovik_point_get_xyz(DROVIK_HANDLE point_handle, double xyz[3]) {
    return with_point_array(__func__, point_handle, xyz, [xyz](point* pt) {
        xyz[0] = pt->x;
        xyz[1] = pt->y;
        xyz[2] = pt->z;
        return 0;
    });
}

DROVIK_API int Drovik_point_set_xyz(DROVIK_HANDLE point_handle, const double xyz[3]) {
    return with_point_array(__func__, point_handle, xyz, [xyz](point* pt) {
        pt->x = xyz[0];
        pt->y = xyz[1];
        pt->z = xyz[2];
        return 0;
    });
}

DROVIK_API int Drovik_point_get_bitmap_xy(DROVIK_HANDLE point_handle, double xy[2]) {
    return with_point_array(__func__, point_handle, xy, [xy](point* pt) {
        xy[0] = pt->bitmap_x;
        xy[1] = pt->bitmap_y;
        return 0;
    });
}

DROVIK_API int Drovik_point_set_bitmap_xy(DROVIK_HANDLE point_handle, DROVIK_HANDLE polygon_handle,
                                          const double xy[2]) {
    return with_point_array(__func__, point_handle, xy, [=](point* pt) {
        const api_export_row& row = api_export_row_of(point_exports, "Drovik_point_set_bitmap_xy");
        if (!api_check_handle(polygon_handle, row.check_name, DROVIK_KIND_POLYGON)) return 0;
        pt->bitmap_x = xy[0];
        pt->bitmap_y = xy[1];
        polygon_set_render_kind(static_cast<polygon*>(polygon_handle));
        return 0;
    });
}

DROVIK_API int Drovik_point_get_rgb(DROVIK_HANDLE point_handle, unsigned char rgb[3]) {
    return with_point_array(__func__, point_handle, rgb, [rgb](point* pt) {
        rgb[0] = pt->red;
        rgb[1] = pt->green;
        rgb[2] = pt->blue;
        return 0;
    });
}

DROVIK_API int Drovik_point_set_rgb(DROVIK_HANDLE point_handle, DROVIK_HANDLE, const unsigned char rgb[3]) {
    return with_point_array(__func__, point_handle, rgb, [rgb](point* pt) {
        pt->red = rgb[0];
        pt->green = rgb[1];
        pt->blue = rgb[2];
        return 0;
    });
}

DROVIK_API double Drovik_point_get_brightness(DROVIK_HANDLE point_handle) {
    return with_point<double>(__func__, point_handle, [](point* pt) {
        return convert_palette_index_to_light_intensity(pt->brightness, normal_level);
    });
}

DROVIK_API int Drovik_point_set_brightness(DROVIK_HANDLE point_handle, double intensity) {
    return with_point<int>(__func__, point_handle, [intensity](point* pt) {
        pt->brightness = light_intensity_to_shade(intensity, normal_level);
        return 0;
    });
}
