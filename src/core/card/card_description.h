// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card.h"
#include "card/card_colour.h"

#include <QString>

namespace orvane {

// A card told in words, as the card box says it to someone who cannot see it:
//   "Blue card: 7 up, A left, A right, A down; Holy; arrows up and right; Character frame"
// The sides as they are drawn ("a" as A, a text the card cannot draw as "no number"), the
// element's caption or "no element", the ticked arrows in their order, the frame of the total;
// "; main picture" when the card has one.
QString describeCard(const Card& card, CardColour colour);

}  // namespace orvane
