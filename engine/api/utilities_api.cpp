// Utilities and profiler families: pictures on windows and surfaces, bitmap and JPEG files,
// whole-file reads, format conversion, the test exports that show what a caller passed, and
// timing of numbered chunks.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "api/export_guards.h"
#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/memory.h"
#include "foundation/profiler.h"
#include "foundation/strings.h"
#include "platform/memory_probe.h"
#include "platform/msgbox.h"
#include "platform/numbers.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "render/images/genwin.h"
#include "render/images/jpeg_convert.h"
#include "render/images/winbmp.h"
#include "world/colour.h"

namespace utilities_texts {
inline constexpr const char* resample_params = "Drovik_utilities_resample_bitmap: bad params\n";
inline constexpr const char* resample_missing = "Drovik_utilities_resample_bitmap: couldnt fined file\n";
inline constexpr const char* resample_failed = "Drovik_utilities_resample_bitmap: faild resampling\n";
inline constexpr const char* address_line = "given memory address = %ld\n";
inline constexpr const char* pointers_line = "ptr1 = %p   ptr2=%p\n";
inline constexpr const char* value = "%d ";
inline constexpr const char* lpcstr_caption = "Drovik_utilities_test_LPCSTR";
inline constexpr const char* test_string = "Testing string transfer";
inline constexpr size_t shown_bytes = 1000;
inline constexpr const char* picture_no_name = "Drovik_utilities_load_bitmap_from_file: no file name\n";
inline constexpr const char* picture_unreadable = "Drovik_utilities_load_bitmap_from_file: cant read %s\n";
inline constexpr const char* picture_not_jpeg =
    "Drovik_utilities_load_bitmap_from_file: %s is not a JPEG picture that can be read\n";
inline constexpr const char* picture_unsupported =
    "Drovik_utilities_load_bitmap_from_file: %s is not an 8 or 24 bits per pixel bitmap without compression (it has "
    "%s)\n";
inline constexpr const char* picture_truncated = "Drovik_utilities_load_bitmap_from_file: %s is truncated\n";
inline constexpr const char* picture_not_bmp = "Drovik_utilities_load_bitmap_from_file: %s is not a Windows bitmap\n";
inline constexpr const char* picture_no_surface =
    "Drovik_utilities_load_bitmap_from_file: no memory for the picture of %s\n";
}  // namespace utilities_texts

namespace {

namespace texts = utilities_texts;

// A copy of the surface record when the handle and its rows can be read.
bool readable_surface(const void* handle, plat_surface& out) {
    if (!plat_copy_readable_memory(&out, handle, sizeof out)) return false;
    if (out.width <= 0 || out.height <= 0 || out.pitch_pixels < out.width || !out.bits) return false;
    const size_t last_row = static_cast<size_t>(out.height - 1) * static_cast<size_t>(out.pitch_pixels);
    uint16_t probe[1];
    return plat_copy_readable_memory(probe, out.bits, sizeof probe) &&
           plat_copy_readable_memory(probe, out.bits + last_row + static_cast<size_t>(out.width) - 1, sizeof probe);
}

// The 24-bit file image of a 16-bit surface, rows unpacked with the current pixel format.
uint8_t* image_of_surface(const plat_surface& s) {
    uint8_t* image = winbmp_init_bitmap(s.width, s.height, 24);
    for (int y = 0; image && y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            int r, g, b;
            pixel_to_rgb(s.bits[y * s.pitch_pixels + x], &r, &g, &b);
            winbmp_set_pixel(image, x, s.height - 1 - y, r, g, b);
        }
    }
    return image;
}

bool ends_with_jpg(const std::string& name) {
    return name.size() >= 4 && jstricmp(name.substr(name.size() - 3).c_str(), "jpg") == 0;
}

// The reason a file gives no picture, in the engine log and error.log.
void refuse_picture(const std::string& text) { report_error(1, text.c_str()); }

