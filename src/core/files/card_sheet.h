#pragma once

#include "files/card_export.h"
#include "render/card_parts.h"

#include <QList>
#include <QString>

namespace orvane {

// A print-and-play sheet: every card at one printed size on A4 or Letter pages, blue and red
// side by side (or blue only), each card with cut marks on the lines around it.
struct SheetLayout {
    double cardMm = 25.0;
    SheetSides sides = SheetSides::Both;
    SheetPaper paper = SheetPaper::A4;
};

inline constexpr double MinSheetCardMm = 5.0;
inline constexpr double MaxSheetCardMm = 150.0;

// Cards a page holds in this layout (0: a card does not fit on the paper).
int cardsPerSheetPage(const SheetLayout& layout);

// Writes the sheet as a PDF, whole or not at all. The card pictures are enlarged by whole
// pixels and embedded without loss or smoothing, so every card pixel prints as a sharp square.
bool writeCardSheet(const QString& path, const QList<RenderedCard>& cards,
                    const SheetLayout& layout, int* pages, QString* error);

}  // namespace orvane
