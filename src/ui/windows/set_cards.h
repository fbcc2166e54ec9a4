// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/play_outputs.h"

#include <QList>
#include <QString>

namespace orvane {

class CardSet;

// The cards `ids` of `set` rendered with the card parts under `partsRoot` (bad rows left out),
// named as the set names them, each with the copies the set holds for it (a deck row's copies
// cell, a card file's "copies", as edited in the set panel). Empty, with `error` set, when the
// parts cannot be read or no card can be rendered.
QList<NamedCard> renderSetCards(const CardSet& set, const QList<quint64>& ids,
                                const QString& partsRoot, QString* error);

}  // namespace orvane
