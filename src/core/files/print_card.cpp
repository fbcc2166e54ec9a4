#include "files/print_card.h"

#include "files/edge_pixels.h"
#include "files/pixel_enlarge.h"
#include "files/play_outputs.h"
#include "files/tabletop_sheet.h"

#include <QPainter>

#include <cmath>

namespace orvane {
namespace {

int pixelsOf(double mm, int dpi)
{
    return int(std::lround(mm / 25.4 * dpi));
}

// The enlarged face placed in the full picture, the rest filled by the profile's rule.
QImage surround(const QImage& enlarged, const PrintProfile& profile,
                const PrintCardGeometry& geometry)
{
    const QRect face = geometry.facePx;
    if (profile.fill == PrintFill::EdgePixels)
        return extendEdges(enlarged, QMargins(face.left(), face.top(),
                                              geometry.fullPx.width() - face.right() - 1,
                                              geometry.fullPx.height() - face.bottom() - 1));
    QImage full(geometry.fullPx, QImage::Format_RGB32);
    full.fill(profile.backColour);
    QPainter painter(&full);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(face.topLeft(), enlarged);
    return full;
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
    return surround(enlargeCard(face, profile.enlargement, geometry.scale), profile, geometry);
}

QImage composePrintBack(const QImage& back, const PrintProfile& profile,
                        const PrintCardGeometry& geometry)
{
    if (back.size() == QSize(CardSide, CardSide))
        return composePrintCard(back, profile, geometry);
    return surround(cardSquarePicture(back, geometry.facePx.width()), profile, geometry);
}

}  // namespace orvane
