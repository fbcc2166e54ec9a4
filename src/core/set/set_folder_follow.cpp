#include "card/card_file.h"
#include "set/card_set.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace orvane {

QByteArray cardFileDigest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return hash.result();
}

QStringList CardSet::cardFilePaths() const
{
    QStringList paths;
    if (m_kind != SetKind::Folder)
        return paths;
    for (const SetEntry& e : m_entries)
        if (const QString path = m_sources.value(e.id).filePath; !path.isEmpty())
            paths << path;
    return paths;
}

FolderChanges CardSet::folderChanges(const QStringList& files) const
{
    FolderChanges changes;
    if (m_kind != SetKind::Folder)
        return changes;
    QHash<QString, quint64> idOfFile;
    for (auto it = m_sources.cbegin(); it != m_sources.cend(); ++it)
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
        const SetEntry* e = entry(*found);
        if (!e)
            continue;
        const bool edited = isChanged(e->id);
        if (!exists) {
            (edited ? changes.conflicts : changes.removed) << path;
            continue;
        }
        QByteArray digest = cardFileDigest(path);
        if (digest == m_sources.value(e->id).fileDigest)
            continue;  // as the set read or wrote it: touched, or the set's own save
        if (edited) {
            changes.conflicts << path;
            continue;
        }
        SetEntry now = *e;
        const CardFileRead read = readCardFile(path);
        now.card = read.card.value_or(Card());
        if (!read.card)
            now.card.name = info.completeBaseName();
        now.problem = read.card ? QString() : read.error;
        now.problemColumn.clear();
        now.pictureChanged = false;
        changes.theirs.append({now, path, std::move(digest)});
    }
    return changes;
}

bool FolderChanges::contains(const QString& path) const
{
    if (conflicts.contains(path) || added.contains(path) || removed.contains(path))
        return true;
    for (const FileCard& card : theirs)
        if (card.path == path)
            return true;
    return false;
}

void CardSet::takeFileCards(const QList<FileCard>& cards)
{
    QList<quint64> ids;
    for (const FileCard& taken : cards) {
        const int i = indexOf(taken.entry.id);
        if (i < 0)
            continue;
        m_entries[i] = taken.entry;
        SetSource& source = m_sources[taken.entry.id];
        source.original = taken.entry.card;
        source.fileDigest = taken.digest;
        if (m_ready && m_ready->id == taken.entry.id)
            m_ready.reset();
        ids << taken.entry.id;
    }
    for (const quint64 id : std::as_const(ids)) {
        emit cardChanged(id);
        emit cardReplaced(id);
    }
}

QStringList CardSet::overwrittenFiles() const
{
    QStringList files;
    if (m_kind != SetKind::Folder)
        return files;
    for (const SetEntry& e : m_entries) {
        const SetSource source = m_sources.value(e.id);
        if (e.isBad() || source.filePath.isEmpty() || !isChanged(e.id))
            continue;
        if (cardFileDigest(source.filePath) != source.fileDigest)
            files << source.filePath;
    }
    return files;
}

}  // namespace orvane
