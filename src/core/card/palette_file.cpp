// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/palette_file.h"

#include "card/picture_fit.h"
#include "system/regular_file.h"

#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace orvane {

namespace {

constexpr qint64 MaxPaletteFileBytes = 1024 * 1024;

enum class Format { Gimp, Jasc, Plain };

PaletteRead failure(int line, const QString& why)
{
    return {{}, QStringLiteral("line %1: %2").arg(line).arg(why)};
}

// "R G B" with each 0..255, anything after the third number ignored (GIMP's colour names).
bool readTriple(const QString& line, QRgb* colour)
{
    const QStringList words = line.simplified().split(QLatin1Char(' '));
    if (words.size() < 3)
        return false;
    int channels[3];
    for (int k = 0; k < 3; ++k) {
        bool ok = false;
        channels[k] = QLocale::c().toInt(words[k], &ok);
        if (!ok || channels[k] < 0 || channels[k] > 255)
            return false;
    }
    *colour = qRgb(channels[0], channels[1], channels[2]);
    return true;
}

bool readHex(const QString& line, QRgb* colour)
{
    static const QRegularExpression hex(QStringLiteral("^#?([0-9a-fA-F]{6})$"));
    const QRegularExpressionMatch match = hex.match(line.trimmed());
    if (!match.hasMatch())
        return false;
    *colour = 0xFF000000u | match.captured(1).toUInt(nullptr, 16);
    return true;
}

}  // namespace

PaletteRead parsePalette(const QByteArray& bytes, const QString& fileName)
{
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    Format format = Format::Plain;
    qsizetype first = 0;
    while (first < lines.size() && lines[first].trimmed().isEmpty())
        ++first;
    const QString head = first < lines.size() ? lines[first].trimmed() : QString();
    if (head.compare(QLatin1String("GIMP Palette"), Qt::CaseInsensitive) == 0)
        format = Format::Gimp;
    else if (head.compare(QLatin1String("JASC-PAL"), Qt::CaseInsensitive) == 0)
        format = Format::Jasc;
    else if (fileName.endsWith(QLatin1String(".gpl"), Qt::CaseInsensitive))
        return failure(int(first) + 1,
                       QStringLiteral("a GIMP palette starts with \"GIMP Palette\""));
    else if (fileName.endsWith(QLatin1String(".pal"), Qt::CaseInsensitive))
        return failure(int(first) + 1, QStringLiteral("a JASC palette starts with \"JASC-PAL\""));

    PaletteRead read;
    qsizetype at = format == Format::Plain ? first : first + 1;
    if (format == Format::Jasc) {
        // The version line and the count; the count is checked against the colours that follow.
        const auto next = [&] {
            while (at < lines.size() && lines[at].trimmed().isEmpty())
                ++at;
            return at < lines.size() ? lines[at++].trimmed() : QString();
        };
        if (next() != QLatin1String("0100"))
            return failure(int(at), QStringLiteral("a JASC palette's second line is \"0100\""));
        bool ok = false;
        const int count = QLocale::c().toInt(next(), &ok);
        if (!ok || count < 0)
            return failure(int(at), QStringLiteral("a JASC palette's third line is its number of "
                                                   "colours"));
        Q_UNUSED(count);
    }
    int colourLines = 0;
    for (; at < lines.size(); ++at) {
        const QString line = lines[at].trimmed();
        const int number = int(at) + 1;
        if (line.isEmpty())
            continue;
        if (format == Format::Gimp &&
            (line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1String("Name:")) ||
             line.startsWith(QLatin1String("Columns:"))))
            continue;
        QRgb colour = 0;
        const bool ok =
            format == Format::Plain ? readHex(line, &colour) : readTriple(line, &colour);
        if (!ok)
            return failure(number, format == Format::Plain
                                       ? QStringLiteral("\"%1\" is not a colour rrggbb").arg(line)
                                       : QStringLiteral("\"%1\" is not a colour \"R G B\" "
                                                        "(each 0 to 255)")
                                             .arg(line));
        if (++colourLines > MaxColours)
            return failure(number, QStringLiteral("more than %1 colours").arg(MaxColours));
        if (std::find(read.colours.begin(), read.colours.end(), colour) == read.colours.end())
            read.colours.push_back(colour);
    }
    if (read.colours.empty())
        return failure(int(lines.size()), QStringLiteral("the palette holds no colour"));
    if (read.colours.size() == 1 && read.colours.front() == qRgb(0, 0, 0))
        return failure(int(lines.size()),
                       QStringLiteral("a palette of only pure black would make the picture "
                                      "vanish (pure black is transparent on the card)"));
    return read;
}

PaletteRead readPaletteFile(const QString& path)
{
    const ReadFile file = readRegularFile(path, MaxPaletteFileBytes);
    const QString shown = QDir::toNativeSeparators(path);
    if (!file.error.isEmpty())
        return {{}, QStringLiteral("%1: %2").arg(shown, file.error)};
    PaletteRead read = parsePalette(file.bytes, path);
    if (!read.error.isEmpty())
        read.error = QStringLiteral("%1, %2").arg(shown, read.error);
    return read;
}

}  // namespace orvane
