// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/part_pack.h"

#include "card/card_placement.h"
#include "render/asset_catalogue.h"
#include "render/compositor.h"
#include "render/picture_cache.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <array>
#include <utility>
#include <vector>

namespace orvane {
namespace {

constexpr qint64 MaxManifestBytes = 64 * 1024;
const std::array<const char*, 2> PartSuffixes = {"bmp", "png"};

// "gfx/bitblts/1.bmp" -> "bitblts/1" (the pack folder stands for gfx/, the suffix is free).
QString partStem(const QString& relative)
{
    QString stem = relative;
    if (stem.startsWith(QLatin1String("gfx/")))
        stem.remove(0, 4);
    const qsizetype dot = stem.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? stem.left(dot) : stem;
}

QString variantSuffix(int scale)
{
    return scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
}

QString sizeText(QSize size)
{
    return QStringLiteral("%1 × %2").arg(size.width()).arg(size.height());
}

// The size a part must have at 1 x: the layout's, or for arrows any size that fits the card.
bool fitsLayout(const QString& relative, QSize size)
{
    const QSize expected = assets::expectedSize(relative);
    if (expected.isValid())
        return size == expected;
    return size.width() >= 1 && size.height() >= 1 && size.width() <= CardHeight &&
           size.height() <= CardHeight;
}

QString requiredSize(const QString& relative)
{
    const QSize expected = assets::expectedSize(relative);
    return expected.isValid() ? sizeText(expected)
                              : QStringLiteral("at most %1 × %1").arg(CardHeight);
}

QImage readPart(const QString& path, QString* why)
{
    QImage image = readPictureFile(path, PictureCache::MaxSide, why);
    return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

// A part read and checked: the 1 x picture, then the variant that serves `scale` best.
struct CheckedPart {
    QImage picture;  // null: the part cannot be used (see problem)
    int pictureScale = 1;
    QString problem;
    QStringList variantProblems;
};

CheckedPart readCheckedPart(const QString& folder, const QString& relative, int scale)
{
    CheckedPart part;
    const QString file = packPartFile(folder, relative);
    const QString shown = partStem(relative);
    if (file.isEmpty()) {
        part.problem = QStringLiteral("%1.bmp or .png is missing (it must be %2 pixels)")
                           .arg(shown, requiredSize(relative));
        return part;
    }
    QString why;
    const QImage base = readPart(file, &why);
    const QString name = QDir(folder).relativeFilePath(file);
    if (base.isNull()) {
        part.problem = QStringLiteral("%1 cannot be read (%2)").arg(name, why);
        return part;
    }
    if (!fitsLayout(relative, base.size())) {
        part.problem = QStringLiteral("%1 is %2 pixels; it must be %3")
                           .arg(name, sizeText(base.size()), requiredSize(relative));
        return part;
    }
    part.picture = base;
    for (int k = LargestPartVariant; k >= 2; --k) {
        const QString variant = packPartFile(folder, relative, k);
        if (variant.isEmpty())
            continue;
        const QString variantName = QDir(folder).relativeFilePath(variant);
        const QImage large = readPart(variant, &why);
        if (large.isNull()) {
            part.variantProblems << QStringLiteral("%1 cannot be read (%2)").arg(variantName, why);
            continue;
        }
        if (large.size() != base.size() * k) {
            part.variantProblems << QStringLiteral("%1 is %2 pixels; as %3 x %4 it must be %5")
                                        .arg(variantName, sizeText(large.size()))
                                        .arg(k)
                                        .arg(name, sizeText(base.size() * k));
            continue;
        }
        if (scale % k == 0 && part.pictureScale == 1) {
            part.picture = large;
            part.pictureScale = k;
        }
    }
    return part;
}

// Every part picture of `parts` with its name, in the catalogue's order.
std::vector<std::pair<QString, QImage*>> partPictures(CardParts& parts)
{
    std::vector<std::pair<QString, QImage*>> pictures;
    for (int k = 0; k < assets::FrameCount; ++k)
        pictures.emplace_back(assets::frameFile(k), &parts.frames[size_t(k)]);
    for (int k = 0; k < assets::ElementCount; ++k)
        pictures.emplace_back(assets::elementFile(k), &parts.elements[size_t(k)]);
    for (int d = 0; d < 9; ++d)
        pictures.emplace_back(*assets::digitFile(QString::number(d + 1)), &parts.digits[size_t(d)]);
    pictures.emplace_back(*assets::digitFile(QStringLiteral("A")), &parts.digits[9]);
    for (int i = 0; i < assets::ArrowCount; ++i)
        pictures.emplace_back(assets::arrowFile(i), &parts.arrows[size_t(i)]);
    return pictures;
}

QString manifestString(const QJsonObject& object, const char* key, QStringList& warnings)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined() || value.isNull())
        return {};
    if (!value.isString()) {
        warnings << QStringLiteral("pack.json: member \"%1\" is not text; it is left out")
                        .arg(QLatin1String(key));
        return {};
    }
    return value.toString();
}

// A base or back named by the manifest, loaded and checked (62 x 62); null when it is not named
// or cannot be used (a problem is then added).
QImage manifestPicture(const QString& folder, const QString& relative, QStringList& problems)
{
    if (relative.isEmpty())
        return {};
    const QString path = QDir(folder).filePath(relative);
    if (QDir::isAbsolutePath(relative) ||
        QDir::cleanPath(relative).startsWith(QLatin1String(".."))) {
        problems
            << QStringLiteral("pack.json names %1, which is not inside the pack").arg(relative);
        return {};
    }
    QString why;
    const QImage image = readPart(path, &why);
    if (image.isNull()) {
        problems << QStringLiteral("%1 cannot be read (%2)").arg(relative, why);
        return {};
    }
    if (image.size() != QSize(CardHeight, CardHeight)) {
        problems << QStringLiteral("%1 is %2 pixels; it must be %3 × %3")
                        .arg(relative, sizeText(image.size()))
                        .arg(CardHeight);
        return {};
    }
    return image;
}

}  // namespace

