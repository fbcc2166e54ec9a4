// SPDX-License-Identifier: GPL-3.0-or-later
// The generated card parts: names, sizes, format, the black rule, and frames that leave the
// digits and the element icon whole.
#include "card/card_placement.h"
#include "render/asset_catalogue.h"
#include "render/compositor.h"
#include "support/images.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace orvane;

namespace {

QString binDir()
{
    return qEnvironmentVariable("ORVANE_BIN_DIR");
}

TEST(Assets, ThirtyThreeFilesWithTheirExactNames)
{
    const QStringList files = assets::allFiles();
    ASSERT_EQ(files.size(), 33);
    EXPECT_TRUE(files.contains(QStringLiteral("gfx/bitblts/Monster Frame.bmp")));
    EXPECT_TRUE(files.contains(QStringLiteral("gfx/bitblts/GF Frame.bmp")));
    EXPECT_TRUE(files.contains(QStringLiteral("gfx/bitblts/Lvl10 Frame.bmp")));
    EXPECT_TRUE(files.contains(QStringLiteral("gfx/arrows/arrow 3.bmp")));
    EXPECT_TRUE(files.contains(QStringLiteral("gfx/bitblts/assault.bmp")));
    QStringList unique = files;
    EXPECT_EQ(unique.removeDuplicates(), 0);
}

TEST(Assets, GeneratedFilesAreBmpsOfTheirSize)
{
    for (const QString& relative : assets::allFiles()) {
        const QString path = binDir() + QLatin1Char('/') + relative;
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), QByteArray("bmp")) << relative.toStdString();
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << relative.toStdString();
        const QSize expected = assets::expectedSize(relative);
        if (expected.isValid()) {
            EXPECT_EQ(image.size(), expected) << relative.toStdString();
        }
    }
}

// The main picture shows through the whole middle of the card; the only drawing inside is the
// trim line hugging the digits' panel (their bounding box) and the element icon's socket.
TEST(Assets, FramesKeepAPureBlackInnerArea)
{
    const QRect digitsPanel = QRect(3, 3, 17, 25).adjusted(-1, -1, 1, 1);
    const QRect iconSocket = QRect(44, 4, 16, 17).adjusted(-1, -1, 1, 1);
    for (int k = 0; k < assets::FrameCount; ++k) {
        const QImage frame(binDir() + QLatin1Char('/') + assets::frameFile(k));
        ASSERT_EQ(frame.size(), QSize(62, 62));
        for (int y = 8; y < 54; ++y)
            for (int x = 8; x < 54; ++x)
                if (!digitsPanel.contains(x, y) && !iconSocket.contains(x, y)) {
                    ASSERT_EQ(rgb(frame, x, y), 0u) << k << " at " << x << "," << y;
                }
        EXPECT_NE(rgb(frame, 0, 0), 0u);  // the border itself is seen
    }
}

QImage part(const QString& relative)
{
    return QImage(binDir() + QLatin1Char('/') + relative).convertToFormat(QImage::Format_RGB32);
}

struct Place {
    const char* what;  // as the asset builder names it
    QRect rect;
};

// Where the four digits and the element icon sit with the default places.
std::vector<Place> defaultPlaces()
{
    const CardPlacement at;
    const QSize digit(9, 9);
    return {{"the top digit", {QPoint(at.TopX, at.TopY), digit}},
            {"the left digit", {QPoint(at.LeftX, at.LeftY), digit}},
            {"the right digit", {QPoint(at.RightX, at.RightY), digit}},
            {"the bottom digit", {QPoint(at.BottomX, at.BottomY), digit}},
            {"the element icon", {QPoint(at.ElemX, at.ElemY), QSize(16, 17)}}};
}

TEST(Assets, FramesArePureBlackWhereTheDigitsAndTheIconSit)
{
    for (int k = 0; k < assets::FrameCount; ++k) {
        const QImage frame = part(assets::frameFile(k));
        for (const Place& place : defaultPlaces())
            for (int y = place.rect.top(); y <= place.rect.bottom(); ++y)
                for (int x = place.rect.left(); x <= place.rect.right(); ++x)
                    ASSERT_EQ(rgb(frame, x, y), 0u)
                        << assets::frameFile(k).toStdString() << " over " << place.what << " at "
                        << x << "," << y;
    }
}

