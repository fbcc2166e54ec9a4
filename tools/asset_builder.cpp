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

#include <cstdio>

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
