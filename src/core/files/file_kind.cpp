// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/file_kind.h"

#include "system/regular_file.h"

#include <QFile>
#include <QFileInfo>

#include <cctype>

namespace orvane {

FileKind fileKindOfBytes(const QByteArray& start)
{
    static const char* const signatures[] = {"BM", "GIF87a", "GIF89a", "\xFF\xD8\xFF",
                                             "\x89PNG\r\n\x1A\n"};
    for (const char* signature : signatures)
        if (start.startsWith(signature))
            return FileKind::Picture;
    QByteArrayView text(start);
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    for (const char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            return c == '{' || c == '[' ? FileKind::CardFile : FileKind::Other;
    return FileKind::Other;
}

FileKind fileKindOf(const QString& path)
{
    // Opened as every file the tool reads: a pipe or a device is never waited on.
    const OpenedFile opened = openRegularFile(path);
    const bool cardName = path.endsWith(QLatin1String(".orvcard"), Qt::CaseInsensitive);
    if (!opened.file) {
        if (!opened.error.contains(QLatin1String("empty")))
            return FileKind::NotAFile;
        return cardName ? FileKind::CardFile : FileKind::Other;
    }
    const FileKind kind = fileKindOfBytes(opened.file->read(64));
    return cardName && kind == FileKind::Other ? FileKind::CardFile : kind;
}

}  // namespace orvane
