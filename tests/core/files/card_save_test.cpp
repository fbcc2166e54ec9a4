// SPDX-License-Identifier: GPL-3.0-or-later
// Saving a card's bitmap and JPEG: both or neither, and nothing lost on a failing disk.
#include "files/card_save.h"
#include "files/imageutils_library.h"
#include "support/images.h"
#include "support/small_disk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace orvane;

namespace {

QString converterPath()
{
    return qEnvironmentVariable("ORVANE_BIN_DIR") + QStringLiteral("/libImageUtils.so");
}

QMap<QString, QByteArray> filesIn(const QString& folder)
{
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile file(QDir(folder).filePath(name));
        files[name] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?");
    }
    return files;
}

// A card that compresses badly: its JPEG takes several disk pages.
QImage noisyCard()
{
    QImage card(62, 62, QImage::Format_RGB32);
    quint32 state = 12345;
    for (int y = 0; y < 62; ++y)
        for (int x = 0; x < 62; ++x) {
            state = state * 1664525u + 1013904223u;
            card.setPixel(x, y, state >> 8);
        }
    return card;
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

TEST(SaveCard, WritesBothFilesAndReplacesOldOnes)
{
    QTemporaryDir dir;
    ImageUtilsLibrary converter(converterPath());
    const CardFiles files = cardFilesFor(dir.filePath(QStringLiteral("hero")));
    EXPECT_EQ(files.jpeg, dir.filePath(QStringLiteral("hero.jpg")));
    EXPECT_TRUE(existingCardFiles(files).isEmpty());
    put(files.bitmap, "the user's own drawing");
    EXPECT_EQ(existingCardFiles(files), QStringList({files.bitmap}));
    put(files.jpeg, "an old card");
    EXPECT_EQ(existingCardFiles(files), QStringList({files.jpeg, files.bitmap}));

    const QImage card = gradient(62, 62);
    QString failed, error;
    ASSERT_TRUE(saveCard(card, files, converter, &failed, &error)) << error.toStdString();
    EXPECT_EQ(QImage(files.bitmap).convertToFormat(QImage::Format_RGB32), card);
    EXPECT_EQ(QImage(files.jpeg, "JPEG").size(), QSize(62, 62));
    EXPECT_EQ(filesIn(dir.path()).keys(), QStringList({"hero.bmp", "hero.jpg"}));
}

mode_t modeOf(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// New files get the mode the user's umask gives every new file; a replaced file keeps its own.
TEST(SaveCard, FileModesFollowTheUmaskAndSurviveAReplace)
{
    QTemporaryDir dir;
    ImageUtilsLibrary converter(converterPath());
    const struct {
        mode_t umask;
        mode_t oldMode;  // 0: no file there before
        mode_t expected;
    } cases[] = {
        {022, 0, 0644}, {077, 0, 0600}, {002, 0, 0664}, {022, 0600, 0600}, {077, 0664, 0664},
    };
    int k = 0;
    for (const auto& c : cases) {
        const CardFiles files = cardFilesFor(dir.filePath(QStringLiteral("card%1").arg(k++)));
        if (c.oldMode != 0)
            for (const QString& path : {files.jpeg, files.bitmap}) {
                put(path, "old");
                ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), c.oldMode), 0);
            }
        const mode_t saved = ::umask(c.umask);
        QString failed, error;
        const bool ok = saveCard(gradient(62, 62), files, converter, &failed, &error);
        ::umask(saved);
        ASSERT_TRUE(ok) << error.toStdString();
        EXPECT_EQ(modeOf(files.bitmap), c.expected) << "bitmap, umask " << c.umask;
        EXPECT_EQ(modeOf(files.jpeg), c.expected) << "jpeg, umask " << c.umask;
    }
}

// File names up to the system's limit of 255 bytes save; the temporaries never need more room
// than the names they stand for.
TEST(SaveCard, LongNamesAndDeepPathsSave)
{
    QTemporaryDir dir;
    QString deep = dir.path();
    for (int k = 0; k < 12; ++k)
        deep += QLatin1Char('/') + QString(60, QLatin1Char('d'));  // a path of over 700 bytes
    ASSERT_TRUE(QDir().mkpath(deep));
    ImageUtilsLibrary converter(converterPath());
    for (const QString& name :
         {QString(251, QLatin1Char('n')) + QStringLiteral(".jpg"),  // 255 bytes: the most
          QString(120, QChar(0xe9)) + QStringLiteral(".jpg")}) {    // 244 bytes of UTF-8
        const CardFiles files = cardFilesFor(deep + QLatin1Char('/') + name);
        QString failed, error;
        EXPECT_TRUE(saveCard(gradient(62, 62), files, converter, &failed, &error))
            << error.toStdString();
        EXPECT_EQ(QImage(files.jpeg, "JPEG").size(), QSize(62, 62));
        EXPECT_EQ(filesIn(deep).size(), 2);
        for (const QString& path : {files.jpeg, files.bitmap})
            QFile::remove(path);
    }
}

