// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/print_profile.h"
#include "render/card_parts.h"

#include <QImage>
#include <QRect>
#include <QSize>

namespace orvane {

// Where a card's pixels go in its printed picture (trim and bleed) at the profile's resolution.
// The face is the card at the largest whole scale that fits the trim, centred in it; the rest
// of the trim and the bleed is filled by the profile's rule.
struct PrintCardGeometry {
    QSize fullPx;   // trim and bleed
    QRect trimPx;   // the card as cut, in the full picture
    QRect facePx;   // the enlarged 62 x 62 face
    QRect safePx;   // inside the trim: what must not be cut off
    int scale = 1;  // output pixels a side per card pixel
};

PrintCardGeometry printCardGeometry(const PrintProfile& profile);

// The printed picture of one face (62 x 62): enlarged by the profile's rule, never resampled,
// and surrounded by its edge pixels or the back colour. 8-bit RGB.
QImage composePrintCard(const QImage& face, const PrintProfile& profile,
                        const PrintCardGeometry& geometry);
// The printed picture of one face of `card`: a card drawn with a pack is drawn again at the
// print scale with the pack's larger parts, unless the profile's scale2x or scale3x rule
// enlarges it (the rule works on the 1 x card's pixels).
QImage composePrintFace(const RenderedCard& card, bool blue, const PrintProfile& profile,
                        const PrintCardGeometry& geometry);
// The printed picture of a back: a 62 x 62 back as a face; any other picture scaled smoothly to
// cover the face's square first.
QImage composePrintBack(const QImage& back, const PrintProfile& profile,
                        const PrintCardGeometry& geometry);

}  // namespace orvane
