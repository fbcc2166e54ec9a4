#pragma once

#include "card/card.h"
#include "editor/card_document.h"

#include <QUndoCommand>

// One user step: the card before and after it. Undo and redo put the whole card back, so an
// element click brings back the numbers it replaced and the arrows its handlers unticked.
class CardChange : public QUndoCommand {
public:
    // `mergeable`: this step continues the step on top of the stack (more typing in the same
    // box, the same drag of a scroll bar).
    CardChange(CardDocument& document, const orvane::Card& before, const orvane::Card& after,
               CardDocument::Change change, int detail, bool mergeable);

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

    static QString describe(CardDocument::Change change);

private:
    CardDocument& m_document;
    orvane::Card m_before;
    orvane::Card m_after;
    CardDocument::Change m_change;
    int m_detail;
    bool m_mergeable;
    bool m_done = true;  // pushed after the change was made: the first redo has nothing to do
};
