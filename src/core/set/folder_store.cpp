// SPDX-License-Identifier: GPL-3.0-or-later
#include "set/folder_store.h"

#include "card/card_file.h"
#include "card/card_file_pack.h"
#include "files/card_export.h"
#include "set/deck_store.h"
#include "set/set_folder_order.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace orvane {

bool FolderStore::read(SetCards& cards, quint64& nextId, QString* error)
{
    const QDir folder(m_path);
    if (!folder.isReadable()) {
        if (error)
            *error = QStringLiteral("The folder %1 cannot be opened: it cannot be read.")
                         .arg(QDir::toNativeSeparators(m_path));
        return false;
    }
    cards = {};
    m_keptFiles.clear();
    const QStringList names =
        orderedCardFiles(folder.entryList({QStringLiteral("*.") + QLatin1String(CardFileSuffix)},
                                          QDir::Files, QDir::Name | QDir::IgnoreCase),
                         readOrderFile(folder.filePath(QLatin1String(SetOrderFileName))));
    for (const QString& name : names) {
        const QString filePath = folder.filePath(name);
        const CardFileRead read = readCardFile(filePath);
        SetEntry entry;
        entry.id = nextId++;
        if (read.card) {
            entry.card = *read.card;
            entry.copies = read.copies;
            entry.pack = readCardFilePack(filePath);
        } else {
            entry.card.name = QFileInfo(name).completeBaseName();
            entry.problem = read.error;
        }
        cards.entries.append(entry);
        cards.sources.insert(
            entry.id, {-1, {}, entry.card, {}, filePath, cardFileDigest(filePath), entry.copies,
                       entry.pack});
    }
    return true;
}

std::unique_ptr<SetStore> FolderStore::deckAt(const QString& path, bool* keepsSources) const
{
    *keepsSources = false;  // the cards become the rows of a new deck
    return std::make_unique<DeckStore>(path);
}

