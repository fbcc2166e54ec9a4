// SPDX-License-Identifier: GPL-3.0-or-later
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
    return m_store->cardFiles(m_cards);
}

FolderChanges CardSet::folderChanges(const QStringList& files) const
{
    return m_store->cardFileChanges(m_cards, files);
}

QStringList CardSet::overwrittenFiles() const
{
    return m_store->overwrittenFiles(m_cards);
}

SetWatch CardSet::watch() const
{
    return m_store->watch(m_cards, picturePaths());
}

DiskChange CardSet::diskChange(const QStringList& files)
{
    return m_store->diskChange(m_cards, files, isModified());
}

void CardSet::keepMine(const DiskChange& change)
{
    m_store->keepMine(change);
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
        m_cards.entries[i] = taken.entry;
        SetSource& source = m_cards.sources[taken.entry.id];
        source.original = taken.entry.card;
        source.originalCopies = taken.entry.copies;
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

}  // namespace orvane
