// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/pack_commands.h"

#include "document/card_document.h"
#include "editor/form2.h"
#include "files/pack_store.h"
#include "windows/pack_chooser.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace orvane {

PackCommands::PackCommands(Form2& form, Prompts& prompts, const QString& assetRoot, QObject* parent)
    : QObject(parent), m_form(form)
{
    m_chooser = new PackChooser(prompts, QDir(assetRoot).filePath(QStringLiteral("gfx")),
                                userFolder(), sharedFolders(), this);
    connect(m_chooser, &PackChooser::packChosen, this, &PackCommands::packChosen);
}

QString PackCommands::userFolder()
{
    return userPackFolder();
}

QStringList PackCommands::sharedFolders()
{
    QStringList folders = sharedPackFolders();
    QStringList more{QStringLiteral("/usr/share/orvane/packs")};
    if (QCoreApplication::instance())
        more << QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("packs"));
    for (const QString& folder : more) {
        const QString clean = QDir::cleanPath(folder);
        if (QFileInfo(clean).isDir() && !folders.contains(clean))
            folders << clean;
    }
    return folders;
}

void PackCommands::addMenu(QMenuBar& bar)
{
    QMenu* parts = bar.addMenu(tr("&Parts"));
    parts->setObjectName(QStringLiteral("menuParts"));
    // Each action with its access key in this menu.
    m_chooser->installAction()->setText(tr("&Install Pack..."));
    m_chooser->removeAction()->setText(tr("&Remove Pack..."));
    m_chooser->openFolderAction()->setText(tr("&Open Pack Folder"));
    m_chooser->newPackAction()->setText(tr("&New Pack from Current Parts..."));
    parts->addActions(m_chooser->actions());
}

void PackCommands::addChoice(QToolBar& bar)
{
    bar.addSeparator();
    bar.addWidget(new QLabel(tr(" Parts: "), &bar));
    m_choice = new QComboBox(&bar);
    m_choice->setObjectName(QStringLiteral("cboParts"));
    m_choice->setAccessibleName(tr("Parts"));
    m_choice->setModel(m_chooser->model());
    m_choice->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_choice->setCurrentIndex(m_chooser->currentRow());
    bar.addWidget(m_choice);
    connect(m_choice, &QComboBox::activated, m_chooser, &PackChooser::chooseRow);
    // The model is built again after an install or a removal: the choice follows the chooser.
    connect(m_chooser->model(), &QAbstractItemModel::modelReset, this,
            [this] { m_choice->setCurrentIndex(m_chooser->currentRow()); });
    connect(m_chooser->model(), &QAbstractItemModel::rowsInserted, this,
            [this] { m_choice->setCurrentIndex(m_chooser->currentRow()); });
}

void PackCommands::packChosen(const QString& name, const QString& folder)
{
    m_form.readPartsFrom(name.isEmpty() ? QString() : folder);
    if (m_choice)
        m_choice->setCurrentIndex(m_chooser->currentRow());
    if (!m_following && m_document && !m_form.showsNoCard()) {
        m_missing.clear();
        m_document->setPack(name);
    }
}

bool PackCommands::installIfArchive(const QString& file)
{
    if (QFileInfo(file).suffix().compare(QLatin1String("zip"), Qt::CaseInsensitive) != 0)
        return false;
    m_chooser->installFrom(file);
    return true;
}

void PackCommands::cardShown(CardDocument* document)
{
    if (document != m_document) {
        disconnect(m_documentChanged);
        m_document = document;
        m_missing.clear();
        if (document)
            m_documentChanged =
                connect(document, &CardDocument::changed, this, &PackCommands::followCard);
    }
    followCard();
}

void PackCommands::followCard()
{
    if (!m_document)
        return;
    const QString wanted = m_document->pack();
    if (wanted.compare(m_chooser->currentName(), Qt::CaseInsensitive) == 0 ||
        (!m_missing.isEmpty() && wanted == m_missing))
        return;
    m_following = true;
    const bool installed = m_chooser->choose(wanted);
    m_following = false;
    m_missing = installed ? QString() : wanted;
    if (!installed)
        emit message(tr("The pack \"%1\" is not installed; the card is shown with the built-in "
                        "parts")
                         .arg(wanted));
}

}  // namespace orvane
