// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card.h"

#include <QImage>
#include <QString>

#include <array>
#include <memory>
#include <optional>

namespace orvane {

// The 33 card-part pictures of one `gfx`-shaped folder, read once, plus the two clean bases
// (compiled in: the same pictures the editor starts its cards from).
struct CardParts {
    std::array<QImage, 4> frames;     // 0 Monster .. 3 Character
    std::array<QImage, 11> elements;  // by element index (8 None: the empty icon)
    QImage noElement;                 // the empty arrow / element picture
    std::array<QImage, 8> arrows;
    std::array<QImage, 10> digits;  // "1".."9", then "A"
    QImage blueBase;
    QImage redBase;
    // How many times the 62 x 62 layout every picture above is drawn for (part_pack.h makes
    // parts for larger scales); cards rendered with them are that many times as large.
    int scale = 1;

    // Reads every part below `root` (the folder holding gfx/), decoded as the editor decodes
    // them. Fails, with one message naming every file that is missing or unreadable.
    static std::optional<CardParts> load(const QString& root, QString* error);

    // The digit picture for a number box's text ("1".."9", "A", "a"); null for any other text.
    const QImage* digit(const QString& text) const;
    QImage* digit(const QString& text);
};

// The blue and the red clean card base.
QImage cleanBlueBase();
QImage cleanRedBase();

struct CardDrawing;

struct RenderedCard {
    QImage blue;
    QImage red;
    // Set: what draws the card again at a larger scale with its own parts (part_scales.h).
    std::shared_ptr<const CardDrawing> drawing{};
};

// Renders `card` with `parts` through the editor's compositor: the same pixels the editor shows
// for a card whose sides are 1-9 or A. The frame follows the card total; an arrow not ticked
// draws the empty picture in its place, as the editor does; a side text without a digit, no
// element chosen, or no main picture draws nothing for that layer.
// With parts of a scale above 1 the cards are that many times as large: the placements and the
// main picture's offset are multiplied, a prepared main picture is prepared again at that scale
// from its source, and any other main picture is enlarged by whole pixels.
RenderedCard renderCard(const Card& card, const CardParts& parts);
// The same, with each side's digit drawn for `drawnSides` instead (the editor keeps the digit
// last drawn while a box holds text the card cannot draw); the frame follows `card`'s total.
RenderedCard renderCard(const Card& card, const CardParts& parts,
                        const std::array<QString, 4>& drawnSides);

}  // namespace orvane
