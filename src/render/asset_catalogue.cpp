#include "render/asset_catalogue.h"

#include <QStringList>

#include <array>

namespace orvane::assets {
namespace {

const QString Bitblts = QStringLiteral("gfx/bitblts/");
const QString Arrows = QStringLiteral("gfx/arrows/");

constexpr std::array<const char*, FrameCount> FrameNames = {"Monster Frame.bmp", "Boss Frame.bmp",
                                                            "GF Frame.bmp", "Lvl10 Frame.bmp"};

constexpr std::array<const char*, ElementCount> ElementNames = {
    "fireelem.bmp", "waterelem.bmp",  "coldelem.bmp", "earthelem.bmp",
    "windelem.bmp", "bioelem.bmp",    "boltelem.bmp", "holyelem.bmp",
    "noelem.bmp",   "shadowelem.bmp", "assault.bmp"};

}  // namespace

QString frameFile(int frameIndex)
{
    return Bitblts + QLatin1String(FrameNames.at(size_t(frameIndex)));
}

QString elementFile(int elementIndex)
{
    return Bitblts + QLatin1String(ElementNames.at(size_t(elementIndex)));
}

QString noElementFile()
{
    return Bitblts + QStringLiteral("noelem.bmp");
}

std::optional<QString> digitFile(const QString& text)
{
    if (text.size() != 1)
        return std::nullopt;
    const QChar c = text.front();
    if (c >= QLatin1Char('1') && c <= QLatin1Char('9'))
        return Bitblts + c + QStringLiteral(".bmp");
    if (c == QLatin1Char('A') || c == QLatin1Char('a'))
        return Bitblts + QStringLiteral("A.bmp");
    return std::nullopt;
}

QString arrowFile(int arrowIndex)
{
    return Arrows + QStringLiteral("arrow %1.bmp").arg(arrowIndex);
}

QSize expectedSize(const QString& relativePath)
{
    if (relativePath.startsWith(Arrows))
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
