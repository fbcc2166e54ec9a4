// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dialog.h"

#include <QObject>
#include <QString>

namespace orvane {

class Prompts;
class RecoveryWriter;
class Session;
class SetFileFollower;

// The set's file commands: Open Set..., Open Set Folder..., New Set, Save Set, Save Set As...,
// the question about unsaved changes, and the set's recovery file (written a few seconds after
// each change, offered back at the next start after a run that ended without saving). The
// file follower keeps the open set in step with its files on disk.
class SetCommands : public QObject {
    Q_OBJECT
public:
    SetCommands(Session& session, Prompts& prompts, const QString& recoveryPath,
                QObject* parent = nullptr);

    // Opens a deck CSV or a folder of card files (after the unsaved question); false (and
    // told) when it cannot be read: whatever was open stays.
    bool openSet(const QString& path);
    // Asks for a deck, or a folder of card files, and opens it.
    void openDeckAsking();
    void openFolderAsking();
    void newSet();
    // Saves the set (a new set asks for its file first); false when cancelled or failed.
    bool saveSet();
    // The set written as a deck to the file chosen, which the set then belongs to.
    bool saveSetAs();
    // Save / Discard / Cancel for a changed set; true when the caller may go on.
    bool maybeSave(const QString& title);
    // Closes the set after the unsaved question (the lone card is current again); true when
    // none is open now.
    bool closeSet(const QString& title);
    // Offers back the set of a run that ended without saving it; true when one was restored.
    bool offerRecovery();

signals:
    void message(const QString& text);

private:
    // Saves to `path` (empty: where the set came from), offering UTF-8 when the deck's encoding
    // lacks a character; false when declined or failed (told).
    bool writeSet(const QString& path, const QString& title);

    Session& m_session;
    Prompts& m_prompts;
    RecoveryWriter* m_recovery = nullptr;
    SetFileFollower* m_follower = nullptr;
    Dialog m_dialog;
};

}  // namespace orvane
