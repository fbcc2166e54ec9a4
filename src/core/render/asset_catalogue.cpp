// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/asset_catalogue.h"

#include "card/card_rules.h"

#include <QStringList>

#include <array>

namespace orvane::assets {
namespace {

// Built once: the timer asks for these names on every tick, and a copy of a shared QString
// costs no allocation.
struct Names {
    std::array<QString, FrameCount> frames;
    std::array<QString, ElementCount> elements;
    std::array<QString, 10> digits;  // "1".."9", then "A"
    std::array<QString, ArrowCount> arrows;
};

const Names& names()
{
    static const Names table = [] {
        const QString bitblts = QStringLiteral("gfx/bitblts/");
        const char* frames[FrameCount] = {"Monster Frame.bmp", "Boss Frame.bmp", "GF Frame.bmp",
                                          "Lvl10 Frame.bmp"};
        const char* elements[ElementCount] = {"fireelem.bmp",   "waterelem.bmp", "coldelem.bmp",
                                              "earthelem.bmp",  "windelem.bmp",  "bioelem.bmp",
                                              "boltelem.bmp",   "holyelem.bmp",  "noelem.bmp",
                                              "shadowelem.bmp", "assault.bmp"};
        Names n;
        for (size_t k = 0; k < n.frames.size(); ++k)
            n.frames[k] = bitblts + QLatin1String(frames[k]);
        for (size_t k = 0; k < n.elements.size(); ++k)
            n.elements[k] = bitblts + QLatin1String(elements[k]);
        for (size_t d = 0; d < 9; ++d)
            n.digits[d] = bitblts + QString::number(d + 1) + QStringLiteral(".bmp");
        n.digits[9] = bitblts + QStringLiteral("A.bmp");
        for (size_t i = 0; i < n.arrows.size(); ++i)
            n.arrows[i] = QStringLiteral("gfx/arrows/arrow %1.bmp").arg(i);
        return n;
    }();
    return table;
}

constexpr int NoElement = 8;

}  // namespace

QString frameFile(int frameIndex)
{
    return names().frames.at(size_t(frameIndex));
}

QString elementFile(int elementIndex)
{
    return names().elements.at(size_t(elementIndex));
}

QString noElementFile()
{
    return names().elements[NoElement];
}

std::optional<QString> digitFile(const QString& text)
{
    if (!sideIsDrawable(text))
        return std::nullopt;
    const QChar c = text.front();
    return c.isDigit() ? names().digits[size_t(c.unicode() - '1')] : names().digits[9];
}

QString arrowFile(int arrowIndex)
{
    return names().arrows.at(size_t(arrowIndex));
}

QSize expectedSize(const QString& relativePath)
{
    if (relativePath.startsWith(QLatin1String("gfx/arrows/")))
        return {};
    if (relativePath.endsWith(QStringLiteral("Frame.bmp")))
        return {62, 62};
    if (relativePath.endsWith(QStringLiteral("elem.bmp")) ||
        relativePath.endsWith(QStringLiteral("assault.bmp")))
        return {16, 17};
    return {9, 9};
}

QStringList allFiles()
{
    QStringList files;
    for (int k = 0; k < FrameCount; ++k)
        files << frameFile(k);
    for (int k = 0; k < ElementCount; ++k)
        files << elementFile(k);
    for (char d = '1'; d <= '9'; ++d)
        files << *digitFile(QString(QLatin1Char(d)));
    files << *digitFile(QStringLiteral("A"));
    for (int i = 0; i < ArrowCount; ++i)
        files << arrowFile(i);
    return files;
}

}  // namespace orvane::assets
