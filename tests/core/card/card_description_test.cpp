// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/card_description.h"

#include <gtest/gtest.h>

using namespace orvane;

namespace {

Card cardOf(std::array<QString, 4> sides, int element, std::initializer_list<int> arrows)
{
    Card card;
    card.sides = sides;
    card.element = element;
    for (int arrow : arrows)
        card.arrows[arrow] = true;
    return card;
}

TEST(CardDescription, SaysWhatTheCardShows)
{
    const struct {
        Card card;
        CardColour colour;
        const char* words;
    } cases[] = {
        {cardOf({"7", "A", "A", "A"}, 0, {1, 4}), CardColour::Blue,
         "Blue card: 7 up, A left, A right, A down; Fire; arrows up and right; Character frame"},
        {cardOf({"1", "2", "3", "4"}, NoElementChosen, {}), CardColour::Red,
         "Red card: 1 up, 2 left, 3 right, 4 down; no element; no arrows; Monster frame"},
        // The frame follows the total across its borders: 16 Monster, 17 Boss, 21 GF, 26 Character.
        {cardOf({"4", "4", "4", "4"}, 1, {}), CardColour::Blue,
         "Blue card: 4 up, 4 left, 4 right, 4 down; Water; no arrows; Monster frame"},
        {cardOf({"5", "4", "4", "4"}, 1, {}), CardColour::Blue,
         "Blue card: 5 up, 4 left, 4 right, 4 down; Water; no arrows; Boss frame"},
        {cardOf({"9", "4", "4", "4"}, 1, {}), CardColour::Blue,
         "Blue card: 9 up, 4 left, 4 right, 4 down; Water; no arrows; GF frame"},
        {cardOf({"9", "9", "4", "4"}, 1, {}), CardColour::Blue,
         "Blue card: 9 up, 9 left, 4 right, 4 down; Water; no arrows; Character frame"},
        // One arrow; three in their order whatever order they were ticked in.
        {cardOf({"2", "2", "2", "2"}, ElementTrap, {6}), CardColour::Blue,
         "Blue card: 2 up, 2 left, 2 right, 2 down; Trap; arrow down; Monster frame"},
        {cardOf({"A", "A", "A", "A"}, 4, {7, 0, 2}), CardColour::Red,
         "Red card: A up, A left, A right, A down; Wind; arrows upper left, upper right and lower "
         "right; Character frame"},
        // Sides as drawn: "a" as A (counting 0), a text the card cannot draw as no number.
        {cardOf({"a", "", "x", " 3 "}, 9, {3, 5}), CardColour::Blue,
         "Blue card: A up, no number left, no number right, 3 down; Shadow; arrows left and lower "
         "left; Monster frame"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(describeCard(c.card, c.colour).toStdString(), c.words);
}

TEST(CardDescription, NamesAMainPicture)
{
    Card card = cardOf({"1", "1", "1", "1"}, 2, {});
    card.mainPicture = QImage(62, 62, QImage::Format_RGB32);
    EXPECT_EQ(describeCard(card, CardColour::Blue).toStdString(),
              "Blue card: 1 up, 1 left, 1 right, 1 down; Ice; no arrows; Monster frame; main picture");
}

}  // namespace
