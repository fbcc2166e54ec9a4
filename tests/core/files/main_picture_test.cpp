// SPDX-License-Identifier: GPL-3.0-or-later
// The main picture loader against hostile files: each ends in a picture or a clear refusal,
// quickly, and a refused or damaged file never shows memory it did not read.
#include "files/main_picture.h"
#include "files/picture_layout.h"
#include "support/gif_writer.h"
#include "support/images.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <png.h>

#include <functional>
#include <vector>

#include <malloc.h>
#include <sys/stat.h>

using namespace orvane;

namespace {

QByteArray encoded(const QImage& image, const char* format, bool progressive = false)
{
    if (QByteArray(format) == "GIF")
        return gifOf(image);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(image)) << format;
    return bytes;
}

// A BMP header (24 bits, no compression) with `pixels` bytes after it.
QByteArray bmp(qint32 width, qint32 height, qsizetype pixels, quint32 offset = 54)
{
    QByteArray bytes(54, '\0');
    const auto put = [&](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    bytes[0] = 'B', bytes[1] = 'M';
    put(10, offset);
    put(14, 40);
    put(18, quint32(width));
    put(22, quint32(height));
    bytes[26] = 1;
    bytes[28] = 24;
    return bytes + QByteArray(pixels, '\x40');
}

// A 60 x 40 run-length coded BMP (8 or 4 bits a pixel, a grey palette) with the codes given.
QByteArray runLengthBmp(int bits, const QByteArray& codes)
{
    const int colours = 1 << bits;
    QByteArray bytes = bmp(60, 40, 0, quint32(54 + colours * 4));
    bytes[28] = char(bits);
    bytes[30] = char(bits == 8 ? 1 : 2);
    for (int i = 0; i < colours; ++i)
        bytes += QByteArray(3, char(i * 255 / (colours - 1))) + QByteArray(1, '\0');
    return bytes + codes;
}

// A 23 x 17 PNG written by libpng in a form Qt's writer never makes: the colour type, bit depth
// and interlacing given, each sample `sample(x, y, channel)` (at most 2^depth - 1). A palette
// is made of 2^depth colours, its first two transparent and half transparent; a transparent
// colour is the colour of every sample 1.
QByteArray pngOf(int colourType, int depth, bool interlaced,
                 const std::function<int(int, int, int)>& sample, bool transparentColour = false)
{
    QByteArray out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, size_t n) {
            static_cast<QByteArray*>(png_get_io_ptr(p))
                ->append(reinterpret_cast<const char*>(data), qsizetype(n));
        },
        nullptr);
    const int width = 23, height = 17;
    png_set_IHDR(png, info, width, height, depth, colourType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; i < (1 << depth); ++i)
            palette.push_back({png_byte(i * 37), png_byte(255 - i * 11), png_byte(i * 5)});
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
        png_byte alpha[] = {0, 128};
        png_set_tRNS(png, info, alpha, 2, nullptr);
    }
    if (transparentColour) {
        png_color_16 key{};
        key.red = key.green = key.blue = key.gray = 1;
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_write_info(png, info);
    const int channels = png_get_channels(png, info);
    std::vector<std::vector<png_byte>> rows(size_t(height),
                                           std::vector<png_byte>(png_get_rowbytes(png, info)));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c) {
                const int bit = (x * channels + c) * depth;  // samples packed from the high bit
                rows[size_t(y)][size_t(bit / 8)] |=
                    png_byte(sample(x, y, c) << (8 - depth - bit % 8));
            }
    std::vector<png_bytep> pointers;
    for (auto& row : rows)
        pointers.push_back(row.data());
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// A progressive JPEG whose last scan is repeated until it has `scans` scans.
QByteArray manyScans(const QImage& image, int scans)
{
    const QByteArray jpeg = encoded(image, "JPEG", true);
    const qsizetype last = jpeg.lastIndexOf("\xFF\xDA");
    const qsizetype end = jpeg.size() - 2;  // the end-of-image marker
    const QByteArray scan = jpeg.mid(last, end - last);
    const int had = int(jpeg.count("\xFF\xDA"));
    return jpeg.left(end) + scan.repeated(scans - had) + jpeg.right(2);
}

QByteArray withHeaderSize(QByteArray bytes, const char* format, int width, int height)
{
    const auto be16 = [&](qsizetype at, int v) {
        bytes[at] = char(v >> 8), bytes[at + 1] = char(v & 0xFF);
    };
    if (QByteArray(format) == "PNG") {
        bytes[16] = bytes[17] = bytes[20] = bytes[21] = 0;
        be16(18, width), be16(22, height);
    } else if (QByteArray(format) == "GIF") {
        bytes[6] = char(width & 0xFF), bytes[7] = char(width >> 8);
        bytes[8] = char(height & 0xFF), bytes[9] = char(height >> 8);
    } else {  // JPEG: the frame header
        const qsizetype frame = bytes.indexOf("\xFF\xC0");
        be16(frame + 5, height), be16(frame + 7, width);
    }
    return bytes;
}

