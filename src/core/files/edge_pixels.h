#pragma once

#include <QImage>
#include <QMargins>

namespace orvane {

// The picture with a border `border` pixels wide around it, every border pixel a copy of the
// nearest edge pixel (corners take the corner pixel). Used for print bleed and for atlas frames,
// where copying inward pixels would bring stray colours into the margin.
QImage extendEdges(const QImage& picture, int border);
// The same with a border of its own width on each side (none may be negative).
QImage extendEdges(const QImage& picture, const QMargins& border);

}  // namespace orvane
