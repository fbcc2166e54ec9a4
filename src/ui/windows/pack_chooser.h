// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/pack_store.h"

#include <QAction>
#include <QObject>
#include <QStandardItemModel>
#include <QStringList>

#include <functional>

namespace orvane {

class Prompts;

// The Parts choice and the Parts menu's actions, for a window to host: a model of the packs
// (the built-in parts first, then every installed pack) for a combo box, and the actions
// Install Pack..., Remove Pack..., Open Pack Folder and New Pack from Current Parts....
// It knows no window: the host puts the model in its combo box, the actions in its menu, and
// follows packChosen.
class PackChooser : public QObject {
    Q_OBJECT
public:
    static constexpr int FolderRole = Qt::UserRole + 1;  // a row's pack folder (built-in: gfx/)
    static constexpr int NameRole = Qt::UserRole + 2;    // a row's pack name (built-in: empty)

    // `builtInParts` is the gfx folder beside the program; `userFolder` where packs are
    // installed for the user; `sharedFolders` the packs installed with the program.
    PackChooser(Prompts& prompts, const QString& builtInParts, const QString& userFolder,
                const QStringList& sharedFolders, QObject* parent = nullptr);

    QStandardItemModel* model() { return &m_model; }
    QAction* installAction() { return &m_install; }
    QAction* removeAction() { return &m_remove; }
    QAction* openFolderAction() { return &m_openFolder; }
    QAction* newPackAction() { return &m_newPack; }
    QList<QAction*> actions() { return {&m_install, &m_remove, &m_openFolder, &m_newPack}; }

    // The chosen pack's name (empty: the built-in parts) and the folder its parts are read from.
    QString currentName() const { return m_current; }
    QString currentFolder() const;
    int currentRow() const;
    // Chooses the pack of this name (empty: built-in); false, with the built-in parts chosen,
    // when no such pack is installed (the caller tells the user and keeps the name).
    bool choose(const QString& name);
    void chooseRow(int row);
    // Reads the pack folders again (after a change made elsewhere).
    void refresh();
    // Opens a folder in the file manager; replaced by tests.
    void setFolderOpener(std::function<void(const QString&)> opener)
    {
        m_opener = std::move(opener);
    }

    void installFrom(const QString& source);

signals:
    void packChosen(const QString& name, const QString& folder);

private:
    void install();
    void remove();
    void openFolder();
    void newPack();
    void updateActions();

    Prompts& m_prompts;
    QString m_builtIn;
    QString m_userFolder;
    QStringList m_sharedFolders;
    QList<InstalledPack> m_packs;
    QString m_current;
    QStandardItemModel m_model;
    QAction m_install;
    QAction m_remove;
    QAction m_openFolder;
    QAction m_newPack;
    std::function<void(const QString&)> m_opener;
};

}  // namespace orvane
