// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card_placement.h"

#include <QImage>

#include <array>
#include <functional>

namespace orvane {

inline constexpr int CardHeight = 62;
inline constexpr int CardCentre = 31;
inline constexpr int HalfDivisor = 2;

// The pictures one card is built from; each layer copies its picture whole, from (0, 0).
struct CardLayers {
    const QImage* mainPicture = nullptr;
    std::array<const QImage*, 4> digits{};  // 0 top, 1 left, 2 right, 3 bottom
    const QImage* frame = nullptr;
    const QImage* element = nullptr;
    std::array<const QImage*, 8> arrows{};  // 0 upper left ... 7 lower right
};

// Pictures held by value, for callers that build a card from pictures of their own (tests,
// benchmarks, a headless renderer). layers() points into this object.
struct CardPictures {
    QImage mainPicture;
    std::array<QImage, 4> digits;
    QImage frame;
    QImage element;
    std::array<QImage, 8> arrows;

    CardLayers layers() const;
};

// Rounds to the nearest integer, ties to the even neighbour (26.5 -> 26, 27.5 -> 28).
int roundHalfEven(float value);

// Where arrow `index` goes on a card of width cardWidth, for an arrow picture of the given size.
QPoint arrowPosition(int index, int arrowWidth, int arrowHeight, int cardWidth);

// Builds one card in `card`: the clean base, then main picture, digits, frame, element and the
// eight arrows through the transparent blit. `afterLayer` runs after each of the sixteen layers
// (the card box repaints itself there).
void composeCard(QImage& card, const QImage& clean, const CardLayers& layers,
                 const CardPlacement& placement, int scrX, int scrY,
                 const std::function<void()>& afterLayer = {});

// The same card drawn `scale` times as large: `clean` and every layer are pictures of that
// scale, the placements and the main picture's offset are multiplied by it, and each arrow goes
// where its picture at 1 x (its size divided by `scale`) would go, multiplied. At scale 1 this is
// composeCard.
void composeCardAtScale(QImage& card, const QImage& clean, const CardLayers& layers,
                        const CardPlacement& placement, int scrX, int scrY, int scale,
                        const std::function<void()>& afterLayer = {});

}  // namespace orvane
