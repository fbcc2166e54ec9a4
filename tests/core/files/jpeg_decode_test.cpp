// SPDX-License-Identifier: GPL-3.0-or-later
// JPEG decoding: the same pixels as Qt's own reader, and each decode's verdict its own when
// pictures decode on several threads at once.
#include "files/jpeg_decode.h"
#include "files/main_picture.h"
#include "support/images.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace orvane;

namespace {

QByteArray jpegOf(const QImage& image, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPEG");
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(image));
    return bytes;
}

// The coded data cut at two thirds and the end-of-image marker put after it: the structure is
// whole, only the decoder finds that the data ends early.
QByteArray cutInItsData(const QByteArray& jpeg)
{
    return jpeg.left(jpeg.size() * 2 / 3) + QByteArray("\xFF\xD9", 2);
}

TEST(JpegDecode, GivesTheSamePixelsAsQtsReader)
{
    const QImage colour = framedSubject(160, 120);
    const std::pair<const char*, QByteArray> cases[] = {
        {"baseline", jpegOf(colour)},
        {"progressive", jpegOf(colour, true)},
        {"grey", jpegOf(colour.convertToFormat(QImage::Format_Grayscale8))},
        {"odd size", jpegOf(gradient(37, 23))},
    };
    for (const auto& [name, bytes] : cases) {
        QBuffer buffer;
        buffer.setData(bytes);
        const QImage expected =
            QImageReader(&buffer, "jpeg").read().convertToFormat(QImage::Format_RGB32);
        const DecodedJpeg decoded = decodeJpeg(bytes);
        ASSERT_FALSE(decoded.image.isNull()) << name << ": " << decoded.error.toStdString();
        EXPECT_FALSE(decoded.cutShort) << name;
        EXPECT_EQ(decoded.image, expected) << name;
    }
}

TEST(JpegDecode, DamagedDataIsRefusedWithTheDecodersReason)
{
    QByteArray bytes = jpegOf(gradient(40, 30));
    bytes[bytes.indexOf("\xFF\xC4") + 4] = '\x7F';  // a Huffman table of impossible counts
    const DecodedJpeg decoded = decodeJpeg(bytes);
    EXPECT_TRUE(decoded.image.isNull());
    EXPECT_FALSE(decoded.error.isEmpty());
    const DecodedJpeg cut = decodeJpeg(cutInItsData(jpegOf(framedSubject(300, 200))));
    EXPECT_FALSE(cut.image.isNull());  // grey where the data is missing
    EXPECT_TRUE(cut.cutShort);
}

std::atomic<int> g_messages{0};
void countMessage(QtMsgType, const QMessageLogContext&, const QString&)
{
    ++g_messages;
}

// 4 threads load a picture cut in its data and a whole one in turn, 250 times each.
TEST(JpegDecode, EveryVerdictIsRightOnFourThreadsAndTheMessageHandlerStays)
{
    QTemporaryDir dir;
    const QByteArray whole = jpegOf(framedSubject(300, 200));
    const QString paths[2] = {dir.filePath(QStringLiteral("whole.jpg")),
                              dir.filePath(QStringLiteral("cut.jpg"))};
    for (int i = 0; i < 2; ++i) {
        QFile file(paths[i]);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(i == 0 ? whole : cutInItsData(whole));
    }
    const QtMessageHandler before = qInstallMessageHandler(&countMessage);
    g_messages = 0;

    std::atomic<int> wrong{0};
    std::atomic<int> decodes{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 250; ++i) {
                const bool cut = (i + t) % 2 == 1;
                const LoadedPicture loaded = loadMainPicture(paths[cut ? 1 : 0]);
                const bool right = cut ? loaded.image.isNull() &&
                                             loaded.error.contains(QLatin1String("incomplete"))
                                       : !loaded.image.isNull();
                wrong += right ? 0 : 1;
                ++decodes;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(decodes.load(), 1000);
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(g_messages.load(), 0);  // the decoder's warnings are its own, never printed

    qWarning("a later warning of the program");
    EXPECT_EQ(g_messages.load(), 1);
    EXPECT_EQ(qInstallMessageHandler(before), &countMessage);
}

}  // namespace
