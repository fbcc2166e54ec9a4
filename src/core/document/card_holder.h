// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card.h"

#include <QString>

namespace orvane {

// Where a card document's card lives. The document keeps what the editor drew and the undo
// steps; the card itself is read and written here, so a card that belongs to something larger
// (a set) exists once, in it.
class CardHolder {
public:
    virtual ~CardHolder() = default;
    // The card as it is edited (its main picture read). The reference is good until the holder's
    // card next changes or is next read.
    virtual const Card& card() const = 0;
    // Puts an edited card in place; the undo step, if any, is the document's.
    virtual void setCard(const Card& card) = 0;
    // The part pack the card is drawn with (empty: the built-in parts), installed or not: kept
    // where the card is, so a set's card keeps it in its deck row or card file.
    virtual QString pack() const = 0;
    virtual void setPack(const QString& pack) = 0;
};

// A card that belongs to nothing else (a card file, a new card): the holder keeps it.
class LoneCardHolder final : public CardHolder {
public:
    const Card& card() const override { return m_card; }
    void setCard(const Card& card) override { m_card = card; }
    QString pack() const override { return m_pack; }
    void setPack(const QString& pack) override { m_pack = pack; }

private:
    Card m_card;
    QString m_pack;
};

}  // namespace orvane
