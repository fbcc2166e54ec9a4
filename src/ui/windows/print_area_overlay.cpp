// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/print_area_overlay.h"

#include <QPainter>

using namespace orvane;

PrintAreaLines printAreaLines(const PrintCardGeometry& geometry, const QRectF& faceRect)
{
    // Printed pixels to the screen's units, the face's top left corner the common point.
    const QRect face = geometry.facePx;
    const double scaleX = face.width() > 0 ? faceRect.width() / face.width() : 0;
    const double scaleY = face.height() > 0 ? faceRect.height() / face.height() : 0;
    const auto shown = [&](const QRect& r) {
        return QRectF(faceRect.x() + (r.x() - face.x()) * scaleX,
                      faceRect.y() + (r.y() - face.y()) * scaleY, r.width() * scaleX,
                      r.height() * scaleY);
    };
    return {shown(QRect(QPoint(0, 0), geometry.fullPx)), shown(geometry.trimPx),
            shown(geometry.safePx)};
}

void drawPrintAreaLines(QPainter& painter, const PrintAreaLines& lines)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    const struct {
        QRectF rect;
        QColor colour;
        Qt::PenStyle style;
    } drawn[] = {
        {lines.bleed, QColor(40, 140, 255), Qt::DashLine},
        {lines.trim, QColor(255, 60, 60), Qt::SolidLine},
        {lines.safe, QColor(255, 220, 0), Qt::DashLine},
    };
    for (const auto& line : drawn) {
        // A line on the rect's edge, within it: the right and bottom edges at width - 1.
        const QRectF edge = line.rect.adjusted(0, 0, -1, -1);
        QPen under(QColor(0, 0, 0, 160), 0, Qt::SolidLine);
        under.setCosmetic(true);
        painter.setPen(under);
        painter.drawRect(edge);
        QPen over(line.colour, 0, line.style);
        over.setCosmetic(true);
        painter.setPen(over);
        painter.drawRect(edge);
    }
    painter.restore();
}
