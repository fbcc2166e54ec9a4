// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/play_outputs.h"

#include <QList>
#include <QString>

namespace orvane {

// The card back the manifest of the pack in `packFolder` names, as a full path; empty when the
// pack names none (or there is no pack).
QString packCardBack(const QString& packFolder);

// The back an output prints with: `choice` when it is a picture of the user's own, else the
// pack's back when it names one. "builtin" (and, where `emptyMeansOurs`, an empty choice: the
// deck sheets always have a back) means our back, which a pack's back replaces.
QString backWithPack(const QString& choice, const QString& packFolder, bool emptyMeansOurs);

// The pack folder every one of `cards` is drawn with (part_scales.h); empty when one is drawn
// with the built-in parts or they are drawn with different packs.
QString packOfCards(const QList<NamedCard>& cards);

}  // namespace orvane
