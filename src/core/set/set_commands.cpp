// SPDX-License-Identifier: GPL-3.0-or-later
#include "set/set_commands.h"

namespace orvane {
namespace {

// QUndoCommand ids of mergeable edits start here, so they never meet another kind's.
constexpr int MergeIdBase = 0x5e70000;

}  // namespace

EntryInsertCommand::EntryInsertCommand(CardSet& set, const QList<QPair<int, SetEntry>>& items,
                                       bool inserting, const QString& text)
    : QUndoCommand(text), m_set(set), m_items(items), m_inserting(inserting)
{
}

void EntryInsertCommand::redo()
{
    if (m_inserting)
        m_set.insertEntries(m_items);
    else
        m_set.removeEntries(m_items);
}

void EntryInsertCommand::undo()
{
    if (m_inserting)
        m_set.removeEntries(m_items);
    else
        m_set.insertEntries(m_items);
}

EntryOrderCommand::EntryOrderCommand(CardSet& set, const QList<quint64>& before,
                                     const QList<quint64>& after)
    : QUndoCommand(QStringLiteral("Move Cards")), m_set(set), m_before(before), m_after(after)
{
}

void EntryOrderCommand::redo()
{
    m_set.reorder(m_after);
}

void EntryOrderCommand::undo()
{
    m_set.reorder(m_before);
}

EntryChangeCommand::EntryChangeCommand(CardSet& set, const QList<SetEntry>& before,
                                       const QList<SetEntry>& after, const QString& text,
                                       int mergeKey)
    : QUndoCommand(text), m_set(set), m_before(before), m_after(after), m_mergeKey(mergeKey)
{
}

void EntryChangeCommand::redo()
{
    m_set.putEntries(m_after);
}

void EntryChangeCommand::undo()
{
    m_set.putEntries(m_before);
}

int EntryChangeCommand::id() const
{
    return m_mergeKey == 0 || m_after.size() != 1 ? -1 : MergeIdBase + m_mergeKey;
}

bool EntryChangeCommand::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const EntryChangeCommand*>(other);
    if (next->m_after.size() != 1 || next->m_after.front().id != m_after.front().id)
        return false;
    m_after = next->m_after;
    return true;
}

}  // namespace orvane
