// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/card_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace orvane;

namespace {

std::array<QString, 4> sides(const char* a, const char* b, const char* c, const char* d)
{
    return {QString::fromUtf8(a), QString::fromUtf8(b), QString::fromUtf8(c), QString::fromUtf8(d)};
}

TEST(CardRules, CardTotal)
{
    struct Case {
        std::array<QString, 4> texts;
        int total;
    } cases[] = {
        {sides("A", "A", "A", "A"), 40},
        {sides("1", "1", "1", "1"), 4},
        {sides("10", "A", "1", "1"), 22},  // "10" counts like "A"
        {sides("2.5", "", "", ""), 2},     // 2.5 rounds half to even
        {sides("3.5", "", "", ""), 4},
        {sides("2.5", "2.5", "", ""), 4},  // 2 + 2.5 = 4.5 -> 4
        {sides(" 7 ", "a", "", "-"), 7},   // blanks allowed; "a", empty, lone sign count 0
        {sides("x", "1e1", "+3", "-2"), 11},
        {sides("99999", "1", "1", "1"), 32767},  // held within 16 bits, never overflows
        {sides("-99999", "A", "", ""), -32758},
        {sides("inf", "nan", "1", "1"), 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cardTotal(c.texts), c.total) << c.texts[0].toStdString();
}

TEST(CardRules, FrameAndArrowLimitAtTheirBorders)
{
    const std::map<int, std::pair<int, int>> table = {
        // total: frame, arrows
        {-5, {0, 1}}, {4, {0, 1}},  {8, {0, 1}},  {12, {0, 1}}, {13, {0, 2}},
        {16, {0, 2}}, {17, {1, 3}}, {20, {1, 3}}, {21, {2, 4}}, {22, {2, 4}},
        {23, {2, 5}}, {25, {2, 5}}, {26, {3, 6}}, {40, {3, 6}}, {32767, {3, 6}}};
    for (const auto& [total, expected] : table) {
        EXPECT_EQ(frameForTotal(total), expected.first) << total;
        EXPECT_EQ(arrowLimit(total), expected.second) << total;
    }
}

TEST(CardRules, ArrowsLeftCaption)
{
    EXPECT_EQ(arrowsLeftCaption(6), QStringLiteral("Arrows Left = 6"));
    EXPECT_EQ(arrowsLeftCaption(0), QStringLiteral("Arrows Left = 0"));
    EXPECT_EQ(arrowsLeftCaption(-1), QStringLiteral("Arrows Left =-1"));
}

TEST(CardRules, LevelsAndElementWords)
{
    const std::map<int, int> levels = {{-3, 1}, {8, 1},  {9, 2},  {10, 2},  {11, 3}, {12, 3},
                                       {13, 4}, {16, 5}, {17, 6}, {20, 7},  {21, 8}, {22, 8},
                                       {23, 9}, {24, 9}, {25, 9}, {26, 10}, {40, 10}};
    for (const auto& [total, level] : levels)
        EXPECT_EQ(levelForTotal(total), level) << total;
    const char* words[] = {"fire",    "water", "ice",  "earth", "wind", "poison",
                           "thunder", "holy",  "None", "None",  "None"};
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(exportElementName(i), QLatin1String(words[i]));
}

TEST(CardRules, PlacementText)
{
    const std::pair<const char*, std::optional<qint16>> cases[] = {{"12.5", 12},
                                                                   {"13.5", 14},
                                                                   {" 8 ", 8},
                                                                   {"-5", -5},
                                                                   {"2.5", 2},
                                                                   {"32767", 32767},
                                                                   {"-32768", -32768},
                                                                   {"32767.4", 32767},
                                                                   {"32767.5", std::nullopt},
                                                                   {"32768", std::nullopt},
                                                                   {"", std::nullopt},
                                                                   {"abc", std::nullopt},
                                                                   {"-", std::nullopt}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(parsePlacement(QString::fromUtf8(text)), value) << text;
}

TEST(CardRules, SideText)
{
    EXPECT_EQ(sideText(10), QStringLiteral("A"));
    EXPECT_EQ(sideText(9), QStringLiteral("9"));
    EXPECT_EQ(sideText(11), QStringLiteral("11"));
}

TEST(Randomiser, ForcedDraws)
{
    std::mt19937 generator(1);
    const struct {
        int total;
        double maximum;
        std::array<int, 4> sides;
    } cases[] = {{40, 10, {10, 10, 10, 10}},
                 {4, 1, {1, 1, 1, 1}},
                 {4, 10000, {1, 1, 1, 1}},
                 {20, 5, {5, 5, 5, 5}},
                 {8, 2, {2, 2, 2, 2}}};
    for (const auto& c : cases)
        for (int i = 0; i < 20; ++i)
            EXPECT_EQ(drawSides(c.total, c.maximum, generator), c.sides) << c.total;
}

TEST(Randomiser, RefusesWhatCanNeverMatch)
{
    std::mt19937 generator(1);
    EXPECT_FALSE(drawSides(41, 10, generator));
    EXPECT_FALSE(drawSides(3, 10, generator));
    EXPECT_FALSE(drawSides(40, 9, generator));
    EXPECT_FALSE(drawSides(10, 0.5, generator));
    EXPECT_FALSE(drawSides(10, std::nan(""), generator));
}

TEST(Randomiser, HugeMaximumFinishesWithValidSides)
{
    std::mt19937 generator(2);
    for (int i = 0; i < 1000; ++i) {
        const auto s = drawSides(40, 10000, generator);
        ASSERT_TRUE(s);
        EXPECT_EQ((*s)[0] + (*s)[1] + (*s)[2] + (*s)[3], 40);
        for (int v : *s)
            EXPECT_GE(v, 1);
    }
}

TEST(Randomiser, FractionalMaximumCanReachItsCeiling)
{
    std::mt19937 generator(3);
    bool sawFive = false;
    for (int i = 0; i < 2000 && !sawFive; ++i) {
        const auto s = drawSides(17, 4.5, generator);
        ASSERT_TRUE(s);
        for (int v : *s) {
            EXPECT_LE(v, 5);
            sawFive |= v == 5;
        }
    }
    EXPECT_TRUE(sawFive);
}

// Total 20 with maximum 10: every valid combination appears, with equal frequency.
TEST(Randomiser, EveryCombinationEquallyLikely)
{
    std::map<std::array<int, 4>, int> counts;
    int combinations = 0;
    for (int a = 1; a <= 10; ++a)
        for (int b = 1; b <= 10; ++b)
            for (int c = 1; c <= 10; ++c) {
                const int d = 20 - a - b - c;
                if (d >= 1 && d <= 10) {
                    counts[{a, b, c, d}] = 0;
                    ++combinations;
                }
            }
    ASSERT_EQ(combinations, 633);
    std::mt19937 generator(12345);
    const int draws = 633 * 200;
    for (int i = 0; i < draws; ++i) {
        const auto s = drawSides(20, 10, generator);
        ASSERT_TRUE(s);
        auto it = counts.find(*s);
        ASSERT_NE(it, counts.end());
        ++it->second;
    }
    const double expected = double(draws) / combinations;
    double chiSquare = 0;
    for (const auto& [combo, count] : counts) {
        EXPECT_GT(count, 0);
        chiSquare += (count - expected) * (count - expected) / expected;
    }
    // 632 degrees of freedom: the 99.9 % point is about 756.
    EXPECT_LT(chiSquare, 756.0);
}

}  // namespace

namespace {

Card cardWith(std::array<QString, 4> sideTexts, int element, std::initializer_list<int> ticked)
{
    Card card;
    card.sides = std::move(sideTexts);
    card.element = element;
    for (int arrow : ticked)
        card.arrows[size_t(arrow)] = true;
    return card;
}

}  // namespace

TEST(CardRules, SideIsDrawable)
{
    for (const char* yes : {"1", "5", "9", "A", "a"})
        EXPECT_TRUE(sideIsDrawable(QLatin1String(yes))) << yes;
    for (const char* no : {"", "0", "10", "AA", " 1", "b", "-", "1.0"})
        EXPECT_FALSE(sideIsDrawable(QLatin1String(no))) << no;
}

TEST(CardRules, WhetherOneMoreArrowMayBeTicked)
{
    struct Case {
        Card card;
        qint16 limit;
        bool mayTick;
    } cases[] = {
        {cardWith(sides("1", "1", "1", "1"), 0, {}), 1, true},
        {cardWith(sides("1", "1", "1", "1"), 0, {3}), 1, false},
        {cardWith(sides("1", "1", "1", "1"), 0, {0, 1, 2}), 1, false},  // more than allowed
        {cardWith(sides("4", "4", "4", "1"), 0, {0}), 2, true},         // 13: two
        {cardWith(sides("A", "A", "A", "A"), 0, {0, 1, 2, 3, 4}), 6, true},
        {cardWith(sides("A", "A", "A", "A"), 0, {0, 1, 2, 3, 4, 5}), 6, false},
        {cardWith(sides("x", "", "a", "-"), 0, {}), 1, true},  // text that counts 0
    };
    for (const Case& c : cases) {
        EXPECT_EQ(arrowLimit(c.card), c.limit) << c.card.sides[0].toStdString();
        EXPECT_EQ(mayTickAnotherArrow(c.card), c.mayTick) << c.card.arrowCount();
    }
}

TEST(CardRules, FrameOfACard)
{
    EXPECT_EQ(frameForCard(cardWith(sides("A", "A", "A", "A"), 0, {})), 3);
    EXPECT_EQ(frameForCard(cardWith(sides("2", "2", "2", "2"), 10, {})), 0);
    EXPECT_EQ(frameForCard(cardWith(sides("A", "A", "", "1"), 0, {})), 2);
}

TEST(CardRules, NumberChangeUntickesArrowsOnlyWhenATextChanges)
{
    struct Case {
        std::array<QString, 4> before, after;
        std::initializer_list<int> ticked;
        bool lost;
        int arrowsAfter;
    } cases[] = {
        {sides("A", "A", "A", "A"), sides("A", "A", "A", "A"), {0, 1}, false, 2},  // same text
        {sides("A", "A", "A", "A"), sides("5", "A", "A", "A"), {0, 1}, true, 0},
        {sides("A", "A", "A", "A"), sides("5", "A", "A", "A"), {}, false, 0},
        {sides("1", "2", "3", "4"), sides("1", "2", "3", "x"), {7}, true, 0},
    };
    for (const Case& c : cases) {
        Card card = cardWith(c.before, 0, c.ticked);
        EXPECT_EQ(changeSides(card, c.after), c.lost);
        EXPECT_EQ(card.sides, c.after);
        EXPECT_EQ(card.arrowCount(), c.arrowsAfter);
    }
}

TEST(CardRules, ElementClick)
{
    struct Case {
        const char* what;
        Card card;
        int element;
        ElementClick click;  // changed, numbersReset, arrowsUnticked
        std::array<QString, 4> sidesAfter;
        int arrowsAfter;
    } cases[] = {
        {"same element: nothing",
         cardWith(sides("5", "5", "5", "5"), 3, {0}),
         3,
         {false, false, false},
         sides("5", "5", "5", "5"),
         1},
        {"typed numbers replaced",
         cardWith(sides("5", "5", "5", "5"), 3, {0}),
         0,
         {true, true, true},
         sides("A", "A", "A", "A"),
         0},
        {"A A A A stay: arrows kept",
         cardWith(sides("A", "A", "A", "A"), 8, {0, 1}),
         2,
         {true, false, false},
         sides("A", "A", "A", "A"),
         2},
        {"Trap sets 2 2 2 2",
         cardWith(sides("A", "A", "A", "A"), 8, {0}),
         ElementTrap,
         {true, false, true},
         sides("2", "2", "2", "2"),
         0},
        {"leaving Trap: its 2s are not the user's",
         cardWith(sides("2", "2", "2", "2"), 10, {}),
         1,
         {true, false, false},
         sides("A", "A", "A", "A"),
         0},
        {"typed over Trap's sides",
         cardWith(sides("2", "3", "2", "2"), 10, {}),
         1,
         {true, true, false},
         sides("A", "A", "A", "A"),
         0},
    };
    for (Case& c : cases) {
        const ElementClick click = clickElement(c.card, c.element);
        EXPECT_EQ(click.changed, c.click.changed) << c.what;
        EXPECT_EQ(click.numbersReset, c.click.numbersReset) << c.what;
        EXPECT_EQ(click.arrowsUnticked, c.click.arrowsUnticked) << c.what;
        EXPECT_EQ(c.card.element, c.element) << c.what;
        EXPECT_EQ(c.card.sides, c.sidesAfter) << c.what;
        EXPECT_EQ(c.card.arrowCount(), c.arrowsAfter) << c.what;
    }
}

// With the option to keep numbers and arrows: a number change gives up only the arrows the new
// total no longer allows, the last ticked first; an element other than Trap leaves the numbers.
TEST(CardRules, KeepRulesGiveUpOnlyWhatTheTotalForbids)
{
    struct Case {
        const char* what;
        std::array<QString, 4> before, after;
        std::initializer_list<int> ticked;
        std::vector<int> tickOrder;
        bool lost;
        std::vector<int> left;  // the arrows still ticked
    } cases[] = {
        {"a higher total keeps them all", sides("5", "5", "5", "5"), sides("9", "5", "5", "5"),
         {0, 3, 5}, {}, false, {0, 3, 5}},
        {"down to one arrow: the last ticked goes first", sides("6", "6", "6", "6"),
         sides("1", "1", "1", "1"), {1, 4, 6}, {6, 1, 4}, true, {6}},
        {"no order known: the highest index goes first", sides("6", "6", "6", "6"),
         sides("1", "1", "1", "1"), {1, 4, 6}, {}, true, {1}},
        {"an order naming some: the others count as older", sides("6", "6", "6", "6"),
         sides("4", "4", "4", "4"), {0, 2, 7}, {2}, true, {0, 7}},
        {"the same text changes nothing", sides("1", "1", "1", "1"), sides("1", "1", "1", "1"),
         {0, 1, 2}, {}, false, {0, 1, 2}},
    };
    for (const Case& c : cases) {
        Card card = cardWith(c.before, 0, c.ticked);
        EXPECT_EQ(changeSides(card, c.after, ResetRules::Keep, c.tickOrder), c.lost) << c.what;
        EXPECT_EQ(card.sides, c.after) << c.what;
        std::vector<int> left;
        for (int i = 0; i < CardArrowCount; ++i)
            if (card.arrows[size_t(i)])
                left.push_back(i);
        EXPECT_EQ(left, c.left) << c.what;
    }

    // An element keeps typed numbers and arrows; Trap still sets its 2s, giving up what it must.
    Card typed = cardWith(sides("7", "8", "9", "A"), 3, {0, 1, 2, 3});
    const ElementClick water = clickElement(typed, 1, ResetRules::Keep);
    EXPECT_TRUE(water.changed);
    EXPECT_FALSE(water.numbersReset);
    EXPECT_FALSE(water.arrowsUnticked);
    EXPECT_EQ(typed.sides, sides("7", "8", "9", "A"));
    EXPECT_EQ(typed.arrowCount(), 4);
    const ElementClick trap = clickElement(typed, ElementTrap, ResetRules::Keep);
    EXPECT_TRUE(trap.numbersReset);
    EXPECT_TRUE(trap.arrowsUnticked);
    EXPECT_EQ(typed.sides, sides("2", "2", "2", "2"));
    EXPECT_EQ(typed.arrowCount(), int(arrowLimit(typed)));
}

TEST(CardRules, SideValuesAreOneToNineAndCapitalA)
{
    for (const char* yes : {"1", "9", "A"})
        EXPECT_TRUE(isSideValue(QLatin1String(yes))) << yes;
    for (const char* no : {"a", "0", "10", "", "AA", "B"})
        EXPECT_FALSE(isSideValue(QLatin1String(no))) << no;
}

TEST(CardRules, FirstUndrawableSide)
{
    struct Row {
        std::array<QString, 4> sides;
        int side;  // -1: every side can be drawn
        const char* name;
    };
    const Row rows[] = {
        {{"1", "9", "A", "a"}, -1, ""},
        {{"Z", "10", "", "5"}, 0, "top"},
        {{"1", "10", "", "5"}, 1, "left"},
        {{"1", "2", "", "5"}, 2, "right"},
        {{"1", "2", "3", " 4"}, 3, "bottom"},
        {{"1", "2", "3", "2.5"}, 3, "bottom"},
    };
    for (const Row& row : rows) {
        Card card;
        card.sides = row.sides;
        const std::optional<UndrawableSide> found = firstUndrawableSide(card);
        ASSERT_EQ(found.has_value(), row.side >= 0) << row.name;
        if (!found)
            continue;
        EXPECT_EQ(found->side, row.side);
        EXPECT_EQ(found->name, QLatin1String(row.name));
        EXPECT_EQ(found->text, row.sides[size_t(row.side)]);
    }
    EXPECT_EQ(undrawableSideQuestion({0, QStringLiteral("top"), QStringLiteral("Z")}),
              QStringLiteral("The top side holds \"Z\", which the card cannot show: it shows the "
                             "digit drawn before. Write the card anyway?"));
}
