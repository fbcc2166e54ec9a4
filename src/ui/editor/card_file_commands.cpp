// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/card_file_commands.h"

#include "card/card_file.h"
#include "card/card_file_pack.h"
#include "document/card_document.h"
#include "editor/recent_cards.h"
#include "platform/prompts.h"
#include "platform/work_beside.h"
#include "set/card_recovery.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSettings>

namespace orvane {
namespace {

const QString CardFolderKey = QStringLiteral("Folders/cards");

QString cardFilter()
{
    return QStringLiteral("Orvane Cards (*.%1)|*.%1").arg(QLatin1String(CardFileSuffix));
}

void rememberCardFolder(const QString& path)
{
    QSettings().setValue(CardFolderKey, QFileInfo(path).absolutePath());
}

// Where a card file dialog starts: the card's own file, else the folder last used.
QString offeredCardPath(const QString& current, const QString& name)
{
    if (!current.isEmpty())
        return current;
    const QString folder = QSettings().value(CardFolderKey).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return name;
    // A folder alone ends in a separator, so the dialog opens in it with no file chosen.
    return name.isEmpty() ? QDir(folder).absolutePath() + QLatin1Char('/')
                          : QDir(folder).filePath(name);
}

}  // namespace

CardFileCommands::CardFileCommands(CardDocument& loneCard, Prompts& prompts,
                                   WorkBeside& workBeside, const QString& recoveryPath,
                                   QObject* parent)
    : QObject(parent), m_loneCard(loneCard), m_prompts(prompts), m_workBeside(workBeside)
{
    m_recovery = new CardRecoveryWriter(loneCard, recoveryPath);
    // A normal end (after the unsaved questions) leaves nothing to recover.
    connect(qApp, &QCoreApplication::aboutToQuit, m_recovery, &CardRecoveryWriter::discard);
}

bool CardFileCommands::maybeSaveChanges(const QString& title)
{
    if (!m_loneCard.isModified())
        return true;
    const QString path = m_loneCard.filePath();
    const QString text =
        path.isEmpty()
            ? tr("The card has changes that are not saved in a card file.\n\nSave them first?")
            : tr("The card %1 has changes that are not saved.\n\nSave them first?")
                  .arg(QFileInfo(path).fileName());
    switch (m_prompts.askSaveChanges(text, title)) {
    case SaveChoice::Save: return saveCardFile();
    case SaveChoice::Discard: return true;
    case SaveChoice::Cancel: break;
    }
    return false;
}

void CardFileCommands::openCard()
{
    if (!maybeSaveChanges(tr("Open Card")))
        return;
    if (const QString path = chooseCardFile(); !path.isEmpty())
        readCardFile(path);
}

QString CardFileCommands::chooseCardFile()
{
    m_dialog.DialogTitle = tr("Open Card");
    m_dialog.Filter = cardFilter();
    m_dialog.FilterIndex = 1;
    m_dialog.CancelError = true;
    m_dialog.FileName = offeredCardPath(m_loneCard.filePath(), QString());
    return m_prompts.showOpen(m_dialog) ? m_dialog.FileName : QString();
}

bool CardFileCommands::openCardFile(const QString& path)
{
    return maybeSaveChanges(tr("Open Card")) && readCardFile(path);
}

bool CardFileCommands::readCardFile(const QString& path)
{
    // A photo's source decodes for a moment: beside the window, like a save.
    CardFileRead read;
    QString pack;
    if (const QString failure = m_workBeside.run([&] {
            read = orvane::readCardFile(path);
            pack = readCardFilePack(path);
        });
        !failure.isEmpty())
        read = {std::nullopt,
                tr("%1 cannot be read: %2.").arg(QDir::toNativeSeparators(path), failure)};
    if (!read.card) {
        m_prompts.messageBox(read.error + tr("\n\nThe card in the window stays as it was."),
                             Exclamation, tr("Open Card"));
        return false;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_loneCard.startOver(*read.card, absolute, pack);
    addRecentCard(absolute);
    rememberCardFolder(absolute);
    emit recentCardsChanged();
    emit message(tr("Opened %1").arg(homeRelative(absolute)));
    return true;
}

void CardFileCommands::openRecent(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        // A card file moved or deleted since: it leaves the list, with a word why.
        removeRecentCard(path);
        emit recentCardsChanged();
        emit message(
            tr("%1 is no longer there; removed from the recent cards").arg(homeRelative(path)));
        return;
    }
    openCardFile(path);
}

bool CardFileCommands::saveCardFile()
{
    if (m_loneCard.filePath().isEmpty())
        return saveCardFileAs();
    return writeCardFile(m_loneCard, m_loneCard.filePath(), false, true);
}

bool CardFileCommands::saveCardFileAs()
{
    const QString path = askWhereToSave(m_loneCard);
    if (path.isEmpty())
        return false;
    // A card named after its old file takes the new file's name: a copy saved as "Red Dragon"
    // must not go on calling itself "Slime" in exports and decks.
    const QString oldBase = m_loneCard.filePath().isEmpty()
                                ? QString()
                                : QFileInfo(m_loneCard.filePath()).completeBaseName();
    const QString current = m_loneCard.card().name;
    return writeCardFile(m_loneCard, path, !current.isEmpty() && current == oldBase, true);
}

bool CardFileCommands::saveCopyAs(const CardDocument& card)
{
    const QString path = askWhereToSave(card);
    return !path.isEmpty() && writeCardFile(card, path, false, false);
}

QString CardFileCommands::askWhereToSave(const CardDocument& document)
{
    const QString suffix = QLatin1String(CardFileSuffix);
    const QString known = document.displayName();
    const QString name = safeFileName(known.isEmpty() ? QStringLiteral("card") : known);
    m_dialog.DialogTitle = tr("Save Card File");
    m_dialog.Filter = cardFilter();
    m_dialog.FilterIndex = 1;
    m_dialog.CancelError = true;
    // The question is asked here, about the file with its suffix: the dialog knows only the
    // name typed. "No" offers the dialog again with the name chosen.
    m_dialog.OverwritePrompt = false;
    m_dialog.FileName = offeredCardPath(document.filePath(), name + QLatin1Char('.') + suffix);
    for (;;) {
        if (!m_prompts.showSave(m_dialog))
            return {};
        QString path = m_dialog.FileName;
        if (QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) != 0)
            path += QLatin1Char('.') + suffix;
        if (!QFileInfo::exists(path) ||
            m_prompts.messageBox(tr("The card file %1 already exists.\n\nReplace it?")
                                     .arg(QDir::toNativeSeparators(path)),
                                 YesNo | Exclamation, tr("Save Card File")) == AnswerYes)
            return path;
    }
}

