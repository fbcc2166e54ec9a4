// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/card_rules.h"
#include "card/card_statistics.h"
#include "card/card_statistics_report.h"
#include "support/card_maker.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <random>

using namespace orvane;

namespace {

Card card(const char* name, int element, std::array<const char*, 4> sides,
          std::initializer_list<int> arrows = {})
{
    return makeCard(name, element, sides, arrows);
}

constexpr int Fire = 0, Water = 1, Earth = 3, Wind = 4, Holy = 7;
constexpr int Up = 1, Left = 3, Down = 6;

// A set with known findings: Slime and Mid are below Dragon; Trade is not (Dragon lacks its
// arrow); the Twins are duplicates of each other and dominate nothing; Greedy has three arrows
// on a total of 4; Odd has a side that is no side value.
QList<Card> knownSet()
{
    return {
        card("Dragon", Fire, {"A", "A", "A", "A"}, {Up, Down}),
        card("Slime", Fire, {"1", "1", "1", "1"}, {Up}),
        card("Trade", Fire, {"9", "1", "1", "1"}, {Left}),
        card("Twin", Water, {"5", "5", "5", "5"}),
        card("Twin 2", Water, {"5", "5", "5", "5"}),
        card("Mid", Fire, {"5", "5", "5", "5"}, {Up}),
        card("Greedy", Earth, {"1", "1", "1", "1"}, {0, 1, 2}),
        card("West", Wind, {"9", "1", "1", "1"}),
        card("East", Wind, {"1", "9", "1", "1"}),
        card("Holy slime", Holy, {"1", "1", "1", "1"}, {Up}),
        card("Odd", Fire, {"0", "A", "A", "A"}),
        card("", Water, {"5", "5", "5", "5"}),  // a third twin, named by its place
    };
}

TEST(CardStatistics, CountsOfAKnownSet)
{
    const CardStatistics stats = cardStatistics(knownSet(), 3);
    EXPECT_EQ(stats.cards, 12);
    EXPECT_EQ(stats.badRows, 3);
    EXPECT_EQ(stats.totals, (QMap<int, int>{{4, 3}, {12, 3}, {20, 4}, {30, 1}, {40, 1}}));
    EXPECT_EQ(stats.frames, (std::array<int, 4>{6, 4, 0, 2}));
    EXPECT_EQ(stats.sideValues[0][0], 4);  // up side 1: Slime, Greedy, East, Holy slime
    EXPECT_EQ(stats.sideValues[0][8], 2);  // up side 9: Trade, West
    EXPECT_EQ(stats.sideValues[1][9], 2);  // left side A: Dragon, Odd
    EXPECT_EQ(stats.otherSides, (std::array<int, 4>{1, 0, 0, 0}));
    EXPECT_EQ(stats.elementCount(Fire), 5);
    EXPECT_EQ(stats.elementCount(Water), 3);
    EXPECT_EQ(stats.elementCount(NoElementChosen), 0);
    EXPECT_EQ(stats.arrowCounts, (std::array<int, 9>{6, 4, 1, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(stats.arrowDirections, (std::array<int, 8>{1, 5, 1, 1, 0, 0, 1, 0}));
}

TEST(CardStatistics, FindingsOfAKnownSet)
{
    const QList<Card> cards = knownSet();
    const CardStatistics stats = cardStatistics(cards);
    struct Expected {
        FindingKind kind;
        const char* card;
        const char* other;
    };
    const Expected expected[] = {
        {FindingKind::Dominated, "Slime", "Dragon"}, {FindingKind::Dominated, "Mid", "Dragon"},
        {FindingKind::Duplicate, "Twin 2", "Twin"},  {FindingKind::Duplicate, "card 12", "Twin"},
        {FindingKind::TooManyArrows, "Greedy", ""},
    };
    ASSERT_EQ(stats.findings.size(), qsizetype(std::size(expected)));
    for (size_t k = 0; k < std::size(expected); ++k) {
        const CardFinding& f = stats.findings[qsizetype(k)];
        SCOPED_TRACE(f.text.toStdString());
        EXPECT_EQ(f.kind, expected[k].kind);
        EXPECT_EQ(statisticsCardName(cards, f.card), QString::fromUtf8(expected[k].card));
        EXPECT_EQ(statisticsCardName(cards, f.other), QString::fromUtf8(expected[k].other));
    }
    EXPECT_EQ(stats.findings[0].text, QStringLiteral("Slime is dominated by Dragon (Fire)"));
    EXPECT_EQ(stats.findings[4].text, QStringLiteral("Greedy has 3 arrows; its total 4 allows 1"));
}

// Random sets against comparing every pair: the same cards are dominated, and the card named
// as dominating one really does.
TEST(CardStatistics, DominanceAgreesWithComparingEveryPair)
{
    std::mt19937 generator(29);
    std::uniform_int_distribution<int> side(1, 10), element(0, 2), arrow(0, 3);
    QList<Card> cards;
    for (int i = 0; i < 1500; ++i) {
        Card c;
        c.element = element(generator);
        for (QString& s : c.sides)
            s = sideText(std::min(10, side(generator) / 2 + 5));
        for (bool& a : c.arrows)
            a = arrow(generator) == 0;
        cards.append(c);
    }
    auto dominates = [](const Card& a, const Card& b) {
        auto value = [](const QString& t) { return t == QLatin1String("A") ? 10 : t.toInt(); };
        bool strictly = false;
        for (size_t s = 0; s < 4; ++s) {
            if (value(a.sides[s]) < value(b.sides[s]))
                return false;
            strictly = strictly || value(a.sides[s]) > value(b.sides[s]);
        }
        for (size_t k = 0; k < 8; ++k) {
            if (b.arrows[k] && !a.arrows[k])
                return false;
            strictly = strictly || (a.arrows[k] && !b.arrows[k]);
        }
        return a.element == b.element && strictly;
    };
    std::vector<int> dominatedBy(size_t(cards.size()), -1);
    for (const CardFinding& f : cardStatistics(cards).findings)
        if (f.kind == FindingKind::Dominated)
            dominatedBy[size_t(f.card)] = f.other;
    int dominatedCount = 0;
    for (int i = 0; i < cards.size(); ++i) {
        bool any = false;
        for (int j = 0; j < cards.size() && !any; ++j)
            any = dominates(cards[j], cards[i]);
        ASSERT_EQ(any, dominatedBy[size_t(i)] >= 0) << "card " << i;
        if (any) {
            ++dominatedCount;
            ASSERT_TRUE(dominates(cards[dominatedBy[size_t(i)]], cards[i])) << "card " << i;
        }
    }
    EXPECT_GT(dominatedCount, 100);  // the set does exercise the search
}

TEST(CardStatistics, EmptySetAndBadRows)
{
    const CardStatistics stats = cardStatistics({}, 1);
    EXPECT_EQ(stats.cards, 0);
    EXPECT_TRUE(stats.totals.isEmpty());
    EXPECT_TRUE(stats.findings.isEmpty());
    EXPECT_EQ(statisticsSummary(stats), QStringLiteral("No cards to count; 1 bad row not counted"));
    EXPECT_EQ(badRowsSentence(3), QStringLiteral("3 bad rows not counted"));
    EXPECT_EQ(badRowsSentence(0), QString());
    EXPECT_EQ(cardStatistics({}, -4).badRows, 0);
}

TEST(CardStatistics, FrameBandsFollowTheCardRules)
{
    const QList<FrameBand> bands = frameBands();
    ASSERT_EQ(bands.size(), 4);
    for (const FrameBand& band : bands)
        for (int total = band.lowest; total <= band.highest; ++total)
            EXPECT_EQ(frameForTotal(total), band.frame) << total;
    EXPECT_EQ(bands.front().lowest, 4);
    EXPECT_EQ(bands[1].lowest, 17);
    EXPECT_EQ(bands[2].lowest, 21);
    EXPECT_EQ(bands.back().highest, 40);
}

TEST(CardStatistics, FiltersMatchTheCardsTheyDescribe)
{
    using F = CardFilter::Field;
    const Card dragon = card("Dragon", Fire, {"A", "A", "A", "A"}, {Up, Down});
    const Card slime = card("Slime", Fire, {"1", "2", "1", "1"}, {Up});
    const struct {
        CardFilter filter;
        bool dragon;
        bool slime;
        const char* description;
    } cases[] = {
        {{F::None, 0, 0}, true, true, "every card"},
        {{F::Total, 40, 0}, true, false, "total 40"},
        {{F::Frame, 0, 0}, false, true, "Monster frame"},
        {{F::SideValue, 2, 1}, false, true, "left side 2"},
        {{F::SideValue, 10, 3}, true, false, "down side A"},
        {{F::Element, Fire, 0}, true, true, "element Fire"},
        {{F::Element, NoElementChosen, 0}, false, false, "element no element"},
        {{F::ArrowCount, 1, 0}, false, true, "1 arrow"},
        {{F::ArrowDirection, Down, 0}, true, false, "arrow down"},
        {{F::ArrowDirection, 9, 0}, false, false, "arrow "},  // out of range: nothing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        EXPECT_EQ(c.filter.matches(dragon), c.dragon);
        EXPECT_EQ(c.filter.matches(slime), c.slime);
        EXPECT_EQ(c.filter.description(), QString::fromUtf8(c.description));
    }
}

TEST(CardStatisticsReport, JsonHoldsTheNumbersAndFindings)
{
    const QList<Card> cards = knownSet();
    const QJsonObject json =
        QJsonDocument::fromJson(statisticsJson(cardStatistics(cards, 2), cards, "deck.csv"))
            .object();
    EXPECT_EQ(json["cards"].toInt(), 12);
    EXPECT_EQ(json["badRows"].toInt(), 2);
    EXPECT_EQ(json["totals"].toArray().size(), 5);
    EXPECT_EQ(json["totals"].toArray()[0].toObject()["cards"].toInt(), 3);
    EXPECT_EQ(json["frames"].toArray()[1].toObject()["frame"].toString(), "Boss");
    EXPECT_EQ(json["sides"].toObject()["up"].toObject()["other"].toInt(), 1);
    EXPECT_EQ(json["sides"].toObject()["left"].toObject()["A"].toInt(), 2);
    EXPECT_EQ(json["elements"].toObject()["Water"].toInt(), 3);
    EXPECT_EQ(json["arrowCounts"].toArray()[3].toInt(), 1);
    EXPECT_EQ(json["arrowDirections"].toObject()["up"].toInt(), 5);
    const QJsonArray findings = json["findings"].toArray();
    ASSERT_EQ(findings.size(), 5);
    EXPECT_EQ(findings[0].toObject()["kind"].toString(), "dominated");
    EXPECT_EQ(findings[0].toObject()["other"].toString(), "Dragon");
    EXPECT_EQ(findings[4].toObject()["kind"].toString(), "too-many-arrows");
    EXPECT_FALSE(findings[4].toObject().contains("other"));
}

TEST(CardStatisticsReport, MarkdownTablesAndEscapedNames)
{
    QList<Card> cards = knownSet();
    cards[0].name = QStringLiteral("Dragon|*x*");
    const QString text = QString::fromUtf8(statisticsMarkdown(cardStatistics(cards, 3), "d.csv"));
    EXPECT_TRUE(text.startsWith("# Statistics of d.csv\n\n12 cards; 3 bad rows not counted.\n"));
    EXPECT_TRUE(text.contains("| Total | Frame | Cards |\n|---|---|---|\n| 4 | Monster | 3 |\n"));
    EXPECT_TRUE(text.contains("| other | 1 | 0 | 0 | 0 |\n"));
    EXPECT_TRUE(
        text.contains("### Dominated (2)\n\n- Slime is dominated by Dragon\\|\\*x\\* (Fire)"));
    EXPECT_TRUE(text.contains("### Too many arrows (1)\n"));

    const QString empty = QString::fromUtf8(statisticsMarkdown(cardStatistics({}), "e.csv"));
    EXPECT_TRUE(empty.contains("No cards to count.\n"));
    EXPECT_TRUE(empty.contains("No findings.\n"));
}

}  // namespace
