// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace orvane {

// Upper-left corner, on the 62 x 62 card, of the element icon and of each side digit.
struct CardPlacement {
    qint16 ElemX = 44, ElemY = 4;
    qint16 TopX = 7, TopY = 3;
    qint16 LeftX = 3, LeftY = 11;
    qint16 RightX = 11, RightY = 11;
    qint16 BottomX = 7, BottomY = 19;

    bool operator==(const CardPlacement&) const = default;
};

// The ten values by the names card files and decks use for them.
struct PlacementField {
    const char* key;
    qint16 CardPlacement::*member;
};
inline constexpr PlacementField PlacementFields[10] = {
    {"TopX", &CardPlacement::TopX},       {"TopY", &CardPlacement::TopY},
    {"LeftX", &CardPlacement::LeftX},     {"LeftY", &CardPlacement::LeftY},
    {"RightX", &CardPlacement::RightX},   {"RightY", &CardPlacement::RightY},
    {"BottomX", &CardPlacement::BottomX}, {"BottomY", &CardPlacement::BottomY},
    {"ElemX", &CardPlacement::ElemX},     {"ElemY", &CardPlacement::ElemY}};

}  // namespace orvane
