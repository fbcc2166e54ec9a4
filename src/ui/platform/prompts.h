#pragma once

#include "platform/dialog.h"

#include <QString>

namespace orvane {

// Message box answers and styles, with the values the tool's texts use.
enum MessageStyle : int { OkOnly = 0, YesNo = 4, Question = 32, Critical = 16, Exclamation = 48 };
enum MessageAnswer : int { AnswerOk = 1, AnswerCancel = 2, AnswerYes = 6, AnswerNo = 7 };
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
};

}  // namespace orvane
