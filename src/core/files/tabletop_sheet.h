// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

namespace orvane {

// Deck sheets for a virtual tabletop: a grid of at most 10 x 7 cards with no gaps, whose last
// slot holds the picture shown for a card in a player's hand, so a sheet holds 69 cards; a
// picture is at most 4096 pixels a side. The table accepts grids of 2 to 10 columns and 2 to 7
// rows.
inline constexpr int TabletopMaxColumns = 10;
inline constexpr int TabletopMaxRows = 7;
inline constexpr int TabletopCardsPerSheet = TabletopMaxColumns * TabletopMaxRows - 1;
inline constexpr int TabletopMaxSide = 4096;
inline constexpr int TabletopMaxScale = 16;
inline constexpr int CardSide = 62;

struct TabletopGrid {
    int columns = 0;
    int rows = 0;
    int cellCount() const { return columns * rows; }
    bool operator==(const TabletopGrid&) const = default;
};

// The cards on each sheet, in order: full sheets of 69, then the rest (none for no cards).
QList<int> tabletopSheetCounts(int cards);
// The grid of a sheet of `cards` cards and the hidden slot: two rows as wide as needed while
// they hold them, else rows of ten.
TabletopGrid tabletopGrid(int cards);
// The largest whole scale (at most 16) at which every sheet of `cards` cards stays within 4096
// pixels a side.
int largestTabletopScale(int cards);
bool tabletopScaleFits(int cards, int scale);

// One sheet: `faces` (at most 69) row by row from the top left, each 62 x 62 with every card
// pixel a scale x scale block, or already drawn at the scale (scale * 62 square); `hidden`
// (already scale * 62 square) in the grid's last slot, any other slot black. RGB, no gaps.
QImage composeTabletopSheet(const QList<QImage>& faces, const QImage& hidden, int scale);

// One deck of one colour, as the table's saved object: a custom deck per sheet (ids from
// `firstDeckId`), each card's id its deck's id x 100 + its index on the sheet, its name the
// card's nickname.
struct TabletopDeck {
    QString nickname;       // the deck object's name
    QStringList cardNames;  // in sheet order
    QStringList faceUrls;   // one per sheet
    QString backUrl;        // one back for every card
    int firstDeckId = 1;
};

QByteArray tabletopSavedObject(const TabletopDeck& deck);

}  // namespace orvane
