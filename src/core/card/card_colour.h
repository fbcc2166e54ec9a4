// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace orvane {

// One face of a card.
enum class CardColour { Blue, Red };

}  // namespace orvane
