#include "set/card_set.h"

#include <QDir>
#include <QSet>

namespace orvane {

QStringList CardSet::picturePaths() const
{
    QStringList paths;
    QSet<QString> seen;
    for (const SetEntry& e : m_entries) {
        if (e.isBad() || e.pictureChanged || e.card.mainPicturePath.isEmpty())
            continue;
        const QString path = QDir::cleanPath(e.card.mainPicturePath);
        if (!seen.contains(path)) {
            seen.insert(path);
            paths << path;
        }
    }
    return paths;
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
    for (const SetEntry& e : std::as_const(m_entries))
        if (!e.isBad() && !e.pictureChanged &&
            changed.contains(QDir::cleanPath(e.card.mainPicturePath)))
            ids << e.id;
    for (const quint64 id : std::as_const(ids))
        emit cardChanged(id);
    return int(ids.size());
}

}  // namespace orvane
