// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "render/card_parts.h"

#include <QString>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace orvane {

// The parts one card is drawn with, at every scale it is asked for: a pack's (for each part its
// largest @Kx drawing whose K divides the scale, else its 1 x part, enlarged by whole pixels to
// the scale; loadPackParts) or, without a pack, the 1 x parts enlarged. Each scale is made once,
// when first asked for; safe to use from several threads.
class PartScales {
public:
    // `parts`: the 1 x parts, the pack's fallback for any part it lacks. `packFolder` empty:
    // `parts` are the parts.
    explicit PartScales(CardParts parts, QString packFolder = {});

    const CardParts& at(int scale) const;  // scale 1..16
    const QString& packFolder() const { return m_pack; }

private:
    CardParts m_parts;
    QString m_pack;
    mutable std::mutex m_mutex;
    mutable std::map<int, CardParts> m_scales;  // nodes stay put: references stay valid
};

// Reads a card's main picture source again (its file decoded); null when it cannot be read.
using PictureSourceReader = std::function<QImage()>;

// A card kept with its parts so that it can be drawn again at a larger scale. A main picture
// prepared from a larger source is prepared again from it at that scale: the source is either
// kept with the card, or, when `readSource` is given, read again each time (so a deck's sheets
// hold no source photo per card).
struct CardDrawing {
    Card card;
    std::array<QString, 4> drawnSides;
    std::shared_ptr<const PartScales> parts;
    PictureSourceReader readSource;
};

// `card` rendered at 1 x with `parts.at(1)`, keeping what draws it again at any scale.
// `readSource`: see CardDrawing; empty: the card's source is kept.
RenderedCard renderCardWithScales(const Card& card, std::shared_ptr<const PartScales> parts,
                                  PictureSourceReader readSource = {});
RenderedCard renderCardWithScales(const Card& card, std::shared_ptr<const PartScales> parts,
                                  const std::array<QString, 4>& drawnSides,
                                  PictureSourceReader readSource = {});

// The card's pictures at `scale`: drawn again with its parts for that scale when it keeps its
// drawing (the pixels of renderCard with loadPackParts at that scale and its picture prepared
// again from its source, as a deck rendered at that scale has them), else its 1 x pictures
// with every pixel a scale x scale block.
RenderedCard cardAtScale(const RenderedCard& card, int scale);
// Whether cardAtScale draws the card again (a pack, or a source to prepare again from), rather
// than giving its 1 x pixels enlarged.
bool drawsOtherPixelsAtScale(const RenderedCard& card);

// The scale to draw a card at when each of its pixels is shown as `pixels` x `pixels`: the
// largest of 1..LargestPartVariant that divides it, the rest made by whole-pixel blocks (what
// loadPackParts at `pixels` would give for every part, at a fraction of the pixels).
int drawnCardScale(int pixels);

}  // namespace orvane
