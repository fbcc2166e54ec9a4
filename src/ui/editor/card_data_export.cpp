// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/card_data_export.h"

#include "editor/recent_cards.h"
#include "platform/dialog.h"
#include "platform/prompts.h"
#include "system/file_write.h"

#include <QDir>

namespace orvane {

std::optional<QString>
exportCardData(Prompts& prompts, Dialog& dialog,
               const std::function<CardRecordInput(const QString& name)>& recordFor)
{
    const QString name =
        prompts.inputBox(QStringLiteral("What is the name of your card?"), QStringLiteral("Name"));
    if (name.isEmpty())
        return std::nullopt;
    const CardRecordInput record = recordFor(name);
    dialog.Filter = QStringLiteral("Text Files (*.txt)|*.txt");
    dialog.FilterIndex = 1;
    dialog.OverwritePrompt = true;  // the record replaces the file chosen without another word
    dialog.FileName = name + QStringLiteral(".txt");
    if (!prompts.showSave(dialog))
        return std::nullopt;
    QString error;
    if (!writeFileAtomically(dialog.FileName, cardRecord(record), &error, true)) {
        prompts.messageBox(QStringLiteral("The card data could not be written to %1: %2.")
                               .arg(QDir::toNativeSeparators(dialog.FileName), error),
                           Exclamation, QStringLiteral("Export Card Data"));
        return std::nullopt;
    }
    return QStringLiteral("Wrote the card data to %1").arg(homeRelative(dialog.FileName));
}

}  // namespace orvane
