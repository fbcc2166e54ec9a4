// SPDX-License-Identifier: GPL-3.0-or-later
// Saved-card quality: composes sample cards from the real card parts (photo-like main picture,
// every frame, outlined digits, element, arrows), saves them through ImageUtils, and prints the
// PSNR of each JPEG against its card and the file size, beside the size of TurboJPEG's coding of
// the same card with the same settings but its fixed Huffman tables (and whether the pixels match).
//   build-bench/bin/jpeg_quality
#include "files/card_save.h"
#include "files/imageutils_library.h"
#include "render/asset_catalogue.h"
#include "render/compositor.h"

#include "../tests/support/image_compare.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

#include <turbojpeg.h>

namespace {

QImage part(const QString& relative)
{
    return QImage(QCoreApplication::applicationDirPath() + QLatin1Char('/') + relative)
        .convertToFormat(QImage::Format_RGB32);
}

// A smooth, photo-like picture with a pure black background corner.
QImage photo(int seed)
{
    QImage image(62, 62, QImage::Format_RGB32);
    for (int y = 0; y < 62; ++y)
        for (int x = 0; x < 62; ++x) {
            const double r = std::hypot(x - 31.0, y - 36.0);
            const int shade = int(120 + 100 * std::cos(r / (5.0 + seed)));
            image.setPixel(
                x, y,
                r > 26 ? qRgb(0, 0, 0)
                       : qRgb(shade, (shade * 3 + x * seed) % 256, (200 - shade / 2 + y) % 256));
        }
    return image;
}

// TurboJPEG's own file for the card: 4:4:4, quality 98, accurate DCT, default Huffman tables.
QByteArray fixedTablesJpeg(const QImage& card)
{
    const QImage rgb = card.convertToFormat(QImage::Format_RGB888);
    tjhandle encoder = tjInitCompress();
    unsigned char* data = nullptr;
    unsigned long size = 0;
    tjCompress2(encoder, rgb.constBits(), rgb.width(), int(rgb.bytesPerLine()), rgb.height(),
                TJPF_RGB, &data, &size, TJSAMP_444, 98, TJFLAG_ACCURATEDCT);
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    tjFree(data);
    tjDestroy(encoder);
    return bytes;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    orvane::ImageUtilsLibrary converter(orvane::ImageUtilsLibrary::defaultPath());
    const QImage blueBase(QStringLiteral(SOURCE_DIR "/assets/builtin/bluebase.xpm"));
    const QImage redBase(QStringLiteral(SOURCE_DIR "/assets/builtin/redbase.xpm"));
    double worst = 1e9;
    qint64 total = 0, totalFixed = 0;
    for (int k = 0; k < 4; ++k) {
        orvane::CardPictures pictures;
        pictures.mainPicture = photo(k + 1);
        pictures.digits = {part(QStringLiteral("gfx/bitblts/%1.bmp").arg(k + 1)),
                           part(QStringLiteral("gfx/bitblts/A.bmp")),
                           part(QStringLiteral("gfx/bitblts/%1.bmp").arg(9 - k)),
                           part(QStringLiteral("gfx/bitblts/%1.bmp").arg(k + 5))};
        pictures.frame = part(orvane::assets::frameFile(k));
        pictures.element = part(orvane::assets::elementFile(k * 2));
        for (int i = 0; i < 8; ++i)
            pictures.arrows[size_t(i)] =
                part((i + k) % 3 ? orvane::assets::noElementFile() : orvane::assets::arrowFile(i));
        const orvane::CardLayers layers = pictures.layers();
        for (const QImage* base : {&blueBase, &redBase}) {
            QImage card = base->convertToFormat(QImage::Format_RGB32);
            orvane::composeCard(card, card.copy(), layers, {}, 0, 0);
            const QString jpeg = dir.filePath(QStringLiteral("card%1.jpg").arg(k));
            QString error;
            if (!orvane::writeBitmap(card, orvane::bitmapPathFor(jpeg), &error) ||
                !converter.ConvertBMPtoJPG(orvane::bitmapPathFor(jpeg), jpeg, &error)) {
                std::fprintf(stderr, "save failed: %s\n", qPrintable(error));
                return 1;
            }
            const QImage saved(jpeg);
            const double quality = psnr(card, saved.convertToFormat(QImage::Format_RGB32));
            worst = std::min(worst, quality);
            const QByteArray fixed = fixedTablesJpeg(card);
            const qint64 bytes = QFileInfo(jpeg).size();
            total += bytes;
            totalFixed += fixed.size();
            std::printf("frame %d %s card: PSNR %.1f dB, %lld bytes (fixed tables: %lld bytes, "
                        "%s pixels)\n",
                        k, base == &blueBase ? "blue" : "red", quality, bytes, qint64(fixed.size()),
                        QImage::fromData(fixed, "JPEG") == saved ? "same" : "DIFFERENT");
        }
    }
    std::printf("worst PSNR %.1f dB; %lld bytes in all (fixed tables: %lld bytes, %.1f %% more)\n",
                worst, total, totalFixed, 100.0 * double(totalFixed - total) / double(total));
    return 0;
}
