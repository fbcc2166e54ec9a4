#pragma once

#include "document/card_document.h"
#include "set/card_set.h"

#include <QHash>
#include <QObject>

namespace orvane {

// The card documents of a set's cards, one per card, made when the card is first shown. Each
// keeps its edits on the set's undo stack, so card edits and set operations are one history:
// an edit of a document (or its undo, whichever card is shown then) changes that card in the set
// at once, and a set operation that changes a card (rename, a change to all selected, undo of
// either) puts the card back into its document.
class SetCardDocuments : public QObject {
    Q_OBJECT
public:
    explicit SetCardDocuments(CardSet& set, QObject* parent = nullptr);

    // The document of the card `id`; null for a bad row or a card not in the set.
    CardDocument* document(quint64 id);
    int count() const { return int(m_documents.size()); }

private:
    void documentChanged(quint64 id);
    void cardChanged(quint64 id);
    void setOpened();

    CardSet& m_set;
    QHash<quint64, CardDocument*> m_documents;
    bool m_updating = false;  // a document is being given its card from the set
};

}  // namespace orvane
