// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/save_card_pair.h"

#include "editor/recent_cards.h"
#include "files/card_save.h"
#include "platform/dialog.h"
#include "platform/prompts.h"

#include <QDir>
#include <QImage>
#include <QStringList>

namespace orvane {

namespace {

// Names every file a save would replace in one question; true when there is none or the user
// agrees.
bool confirmReplacing(Prompts& prompts, const QString& what, const QStringList& existing)
{
    if (existing.isEmpty())
        return true;
    QStringList names;
    for (const QString& path : existing)
        names.append(QDir::toNativeSeparators(path));
    const QString text =
        existing.size() == 1
            ? QStringLiteral("%1 would replace this file:\n\n%2\n\nReplace it?")
            : QStringLiteral("%1 would replace these files:\n\n%2\n\nReplace them?");
    return prompts.messageBox(text.arg(what, names.join(QLatin1Char('\n'))), YesNo | Exclamation,
                              QStringLiteral("Save Card")) == AnswerYes;
}

}  // namespace

QString saveCardPair(Prompts& prompts, Dialog& dialog, const QImage& blue, const QImage& red,
                     ImageUtilsLibrary& converter)
{
    const struct {
        const char* title;
        const char* what;
        const QImage& card;  // the box's own picture, as it is when its turn comes
    } cards[] = {{"Save Blue Card...", "The blue card", blue},
                 {"Save Red Card...", "The red card", red}};
    QStringList saved;
    // What the status line says when the command ends early: never an older save's words.
    const auto endEarly = [&](const QString& why) {
        return saved.isEmpty()
                   ? QStringLiteral("Save Card %1: no card was saved").arg(why)
                   : QStringLiteral("Saved the blue card as %1; the red card was not saved (%2)")
                         .arg(homeRelative(saved.front()), why);
    };
    for (const auto& card : cards) {
        dialog.CancelError = true;
        dialog.OverwritePrompt = false;  // the files replaced are named in one question below
        dialog.Filter = QStringLiteral("JPEG Compression (*.jpg)|*.jpg");
        dialog.FilterIndex = 1;
        dialog.FileName = QStringLiteral("*.jpg");
        dialog.DialogTitle = QLatin1String(card.title);
        CardFiles files;
        for (;;) {
            if (!prompts.showSave(dialog))
                return endEarly(QStringLiteral("cancelled"));
            files = cardFilesFor(dialog.FileName);
            if (confirmReplacing(prompts, QLatin1String(card.what), existingCardFiles(files)))
                break;
        }
        QString failedPath, error;
        if (!saveCard(card.card, files, converter, &failedPath, &error)) {
            prompts.messageBox(
                QStringLiteral("%1 could not be saved as %2: %3.\n\nNo file was changed.")
                    .arg(QLatin1String(card.what), QDir::toNativeSeparators(failedPath), error),
                Exclamation, QStringLiteral("Save Card"));
            return endEarly(QStringLiteral("failed"));
        }
        saved << files.jpeg;
    }
    dialog.FileName.clear();
    return savedPairText(saved[0], saved[1]);
}

}  // namespace orvane
