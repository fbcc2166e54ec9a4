// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/picture_prep.h"
#include "support/image_compare.h"
#include "support/images.h"

#include <gtest/gtest.h>

using namespace orvane;

namespace {

constexpr QRgb White = 0xFFFFFF;
constexpr QRgb Red = 0xC81E1E;

PictureFit fitOf(FitMode mode, int panX = 0, int panY = 0, double percent = 100)
{
    PictureFit fit;
    fit.mode = mode;
    fit.scalePercent = percent;
    fit.panX = panX;
    fit.panY = panY;
    return fit;
}

// A white picture with a red square of `side` in the middle.
QImage subjectOnWhite(int w, int h, int side)
{
    QImage image = solid(w, h, White);
    for (int y = (h - side) / 2; y < (h + side) / 2; ++y)
        for (int x = (w - side) / 2; x < (w + side) / 2; ++x)
            image.setPixel(x, y, Red);
    return image;
}

struct GeometryCase {
    const char* what;
    QSize source;
    PictureFit fit;
    QSize scaled;
    QPoint offset;
    QSize prepared;
};

TEST(PictureGeometry, SizesAndOffsetsForWideTallAndTinyPictures)
{
    const GeometryCase cases[] = {
        {"wide fit", {160, 120}, fitOf(FitMode::Fit), {62, 47}, {0, 7}, {62, 54}},
        {"wide fill", {160, 120}, fitOf(FitMode::Fill), {83, 62}, {-11, 0}, {62, 62}},
        {"wide 1:1", {160, 120}, fitOf(FitMode::None), {160, 120}, {-49, -29}, {62, 62}},
        {"wide 50 %", {160, 120}, fitOf(FitMode::Percent, 0, 0, 50), {80, 60}, {-9, 1}, {62, 61}},
        {"tall fit", {40, 100}, fitOf(FitMode::Fit), {25, 62}, {18, 0}, {43, 62}},
        {"tall fill", {40, 100}, fitOf(FitMode::Fill), {62, 155}, {0, -47}, {62, 62}},
        {"tiny 1:1", {10, 6}, fitOf(FitMode::None), {10, 6}, {26, 28}, {36, 34}},
        {"tiny fit", {10, 6}, fitOf(FitMode::Fit), {62, 37}, {0, 12}, {62, 49}},
        {"tiny 250 %", {10, 6}, fitOf(FitMode::Percent, 0, 0, 250), {25, 15}, {18, 23}, {43, 38}},
        {"1 x 1 at 1 %", {1, 1}, fitOf(FitMode::Percent, 0, 0, 1), {1, 1}, {30, 30}, {31, 31}},
        {"panned left and up",
         {160, 120},
         fitOf(FitMode::None, -20, -30),
         {160, 120},
         {-69, -59},
         {62, 61}},
        {"panned right and down",
         {10, 6},
         fitOf(FitMode::None, 30, 5),
         {10, 6},
         {56, 33},
         {62, 39}},
        {"panned off to the right",
         {10, 6},
         fitOf(FitMode::None, 36, 0),
         {10, 6},
         {62, 28},
         {1, 1}},
        {"panned off to the top", {10, 6}, fitOf(FitMode::None, 0, -34), {10, 6}, {26, -6}, {1, 1}},
    };
    for (const GeometryCase& c : cases) {
        const PictureGeometry g = pictureGeometry(c.source, c.fit);
        EXPECT_EQ(g.scaled, c.scaled) << c.what;
        EXPECT_EQ(g.offset, c.offset) << c.what;
        EXPECT_EQ(g.prepared, c.prepared) << c.what;
    }
}

TEST(PreparePicture, OneToOnePlacesEveryPixelAtItsOffset)
{
    const QImage source = gradient(160, 120);
    for (const QPoint pan : {QPoint(0, 0), QPoint(-20, -30), QPoint(70, 40), QPoint(-110, 10)}) {
        const PictureFit fit = fitOf(FitMode::None, pan.x(), pan.y());
        const PictureGeometry g = pictureGeometry(source.size(), fit);
        const QImage out = preparePicture(source, fit);
        ASSERT_EQ(out.size(), g.prepared);
        for (int y = 0; y < out.height(); ++y)
            for (int x = 0; x < out.width(); ++x) {
                const QPoint at = QPoint(x, y) - g.offset;
                const QRgb expected =
                    source.rect().contains(at) ? rgb(source, at.x(), at.y()) : 0x000000;
                ASSERT_EQ(rgb(out, x, y), expected)
                    << "pan " << pan.x() << "," << pan.y() << " at " << x << "," << y;
            }
    }
}

// As loaded: the upper-left part the card can show, pixel for pixel, for odd and even sizes.
TEST(PreparePicture, AsLoadedKeepsTheUpperLeftPart)
{
    for (const QSize size : {QSize(160, 120), QSize(161, 63), QSize(63, 300), QSize(62, 62),
                             QSize(30, 200), QSize(6000, 41)}) {
        const QImage source = gradient(size.width(), size.height());
        const QImage expected =
            source.copy(0, 0, std::min(62, size.width()), std::min(62, size.height()));
        const PictureFit fit = asLoadedFit(size);
        EXPECT_EQ(pictureGeometry(size, fit).offset, QPoint(0, 0))
            << size.width() << "x" << size.height();
        EXPECT_TRUE(preparePicture(source, fit) == expected)
            << size.width() << "x" << size.height();
    }
}

TEST(PreparePicture, NearestRepeatsPixelsAndSmoothAverages)
{
    QImage checker(2, 2, QImage::Format_RGB32);
    checker.setPixel(0, 0, qRgb(200, 0, 0));
    checker.setPixel(1, 0, qRgb(0, 200, 0));
    checker.setPixel(0, 1, qRgb(0, 0, 200));
    checker.setPixel(1, 1, qRgb(100, 100, 100));

    PictureFit nearest = fitOf(FitMode::Percent, 0, 0, 300);
    nearest.resample = Resample::Nearest;
    const QImage big = preparePicture(checker, nearest);  // 6 x 6 at (28, 28)
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(rgb(big, 28 + x, 28 + y), rgb(checker, x / 3, y / 3));

    // Shrinking 124 x 124 of 2 x 2 checker squares to the card averages each square.
    QImage fine(124, 124, QImage::Format_RGB32);
    for (int y = 0; y < 124; ++y)
        for (int x = 0; x < 124; ++x)
            fine.setPixel(x, y, ((x + y) % 2) ? qRgb(200, 100, 50) : qRgb(100, 50, 150));
    const QImage shrunk = preparePicture(fine, fitOf(FitMode::Fit));
    ASSERT_EQ(shrunk.size(), QSize(62, 62));
    EXPECT_EQ(shrunk, solid(62, 62, qRgb(150, 75, 100)));

    // A plain colour stays exactly that colour, shrunk or enlarged.
    for (const PictureFit& fit :
         {fitOf(FitMode::Fit), fitOf(FitMode::Fill), fitOf(FitMode::Percent, 0, 0, 37.5)})
        for (const QSize size : {QSize(3, 2), QSize(1000, 700)}) {
            const QImage out = preparePicture(solid(size.width(), size.height(), Red), fit);
            const PictureGeometry g = pictureGeometry(size, fit);
            const QRect inside = QRect(g.offset, g.scaled) & out.rect();
            for (int y = inside.top(); y <= inside.bottom(); ++y)
                for (int x = inside.left(); x <= inside.right(); ++x)
                    ASSERT_EQ(rgb(out, x, y), Red) << size.width() << " at " << x << "," << y;
        }
}

TEST(PreparePicture, KeyColourMatchesWithinTheTolerance)
{
    // Columns of colours 0, 1, 2 and 3 away from the key in one channel.
    QImage source(4, 1, QImage::Format_RGB32);
    for (int x = 0; x < 4; ++x)
        source.setPixel(x, 0, qRgb(100, 150 + x, 200));
    PictureFit fit = fitOf(FitMode::None);
    fit.key = KeyMode::Colour;
    fit.keyColour = qRgb(100, 150, 200);
    const struct {
        int tolerance;
        int keyed;  // how many columns become background
    } cases[] = {{0, 1}, {1, 2}, {2, 3}, {255, 4}};
    for (const auto& c : cases) {
        fit.tolerance = c.tolerance;
        const QImage out = preparePicture(source, fit);  // the columns at x = 29..32
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(rgb(out, 29 + x, 30) == 0, x < c.keyed)
                << "tolerance " << c.tolerance << " column " << x;
    }
}

TEST(PreparePicture, KeyedBackgroundDoesNotBleedIntoTheSubject)
{
    PictureFit fit = fitOf(FitMode::Fit);
    fit.key = KeyMode::Colour;
    fit.keyColour = White;
    // 620 x 620 shrunk ten times: the 310-pixel red square covers 30 card pixels whole and
    // half of the ones along its edges.
    const QImage out = preparePicture(subjectOnWhite(620, 620, 310), fit);
    ASSERT_EQ(out.size(), QSize(62, 62));
    for (int y = 0; y < 62; ++y)
        for (int x = 0; x < 62; ++x) {
            const QRgb pixel = rgb(out, x, y);
            ASSERT_TRUE(pixel == 0 || pixel == Red) << x << "," << y << " " << std::hex << pixel;
        }
    EXPECT_EQ(rgb(out, 31, 31), Red);
    EXPECT_EQ(rgb(out, 5, 5), 0u);
}

TEST(PreparePicture, CornersFloodStopsAtTheSubject)
{
    // A white picture with a dark ring; inside the ring white again, a red dot in the middle.
    QImage source = solid(40, 40, White);
    for (int y = 8; y < 32; ++y)
        for (int x = 8; x < 32; ++x)
            if (x < 10 || x >= 30 || y < 10 || y >= 30)
                source.setPixel(x, y, qRgb(20, 20, 20));
    source.setPixel(20, 20, Red);
    // Slight noise on the outside that the tolerance must take in.
    source.setPixel(2, 3, qRgb(250, 250, 250));

    PictureFit fit = fitOf(FitMode::None);  // offset (11, 11)
    fit.key = KeyMode::Corners;
    fit.tolerance = 10;
    const QImage out = preparePicture(source, fit);
    EXPECT_EQ(rgb(out, 11 + 2, 11 + 3), 0u) << "noise within the tolerance is background";
    EXPECT_EQ(rgb(out, 11 + 0, 11 + 39), 0u);
    EXPECT_EQ(rgb(out, 11 + 8, 11 + 8), 0x141414u) << "the ring is subject";
    EXPECT_EQ(rgb(out, 11 + 15, 11 + 15), White) << "inside the ring is not reached";
    EXPECT_EQ(rgb(out, 11 + 20, 11 + 20), Red);

    fit.tolerance = 0;
    EXPECT_EQ(rgb(preparePicture(source, fit), 11 + 2, 11 + 3), 0xFAFAFAu)
        << "tolerance 0 keeps the noise";

    // Keying the colour instead takes the inside too.
    fit.key = KeyMode::Colour;
    fit.keyColour = White;
    EXPECT_EQ(rgb(preparePicture(source, fit), 11 + 15, 11 + 15), 0u);
}

TEST(PreparePicture, CornersOfDifferentColoursEachFlood)
{
    // Left half blue, right half green, a red bar across the middle row joining nothing.
    QImage source(20, 10, QImage::Format_RGB32);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            source.setPixel(x, y, x < 10 ? qRgb(0, 0, 255) : qRgb(0, 255, 0));
    for (int x = 5; x < 15; ++x)
        source.setPixel(x, 5, Red);
    PictureFit fit = fitOf(FitMode::None);  // offset (21, 26)
    fit.key = KeyMode::Corners;
    const SubjectMask mask = subjectMask(source, fit);
    ASSERT_EQ(mask.values.size(), size_t(200));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(mask.values[size_t(y * 20 + x)], y == 5 && x >= 5 && x < 15 ? 255 : 0)
                << x << "," << y;
}

TEST(PreparePicture, KeepDarkVisibleLiftsOnlyNonBackgroundBlack)
{
    // Pure black outline pixels on a white background keyed from the corners.
    QImage source = solid(6, 6, White);
    source.setPixel(2, 2, 0x000000);
    source.setPixel(3, 3, 0x000000);
    PictureFit fit = fitOf(FitMode::None);  // offset (28, 28)
    fit.key = KeyMode::Corners;
    fit.keepDarkVisible = true;
    QImage out = preparePicture(source, fit);
    EXPECT_EQ(rgb(out, 30, 30), 0x010101u);
    EXPECT_EQ(rgb(out, 31, 31), 0x010101u);
    EXPECT_EQ(rgb(out, 28, 28), 0u) << "background stays transparent";
    EXPECT_EQ(rgb(out, 5, 5), 0u) << "outside the picture stays transparent";

    fit.keepDarkVisible = false;
    out = preparePicture(source, fit);
    EXPECT_EQ(rgb(out, 30, 30), 0u);

    // Without a key nothing is background: every pure black of the picture is kept.
    fit.key = KeyMode::None;
    fit.keepDarkVisible = true;
    out = preparePicture(solid(4, 4, 0x000000), fit);
    EXPECT_EQ(rgb(out, 30, 30), 0x010101u);
    EXPECT_EQ(rgb(out, 0, 0), 0u);
}

TEST(PreparePicture, NullAndNonRgbSources)
{
    EXPECT_TRUE(preparePicture(QImage(), PictureFit{}).isNull());
    EXPECT_TRUE(PicturePreview().prepared(PictureFit{}).isNull());
    const QImage indexed = gradient(30, 20).convertToFormat(QImage::Format_Indexed8);
    const PictureFit fit = fitOf(FitMode::None);
    EXPECT_EQ(preparePicture(indexed, fit),
              preparePicture(indexed.convertToFormat(QImage::Format_RGB32), fit));
}

TEST(PicturePreview, SmallSourcesGiveTheFinishedPixelsLargeOnesClose)
{
    PictureFit fit = fitOf(FitMode::Fill, -5, 3);
    fit.key = KeyMode::Corners;
    fit.tolerance = 8;

    const QImage small = subjectOnWhite(120, 90, 40);
    PicturePreview exact(small);
    EXPECT_EQ(exact.prepared(fit), preparePicture(small, fit));
    EXPECT_EQ(exact.finished(fit), preparePicture(small, fit));

    QImage large = subjectOnWhite(1600, 1200, 500);
    for (int y = 0; y < 1200; y += 7)
        for (int x = 0; x < 1600; x += 5)
            large.setPixel(x, y, qRgb(x % 256, y % 256, 90));  // detail the reduction averages
    PicturePreview reduced(large);
    const QImage finished = preparePicture(large, fit);
    for (const int pan : {-5, 12, -30}) {
        fit.panX = pan;
        const QImage preview = reduced.prepared(fit);
        const QImage full = preparePicture(large, fit);
        ASSERT_EQ(preview.size(), full.size());
        EXPECT_GT(psnr(preview, full), 30.0) << "pan " << pan;
    }
    fit.panX = -5;
    EXPECT_EQ(reduced.finished(fit), finished);
}

}  // namespace
