// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

namespace orvane {

// A file opened for reading: a regular file only, opened without ever waiting (a pipe, a device,
// a terminal or a made-up file of the kernel's own file systems is refused before anything is
// read from it). Every file the tool reads - pictures, parts, card files, decks - opens so.
struct OpenedFile {
    std::unique_ptr<QFile> file;  // null when refused
    qint64 size = 0;              // the size the file system gives
    QString error;                // why it was refused, in words for the user
};

OpenedFile openRegularFile(const QString& path);

// The whole of a regular file of at most `maxBytes` bytes, read with that bound on the bytes
// actually read (a file that grows while it is read cannot make it read more). An empty file
// reads as empty. `error` is set, and nothing returned, when the file is refused, unreadable or
// larger than the bound; `tooLarge` then tells the last case apart.
struct ReadFile {
    QByteArray bytes;
    QString error;
    bool tooLarge = false;
};

ReadFile readRegularFile(const QString& path, qint64 maxBytes);

}  // namespace orvane
