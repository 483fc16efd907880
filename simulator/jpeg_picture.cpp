// JPEG pictures (screens, cab pictures) decoded with libjpeg into Qt images.
#include "jpeg_picture.h"

#include <csetjmp>
#include <cstdio>
// libjpeg's header needs size_t and FILE declared first.
#include <jpeglib.h>

#include "platform/paths.h"

namespace {

// Pictures larger than this are refused rather than allocated.
constexpr JDIMENSION kMaxSide = 16384;

struct TJpegError {
    jpeg_error_mgr manager;
    std::jmp_buf escape;
    char message[JMSG_LENGTH_MAX];
};

// libjpeg's fatal errors return here instead of ending the program.
void ErrorExit(j_common_ptr info)
{
    auto* error = reinterpret_cast<TJpegError*>(info->err);
    (*info->err->format_message)(info, error->message);
    std::longjmp(error->escape, 1);
}

void QuietOutput(j_common_ptr) {}

// Decodes into image, which is allocated once the size is known. Only objects without
// destructors live between setjmp and a jump back to it. Returns "" or the error.
const char* Decode(std::FILE* file, QImage* image, TJpegError* error)
{
    jpeg_decompress_struct info;
    info.err = jpeg_std_error(&error->manager);
    error->manager.error_exit = ErrorExit;
    error->manager.output_message = QuietOutput;
    error->message[0] = '\0';
    if (setjmp(error->escape)) {
        jpeg_destroy_decompress(&info);
        return error->message;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_width > kMaxSide || info.output_height > kMaxSide ||
        info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return "the picture is too large";
    }
    *image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    if (image->isNull()) {
        jpeg_destroy_decompress(&info);
        return "not enough memory for the picture";
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image->scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return "";
}

}  // namespace

QImage LoadJpegPicture(const std::string& path, std::string* error)
{
    std::FILE* file = plat_fopen(path, "rb");
    if (!file) {
        if (error)
            *error = "The picture " + path + " was not found.";
        return {};
    }
    QImage image;
    TJpegError jpegError;
    const std::string failure = Decode(file, &image, &jpegError);
    std::fclose(file);
    if (failure.empty())
        return image;
    if (error)
        *error = "The picture " + path + " cannot be read: " + failure + ".";
    return {};
}