bool CardFileCommands::writeCardFile(const CardDocument& document, const QString& path,
                                     bool takeTheFileName, bool markSaved)
{
    const QFileInfo file(path);
    const QPointer<const CardDocument> written = &document;
    const Card asSaved = document.card();
    const QString pack = document.pack();  // kept by name, installed or not
    // The card's own file keeps the copies a folder set gave it; the card does not hold them.
    const bool ownFile =
        !document.filePath().isEmpty() &&
        file.absoluteFilePath() == QFileInfo(document.filePath()).absoluteFilePath();
    // An unnamed card takes the name of its file.
    Card card = asSaved;
    card.name = takeTheFileName ? file.completeBaseName() : displayName(card, path);
    // The encoding (a photo's pixels take seconds as PNG) runs beside the window.
    QString error;
    bool ok = false;
    if (const QString failure = m_workBeside.run([&] {
            const int copies = ownFile ? readCardFileCopies(path) : 1;
            ok = writeCardFileWithPack(card, pack, path, &error, copies);
        });
        !failure.isEmpty())
        error = tr("%1 cannot be written: %2.").arg(QDir::toNativeSeparators(path), failure);
    if (!ok) {
        // The error names the file and why, as a sentence of its own.
        m_prompts.messageBox(tr("%1\n\nThe card stays unsaved.").arg(error), Exclamation,
                             tr("Save Card File"));
        return false;
    }
    const QString absolute = file.absoluteFilePath();
    addRecentCard(absolute);
    rememberCardFolder(absolute);
    emit recentCardsChanged();
    if (!markSaved) {
        emit message(tr("Saved a copy of the card in %1; the set keeps its own unsaved changes")
                         .arg(homeRelative(absolute)));
        return true;
    }
    // The card may have changed, or gone, while the file was written: then the file holds the
    // card as it was, and the card stays marked unsaved.
    if (!written || written->card() != asSaved) {
        emit message(tr("Saved the card as it was in %1; it changed meanwhile and stays unsaved")
                         .arg(file.fileName()));
        return false;
    }
    if (takeTheFileName && card.name != m_loneCard.card().name)
        m_loneCard.setName(card.name);  // one undo step, made only once the file is written
    m_loneCard.markSaved(absolute);
    emit message(
        tr("Saved the card %1 in %2").arg(file.fileName(), homeRelative(file.absolutePath())));
    return true;
}

void CardFileCommands::startOver(const Card& card, const QString& title)
{
    if (m_loneCard.isModified()) {
        switch (m_prompts.askSaveChanges(tr("The card has unsaved changes. Save them?"), title)) {
        case SaveChoice::Cancel: return;
        case SaveChoice::Save:
            if (!saveCardFile())
                return;  // cancelled or failed (already said)
            break;
        case SaveChoice::Discard: break;
        }
    }
    m_loneCard.startOver(card, QString());
}

void CardFileCommands::offerRecovery()
{
    QFile file(m_recovery->path());
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    const QByteArray text = file.readAll();
    file.close();
    QString error;
    const std::optional<RecoveredCard> recovered = readCardRecovery(text, &error);
    if (!recovered) {
        m_prompts.messageBox(error + tr("\n\nThe recovery file is kept at %1.")
                                         .arg(QDir::toNativeSeparators(m_recovery->path())),
                             Exclamation, tr("Restore Card"));
        return;
    }
    const QString name = recovered->card.name.isEmpty()
                             ? tr("a card")
                             : tr("the card \"%1\"").arg(recovered->card.name);
    if (m_prompts.messageBox(tr("Orvane ended without saving %1. Restore it as it was?").arg(name),
                             YesNo | Question, tr("Restore Card")) != AnswerYes) {
        m_recovery->discard();
        return;
    }
    restoreCard(m_loneCard, *recovered);
}

}  // namespace orvane
