// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/card_edit.h"

namespace orvane {

CardEdit::CardEdit(CardDocument& document, const QString& text, const CardDocument::State& before,
                   const CardDocument::State& after, CardDocument::Changes what, int mergeId,
                   int detail, bool continuing)
    : QUndoCommand(text), m_document(document), m_before(before), m_after(after), m_what(what),
      m_mergeId(mergeId), m_detail(detail), m_continuing(continuing)
{
}

void CardEdit::undo()
{
    m_document.restore(m_before, m_what);
}

void CardEdit::redo()
{
    m_document.restore(m_after, m_what);
}

bool CardEdit::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const CardEdit*>(other);
    if (!next->m_continuing || &next->m_document != &m_document || next->m_detail != m_detail)
        return false;
    m_after = next->m_after;
    m_what |= next->m_what;
    // Typed or dragged back to where it was: the step disappears.
    setObsolete(m_after == m_before);
    return true;
}

}  // namespace orvane
