// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bmp_header.h"

#include <cstddef>
#include <vector>

namespace imageutils {

struct JpegSettings {
    int quality = 98;        // 1..100
    bool fullColour = true;  // 4:4:4; false halves the colour resolution both ways (4:2:0)
    bool fastDct = false;    // false: the accurate integer DCT
};

// Encodes top-down RGB rows (3 bytes a pixel, `stride` bytes from one row to the next) as a
// baseline JPEG with Huffman tables computed for this very picture (an extra pass over the
// coefficients: the same pixels in a smaller file). Returns false when the encoder fails; `jpeg`
// is then left empty.
bool encodeJpeg(const unsigned char* rgb, int width, int height, std::size_t stride,
                const JpegSettings& settings, std::vector<unsigned char>& jpeg);

inline bool encodeJpeg(const Bitmap& bitmap, const JpegSettings& settings,
                       std::vector<unsigned char>& jpeg)
{
    return encodeJpeg(bitmap.rgb.data(), bitmap.width, bitmap.height, std::size_t(bitmap.width) * 3,
                      settings, jpeg);
}

}  // namespace imageutils
