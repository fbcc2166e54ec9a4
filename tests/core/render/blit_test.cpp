// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/blit.h"
#include "support/images.h"

#include <gtest/gtest.h>

using orvane::BlitTransparent;

namespace {

constexpr QRgb Red = 0xFF0000;

TEST(BlitTransparent, OnlyPureBlackIsTransparent)
{
    struct Case {
        QRgb source, destination, expected;
    } cases[] = {
        {0x000000, Red, Red},            // black: destination shows through
        {0x000001, Red, 0x000001},       // (0, 0, 1) is opaque
        {0x010101, Red, 0x010101},       // (1, 1, 1) is opaque
        {0x00FF00, Red, 0x00FF00},       // replaced exactly, no blending
        {0x000000, 0x000000, 0x000000},  // black under black stays black
        {0x123456, 0x000000, 0x123456},  // black destination takes the colour
    };
    for (const Case& c : cases) {
        QImage dst = solid(3, 3, c.destination);
        const QImage src = solid(3, 3, c.source);
        EXPECT_TRUE(BlitTransparent(&dst, 0, 0, 3, 3, &src, 0, 0));
        EXPECT_EQ(rgb(dst, 1, 1), c.expected) << std::hex << c.source << " over " << c.destination;
    }
}

TEST(BlitTransparent, MixedSourceCopiesOnlyOpaquePixels)
{
    QImage src = solid(4, 1, 0x000000);
    src.setPixel(1, 0, 0xFFABCDEF);
    src.setPixel(3, 0, 0xFF000001);
    QImage dst = solid(4, 1, Red);
    ASSERT_TRUE(BlitTransparent(&dst, 0, 0, 4, 1, &src, 0, 0));
    EXPECT_EQ(rgb(dst, 0, 0), Red);
    EXPECT_EQ(rgb(dst, 1, 0), 0xABCDEFu);
    EXPECT_EQ(rgb(dst, 2, 0), Red);
    EXPECT_EQ(rgb(dst, 3, 0), 0x000001u);
}

// Draws a 4 x 4 opaque gradient at (x, y) on a 6 x 6 red picture and checks every pixel.
TEST(BlitTransparent, ClipsAtEveryEdge)
{
    const QImage src = gradient(4, 4);
    const QPoint places[] = {{0, 0}, {4, 4}, {-2, 1}, {1, -3},  {-3, -3},
                             {5, 0}, {6, 6}, {-4, 0}, {0, 100}, {-2147483647, 2147483600}};
    for (const QPoint at : places) {
        QImage dst = solid(6, 6, Red);
        ASSERT_TRUE(BlitTransparent(&dst, at.x(), at.y(), 4, 4, &src, 0, 0));
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) {
                const qint64 sx = qint64(x) - at.x(), sy = qint64(y) - at.y();
                const bool inside = sx >= 0 && sx < 4 && sy >= 0 && sy < 4;
                EXPECT_EQ(rgb(dst, x, y), inside ? rgb(src, int(sx), int(sy)) : Red)
                    << "at " << at.x() << "," << at.y() << " pixel " << x << "," << y;
            }
    }
}

TEST(BlitTransparent, SourceOffsetAndSourceEdge)
{
    const QImage src = gradient(4, 4);
    QImage dst = solid(4, 4, Red);
    // A rectangle reaching past the source is cut at the source edge too.
    ASSERT_TRUE(BlitTransparent(&dst, 0, 0, 4, 4, &src, 2, 1));
    EXPECT_EQ(rgb(dst, 0, 0), rgb(src, 2, 1));
    EXPECT_EQ(rgb(dst, 1, 2), rgb(src, 3, 3));
    EXPECT_EQ(rgb(dst, 2, 0), Red);
    EXPECT_EQ(rgb(dst, 0, 3), Red);
}

TEST(BlitTransparent, EmptyRectangleDrawsNothingAndSucceeds)
{
    const QImage src = gradient(2, 2);
    for (const QSize size : {QSize(0, 2), QSize(2, 0), QSize(-1, 2), QSize(0, 0)}) {
        QImage dst = solid(2, 2, Red);
        EXPECT_TRUE(BlitTransparent(&dst, 0, 0, size.width(), size.height(), &src, 0, 0));
        EXPECT_EQ(dst, solid(2, 2, Red));
    }
}

TEST(BlitTransparent, FailsWithoutASurface)
{
    QImage dst = solid(2, 2, Red);
    const QImage src = gradient(2, 2);
    const QImage null;
    EXPECT_FALSE(BlitTransparent(nullptr, 0, 0, 2, 2, &src, 0, 0));
    EXPECT_FALSE(BlitTransparent(&dst, 0, 0, 2, 2, nullptr, 0, 0));
    EXPECT_FALSE(BlitTransparent(&dst, 0, 0, 2, 2, &null, 0, 0));
    EXPECT_EQ(dst, solid(2, 2, Red));
}

TEST(BlitTransparent, ReadsSourcesOfOtherFormats)
{
    QImage src(2, 1, QImage::Format_Indexed8);
    src.setColorTable({qRgb(0, 0, 0), qRgb(9, 8, 7)});
    src.setPixel(0, 0, 0);
    src.setPixel(1, 0, 1);
    QImage dst = solid(2, 1, Red);
    ASSERT_TRUE(BlitTransparent(&dst, 0, 0, 2, 1, &src, 0, 0));
    EXPECT_EQ(rgb(dst, 0, 0), Red);
    EXPECT_EQ(rgb(dst, 1, 0), 0x090807u);
}

}  // namespace
