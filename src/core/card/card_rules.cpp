// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/card_rules.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace orvane {
namespace {

double roundHalfEvenDouble(double value)
{
    return std::nearbyint(value);  // default rounding mode: ties to even
}

qint16 clampTo16(double value)
{
    return static_cast<qint16>(std::clamp(value, -32768.0, 32767.0));
}

}  // namespace

std::optional<double> parseDecimal(const QString& text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

qint16 cardTotal(const std::array<QString, 4>& sideTexts)
{
    qint16 total = 0;
    for (const QString& text : sideTexts) {
        double sum = total;
        if (text == QLatin1String("A"))
            sum += 10;
        else
            sum += parseDecimal(text).value_or(0.0);
        total = clampTo16(roundHalfEvenDouble(std::clamp(sum, -1e9, 1e9)));
    }
    return total;
}

int frameForTotal(int total)
{
    int frame = 0;
    if (total <= 16)
        frame = 0;
    if (total >= 17)
        frame = 1;
    if (total > 20)
        frame = 2;
    if (total > 25)
        frame = 3;
    return frame;
}

qint16 arrowLimit(int total)
{
    qint16 limit = 1;
    if (total > 12)
        limit = 2;
    if (total > 16)
        limit = 3;
    if (total > 20)
        limit = 4;
    if (total > 22)
        limit = 5;
    if (total > 25)
        limit = 6;
    return limit;
}

QString arrowsLeftCaption(int arrowsLeft)
{
    return QStringLiteral("Arrows Left =") + (arrowsLeft >= 0 ? QStringLiteral(" ") : QString()) +
           QString::number(arrowsLeft);
}

int levelForTotal(int total)
{
    if (total <= 8)
        return 1;
    if (total >= 26)
        return 10;
    if (total >= 23)
        return 9;
    return (total - 9) / 2 + 2;  // 9-10 -> 2, 11-12 -> 3, ... 21-22 -> 8
}

QString exportElementName(int elementIndex)
{
    static const std::array<const char*, 11> names = {"fire", "water",  "ice",     "earth",
                                                      "wind", "poison", "thunder", "holy",
                                                      "None", "None",   "None"};
    return QLatin1String(names.at(size_t(elementIndex)));
}

std::optional<qint16> parsePlacement(const QString& text)
{
    const std::optional<double> value = parseDecimal(text);
    if (!value)
        return std::nullopt;
    const double rounded = roundHalfEvenDouble(*value);
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return static_cast<qint16>(rounded);
}

std::optional<std::array<int, 4>> drawSides(int total, double maximum, std::mt19937& generator)
{
    if (total < 4 || total > 40 || !(maximum >= 1.0) || double(total) > 4.0 * maximum)
        return std::nullopt;
    // floor(r * M) + 1 gives 1..floor(M) with weight 1 each and, for a fractional M, the value
    // ceil(M) with weight frac(M). No value above total - 3 can be part of a matching draw.
    const double whole = std::floor(maximum);
    const double fraction = maximum - whole;
    const int top = int(std::min<double>(total - 3, fraction > 0 ? whole + 1 : whole));
    std::vector<double> weight(size_t(top) + 1, 0.0);
    for (int v = 1; v <= top; ++v)
        weight[size_t(v)] = (v <= whole) ? 1.0 : fraction;

    // ways[k][s]: total weight of k values summing to s.
    std::array<std::array<double, 41>, 5> ways{};
    ways[0][0] = 1.0;
    for (size_t k = 1; k <= 4; ++k)
        for (int s = 0; s <= total; ++s)
            for (int v = 1; v <= top && v <= s; ++v)
                ways[k][size_t(s)] += weight[size_t(v)] * ways[k - 1][size_t(s - v)];
    if (ways[4][size_t(total)] <= 0.0)
        return std::nullopt;

    std::array<int, 4> sides{};
    int remaining = total;
    for (size_t i = 0; i < 4; ++i) {
        const size_t left = 3 - i;
        std::uniform_real_distribution<double> uniform(0.0, ways[left + 1][size_t(remaining)]);
        double r = uniform(generator);
        int chosen = 0;
        for (int v = 1; v <= top && v <= remaining; ++v) {
            const double w = weight[size_t(v)] * ways[left][size_t(remaining - v)];
            if (w <= 0)
                continue;
            chosen = v;
            if (r < w)
                break;
            r -= w;
        }
        sides[i] = chosen;
        remaining -= chosen;
    }
    return sides;
}

QString sideText(int value)
{
    return value == 10 ? QStringLiteral("A") : QString::number(value);
}

bool isSideValue(const QString& text)
{
    if (text.size() != 1)
        return false;
    const QChar c = text.front();
    return (c >= QLatin1Char('1') && c <= QLatin1Char('9')) || c == QLatin1Char('A');
}

bool sideIsDrawable(const QString& text)
{
    return isSideValue(text) || text == QLatin1String("a");
}

std::optional<UndrawableSide> firstUndrawableSide(const Card& card)
{
    static const std::array<const char*, 4> names = {"top", "left", "right", "bottom"};
    for (size_t i = 0; i < card.sides.size(); ++i)
        if (!sideIsDrawable(card.sides[i]))
            return UndrawableSide{int(i), QLatin1String(names[i]), card.sides[i]};
    return std::nullopt;
}

QString undrawableSideQuestion(const UndrawableSide& side)
{
    return QStringLiteral("The %1 side holds \"%2\", which the card cannot show: it shows the "
                          "digit drawn before. Write the card anyway?")
        .arg(side.name, side.text);
}

qint16 cardTotal(const Card& card)
{
    return cardTotal(card.sides);
}

int frameForCard(const Card& card)
{
    return frameForTotal(cardTotal(card.sides));
}

qint16 arrowLimit(const Card& card)
{
    return arrowLimit(cardTotal(card.sides));
}

bool mayTickAnotherArrow(const Card& card)
{
    return card.arrowCount() < arrowLimit(card);
}

std::array<QString, 4> elementSides(int element)
{
    const QString side = element == ElementTrap ? QStringLiteral("2") : QStringLiteral("A");
    return {side, side, side, side};
}

bool changeSides(Card& card, const std::array<QString, 4>& sides, ResetRules rules,
                 std::span<const int> tickOrder)
{
    if (sides == card.sides)
        return false;
    card.sides = sides;
    if (rules == ResetRules::Reset) {
        const bool lost = card.arrowCount() > 0;
        card.arrows.fill(false);
        return lost;
    }
    // The order to give arrows up in: the last ticked first, then the rest from the highest
    // index down.
    std::vector<int> latestFirst(tickOrder.rbegin(), tickOrder.rend());
    for (int arrow = CardArrowCount - 1; arrow >= 0; --arrow)
        if (std::find(tickOrder.begin(), tickOrder.end(), arrow) == tickOrder.end())
            latestFirst.push_back(arrow);
    bool lost = false;
    for (const int arrow : latestFirst) {
        if (card.arrowCount() <= std::max<int>(0, arrowLimit(card)))
            break;
        if (arrow >= 0 && arrow < CardArrowCount && card.arrows[size_t(arrow)]) {
            card.arrows[size_t(arrow)] = false;
            lost = true;
        }
    }
    return lost;
}

ElementClick clickElement(Card& card, int element, ResetRules rules,
                          std::span<const int> tickOrder)
{
    ElementClick click;
    if (element == card.element)
        return click;
    click.changed = true;
    if (rules == ResetRules::Keep && element != ElementTrap) {
        card.element = element;
        return click;
    }
    const std::array<QString, 4> sides = elementSides(element);
    // Sides the previous element put there are not the user's: replacing them loses nothing.
    click.numbersReset = sides != card.sides && card.sides != elementSides(card.element);
    card.element = element;
    click.arrowsUnticked = changeSides(card, sides, rules, tickOrder);
    return click;
}

}  // namespace orvane
