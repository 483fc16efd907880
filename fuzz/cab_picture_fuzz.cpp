// libFuzzer target: the cab picture JPEG reader on arbitrary bytes.
#include <QImage>

#include <string>

#include "cab/cab_picture.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string error;
    const QImage image = LoadJpegFile(fuzz_input_file("cab.jpg", data, size), &error);
    if (image.isNull() == error.empty())
        std::abort();  // a picture without an error, or an error without a picture
    return 0;
}
