#include "set/set_card_documents.h"

namespace orvane {

SetCardDocuments::SetCardDocuments(CardSet& set, QObject* parent) : QObject(parent), m_set(set)
{
    connect(&set, &CardSet::cardChanged, this, &SetCardDocuments::cardChanged);
    connect(&set, &CardSet::opened, this, &SetCardDocuments::setOpened);
}

CardDocument* SetCardDocuments::document(quint64 id)
{
    // A card that became a bad row (its picture removed) has no card to edit; its document
    // stays for the history and shows it again when the row heals.
    const SetEntry* entry = m_set.entry(id);
    if (!entry || entry->isBad())
        return nullptr;
    if (CardDocument* document = m_documents.value(id))
        return document;
    auto* document = new CardDocument(m_set.undoStack(), this);
    m_updating = true;
    document->setCard(m_set.readyCard(id));
    m_updating = false;
    connect(document, &CardDocument::changed, this, [this, id] { documentChanged(id); });
    m_documents.insert(id, document);
    return document;
}

void SetCardDocuments::documentChanged(quint64 id)
{
    if (m_updating)
        return;
    m_updating = true;
    m_set.takeCard(id, m_documents.value(id)->card());
    m_updating = false;
}

void SetCardDocuments::cardChanged(quint64 id)
{
    CardDocument* document = m_documents.value(id);
    if (!document || m_updating)
        return;
    const SetEntry* entry = m_set.entry(id);
    if (!entry || entry->isBad())
        return;
    const Card card = m_set.readyCard(id);
    if (card == document->card())
        return;
    m_updating = true;
    document->setCard(card);
    m_updating = false;
}

// A set opened (or restored) has new cards: the documents of the old ones go, and with them any
// window still showing one.
void SetCardDocuments::setOpened()
{
    const QHash<quint64, CardDocument*> documents = std::exchange(m_documents, {});
    for (CardDocument* document : documents)
        delete document;
}

}  // namespace orvane