class MainPictureLoad : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
};

struct Refusal {
    QString name;
    QString path;
    const char* says;
};

TEST_F(MainPictureLoad, HostileFilesAreRefusedQuicklyWithTheirReason)
{
    const QImage picture = gradient(200, 150);
    const QByteArray jpeg = encoded(picture, "JPEG");
    const QByteArray png = encoded(picture, "PNG");
    const QByteArray gif = encoded(gradient(60, 40), "GIF");
    const QByteArray wholeBmp = encoded(picture, "BMP");
    const QString fifo = dir.filePath(QStringLiteral("fifo.jpg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    const QString notRegular = QStringLiteral("not a regular file");
    const QString incomplete = QStringLiteral("the file is incomplete");
    const QString tooLarge = QStringLiteral("too large");
    const Refusal cases[] = {
        {"pipe", fifo, "not a regular file"},
        {"device", "/dev/zero", "not a regular file"},
        {"system file", "/proc/version", "not a regular file"},
        {"process memory", "/proc/self/mem", "not a regular file"},
        {"folder", dir.path(), "not a regular file"},
        {"absent", dir.filePath("absent.bmp"), "does not exist"},
        {"empty", write("empty.bmp", {}), "the file is empty"},
        {"text", write("notes.jpg", "not a picture at all"), "not a picture"},
        {"BMP with half its pixels", write("half.bmp", wholeBmp.left(wholeBmp.size() / 2)),
         "the file is incomplete"},
        {"BMP pixels past the end", write("offset.bmp", bmp(10, 10, 400, 100000)),
         "the file is incomplete"},
        {"16384 x 1525 BMP of 64 bytes", write("wide.bmp", bmp(16384, 1525, 64)),
         "the file is incomplete"},
        {"GIF cut half-way", write("half.gif", gif.left(gif.size() / 2)), "the file is incomplete"},
        {"JPEG cut short", write("short.jpg", jpeg.left(jpeg.size() * 2 / 3)),
         "the file is incomplete"},
        {"JPEG cut in its header", write("header.jpg", jpeg.left(300)), "the file is incomplete"},
        {"PNG cut short", write("short.png", png.left(png.size() / 2)), "the file is incomplete"},
        {"60000 x 60000 BMP", write("huge.bmp", bmp(60000, 60000, 64)), "too large"},
        {"60000 x 60000 PNG", write("huge.png", withHeaderSize(png, "PNG", 60000, 60000)),
         "too large"},
        {"60000 x 60000 JPEG", write("huge.jpg", withHeaderSize(jpeg, "JPEG", 60000, 60000)),
         "too large"},
        {"60000 x 60000 GIF", write("huge.gif", withHeaderSize(gif, "GIF", 60000, 60000)),
         "too large"},
        {"6000 x 4200 BMP", write("many.bmp", bmp(6000, 4200, 64)), "too large"},
        {"progressive JPEG of 20000 scans",
         write("scans.jpg", manyScans(gradient(255, 255).scaled(2000, 2000), 20000)),
         "too many scans"},
    };
    for (const Refusal& c : cases) {
        QElapsedTimer clock;
        clock.start();
        const LoadedPicture loaded = loadMainPicture(c.path);
        EXPECT_LT(clock.elapsed(), 1000) << c.name.toStdString();
        EXPECT_TRUE(loaded.image.isNull()) << c.name.toStdString();
        EXPECT_TRUE(loaded.error.contains(QLatin1String(c.says)))
            << c.name.toStdString() << ": " << loaded.error.toStdString();
    }
}

TEST_F(MainPictureLoad, APictureFollowedByGigabytesOfZerosLoadsWithoutReadingThem)
{
    const QImage picture = gradient(120, 90);
    for (const char* format : {"JPEG", "PNG", "BMP", "GIF"}) {
        const QString path = write(QStringLiteral("tail"), encoded(picture, format));
        QFile file(path);
        ASSERT_TRUE(file.resize(4LL << 30));  // sparse: no disk space is used
        QElapsedTimer clock;
        clock.start();
        const LoadedPicture loaded = loadMainPicture(path);
        EXPECT_LT(clock.elapsed(), 1000) << format;
        ASSERT_FALSE(loaded.image.isNull()) << format << ": " << loaded.error.toStdString();
        EXPECT_EQ(loaded.image.size(), QSize(120, 90));
    }
}

TEST_F(MainPictureLoad, ProgressiveJpegsOfUsualScansLoad)
{
    const QImage picture = gradient(200, 150);
    for (const int scans : {0, MaxJpegScans}) {
        const QByteArray jpeg = scans ? manyScans(picture, scans) : encoded(picture, "JPEG", true);
        const LoadedPicture loaded = loadMainPicture(write(QStringLiteral("p.jpg"), jpeg));
        ASSERT_FALSE(loaded.image.isNull()) << scans << ": " << loaded.error.toStdString();
        EXPECT_EQ(loaded.image.size(), QSize(200, 150));
    }
}

// Freshly allocated memory is filled with a different byte for each load: a picture showing
// memory it did not read from the file would differ between the loads.
TEST_F(MainPictureLoad, AcceptedPicturesShowOnlyWhatTheFileHolds)
{
    const QImage picture = gradient(60, 40);
    const std::pair<const char*, QByteArray> cases[] = {
        {"bmp", encoded(picture, "BMP")},
        {"gif", encoded(picture, "GIF")},
        {"png", encoded(picture, "PNG")},
        {"jpeg", encoded(picture, "JPEG")},
        // One run, then the end of the picture: 39 rows never coded.
        {"run-length bmp, 8 bits", runLengthBmp(8, QByteArray("\x3C\x07\x00\x01", 4))},
        {"run-length bmp, 4 bits", runLengthBmp(4, QByteArray("\x3C\x12\x00\x01", 4))},
        // A run, a jump of 20 pixels right and 20 rows up, a run, the end.
        {"run-length bmp, a jump",
         runLengthBmp(8, QByteArray("\x0A\x07\x00\x02\x14\x14\x05\x09\x00\x01", 10))},
    };
    for (const auto& [name, bytes] : cases) {
        const QString path = write(QStringLiteral("p"), bytes);
        QImage first;
        for (const int fill : {0x11, 0xEE}) {
            mallopt(M_PERTURB, fill);
            const LoadedPicture loaded = loadMainPicture(path);
            mallopt(M_PERTURB, 0);
            ASSERT_FALSE(loaded.image.isNull()) << name << ": " << loaded.error.toStdString();
            if (first.isNull())
                first = loaded.image;
            else
                EXPECT_EQ(loaded.image, first) << name;
        }
    }
}

TEST_F(MainPictureLoad, SixteenBitPngOfTheLargestSizeLoads)
{
    QImage picture(5000, 5000, QImage::Format_RGBX64);
    picture.fill(QColor::fromRgba64(0x1234, 0x8000, 0xFFFF));
    const QString path = dir.filePath(QStringLiteral("deep.png"));
    ASSERT_TRUE(picture.save(path, "PNG"));
    picture = QImage();
    const LoadedPicture loaded = loadMainPicture(path);
    ASSERT_FALSE(loaded.image.isNull()) << loaded.error.toStdString();
    EXPECT_EQ(loaded.image.size(), QSize(5000, 5000));
    EXPECT_EQ(loaded.image.format(), QImage::Format_RGB32);
    EXPECT_EQ(rgb(loaded.image, 4999, 4999), 0x1280FFu);
}

// 16-bit PNGs, scaled to 8 bits as they are read, show what Qt's reader shows: the same pixels
// where the picture is opaque, within one step of each channel where it is translucent (Qt
// puts a translucent pixel over black before rounding to 8 bits, the reader after).
TEST_F(MainPictureLoad, SixteenBitPngsShowWhatQtsReaderShows)
{
    const auto deep = [](QImage::Format format) {
        QImage image(97, 61, format);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixelColor(
                    x, y,
                    QColor::fromRgba64(
                        quint16(x * 677 + y), quint16(y * 1071), quint16((x * y * 37) & 0xFFFF),
                        quint16(format == QImage::Format_RGBA64 ? 65535 - x * 600 : 65535)));
        return image;
    };
    const struct {
        const char* name;
        QImage image;
        int tolerance;
    } cases[] = {
        {"RGB", deep(QImage::Format_RGBX64), 0},
        {"grey", deep(QImage::Format_RGBX64).convertToFormat(QImage::Format_Grayscale16), 0},
        {"RGBA", deep(QImage::Format_RGBA64), 1},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QStringLiteral("deep.png"));
        ASSERT_TRUE(c.image.save(path, "PNG")) << c.name;
        const QImage expected = QImage(path).convertToFormat(QImage::Format_RGB32);
        const LoadedPicture loaded = loadMainPicture(path);
        ASSERT_FALSE(loaded.image.isNull()) << c.name << ": " << loaded.error.toStdString();
        ASSERT_EQ(loaded.image.size(), expected.size()) << c.name;
        int worst = 0;
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x) {
                const QRgb a = loaded.image.pixel(x, y), b = expected.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)),
                                  std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
            }
        EXPECT_LE(worst, c.tolerance) << c.name;
    }
    // Cut in its data: refused, as an 8-bit one is.
    QFile whole(dir.filePath(QStringLiteral("deep.png")));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    const LoadedPicture cut =
        loadMainPicture(write(QStringLiteral("cut.png"), bytes.left(bytes.size() / 2)));
    EXPECT_TRUE(cut.image.isNull());
    EXPECT_FALSE(cut.error.isEmpty());
}

