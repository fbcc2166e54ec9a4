// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/card_document.h"
#include "set/card_set.h"

#include <QObject>
#include <QString>

class QUndoStack;

namespace orvane {

class SetCardViews;

// What the user has open and which card is current, for every view of it (the editor, the set
// panel, the file follower, the title bar): a lone card, or a set of cards with one of its cards
// current or none. The editor shows `currentDocument()`; with a set open and no card current it
// shows no card at all, so no edit and no undo ever reaches a card out of sight.
class Session : public QObject {
    Q_OBJECT
public:
    explicit Session(QObject* parent = nullptr);
    ~Session() override;

    // The card edited while no set is open (a card file, or a new card).
    CardDocument& loneCard() const { return *m_loneCard; }
    // The set; empty while none is open.
    CardSet& set() const { return *m_set; }
    bool hasSet() const { return m_hasSet; }

    // Opens a deck or a folder of card files and makes its first good card current. False with
    // `error` (and the session as it was) when it cannot be read.
    bool openSet(const QString& path, QString* error);
    // A new, empty set (saved later as a deck).
    void startNewSet();
    // The set as a recovery file holds it. False with `error` (the session as it was).
    bool restoreSet(const QByteArray& text, QString* error);
    // Back to the lone card.
    void closeSet();

    // The current card of the set (0: none, and always 0 while no set is open).
    quint64 currentId() const { return m_currentId; }
    void setCurrentId(quint64 id);
    // The document the editor shows and edits: the lone card while no set is open, else the
    // current card's; null while the set has no card current, or the current row is bad.
    CardDocument* currentDocument() const;
    // Why there is no current document (empty while there is one).
    QString whyNoCard() const;
    // The history Undo and Redo work on: the set's while one is open, else the lone card's.
    QUndoStack* history() const;

signals:
    // A set was opened, started, restored or closed.
    void openChanged();
    // Another card became current, or the current card became editable or bad.
    void currentChanged();

private:
    void setOpened(bool open);
    void cardChanged(quint64 id);
    void cardsReset();

    CardDocument* m_loneCard = nullptr;
    CardSet* m_set = nullptr;
    SetCardViews* m_documents = nullptr;
    bool m_hasSet = false;
    quint64 m_currentId = 0;
    bool m_currentWasBad = false;
};

}  // namespace orvane
