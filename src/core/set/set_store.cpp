// SPDX-License-Identifier: GPL-3.0-or-later
#include "set/set_store.h"

#include "set/deck_store.h"
#include "set/folder_store.h"

#include <QCryptographicHash>
#include <QFileInfo>

namespace orvane {

const SetEntry* SetCards::find(quint64 id) const
{
    for (const SetEntry& e : entries)
        if (e.id == id)
            return &e;
    return nullptr;
}

const QStringList& SetStore::header() const
{
    static const QStringList none;
    return none;
}

const QByteArray& SetStore::bytes() const
{
    static const QByteArray none;
    return none;
}

QStringList SetStore::cardFiles(const SetCards&) const
{
    return {};
}

FolderChanges SetStore::cardFileChanges(const SetCards&, const QStringList&) const
{
    return {};
}

QString SetStore::recoveryDigest() const
{
    return QString::fromLatin1(
        QCryptographicHash::hash(bytes(), QCryptographicHash::Sha256).toHex());
}

bool SetStore::isChanged(const SetCards& cards, const SetEntry& e) const
{
    const auto source = cards.sources.constFind(e.id);
    if (source == cards.sources.cend() || !holds(*source))
        return true;
    if (e.isBad())
        return e.fields != source->fields;
    return e.pictureChanged || e.card != source->original || e.copies != source->originalCopies ||
           e.pictureFit != source->originalPictureFit || e.fields != source->fields ||
           e.pack != source->originalPack;
}

std::unique_ptr<SetStore> SetStore::forRecovery(const QString& kind, const QString& path)
{
    if (kind == QLatin1String("deck"))
        return std::make_unique<DeckStore>(path);
    if (kind == QLatin1String("folder"))
        return std::make_unique<FolderStore>(path);
    return std::make_unique<DeckStore>();
}

std::unique_ptr<SetStore> SetStore::forPath(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return std::make_unique<FolderStore>(info.absoluteFilePath());
    return std::make_unique<DeckStore>(info.absoluteFilePath());
}

}  // namespace orvane
