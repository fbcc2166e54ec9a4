// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card.h"
#include "platform/dialog.h"
#include "platform/prompts.h"

#include <QString>

namespace orvane {

// File > Add Card to Deck...: asks for the deck (a new one is made), for the card's name when it
// has none, and whether to replace the row of the same name when there is one; then adds the
// card as a row, its main picture written beside the deck as PNG. Returns what the status line
// says, or nothing when the user cancelled or it failed (the failure already told).
QString addCardToDeckAsking(Prompts& prompts, Dialog& dialog, Card card);

}  // namespace orvane
