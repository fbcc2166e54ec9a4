#pragma once

#include "card/card.h"

#include <QList>
#include <QString>

namespace orvane {

// One problem of one deck row: reported as "deck.csv:12: column element: ..."
struct DeckProblem {
    QString file;
    int line = 0;    // the line the row starts on, 1-based (the header is line 1)
    QString column;  // empty when the row as a whole is wrong
    QString message;
    QString text() const;
};

struct DeckRow {
    int line = 0;
    Card card;  // main picture read, path resolved against the deck's folder
};

struct Deck {
    QList<DeckRow> rows;         // every good row
    QList<DeckProblem> problems; // every bad row (and a missing header or unreadable file)
};

// Reads a deck CSV (RFC 4180, header row, columns by name). Good rows are kept even when
// others are bad.
Deck readDeck(const QString& path);

// Appends `card` to the deck at `deckPath` (created with a header when missing), its main picture
// written beside the deck as PNG; with `replaceSameName`, the row of that name is replaced.
// `sameNameExists` tells the caller, before writing, whether a row of that name is there.
bool deckHasCard(const QString& deckPath, const QString& name);
bool addCardToDeck(const QString& deckPath, const Card& card, bool replaceSameName,
                   QString* error);

}  // namespace orvane
