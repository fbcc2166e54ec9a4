// Build step: turns the XPM drawings under assets/gfx into the BMP card parts the tool reads
// from gfx/ beside the executable. Fails loudly when a drawing is missing, unreadable or of the
// wrong size, so a broken asset never reaches a build.
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
