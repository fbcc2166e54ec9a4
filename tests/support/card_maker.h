// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card.h"

#include <array>
#include <initializer_list>

// A card by its name, element, four side texts and the arrows ticked, for tests that need many.
inline orvane::Card makeCard(const char* name, int element, std::array<const char*, 4> sides,
                             std::initializer_list<int> arrows = {})
{
    orvane::Card c;
    c.name = QString::fromUtf8(name);
    c.element = element;
    for (size_t s = 0; s < 4; ++s)
        c.sides[s] = QString::fromUtf8(sides[s]);
    for (const int a : arrows)
        c.arrows[size_t(a)] = true;
    return c;
}