// Every frame on both bases, every digit on all four sides, every element and all eight arrows:
// the digits' rectangles look exactly as with the digits alone, and every visible pixel of the
// element icon is its own.
TEST(Assets, ComposedCardsShowEveryDigitAndTheIconWhole)
{
    const QString builtin = qEnvironmentVariable("ORVANE_SOURCE_DIR") + "/assets/builtin/";
    const QImage bases[] = {QImage(builtin + "bluebase.xpm").convertToFormat(QImage::Format_RGB32),
                            QImage(builtin + "redbase.xpm").convertToFormat(QImage::Format_RGB32)};
    const CardPlacement at;
    const std::vector<Place> places = defaultPlaces();
    for (const QImage& base : bases) {
        ASSERT_EQ(base.size(), QSize(62, 62));
        for (const char* d : {"1", "2", "3", "4", "5", "6", "7", "8", "9", "A"}) {
            CardPictures digitsOnly;
            digitsOnly.digits.fill(part(*assets::digitFile(QLatin1String(d))));
            QImage expected = base.copy();
            composeCard(expected, base, digitsOnly.layers(), at, 0, 0);
            for (int f = 0; f < assets::FrameCount; ++f) {
                for (int e = 0; e < assets::ElementCount; ++e) {
                    CardPictures all = digitsOnly;
                    all.frame = part(assets::frameFile(f));
                    all.element = part(assets::elementFile(e));
                    for (int a = 0; a < assets::ArrowCount; ++a)
                        all.arrows[size_t(a)] = part(assets::arrowFile(a));
                    QImage card = base.copy();
                    composeCard(card, base, all.layers(), at, 0, 0);
                    const std::string where = assets::frameFile(f).toStdString() + ", digit " + d +
                                              ", " + assets::elementFile(e).toStdString();
                    for (size_t p = 0; p < 4; ++p)
                        for (int y = places[p].rect.top(); y <= places[p].rect.bottom(); ++y)
                            for (int x = places[p].rect.left(); x <= places[p].rect.right(); ++x)
                                ASSERT_EQ(rgb(card, x, y), rgb(expected, x, y))
                                    << where << ": " << places[p].what << " at " << x << "," << y;
                    for (int y = 0; y < all.element.height(); ++y)
                        for (int x = 0; x < all.element.width(); ++x)
                            if (rgb(all.element, x, y) != 0) {
                                ASSERT_EQ(rgb(card, at.ElemX + x, at.ElemY + y),
                                          rgb(all.element, x, y))
                                    << where << ": icon pixel " << x << "," << y;
                            }
                }
            }
        }
    }
}

// Copies the drawings, paints one gold pixel into a frame where a digit or the icon sits, and runs
// the asset builder on the copy: it must fail, naming the frame and what the pixel would spoil.
TEST(Assets, AssetBuilderRefusesAFrameOverADigitOrTheIcon)
{
    const QString sourceGfx = qEnvironmentVariable("ORVANE_SOURCE_DIR") + "/assets/gfx";
    std::vector<std::optional<Place>> cases = {std::nullopt};  // the untouched drawings pass
    for (const Place& place : defaultPlaces())
        cases.emplace_back(place);
    for (const std::optional<Place>& poke : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        QDirIterator it(sourceGfx, {QStringLiteral("*.xpm")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString from = it.next();
            const QString to = dir.filePath("assets/gfx/" + QDir(sourceGfx).relativeFilePath(from));
            ASSERT_TRUE(QDir().mkpath(QFileInfo(to).absolutePath()));
            ASSERT_TRUE(QFile::copy(from, to)) << to.toStdString();
        }
        const QString frameXpm = dir.filePath("assets/gfx/bitblts/GF Frame.xpm");
        if (poke) {
            QImage frame(frameXpm, "XPM");
            frame = frame.convertToFormat(QImage::Format_RGB32);
            // The rectangle's far corner: the last pixel a sloppy check would still look at.
            frame.setPixel(poke->rect.bottomRight(), qRgb(238, 196, 78));
            ASSERT_TRUE(frame.save(frameXpm, "XPM"));
        }
        QProcess builder;
        builder.start(binDir() + "/asset_builder", {dir.filePath("assets"), dir.filePath("out")});
        ASSERT_TRUE(builder.waitForFinished(60000));
        const QString errors = QString::fromLocal8Bit(builder.readAllStandardError());
        if (!poke) {
            EXPECT_EQ(builder.exitCode(), 0) << errors.toStdString();
            continue;
        }
        EXPECT_EQ(builder.exitCode(), 1) << poke->what;
        EXPECT_TRUE(errors.contains("GF Frame.xpm")) << errors.toStdString();
        EXPECT_TRUE(errors.contains(QLatin1String(poke->what))) << errors.toStdString();
        EXPECT_FALSE(QFileInfo::exists(dir.filePath("out/gfx/bitblts/GF Frame.bmp")));
    }
}

TEST(Assets, PartsHaveSomethingToSeeAndNoElementHasNothing)
{
    for (const QString& relative : assets::allFiles()) {
        const QImage image(binDir() + QLatin1Char('/') + relative);
        int visible = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                visible += rgb(image, x, y) != 0;
        if (relative == assets::noElementFile())
            EXPECT_EQ(visible, 0);
        else
            EXPECT_GT(visible, 4) << relative.toStdString();
    }
}

TEST(Assets, LookupsByChoice)
{
    EXPECT_EQ(assets::frameFile(3), QStringLiteral("gfx/bitblts/Lvl10 Frame.bmp"));
    EXPECT_EQ(assets::elementFile(2), QStringLiteral("gfx/bitblts/coldelem.bmp"));
    EXPECT_EQ(assets::elementFile(8), assets::noElementFile());
    EXPECT_EQ(assets::elementFile(10), QStringLiteral("gfx/bitblts/assault.bmp"));
    EXPECT_EQ(assets::digitFile(QStringLiteral("a")), QStringLiteral("gfx/bitblts/A.bmp"));
    EXPECT_EQ(assets::digitFile(QStringLiteral("7")), QStringLiteral("gfx/bitblts/7.bmp"));
    for (const char* none : {"", "0", "10", "B", "7 ", " 7"})
        EXPECT_FALSE(assets::digitFile(QLatin1String(none))) << none;
}

}  // namespace
