// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

namespace orvane {

// Copies a width x height rectangle of `source` (from sourceX, sourceY) onto `destination` at
// (x, y). Source pixels of pure black (0, 0, 0) are transparent; every other pixel replaces the
// destination pixel exactly. Pixels falling outside either picture are skipped. Returns false
// when a surface is missing (null); width or height of 0 or less draws nothing and returns true.
bool BlitTransparent(QImage* destination, int x, int y, int width, int height, const QImage* source,
                     int sourceX, int sourceY);

// Opaque copy of the whole of `source` onto `destination` at (x, y), clipped to the destination.
void blitOpaque(QImage& destination, int x, int y, const QImage& source);

}  // namespace orvane
