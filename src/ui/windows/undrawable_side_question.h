// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card.h"
#include "platform/prompts.h"

namespace orvane {

// Asked before a command writes `card` (a file, the clipboard, a deck): when a side holds text
// the card cannot draw, says which and asks Yes/No. True when the card may be written.
bool mayWriteCard(Prompts& prompts, const Card& card, const QString& title);

}  // namespace orvane
