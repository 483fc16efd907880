// JPEG pictures (screens, cab pictures) decoded with libjpeg into Qt images.
#pragma once
#include <QImage>
#include <string>

// Decodes the JPEG file at path (found as the platform's paths are). A missing, unreadable or
// damaged file gives a null image and error says why.
QImage LoadJpegPicture(const std::string& path, std::string* error = nullptr);
