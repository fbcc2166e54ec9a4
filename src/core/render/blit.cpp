// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/blit.h"

#include <algorithm>
#include <cstdint>

namespace orvane {
namespace {

bool isRgb32(const QImage& image)
{
    return image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
}

struct Span {
    int dstX, dstY, srcX, srcY, width, height;
};

// Clips the rectangle against both pictures; returns false when nothing is left to draw.
bool clip(const QImage& dst, int x, int y, int width, int height, const QImage& src, int sourceX,
          int sourceY, Span& out)
{
    // 64-bit so that extreme 32-bit positions cannot overflow while clipping.
    std::int64_t left = 0, top = 0, right = width, bottom = height;
    left = std::max({left, -std::int64_t{x}, -std::int64_t{sourceX}});
    top = std::max({top, -std::int64_t{y}, -std::int64_t{sourceY}});
    right = std::min({right, std::int64_t{dst.width()} - x, std::int64_t{src.width()} - sourceX});
    bottom =
        std::min({bottom, std::int64_t{dst.height()} - y, std::int64_t{src.height()} - sourceY});
    if (left >= right || top >= bottom)
        return false;
    out = {int(x + left),      int(y + top),      int(sourceX + left),
           int(sourceY + top), int(right - left), int(bottom - top)};
    return true;
}

}  // namespace

bool BlitTransparent(QImage* destination, int x, int y, int width, int height, const QImage* source,
                     int sourceX, int sourceY)
{
    if (!destination || !source || destination->isNull() || source->isNull())
        return false;
    if (width <= 0 || height <= 0)
        return true;
    if (!isRgb32(*destination))
        return false;
    // A source in another pixel format is read through a temporary copy that dies with the call.
    const QImage converted =
        isRgb32(*source) ? QImage() : source->convertToFormat(QImage::Format_RGB32);
    const QImage& src = converted.isNull() ? *source : converted;

    Span s{};
    if (!clip(*destination, x, y, width, height, src, sourceX, sourceY, s))
        return true;
    // The rows are found once (scanLine checks for sharing on every call), and each pixel is
    // chosen without a branch, which the compiler turns into vector code.
    const uchar* srcBits = src.constBits();
    const qsizetype srcStride = src.bytesPerLine();
    uchar* dstBits = destination->bits();
    const qsizetype dstStride = destination->bytesPerLine();
    for (int j = 0; j < s.height; ++j) {
        const QRgb* __restrict in =
            reinterpret_cast<const QRgb*>(srcBits + (s.srcY + j) * srcStride) + s.srcX;
        QRgb* __restrict out = reinterpret_cast<QRgb*>(dstBits + (s.dstY + j) * dstStride) + s.dstX;
        for (int i = 0; i < s.width; ++i) {
            const QRgb pixel = in[i];
            out[i] = (pixel & 0x00FFFFFFu) != 0 ? pixel | 0xFF000000u : out[i];
        }
    }
    return true;
}

void blitOpaque(QImage& destination, int x, int y, const QImage& source)
{
    if (destination.isNull() || source.isNull() || !isRgb32(destination))
        return;
    const QImage converted =
        isRgb32(source) ? QImage() : source.convertToFormat(QImage::Format_RGB32);
    const QImage& src = converted.isNull() ? source : converted;
    Span s{};
    if (!clip(destination, x, y, src.width(), src.height(), src, 0, 0, s))
        return;
    for (int j = 0; j < s.height; ++j) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(s.srcY + j)) + s.srcX;
        auto* out = reinterpret_cast<QRgb*>(destination.scanLine(s.dstY + j)) + s.dstX;
        std::copy(in, in + s.width, out);
    }
}

}  // namespace orvane
