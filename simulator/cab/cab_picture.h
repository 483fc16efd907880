// The cab picture: JPEG files read and written through libjpeg.
#pragma once
#include <QImage>
#include <string>

// The largest side in pixels of a cab picture, and so of anything placed on it.
inline constexpr int kMaxCabSide = 4096;

// The decoded picture in 32-bit RGB; a null image, with *error set, for a missing or bad file.
QImage LoadJpegFile(const std::string& path, std::string* error);
// Writes the image as a baseline JPEG (temp file beside path, renamed over it).
bool SaveJpegFile(const std::string& path, const QImage& image, int quality, std::string* error);
