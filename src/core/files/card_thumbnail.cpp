// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/card_thumbnail.h"

#include "files/card_export.h"

#include <algorithm>

namespace orvane {

QImage cardThumbnail(const QImage& card, int size)
{
    if (card.isNull() || size < 1)
        return {};
    const int side = std::max(card.width(), card.height());
    if (size < side)
        return card.convertToFormat(QImage::Format_RGB32)
            .scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return scaleCardPicture(card, std::min(size / side, MaxExportScale * 4));
}

}  // namespace orvane
