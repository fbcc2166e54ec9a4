// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/print_profile.h"

#include <QImage>

namespace orvane {

// The scale2x rule: every pixel becomes 2 x 2, each quarter taking the colour of the two
// neighbours it touches when they agree and the other two differ; edges stay sharp and a
// diagonal step gets a finer stair. Pixels beyond the picture's edge are taken as the edge's.
QImage scale2x(const QImage& picture);
// The 3 x 3 member of the same family.
QImage scale3x(const QImage& picture);

// The largest whole scale at which `enlargement` can draw a `side`-pixel card inside `room`
// pixels: any for blocks, a multiple of 2 or 3 for the rules (blocks below that). At least 1.
int printScale(Enlargement enlargement, int side, int room);

// The card enlarged `scale` times: the rule first where the scale allows it, whole blocks for
// the rest, never resampled.
QImage enlargeCard(const QImage& card, Enlargement enlargement, int scale);

}  // namespace orvane
