// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_icons.h"

#include <QMimeDatabase>

namespace orvane {

FileIcons& FileIcons::shared()
{
    static FileIcons* const icons = new FileIcons;
    return *icons;
}

QIcon FileIcons::icon(const QFileInfo& info) const
{
    if (info.isRoot())
        return icon(Drive);
    if (info.isDir())
        return icon(Folder);
    return icon(File);
}

QString FileIcons::type(const QFileInfo& info) const
{
    if (info.isRoot())
        return QStringLiteral("Drive");
    if (info.isDir())
        return QStringLiteral("Folder");
    if (!info.isFile())
        return QStringLiteral("Special file");
    const QMimeType mime =
        QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    return mime.isDefault() ? QStringLiteral("File") : mime.comment();
}

}  // namespace orvane
