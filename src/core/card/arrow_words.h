// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

namespace orvane {

// An arrow as a deck or card file may name it: its index 0-7, its word (upper-left, up,
// upper-right, left, right, lower-left, down, lower-right) or a common variant of the word, in
// any case, with '-', '_' or nothing between the parts:
//   upper-left   up-left, top-left, left-up, left-top, nw, north-west
//   up           top, upper, north, n
//   upper-right  up-right, top-right, right-up, right-top, ne, north-east
//   left         west, w            right   east, e
//   lower-left   down-left, bottom-left, left-down, left-bottom, sw, south-west
//   down         bottom, lower, south, s
//   lower-right  down-right, bottom-right, right-down, right-bottom, se, south-east
std::optional<int> arrowFromWord(const QString& word);

}  // namespace orvane
