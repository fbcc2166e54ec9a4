// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/set_cards.h"

#include "card/card_file.h"
#include "render/card_parts.h"
#include "set/card_set.h"

#include <QCursor>
#include <QGuiApplication>

namespace orvane {

QList<NamedCard> renderSetCards(const CardSet& set, const QList<quint64>& ids,
                                const QString& partsRoot, QString* error)
{
    const std::optional<CardParts> parts = CardParts::load(partsRoot, error);
    if (!parts)
        return {};
    QList<NamedCard> cards;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    for (const quint64 id : ids) {
        const SetEntry* entry = set.entry(id);
        if (!entry || entry->isBad())
            continue;
        const Card card = set.readyCard(id);
        cards.append({card.name, safeFileName(card.name), renderCard(card, *parts), entry->copies});
    }
    QGuiApplication::restoreOverrideCursor();
    if (cards.isEmpty() && error)
        *error = QStringLiteral("There is no card to write: bad rows are mended first.");
    return cards;
}

}  // namespace orvane
