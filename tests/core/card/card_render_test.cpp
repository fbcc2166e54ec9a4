// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/card.h"
#include "files/card_export.h"
#include "files/card_save.h"
#include "files/imageutils_library.h"
#include "render/asset_catalogue.h"
#include "render/card_parts.h"
#include "support/images.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace orvane;

namespace {

QString binDir()
{
    return qEnvironmentVariable("ORVANE_BIN_DIR");
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const CardParts& builtParts()
{
    static const CardParts parts = [] {
        QString error;
        auto loaded = CardParts::load(binDir(), &error);
        EXPECT_TRUE(loaded) << error.toStdString();
        return loaded.value_or(CardParts{});
    }();
    return parts;
}

TEST(CardParts, LoadNamesEveryMissingFile)
{
    QTemporaryDir dir;
    for (const QString& name : assets::allFiles()) {
        QDir().mkpath(QFileInfo(dir.filePath(name)).path());
        QFile::copy(QDir(binDir()).filePath(name), dir.filePath(name));
    }
    QString error;
    ASSERT_TRUE(CardParts::load(dir.path(), &error)) << error.toStdString();

    QFile::remove(dir.filePath(QStringLiteral("gfx/bitblts/7.bmp")));
    QFile(dir.filePath(QStringLiteral("gfx/arrows/arrow 3.bmp"))).open(QIODevice::WriteOnly);
    EXPECT_FALSE(CardParts::load(dir.path(), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("2 of the 33 card parts"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("gfx/bitblts/7.bmp (the file does not exist)")));
    EXPECT_TRUE(error.contains(QStringLiteral("gfx/arrows/arrow 3.bmp (the file is empty)")));
}

TEST(RenderCard, LayersFollowTheCard)
{
    const CardParts& parts = builtParts();
    Card card;
    const RenderedCard plain = renderCard(card, parts);
    ASSERT_EQ(plain.blue.size(), QSize(62, 62));
    // No main picture: the clean base shows wherever the frame and icons leave it free.
    EXPECT_EQ(plain.blue.pixel(31, 40), parts.blueBase.pixel(31, 40));
    EXPECT_EQ(plain.red.pixel(31, 40), parts.redBase.pixel(31, 40));

    card.mainPicture = solid(62, 62, qRgb(1, 2, 3));
    const RenderedCard covered = renderCard(card, parts);
    EXPECT_EQ(rgb(covered.blue, 31, 40), qRgb(1, 2, 3) & 0xFFFFFF);
    EXPECT_EQ(covered.blue.pixel(31, 40), covered.red.pixel(31, 40));

    card.x = card.y = 62;  // pushed off the card entirely
    EXPECT_EQ(renderCard(card, parts).blue, plain.blue);

    card.x = card.y = 0;
    card.arrows[7] = true;
    EXPECT_NE(renderCard(card, parts).blue, covered.blue);
    card.sides = {"x", "A", "A", "A"};  // no digit for "x": that layer draws nothing
    EXPECT_NE(renderCard(card, parts).blue, covered.blue);
}

TEST(CardExport, EncodingsMatchSaveCard)
{
    const RenderedCard card = renderCard(Card{}, builtParts());
    QTemporaryDir dir;
    const QString bmp = dir.filePath(QStringLiteral("c.bmp"));
    const QString jpg = dir.filePath(QStringLiteral("c.jpg"));
    QString error;
    ASSERT_TRUE(writeBitmap(card.blue, bmp, &error)) << error.toStdString();
    ImageUtilsLibrary converter(QDir(binDir()).filePath(QStringLiteral("libImageUtils.so")));
    ASSERT_TRUE(converter.ConvertBMPtoJPG(bmp, jpg, &error)) << error.toStdString();

    EXPECT_EQ(encodeCardPicture(card.blue, ExportFormat::Bmp, 1, &error), fileBytes(bmp));
    EXPECT_EQ(encodeCardPicture(card.blue, ExportFormat::Jpeg, 1, &error), fileBytes(jpg));
    const QImage png =
        QImage::fromData(encodeCardPicture(card.blue, ExportFormat::Png, 1, &error), "png");
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32), card.blue);

    EXPECT_TRUE(encodeCardPicture(card.blue, ExportFormat::Png, 17, &error).isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("scale")));
    EXPECT_TRUE(encodeCardPicture(QImage(), ExportFormat::Png, 1, &error).isEmpty());
}

TEST(CardExport, ScaleMakesEveryPixelABlock)
{
    const QImage card = gradient(62, 62);
    for (int scale : {1, 2, 5, 16}) {
        const QImage big = scaleCardPicture(card, scale);
        ASSERT_EQ(big.size(), QSize(62 * scale, 62 * scale));
        for (int y = 0; y < big.height(); ++y)
            for (int x = 0; x < big.width(); ++x)
                ASSERT_EQ(big.pixel(x, y), card.pixel(x / scale, y / scale)) << scale;
    }
}

TEST(CardExport, SafeNamesAndFileNames)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Hero: 1/2", "Hero_ 1_2"},
        {"a\\b*c?d\"e<f>g|h", "a_b_c_d_e_f_g_h"},
        {"  .hidden. ", "hidden"},
        {"", "card"},
        {"...", "card"},
        {"tab\there", "tab_here"},
        {"Ünïcode", "Ünïcode"},
    };
    for (const auto& [name, safe] : cases)
        EXPECT_EQ(safeFileName(QString::fromUtf8(name)), QString::fromUtf8(safe)) << name;
    EXPECT_EQ(exportFileName(QStringLiteral("Hero"), CardColour::Blue, ExportFormat::Png),
              QStringLiteral("Hero-blue.png"));
    EXPECT_EQ(exportFileName(QStringLiteral("Hero"), CardColour::Red, ExportFormat::Jpeg),
              QStringLiteral("Hero-red.jpg"));
}

TEST(CardNames, ANameElseTheFilesBaseName)
{
    struct Case {
        const char* name;
        const char* path;
        const char* shown;
    };
    const Case cases[] = {
        {"Slime", "/decks/goblin.card", "Slime"},
        {"", "/decks/goblin.card", "goblin"},
        {"   ", "/decks/goblin.card", "goblin"},  // a blank name makes no file name
        {"", "/decks/two.dots.card", "two.dots"},
        {"", "", ""},
        {" Slime ", "", " Slime "},  // a real name is kept as typed
    };
    for (const Case& c : cases) {
        Card card;
        card.name = QString::fromUtf8(c.name);
        EXPECT_EQ(displayName(card, QString::fromUtf8(c.path)), QString::fromUtf8(c.shown))
            << c.name << " " << c.path;
    }
}

TEST(CardExport, AtomicWriteReplacesWholeOrNotAtAll)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("card.png"));
    QString error;
    for (bool sync : {false, true}) {
        ASSERT_TRUE(writeFileAtomically(path, "old", &error, sync));
        ASSERT_TRUE(writeFileAtomically(path, "new contents", &error, sync));
        EXPECT_EQ(fileBytes(path), QByteArray("new contents"));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("card.png")});

    // A target that cannot be replaced (a folder of that name) keeps what is there.
    QDir(dir.path()).mkdir(QStringLiteral("taken.png"));
    EXPECT_FALSE(writeFileAtomically(dir.filePath(QStringLiteral("taken.png")), "x", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(writeFileAtomically(dir.filePath(QStringLiteral("none/x.png")), "x", &error));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("card.png")});
}

}  // namespace
