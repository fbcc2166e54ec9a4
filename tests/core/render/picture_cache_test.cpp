// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/picture_cache.h"
#include "support/images.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using orvane::PictureCache;

namespace {

class PictureCacheTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("part.bmp"));
    PictureCache cache;

    // One timer tick's request.
    PictureCache::Result next()
    {
        cache.beginRound();
        return cache.fetch(path);
    }
    void write(const QImage& image) { ASSERT_TRUE(image.save(path, "BMP")); }
    // Makes the file look old, as after the coarse-clock window has passed (or to any
    // other time).
    void age(const QDateTime& when = QDateTime::currentDateTime().addSecs(-60))
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    }
};

TEST_F(PictureCacheTest, DecodesOnceWhileUnchanged)
{
    write(solid(4, 4, 0x123456));
    age();
    const auto first = next();
    ASSERT_NE(first.image, nullptr);
    EXPECT_EQ(rgb(*first.image, 0, 0), 0x123456u);
    const auto second = next();
    EXPECT_EQ(second.image, first.image);
    EXPECT_EQ(second.version, first.version);
}

TEST_F(PictureCacheTest, FutureStampIsNotReadOnEveryTick)
{
    const QDateTime future = QDateTime::currentDateTime().addSecs(3600);
    write(solid(4, 4, 0x123456));
    age(future);
    ASSERT_NE(next().image, nullptr);
    next();
    next();
    EXPECT_EQ(cache.readCount(), 1u);  // a future stamp must not make every tick re-read
    // Rewritten with the same size and the same future modification time: the change of the
    // file's status still shows.
    write(solid(4, 4, 0x654321));
    age(future);
    EXPECT_EQ(rgb(*next().image, 0, 0), 0x654321u);
    next();
    EXPECT_EQ(cache.readCount(), 2u);
}

TEST_F(PictureCacheTest, OneLookAtTheDiskPerRound)
{
    write(solid(4, 4, 0x123456));
    cache.beginRound();
    ASSERT_NE(cache.fetch(path).image, nullptr);
    QFile::remove(path);
    EXPECT_NE(cache.fetch(path).image, nullptr);  // same tick: answered from the first look
    EXPECT_EQ(next().image, nullptr);             // next tick: the file is gone
}

TEST_F(PictureCacheTest, RewriteIsSeenAtTheNextFetch)
{
    write(solid(4, 4, 0x123456));
    const auto first = next();
    // Same size, same second: only the content differs. The recent-file rule catches it.
    write(solid(4, 4, 0x654321));
    const auto second = next();
    ASSERT_NE(second.image, nullptr);
    EXPECT_EQ(rgb(*second.image, 0, 0), 0x654321u);
    EXPECT_NE(second.version, first.version);
}

TEST_F(PictureCacheTest, RewriteWithOtherStampIsSeenWhenOld)
{
    cache.setRecentWindowNs(0);
    write(solid(4, 4, 0x123456));
    age();
    const quint64 before = next().version;
    write(solid(5, 5, 0x00FF00));
    const auto after = next();
    ASSERT_NE(after.image, nullptr);
    EXPECT_EQ(after.image->size(), QSize(5, 5));
    EXPECT_NE(after.version, before);
}

TEST_F(PictureCacheTest, MissingFileIsReportedOnceAndHeals)
{
    write(solid(4, 4, 0x123456));
    const quint64 good = next().version;
    QFile::remove(path);
    const auto gone = next();
    EXPECT_EQ(gone.image, nullptr);
    EXPECT_TRUE(gone.newFailure);
    EXPECT_FALSE(gone.error.isEmpty());
    for (int tick = 0; tick < 5; ++tick)
        EXPECT_FALSE(next().newFailure);
    write(solid(4, 4, 0x00AA00));
    const auto back = next();
    ASSERT_NE(back.image, nullptr);
    EXPECT_EQ(rgb(*back.image, 1, 1), 0x00AA00u);
    EXPECT_NE(back.version, good);
    QFile::remove(path);
    EXPECT_TRUE(next().newFailure);  // a new episode is reported again
}

TEST_F(PictureCacheTest, HalfWrittenFileKeepsTheLastGoodPictureAndRetries)
{
    write(solid(8, 8, 0x123456));
    ASSERT_NE(next().image, nullptr);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    file.close();
    {
        QFile half(path);
        ASSERT_TRUE(half.open(QIODevice::WriteOnly | QIODevice::Truncate));
        half.write(whole.left(20));
    }
    const auto broken = next();
    EXPECT_EQ(broken.image, nullptr);
    EXPECT_TRUE(broken.newFailure);
    write(solid(8, 8, 0x222222));
    const auto healed = next();
    ASSERT_NE(healed.image, nullptr);
    EXPECT_EQ(rgb(*healed.image, 0, 0), 0x222222u);
}

TEST_F(PictureCacheTest, OversizedHeaderIsRefusedWithoutDecoding)
{
    // A BMP header claiming 60000 x 60000 pixels with no pixel data behind it.
    QByteArray bmp("BM");
    bmp += QByteArray(12, '\0');
    QByteArray info(40, '\0');
    auto put = [&](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            info[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    put(0, 40);
    put(4, 60000);
    put(8, 60000);
    info[12] = 1;
    info[14] = 24;
    bmp += info;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bmp);
    file.close();
    const auto result = next();
    EXPECT_EQ(result.image, nullptr);
    EXPECT_FALSE(result.error.isEmpty());
}

}  // namespace

// A pack folder stands in for gfx/: each catalogue name is read from the pack's BMP, else its
// PNG; a name outside gfx/ stays below the root.
TEST(PictureCachePackTest, ReadsCatalogueNamesFromThePackFolder)
{
    QTemporaryDir root;
    QTemporaryDir pack;
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("gfx/bitblts")));
    ASSERT_TRUE(QDir(pack.path()).mkpath(QStringLiteral("bitblts")));
    ASSERT_TRUE(solid(2, 2, 0x111111).save(root.filePath("gfx/bitblts/1.bmp"), "BMP"));
    ASSERT_TRUE(solid(2, 2, 0x222222).save(pack.filePath("bitblts/1.bmp"), "BMP"));
    ASSERT_TRUE(solid(2, 2, 0x333333).save(pack.filePath("bitblts/2.png"), "PNG"));
    ASSERT_TRUE(solid(2, 2, 0x444444).save(root.filePath("other.bmp"), "BMP"));

    struct Row {
        const char* name;
        QString pack;
        QRgb expected;  // 0: the read fails
    };
    const Row rows[] = {
        {"gfx/bitblts/1.bmp", {}, 0xff111111},
        {"gfx/bitblts/1.bmp", pack.path(), 0xff222222},
        {"gfx/bitblts/2.bmp", pack.path(), 0xff333333},  // only the PNG is there
        {"gfx/bitblts/3.bmp", pack.path(), 0},           // neither
        {"other.bmp", pack.path(), 0xff444444},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PictureCache cache;
        cache.setRoot(root.path());
        cache.setPackFolder(row.pack);
        cache.beginRound();
        const PictureCache::Result result = cache.fetch(QString::fromLatin1(row.name));
        if (row.expected == 0) {
            EXPECT_EQ(result.image, nullptr);
            EXPECT_TRUE(result.path->startsWith(pack.path()));
        } else {
            ASSERT_NE(result.image, nullptr);
            EXPECT_EQ(result.image->pixel(0, 0), row.expected);
        }
    }
}
