// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace orvane {

// How the text of a deck is stored: what spreadsheet programs write as "CSV".
enum class DeckEncoding {
    Utf8,         // no byte order mark
    Utf8Bom,      // with a byte order mark
    Utf16LE,      // with a byte order mark
    Utf16BE,      // with a byte order mark
    Windows1252,  // not valid UTF-8 and no byte order mark: the Western code page
};

struct DeckTextForm {
    DeckEncoding encoding = DeckEncoding::Utf8;
    char separator = ',';  // ',', ';' or '\t', found from the header row
};

// A deck's bytes as UTF-8 text (any byte order mark removed) and the form they were stored in.
struct DecodedDeckText {
    QByteArray utf8;
    DeckTextForm form;
    // With Windows1252: the first line (1-based) that is not valid UTF-8, for the warning.
    int firstNonUtf8Line = 0;
};

// Finds the encoding (UTF-8 with or without a byte order mark, UTF-16 LE or BE with one, else
// Windows-1252 when the bytes are not valid UTF-8) and the separator of the header row (the
// one of comma, semicolon and tab that it holds most often outside quotes; comma on a tie).
DecodedDeckText decodeDeckBytes(const QByteArray& bytes);

// The bytes of UTF-8 text stored in `form`'s encoding (with its byte order mark, if it has
// one), so that a deck written back keeps the form it was read in. A character the Windows
// code page lacks is written as '?'.
QByteArray encodeDeckText(const QByteArray& utf8, const DeckTextForm& form);

// The name of an encoding, for messages ("UTF-16 LE").
QString deckEncodingName(DeckEncoding encoding);

// The separator of a header line (see decodeDeckBytes).
char separatorOfHeader(const QByteArray& headerLine);

}  // namespace orvane