bool FolderStore::save(SetCards& cards, QString* error, bool*)
{
    const QDir folder(m_path);
    const auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    QSet<quint64> present;
    for (const SetEntry& e : std::as_const(cards.entries))
        present.insert(e.id);

    // Where each changed card goes: the file it has, under its new name when it was renamed (a
    // file already there is never replaced), or a new file under a name no file has.
    struct Write {
        qsizetype index;
        QString from;  // the file it had; empty: a new card
        QString to;
    };
    QList<Write> writes;
    QSet<QString> names;
    for (const SetSource& source : std::as_const(cards.sources))
        names.insert(QFileInfo(source.filePath).fileName().toCaseFolded());
    for (qsizetype i = 0; i < cards.entries.size(); ++i) {
        const SetEntry& e = cards.entries[i];
        if (e.isBad() || !isChanged(cards, e))
            continue;
        const SetSource source = cards.sources.value(e.id);
        const QString wanted =
            safeFileName(e.card.name) + QLatin1Char('.') + QLatin1String(CardFileSuffix);
        if (!source.filePath.isEmpty()) {
            const bool renamed = e.card.name != source.original.name &&
                                 QFileInfo(source.filePath).fileName() != wanted;
            const QString to = renamed ? folder.filePath(wanted) : source.filePath;
            const bool sameFile =
                QFileInfo(to).canonicalFilePath() == QFileInfo(source.filePath).canonicalFilePath();
            // A deleted card's file is set aside first: its name is free then.
            bool freed = false;
            for (auto it = cards.sources.cbegin(); renamed && it != cards.sources.cend() && !freed;
                 ++it)
                freed =
                    !present.contains(it.key()) &&
                    QFileInfo(it->filePath).fileName().compare(wanted, Qt::CaseInsensitive) == 0;
            if (renamed && !sameFile && !freed && QFileInfo::exists(to))
                return fail(QStringLiteral("The card \"%1\" cannot be saved: its file cannot be "
                                           "renamed to %2, another file of that name is there. "
                                           "Give the card another name, or move that file away.")
                                .arg(e.card.name, QDir::toNativeSeparators(to)));
            writes.append({i, source.filePath, to});
            continue;
        }
        const QString base = safeFileName(e.card.name);
        QString name = wanted;
        for (int n = 2;
             names.contains(name.toCaseFolded()) || QFileInfo::exists(folder.filePath(name)); ++n)
            name = QStringLiteral("%1-%2.%3").arg(base).arg(n).arg(CardFileSuffix);
        names.insert(name.toCaseFolded());
        writes.append({i, QString(), folder.filePath(name)});
    }

    // A card deleted from the set keeps its file as a backup beside the others.
    for (auto it = cards.sources.begin(); it != cards.sources.end();) {
        if (present.contains(it.key())) {
            ++it;
            continue;
        }
        const QString backup = it->filePath + QStringLiteral(".bak");
        QFile::remove(backup);
        if (!QFile::rename(it->filePath, backup))
            return fail(QStringLiteral("The deleted card's file %1 cannot be set aside.")
                            .arg(QDir::toNativeSeparators(it->filePath)));
        it = cards.sources.erase(it);
    }

    for (const Write& w : std::as_const(writes)) {
        SetEntry& e = cards.entries[w.index];
        // The rename itself never replaces a file (it fails when one is there), so a file that
        // appeared since the check above is kept.
        const bool renaming = !w.from.isEmpty() && w.from != w.to;
        if (renaming && !QFile::rename(w.from, w.to))
            return fail(QStringLiteral("The card file %1 cannot be renamed to %2: a file of that "
                                       "name is there, or the folder cannot be written.")
                            .arg(QDir::toNativeSeparators(w.from), QDir::toNativeSeparators(w.to)));
        if (!writeCardFileWithPack(e.card, e.pack, w.to, error, e.copies)) {
            if (renaming)
                QFile::rename(w.to, w.from);
            return false;
        }
        e.pictureChanged = false;
        cards.sources.insert(e.id,
                             {-1, {}, e.card, {}, w.to, cardFileDigest(w.to), e.copies, e.pack});
    }

    // The order of the cards, when it is not the plain name order (or a list is there already).
    QStringList files;
    for (const SetEntry& e : std::as_const(cards.entries))
        if (const QString path = cards.sources.value(e.id).filePath; !path.isEmpty())
            files << QFileInfo(path).fileName();
    QStringList byName = files;
    std::sort(byName.begin(), byName.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    const QString orderPath = folder.filePath(QLatin1String(SetOrderFileName));
    const bool listed = QFileInfo::exists(orderPath);
    if (listed ? readOrderFile(orderPath) != files : files != byName) {
        QString why;
        if (!writeFileAtomically(orderPath, orderFileText(files), &why))
            return fail(QStringLiteral("The order of the cards cannot be written to %1: %2.")
                            .arg(QDir::toNativeSeparators(orderPath), why));
    }
    return true;
}

QStringList FolderStore::cardFiles(const SetCards& cards) const
{
    QStringList paths;
    for (const SetEntry& e : cards.entries)
        if (const QString path = cards.sources.value(e.id).filePath; !path.isEmpty())
            paths << path;
    return paths;
}

SetWatch FolderStore::watch(const SetCards& cards, const QStringList&) const
{
    // The order file need not exist: through it the folder is watched for new card files.
    return {QStringList{QDir(m_path).filePath(QLatin1String(SetOrderFileName))} + cardFiles(cards),
            m_path, QLatin1Char('.') + QLatin1String(CardFileSuffix)};
}

FolderChanges FolderStore::cardFileChanges(const SetCards& cards, const QStringList& files) const
{
    FolderChanges changes;
    QHash<QString, quint64> idOfFile;
    for (auto it = cards.sources.cbegin(); it != cards.sources.cend(); ++it)
        if (!it->filePath.isEmpty())
            idOfFile.insert(QFileInfo(it->filePath).absoluteFilePath(), it.key());
    for (const QString& file : files) {
        const QFileInfo info(file);
        const QString path = info.absoluteFilePath();
        if (info.suffix() != QLatin1String(CardFileSuffix) || changes.contains(path))
            continue;
        const bool exists = info.isFile();
        const auto found = idOfFile.constFind(path);
        if (found == idOfFile.cend()) {
            if (exists)
                changes.added << path;
            continue;
        }
        // A card deleted in the window has its file set aside on save, whatever it holds.
        const SetEntry* e = cards.find(*found);
        if (!e)
            continue;
        const bool edited = isChanged(cards, *e);
        if (!exists) {
            (edited ? changes.conflicts : changes.removed) << path;
            continue;
        }
        QByteArray digest = cardFileDigest(path);
        if (digest == cards.sources.value(e->id).fileDigest)
            continue;  // as the set read or wrote it: touched, or the set's own save
        if (edited) {
            changes.conflicts << path;
            continue;
        }
        SetEntry now = *e;
        const CardFileRead read = readCardFile(path);
        now.card = read.card.value_or(Card());
        now.pack = read.card ? readCardFilePack(path) : QString();
        if (!read.card)
            now.card.name = info.completeBaseName();
        now.problem = read.card ? QString() : read.error;
        now.problemColumn.clear();
        now.pictureChanged = false;
        now.copies = read.copies;
        changes.theirs.append({now, path, std::move(digest)});
    }
    return changes;
}

DiskChange FolderStore::diskChange(const SetCards& cards, const QStringList& files, bool modified)
{
    FolderChanges changes = cardFileChanges(cards, files);
    // A file the user chose to keep their card over, unchanged since, asks no more.
    changes.conflicts.removeIf([this](const QString& file) {
        const auto kept = m_keptFiles.constFind(file);
        return kept != m_keptFiles.cend() && *kept == cardFileDigest(file);
    });
    DiskChange change;
    change.step = folderFollowStep(changes, modified);
    change.theirs = changes.theirs;
    change.conflicts = changes.conflicts;
    return change;
}

void FolderStore::keepMine(const DiskChange& change)
{
    for (const QString& file : change.conflicts)
        m_keptFiles.insert(file, cardFileDigest(file));
}

QStringList FolderStore::overwrittenFiles(const SetCards& cards) const
{
    QStringList files;
    for (const SetEntry& e : cards.entries) {
        const SetSource source = cards.sources.value(e.id);
        if (e.isBad() || source.filePath.isEmpty() || !isChanged(cards, e))
            continue;
        if (cardFileDigest(source.filePath) != source.fileDigest)
            files << source.filePath;
    }
    return files;
}

}  // namespace orvane
