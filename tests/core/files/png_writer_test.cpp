// SPDX-License-Identifier: GPL-3.0-or-later
// Card pictures written as PNG: any reader gets the pixels back (libpng checks every chunk's
// CRC), with transparency where asked, and writing on several threads gives the same bytes.
#include "files/png_writer.h"
#include "support/images.h"

#include <QImage>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace orvane;

namespace {

QImage translucent(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgba((x * 7) & 0xFF, (y * 5) & 0xFF, 40, (x + y) & 0xFF));
    return image;
}

TEST(PngWriter, PicturesOfEverySizeComeBackWhole)
{
    const struct {
        const char* name;
        QImage image;
        bool alpha;
    } cases[] = {
        {"one pixel", solid(1, 1, qRgb(1, 2, 3)), false},
        {"a card", framedSubject(62, 62), false},
        {"wide and low", gradient(997, 3), false},
        {"a sheet", framedSubject(1240, 930), false},
        {"translucent", translucent(63, 41), true},
    };
    for (const auto& c : cases) {
        QString error;
        const QByteArray png =
            c.alpha ? encodePngWithAlpha(c.image, &error) : encodePng(c.image, &error);
        ASSERT_FALSE(png.isEmpty()) << c.name << ": " << error.toStdString();
        QImage back;
        ASSERT_TRUE(back.loadFromData(png, "PNG")) << c.name;
        EXPECT_EQ(back.hasAlphaChannel(), c.alpha) << c.name;
        const QImage::Format format = c.alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
        EXPECT_EQ(back.convertToFormat(format), c.image.convertToFormat(format)) << c.name;
    }
    QString error;
    EXPECT_TRUE(encodePng(QImage(), &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

TEST(PngWriter, ThreadsWriteTheSameBytes)
{
    const QImage card = framedSubject(62, 62);
    const QByteArray expected = encodePng(card, nullptr);
    std::vector<QByteArray> got(4);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < got.size(); ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 50; ++i)
                got[t] = encodePng(card, nullptr);
        });
    for (std::thread& thread : threads)
        thread.join();
    for (const QByteArray& bytes : got)
        EXPECT_EQ(bytes, expected);
}

}  // namespace
