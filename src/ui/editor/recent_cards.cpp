// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/recent_cards.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace orvane {
namespace {

const QString RecentKey = QStringLiteral("RecentCards/files");

void store(const QStringList& files)
{
    QSettings().setValue(RecentKey, files);
}

}  // namespace

QStringList recentCards()
{
    return QSettings().value(RecentKey).toStringList();
}

void addRecentCard(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = recentCards();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > RecentCardsKept)
        files.removeLast();
    store(files);
}

void removeRecentCard(const QString& path)
{
    QStringList files = recentCards();
    files.removeAll(path);
    store(files);
}

QString homeRelative(const QString& path)
{
    const QString home = QDir::homePath();
    const QString clean = QDir::cleanPath(path);
    if (clean == home)
        return QStringLiteral("~");
    if (home != QStringLiteral("/") && clean.startsWith(home + QLatin1Char('/')))
        return QStringLiteral("~") + clean.mid(home.size());
    return QDir::toNativeSeparators(clean);
}

QString savedPairText(const QString& first, const QString& second)
{
    const QFileInfo a(first), b(second);
    if (a.absolutePath() == b.absolutePath())
        return QStringLiteral("Saved %1 and %2 in %3")
            .arg(a.fileName(), b.fileName(), homeRelative(a.absolutePath()));
    return QStringLiteral("Saved %1 and %2")
        .arg(homeRelative(a.absoluteFilePath()), homeRelative(b.absoluteFilePath()));
}

}  // namespace orvane
