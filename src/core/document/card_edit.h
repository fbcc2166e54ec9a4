// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/card_document.h"

#include <QUndoCommand>

namespace orvane {

// One edit of a card document: the state before and after it. Redo puts the new state in
// place, undo the old one, so an element click brings back the numbers and arrows it replaced.
class CardEdit : public QUndoCommand {
public:
    // Edits of the same `mergeId` (typing, a drag) and `detail` (the box) merge when the later
    // one is `continuing`.
    CardEdit(CardDocument& document, const QString& text, const CardDocument::State& before,
             const CardDocument::State& after, CardDocument::Changes what, int mergeId, int detail,
             bool continuing);

    void undo() override;
    void redo() override;
    int id() const override { return m_mergeId; }
    bool mergeWith(const QUndoCommand* other) override;

    enum MergeId { Typing = 1, Moving = 2 };

private:
    CardDocument& m_document;
    CardDocument::State m_before;
    CardDocument::State m_after;
    CardDocument::Changes m_what;
    int m_mergeId;
    int m_detail;
    bool m_continuing;
};

}  // namespace orvane
