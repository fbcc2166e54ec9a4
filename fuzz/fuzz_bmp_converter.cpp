// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the converter's BMP reader and JPEG encoder on arbitrary bytes.
#include "bmp_header.h"
#include "imageutils.h"
#include "jpeg_encoder.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    imageutils::Bitmap bitmap;
    const int result = imageutils::decodeBmp(data, size, 1024, bitmap);
    if (result != ImageUtilsOk)
        return 0;
    if (bitmap.rgb.size() != size_t(bitmap.width) * size_t(bitmap.height) * 3)
        std::abort();
    std::vector<unsigned char> jpeg;
    if (!imageutils::encodeJpeg(bitmap, {}, jpeg) || jpeg.size() < 4)
        std::abort();
    return 0;
}
