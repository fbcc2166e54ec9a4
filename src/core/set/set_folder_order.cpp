// SPDX-License-Identifier: GPL-3.0-or-later
#include "set/set_folder_order.h"

#include <QFile>
#include <QSet>

namespace orvane {

QStringList readOrderFile(const QString& path)
{
    QFile file(path);
    // A card file name is short: a file far larger than any list of names is not an order file.
    constexpr qint64 MaxOrderFileBytes = 16 * 1024 * 1024;
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxOrderFileBytes)
        return {};
    QStringList names;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QString name = QString::fromUtf8(line).trimmed();
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

QStringList orderedCardFiles(const QStringList& files, const QStringList& order)
{
    const QSet<QString> present(files.cbegin(), files.cend());
    QSet<QString> placed;
    QStringList ordered;
    for (const QString& name : order)
        if (present.contains(name) && !placed.contains(name)) {
            ordered << name;
            placed.insert(name);
        }
    for (const QString& name : files)
        if (!placed.contains(name))
            ordered << name;
    return ordered;
}

QByteArray orderFileText(const QStringList& files)
{
    QByteArray text;
    for (const QString& name : files)
        text += name.toUtf8() + '\n';
    return text;
}

}  // namespace orvane
