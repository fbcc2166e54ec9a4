#include "set/set_card_link.h"

#include <QUndoStack>

namespace orvane {
SetCardLink::SetCardLink(CardSet& set, CardDocument& document, QObject* parent)
    : QObject(parent), m_set(set), m_document(document)
{
    connect(&document, &CardDocument::changed, this, [this] { m_pending = !m_updating; });
    // A step is pushed (or merged) after the document announced its change: the set follows
    // once the document's history shows which it was.
    connect(document.undoStack(), &QUndoStack::indexChanged, this, &SetCardLink::documentStepped);
    connect(&set, &CardSet::cardChanged, this, &SetCardLink::cardChanged);
    connect(&set, &CardSet::cardsReset, this, &SetCardLink::cardsReset);
}

void SetCardLink::pick(quint64 id)
{
    const SetEntry* entry = m_set.entry(id);
    const quint64 next = entry && !entry->isBad() ? id : 0;
    if (next != 0) {
        m_updating = true;
        m_document.setCard(m_set.readyCard(next));
        m_updating = false;
    }
    if (next != m_current) {
        m_current = next;
        emit currentChanged(next);
    }
}

void SetCardLink::documentStepped()
{
    if (!m_pending || m_current == 0)
        return;
    m_pending = false;
    const SetEntry* entry = m_set.entry(m_current);
    if (!entry)
        return;
    // The document merged this edit into its last step (typing in one box, one drag) when its
    // top command is still the one it was: the set's step merges likewise.
    const QUndoStack* stack = m_document.undoStack();
    const QUndoCommand* top = stack->index() > 0 ? stack->command(stack->index() - 1) : nullptr;
    const bool merged = top != nullptr && top == m_lastTop && stack->count() == m_lastCount &&
                        m_lastEdited == m_current;
    if (!merged)
        m_mergeKey = m_mergeKey % 0xFFFF + 1;
    m_lastTop = top;
    m_lastCount = stack->count();
    m_lastEdited = m_current;
    m_set.setCard(m_current, m_document.card(), m_mergeKey);
}

void SetCardLink::cardChanged(quint64 id)
{
    if (id != m_current)
        return;
    const Card card = m_set.readyCard(id);
    if (card == m_document.card())
        return;
    m_updating = true;
    m_document.setCard(card);
    m_updating = false;
}

void SetCardLink::cardsReset()
{
    if (m_current == 0)
        return;
    if (m_set.entry(m_current)) {
        cardChanged(m_current);
        return;
    }
    m_current = 0;
    emit currentChanged(0);
}

}  // namespace orvane
