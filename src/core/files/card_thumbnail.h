// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

namespace orvane {

// A card picture for a file manager's icon, at most `size` pixels a side: enlarged by the largest
// whole scale that fits, so every card pixel stays a sharp square; smoothly reduced only when
// `size` is smaller than the card.
QImage cardThumbnail(const QImage& card, int size);

}  // namespace orvane
