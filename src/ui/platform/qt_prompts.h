#pragma once

#include "platform/prompts.h"

#include <QPointer>
#include <QWidget>

namespace orvane {

// Prompts shown with Qt's own dialogs.
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
};

}  // namespace orvane
