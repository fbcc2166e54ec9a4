// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/print_card.h"

#include "files/pixel_enlarge.h"
#include "files/play_outputs.h"
#include "files/tabletop_sheet.h"
#include "render/part_scales.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace orvane {
namespace {

int pixelsOf(double mm, int dpi)
{
    return int(std::lround(mm / 25.4 * dpi));
}

// For each output place along one side, the source pixel it shows: the face's pixels in
// blocks of `block`, the edge pixel repeated beyond them (edge fill) or -1 (back colour).
std::vector<int> sourceIndexes(int outSide, int faceStart, int sourceSide, int block, bool edge)
{
    std::vector<int> indexes(static_cast<size_t>(outSide));
    for (int k = 0; k < outSide; ++k) {
        const int inFace = k - faceStart;
        const int source = inFace >= 0 ? inFace / block : -1;
        if (source >= 0 && source < sourceSide)
            indexes[size_t(k)] = source;
        else
            indexes[size_t(k)] = edge ? std::clamp(source, 0, sourceSide - 1) : -1;
    }
    return indexes;
}

// The (already rule-enlarged) face placed in the full picture in blocks of `block`, the rest
// filled by the profile's rule; written once, straight in the 8-bit RGB form the PNG and PDF
// writers take, each row either made or copied from the one above it.
QImage surround(const QImage& source, int block, const PrintProfile& profile,
                const PrintCardGeometry& geometry)
{
    const QImage face = source.convertToFormat(QImage::Format_RGB32);
    const bool edge = profile.fill == PrintFill::EdgePixels;
    const QRect place = geometry.facePx;
    const std::vector<int> columns =
        sourceIndexes(geometry.fullPx.width(), place.left(), face.width(), block, edge);
    const std::vector<int> rows =
        sourceIndexes(geometry.fullPx.height(), place.top(), face.height(), block, edge);
    QImage full(geometry.fullPx, QImage::Format_RGB888);
    const QRgb back = profile.backColour.rgb();
    const qsizetype rowBytes = qsizetype(full.width()) * 3;
    for (int y = 0; y < full.height(); ++y) {
        uchar* line = full.scanLine(y);
        if (y > 0 && rows[size_t(y)] == rows[size_t(y - 1)]) {
            std::memcpy(line, full.constScanLine(y - 1), size_t(rowBytes));
            continue;
        }
        const auto* in = rows[size_t(y)] >= 0
                             ? reinterpret_cast<const QRgb*>(face.constScanLine(rows[size_t(y)]))
                             : nullptr;
        for (int x = 0; x < full.width(); ++x) {
            const int from = columns[size_t(x)];
            const QRgb pixel = in && from >= 0 ? in[from] : back;
            line[3 * x] = uchar(qRed(pixel));
            line[3 * x + 1] = uchar(qGreen(pixel));
            line[3 * x + 2] = uchar(qBlue(pixel));
        }
    }
    return full;
}

int ruleStep(Enlargement enlargement, int scale)
{
    if (enlargement == Enlargement::Scale2x && scale % 2 == 0)
        return 2;
    if (enlargement == Enlargement::Scale3x && scale % 3 == 0)
        return 3;
    return 1;
}

}  // namespace

PrintCardGeometry printCardGeometry(const PrintProfile& profile)
{
    PrintCardGeometry g;
    const QSize trim(pixelsOf(profile.trimMm.width(), profile.dpi),
                     pixelsOf(profile.trimMm.height(), profile.dpi));
    // The whole picture is rounded once, so the trim lands on whole pixels and the bleed takes
    // what rounding leaves (37 and 38 pixels for 1/8 inch at 300 dpi).
    g.fullPx = QSize(pixelsOf(profile.trimMm.width() + 2 * profile.bleedMm, profile.dpi),
                     pixelsOf(profile.trimMm.height() + 2 * profile.bleedMm, profile.dpi));
    g.fullPx = g.fullPx.expandedTo(trim);
    g.trimPx = QRect(
        QPoint((g.fullPx.width() - trim.width()) / 2, (g.fullPx.height() - trim.height()) / 2),
        trim);
    g.scale = printScale(profile.enlargement, CardSide, std::min(trim.width(), trim.height()));
    const int side = CardSide * g.scale;
    g.facePx = QRect(g.trimPx.left() + (trim.width() - side) / 2,
                     g.trimPx.top() + (trim.height() - side) / 2, side, side);
    const int safe = pixelsOf(profile.safeMm, profile.dpi);
    g.safePx = g.trimPx.adjusted(safe, safe, -safe, -safe);
    return g;
}

QImage composePrintCard(const QImage& face, const PrintProfile& profile,
                        const PrintCardGeometry& geometry)
{
    // The rule makes the face 2 or 3 times larger; whole blocks do the rest.
    const int step = ruleStep(profile.enlargement, geometry.scale);
    return surround(enlargeCard(face, profile.enlargement, step), geometry.scale / step, profile,
                    geometry);
}

QImage composePrintFace(const RenderedCard& card, bool blue, const PrintProfile& profile,
                        const PrintCardGeometry& geometry)
{
    if (!drawsOtherPixelsAtScale(card) || geometry.scale <= 1 ||
        ruleStep(profile.enlargement, geometry.scale) > 1)
        return composePrintCard(blue ? card.blue : card.red, profile, geometry);
    const RenderedCard drawn = cardAtScale(card, geometry.scale);
    return surround(blue ? drawn.blue : drawn.red, 1, profile, geometry);
}

QImage composePrintBack(const QImage& back, const PrintProfile& profile,
                        const PrintCardGeometry& geometry)
{
    if (back.size() == QSize(CardSide, CardSide))
        return composePrintCard(back, profile, geometry);
    return surround(cardSquarePicture(back, geometry.facePx.width()), 1, profile, geometry);
}

}  // namespace orvane
