#pragma once

#include "card/card.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace orvane {

// The 33 card-part pictures of one `gfx`-shaped folder, read once, plus the two clean bases.
struct CardParts {
    std::array<QImage, 4> frames;     // 0 Monster .. 3 Character
    std::array<QImage, 11> elements;  // by element index (8 None: the empty icon)
    QImage noElement;                 // the empty arrow / element picture
    std::array<QImage, 8> arrows;
    QHash<QString, QImage> digits;    // "1".."9", "A"
    QImage blueBase;
    QImage redBase;

    // Reads every part below `root` (the folder holding gfx/). Fails naming every file that is
    // missing or unreadable.
    static std::optional<CardParts> load(const QString& root, QString* error);
};

struct RenderedCard {
    QImage blue;
    QImage red;
};

// Renders `card` with `parts` through the editor's compositor: the same pixels the editor shows
// for a card whose sides are 1-9 or A.
RenderedCard renderCard(const Card& card, const CardParts& parts);

}  // namespace orvane
