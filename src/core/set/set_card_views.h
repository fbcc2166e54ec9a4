// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/card_document.h"
#include "set/card_set.h"

#include <QHash>
#include <QObject>

namespace orvane {

// A set card's holder: the card is the set's entry. Reading gives the card made ready (its
// picture read, see CardSet::readyCard); writing puts the edit into the set without a step of
// its own, the document having made the step on the set's undo stack.
class SetCardHolder final : public CardHolder {
public:
    SetCardHolder(CardSet& set, quint64 id) : m_set(set), m_id(id) {}
    const Card& card() const override { return m_set.editedCard(m_id); }
    void setCard(const Card& card) override { m_set.takeCard(m_id, card); }
    QString pack() const override { return m_set.packOf(m_id); }
    void setPack(const QString& pack) override { m_set.takePack(m_id, pack); }

private:
    CardSet& m_set;
    quint64 m_id;
};

// The card documents of a set's cards, one per card, made when the card is first shown: views
// of the set's entries, their edits steps of the set's one history. A document stays while the
// set is open (its steps name it), and goes when another set is opened.
class SetCardViews : public QObject {
    Q_OBJECT
public:
    explicit SetCardViews(CardSet& set, QObject* parent = nullptr);

    // The document of the card `id`; null for a bad row or a card not in the set.
    CardDocument* document(quint64 id);
    int count() const { return int(m_documents.size()); }

private:
    void cardReplaced(quint64 id);
    void setOpened();

    CardSet& m_set;
    QHash<quint64, CardDocument*> m_documents;
};

}  // namespace orvane
