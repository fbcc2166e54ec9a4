// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace orvane {

// What a file given to Orvane holds, told by its first bytes; the name counts only for a card
// file, so that a damaged one is reported as a card file and not read as a deck.
enum class FileKind {
    CardFile,  // JSON text ("{" or "[" first, after a byte order mark and blanks), or a file
               // named .orvcard that is no picture
    Picture,   // a BMP, GIF, JPEG or PNG picture, by its signature
    Other,     // anything else: a deck or plain text, another format, an empty file
    NotAFile,  // missing, a folder, a device, a pipe: nothing to read
};

// The kind of the bytes a file starts with (the first 64 are enough).
FileKind fileKindOfBytes(const QByteArray& start);

// The kind of the file at `path`: only a regular file is opened, and only its first bytes read.
// A regular file named .orvcard is a card file whatever it holds (empty, text), unless it is a
// picture by its signature.
FileKind fileKindOf(const QString& path);

}  // namespace orvane
