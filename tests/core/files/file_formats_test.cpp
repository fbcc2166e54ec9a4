// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/card_record.h"
#include "files/card_save.h"
#include "files/imageutils_library.h"
#include "files/main_picture.h"
#include "support/gif_writer.h"
#include "support/images.h"
#include "system/file_write.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace orvane;

namespace {

TEST(CardSavePaths, JpegAndBitmapPaths)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"/home/u/hero.jpg", "/home/u/hero.jpg", "/home/u/hero.bmp"},
        {"/home/u/hero.JPG", "/home/u/hero.JPG", "/home/u/hero.bmp"},
        {"/home/u/hero.jpeg", "/home/u/hero.jpeg", "/home/u/hero.bmp"},
        {"/home/u/hero", "/home/u/hero.jpg", "/home/u/hero.bmp"},
        {"/home/u/x.jpg/hero.jpg", "/home/u/x.jpg/hero.jpg", "/home/u/x.jpg/hero.bmp"},
        {"/home/u/x.jpg/hero", "/home/u/x.jpg/hero.jpg", "/home/u/x.jpg/hero.bmp"},
        {"/home/u/hero.png", "/home/u/hero.png.jpg", "/home/u/hero.png.bmp"},
        {"/home/u/my card.jpg", "/home/u/my card.jpg", "/home/u/my card.bmp"},
    };
    for (const auto& [chosen, jpeg, bitmap] : cases) {
        EXPECT_EQ(jpegPathFor(QString::fromUtf8(chosen)), QString::fromUtf8(jpeg)) << chosen;
        EXPECT_EQ(bitmapPathFor(QString::fromUtf8(jpeg)), QString::fromUtf8(bitmap)) << chosen;
    }
}

TEST(CardSave, BitmapHoldsTheCardExactly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("card.bmp"));
    const QImage card = gradient(62, 62);
    QString error;
    ASSERT_TRUE(writeBitmap(card, path, &error)) << error.toStdString();
    const QImage back(path);
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), card);
}

TEST(CardSave, FailedWriteKeepsTheOldFile)
{
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(
        writeBitmap(gradient(4, 4), dir.filePath(QStringLiteral("no/such/folder/c.bmp")), &error));
    EXPECT_FALSE(error.isEmpty());
    // A folder in the way of the target: the write fails, nothing is destroyed.
    const QString blocked = dir.filePath(QStringLiteral("blocked.bmp"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("blocked.bmp")));
    EXPECT_FALSE(writeBitmap(gradient(4, 4), blocked, &error));
    EXPECT_TRUE(QFileInfo(blocked).isDir());
}

class MainPictureTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString write(const char* name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(QLatin1String(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QByteArray encoded(const QImage& image, const char* format)
    {
        if (QByteArray(format) == "GIF")
            return gifOf(image);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(image.save(&buffer, format));
        return bytes;
    }
    static QByteArray bmpHeader(qint32 width, qint32 height, int bits = 24)
    {
        QByteArray bmp("BM");
        bmp += QByteArray(12, '\0');
        QByteArray info(40, '\0');
        const auto put = [&](int at, quint32 v) {
            for (int i = 0; i < 4; ++i)
                info[at + i] = char((v >> (8 * i)) & 0xFF);
        };
        put(0, 40);
        put(4, quint32(width));
        put(8, quint32(height));
        info[12] = 1;
        info[14] = char(bits);
        bmp += info;
        bmp[10] = 54;
        return bmp + QByteArray(64, '\x40');
    }
};

TEST_F(MainPictureTest, ReadsBmpGifJpegAndPng)
{
    const QImage picture = gradient(100, 80).scaled(100, 80);
    for (const char* format : {"BMP", "GIF", "JPEG", "PNG"}) {
        const QString path = write("picture", encoded(picture, format));
        const LoadedPicture loaded = loadMainPicture(path);
        ASSERT_FALSE(loaded.image.isNull()) << format << ": " << loaded.error.toStdString();
        EXPECT_EQ(loaded.image.size(), QSize(100, 80));
        EXPECT_EQ(loaded.image.format(), QImage::Format_RGB32);
    }
}

TEST_F(MainPictureTest, JpegWithDataAfterItsEndLoads)
{
    // Some cameras append their own data after the end-of-image marker.
    const QByteArray jpeg = encoded(gradient(30, 20), "JPEG") + QByteArray(3000, '\x55');
    const LoadedPicture loaded = loadMainPicture(write("trailer.jpg", jpeg));
    ASSERT_FALSE(loaded.image.isNull()) << loaded.error.toStdString();
    EXPECT_EQ(loaded.image.size(), QSize(30, 20));
}

TEST_F(MainPictureTest, RefusesBrokenAndHostileFiles)
{
    const QByteArray jpeg = encoded(gradient(64, 64), "JPEG");
    QByteArray gif = encoded(gradient(8, 8), "GIF");
    gif[10] = char(0x80);  // claims a global palette ...
    gif.truncate(16);      // ... that is not there
    const std::pair<const char*, QByteArray> cases[] = {
        {"text.txt", QByteArray("just some words\n")},
        {"empty.bmp", QByteArray()},
        {"truncated.jpg", jpeg.left(jpeg.size() / 2)},
        {"truncated-early.jpg", jpeg.left(700)},
        {"huge.bmp", bmpHeader(60000, 60000)},
        {"wide.bmp", bmpHeader(20000, 1)},
        {"many.bmp", bmpHeader(6000, 4200)},  // 25.2 megapixels
        {"negative.bmp", bmpHeader(-5, 10)},
        {"zero.bmp", bmpHeader(0, 10)},
        {"badpalette.gif", gif},
    };
    for (const auto& [name, bytes] : cases) {
        const LoadedPicture loaded = loadMainPicture(write(name, bytes));
        EXPECT_TRUE(loaded.image.isNull()) << name;
        EXPECT_FALSE(loaded.error.isEmpty()) << name;
        if (!loaded.image.isNull())
            ADD_FAILURE() << name << " loaded as " << loaded.image.width() << "x"
                          << loaded.image.height();
    }
    EXPECT_FALSE(loadMainPicture(dir.filePath(QStringLiteral("absent.bmp"))).error.isEmpty());
}

TEST(CardRecord, TenLinesWithCrLf)
{
    CardRecordInput input;
    input.name = QStringLiteral("Sample");
    input.sides = {QStringLiteral("A"), QStringLiteral("5"), QStringLiteral("3"),
                   QStringLiteral("7")};
    input.total = 25;
    input.element = 6;
    input.date = QStringLiteral("12/7/2026");
    EXPECT_EQ(cardRecord(input), QByteArray("[Sample]\r\nID=\r\nLevel=9\r\nLeft=5\r\nUp=10\r\n"
                                            "Right=3\r\nDown=7\r\nElement=thunder\r\n"
                                            "Date=12/7/2026\r\nAvailable=Yes\r\n"));
    input.name = QStringLiteral("[My] Card ");
    input.sides = {QStringLiteral("a"), QString(), QStringLiteral("10"), QStringLiteral("A")};
    const QByteArray record = cardRecord(input);
    EXPECT_TRUE(record.startsWith("[[My] Card ]\r\n"));
    EXPECT_TRUE(record.contains("\r\nLeft=\r\nUp=a\r\nRight=10\r\nDown=10\r\n"));
}

TEST(CardRecord, WriteWholeFile)
{
    QTemporaryDir dir;
    QString error;
    const QString path = dir.filePath(QStringLiteral("card.txt"));
    ASSERT_TRUE(writeFileAtomically(path, "abc\r\n", &error));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("abc\r\n"));
    EXPECT_FALSE(writeFileAtomically(dir.filePath(QStringLiteral("none/card.txt")), "x", &error));
}

}  // namespace

namespace {

TEST(ImageUtilsLibrary, MissingLibraryOrFunctionIsAReasonNotACrash)
{
    QString error;
    orvane::ImageUtilsLibrary absent(QStringLiteral("/nonexistent/libImageUtils.so"));
    EXPECT_FALSE(absent.ConvertBMPtoJPG(QStringLiteral("a.bmp"), QStringLiteral("a.jpg"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("/nonexistent/libImageUtils.so")));
    // A real library without the function.
    orvane::ImageUtilsLibrary other(QStringLiteral("libz.so.1"));
    EXPECT_FALSE(other.ConvertBMPtoJPG(QStringLiteral("a.bmp"), QStringLiteral("a.jpg"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("ConvertBMPtoJPG"))) << error.toStdString();
}

}  // namespace
