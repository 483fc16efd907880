// JPEG files to 8-bit Windows bitmaps and back through libjpeg. Each conversion has its own error
// manager and jump buffer: libjpeg's fatal errors come back here as a failed conversion.
#include "render/images/jpeg_convert.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <jpeglib.h>

#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/memory.h"
#include "foundation/strings.h"
#include "platform/msgbox.h"
#include "platform/numbers.h"
#include "render/images/winbmp.h"

namespace {

constexpr int max_path_length = 1901;

struct jpeg_guard {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    uint8_t* image;             // the bitmap being made, freed when a jump comes back
    unsigned char* compressed;  // libjpeg's output buffer
};

void output_message(j_common_ptr info) {
    char text[JMSG_LENGTH_MAX > 200 ? JMSG_LENGTH_MAX : 200];
    (*info->err->format_message)(info, text);
    engine_log_printf("%s\n", text);
    plat_message_box("JPEG Error", text, PLAT_ICON_ERROR, PLAT_BUTTONS_OK);
}

[[noreturn]] void error_exit(j_common_ptr info) {
    (*info->err->output_message)(info);
    jpeg_destroy(info);
    std::longjmp(reinterpret_cast<jpeg_guard*>(info->err)->jump, 1);
}

void guard_init(jpeg_guard* guard) {
    jpeg_std_error(&guard->manager);
    guard->manager.error_exit = error_exit;
    guard->manager.output_message = output_message;
    guard->image = nullptr;
    guard->compressed = nullptr;
}

bool ends_with(const char* path, const char* suffix) {
    if (!path) return false;
    const int length = jstrlen(path);
    return length >= 3 && length <= max_path_length && jstricmp(path + length - 3, suffix) == 0;
}

std::string with_suffix(const char* path, const char* suffix) {
    std::string s = path;
    s.resize(s.size() - 3);
    return s + suffix;
}

// Fills the decoded image; a libjpeg failure jumps back to the caller's guard.
void decode(jpeg_decompress_struct* info, jpeg_guard* guard, const uint8_t* data, size_t size, int64_t max_pixels) {
    jpeg_create_decompress(info);
    jpeg_mem_src(info, data, static_cast<unsigned long>(size));
    jpeg_read_header(info, TRUE);
    const int64_t cap = max_pixels > 0 ? std::min(max_pixels, jpeg_max_pixels) : jpeg_max_pixels;
    if (static_cast<int64_t>(info->image_width) * info->image_height > cap) {
        const std::string text = plat_format(jpeg_texts::too_large, info->image_width, info->image_height,
                                             static_cast<long long>(cap));
        report_error(1, text.c_str());
        plat_message_box("JPEG Error", text.c_str(), PLAT_ICON_ERROR, PLAT_BUTTONS_OK);
        jpeg_destroy_decompress(info);
        return;
    }
    info->quantize_colors = TRUE;
    info->desired_number_of_colors = 256;
    info->do_fancy_upsampling = FALSE;
    jpeg_start_decompress(info);
    const int width = static_cast<int>(info->output_width), height = static_cast<int>(info->output_height);
    guard->image = winbmp_init_bitmap(width, height, 8);
    if (!guard->image) {
        jpeg_destroy_decompress(info);
        return;
    }
    const int colours = info->actual_number_of_colors;
    for (int i = 0; i < colours && i < 256; ++i) {
        const bool grey = info->out_color_components == 1;
        uint8_t* e = guard->image + 54 + 4 * i;
        e[2] = info->colormap[0][i];
        e[1] = info->colormap[grey ? 0 : 1][i];
        e[0] = info->colormap[grey ? 0 : 2][i];
    }
    const int stride = winbmp_get_bytes_per_row(guard->image);
    uint8_t* rows = guard->image + winbmp_get_data_offset(guard->image);
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = rows + static_cast<size_t>(height - 1 - static_cast<int>(info->output_scanline)) * stride;
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    jpeg_destroy_decompress(info);
}

void encode(jpeg_compress_struct* info, jpeg_guard* guard, const uint8_t* image, unsigned long* out_size) {
    jpeg_create_compress(info);
    jpeg_mem_dest(info, &guard->compressed, out_size);
    const int width = winbmp_get_width(image), height = winbmp_get_height(image);
    info->image_width = static_cast<JDIMENSION>(width);
    info->image_height = static_cast<JDIMENSION>(height);
    info->input_components = 3;
    info->in_color_space = JCS_RGB;
    jpeg_set_defaults(info);
    jpeg_set_quality(info, 75, TRUE);
    info->dct_method = JDCT_FLOAT;
    info->optimize_coding = TRUE;
    jpeg_start_compress(info, TRUE);
    guard->image = static_cast<uint8_t*>(engine_alloc(static_cast<size_t>(width) * 3));
    while (guard->image && info->next_scanline < info->image_height) {
        const int y = height - 1 - static_cast<int>(info->next_scanline);
        for (int x = 0; x < width; ++x) {
            int r, g, b;
            winbmp_get_pixel(image, x, y, &r, &g, &b);
            guard->image[3 * x] = static_cast<uint8_t>(r);
            guard->image[3 * x + 1] = static_cast<uint8_t>(g);
            guard->image[3 * x + 2] = static_cast<uint8_t>(b);
        }
        JSAMPROW row = guard->image;
        jpeg_write_scanlines(info, &row, 1);
    }
    if (guard->image) jpeg_finish_compress(info);
    jpeg_destroy_compress(info);
}

}  // namespace

