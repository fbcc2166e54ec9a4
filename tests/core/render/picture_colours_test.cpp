// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/palette_file.h"
#include "render/picture_colours.h"
#include "render/picture_prep.h"
#include "support/images.h"

#include <gtest/gtest.h>

#include <QSet>
#include <QTemporaryDir>

#include <functional>
#include <vector>

using namespace orvane;

namespace {

constexpr QRgb Black = 0xFF000000u;

QSet<QRgb> visibleColours(const QImage& image)
{
    QSet<QRgb> out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) | Black) != Black)
                out.insert(image.pixel(x, y) | Black);
    return out;
}

// A picture of many colours, dark ones among them, with a transparent (pure black) border.
QImage darkAndBright(int side)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Black);
    for (int y = 2; y < side - 2; ++y)
        for (int x = 2; x < side - 2; ++x)
            image.setPixel(x, y, qRgb(x * 4 % 256, y * 4 % 256, (x < side / 2) ? 3 : 200));
    return image;
}

PictureFit colourFit(ColourMode mode, int count, std::vector<QRgb> palette, Dither dither)
{
    PictureFit fit;
    fit.colours = mode;
    fit.colourCount = count;
    fit.palette = QStringLiteral("test.gpl");
    fit.paletteColours = std::move(palette);
    fit.dither = dither;
    return fit;
}

const std::vector<QRgb> ThreeWithBlack = {Black, qRgb(40, 40, 40), qRgb(250, 250, 250),
                                          qRgb(200, 30, 30)};

struct ColourCase {
    const char* what;
    PictureFit fit;
    int most;          // at most this many visible colours
    bool fromPalette;  // every visible colour one of fit.paletteColours
};

TEST(PictureColours, ColourCountsPaletteAndNoNewBlack)
{
    const ColourCase cases[] = {
        {"2 colours", colourFit(ColourMode::Reduce, 2, {}, Dither::None), 2, false},
        {"16 colours", colourFit(ColourMode::Reduce, 16, {}, Dither::None), 16, false},
        {"16 colours, ordered", colourFit(ColourMode::Reduce, 16, {}, Dither::Ordered), 16, false},
        {"256 colours, diffusion", colourFit(ColourMode::Reduce, 256, {}, Dither::Diffusion), 256,
         false},
        {"palette", colourFit(ColourMode::Palette, 0, ThreeWithBlack, Dither::None), 3, true},
        {"palette, ordered", colourFit(ColourMode::Palette, 0, ThreeWithBlack, Dither::Ordered), 3,
         true},
        {"palette, diffusion", colourFit(ColourMode::Palette, 0, ThreeWithBlack, Dither::Diffusion),
         3, true},
    };
    const QImage source = darkAndBright(40);
    for (const ColourCase& c : cases) {
        SCOPED_TRACE(c.what);
        const QImage out = applyPictureColours(source, c.fit);
        ASSERT_EQ(out.size(), source.size());
        const QSet<QRgb> colours = visibleColours(out);
        EXPECT_LE(colours.size(), c.most);
        EXPECT_GE(colours.size(), 2);
        for (const QRgb colour : colours) {
            if (c.fromPalette) {
                EXPECT_NE(
                    std::find(c.fit.paletteColours.begin(), c.fit.paletteColours.end(), colour),
                    c.fit.paletteColours.end());
            }
        }
        // Transparent where it was, and nowhere else.
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x)
                ASSERT_EQ((source.pixel(x, y) | Black) == Black, (out.pixel(x, y) | Black) == Black)
                    << x << "," << y;
    }
}

