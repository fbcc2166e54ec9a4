// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/edge_pixels.h"

#include <algorithm>

namespace orvane {

QImage extendEdges(const QImage& picture, int border)
{
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    if (border <= 0 || source.isNull())
        return source;
    QImage out(source.width() + 2 * border, source.height() + 2 * border, QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        const int fromY = std::clamp(y - border, 0, source.height() - 1);
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(fromY));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        std::fill_n(line, border, in[0]);
        std::copy_n(in, source.width(), line + border);
        std::fill_n(line + border + source.width(), border, in[source.width() - 1]);
    }
    return out;
}

}  // namespace orvane
