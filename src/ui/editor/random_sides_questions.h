// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

namespace orvane {

class Prompts;

// What Randomize Numbers draws for: the total of the four sides and the largest one side may be.
struct RandomSidesAsked {
    int total = 0;
    double maximum = 0;
};

// Asks for the total (a whole number from 4 to 40), then for the maximum (any number that keeps
// the total within reach of four sides); an answer that does not do is asked for again. Nothing
// when either question is cancelled.
std::optional<RandomSidesAsked> askRandomSides(Prompts& prompts);

}  // namespace orvane
