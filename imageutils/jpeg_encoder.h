#pragma once

#include "bmp_header.h"

#include <vector>

namespace imageutils {

struct JpegSettings {
    int quality = 98;        // 1..100
    bool fullColour = true;  // 4:4:4; false halves the colour resolution both ways (4:2:0)
    bool fastDct = false;    // false: the accurate integer DCT
};

// Encodes `bitmap` as a baseline JPEG with Huffman tables computed for this very picture (an
// extra pass over the coefficients: the same pixels in a smaller file). Returns false when the
// encoder fails; `jpeg` is then left empty.
bool encodeJpeg(const Bitmap& bitmap, const JpegSettings& settings,
                std::vector<unsigned char>& jpeg);

}  // namespace imageutils
