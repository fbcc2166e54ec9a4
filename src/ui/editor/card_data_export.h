// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/card_record.h"

#include <QString>

#include <functional>
#include <optional>

namespace orvane {

class Prompts;
struct Dialog;

// Export Card Data: asks for the card's name, then where its record goes (`dialog` offers
// "<name>.txt" and asks itself before replacing a file), and writes `recordFor(name)` there. A
// failed write is said in a message box. Returns what the status line says; nothing when a
// question was cancelled or the write failed.
std::optional<QString>
exportCardData(Prompts& prompts, Dialog& dialog,
               const std::function<CardRecordInput(const QString& name)>& recordFor);

}  // namespace orvane
