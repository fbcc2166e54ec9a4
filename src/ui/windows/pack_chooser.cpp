// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/pack_chooser.h"

#include "card/card.h"
#include "platform/prompts.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace orvane {
namespace {

const QString Title = QStringLiteral("Parts");

}  // namespace

PackChooser::PackChooser(Prompts& prompts, const QString& builtInParts, const QString& userFolder,
                         const QStringList& sharedFolders, QObject* parent)
    : QObject(parent), m_prompts(prompts), m_builtIn(builtInParts), m_userFolder(userFolder),
      m_sharedFolders(sharedFolders), m_install(QStringLiteral("Install Pack...")),
      m_remove(QStringLiteral("Remove Pack...")), m_openFolder(QStringLiteral("Open Pack Folder")),
      m_newPack(QStringLiteral("New Pack from Current Parts...")),
      m_opener(
          [](const QString& folder) { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); })
{
    m_install.setObjectName(QStringLiteral("actionInstallPack"));
    m_remove.setObjectName(QStringLiteral("actionRemovePack"));
    m_openFolder.setObjectName(QStringLiteral("actionOpenPackFolder"));
    m_newPack.setObjectName(QStringLiteral("actionNewPack"));
    connect(&m_install, &QAction::triggered, this, &PackChooser::install);
    connect(&m_remove, &QAction::triggered, this, &PackChooser::remove);
    connect(&m_openFolder, &QAction::triggered, this, &PackChooser::openFolder);
    connect(&m_newPack, &QAction::triggered, this, &PackChooser::newPack);
    refresh();
}

void PackChooser::refresh()
{
    m_packs = packsIn(QStringList{m_userFolder} + m_sharedFolders, m_userFolder);
    m_model.clear();
    auto* builtIn = new QStandardItem(QStringLiteral("Built-in parts"));
    builtIn->setData(m_builtIn, FolderRole);
    builtIn->setData(QString(), NameRole);
    m_model.appendRow(builtIn);
    for (const InstalledPack& pack : std::as_const(m_packs)) {
        auto* item = new QStandardItem(pack.name);
        item->setData(pack.folder, FolderRole);
        item->setData(pack.name, NameRole);
        item->setToolTip(QDir::toNativeSeparators(pack.folder));
        m_model.appendRow(item);
    }
    if (currentRow() < 0)
        m_current.clear();
    updateActions();
}

int PackChooser::currentRow() const
{
    if (m_current.isEmpty())
        return 0;
    for (int row = 1; row < m_model.rowCount(); ++row)
        if (m_model.item(row)->data(NameRole).toString().compare(m_current, Qt::CaseInsensitive) ==
            0)
            return row;
    return -1;
}

QString PackChooser::currentFolder() const
{
    const int row = currentRow();
    return row < 0 ? m_builtIn : m_model.item(row)->data(FolderRole).toString();
}

bool PackChooser::choose(const QString& name)
{
    const QString before = m_current;
    m_current = name;
    const bool found = currentRow() >= 0;
    if (!found)
        m_current.clear();
    updateActions();
    if (m_current != before)
        emit packChosen(m_current, currentFolder());
    return found;
}

void PackChooser::chooseRow(int row)
{
    if (row >= 0 && row < m_model.rowCount())
        choose(m_model.item(row)->data(NameRole).toString());
}

void PackChooser::updateActions()
{
    bool forUser = false;
    for (const InstalledPack& pack : std::as_const(m_packs))
        if (pack.forUser && pack.name.compare(m_current, Qt::CaseInsensitive) == 0)
            forUser = true;
    m_remove.setEnabled(forUser);
}

void PackChooser::install()
{
    const int from = m_prompts.choose(
        QStringLiteral("Install a pack from a zip archive or from a "
                       "folder?"),
        Title,
        {QStringLiteral("Zip Archive..."), QStringLiteral("Folder..."), QStringLiteral("Cancel")},
        2);
    QString source;
    if (from == 0) {
        Dialog dialog;
        dialog.Filter = QStringLiteral("Pack archives (*.zip)|*.zip|All files (*.*)|*.*");
        dialog.DialogTitle = QStringLiteral("Install Pack");
        if (!m_prompts.showOpen(dialog))
            return;
        source = dialog.FileName;
    } else if (from == 1) {
        if (!m_prompts.chooseFolder(source, QStringLiteral("Install Pack")))
            return;
    } else {
        return;
    }
    installFrom(source);
}

void PackChooser::installFrom(const QString& source)
{
    const PackInstallResult result = installPack(source, m_userFolder, m_packs);
    if (!result.error.isEmpty()) {
        m_prompts.messageBox(QStringLiteral("The pack %1 cannot be installed: %2")
                                 .arg(QDir::toNativeSeparators(source), result.error),
                             Exclamation, Title);
        return;
    }
    refresh();
    choose(result.name);
    if (!result.warnings.isEmpty())
        m_prompts.notify(QStringLiteral("The pack \"%1\" is installed; note:\n%2")
                             .arg(result.name, result.warnings.join(QLatin1Char('\n'))),
                         Title);
}

void PackChooser::remove()
{
    if (!m_remove.isEnabled())
        return;
    const QString name = m_current;
    const QString folder = currentFolder();
    if (m_prompts.messageBox(QStringLiteral("Remove the pack \"%1\" and its files (%2)?")
                                 .arg(name, QDir::toNativeSeparators(folder)),
                             YesNo | Question | DefaultButton2, Title) != AnswerYes)
        return;
    QString error;
    if (!removePack(folder, &error)) {
        m_prompts.messageBox(error, Exclamation, Title);
        return;
    }
    refresh();
    choose({});
}

void PackChooser::openFolder()
{
    QString folder = currentFolder();
    if (m_current.isEmpty()) {
        QDir().mkpath(m_userFolder);
        folder = m_userFolder;
    }
    m_opener(folder);
}

void PackChooser::newPack()
{
    const QString name =
        m_prompts
            .inputBox(QStringLiteral("Name of the new pack (a copy of the current parts):"), Title,
                      m_current.isEmpty() ? QStringLiteral("My Parts")
                                          : m_current + QStringLiteral(" copy"))
            .trimmed();
    if (name.isEmpty())
        return;
    for (const InstalledPack& pack : std::as_const(m_packs))
        if (pack.name.compare(name, Qt::CaseInsensitive) == 0) {
            m_prompts.messageBox(
                QStringLiteral("A pack named \"%1\" is installed already.").arg(name), Exclamation,
                Title);
            return;
        }
    const QString target = QDir(m_userFolder).filePath(safeFileName(name));
    QString error;
    if (!writePackFromParts(currentFolder(), target, name, &error)) {
        m_prompts.messageBox(QStringLiteral("The pack \"%1\" cannot be made: %2").arg(name, error),
                             Exclamation, Title);
        return;
    }
    refresh();
    choose(name);
    m_opener(target);
}

}  // namespace orvane
