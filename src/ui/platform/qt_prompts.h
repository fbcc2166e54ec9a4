// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/prompts.h"

#include <QList>
#include <QMessageBox>

namespace orvane {

// Prompts shown with Qt's own dialogs, each centred over the window that asks.
class QtPrompts final : public Prompts {
public:
    int messageBox(const QString& text, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    void beep() override;
    bool showOpen(Dialog& dialog) override;
    bool showSave(Dialog& dialog) override;
    bool chooseFolder(QString& folder, const QString& title) override;
    void notify(const QString& text, const QString& title) override;
    SaveChoice askSaveChanges(const QString& text, const QString& title) override;
    int choose(const QString& text, const QString& title, const QStringList& buttons,
               int escape) override;
};

// A message style read as the tool's texts mean it: the icon of style & 0x70 ...
QMessageBox::Icon messageIcon(int style);

// ... and the buttons of style & 0x0F, in their order on the box, with the answer of each.
struct MessageButton {
    QMessageBox::StandardButton button;
    int answer;
};
QList<MessageButton> messageButtons(int style);

// Sets up `box` for a style; returns the buttons it now shows.
QList<MessageButton> setUpMessageBox(QMessageBox& box, int style);

// `text` with invisible break opportunities after every path separator and within every run of
// more than 40 characters without a blank, so a long path wraps instead of widening its box.
QString wrappableText(const QString& text);

// Sets a message box's text (plain, long paths wrapping).
void setMessageText(QMessageBox& box, const QString& text);

// The window a prompt belongs to: the active window, else the active modal dialog.
QWidget* promptOwner();

}  // namespace orvane
