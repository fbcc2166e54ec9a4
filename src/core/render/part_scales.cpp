// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/part_scales.h"

#include "render/part_pack.h"

#include <algorithm>

namespace orvane {

PartScales::PartScales(CardParts parts, QString packFolder)
    : m_parts(std::move(parts)), m_pack(std::move(packFolder))
{
}

const CardParts& PartScales::at(int scale) const
{
    scale = std::clamp(scale, 1, 16);
    const std::lock_guard lock(m_mutex);
    if (const auto found = m_scales.find(scale); found != m_scales.end())
        return found->second;
    CardParts made = m_pack.isEmpty() ? enlargedParts(m_parts, scale)
                                      : loadPackParts(m_pack, scale, m_parts).parts;
    return m_scales.emplace(scale, std::move(made)).first->second;
}

RenderedCard renderCardWithScales(const Card& card, std::shared_ptr<const PartScales> parts,
                                  PictureSourceReader readSource)
{
    return renderCardWithScales(card, std::move(parts), card.sides, std::move(readSource));
}

RenderedCard renderCardWithScales(const Card& card, std::shared_ptr<const PartScales> parts,
                                  const std::array<QString, 4>& drawnSides,
                                  PictureSourceReader readSource)
{
    RenderedCard rendered = renderCard(card, parts->at(1), drawnSides);
    auto drawing = std::make_shared<CardDrawing>();
    drawing->card = card;
    if (readSource && !card.preparation.source.isNull()) {
        drawing->card.preparation.source = QImage();
        drawing->readSource = std::move(readSource);
    }
    drawing->drawnSides = drawnSides;
    drawing->parts = std::move(parts);
    rendered.drawing = std::move(drawing);
    return rendered;
}

bool drawsOtherPixelsAtScale(const RenderedCard& card)
{
    // The built-in parts with no source to prepare again give the 1 x pixels enlarged.
    return card.drawing && (!card.drawing->parts->packFolder().isEmpty() ||
                            card.drawing->readSource ||
                            !card.drawing->card.preparation.source.isNull());
}

RenderedCard cardAtScale(const RenderedCard& card, int scale)
{
    if (scale <= 1)
        return card;
    if (drawsOtherPixelsAtScale(card)) {
        const CardDrawing& d = *card.drawing;
        RenderedCard drawn;
        if (d.readSource) {
            // A source that cannot be read again leaves the prepared picture enlarged.
            Card withSource = d.card;
            withSource.preparation.source = d.readSource();
            drawn = renderCard(withSource, d.parts->at(scale), d.drawnSides);
        } else {
            drawn = renderCard(d.card, d.parts->at(scale), d.drawnSides);
        }
        drawn.drawing = card.drawing;
        return drawn;
    }
    RenderedCard enlarged{enlargedPicture(card.blue, scale), enlargedPicture(card.red, scale)};
    return enlarged;
}

int drawnCardScale(int pixels)
{
    for (int scale = LargestPartVariant; scale > 1; --scale)
        if (pixels % scale == 0)
            return scale;
    return 1;
}

}  // namespace orvane