TEST(SaveCard, AFailureChangesNoFileAndLeavesNoTemporary)
{
    QTemporaryDir dir;
    put(dir.filePath(QStringLiteral("card.jpg")), "old jpeg");
    put(dir.filePath(QStringLiteral("card.bmp")), "old bitmap");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.bmp")));
    put(dir.filePath(QStringLiteral("folder.jpg")), "old jpeg beside a folder");
    const auto before = filesIn(dir.path());
    ImageUtilsLibrary working(converterPath());
    ImageUtilsLibrary missing(dir.filePath(QStringLiteral("libMissing.so")));
    const struct {
        const char* name;
        ImageUtilsLibrary* converter;
        const char* failedFile;
    } cases[] = {
        {"card", &missing, "card.jpg"},           // no converter: the JPEG cannot be made
        {"folder", &working, "folder.bmp"},       // a folder where the bitmap goes
        {"no/such/folder/x", &working, "x.bmp"},  // nowhere to write
    };
    for (const auto& c : cases) {
        QString failed, error;
        EXPECT_FALSE(saveCard(gradient(62, 62), cardFilesFor(dir.filePath(QLatin1String(c.name))),
                              *c.converter, &failed, &error))
            << c.name;
        EXPECT_TRUE(failed.endsWith(QLatin1String(c.failedFile))) << failed.toStdString();
        EXPECT_FALSE(error.isEmpty()) << c.name;
        EXPECT_EQ(filesIn(dir.path()), before) << c.name;
    }
}

// A disk that fills up while the card is written: with room for nothing, for part of the bitmap,
// for the bitmap only (3 pages), for the bitmap and part of the JPEG (5 of 6 or 7 pages). The old
// pair stays byte for byte.
TEST(SaveCard, AFullDiskKeepsTheOldPair)
{
    constexpr qint64 Page = 4096;  // tmpfs counts whole pages
    for (const qint64 pagesLeft : {0, 1, 3, 5}) {
        SmallDisk disk(256);
        if (!disk.mounted())
            GTEST_SKIP() << "a memory disk cannot be mounted here (needs root)";
        put(disk.filePath(QStringLiteral("card.jpg")), QByteArray(5000, 'j'));
        put(disk.filePath(QStringLiteral("card.bmp")), QByteArray(9000, 'b'));
        ASSERT_TRUE(disk.fillLeaving(pagesLeft * Page));
        const auto before = disk.contents();
        ImageUtilsLibrary converter(converterPath());
        QString failed, error;
        EXPECT_FALSE(saveCard(noisyCard(), cardFilesFor(disk.filePath("card.jpg")), converter,
                              &failed, &error))
            << pagesLeft << " pages left";
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(disk.contents(), before) << pagesLeft << " pages left";
    }
    // With room for both, the card is saved.
    SmallDisk disk(256);
    put(disk.filePath(QStringLiteral("card.jpg")), QByteArray(5000, 'j'));
    ASSERT_TRUE(disk.fillLeaving(16 * Page));
    ImageUtilsLibrary converter(converterPath());
    QString failed, error;
    EXPECT_TRUE(
        saveCard(noisyCard(), cardFilesFor(disk.filePath("card.jpg")), converter, &failed, &error))
        << error.toStdString();
    EXPECT_EQ(disk.contents().keys(), QStringList({"card.bmp", "card.jpg", "filler"}));
}

TEST(SaveCard, AReadOnlyDiskKeepsTheOldPair)
{
    SmallDisk disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << "a memory disk cannot be mounted here (needs root)";
    put(disk.filePath(QStringLiteral("card.jpg")), "old jpeg");
    put(disk.filePath(QStringLiteral("card.bmp")), "old bitmap");
    ASSERT_TRUE(disk.makeReadOnly());
    const auto before = disk.contents();
    ImageUtilsLibrary converter(converterPath());
    QString failed, error;
    EXPECT_FALSE(saveCard(gradient(62, 62), cardFilesFor(disk.filePath("card.jpg")), converter,
                          &failed, &error));
    EXPECT_EQ(disk.contents(), before);
}

}  // namespace
