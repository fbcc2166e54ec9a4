#pragma once

#include <QByteArray>
#include <QString>

namespace orvane {

// What a file given to Orvane holds, told by its first bytes and never by its name.
enum class FileKind {
    CardFile,  // JSON text: "{" first, after a byte order mark and blanks
    Picture,   // a BMP, GIF, JPEG or PNG picture, by its signature
    Other,     // anything else: a deck or plain text, another format, an empty file
    NotAFile,  // missing, a folder, a device, a pipe: nothing to read
};

// The kind of the bytes a file starts with (the first 64 are enough).
FileKind fileKindOfBytes(const QByteArray& start);

// The kind of the file at `path`: only a regular file is opened, and only its first bytes read.
FileKind fileKindOf(const QString& path);

}  // namespace orvane
