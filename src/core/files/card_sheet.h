// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/card_export.h"
#include "files/play_outputs.h"
#include "render/card_parts.h"

#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>

namespace orvane {

// A print-and-play sheet: every card at one printed size on A4 or Letter pages, blue and red
// side by side (or blue only), with cut lines: short marks outside each card's corners, lines
// the whole length of the page through every card edge, or none. With a back picture, each page
// of faces is followed by a page of backs laid out for long-edge duplex printing: mirrored left
// to right, so each back lands behind its face, then moved by the back offset to match a
// printer that does not print both sides in register. Bleed repeats each card's edge pixels
// outward, so a cut a little outside the line shows the card's own edge colour.
struct SheetLayout {
    SheetLayout() = default;
    SheetLayout(double printedMm, SheetSides faces, SheetPaper sheetPaper)
        : cardMm(printedMm), sides(faces), paper(sheetPaper)
    {
    }

    double cardMm = 25.0;
    SheetSides sides = SheetSides::Both;
    SheetPaper paper = SheetPaper::A4;
    QImage back;  // null: faces only
    SheetFinish finish;
};

inline constexpr double MinSheetCardMm = 5.0;
inline constexpr double MaxSheetCardMm = 150.0;
inline constexpr double MaxSheetBleedMm = 5.0;
inline constexpr double MaxBackOffsetMm = 20.0;

// Cards a page holds in this layout (0: a card does not fit on the paper).
int cardsPerSheetPage(const SheetLayout& layout);

// Where each face goes: its card, its colour and its place on the page in millimetres from the
// page's top left corner (the card itself, without bleed).
struct SheetFace {
    int card = 0;
    bool blue = true;
    QRectF placeMm;
};
using SheetPage = QList<SheetFace>;

// The face pages for `cards` cards (one empty page for none).
QList<SheetPage> planSheetPages(const SheetLayout& layout, int cards);

// The place of a face's back on the back page: mirrored about the page's upright middle line,
// then moved by the back offset.
QRectF backPlaceMm(const SheetLayout& layout, const QRectF& facePlaceMm);

// Writes the sheet as a PDF, whole or not at all. The card pictures are enlarged by whole
// pixels and embedded without loss or smoothing, so every card pixel prints as a sharp square.
bool writeCardSheet(const QString& path, const QList<RenderedCard>& cards,
                    const SheetLayout& layout, int* pages, QString* error);

}  // namespace orvane