// The palette the quantiser makes: a picture of few colours keeps them exactly; one of
// thousands gets colours near the means of its regions and, asked for many, many of them.
TEST(PictureColours, ReducedPalettesKeepFewColoursAndFollowMany)
{
    const auto pattern = [](int side, const std::function<QRgb(int, int)>& colourAt) {
        QImage image(side, side, QImage::Format_RGB32);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                image.setPixel(x, y, colourAt(x, y));
        return image;
    };
    const QList<QRgb> five = {qRgb(250, 10, 10), qRgb(10, 250, 10), qRgb(10, 10, 250),
                              qRgb(200, 200, 20), qRgb(251, 11, 11)};
    const QImage fewColours = pattern(62, [&](int x, int y) { return five[(x + y) % 5]; });
    // Left: reds around (200, 40, 40); right: blues around (30, 60, 210); each of its own noise.
    const QImage twoHalves = pattern(62, [](int x, int y) {
        const int n = (x * 7 + y * 13) % 21 - 10;
        return x < 31 ? qRgb(200 + n, 40 - n, 40 + n) : qRgb(30 - n, 60 + n, 210 + n);
    });
    const QImage manyColours =
        pattern(62, [](int x, int y) { return qRgb(x * 4 + 3, y * 4 + 3, (x * y) % 250 + 3); });
    const auto near = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) <= 6 && std::abs(qGreen(a) - qGreen(b)) <= 6 &&
               std::abs(qBlue(a) - qBlue(b)) <= 6;
    };
    {
        SCOPED_TRACE("five colours, 16 asked");
        const std::vector<QRgb> palette = reducedColours(fewColours, 16);
        EXPECT_EQ(QSet<QRgb>(palette.begin(), palette.end()), QSet<QRgb>(five.begin(), five.end()));
    }
    {
        SCOPED_TRACE("two regions of noise, 2 asked");
        const std::vector<QRgb> palette = reducedColours(twoHalves, 2);
        ASSERT_EQ(palette.size(), 2u);
        const bool inOrder = near(palette[0], qRgb(200, 40, 40));
        EXPECT_TRUE(near(palette[inOrder ? 0 : 1], qRgb(200, 40, 40)));
        EXPECT_TRUE(near(palette[inOrder ? 1 : 0], qRgb(30, 60, 210)));
    }
    for (const int asked : {16, 64, 256}) {
        SCOPED_TRACE(asked);
        const std::vector<QRgb> palette = reducedColours(manyColours, asked);
        EXPECT_LE(int(palette.size()), asked);
        EXPECT_GE(int(palette.size()), asked * 3 / 4);
    }
}

TEST(PictureColours, DarkPixelsTakeTheNearestColourThatIsNotBlack)
{
    const QImage dark = solid(8, 8, qRgb(2, 2, 2));
    const QImage mapped =
        applyPictureColours(dark, colourFit(ColourMode::Palette, 0, ThreeWithBlack, Dither::None));
    EXPECT_EQ(visibleColours(mapped), QSet<QRgb>{qRgb(40, 40, 40)});
    // A reduction of near-black colours keeps them visible.
    QImage nearBlack = solid(8, 8, qRgb(1, 1, 1));
    nearBlack.setPixel(0, 0, qRgb(0, 0, 1));
    const QImage reduced =
        applyPictureColours(nearBlack, colourFit(ColourMode::Reduce, 2, {}, Dither::Diffusion));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_NE(reduced.pixel(x, y) | Black, Black);
}

struct OutlineCase {
    const char* what;
    Outline outline;
    QSize size;  // of the picture, a 2 x 2 square at (3, 3) inside
    QSize grown;
    std::vector<QPoint> drawn;      // outline pixels
    std::vector<QPoint> unchanged;  // pixels as they were
};

TEST(PictureColours, TheOutlineWhereItMustBe)
{
    const OutlineCase cases[] = {
        {"outside",
         Outline::Outside,
         {8, 8},
         {9, 9},
         {{3, 2}, {4, 2}, {2, 3}, {5, 3}, {2, 4}, {5, 4}, {3, 5}, {4, 5}},
         {{2, 2}, {5, 5}, {3, 3}, {4, 4}}},
        {"outside, the picture ending at the square",
         Outline::Outside,
         {5, 5},
         {6, 6},
         {{3, 2}, {4, 2}, {2, 3}, {2, 4}, {5, 3}, {5, 4}, {3, 5}, {4, 5}},
         {{5, 5}, {2, 2}}},
        {"inside", Outline::Inside, {8, 8}, {8, 8}, {{3, 3}, {4, 3}, {3, 4}, {4, 4}}, {{2, 3}}},
    };
    const QRgb square = qRgb(10, 200, 10);
    const QRgb line = qRgb(255, 255, 0);
    for (const OutlineCase& c : cases) {
        SCOPED_TRACE(c.what);
        QImage picture = solid(c.size.width(), c.size.height(), Black);
        for (const QPoint p : {QPoint(3, 3), QPoint(4, 3), QPoint(3, 4), QPoint(4, 4)})
            picture.setPixel(p, square);
        PictureFit fit;
        fit.outline = c.outline;
        fit.outlineColour = line;
        const QImage out = applyPictureColours(picture, fit);
        ASSERT_EQ(out.size(), c.grown);
        int lines = 0;
        for (int y = 0; y < out.height(); ++y)
            for (int x = 0; x < out.width(); ++x)
                lines += out.pixel(x, y) == line;
        EXPECT_EQ(lines, int(c.drawn.size()));
        for (const QPoint p : c.drawn)
            EXPECT_EQ(out.pixel(p), line) << p.x() << "," << p.y();
        for (const QPoint p : c.unchanged)
            EXPECT_EQ(out.pixel(p),
                      p.x() < c.size.width() && p.y() < c.size.height() ? picture.pixel(p) : Black)
                << p.x() << "," << p.y();
    }
}

