// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/session.h"

#include "set/set_card_views.h"

#include <QUndoStack>

namespace orvane {

Session::Session(QObject* parent) : QObject(parent)
{
    m_loneCard = new CardDocument(nullptr, this);
    m_set = new CardSet(nullptr, this);
    m_documents = new SetCardViews(*m_set, this);
    connect(m_set, &CardSet::cardChanged, this, &Session::cardChanged);
    connect(m_set, &CardSet::cardsReset, this, &Session::cardsReset);
}

Session::~Session() = default;

void Session::setOpened(bool open)
{
    m_hasSet = open;
    m_currentId = 0;
    if (open) {
        for (const SetEntry& e : m_set->entries())
            if (!e.isBad()) {
                m_currentId = e.id;
                break;
            }
    }
    const SetEntry* current = m_set->entry(m_currentId);
    m_currentWasBad = current && current->isBad();
    emit openChanged();
    emit currentChanged();
}

bool Session::openSet(const QString& path, QString* error)
{
    if (!m_set->open(path, error))
        return false;
    setOpened(true);
    return true;
}

void Session::startNewSet()
{
    m_set->startNew();
    setOpened(true);
}

bool Session::restoreSet(const QByteArray& text, QString* error)
{
    if (!m_set->restore(text, error))
        return false;
    setOpened(true);
    // A restored set shows its first card, good or bad: a bad one says why in the editor.
    if (!m_currentId && !m_set->entries().isEmpty())
        setCurrentId(m_set->entries().front().id);
    return true;
}

void Session::closeSet()
{
    if (!m_hasSet)
        return;
    m_set->startNew();
    setOpened(false);
}

void Session::setCurrentId(quint64 id)
{
    if (!m_hasSet || (id && !m_set->entry(id)))
        id = 0;
    const SetEntry* e = m_set->entry(id);
    const bool bad = e && e->isBad();
    if (id == m_currentId && bad == m_currentWasBad)
        return;
    m_currentId = id;
    m_currentWasBad = bad;
    emit currentChanged();
}

CardDocument* Session::currentDocument() const
{
    if (!m_hasSet)
        return m_loneCard;
    return m_currentId ? m_documents->document(m_currentId) : nullptr;
}

QString Session::whyNoCard() const
{
    if (currentDocument())
        return {};
    if (const SetEntry* e = m_set->entry(m_currentId); e && e->isBad())
        return tr("Line %1 cannot be read: %2. Double-click the row to mend it.")
            .arg(e->line)
            .arg(e->problem);
    return tr("No card of the set is current: pick one in the set to edit it.");
}

QUndoStack* Session::history() const
{
    return m_hasSet ? m_set->undoStack() : m_loneCard->undoStack();
}

// A card that became a bad row (its picture removed) or healed changes what the editor shows.
void Session::cardChanged(quint64 id)
{
    if (id != m_currentId)
        return;
    const SetEntry* e = m_set->entry(id);
    const bool bad = e && e->isBad();
    if (bad != m_currentWasBad) {
        m_currentWasBad = bad;
        emit currentChanged();
    }
}

// A card removed (Delete, undo of Add) is no longer current.
void Session::cardsReset()
{
    if (m_currentId && !m_set->entry(m_currentId)) {
        m_currentId = 0;
        m_currentWasBad = false;
        emit currentChanged();
    }
}

}  // namespace orvane
