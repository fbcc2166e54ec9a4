#pragma once

#include "card/card_placement.h"

// The process-wide card state shared by the windows: the placement of the digits and the
// element icon, and the flag that asks the next timer tick to compose the cards again.
struct Module1 {
    static orvane::CardPlacement CardPlacement;
    static bool NeedsRedraw;
};