// Every PNG, whatever its colour type, depth and interlacing, shows the pixels Qt's reader
// shows: libpng decodes them all, and a translucent pixel keeps its colour as it did.
TEST_F(MainPictureLoad, PngsOfEveryFormShowWhatQtsReaderShows)
{
    QImage translucent = gradient(31, 19).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < translucent.height(); ++y)
        for (int x = 0; x < translucent.width(); ++x)
            translucent.setPixel(x, y, (translucent.pixel(x, y) & 0xFFFFFFu) | quint32(x * 8) << 24);
    QImage indexed = gradient(31, 19).convertToFormat(QImage::Format_Indexed8);
    QList<QRgb> table = indexed.colorTable();
    table[0] = qRgba(10, 20, 30, 0);
    table[1] = qRgba(200, 100, 50, 90);
    indexed.setColorTable(table);
    const auto wave = [](int bits) {
        return [bits](int x, int y, int c) { return (x * 3 + y * 5 + c * 7) % (1 << bits); };
    };
    const struct {
        const char* name;
        QByteArray png;
    } cases[] = {
        {"RGB", encoded(gradient(31, 19), "PNG")},
        {"RGBA, translucent", encoded(translucent, "PNG")},
        {"grey", encoded(gradient(31, 19).convertToFormat(QImage::Format_Grayscale8), "PNG")},
        {"palette with alpha", encoded(indexed, "PNG")},
        {"one bit", encoded(gradient(31, 19).convertToFormat(QImage::Format_Mono), "PNG")},
        {"grey and alpha", pngOf(PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, wave(8))},
        {"RGB, interlaced", pngOf(PNG_COLOR_TYPE_RGB, 8, true, wave(8))},
        {"RGB with a transparent colour", pngOf(PNG_COLOR_TYPE_RGB, 8, false, wave(2), true)},
        {"palette of 2 bits", pngOf(PNG_COLOR_TYPE_PALETTE, 2, false, wave(2))},
        {"grey of 4 bits", pngOf(PNG_COLOR_TYPE_GRAY, 4, false, wave(4))},
        {"grey of 1 bit, interlaced", pngOf(PNG_COLOR_TYPE_GRAY, 1, true, wave(1))},
        {"grey of 2 bits, a transparent grey", pngOf(PNG_COLOR_TYPE_GRAY, 2, false, wave(2), true)},
        {"grey of 4 bits, a transparent grey", pngOf(PNG_COLOR_TYPE_GRAY, 4, true, wave(4), true)},
        {"grey of 1 bit, white transparent", pngOf(PNG_COLOR_TYPE_GRAY, 1, false, wave(1), true)},
        {"grey of 8 bits, a transparent grey", pngOf(PNG_COLOR_TYPE_GRAY, 8, false, wave(8), true)},
        {"palette of 8 bits, interlaced", pngOf(PNG_COLOR_TYPE_PALETTE, 8, true, wave(8))},
    };
    for (const auto& c : cases) {
        QByteArray bytes = c.png;
        QBuffer buffer(&bytes);
        QImage expected;
        ASSERT_TRUE(QImageReader(&buffer, "png").read(&expected)) << c.name;
        expected = expected.convertToFormat(QImage::Format_RGB32);
        const LoadedPicture loaded = loadMainPicture(write(QStringLiteral("any.png"), c.png));
        ASSERT_FALSE(loaded.image.isNull()) << c.name << ": " << loaded.error.toStdString();
        EXPECT_EQ(loaded.image.format(), QImage::Format_RGB32) << c.name;
        ASSERT_EQ(loaded.image.size(), expected.size()) << c.name;
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x)
                ASSERT_EQ(loaded.image.pixel(x, y), expected.pixel(x, y))
                    << c.name << " at " << x << ", " << y;
    }
}

}  // namespace
