// SPDX-License-Identifier: GPL-3.0-or-later
// Build step: turns the XPM drawings under assets/gfx into the BMP card parts the tool reads
// from gfx/ beside the executable. Fails loudly when a drawing is missing, unreadable or of the
// wrong size, or when a frame would hide a digit or the element icon, so a broken asset never
// reaches a build.
#include "card/card_placement.h"
#include "render/asset_catalogue.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// Arrows may have any size, but ours are drawn at the sizes of the direction marks.
QSize drawnSize(const QString& relative)
{
    const QSize expected = orvane::assets::expectedSize(relative);
    if (expected.isValid())
        return expected;
    for (int i = 0; i < orvane::assets::ArrowCount; ++i) {
        if (relative != orvane::assets::arrowFile(i))
            continue;
        if (i == 1 || i == 6)
            return {10, 6};
        if (i == 3 || i == 4)
            return {6, 10};
        return {8, 8};
    }
    return {};
}

bool isFrame(const QString& relative)
{
    for (int k = 0; k < orvane::assets::FrameCount; ++k)
        if (relative == orvane::assets::frameFile(k))
            return true;
    return false;
}

// The frame is composed over the digits and under the element icon, so with the default places it
// must be pure black (the transparent colour) wherever one of them sits. Returns what it spoils,
// or nothing.
QString coveredPlace(const QImage& frame)
{
    const orvane::CardPlacement at;
    const QSize digit =
        orvane::assets::expectedSize(*orvane::assets::digitFile(QStringLiteral("1")));
    const QSize element = orvane::assets::expectedSize(orvane::assets::elementFile(0));
    const char* overDigit = "the frame is drawn over the digits and would hide it";
    const char* underIcon = "the frame would show through the icon's transparent pixels";
    const struct {
        const char* what;
        QRect rect;
        const char* why;
    } places[] = {{"the top digit", {QPoint(at.TopX, at.TopY), digit}, overDigit},
                  {"the left digit", {QPoint(at.LeftX, at.LeftY), digit}, overDigit},
                  {"the right digit", {QPoint(at.RightX, at.RightY), digit}, overDigit},
                  {"the bottom digit", {QPoint(at.BottomX, at.BottomY), digit}, overDigit},
                  {"the element icon", {QPoint(at.ElemX, at.ElemY), element}, underIcon}};
    const QImage rgb = frame.convertToFormat(QImage::Format_RGB32);
    for (const auto& place : places) {
        const QRect& r = place.rect;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if ((rgb.pixel(x, y) & 0xFFFFFFu) != 0)
                    return QStringLiteral("pixel %1,%2 is not pure black, but %3 sits there (%4 x "
                                          "%5 at %6,%7 with the default places): %8")
                        .arg(x)
                        .arg(y)
                        .arg(QLatin1String(place.what))
                        .arg(r.width())
                        .arg(r.height())
                        .arg(r.left())
                        .arg(r.top())
                        .arg(QLatin1String(place.why));
    }
    return {};
}

int fail(const QString& message)
{
    std::fprintf(stderr, "asset_builder: %s\n", qPrintable(message));
    return 1;
}

// One step of the classic 2 x pixel-art enlargement: each pixel becomes four, a corner taking
// its two neighbours' colour where they agree, so diagonals stay smooth and no new colour
// appears (pure black stays exactly where it was, so transparency is kept).
QImage scale2x(const QImage& in)
{
    const QImage src = in.convertToFormat(QImage::Format_RGB32);
    QImage out(src.width() * 2, src.height() * 2, QImage::Format_RGB32);
    const auto at = [&](int x, int y) {
        return src.pixel(std::clamp(x, 0, src.width() - 1), std::clamp(y, 0, src.height() - 1));
    };
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const QRgb p = at(x, y), a = at(x, y - 1), b = at(x + 1, y), c = at(x - 1, y),
                       d = at(x, y + 1);
            const bool plain = c == b || a == d;
            out.setPixel(2 * x, 2 * y, !plain && c == a ? a : p);
            out.setPixel(2 * x + 1, 2 * y, !plain && a == b ? b : p);
            out.setPixel(2 * x, 2 * y + 1, !plain && d == c ? c : p);
            out.setPixel(2 * x + 1, 2 * y + 1, !plain && b == d ? d : p);
        }
    return out;
}

// The high-contrast look: light pixels white, dark ones a near black that still shows, colours
// at full strength; frames and arrows one bright yellow; pure black stays transparent.
QImage highContrast(const QImage& in, bool outline)
{
    QImage out = in.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = out.pixel(x, y);
            if ((p & 0xFFFFFFu) == 0)
                continue;
            if (outline) {
                out.setPixel(x, y, qRgb(255, 214, 0));
                continue;
            }
            const int level = qGray(p);
            const int r = qRed(p) >= 128 ? 255 : 16, g = qGreen(p) >= 128 ? 255 : 16,
                      b = qBlue(p) >= 128 ? 255 : 16;
            const bool grey =
                std::abs(qRed(p) - qGreen(p)) < 40 && std::abs(qGreen(p) - qBlue(p)) < 40;
            out.setPixel(x, y,
                         grey ? (level >= 100 ? qRgb(255, 255, 255) : qRgb(16, 16, 16))
                              : qRgb(r, g, b));
        }
    return out;
}

