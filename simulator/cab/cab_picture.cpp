// The cab picture: JPEG files read and written through libjpeg.
#include "cab/cab_picture.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/paths.h"
#include "platform/safe_write.h"

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info)
{
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    info->err->format_message(info, manager->message);
    std::longjmp(manager->jump, 1);
}

// Warnings (level -1) of corrupt or missing data are errors here: libjpeg would fill the
// rest of the picture with grey. Its notes on the file's format version are not.
void OnEmit(j_common_ptr info, int level)
{
    const int code = info->err->msg_code;
    if (level < 0 && code != JWRN_JFIF_MAJOR && code != JWRN_ADOBE_XFORM)
        OnError(info);
}

// libjpeg's errors jump back to the caller's setjmp with their text; so do its warnings of
// corrupt data.
jpeg_error_mgr* UseErrors(ErrorManager& errors)
{
    jpeg_std_error(&errors.pub);
    errors.pub.error_exit = OnError;
    errors.pub.emit_message = OnEmit;
    return &errors.pub;
}

void CopyMessage(const ErrorManager& errors, char* message)
{
    std::strncpy(message, errors.message, JMSG_LENGTH_MAX - 1);
    message[JMSG_LENGTH_MAX - 1] = 0;
}

// Only plain data lives in this frame, so leaving it by longjmp skips no destructor.
bool Decode(const unsigned char* data, unsigned long size, unsigned char** pixels, int* width,
            int* height, char* message)
{
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = UseErrors(errors);
    *pixels = nullptr;
    if (setjmp(errors.jump)) {
        std::free(*pixels);
        *pixels = nullptr;
        CopyMessage(errors, message);
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    // Refused before libjpeg allocates anything for the picture's size.
    if (info.image_width > JDIMENSION(kMaxCabSide) || info.image_height > JDIMENSION(kMaxCabSide)) {
        std::snprintf(message, JMSG_LENGTH_MAX,
                      "the picture is %u x %u pixels, more than %d on a side", info.image_width,
                      info.image_height, kMaxCabSide);
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) {
        std::strcpy(message, "unsupported colour layout");
        jpeg_destroy_decompress(&info);
        return false;
    }
    const size_t stride = size_t(info.output_width) * 3;
    *pixels = static_cast<unsigned char*>(std::malloc(stride * info.output_height));
    if (!*pixels) {
        std::strcpy(message, "out of memory");
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = *pixels + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    *width = int(info.output_width);
    *height = int(info.output_height);
    jpeg_destroy_decompress(&info);
    return true;
}

bool Encode(const unsigned char* rgb, int width, int height, int quality, unsigned char** out,
            unsigned long* size, char* message)
{
    jpeg_compress_struct info;
    ErrorManager errors;
    info.err = UseErrors(errors);
    *out = nullptr;
    *size = 0;
    if (setjmp(errors.jump)) {
        CopyMessage(errors, message);
        jpeg_destroy_compress(&info);
        std::free(*out);
        *out = nullptr;
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(rgb) + size_t(width) * 3 * info.next_scanline;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

QImage LoadJpegFile(const std::string& path, std::string* error)
{
    const std::string found = plat_path_resolve(path);
    QFile file(QString::fromLocal8Bit(found.c_str()));
    if (found.empty() || !file.open(QIODevice::ReadOnly)) {
        *error = path + ": file not found";
        return {};
    }
    const QByteArray bytes = file.readAll();
    unsigned char* pixels = nullptr;
    int width = 0, height = 0;
    char message[JMSG_LENGTH_MAX] = {};
    if (!Decode(reinterpret_cast<const unsigned char*>(bytes.constData()),
                static_cast<unsigned long>(bytes.size()), &pixels, &width, &height, message)) {
        *error = path + ": " + message;
        return {};
    }
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const unsigned char* from = pixels + size_t(y) * size_t(width) * 3;
        auto* to = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            to[x] = qRgb(from[3 * x], from[3 * x + 1], from[3 * x + 2]);
    }
    std::free(pixels);
    return image;
}

bool SaveJpegFile(const std::string& path, const QImage& image, int quality, std::string* error)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    QByteArray packed;
    for (int y = 0; y < rgb.height(); ++y)
        packed.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    char message[JMSG_LENGTH_MAX] = {};
    if (rgb.isNull() || !Encode(reinterpret_cast<const unsigned char*>(packed.constData()),
                                rgb.width(), rgb.height(), quality, &out, &size, message)) {
        *error = path + ": " + (rgb.isNull() ? "no picture" : message);
        return false;
    }
    const plat_write_result written = plat_write_file(path, out, size);
    std::free(out);
    if (written != PLAT_WRITE_OK) {
        *error = path + ": cannot write the file";
        return false;
    }
    return true;
}