// A picture file decoded in memory, a JPEG or a BMP by its name: no file beside it is made,
// replaced or removed. NULL after a report of the reason.
plat_surface* load_picture_file(const char* file_name) {
    char* data = nullptr;
    int size = 0;
    if (file_to_memory(file_name, &data, &size) != 0) {
        refuse_picture(plat_format(texts::picture_unreadable, file_name));
        return nullptr;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(data);
    uint8_t* image = nullptr;
    if (ends_with_jpg(file_name)) {
        image = jpeg_to_winbmp(bytes, static_cast<size_t>(size), 0);
        if (!image) refuse_picture(plat_format(texts::picture_not_jpeg, file_name));
    } else {
        winbmp_status status = winbmp_status::unreadable;
        image = winbmp_from_memory(bytes, static_cast<size_t>(size), &status, nullptr);
        if (status == winbmp_status::unsupported) {
            refuse_picture(plat_format(texts::picture_unsupported, file_name,
                                       winbmp_describe_form(bytes, static_cast<size_t>(size)).c_str()));
        } else if (status == winbmp_status::truncated) {
            refuse_picture(plat_format(texts::picture_truncated, file_name));
        } else if (!image) {
            refuse_picture(plat_format(texts::picture_not_bmp, file_name));
        }
    }
    engine_free(data);
    plat_surface* s = image ? genwin_surface_from_image(image) : nullptr;
    if (image && !s) refuse_picture(plat_format(texts::picture_no_surface, file_name));
    engine_free(image);
    return s;
}

// The box of a 32-bit value at an address that may not be readable.
std::string values_text(std::string text, const void* const* addresses, int count) {
    for (int i = 0; i < count; ++i) {
        int32_t v = 0;
        if (!plat_copy_readable_memory(&v, addresses[i], sizeof v)) return text;
    }
    for (int i = 0; i < count; ++i) {
        int32_t v = 0;
        plat_copy_readable_memory(&v, addresses[i], sizeof v);
        text += plat_format(texts::value, v);
    }
    return text;
}

}  // namespace

DROVIK_API int Drovik_utilities_paste_resource_bitmap(DROVIK_WINDOW window, int resource_id, int margin) {
    engine_guard guard;
    return j_paste_bitmap(window, resource_id, margin);
}

DROVIK_API int Drovik_utilities_paste_bitmap(DROVIK_WINDOW window, DROVIK_SURFACE bitmap, int margin) {
    engine_guard guard;
    plat_surface s;
    if (!plat_is_window(window) || !readable_surface(bitmap, s)) return 0;
    return genwin_paste_bitmap(window, bitmap, margin) == 0 ? 1 : 0;
}

DROVIK_API int Drovik_utilities_copy_bitmap_on_dc(DROVIK_SURFACE dc, DROVIK_SURFACE bitmap, int x, int y, int width,
                                                  int height) {
    engine_guard guard;
    plat_surface s, target;
    if (!readable_surface(bitmap, s) || (!plat_is_window(dc) && !readable_surface(dc, target))) return 0;
    return genwin_copy_bitmap_on_dc(dc, bitmap, x, y, width, height) == 0 ? 1 : 0;
}

DROVIK_API DROVIK_SURFACE Drovik_utilities_load_bitmap_from_file(const char* file_name) {
    engine_guard guard;
    if (!file_name) {
        report_error(1, texts::picture_no_name);
        return nullptr;
    }
    return load_picture_file(file_name);
}

DROVIK_API int Drovik_utilities_save_bitmap(DROVIK_SURFACE bitmap, const char* file_name) {
    engine_guard guard;
    plat_surface s;
    if (!file_name || !readable_surface(bitmap, s)) return -1;
    uint8_t* image = image_of_surface(s);
    const int result = image ? winbmp_save_to_file(file_name, image) : -1;
    engine_free(image);
    return result == 0 ? 0 : -1;
}

DROVIK_API int Drovik_utilities_jpg2bmp(const char* file_name) {
    engine_guard guard;
    return jpg2bmp(file_name) == 0 ? 0 : -1;
}

DROVIK_API int Drovik_utilities_bmp2jpg(const char* file_name) {
    engine_guard guard;
    return bmp2jpg(file_name) == 0 ? 0 : -1;
}

