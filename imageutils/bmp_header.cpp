// SPDX-License-Identifier: GPL-3.0-or-later
#include "bmp_header.h"

#include "imageutils.h"

#include <cstdint>
#include <cstdlib>

namespace imageutils {
namespace {

std::uint32_t u32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::uint16_t u16(const unsigned char* p)
{
    return std::uint16_t(p[0] | p[1] << 8);
}

constexpr std::uint32_t BiRgb = 0;
constexpr std::uint32_t BiBitfields = 3;

}  // namespace

int decodeBmp(const unsigned char* data, std::size_t size, int maxSide, Bitmap& out)
{
    if (size < 14 + 40 || data[0] != 'B' || data[1] != 'M')
        return ImageUtilsNotABitmap;
    const std::uint32_t pixelOffset = u32(data + 10);
    const std::uint32_t headerSize = u32(data + 14);
    if (headerSize < 40 || headerSize > 1024 || 14 + std::size_t(headerSize) > size)
        return ImageUtilsNotABitmap;
    const auto width = std::int32_t(u32(data + 18));
    const auto rawHeight = std::int32_t(u32(data + 22));
    const std::uint16_t bits = u16(data + 28);
    const std::uint32_t compression = u32(data + 30);
    std::uint32_t colours = u32(data + 46);

    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN)
        return ImageUtilsNotABitmap;
    const bool topDown = rawHeight < 0;
    const std::int64_t height = topDown ? -std::int64_t(rawHeight) : rawHeight;
    if (width > maxSide || height > maxSide)
        return ImageUtilsBitmapTooLarge;
    if (!(bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32))
        return ImageUtilsNotABitmap;
    if (!(compression == BiRgb || (compression == BiBitfields && bits == 32)))
        return ImageUtilsNotABitmap;

    const std::size_t stride = ((std::size_t(width) * bits + 31) / 32) * 4;
    if (pixelOffset > size || stride * std::size_t(height) > size - pixelOffset)
        return ImageUtilsNotABitmap;  // the header claims more pixels than the file holds

    const unsigned char* palette = data + 14 + headerSize;
    const bool paletted = bits <= 8;
    if (paletted) {
        if (colours == 0)
            colours = 1u << bits;
        if (colours > (1u << bits) || palette + std::size_t(colours) * 4 > data + pixelOffset)
            return ImageUtilsNotABitmap;
    }

    out.width = width;
    out.height = int(height);
    out.rgb.assign(std::size_t(width) * std::size_t(height) * 3, 0);
    for (std::int64_t row = 0; row < height; ++row) {
        const std::int64_t sourceRow = topDown ? row : height - 1 - row;
        const unsigned char* in = data + pixelOffset + stride * std::size_t(sourceRow);
        unsigned char* rgb = out.rgb.data() + std::size_t(row) * std::size_t(width) * 3;
        for (std::int32_t x = 0; x < width; ++x, rgb += 3) {
            if (paletted) {
                // Pixels are packed from the most significant bit of each byte.
                const std::size_t bit = std::size_t(x) * bits;
                const unsigned index = (in[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                if (index >= colours) {
                    rgb[0] = rgb[1] = rgb[2] = 0;
                    continue;
                }
                const unsigned char* entry = palette + std::size_t(index) * 4;
                rgb[0] = entry[2], rgb[1] = entry[1], rgb[2] = entry[0];
            } else {
                const unsigned char* px = in + std::size_t(x) * (bits / 8);
                rgb[0] = px[2], rgb[1] = px[1], rgb[2] = px[0];
            }
        }
    }
    return ImageUtilsOk;
}

}  // namespace imageutils
