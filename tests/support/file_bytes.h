// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whole files for tests: read, written, or replaced by renaming a new file over them (as image
// editors and spreadsheet programs save).
#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdio>

// The file's bytes; "<unreadable>" when it cannot be read (so it never equals real contents).
inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Writes the file in place, truncating it; false when that fails.
inline bool writeFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

// Writes `path` + ".new" and renames it over `path` in one step; false when that fails.
inline bool replaceFileByRename(const QString& path, const QByteArray& bytes)
{
    const QString fresh = path + QStringLiteral(".new");
    return writeFileBytes(fresh, bytes) && std::rename(QFile::encodeName(fresh).constData(),
                                                       QFile::encodeName(path).constData()) == 0;
}
