// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/compositor.h"

#include "render/blit.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace orvane {

CardLayers CardPictures::layers() const
{
    CardLayers l;
    l.mainPicture = &mainPicture;
    for (size_t i = 0; i < digits.size(); ++i)
        l.digits[i] = &digits[i];
    l.frame = &frame;
    l.element = &element;
    for (size_t i = 0; i < arrows.size(); ++i)
        l.arrows[i] = &arrows[i];
    return l;
}

int roundHalfEven(float value)
{
    // nearbyint honours the current rounding mode; make sure it is the default one.
    const int previous = std::fegetround();
    if (previous != FE_TONEAREST)
        std::fesetround(FE_TONEAREST);
    const float rounded = std::nearbyint(value);
    if (previous != FE_TONEAREST)
        std::fesetround(previous);
    return static_cast<int>(rounded);
}

QPoint arrowPosition(int index, int arrowWidth, int arrowHeight, int cardWidth)
{
    const float w = static_cast<float>(arrowWidth);
    const float h = static_cast<float>(arrowHeight);
    const int left = 0;
    const int top = 0;
    const int centreX = roundHalfEven(float(CardCentre) - w / float(HalfDivisor));
    const int centreY = roundHalfEven(float(CardCentre) - h / float(HalfDivisor));
    const int right = roundHalfEven(float(cardWidth) - w);
    const int bottom = roundHalfEven(float(CardHeight) - h);
    switch (index) {
    case 0: return {left, top};
    case 1: return {centreX, top};
    case 2: return {right, top};
    case 3: return {left, centreY};
    case 4: return {right, centreY};
    case 5: return {left, bottom};
    case 6: return {centreX, bottom};
    default: return {right, bottom};
    }
}

void composeCard(QImage& card, const QImage& clean, const CardLayers& layers,
                 const CardPlacement& placement, int scrX, int scrY,
                 const std::function<void()>& afterLayer)
{
    composeCardAtScale(card, clean, layers, placement, scrX, scrY, 1, afterLayer);
}

void composeCardAtScale(QImage& card, const QImage& clean, const CardLayers& layers,
                        const CardPlacement& placement, int scrX, int scrY, int scale,
                        const std::function<void()>& afterLayer)
{
    const int n = std::max(1, scale);
    const auto done = [&] {
        if (afterLayer)
            afterLayer();
    };
    const auto layer = [&](const QImage* picture, int x, int y) {
        if (picture)
            BlitTransparent(&card, x, y, picture->width(), picture->height(), picture, 0, 0);
        done();
    };

    blitOpaque(card, 0, 0, clean);
    done();
    layer(layers.mainPicture, n * scrX, n * scrY);
    layer(layers.digits[0], n * placement.TopX, n * placement.TopY);
    layer(layers.digits[1], n * placement.LeftX, n * placement.LeftY);
    layer(layers.digits[2], n * placement.RightX, n * placement.RightY);
    layer(layers.digits[3], n * placement.BottomX, n * placement.BottomY);
    layer(layers.frame, 0, 0);
    layer(layers.element, n * placement.ElemX, n * placement.ElemY);
    for (int i = 0; i < 8; ++i) {
        const QImage* arrow = layers.arrows[size_t(i)];
        const QPoint at =
            arrow ? n * arrowPosition(i, arrow->width() / n, arrow->height() / n, card.width() / n)
                  : QPoint();
        layer(arrow, at.x(), at.y());
    }
}

}  // namespace orvane
