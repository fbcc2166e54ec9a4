// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <vector>

namespace imageutils {

struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // top-down rows, 3 bytes a pixel
};

// Decodes an uncompressed BMP (1-, 4- or 8-bit paletted, 24-bit or 32-bit; bottom-up or top-down)
// held in memory. Every size in the header is checked against the bytes actually there before
// anything is allocated. Returns ImageUtilsOk or a negative ImageUtils code.
int decodeBmp(const unsigned char* data, std::size_t size, int maxSide, Bitmap& out);

}  // namespace imageutils