uint8_t* jpeg_to_winbmp(const uint8_t* data, size_t size, int64_t max_pixels) {
    if (!data || size == 0) return nullptr;
    jpeg_decompress_struct info;
    jpeg_guard guard;
    guard_init(&guard);
    info.err = &guard.manager;
    if (setjmp(guard.jump)) {
        engine_free(guard.image);
        return nullptr;
    }
    decode(&info, &guard, data, size, max_pixels);
    return guard.image;
}

int winbmp_to_jpeg(const uint8_t* image, std::vector<uint8_t>* out) {
    const int bits = winbmp_get_bits_per_pixel(image);
    if (!out || (bits != 8 && bits != 24)) return -1;
    jpeg_compress_struct info;
    jpeg_guard guard;
    guard_init(&guard);
    info.err = &guard.manager;
    unsigned long size = 0;
    if (setjmp(guard.jump)) {
        engine_free(guard.image);
        std::free(guard.compressed);
        return -1;
    }
    encode(&info, &guard, image, &size);
    const bool done = guard.image && guard.compressed;
    if (done) out->assign(guard.compressed, guard.compressed + size);
    engine_free(guard.image);
    std::free(guard.compressed);
    return done ? 0 : -1;
}

int jpg2bmp(const char* path) {
    if (!ends_with(path, "jpg")) return -1;
    char* data = nullptr;
    int size = 0;
    if (file_to_memory(path, &data, &size) != 0) return -1;
    uint8_t* image = jpeg_to_winbmp(reinterpret_cast<const uint8_t*>(data), static_cast<size_t>(size), 0);
    engine_free(data);
    if (!image) return -1;
    const int result = winbmp_save_to_file(with_suffix(path, "bmp").c_str(), image);
    engine_free(image);
    return result;
}

int bmp2jpg(const char* path) {
    if (!ends_with(path, "bmp")) return -1;
    char* data = nullptr;
    int size = 0;
    if (file_to_memory(path, &data, &size) != 0) return -1;
    uint8_t* image = winbmp_from_memory(reinterpret_cast<const uint8_t*>(data), static_cast<size_t>(size), nullptr,
                                        nullptr);
    engine_free(data);
    std::vector<uint8_t> jpeg;
    const int encoded = image ? winbmp_to_jpeg(image, &jpeg) : -1;
    engine_free(image);
    if (encoded != 0) return -1;
    return mem2file(with_suffix(path, "jpg").c_str(), jpeg.data(), static_cast<int>(jpeg.size()));
}
