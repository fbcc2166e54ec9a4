// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/card_statistics.h"

#include "card/card_rules.h"

#include <QHash>

#include <algorithm>
#include <optional>
#include <vector>

namespace orvane {
namespace {

// 1..10 for a side value ("1".."9", "A"), none for any other text.
std::optional<int> sideNumber(const QString& text)
{
    if (!isSideValue(text))
        return std::nullopt;
    return text == QLatin1String("A") ? 10 : text.front().digitValue();
}

quint8 arrowMask(const Card& card)
{
    quint8 mask = 0;
    for (size_t a = 0; a < card.arrows.size(); ++a)
        if (card.arrows[a])
            mask = quint8(mask | (1u << a));
    return mask;
}

// A card as dominance compares it: the four sides one byte each, the arrows as bits.
struct Candidate {
    quint32 sides = 0;
    quint8 arrows = 0;
    int score = 0;  // sum of the sides plus the number of arrows
    int card = -1;  // the first card with these sides and arrows
};

// Whether `better` is at least as high on every side and holds every arrow of `worse`. Each
// byte of `better` gets its top bit set before the subtraction; it stays set only where
// better >= worse (sides are at most 10, so no byte borrows from the next).
bool atLeastAsGood(const Candidate& better, const Candidate& worse)
{
    constexpr quint32 TopBits = 0x80808080u;
    const bool sides = (((better.sides | TopBits) - worse.sides) & TopBits) == TopBits;
    return sides && (worse.arrows & ~better.arrows) == 0;
}

// For each candidate of one element (distinct sides and arrows), the card of a candidate that
// dominates it, or -1. A dominating card has a strictly higher score, so in order of falling
// score every dominator comes first; and whatever dominates a card is itself dominated by, or
// is, a card nothing dominates. So each candidate is compared with the undominated ones only.
std::vector<int> dominators(std::vector<Candidate>& group)
{
    std::vector<size_t> order(group.size());
    for (size_t k = 0; k < order.size(); ++k)
        order[k] = k;
    std::sort(order.begin(), order.end(), [&group](size_t a, size_t b) {
        if (group[a].score != group[b].score)
            return group[a].score > group[b].score;
        return group[a].card < group[b].card;
    });
    std::vector<int> dominator(group.size(), -1);
    std::vector<Candidate> undominated;
    for (const size_t k : order) {
        const Candidate& candidate = group[k];
        const auto found =
            std::find_if(undominated.begin(), undominated.end(),
                         [&candidate](const Candidate& u) { return atLeastAsGood(u, candidate); });
        if (found != undominated.end())
            dominator[k] = found->card;
        else
            undominated.push_back(candidate);
    }
    return dominator;
}

QString elementWord(int element)
{
    const QString caption = elementCaption(element);
    return caption.isEmpty() ? QStringLiteral("no element") : caption;
}

QString duplicateKey(const Card& card)
{
    return QString::number(card.element) + QChar(0x1f) + card.sides[0] + QChar(0x1f) +
           card.sides[1] + QChar(0x1f) + card.sides[2] + QChar(0x1f) + card.sides[3] + QChar(0x1f) +
           QString::number(arrowMask(card));
}

void countCard(CardStatistics& stats, const Card& card)
{
    const int total = cardTotal(card);
    stats.totals[total] += 1;
    stats.frames[size_t(frameForTotal(total))] += 1;
    for (size_t side = 0; side < 4; ++side) {
        if (const std::optional<int> value = sideNumber(card.sides[side]))
            stats.sideValues[side][size_t(*value - 1)] += 1;
        else
            stats.otherSides[side] += 1;
    }
    if (card.element >= NoElementChosen && card.element < ElementOptionCount)
        stats.elements[size_t(card.element + 1)] += 1;
    stats.arrowCounts[size_t(card.arrowCount())] += 1;
    for (size_t a = 0; a < card.arrows.size(); ++a)
        if (card.arrows[a])
            stats.arrowDirections[a] += 1;
}

void findDominated(CardStatistics& stats, const QList<Card>& cards)
{
    // The distinct sides and arrows of each element; duplicates share one candidate.
    std::array<std::vector<Candidate>, ElementOptionCount + 1> groups;
    std::array<QHash<quint64, size_t>, ElementOptionCount + 1> seen;
    std::vector<std::pair<size_t, size_t>> place(size_t(cards.size()), {0, SIZE_MAX});
    for (int i = 0; i < cards.size(); ++i) {
        const Card& card = cards[i];
        if (card.element < NoElementChosen || card.element >= ElementOptionCount)
            continue;
        Candidate candidate;
        bool comparable = true;
        for (size_t side = 0; side < 4 && comparable; ++side) {
            const std::optional<int> value = sideNumber(card.sides[side]);
            comparable = value.has_value();
            if (comparable) {
                candidate.sides |= quint32(*value) << (8 * side);
                candidate.score += *value;
            }
        }
        if (!comparable)
            continue;
        candidate.arrows = arrowMask(card);
        candidate.score += card.arrowCount();
        candidate.card = i;
        const size_t g = size_t(card.element + 1);
        const quint64 key = (quint64(candidate.sides) << 8) | candidate.arrows;
        auto known = seen[g].constFind(key);
        if (known == seen[g].constEnd()) {
            known = seen[g].insert(key, groups[g].size());
            groups[g].push_back(candidate);
        }
        place[size_t(i)] = {g, known.value()};
    }
    std::array<std::vector<int>, ElementOptionCount + 1> dominatorOf;
    for (size_t g = 0; g < groups.size(); ++g)
        dominatorOf[g] = dominators(groups[g]);
    for (int i = 0; i < cards.size(); ++i) {
        const auto [g, k] = place[size_t(i)];
        if (k == SIZE_MAX || dominatorOf[g][k] < 0)
            continue;
        const int other = dominatorOf[g][k];
        stats.findings.append(
            {FindingKind::Dominated, i, other,
             QStringLiteral("%1 is dominated by %2 (%3)")
                 .arg(statisticsCardName(cards, i), statisticsCardName(cards, other),
                      elementWord(cards[i].element))});
    }
}

void findDuplicates(CardStatistics& stats, const QList<Card>& cards)
{
    QHash<QString, int> first;
    first.reserve(cards.size());
    for (int i = 0; i < cards.size(); ++i) {
        const QString key = duplicateKey(cards[i]);
        const auto known = first.constFind(key);
        if (known == first.constEnd()) {
            first.insert(key, i);
            continue;
        }
        const int other = known.value();
        stats.findings.append(
            {FindingKind::Duplicate, i, other,
             QStringLiteral("%1 duplicates %2")
                 .arg(statisticsCardName(cards, i), statisticsCardName(cards, other))});
    }
}

void findTooManyArrows(CardStatistics& stats, const QList<Card>& cards)
{
    for (int i = 0; i < cards.size(); ++i) {
        const Card& card = cards[i];
        const int limit = arrowLimit(card);
        if (card.arrowCount() <= limit)
            continue;
        stats.findings.append({FindingKind::TooManyArrows, i, -1,
                               QStringLiteral("%1 has %2 arrows; its total %3 allows %4")
                                   .arg(statisticsCardName(cards, i))
                                   .arg(card.arrowCount())
                                   .arg(cardTotal(card))
                                   .arg(limit)});
    }
}

}  // namespace

QList<FrameBand> frameBands()
{
    QList<FrameBand> bands;
    for (int total = LowestUsualTotal; total <= HighestUsualTotal; ++total) {
        const int frame = frameForTotal(total);
        if (bands.isEmpty() || bands.back().frame != frame)
            bands.append({frame, total, total});
        else
            bands.back().highest = total;
    }
    return bands;
}

QString frameName(int frame)
{
    static const std::array<const char*, CardFrameCount> names = {"Monster", "Boss", "GF",
                                                                  "Character"};
    if (frame < 0 || frame >= CardFrameCount)
        return {};
    return QLatin1String(names[size_t(frame)]);
}

int CardStatistics::findingCount(FindingKind kind) const
{
    return int(std::count_if(findings.begin(), findings.end(),
                             [kind](const CardFinding& f) { return f.kind == kind; }));
}

CardStatistics cardStatistics(const QList<Card>& cards, int badRows)
{
    CardStatistics stats;
    stats.cards = int(cards.size());
    stats.badRows = std::max(0, badRows);
    for (const Card& card : cards)
        countCard(stats, card);
    findDominated(stats, cards);
    findDuplicates(stats, cards);
    findTooManyArrows(stats, cards);
    return stats;
}

QString statisticsCardName(const QList<Card>& cards, int index)
{
    if (index < 0 || index >= cards.size())
        return {};
    const QString name = cards[index].name.trimmed();
    return name.isEmpty() ? QStringLiteral("card %1").arg(index + 1) : name;
}

QString badRowsSentence(int badRows)
{
    if (badRows <= 0)
        return {};
    return badRows == 1 ? QStringLiteral("1 bad row not counted")
                        : QStringLiteral("%1 bad rows not counted").arg(badRows);
}

QString statisticsSideName(int side)
{
    static const std::array<const char*, 4> names = {"up", "left", "right", "down"};
    if (side < 0 || side >= 4)
        return {};
    return QLatin1String(names[size_t(side)]);
}

bool CardFilter::matches(const Card& card) const
{
    switch (field) {
    case Field::None: return true;
    case Field::Total: return cardTotal(card) == value;
    case Field::Frame: return frameForCard(card) == value;
    case Field::SideValue:
        return side >= 0 && side < 4 && sideNumber(card.sides[size_t(side)]) == value;
    case Field::Element: return card.element == value;
    case Field::ArrowCount: return card.arrowCount() == value;
    case Field::ArrowDirection:
        return value >= 0 && value < CardArrowCount && card.arrows[size_t(value)];
    }
    return false;
}

QString CardFilter::description() const
{
    switch (field) {
    case Field::None: return QStringLiteral("every card");
    case Field::Total: return QStringLiteral("total %1").arg(value);
    case Field::Frame: return QStringLiteral("%1 frame").arg(frameName(value));
    case Field::SideValue:
        return QStringLiteral("%1 side %2").arg(statisticsSideName(side), sideText(value));
    case Field::Element: return QStringLiteral("element %1").arg(elementWord(value));
    case Field::ArrowCount:
        return value == 1 ? QStringLiteral("1 arrow") : QStringLiteral("%1 arrows").arg(value);
    case Field::ArrowDirection: return QStringLiteral("arrow %1").arg(arrowWord(value));
    }
    return {};
}

}  // namespace orvane
