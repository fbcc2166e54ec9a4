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

}  // namespace orvane
