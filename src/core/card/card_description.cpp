// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/card_description.h"

#include "card/card_rules.h"

#include <QStringList>

namespace orvane {

namespace {

constexpr const char* SideWords[4] = {"up", "left", "right", "down"};
constexpr const char* ArrowWords[CardArrowCount] = {"upper left", "up",         "upper right", "left",
                                                    "right",      "lower left", "down",        "lower right"};
constexpr const char* FrameWords[CardFrameCount] = {"Monster", "Boss", "GF", "Character"};

// "a", "a and b", "a, b and c".
QString spokenList(const QStringList& items)
{
    if (items.size() <= 1)
        return items.value(0);
    return QStringList(items.begin(), items.end() - 1).join(QStringLiteral(", ")) +
           QStringLiteral(" and ") + items.last();
}

QString sideWords(const Card& card)
{
    QStringList sides;
    for (int side = 0; side < 4; ++side) {
        const QString text = card.sides[side].trimmed();
        const QString shown = sideIsDrawable(text) ? text.toUpper() : QStringLiteral("no number");
        sides << shown + QLatin1Char(' ') + QLatin1String(SideWords[side]);
    }
    return sides.join(QStringLiteral(", "));
}

QString arrowWords(const Card& card)
{
    QStringList arrows;
    for (int arrow = 0; arrow < CardArrowCount; ++arrow)
        if (card.arrows[arrow])
            arrows << QLatin1String(ArrowWords[arrow]);
    if (arrows.isEmpty())
        return QStringLiteral("no arrows");
    return (arrows.size() == 1 ? QStringLiteral("arrow ") : QStringLiteral("arrows ")) +
           spokenList(arrows);
}

}  // namespace

QString describeCard(const Card& card, CardColour colour)
{
    const QString element =
        card.element == NoElementChosen ? QStringLiteral("no element") : elementCaption(card.element);
    QString words = (colour == CardColour::Blue ? QStringLiteral("Blue card: ")
                                                : QStringLiteral("Red card: ")) +
                    sideWords(card) + QStringLiteral("; ") + element + QStringLiteral("; ") +
                    arrowWords(card) + QStringLiteral("; ") +
                    QLatin1String(FrameWords[frameForCard(card)]) + QStringLiteral(" frame");
    if (!card.mainPicture.isNull())
        words += QStringLiteral("; main picture");
    return words;
}

}  // namespace orvane
