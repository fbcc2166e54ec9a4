// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dialog.h"

#include <QDir>
#include <QFileInfo>

namespace orvane {

QStringList Dialog::nameFilters() const
{
    const QStringList parts = Filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // Qt takes the patterns from the parentheses, separated by blanks; make sure the
        // patterns are there. The filter list separates several patterns with ';'.
        const QString& description = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << (description.contains(QLatin1Char('('))
                        ? description
                        : QStringLiteral("%1 (%2)").arg(description, patterns));
    }
    return filters;
}

QString Dialog::selectedNameFilter() const
{
    const QStringList filters = nameFilters();
    const int index = FilterIndex - 1;
    return index >= 0 && index < filters.size() ? filters[index] : QString();
}

QString Dialog::startFolder() const
{
    const QFileInfo offered(FileName);
    if (!FileName.isEmpty() && offered.isAbsolute())
        return offered.absolutePath();
    return InitDir;
}

QString Dialog::resolve(const QString& path) const
{
    if (QFileInfo(path).isAbsolute())
        return QDir::cleanPath(path);
    const QString folder = startFolder();
    return QDir::cleanPath(folder.isEmpty() ? QDir::current().absoluteFilePath(path)
                                            : QDir(folder).absoluteFilePath(path));
}

void Dialog::choose(const QString& path)
{
    FileName = resolve(path);
    InitDir = QFileInfo(FileName).absolutePath();
}

bool isWildcardName(const QString& name)
{
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

}  // namespace orvane