PackManifestRead readPackManifest(const QString& folder)
{
    PackManifestRead read;
    QFile file(QDir(folder).filePath(QLatin1String(PackManifestName)));
    if (!file.exists())
        return read;
    if (!QFileInfo(file).isFile() || file.size() > MaxManifestBytes ||
        !file.open(QIODevice::ReadOnly)) {
        read.warnings << QStringLiteral("pack.json cannot be read (it must be a file of at most "
                                        "%1 KB); the pack is used without it")
                             .arg(MaxManifestBytes / 1024);
        return read;
    }
    QJsonParseError parseError;
    const QJsonDocument document =
        QJsonDocument::fromJson(file.read(MaxManifestBytes), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        read.warnings << QStringLiteral("pack.json is not a JSON object (%1); the pack is used "
                                        "without it")
                             .arg(parseError.error != QJsonParseError::NoError
                                      ? parseError.errorString()
                                      : QStringLiteral("it holds no object"));
        return read;
    }
    const QJsonObject object = document.object();
    static const QStringList known = {QStringLiteral("name"),        QStringLiteral("author"),
                                      QStringLiteral("version"),     QStringLiteral("licence"),
                                      QStringLiteral("description"), QStringLiteral("blue_base"),
                                      QStringLiteral("red_base"),    QStringLiteral("card_back")};
    for (const QString& key : object.keys())
        if (!known.contains(key))
            read.warnings << QStringLiteral("pack.json: unknown member \"%1\" is ignored").arg(key);
    PackManifest& m = read.manifest;
    m.name = manifestString(object, "name", read.warnings).trimmed();
    m.author = manifestString(object, "author", read.warnings);
    m.version = manifestString(object, "version", read.warnings);
    m.licence = manifestString(object, "licence", read.warnings);
    m.description = manifestString(object, "description", read.warnings);
    m.blueBase = manifestString(object, "blue_base", read.warnings);
    m.redBase = manifestString(object, "red_base", read.warnings);
    m.cardBack = manifestString(object, "card_back", read.warnings);
    return read;
}

QString packName(const QString& folder)
{
    const QString name = readPackManifest(folder).manifest.name;
    return name.isEmpty() ? QFileInfo(QDir::cleanPath(folder)).fileName() : name;
}

