// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "set/card_set.h"

#include <QUndoCommand>

namespace orvane {

// Adds cards at their positions (redo) and takes them out again (undo); with `inserting` false
// the other way round: deleting cards.
class EntryInsertCommand : public QUndoCommand {
public:
    EntryInsertCommand(CardSet& set, const QList<QPair<int, SetEntry>>& items, bool inserting,
                       const QString& text);
    void redo() override;
    void undo() override;

private:
    CardSet& m_set;
    QList<QPair<int, SetEntry>> m_items;  // ascending positions
    bool m_inserting;
};

// Puts the cards in another order.
class EntryOrderCommand : public QUndoCommand {
public:
    EntryOrderCommand(CardSet& set, const QList<quint64>& before, const QList<quint64>& after);
    void redo() override;
    void undo() override;

private:
    CardSet& m_set;
    QList<quint64> m_before;
    QList<quint64> m_after;
};

// Changes cards in place. Steps of one merge key on the same single card are one step (the
// typing in one box, one drag).
class EntryChangeCommand : public QUndoCommand {
public:
    EntryChangeCommand(CardSet& set, const QList<SetEntry>& before, const QList<SetEntry>& after,
                       const QString& text, int mergeKey);
    void redo() override;
    void undo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    CardSet& m_set;
    QList<SetEntry> m_before;
    QList<SetEntry> m_after;
    int m_mergeKey;
};

}  // namespace orvane
