// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dialog.h"

#include <QString>
#include <QStringList>

namespace orvane {

// Message box styles, with the values the tool's texts use: the buttons are style & 0x0F, the
// icon is style & 0x70 (one value, not separate bits: Exclamation is Critical | Question).
enum MessageStyle : int {
    OkOnly = 0,
    OkCancel = 1,
    AbortRetryIgnore = 2,
    YesNoCancel = 3,
    YesNo = 4,
    RetryCancel = 5,
    Critical = 16,
    Question = 32,
    Exclamation = 48,
    Information = 64,
    DefaultButton2 = 256  // the second button is the default (No of Yes/No: for a loss)
};
inline constexpr int MessageButtonsMask = 0x0F;
inline constexpr int MessageIconMask = 0x70;
enum MessageAnswer : int {
    AnswerOk = 1,
    AnswerCancel = 2,
    AnswerAbort = 3,
    AnswerRetry = 4,
    AnswerIgnore = 5,
    AnswerYes = 6,
    AnswerNo = 7
};
// The answer to "there are unsaved changes".
enum class SaveChoice { Save, Discard, Cancel };

// Everything that asks or tells the user something. The tool talks to the user only through
// this, so tests can answer from a script and nothing blocks a headless run.
class Prompts {
public:
    virtual ~Prompts() = default;

    // Modal message box; returns the answer code.
    virtual int messageBox(const QString& text, int style, const QString& title) = 0;
    // Modal one-line prompt; an empty text when cancelled.
    virtual QString inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText = {}) = 0;
    virtual void beep() = 0;
    // File dialogs: true with dialog.FileName set to the chosen path, false when cancelled.
    virtual bool showOpen(Dialog& dialog) = 0;
    virtual bool showSave(Dialog& dialog) = 0;
    // Folder dialog: true with `folder` set to the chosen folder (offered when it opens).
    virtual bool chooseFolder(QString& folder, const QString& title) = 0;
    // A message that must not block the caller (the timer tick reports through this).
    virtual void notify(const QString& text, const QString& title) = 0;
    // Modal question with the buttons Save, Discard and Cancel (Escape: Cancel).
    virtual SaveChoice askSaveChanges(const QString& text, const QString& title) = 0;
    // Modal question with buttons of the caller's own words, in their order; returns the index
    // of the button pressed, `escape` for Escape or the box closed.
    virtual int choose(const QString& text, const QString& title, const QStringList& buttons,
                       int escape) = 0;
};

}  // namespace orvane
