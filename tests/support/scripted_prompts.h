// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/prompts.h"

#include <QQueue>
#include <QStringList>

#include <functional>

// Prompts answered from a script; records everything the tool asked or said.
class ScriptedPrompts final : public orvane::Prompts {
public:
    struct Message {
        QString text;
        int style;
        QString title;
    };
    struct FileRequest {
        bool save;
        orvane::Dialog dialog;  // the settings the dialog was shown with
    };

    QQueue<int> messageAnswers;              // default: OK / No
    QQueue<QString> inputAnswers;            // default: cancel (empty)
    QQueue<QString> fileAnswers;             // empty string: cancel
    std::function<void()> onFileDialog;      // runs while a file dialog is "open"
    QQueue<orvane::SaveChoice> saveAnswers;  // default: Discard

    QList<Message> messages;
    QList<Message> notifications;
    QList<std::pair<QString, QString>> inputs;  // prompt, title
    QList<FileRequest> fileRequests;
    QList<Message> saveQuestions;  // Save / Discard / Cancel
    int beeps = 0;

    int messageBox(const QString& text, int style, const QString& title) override
    {
        messages.append({text, style, title});
        if (!messageAnswers.isEmpty())
            return messageAnswers.dequeue();
        return (style & 7) == orvane::YesNo ? orvane::AnswerNo : orvane::AnswerOk;
    }
    QString inputBox(const QString& prompt, const QString& title, const QString&) override
    {
        inputs.append({prompt, title});
        return inputAnswers.isEmpty() ? QString() : inputAnswers.dequeue();
    }
    void beep() override { ++beeps; }
    bool showOpen(orvane::Dialog& dialog) override { return file(dialog, false); }
    bool showSave(orvane::Dialog& dialog) override { return file(dialog, true); }

    QQueue<QString> folderAnswers;                      // empty string: cancel
    QList<std::pair<QString, QString>> folderRequests;  // folder offered, title
    bool chooseFolder(QString& folder, const QString& title) override
    {
        folderRequests.append({folder, title});
        const QString answer = folderAnswers.isEmpty() ? QString() : folderAnswers.dequeue();
        if (answer.isEmpty())
            return false;
        folder = answer;
        return true;
    }

    void notify(const QString& text, const QString& title) override
    {
        notifications.append({text, 0, title});
    }
    orvane::SaveChoice askSaveChanges(const QString& text, const QString& title) override
    {
        saveQuestions.append({text, 0, title});
        return saveAnswers.isEmpty() ? orvane::SaveChoice::Discard : saveAnswers.dequeue();
    }

    QQueue<int> choiceAnswers;  // button indexes; default: the escape button
    QList<Message> choices;     // style: the escape button's index
    QList<QStringList> choiceButtons;
    int choose(const QString& text, const QString& title, const QStringList& buttons,
               int escape) override
    {
        choices.append({text, escape, title});
        choiceButtons.append(buttons);
        return choiceAnswers.isEmpty() ? escape : choiceAnswers.dequeue();
    }

private:
    bool file(orvane::Dialog& dialog, bool save)
    {
        fileRequests.append({save, dialog});
        if (onFileDialog)
            onFileDialog();
        const QString answer = fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
        if (answer.isEmpty())
            return false;
        dialog.choose(answer);  // as the real dialog: a bare name lies in its start folder
        return true;
    }
};
