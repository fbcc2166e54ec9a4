// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/deck_file.h"
#include "set/card_set.h"
#include "set/deck_store.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace orvane {

QString CardSet::rowPicturePath(const SetEntry& e) const
{
    const QString folder = m_store->rowPictureFolder();
    if (folder.isEmpty())
        return {};
    return deckPicturePath(folder,
                           headerCell(m_store->header(), e.fields, QStringLiteral("picture")));
}

QString CardSet::followedPicture(const SetEntry& e) const
{
    if (e.pictureChanged)
        return {};
    if (e.isBad())
        return e.problemColumn == QLatin1String("picture") ? rowPicturePath(e) : QString();
    return e.card.mainPicturePath.isEmpty() ? QString() : QDir::cleanPath(e.card.mainPicturePath);
}

QStringList CardSet::picturePaths() const
{
    QStringList paths;
    QSet<QString> seen;
    for (const SetEntry& e : m_cards.entries) {
        const QString path = followedPicture(e);
        if (!path.isEmpty() && !seen.contains(path)) {
            seen.insert(path);
            paths << path;
        }
    }
    return paths;
}

bool CardSet::followPictureFile(const SetEntry& e)
{
    const SetEntry after = rowReadAgain(e);
    if (after.card == e.card && after.problem == e.problem && after.pictureFit == e.pictureFit)
        return false;
    // The file's text is unchanged: what the row was read as moves with it, so the row does not
    // count as changed by the user.
    const auto source = m_cards.sources.find(e.id);
    if (source != m_cards.sources.end() && source->fields == e.fields) {
        source->original = after.isBad() ? Card() : after.card;
        source->originalPictureFit = after.isBad() ? QMap<QString, QString>() : after.pictureFit;
    }
    m_cards.entries[indexOf(e.id)] = after;
    return true;
}

int CardSet::reloadPictures(const QStringList& paths)
{
    QSet<QString> changed;
    for (const QString& path : paths)
        changed.insert(QDir::cleanPath(path));
    // The picture kept for the editor may be one of them: read it again when next asked.
    if (m_ready && changed.contains(QDir::cleanPath(m_ready->path)))
        m_ready.reset();
    QList<quint64> ids;
    for (qsizetype i = 0; i < m_cards.entries.size(); ++i) {
        const SetEntry& e = m_cards.entries[i];
        const QString path = followedPicture(e);
        if (path.isEmpty() || !changed.contains(path))
            continue;
        // A bad row may heal; a card the user has not edited whose picture is gone becomes a
        // bad row. An edited card keeps the user's work and is drawn without its picture.
        if (e.isBad() || (!QFileInfo(path).isFile() && !isChanged(e.id)))
            followPictureFile(e);
        ids << m_cards.entries[i].id;
    }
    for (const quint64 id : std::as_const(ids)) {
        emit cardChanged(id);
        emit cardReplaced(id);
    }
    return int(ids.size());
}

}  // namespace orvane
