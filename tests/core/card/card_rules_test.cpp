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
