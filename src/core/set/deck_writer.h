// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/deck_text.h"
#include "set/set_entry.h"

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QString>

#include <optional>

namespace orvane {

// The deck text (UTF-8) for the set's cards, built from `original` (the deck's text as read,
// decoded) so that every byte of an untouched row, the header, blank lines, the line ends and a
// byte order mark kept as text stay; changed rows are written cell by cell with `separator`, new
// rows added in their place. `pictureCells` holds the picture cell of each card whose picture
// changed, by id; `movedPictures` the picture cell of a row whose picture stays but is named
// from another folder (Save As elsewhere). False with `error` when a card cannot be a deck row.
// `offsets` receives where each entry's row starts in the text, by id.
struct DeckRowCells {
    QMap<quint64, QString> pictureCells;
    QMap<quint64, QString> movedPictures;
};
bool buildDeckText(const QByteArray& original, char separator, const QList<SetEntry>& entries,
                   const QHash<quint64, SetSource>& sources, const DeckRowCells& cells,
                   QByteArray* text, QHash<quint64, qsizetype>* offsets, QString* error);

// Where `text` (UTF-8) cannot be stored in `form`'s encoding: the first character it lacks and
// its line (1-based); none when it can.
struct EncodingLack {
    QString character;
    int line = 0;
};
std::optional<EncodingLack> encodingLack(const QByteArray& text, const DeckTextForm& form,
                                         const QByteArray& encoded);

}  // namespace orvane
