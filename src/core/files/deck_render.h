// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/card_export.h"
#include "files/output_record.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSize>
#include <QString>

namespace orvane {

// What one run of renderDeck learnt about each card, for the next run over the same output
// folder (orvane-render --watch in memory, a new run through the record in the user's cache):
// a card whose inputs are the same as last time (its row, its picture file's stamp, the options,
// the parts, the program) and whose files are as that run left them is not rendered again.
// Keyed by the card's output files (full paths, one a line).
struct DeckRenderMemo {
    struct CardState {
        QByteArray inputs;       // a digest of everything the card's files are made from
        QList<FileStamp> files;  // the card's files as the run left them, in the key's order
        QSize oversizedPicture;  // the row's picture, when it was larger than the card unfitted
    };
    QHash<QString, CardState> cards;
};

// The bytes of a file are the same as `bytes`: a regular file of that size holding them.
bool fileHolds(const QString& path, const QByteArray& bytes);

}  // namespace orvane
