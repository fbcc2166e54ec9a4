#pragma once

#include "document/card_document.h"
#include "set/card_set.h"

#include <QObject>

class QUndoCommand;

namespace orvane {

// Shows one card of a set in a card document (the editor's) and keeps the two the same: every
// edit of the document changes that card in the set as one step of the set's history (typing in
// one box and one drag merged), and the set's undo, redo or any other change of the card puts
// it back into the document. The set's undo stack is the one history while a set is open.
class SetCardLink : public QObject {
    Q_OBJECT
public:
    SetCardLink(CardSet& set, CardDocument& document, QObject* parent = nullptr);

    // The card shown (0: none).
    quint64 current() const { return m_current; }
    // Shows the card `id` (a bad row or 0: nothing is linked, the document keeps its card).
    void pick(quint64 id);

signals:
    void currentChanged(quint64 id);

private:
    void documentStepped();
    void cardChanged(quint64 id);
    void cardsReset();

    CardSet& m_set;
    CardDocument& m_document;
    quint64 m_current = 0;
    bool m_updating = false;  // the document is being given the set's card
    bool m_pending = false;   // the document changed by an edit of its own
    // The document's last step as last seen, to tell a merged edit from a new one.
    const QUndoCommand* m_lastTop = nullptr;
    int m_lastCount = 0;
    quint64 m_lastEdited = 0;
    int m_mergeKey = 0;
};

}  // namespace orvane
