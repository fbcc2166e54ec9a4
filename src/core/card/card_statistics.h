// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card.h"

#include <QList>
#include <QMap>
#include <QString>

#include <array>

namespace orvane {

// The balance of a list of cards: how their totals, sides, elements and arrows are spread, and
// the cards worth a second look (dominated, duplicated, too many arrows). Totals, frames and
// arrow limits come from the card rules (card_rules.h).

inline constexpr int LowestSideValue = 1;
inline constexpr int HighestSideValue = 10;  // "A"
inline constexpr int LowestUsualTotal = 4 * LowestSideValue;
inline constexpr int HighestUsualTotal = 4 * HighestSideValue;

// A run of totals that gives one frame: Monster 4-16, Boss 17-20, GF 21-25, Character 26-40.
struct FrameBand {
    int frame = 0;
    int lowest = 0;
    int highest = 0;
};
// The frame bands over the usual totals, lowest first, as frameForTotal gives them.
QList<FrameBand> frameBands();
// "Monster", "Boss", "GF", "Character".
QString frameName(int frame);

enum class FindingKind {
    Dominated,      // another card of the same element is at least as good everywhere
    Duplicate,      // the same sides, element and arrows as an earlier card
    TooManyArrows,  // more arrows than the card's total allows
};

struct CardFinding {
    FindingKind kind = FindingKind::Dominated;
    int card = -1;   // index in the list the statistics were made of
    int other = -1;  // the card that dominates it, or the first of its duplicates; -1: none
    QString text;    // "Slime is dominated by Dragon (Fire)"
};

struct CardStatistics {
    int cards = 0;                             // cards counted
    int badRows = 0;                           // rows that could not be read, not counted
    QMap<int, int> totals;                     // card total -> cards
    std::array<int, CardFrameCount> frames{};  // cards per frame
    // Cards per side (top, left, right, bottom) and value 1..10 (index value - 1); a side whose
    // text is no side value counts in `otherSides`.
    std::array<std::array<int, HighestSideValue>, 4> sideValues{};
    std::array<int, 4> otherSides{};
    std::array<int, ElementOptionCount + 1> elements{};  // index element + 1: [0] none chosen
    std::array<int, CardArrowCount + 1> arrowCounts{};   // cards with 0..8 arrows
    std::array<int, CardArrowCount> arrowDirections{};   // cards with each arrow, 0 upper left
    QList<CardFinding> findings;  // dominated, then duplicates, then too many arrows; by card

    int elementCount(int element) const { return elements[size_t(element + 1)]; }
    int findingCount(FindingKind kind) const;
};

// The statistics of `cards` (in the order given: findings name cards by index), with `badRows`
// rows that were not read. A card's name is its `name`, or "card N" (1-based) when blank.
// Dominance is decided for cards whose four sides are side values (1-9, A); duplicates compare
// the side texts as they are.
CardStatistics cardStatistics(const QList<Card>& cards, int badRows = 0);

// The name a finding uses for card `index`.
QString statisticsCardName(const QList<Card>& cards, int index);

// "3 bad rows not counted", "1 bad row not counted"; empty for none.
QString badRowsSentence(int badRows);

// Which cards a click on a chart stands for: a filter the set's views can apply to their cards.
struct CardFilter {
    enum class Field {
        None,            // every card
        Total,           // cardTotal == value
        Frame,           // frameForCard == value
        SideValue,       // side `side` (0 top .. 3 bottom) holds value (1..10)
        Element,         // element == value (NoElementChosen included)
        ArrowCount,      // arrowCount == value
        ArrowDirection,  // arrow `value` (0 upper left .. 7 lower right) ticked
    };
    Field field = Field::None;
    int value = 0;
    int side = 0;

    bool matches(const Card& card) const;
    // "total 17", "Boss frame", "up side 5", "element Fire", "3 arrows", "arrow up".
    QString description() const;

    bool operator==(const CardFilter&) const = default;
};

// The side names of the statistics, as the data record spells them: "up", "left", "right",
// "down".
QString statisticsSideName(int side);

}  // namespace orvane
