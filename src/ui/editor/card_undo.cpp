#include "editor/card_undo.h"

using namespace orvane;

CardChange::CardChange(CardDocument& document, const Card& before, const Card& after,
                       CardDocument::Change change, int detail, bool mergeable)
    : QUndoCommand(describe(change)), m_document(document), m_before(before), m_after(after),
      m_change(change), m_detail(detail), m_mergeable(mergeable)
{
}

void CardChange::undo()
{
    m_document.apply(m_before);
}

void CardChange::redo()
{
    if (m_done) {
        m_done = false;
        return;
    }
    m_document.apply(m_after);
}

int CardChange::id() const
{
    // Only typing and scroll bar steps ever merge.
    switch (m_change) {
    case CardDocument::Change::Typing: return 1;
    case CardDocument::Change::Position: return 2;
    default: return -1;
    }
}

bool CardChange::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const CardChange*>(other);
    if (!next->m_mergeable || next->m_change != m_change || next->m_detail != m_detail)
        return false;
    m_after = next->m_after;
    // Typed back to what it was: the step disappears.
    setObsolete(m_after == m_before);
    return true;
}

QString CardChange::describe(CardDocument::Change change)
{
    switch (change) {
    case CardDocument::Change::Typing: return QStringLiteral("Typing");
    case CardDocument::Change::Element: return QStringLiteral("Element");
    case CardDocument::Change::Arrow: return QStringLiteral("Arrow");
    case CardDocument::Change::Position: return QStringLiteral("Picture Position");
    case CardDocument::Change::MainPicture: return QStringLiteral("Main Picture");
    case CardDocument::Change::Placement: return QStringLiteral("Advanced Settings");
    case CardDocument::Change::Random: return QStringLiteral("Randomize Numbers");
    }
    return {};
}
