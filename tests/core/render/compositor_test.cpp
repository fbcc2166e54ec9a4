// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/compositor.h"
#include "support/images.h"

#include <gtest/gtest.h>

using namespace orvane;

namespace {

constexpr QRgb Base = 0x203040;

// All parts transparent unless a test sets them.
struct Parts : CardPictures {
    QImage clean = solid(62, 62, Base);

    Parts()
    {
        mainPicture = solid(62, 62, 0x000000);
        digits.fill(solid(9, 9, 0));
        frame = solid(62, 62, 0);
        element = solid(16, 17, 0);
        arrows.fill(solid(16, 17, 0));
    }

    QImage compose(int scrX = 0, int scrY = 0, const CardPlacement& placement = {}) const
    {
        QImage card = solid(62, 62, 0xFFFFFF);
        composeCard(card, clean, layers(), placement, scrX, scrY);
        return card;
    }
};

// Bounding box of the pixels of one colour.
QRect where(const QImage& card, QRgb colour)
{
    QRect box;
    for (int y = 0; y < card.height(); ++y)
        for (int x = 0; x < card.width(); ++x)
            if (rgb(card, x, y) == colour)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST(Compositor, RoundsHalvesToEven)
{
    EXPECT_EQ(roundHalfEven(26.5f), 26);
    EXPECT_EQ(roundHalfEven(27.5f), 28);
    EXPECT_EQ(roundHalfEven(-0.5f), 0);
    EXPECT_EQ(roundHalfEven(26.4f), 26);
}

TEST(Compositor, ArrowPositions)
{
    struct Case {
        int index, w, h;
        QPoint expected;
    } cases[] = {
        {1, 10, 6, {26, 0}}, {1, 9, 6, {26, 0}},   {1, 7, 6, {28, 0}},   // centred: 26, 26.5, 27.5
        {2, 8, 8, {54, 0}},  {4, 8, 10, {54, 26}}, {7, 8, 6, {54, 56}},  // right edge, bottom edge
        {5, 8, 6, {0, 56}},  {6, 10, 6, {26, 56}}, {3, 6, 10, {0, 26}},
        {0, 8, 8, {0, 0}},   {3, 6, 9, {0, 26}},  // 26.5 -> 26
        {4, 6, 7, {56, 28}},                      // 27.5 -> 28
    };
    for (const Case& c : cases)
        EXPECT_EQ(arrowPosition(c.index, c.w, c.h, 62), c.expected) << "arrow " << c.index;
}

TEST(Compositor, TransparentPartsLeaveTheBase)
{
    const Parts parts;
    EXPECT_EQ(parts.compose(), solid(62, 62, Base));
}

TEST(Compositor, MainPictureOffsetsAndOffCard)
{
    Parts parts;
    parts.mainPicture = solid(62, 62, 0x00FF00);
    EXPECT_EQ(where(parts.compose(0, 0), 0x00FF00), QRect(0, 0, 62, 62));
    EXPECT_EQ(where(parts.compose(10, 0), 0x00FF00), QRect(10, 0, 52, 62));
    EXPECT_EQ(parts.compose(62, 0), solid(62, 62, Base));
    EXPECT_EQ(parts.compose(0, 62), solid(62, 62, Base));

    parts.mainPicture = solid(40, 30, 0x00FF00);
    EXPECT_EQ(where(parts.compose(5, 5), 0x00FF00), QRect(5, 5, 40, 30));
    parts.mainPicture = gradient(100, 80);
    const QImage card = parts.compose(0, 0);
    EXPECT_EQ(rgb(card, 61, 61), rgb(parts.mainPicture, 61, 61));
}

TEST(Compositor, BlackInTheMainPictureShowsTheBase)
{
    Parts parts;
    parts.mainPicture = solid(62, 62, 0x00FF00);
    parts.mainPicture.setPixel(3, 4, 0xFF000000);
    const QImage card = parts.compose();
    EXPECT_EQ(rgb(card, 3, 4), Base);
    EXPECT_EQ(rgb(card, 4, 4), 0x00FF00u);
}

TEST(Compositor, LayerOrder)
{
    Parts parts;
    parts.mainPicture = solid(62, 62, 0x111111);
    parts.digits[0] = solid(9, 9, 0x222222);
    // The frame covers the top digit's first column only; the element lies over the frame;
    // the top-left arrow lies over everything.
    parts.frame.setPixel(12, 3, 0xFF333333);
    parts.frame.setPixel(44, 4, 0xFF333333);
    parts.element = solid(16, 17, 0x444444);
    parts.arrows[0] = solid(8, 8, 0x555555);
    const QImage card = parts.compose();
    EXPECT_EQ(rgb(card, 8, 4), 0x222222u);   // digit over main picture
    EXPECT_EQ(rgb(card, 12, 3), 0x333333u);  // frame over digit
    EXPECT_EQ(rgb(card, 44, 4), 0x444444u);  // element over frame
    EXPECT_EQ(rgb(card, 7, 7), 0x555555u);   // arrow over digit
    EXPECT_EQ(where(card, 0x555555), QRect(0, 0, 8, 8));
}

TEST(Compositor, DigitsAndElementFollowThePlacement)
{
    Parts parts;
    const QRgb colours[4] = {0x0000A0, 0x0000A1, 0x0000A2, 0x0000A3};
    for (size_t i = 0; i < 4; ++i)
        parts.digits[i] = solid(9, 9, colours[i]);
    parts.element = solid(16, 17, 0x0000A4);
    CardPlacement placement;
    placement.ElemX = 50;  // partly off the card: cut at the edge
    placement.BottomY = -6;
    const QImage card = parts.compose(0, 0, placement);
    EXPECT_EQ(where(card, colours[0]).topLeft(), QPoint(7, 3));
    EXPECT_EQ(where(card, colours[1]).topLeft(), QPoint(3, 11));
    EXPECT_EQ(where(card, colours[2]).topLeft(), QPoint(11, 11));
    EXPECT_EQ(where(card, colours[3]), QRect(7, 0, 9, 3));
    EXPECT_EQ(where(card, 0x0000A4), QRect(50, 4, 12, 17));
}

TEST(Compositor, RunsAreIdenticalAndStartFromTheCleanBase)
{
    Parts parts;
    parts.mainPicture = gradient(62, 62);
    parts.arrows[6] = solid(10, 6, 0x00FFFF);
    QImage card = solid(62, 62, 0xFFFFFF);
    composeCard(card, parts.clean, parts.layers(), {}, 3, 4);
    const QImage first = card;
    composeCard(card, parts.clean, parts.layers(), {}, 3, 4);
    EXPECT_EQ(card, first);
    EXPECT_EQ(where(card, 0x00FFFF), QRect(26, 56, 10, 6));
}

TEST(Compositor, SixteenLayersEachReported)
{
    const Parts parts;
    QImage card = solid(62, 62, 0);
    int layers = 0;
    composeCard(card, parts.clean, parts.layers(), {}, 0, 0, [&] { ++layers; });
    EXPECT_EQ(layers, 16);
}

}  // namespace