TEST(PictureColours, PreparationRunsTheColourStepOnTheCardSizedPicture)
{
    PictureFit fit;  // fitted inside the card, then reduced
    fit.colours = ColourMode::Reduce;
    fit.colourCount = 4;
    fit.dither = Dither::Ordered;
    const QImage source = gradient(600, 400);
    const QImage prepared = preparePicture(source, fit);
    PictureFit plain = fit;
    plain.colours = ColourMode::All;
    EXPECT_EQ(prepared, applyPictureColours(preparePicture(source, plain), fit));
    EXPECT_LE(visibleColours(prepared).size(), 4);
    // The preview and the finished picture agree with it.
    PicturePreview preview(source);
    EXPECT_EQ(preview.finished(fit), prepared);
}

struct PaletteCase {
    const char* what;
    const char* fileName;
    QByteArray text;
    std::vector<QRgb> colours;  // empty: refused
    const char* errorStart;
};

QByteArray manyHexLines(int n)
{
    QByteArray text;
    for (int k = 0; k < n; ++k)
        text += QByteArray::number(0x100000 + k, 16) + '\n';
    return text;
}

TEST(PaletteFile, FormatsAndRefusals)
{
    const PaletteCase cases[] = {
        {"GIMP",
         "a.gpl",
         "GIMP Palette\nName: Mine\nColumns: 4\n# a comment\n255 0 0 Red\n  0 128 255\n",
         {qRgb(255, 0, 0), qRgb(0, 128, 255)},
         ""},
        {"hex, with and without #",
         "a.hex",
         "ff0000\n#00ff00\n\n0000FF\n",
         {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)},
         ""},
        {"JASC",
         "a.pal",
         "JASC-PAL\r\n0100\r\n2\r\n10 20 30\r\n40 50 60\r\n",
         {qRgb(10, 20, 30), qRgb(40, 50, 60)},
         ""},
        {"empty", "a.hex", "", {}, "line 1:"},
        {"only a GIMP header", "a.gpl", "GIMP Palette\n", {}, "line 2:"},
        {"not a colour", "a.hex", "ff0000\nzz0000\n", {}, "line 2:"},
        {"a channel beyond 255", "a.gpl", "GIMP Palette\n1 2 3\n1 2 300\n", {}, "line 3:"},
        {"a GIMP file without its header", "a.gpl", "1 2 3\n", {}, "line 1:"},
        {"only pure black", "a.hex", "000000\n#000000\n", {}, "line 3:"},
        {"257 colours", "a.hex", manyHexLines(257), {}, "line 257:"},
    };
    for (const PaletteCase& c : cases) {
        SCOPED_TRACE(c.what);
        const PaletteRead read = parsePalette(c.text, QString::fromLatin1(c.fileName));
        EXPECT_EQ(read.colours, c.colours);
        if (c.colours.empty())
            EXPECT_TRUE(read.error.startsWith(QLatin1String(c.errorStart)))
                << read.error.toStdString();
        else
            EXPECT_TRUE(read.error.isEmpty()) << read.error.toStdString();
    }
    EXPECT_EQ(parsePalette(manyHexLines(256), QStringLiteral("a.hex")).colours.size(), 256u);
}

TEST(PaletteFile, ResolvedFromTheFileAndKeptInTheSettings)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mine.hex"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("112233\n445566\n");
    file.close();
    PictureFit fit = *parsePictureFit({{QStringLiteral("palette"), path}}, nullptr);
    QString error;
    ASSERT_TRUE(resolvePalette(fit, nullptr, &error)) << error.toStdString();
    EXPECT_EQ(fit.paletteColours,
              (std::vector<QRgb>{qRgb(0x11, 0x22, 0x33), qRgb(0x44, 0x55, 0x66)}));
    // The colours travel with the settings: the file may be gone.
    file.remove();
    const std::optional<PictureFit> back = parsePictureFit(pictureFitSettings(fit), nullptr);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, fit);

    PictureFit missing = *parsePictureFit({{QStringLiteral("palette"), path}}, nullptr);
    EXPECT_FALSE(resolvePalette(missing, nullptr, &error));
    EXPECT_TRUE(error.contains(QLatin1String("mine.hex"))) << error.toStdString();
    PictureFit parts =
        *parsePictureFit({{QStringLiteral("palette"), QStringLiteral("Parts")}}, nullptr);
    EXPECT_EQ(parts.palette, QLatin1String(PartsPaletteName));
    EXPECT_FALSE(resolvePalette(parts, nullptr, &error));
}

}  // namespace
