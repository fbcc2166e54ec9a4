#include "files/edge_pixels.h"

#include <algorithm>

namespace orvane {

QImage extendEdges(const QImage& picture, int border)
{
    return extendEdges(picture, QMargins(border, border, border, border));
}

QImage extendEdges(const QImage& picture, const QMargins& border)
{
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    const int left = std::max(0, border.left()), right = std::max(0, border.right());
    const int top = std::max(0, border.top()), bottom = std::max(0, border.bottom());
    if (left + right + top + bottom == 0 || source.isNull())
        return source;
    QImage out(source.width() + left + right, source.height() + top + bottom, QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        const int fromY = std::clamp(y - top, 0, source.height() - 1);
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(fromY));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        std::fill_n(line, left, in[0]);
        std::copy_n(in, source.width(), line + left);
        std::fill_n(line + left + source.width(), right, in[source.width() - 1]);
    }
    return out;
}

}  // namespace orvane
