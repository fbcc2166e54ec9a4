// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/picture_fit.h"

#include <QImage>
#include <QRgb>
#include <QString>

#include <vector>

namespace orvane {

struct CardParts;

// The colour step of a picture's preparation, run on the prepared picture (at most 62 x 62,
// pure black transparent) after fit, pan and key: the colours (kept, reduced to N chosen by
// libimagequant, or mapped to a palette) with their dithering, then the outline.
//
// The card's own rule: no pixel becomes pure black unless it was pure black (transparent)
// before. A chosen colour that is pure black is never used for a visible pixel; such a pixel
// takes the nearest colour that is not, and a reduced palette's pure black is (1, 1, 1).
// Transparent pixels stay transparent, except where the outside outline draws.
//
// An outside outline may add one column and one row on the right and bottom, up to 62 x 62,
// so that it can surround a picture that ends there. A palette without colours (not read yet)
// leaves the colours as they are.
QImage applyPictureColours(const QImage& prepared, const PictureFit& fit);

// The N colours libimagequant chooses for the visible pixels of `prepared`; none pure black.
std::vector<QRgb> reducedColours(const QImage& prepared, int count);

// The card parts' own colours (frames, element icons, digits, arrows and the two bases), pure
// black left out; the most used first, at most 256.
std::vector<QRgb> cardPartColours(const CardParts& parts);

// Fills `fit.paletteColours` when the fit maps to a palette whose colours are not known yet:
// from `parts` for the parts palette, else from the palette file. False, with `error` naming
// the file and the line, when the file cannot be used (or there are no parts to take from).
bool resolvePalette(PictureFit& fit, const CardParts* parts, QString* error);

}  // namespace orvane