DROVIK_API int Drovik_utilities_resample_bitmap(const char* source, const char* destination, int width, int height) {
    engine_guard guard;
    if (!source || !destination || width <= 0 || height <= 0) {
        warning_box(texts::resample_params);
        return -1;
    }
    char* data = nullptr;
    int size = 0;
    if (file_to_memory(source, &data, &size) != 0) {
        warning_box(texts::resample_missing);
        return -1;
    }
    uint8_t* image = winbmp_from_memory(reinterpret_cast<const uint8_t*>(data), static_cast<size_t>(size), nullptr,
                                        nullptr);
    engine_free(data);
    uint8_t* resampled = image ? winbmp_create_resampled(image, width, height) : nullptr;
    engine_free(image);
    const int result = resampled ? winbmp_save_to_file(destination, resampled) : -1;
    engine_free(resampled);
    if (result != 0) {
        warning_box(texts::resample_failed);
        return -1;
    }
    return 0;
}

DROVIK_API int Drovik_utilities_convert_3d_formats(const char* world_file, const char* world_folder,
                                                   const char* bitmap_folder, const char* output_file, int save_flags) {
    engine_guard guard;
    if (Drovik_engine_load_world(world_file, world_folder, bitmap_folder, 0) != 0) return -1;
    return Drovik_engine_save(output_file, nullptr, save_flags) == 0 ? 0 : -1;
}

DROVIK_API void Drovik_utilities_rgb16_to_rgb24(unsigned short pixel, unsigned char* red, unsigned char* green,
                                                unsigned char* blue) {
    engine_guard guard;
    int r, g, b;
    pixel_to_rgb(pixel, &r, &g, &b);
    if (red) *red = static_cast<unsigned char>(r);
    if (green) *green = static_cast<unsigned char>(g);
    if (blue) *blue = static_cast<unsigned char>(b);
}

DROVIK_API char* Drovik_utilities_file_to_memory(const char* file_name, int* size) {
    engine_guard guard;
    char* data = nullptr;
    int length = 0;
    if (file_to_memory(file_name, &data, &length) != 0) return nullptr;
    if (size) *size = length;
    return data;
}

DROVIK_API void Drovik_utilities_free_file_memory(char* buffer) {
    engine_guard guard;
    engine_free(buffer);
}

DROVIK_API int Drovik_utilities_is_windows98(void) {
    engine_guard guard;
    return genwin_is_windows98();
}

DROVIK_API void Drovik_utilities_test_address(const void* address, int length) {
    engine_guard guard;
    std::string text = plat_format(texts::address_line, static_cast<long>(reinterpret_cast<intptr_t>(address)));
    const size_t count = std::min(static_cast<size_t>(std::max(length, 0)), texts::shown_bytes);
    std::vector<unsigned char> bytes(count);
    if (plat_copy_readable_memory(bytes.data(), address, count)) {
        for (const unsigned char b : bytes) text += plat_format(texts::value, b);
    }
    warning_box(text.c_str());
}

DROVIK_API void Drovik_utilities_test_PDWORD(const int* address) {
    engine_guard guard;
    const void* addresses[] = {address};
    const std::string line = plat_format(texts::address_line, static_cast<long>(reinterpret_cast<intptr_t>(address)));
    warning_box(values_text(line, addresses, 1).c_str());
}

DROVIK_API void Drovik_utilities_test_2PDWORD(const int* address1, const int* address2) {
    engine_guard guard;
    const void* addresses[] = {address1, address2};
    const std::string line =
        plat_format(texts::pointers_line, static_cast<const void*>(address1), static_cast<const void*>(address2));
    warning_box(values_text(line, addresses, 2).c_str());
}

DROVIK_API void Drovik_utilities_test_LPSTR(char* text) {
    engine_guard guard;
    warning_box(text ? text : "");
}

DROVIK_API void Drovik_utilities_test_LPCSTR(const char* text) {
    engine_guard guard;
    plat_message_box(texts::lpcstr_caption, text ? text : "", PLAT_ICON_NONE, PLAT_BUTTONS_OK);
}

DROVIK_API const char* Drovik_utilities_test_string(void) {
    engine_guard guard;
    return texts::test_string;
}

DROVIK_API int Drovik_profiler_start_measuring(int chunk, const char* name) {
    engine_guard guard;
    return start_measuring(chunk, name);
}

DROVIK_API int Drovik_profiler_end_measuring(int chunk) {
    engine_guard guard;
    return static_cast<int>(end_measuring(chunk));
}
