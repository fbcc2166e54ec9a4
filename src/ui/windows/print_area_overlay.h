// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/print_card.h"

#include <QRectF>

class QPainter;

// Where a print by a profile is cut and kept, over a card shown on screen: the bleed's outer
// edge, the trim (where the card is cut) and the safe margin inside it, in the units of
// `faceRect`, the place the 62 x 62 face is shown at. The bleed reaches beyond the face.
struct PrintAreaLines {
    QRectF bleed;
    QRectF trim;
    QRectF safe;
};
PrintAreaLines printAreaLines(const orvane::PrintCardGeometry& geometry, const QRectF& faceRect);

// Thin lines, one logical pixel wide whatever the zoom: the trim solid, the bleed and the safe
// margin dashed, each over a dark line so that it shows on any card.
void drawPrintAreaLines(QPainter& painter, const PrintAreaLines& lines);
