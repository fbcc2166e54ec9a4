// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/add_card_to_deck.h"

#include "card/deck_file.h"

#include <QDir>
#include <QFileInfo>

namespace orvane {

QString addCardToDeckAsking(Prompts& prompts, Dialog& dialog, Card card)
{
    const QString title = QStringLiteral("Add Card to Deck");
    if (card.name.trimmed().isEmpty()) {
        card.name =
            prompts.inputBox(QStringLiteral("What is the name of your card?"), title).trimmed();
        if (card.name.isEmpty())
            return {};
    }
    dialog.DialogTitle = title;
    dialog.Filter = QStringLiteral("Decks (*.csv)|*.csv");
    dialog.FilterIndex = 1;
    dialog.OverwritePrompt = false;  // a deck chosen is added to, not replaced
    if (!prompts.showSave(dialog))
        return {};
    QString deck = dialog.FileName;
    if (QFileInfo(deck).suffix().isEmpty())
        deck += QStringLiteral(".csv");  // a native dialog may leave the suffix off
    const QString shown = QDir::toNativeSeparators(deck);

    const bool replace = deckHasCard(deck, card.name);
    if (replace) {
        // Every file the replacement writes over is named; No is the default.
        const QString picture = deckPictureFile(deck, card, true);
        const QString picturePath = QFileInfo(deck).absoluteDir().filePath(picture);
        const QString alsoPicture =
            !picture.isEmpty() && QFileInfo::exists(picturePath)
                ? QStringLiteral(", and its picture %1 with this card's picture")
                      .arg(QDir::toNativeSeparators(picturePath))
                : QString();
        if (prompts.messageBox(QStringLiteral("The deck %1 already has a card named \"%2\".\n\n"
                                              "Replace its row with this card%3?")
                                   .arg(shown, card.name, alsoPicture),
                               YesNo | Question | DefaultButton2, title) != AnswerYes)
            return {};
    }
    QString error;
    if (!addCardToDeck(deck, card, replace, &error)) {
        prompts.messageBox(error + QStringLiteral("\n\nThe deck is as it was."), Exclamation,
                           title);
        return {};
    }
    dialog.FileName = deck;
    return QStringLiteral("%1 \"%2\" in %3")
        .arg(replace ? QStringLiteral("Replaced") : QStringLiteral("Added"), card.name,
             QFileInfo(deck).fileName());
}

}  // namespace orvane