QString packPartFile(const QString& folder, const QString& relative, int scale)
{
    const QString stem = QDir(folder).filePath(partStem(relative) + variantSuffix(scale));
    for (const char* suffix : PartSuffixes) {
        const QString path = stem + QLatin1Char('.') + QLatin1String(suffix);
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

QStringList packWatchFiles(const QString& folder)
{
    QStringList files;
    for (const QString& relative : assets::allFiles())
        for (int scale = 1; scale <= LargestPartVariant; ++scale)
            for (const char* suffix : PartSuffixes)
                files << QDir(folder).filePath(partStem(relative) + variantSuffix(scale) +
                                               QLatin1Char('.') + QLatin1String(suffix));
    files << QDir(folder).filePath(QLatin1String(PackManifestName));
    return files;
}

QString frameCoverage(const QImage& frame)
{
    const CardPlacement at;
    const QSize digit = assets::expectedSize(*assets::digitFile(QStringLiteral("1")));
    const QSize element = assets::expectedSize(assets::elementFile(0));
    const struct {
        const char* what;
        QRect rect;
    } places[] = {{"the top digit", {QPoint(at.TopX, at.TopY), digit}},
                  {"the left digit", {QPoint(at.LeftX, at.LeftY), digit}},
                  {"the right digit", {QPoint(at.RightX, at.RightY), digit}},
                  {"the bottom digit", {QPoint(at.BottomX, at.BottomY), digit}},
                  {"the element icon", {QPoint(at.ElemX, at.ElemY), element}}};
    const QImage rgb = frame.convertToFormat(QImage::Format_RGB32);
    for (const auto& place : places) {
        const QRect r = place.rect.intersected(rgb.rect());
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if ((rgb.pixel(x, y) & 0xFFFFFFu) != 0)
                    return QStringLiteral("pixel %1,%2 is not pure black, but %3 sits there "
                                          "at the default placements")
                        .arg(x)
                        .arg(y)
                        .arg(QLatin1String(place.what));
    }
    return {};
}

QList<PackProblem> checkPack(const QString& folder)
{
    QList<PackProblem> problems;
    if (!QFileInfo(folder).isDir())
        return {{true, QStringLiteral("%1 is not a folder").arg(QDir::toNativeSeparators(folder))}};
    const PackManifestRead manifest = readPackManifest(folder);
    for (const QString& warning : manifest.warnings)
        problems.append({false, warning});
    for (const QString& relative : assets::allFiles()) {
        const CheckedPart part = readCheckedPart(folder, relative, 1);
        if (!part.problem.isEmpty())
            problems.append({true, part.problem});
        for (const QString& text : part.variantProblems)
            problems.append({true, text});
        if (!part.picture.isNull() && relative.endsWith(QLatin1String("Frame.bmp")))
            if (const QString covered = frameCoverage(part.picture); !covered.isEmpty())
                problems.append(
                    {false,
                     QStringLiteral("%1: %2").arg(
                         QDir(folder).relativeFilePath(packPartFile(folder, relative)), covered)});
    }
    QStringList pictureProblems;
    const PackManifest& m = manifest.manifest;
    for (const QString* picture : {&m.blueBase, &m.redBase, &m.cardBack})
        manifestPicture(folder, *picture, pictureProblems);
    for (const QString& text : std::as_const(pictureProblems))
        problems.append({true, text});
    return problems;
}

QImage enlargedPicture(const QImage& picture, int scale)
{
    if (scale <= 1 || picture.isNull())
        return picture;
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    QImage out(source.width() * scale, source.height() * scale, QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* first = reinterpret_cast<QRgb*>(out.scanLine(y * scale));
        for (int x = 0; x < source.width(); ++x)
            std::fill_n(first + qsizetype(x) * scale, scale, in[x]);
        for (int k = 1; k < scale; ++k)
            std::copy_n(first, out.width(), reinterpret_cast<QRgb*>(out.scanLine(y * scale + k)));
    }
    return out;
}

CardParts enlargedParts(const CardParts& parts, int scale)
{
    CardParts out = parts;
    out.scale = scale;
    if (scale <= 1)
        return out;
    for (auto& [name, picture] : partPictures(out))
        *picture = enlargedPicture(*picture, scale);
    out.noElement = out.elements[ElementNone];
    out.blueBase = enlargedPicture(parts.blueBase, scale);
    out.redBase = enlargedPicture(parts.redBase, scale);
    return out;
}

PackParts loadPackParts(const QString& folder, int scale, const CardParts& fallback)
{
    PackParts loaded;
    loaded.parts = fallback;
    loaded.parts.scale = scale;
    const PackManifestRead manifest = readPackManifest(folder);
    loaded.warnings = manifest.warnings;
    CardParts fallbackCopy = fallback;  // shares the pictures; only read
    const auto pictures = partPictures(loaded.parts);
    const auto fallbackPictures = partPictures(fallbackCopy);
    for (size_t k = 0; k < pictures.size(); ++k) {
        const auto& [relative, picture] = pictures[k];
        const CheckedPart part = readCheckedPart(folder, relative, scale);
        loaded.warnings << part.variantProblems;
        if (part.picture.isNull()) {
            loaded.problems << part.problem;
            *picture = enlargedPicture(*fallbackPictures[k].second, scale);
        } else {
            *picture = enlargedPicture(part.picture, scale / part.pictureScale);
        }
    }
    loaded.parts.noElement = loaded.parts.elements[ElementNone];
    const PackManifest& m = manifest.manifest;
    const QImage blue = manifestPicture(folder, m.blueBase, loaded.problems);
    const QImage red = manifestPicture(folder, m.redBase, loaded.problems);
    loaded.parts.blueBase = enlargedPicture(blue.isNull() ? fallback.blueBase : blue, scale);
    loaded.parts.redBase = enlargedPicture(red.isNull() ? fallback.redBase : red, scale);
    return loaded;
}

}  // namespace orvane
