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

RenderedCard renderCardWithScales(const Card& card, std::shared_ptr<const PartScales> parts)
{
    return renderCardWithScales(card, std::move(parts), card.sides);
}

RenderedCard renderCardWithScales(const Card& card, std::shared_ptr<const PartScales> parts,
                                  const std::array<QString, 4>& drawnSides)
{
    RenderedCard rendered = renderCard(card, parts->at(1), drawnSides);
    auto drawing = std::make_shared<CardDrawing>();
    drawing->card = card;
    drawing->card.preparation.source = QImage();
    drawing->drawnSides = drawnSides;
    drawing->parts = std::move(parts);
    rendered.drawing = std::move(drawing);
    return rendered;
}

RenderedCard cardAtScale(const RenderedCard& card, int scale)
{
    if (scale <= 1)
        return card;
    if (card.drawing) {
        const CardDrawing& d = *card.drawing;
        RenderedCard drawn = renderCard(d.card, d.parts->at(scale), d.drawnSides);
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
