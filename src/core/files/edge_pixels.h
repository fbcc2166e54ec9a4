// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

namespace orvane {

// The picture with a border `border` pixels wide around it, every border pixel a copy of the
// nearest edge pixel (corners take the corner pixel). Used for print bleed and for atlas frames,
// where copying inward pixels would bring stray colours into the margin.
QImage extendEdges(const QImage& picture, int border);

}  // namespace orvane
