#pragma once

#include "card/card_placement.h"

#include <QImage>
#include <QString>

#include <array>

namespace orvane {

inline constexpr int NoElementChosen = -1;

// Everything that makes one card, without a window: what the editor's controls hold.
struct Card {
    QString name;                               // the card's name (file names, deck rows)
    std::array<QString, 4> sides{"A", "A", "A", "A"};  // number box texts: top, left, right, bottom
    int element = NoElementChosen;              // 0 Fire .. 10 Trap; none chosen: no icon
    std::array<bool, 8> arrows{};               // 0 upper left .. 7 lower right
    QImage mainPicture;                         // RGB32; null: no main picture (transparent)
    QString mainPicturePath;                    // where the picture came from; information only
    int x = 0;                                  // offset of the main picture, 0..62
    int y = 0;
    CardPlacement placement;

    bool operator==(const Card&) const = default;
};

}  // namespace orvane
