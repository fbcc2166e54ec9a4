// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card.h"
#include "set/recovery_file.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <array>
#include <vector>
#include <optional>

namespace orvane {

class CardDocument;

// The recovery file of a lone card (the editor's own card, no set open): its whole state as
// JSON, kept while the card is unsaved.
class CardRecoveryWriter : public DelayedRecoveryFile {
    Q_OBJECT
public:
    CardRecoveryWriter(CardDocument& document, const QString& path, int delayMs = 3000);
};

// A card read back from a recovery file: the card as it was edited, what the editor drew for
// it, the pack it was drawn with and the card file it belonged to (empty: none yet).
struct RecoveredCard {
    Card card;
    std::array<QString, 4> drawnSides{"A", "A", "A", "A"};
    std::vector<int> tickOrder;  // the arrows in the order they were ticked
    QString pack;                // empty: the built-in parts (and every file before packs)
    QString filePath;
};

QByteArray cardRecoveryText(const CardDocument& document);
// False-y with `error` for a damaged file or one of a newer version.
std::optional<RecoveredCard> readCardRecovery(const QByteArray& text, QString* error);

// Puts a recovered card into `document`: the card of its file (when it can still be read; else
// an empty card) with the recovered card as one undo step over it, so the card shows as unsaved
// and Undo goes back to what the file holds.
void restoreCard(CardDocument& document, const RecoveredCard& recovered);

}  // namespace orvane
