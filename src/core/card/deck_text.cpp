// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/deck_text.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace orvane {
namespace {

constexpr const char* CodePageName = "windows-1252";

bool isValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    // In slices, so that only a slice's text is held at a time; the decoder keeps a character
    // cut between two slices.
    constexpr qsizetype Slice = 1 << 20;
    for (qsizetype at = 0; at < bytes.size(); at += Slice) {
        const QString text =
            decoder.decode(QByteArrayView(bytes).sliced(at, std::min(Slice, bytes.size() - at)));
        if (decoder.hasError())
            return false;
    }
    // A character left incomplete at the end shows as an error once another one follows.
    const QString end = decoder.decode(QByteArrayView("\n"));
    return !decoder.hasError();
}

// The first line (1-based) holding a byte sequence that is not UTF-8.
int firstNonUtf8Line(const QByteArray& bytes)
{
    int line = 1;
    qsizetype start = 0;
    while (start <= bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder.decode(QByteArrayView(bytes).sliced(start, end - start));
        const QString lineEnd = decoder.decode(QByteArrayView("\n"));
        if (decoder.hasError())
            return line;
        ++line;
        start = end + 1;
    }
    return 0;
}

// The byte order mark is already taken off; a second one is text and stays, so that writing the
// text back with one mark gives the same bytes.
QByteArray toUtf8(QStringDecoder::Encoding encoding, QByteArrayView bytes)
{
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless |
                                         QStringDecoder::Flag::ConvertInitialBom);
    return QString(decoder.decode(bytes)).toUtf8();
}

// QString::fromUtf8 drops a leading byte order mark; here it is a character of the text.
QString textOfUtf8(const QByteArray& utf8)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(utf8);
}

}  // namespace

char separatorOfHeader(const QByteArray& headerLine)
{
    int comma = 0;
    int semicolon = 0;
    int tab = 0;
    bool quoted = false;
    for (const char c : headerLine) {
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == '\n' || c == '\r')
            break;
        else if (c == ',')
            ++comma;
        else if (c == ';')
            ++semicolon;
        else if (c == '\t')
            ++tab;
    }
    if (semicolon > comma && semicolon >= tab)
        return ';';
    if (tab > comma && tab > semicolon)
        return '\t';
    return ',';
}

DecodedDeckText decodeDeckBytes(const QByteArray& bytes)
{
    DecodedDeckText decoded;
    DeckEncoding& encoding = decoded.form.encoding;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        encoding = DeckEncoding::Utf8Bom;
        decoded.utf8 = bytes.mid(3);
    } else if (bytes.startsWith("\xFF\xFE")) {
        encoding = DeckEncoding::Utf16LE;
        decoded.utf8 = toUtf8(QStringDecoder::Utf16LE, QByteArrayView(bytes).sliced(2));
    } else if (bytes.startsWith("\xFE\xFF")) {
        encoding = DeckEncoding::Utf16BE;
        decoded.utf8 = toUtf8(QStringDecoder::Utf16BE, QByteArrayView(bytes).sliced(2));
    } else if (isValidUtf8(bytes)) {
        encoding = DeckEncoding::Utf8;
        decoded.utf8 = bytes;  // shared, not copied
    } else {
        encoding = DeckEncoding::Windows1252;
        decoded.firstNonUtf8Line = firstNonUtf8Line(bytes);
        QStringDecoder decoder(CodePageName);
        decoded.utf8 = decoder.isValid() ? QString(decoder.decode(bytes)).toUtf8()
                                         : QString::fromLatin1(bytes).toUtf8();
    }
    decoded.form.separator = separatorOfHeader(decoded.utf8.left(decoded.utf8.indexOf('\n')));
    return decoded;
}

QByteArray encodeDeckText(const QByteArray& utf8, const DeckTextForm& form)
{
    switch (form.encoding) {
    case DeckEncoding::Utf8: return utf8;
    case DeckEncoding::Utf8Bom: return QByteArray("\xEF\xBB\xBF") + utf8;
    case DeckEncoding::Utf16LE:
    case DeckEncoding::Utf16BE: {
        const bool little = form.encoding == DeckEncoding::Utf16LE;
        QStringEncoder encoder(little ? QStringEncoder::Utf16LE : QStringEncoder::Utf16BE);
        return QByteArray(little ? "\xFF\xFE" : "\xFE\xFF") +
               QByteArray(encoder.encode(textOfUtf8(utf8)));
    }
    case DeckEncoding::Windows1252: {
        QStringEncoder encoder(CodePageName);
        const QString text = textOfUtf8(utf8);
        if (!encoder.isValid())
            return text.toLatin1();
        QByteArray bytes = encoder.encode(text);
        return bytes;
    }
    }
    return utf8;
}

QString deckEncodingName(DeckEncoding encoding)
{
    switch (encoding) {
    case DeckEncoding::Utf8: return QStringLiteral("UTF-8");
    case DeckEncoding::Utf8Bom: return QStringLiteral("UTF-8 with a byte order mark");
    case DeckEncoding::Utf16LE: return QStringLiteral("UTF-16 LE");
    case DeckEncoding::Utf16BE: return QStringLiteral("UTF-16 BE");
    case DeckEncoding::Windows1252: return QStringLiteral("Windows-1252");
    }
    return {};
}

}  // namespace orvane