bool writeBmp(const QString& target, const QImage& image)
{
    QDir().mkpath(QFileInfo(target).absolutePath());
    QSaveFile file(target);
    QImageWriter writer(&file, "bmp");
    return file.open(QIODevice::WriteOnly) &&
           writer.write(image.convertToFormat(QImage::Format_RGB888)) && file.commit();
}

bool writeText(const QString& target, const QByteArray& text)
{
    QSaveFile file(target);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
}

// The two packs shipped besides the built-in parts, made from the same drawings: "Table"
// (high contrast, readable across a table) and "Sharp 4x" (every part redrawn at 4 x).
int writePacks(const QString& sources, const QString& output)
{
    const QString table = output + QStringLiteral("/table");
    const QString sharp = output + QStringLiteral("/sharp4x");
    for (const QString& relative : orvane::assets::allFiles()) {
        const QString source = sources + QLatin1Char('/') + relative.left(relative.size() - 4) +
                               QStringLiteral(".xpm");
        const QImage image(source, "XPM");
        if (image.isNull())
            return fail(QStringLiteral("cannot read drawing %1").arg(source));
        const QString inPack = relative.mid(4);  // without "gfx/"
        const QString stem = inPack.left(inPack.size() - 4);
        const bool plainColour =
            isFrame(relative) || relative.startsWith(QLatin1String("gfx/arrows/"));
        if (!writeBmp(table + QLatin1Char('/') + inPack, highContrast(image, plainColour)) ||
            !writeBmp(sharp + QLatin1Char('/') + inPack, image) ||
            !writeBmp(sharp + QLatin1Char('/') + stem + QStringLiteral("@2x.bmp"),
                      scale2x(image)) ||
            !writeBmp(sharp + QLatin1Char('/') + stem + QStringLiteral("@4x.bmp"),
                      scale2x(scale2x(image))))
            return fail(QStringLiteral("cannot write the packs' %1").arg(inPack));
    }
    const bool manifests =
        writeText(table + QStringLiteral("/pack.json"),
                  "{\n  \"name\": \"Table\",\n  \"author\": \"Orvane\",\n  \"version\": \"1\",\n"
                  "  \"licence\": \"as Orvane\",\n  \"description\": \"Plain high-contrast "
                  "parts, readable across a table.\"\n}\n") &&
        writeText(sharp + QStringLiteral("/pack.json"),
                  "{\n  \"name\": \"Sharp 4x\",\n  \"author\": \"Orvane\",\n  \"version\": \"1\",\n"
                  "  \"licence\": \"as Orvane\",\n  \"description\": \"The built-in parts "
                  "redrawn at 2 x and 4 x with smooth diagonals.\"\n}\n");
    if (!manifests)
        return fail(QStringLiteral("cannot write the packs' pack.json in %1").arg(output));
    std::printf("asset_builder: wrote the packs Table and Sharp 4x to %s\n", qPrintable(output));
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc == 4 && QByteArray(argv[1]) == "--icon") {
        // The desktop icon: the built-in program icon as PNG.
        const QImage icon(QString::fromLocal8Bit(argv[2]), "XPM");
        if (icon.isNull() || !icon.save(QString::fromLocal8Bit(argv[3]), "PNG"))
            return fail(QStringLiteral("cannot write the desktop icon %1").arg(argv[3]));
        return 0;
    }
    if (argc == 4 && QByteArray(argv[1]) == "--packs")
        return writePacks(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (argc != 3)
        return fail(QStringLiteral("usage: asset_builder <assets folder> <output folder>"));
    const QString sources = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    int written = 0;
    for (const QString& relative : orvane::assets::allFiles()) {
        // "gfx/bitblts/Monster Frame.bmp" is drawn in "<assets>/gfx/bitblts/Monster Frame.xpm".
        const QString source = sources + QLatin1Char('/') + relative.left(relative.size() - 4) +
                               QStringLiteral(".xpm");
        if (!QFileInfo::exists(source))
            return fail(QStringLiteral("missing drawing %1").arg(source));
        const QImage image(source, "XPM");
        if (image.isNull())
            return fail(QStringLiteral("cannot read drawing %1").arg(source));
        const QSize size = drawnSize(relative);
        if (image.size() != size)
            return fail(QStringLiteral("%1 is %2 x %3 pixels; it must be %4 x %5")
                            .arg(source)
                            .arg(image.width())
                            .arg(image.height())
                            .arg(size.width())
                            .arg(size.height()));
        if (isFrame(relative)) {
            const QString covered = coveredPlace(image);
            if (!covered.isEmpty())
                return fail(QStringLiteral("%1: %2").arg(source, covered));
        }
        const QString target = output + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(target).absolutePath());
        QSaveFile file(target);
        QImageWriter writer(&file, "bmp");
        if (!file.open(QIODevice::WriteOnly) ||
            !writer.write(image.convertToFormat(QImage::Format_RGB888)) || !file.commit())
            return fail(QStringLiteral("cannot write %1").arg(target));
        ++written;
    }
    std::printf("asset_builder: wrote %d card parts to %s\n", written, qPrintable(output));
    return 0;
}
