// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card.h"

#include <QByteArray>
#include <QString>

namespace orvane {

// The card file's optional "pack" member: the name of the part pack its card is drawn with
// (none: the built-in parts). Kept apart from Card so that a card whose pack is not installed
// is saved with its pack's name all the same; readers of version 1 skip it.
QString packOfCardJson(const QByteArray& json);  // empty: none
QString readCardFilePack(const QString& path);   // empty: none, or the file cannot be read
// With `copies` other than 1 the "copies" member too (card_file.h).
QByteArray cardToJsonWithPack(const Card& card, const QString& pack, int copies = 1);
bool writeCardFileWithPack(const Card& card, const QString& pack, const QString& path,
                           QString* error, int copies = 1);

}  // namespace orvane
