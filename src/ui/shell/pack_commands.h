// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class Form2;
class QComboBox;
class QMenuBar;
class QToolBar;

namespace orvane {

class CardDocument;
class PackChooser;
class Prompts;

// The main window's part packs: the Parts menu, the Parts choice in the card's name bar, and
// the card window drawn with the chosen pack.
class PackCommands : public QObject {
    Q_OBJECT
public:
    // `assetRoot` is the folder holding the built-in gfx/.
    PackCommands(Form2& form, Prompts& prompts, const QString& assetRoot, QObject* parent);

    // Where packs are looked for: installed for the user, and with the program.
    static QString userFolder();
    static QStringList sharedFolders();

    PackChooser& chooser() { return *m_chooser; }
    void addMenu(QMenuBar& bar);
    void addChoice(QToolBar& bar);
    // The card window shows `document` (null: no card): its pack is chosen, and a pack chosen
    // from now on becomes the card's, one undoable edit.
    void cardShown(CardDocument* document);
    // A dropped .zip is a pack to install (and choose); false for any other file.
    bool installIfArchive(const QString& file);

signals:
    void message(const QString& text);

private:
    void packChosen(const QString& name, const QString& folder);
    // Chooses the shown card's pack; one that is not installed is told once, the built-in
    // parts drawn instead and the card's pack name kept.
    void followCard();

    Form2& m_form;
    PackChooser* m_chooser = nullptr;
    QComboBox* m_choice = nullptr;
    QPointer<CardDocument> m_document;
    QMetaObject::Connection m_documentChanged;
    QString m_missing;         // the shown card's pack that is not installed, already told
    bool m_following = false;  // choosing the card's own pack: no edit of the card
};

}  // namespace orvane
