// The generated card parts: names, sizes, format, and the black rule.
#include "render/asset_catalogue.h"
#include "support/images.h"

#include <QFile>
#include <QImageReader>

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

TEST(Assets, FramesKeepAPureBlackInnerArea)
{
    for (int k = 0; k < assets::FrameCount; ++k) {
        const QImage frame(binDir() + QLatin1Char('/') + assets::frameFile(k));
        ASSERT_EQ(frame.size(), QSize(62, 62));
        for (int y = 8; y < 54; ++y)
            for (int x = 8; x < 54; ++x)
                ASSERT_EQ(rgb(frame, x, y), 0u) << k << " at " << x << "," << y;
        EXPECT_NE(rgb(frame, 0, 0), 0u);  // the border itself is seen
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
