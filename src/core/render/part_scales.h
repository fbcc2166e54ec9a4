// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "render/card_parts.h"

#include <QString>

#include <array>
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

// A card kept with its parts so that it can be drawn again at a larger scale. Its main picture
// is the 62 x 62 one: a deck's sheets hold no source photo per card.
struct CardDrawing {
    Card card;
    std::array<QString, 4> drawnSides;
    std::shared_ptr<const PartScales> parts;
};

// `card` rendered at 1 x with `parts.at(1)`, keeping what draws it again at any scale.
RenderedCard renderCardWithScales(const Card& card, std::shared_ptr<const PartScales> parts);
RenderedCard renderCardWithScales(const Card& card, std::shared_ptr<const PartScales> parts,
                                  const std::array<QString, 4>& drawnSides);

// The card's pictures at `scale`: drawn again with its parts for that scale when it keeps its
// drawing (the pixels of renderCard with loadPackParts at that scale, as a deck rendered at that
// scale has them), else its 1 x pictures with every pixel a scale x scale block.
RenderedCard cardAtScale(const RenderedCard& card, int scale);

// The scale to draw a card at when each of its pixels is shown as `pixels` x `pixels`: the
// largest of 1..LargestPartVariant that divides it, the rest made by whole-pixel blocks (what
// loadPackParts at `pixels` would give for every part, at a fraction of the pixels).
int drawnCardScale(int pixels);

}  // namespace orvane
