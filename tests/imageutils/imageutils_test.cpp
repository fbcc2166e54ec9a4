// SPDX-License-Identifier: GPL-3.0-or-later
#include "bmp_header.h"
#include "imageutils.h"
#include "support/image_compare.h"
#include "support/images.h"

#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <turbojpeg.h>

namespace {

using Convert = int (*)(const char*, const char*, int, int, int);

class ImageUtilsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        library.setFileName(QStringLiteral(IMAGEUTILS_PATH));
        ASSERT_TRUE(library.load()) << library.errorString().toStdString();
        convert = reinterpret_cast<Convert>(library.resolve("ConvertBMPtoJPG"));
        ASSERT_NE(convert, nullptr);
    }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    int run(const QString& bmp, const QString& jpg, int quality = -1)
    {
        return convert(QFile::encodeName(bmp).constData(), QFile::encodeName(jpg).constData(),
                       quality, 0, 0);
    }
    QByteArray read(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QLibrary library;
    Convert convert = nullptr;
    QTemporaryDir dir;
};

// A card-like picture: smooth photo-like area, saturated border, hard-edged small glyphs.
QImage sampleCard()
{
    QImage card(62, 62, QImage::Format_RGB32);
    for (int y = 0; y < 62; ++y)
        for (int x = 0; x < 62; ++x) {
            int r = 60 + x * 2, g = 90 + int(40 * std::sin(y / 6.0)), b = 150 + y;
            if (x < 3 || y < 3 || x > 58 || y > 58)
                r = 240, g = 190, b = 40;
            if (x >= 8 && x < 13 && y >= 4 && y < 11)
                r = g = b = ((x + y) % 3) ? 250 : 20;
            card.setPixel(x, y, qRgb(r, g, b));
        }
    return card;
}

TEST_F(ImageUtilsTest, ConvertsACardFaithfullyAt444)
{
    const QImage card = sampleCard();
    ASSERT_TRUE(card.save(path("card.bmp"), "BMP"));
    ASSERT_EQ(run(path("card.bmp"), path("card.jpg")), ImageUtilsOk);
    const QByteArray jpeg = read(path("card.jpg"));
    ASSERT_FALSE(jpeg.isEmpty());
    EXPECT_LE(jpeg.size(), 10 * 1024);

    tjhandle decoder = tjInitDecompress();
    int width = 0, height = 0, subsampling = -1, colourspace = -1;
    ASSERT_EQ(tjDecompressHeader3(decoder, reinterpret_cast<const unsigned char*>(jpeg.constData()),
                                  static_cast<unsigned long>(jpeg.size()), &width, &height,
                                  &subsampling, &colourspace),
              0);
    tjDestroy(decoder);
    EXPECT_EQ(width, 62);
    EXPECT_EQ(height, 62);
    EXPECT_EQ(subsampling, TJSAMP_444);  // every component sampled 1 x 1

    const QImage back = QImage::fromData(jpeg, "JPEG").convertToFormat(QImage::Format_RGB32);
    EXPECT_GE(psnr(card, back), 40.0);
    EXPECT_FALSE(QFile::exists(path("card.jpg.partial")));
}

// The converter's file against TurboJPEG's default coding of the same bitmap (4:4:4, quality 98,
// accurate DCT, fixed Huffman tables): the decoded pixels are identical, the file is smaller.
TEST_F(ImageUtilsTest, OptimisedTablesKeepEveryPixelInASmallerFile)
{
    const QImage photo = gradient(123, 77);
    for (const QImage& card : {sampleCard(), photo}) {
        ASSERT_TRUE(card.save(path("card.bmp"), "BMP"));
        ASSERT_EQ(run(path("card.bmp"), path("card.jpg")), ImageUtilsOk);
        const QByteArray ours = read(path("card.jpg"));

        const QImage rgb = card.convertToFormat(QImage::Format_RGB888);
        tjhandle encoder = tjInitCompress();
        unsigned char* reference = nullptr;
        unsigned long referenceSize = 0;
        ASSERT_EQ(tjCompress2(encoder, rgb.constBits(), rgb.width(), int(rgb.bytesPerLine()),
                              rgb.height(), TJPF_RGB, &reference, &referenceSize, TJSAMP_444, 98,
                              TJFLAG_ACCURATEDCT),
                  0);
        const QByteArray fixed(reinterpret_cast<const char*>(reference), qsizetype(referenceSize));
        tjFree(reference);
        tjDestroy(encoder);

        EXPECT_LT(ours.size(), fixed.size());
        const QImage a = QImage::fromData(ours, "JPEG");
        const QImage b = QImage::fromData(fixed, "JPEG");
        ASSERT_FALSE(a.isNull());
        EXPECT_EQ(a, b);
    }
}

TEST_F(ImageUtilsTest, ReadsTopDownAndPalettedBitmaps)
{
    QImage indexed(5, 3, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});
    indexed.fill(1);
    ASSERT_TRUE(indexed.save(path("p.bmp"), "BMP"));
    EXPECT_EQ(run(path("p.bmp"), path("p.jpg")), ImageUtilsOk);

    imageutils::Bitmap bitmap;
    const QByteArray bytes = read(path("p.bmp"));
    ASSERT_EQ(imageutils::decodeBmp(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                    size_t(bytes.size()), 100, bitmap),
              ImageUtilsOk);
    EXPECT_EQ(bitmap.width, 5);
    EXPECT_EQ(bitmap.rgb[2], 255);  // blue
}

TEST_F(ImageUtilsTest, RefusesBadInputAndKeepsAnExistingJpeg)
{
    QFile old(path("old.jpg"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("previous");
    old.close();
    const auto file = [&](const char* name, const QByteArray& bytes) {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path(name);
    };
    QByteArray huge("BM");
    huge += QByteArray(8, '\0') + QByteArray("\x36\0\0\0", 4) + QByteArray("\x28\0\0\0", 4);
    huge += QByteArray("\x60\xEA\0\0", 4) + QByteArray("\x60\xEA\0\0", 4);  // 60000 x 60000
    huge += QByteArray("\x01\0\x18\0", 4) + QByteArray(24, '\0');
    const QByteArray good = [&] {
        sampleCard().save(path("good.bmp"), "BMP");
        return read(path("good.bmp"));
    }();
    const std::pair<QString, int> cases[] = {
        {path("absent.bmp"), ImageUtilsCannotReadBitmap},
        {file("text.bmp", "hello, this is not a bitmap at all, sorry"), ImageUtilsNotABitmap},
        {file("huge.bmp", huge), ImageUtilsBitmapTooLarge},
        {file("short.bmp", good.left(good.size() / 2)), ImageUtilsNotABitmap},
    };
    for (const auto& [bmp, code] : cases) {
        EXPECT_EQ(run(bmp, path("old.jpg")), code) << bmp.toStdString();
        EXPECT_EQ(read(path("old.jpg")), QByteArray("previous"));
    }
    EXPECT_EQ(run(path("good.bmp"), path("old.jpg"), 0), ImageUtilsBadArgument);
    EXPECT_EQ(convert(nullptr, "x.jpg", -1, 0, 0), ImageUtilsBadArgument);
    EXPECT_EQ(run(path("good.bmp"), path("no/folder/x.jpg")), ImageUtilsCannotWriteJpeg);
}

}  // namespace
