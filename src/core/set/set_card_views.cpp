// SPDX-License-Identifier: GPL-3.0-or-later
#include "set/set_card_views.h"

namespace orvane {

SetCardViews::SetCardViews(CardSet& set, QObject* parent) : QObject(parent), m_set(set)
{
    connect(&set, &CardSet::cardReplaced, this, &SetCardViews::cardReplaced);
    connect(&set, &CardSet::opened, this, &SetCardViews::setOpened);
}

CardDocument* SetCardViews::document(quint64 id)
{
    // A card that became a bad row (its picture removed) has no card to edit; its document
    // stays for the history and shows it again when the row heals.
    const SetEntry* entry = m_set.entry(id);
    if (!entry || entry->isBad())
        return nullptr;
    if (CardDocument* document = m_documents.value(id))
        return document;
    auto* document =
        new CardDocument(std::make_unique<SetCardHolder>(m_set, id), m_set.undoStack(), this);
    m_documents.insert(id, document);
    return document;
}

// A bad row has no card to show: its document is told when the row heals.
void SetCardViews::cardReplaced(quint64 id)
{
    CardDocument* document = m_documents.value(id);
    const SetEntry* entry = m_set.entry(id);
    if (document && entry && !entry->isBad())
        document->cardReplaced();
}

// A set opened (or restored) has new cards: the documents of the old ones go, and with them any
// window still showing one.
void SetCardViews::setOpened()
{
    const QHash<quint64, CardDocument*> documents = std::exchange(m_documents, {});
    for (CardDocument* document : documents)
        delete document;
}

}  // namespace orvane
