// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/pixel_enlarge.h"

#include "files/card_export.h"

#include <algorithm>

namespace orvane {
namespace {

// The picture's pixel at (x, y), clamped to its edges.
class Pixels {
public:
    explicit Pixels(const QImage& picture) : m_image(picture.convertToFormat(QImage::Format_RGB32))
    {
    }
    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    QRgb at(int x, int y) const
    {
        x = std::clamp(x, 0, m_image.width() - 1);
        y = std::clamp(y, 0, m_image.height() - 1);
        return reinterpret_cast<const QRgb*>(m_image.constScanLine(y))[x];
    }

private:
    QImage m_image;
};

bool ruleApplies(Enlargement enlargement, int scale)
{
    return (enlargement == Enlargement::Scale2x && scale >= 2 && scale % 2 == 0) ||
           (enlargement == Enlargement::Scale3x && scale >= 3 && scale % 3 == 0);
}

}  // namespace

QImage scale2x(const QImage& picture)
{
    const Pixels in(picture);
    QImage out(in.width() * 2, in.height() * 2, QImage::Format_RGB32);
    for (int y = 0; y < in.height(); ++y) {
        auto* top = reinterpret_cast<QRgb*>(out.scanLine(2 * y));
        auto* bottom = reinterpret_cast<QRgb*>(out.scanLine(2 * y + 1));
        for (int x = 0; x < in.width(); ++x) {
            // B above, D left, F right, H below the centre E.
            const QRgb b = in.at(x, y - 1), d = in.at(x - 1, y), e = in.at(x, y);
            const QRgb f = in.at(x + 1, y), h = in.at(x, y + 1);
            QRgb e0 = e, e1 = e, e2 = e, e3 = e;
            if (b != h && d != f) {
                e0 = d == b ? d : e;
                e1 = b == f ? f : e;
                e2 = d == h ? d : e;
                e3 = h == f ? f : e;
            }
            top[2 * x] = e0;
            top[2 * x + 1] = e1;
            bottom[2 * x] = e2;
            bottom[2 * x + 1] = e3;
        }
    }
    return out;
}

QImage scale3x(const QImage& picture)
{
    const Pixels in(picture);
    QImage out(in.width() * 3, in.height() * 3, QImage::Format_RGB32);
    for (int y = 0; y < in.height(); ++y) {
        QRgb* rows[3];
        for (int k = 0; k < 3; ++k)
            rows[k] = reinterpret_cast<QRgb*>(out.scanLine(3 * y + k));
        for (int x = 0; x < in.width(); ++x) {
            // A B C / D E F / G H I around the centre E.
            const QRgb a = in.at(x - 1, y - 1), b = in.at(x, y - 1), c = in.at(x + 1, y - 1);
            const QRgb d = in.at(x - 1, y), e = in.at(x, y), f = in.at(x + 1, y);
            const QRgb g = in.at(x - 1, y + 1), h = in.at(x, y + 1), i = in.at(x + 1, y + 1);
            QRgb o[9] = {e, e, e, e, e, e, e, e, e};
            if (b != h && d != f) {
                o[0] = d == b ? d : e;
                o[1] = (d == b && e != c) || (b == f && e != a) ? b : e;
                o[2] = b == f ? f : e;
                o[3] = (d == b && e != g) || (d == h && e != a) ? d : e;
                o[5] = (b == f && e != i) || (h == f && e != c) ? f : e;
                o[6] = d == h ? d : e;
                o[7] = (d == h && e != i) || (h == f && e != g) ? h : e;
                o[8] = h == f ? f : e;
            }
            for (int k = 0; k < 9; ++k)
                rows[k / 3][3 * x + k % 3] = o[k];
        }
    }
    return out;
}

int printScale(Enlargement enlargement, int side, int room)
{
    const int most = side > 0 ? std::max(1, room / side) : 1;
    const int step = enlargement == Enlargement::Scale2x   ? 2
                     : enlargement == Enlargement::Scale3x ? 3
                                                           : 1;
    // A scale too small for the rule draws plain blocks.
    return most >= step ? most - most % step : most;
}

QImage enlargeCard(const QImage& card, Enlargement enlargement, int scale)
{
    if (!ruleApplies(enlargement, scale))
        return scaleCardPicture(card, std::max(1, scale));
    const int step = enlargement == Enlargement::Scale2x ? 2 : 3;
    const QImage smoothed = step == 2 ? scale2x(card) : scale3x(card);
    return scale == step ? smoothed : scaleCardPicture(smoothed, scale / step);
}

}  // namespace orvane
