// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card.h"
#include "platform/dialog.h"

#include <QObject>
#include <QString>

namespace orvane {

class CardDocument;
class CardRecoveryWriter;
class Prompts;
class WorkBeside;

// The lone card's file commands: Open Card..., Save Card File, Save Card File As..., the recent
// cards, the question about unsaved changes, a new card in its place, and its recovery file
// (written a few seconds after each change, offered back after a run that ended without saving).
// A set's card is saved with its set; Save Card File As... writes a copy of it.
class CardFileCommands : public QObject {
    Q_OBJECT
public:
    CardFileCommands(CardDocument& loneCard, Prompts& prompts, WorkBeside& workBeside,
                     const QString& recoveryPath, QObject* parent = nullptr);

    // Open Card...: the unsaved question, a card file chosen and opened.
    void openCard();
    // Asks for a card file to open; empty when cancelled.
    QString chooseCardFile();
    // Opens a card file as the lone card (after the unsaved question). False when the user
    // cancelled or the file could not be read (already said).
    bool openCardFile(const QString& path);
    // A recent card: opened, or removed from the list when it is no longer there.
    void openRecent(const QString& path);
    bool saveCardFile();
    bool saveCardFileAs();
    // Writes `card` (a set's card) to a card file the user chooses; nothing is marked saved.
    bool saveCopyAs(const CardDocument& card);
    // Save / Discard / Cancel when the lone card has something to lose; true when the caller
    // may go on.
    bool maybeSaveChanges(const QString& title);
    // Starts the lone card again with `card` (New Card, Duplicate Card), after the question.
    void startOver(const Card& card, const QString& title);
    // Offers back the lone card of a run that ended without saving it.
    void offerRecovery();

signals:
    void message(const QString& text);
    void recentCardsChanged();

private:
    bool readCardFile(const QString& path);
    // Asks where to save; empty when cancelled. `document` names the file offered.
    QString askWhereToSave(const CardDocument& document);
    // With `takeTheFileName`, the card is renamed after the file it is written to; with
    // `markSaved`, the document is marked as saved in that file.
    bool writeCardFile(const CardDocument& document, const QString& path, bool takeTheFileName,
                       bool markSaved);

    CardDocument& m_loneCard;
    Prompts& m_prompts;
    WorkBeside& m_workBeside;
    CardRecoveryWriter* m_recovery = nullptr;
    Dialog m_dialog;  // Open Card and Save Card File, apart from the layout's dialog
};

}  // namespace orvane
