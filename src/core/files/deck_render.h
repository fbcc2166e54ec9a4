#pragma once

#include "files/card_export.h"

#include <QByteArray>
#include <QHash>
#include <QString>

namespace orvane {

// What one run of renderDeck learnt about each card, for the next run over the same deck with
// the same options and parts (orvane-render --watch, the set panel): a card whose inputs are the
// same as last time (its row, its picture file's size and time, the options) and whose files are
// still there is not rendered again. Keyed by the card's output files (full paths, one a line).
// Clear it when the parts or the options change.
struct DeckRenderMemo {
    struct CardState {
        QByteArray inputs;  // a digest of everything the card's files are made from
    };
    QHash<QString, CardState> cards;
};

// The bytes of a file are the same as `bytes`: a regular file of that size holding them.
bool fileHolds(const QString& path, const QByteArray& bytes);

}  // namespace orvane
