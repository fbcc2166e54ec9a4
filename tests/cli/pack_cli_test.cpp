// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-render --pack and --check-pack from the outside.
#include "card/card_file_pack.h"
#include "files/print_card.h"
#include "files/print_profile.h"
#include "render/card_parts.h"
#include "render/part_pack.h"
#include "support/child_process.h"

#include <QDir>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace orvane;

namespace {

QString packsDir()
{
    return QDir(qEnvironmentVariable("ORVANE_BIN_DIR"))
        .filePath(QStringLiteral("../share/orvane/packs"));
}

TEST(PackCli, CheckPackExitsOneOnAnErrorAndListsEveryProblem)
{
    QTemporaryDir dir;
    const QString pack = dir.filePath(QStringLiteral("p"));
    ASSERT_TRUE(QDir().mkpath(pack + QStringLiteral("/bitblts")));
    for (const QString& name : {QStringLiteral("table"), QStringLiteral("sharp4x")}) {
        const ChildRun run =
            render({QStringLiteral("--check-pack"), QDir(packsDir()).filePath(name)});
        EXPECT_EQ(run.exitCode, 0) << run.out.toStdString();
    }
    writeFile(pack + QStringLiteral("/pack.json"), "{\"name\": \"P\", \"extra\": 1}");
    const ChildRun broken = render({QStringLiteral("--check-pack"), pack});
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_EQ(broken.out.count(QStringLiteral("error: ")), 33) << broken.out.toStdString();
    EXPECT_TRUE(
        broken.out.contains(QStringLiteral("warning: pack.json: unknown member \"extra\"")));
    const ChildRun notZip =
        render({QStringLiteral("--check-pack"), pack + QStringLiteral("/pack.json")});
    EXPECT_EQ(notZip.exitCode, 1);
    EXPECT_TRUE(notZip.out.contains(QStringLiteral("not a readable zip"))) << notZip.out.toStdString();
}

TEST(PackCli, PackByNameAtFourTimesUsesItsLargeParts)
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("deck.csv")),
              "name,up,left,right,down,element,arrows\nhero,7,A,2,9,fire,0 7\n");
    const QString out = dir.filePath(QStringLiteral("out"));
    const ChildRun run = render({dir.filePath(QStringLiteral("deck.csv")), QStringLiteral("--out"),
                                 out, QStringLiteral("--scale"), QStringLiteral("4"),
                                 QStringLiteral("--pack"), QStringLiteral("sharp 4x")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage written(QDir(out).filePath(QStringLiteral("hero-blue.png")));
    Card card;
    card.sides = {QStringLiteral("7"), QStringLiteral("A"), QStringLiteral("2"),
                  QStringLiteral("9")};
    card.element = 0;
    card.arrows[0] = card.arrows[7] = true;
    const CardParts builtIn =
        CardParts::load(qEnvironmentVariable("ORVANE_BIN_DIR"), nullptr).value();
    const PackParts pack =
        loadPackParts(QDir(packsDir()).filePath(QStringLiteral("sharp4x")), 4, builtIn);
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), renderCard(card, pack.parts).blue);
    EXPECT_NE(written.convertToFormat(QImage::Format_RGB32),
              renderCard(card, enlargedParts(builtIn, 4)).blue);

    const ChildRun missing =
        render({dir.filePath(QStringLiteral("deck.csv")), QStringLiteral("--out"), out,
                QStringLiteral("--pack"), QStringLiteral("No Such Pack")});
    EXPECT_EQ(missing.exitCode, 0);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("\"No Such Pack\" is not installed")))
        << missing.err.toStdString();
}

// The deck row "hero,7,A,2,9,fire" as a card, and drawn with `pack` (empty: built in).
Card heroCard()
{
    Card card;
    card.sides = {QStringLiteral("7"), QStringLiteral("A"), QStringLiteral("2"),
                  QStringLiteral("9")};
    card.element = 0;
    return card;
}

RenderedCard hero(int scale, const QString& pack = QStringLiteral("sharp4x"))
{
    const CardParts builtIn =
        CardParts::load(qEnvironmentVariable("ORVANE_BIN_DIR"), nullptr).value();
    return renderCard(heroCard(),
                      pack.isEmpty()
                          ? enlargedParts(builtIn, scale)
                          : loadPackParts(QDir(packsDir()).filePath(pack), scale, builtIn).parts);
}

QImage rgb(const QString& path, const QRect& part = {})
{
    const QImage image = QImage(path).convertToFormat(QImage::Format_RGB32);
    return part.isNull() ? image : image.copy(part);
}

// Each output showing a card larger than 1 x draws it at that scale with the pack's larger
// parts, as --scale does: deck sheets and atlas (2 x), the sheet's pictures (4 x for 20.9 mm),
// a print service's pictures (12 x), a thumbnail of a card file kept with the pack (4 x).
TEST(PackCli, EveryOutputAtAScaleUsesThePacksLargerParts)
{
    QTemporaryDir dir;
    const auto at = [&dir](const char* name) { return dir.filePath(QLatin1String(name)); };
    const QString deck = at("deck.csv");
    writeFile(deck, "name,up,left,right,down,element\nhero,7,A,2,9,fire\n");
    ASSERT_EQ(render({deck, "--out", at("out"), "--scale", "2", "--pack", "sharp 4x", "--tts",
                      at("tts"), "--atlas", at("atlas.png"), "--sheet", at("sheet.pdf"),
                      "--card-mm", "20.9", "--quiet"})
                  .exitCode,
              0);
    ASSERT_NE(hero(2).blue, enlargedPicture(hero(1).blue, 2));  // the pack has 2 x drawings
    EXPECT_EQ(rgb(at("tts/deck-blue-1.png"), {0, 0, 124, 124}), hero(2).blue);
    // Frames in order, blue then red, each 124 pixels: the red one is the second.
    EXPECT_EQ(rgb(at("atlas.png"), {124, 0, 124, 124}), hero(2).red);
    if (!QStandardPaths::findExecutable(QStringLiteral("pdfimages")).isEmpty()) {
        ASSERT_EQ(
            runChild(QStringLiteral("pdfimages"), {"-png", at("sheet.pdf"), at("img")}).exitCode,
            0);
        EXPECT_EQ(rgb(at("img-000.png")), hero(4).blue);
        EXPECT_EQ(rgb(at("img-001.png")), hero(4).red);
    }
    ASSERT_EQ(render({deck, "--out", at("out"), "--pack", "sharp 4x", "--print", at("print"),
                      "--profile", "service-300", "--quiet"})
                  .exitCode,
              0);
    const PrintCardGeometry geometry =
        printCardGeometry(*loadPrintProfile(QStringLiteral("service-300"), nullptr));
    const QStringList fronts = QDir(at("print")).entryList({"*hero-blue-front*"}, QDir::Files);
    ASSERT_EQ(fronts.size(), 1);
    EXPECT_EQ(rgb(at("print/") + fronts[0], geometry.facePx), hero(12).blue);

    ASSERT_TRUE(
        writeCardFileWithPack(heroCard(), QStringLiteral("Sharp 4x"), at("c.orvcard"), nullptr));
    ASSERT_EQ(render({"--thumbnail", at("c.orvcard"), at("thumb.png"), "256"}).exitCode, 0);
    EXPECT_EQ(rgb(at("thumb.png")), hero(4).blue);
}

// A row's picture prepared from a larger file is prepared again from it on a sheet drawn
// larger, as --scale does: the print sheet's card at 4 x (20.9 mm) is the 4 x card picture.
TEST(PackCli, APhotoOnASheetIsPreparedAgainAtTheSheetsScale)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdfimages")).isEmpty())
        GTEST_SKIP() << "pdfimages is missing";
    QTemporaryDir dir;
    const auto at = [&dir](const char* name) { return dir.filePath(QLatin1String(name)); };
    QImage photo(248, 248, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, (x + y) % 2 ? qRgb(240, 200, 40) : qRgb(30, 60, 200 - y / 2));
    ASSERT_TRUE(photo.save(at("photo.png")));
    writeFile(at("deck.csv"), "name,up,left,right,down,picture,fit\nphoto,7,A,2,9,photo.png,fit\n");
    ASSERT_EQ(render({at("deck.csv"), "--out", at("big"), "--scale", "4", "--quiet"}).exitCode, 0);
    ASSERT_EQ(render({at("deck.csv"), "--out", at("out"), "--sheet", at("sheet.pdf"), "--card-mm",
                      "20.9", "--quiet"})
                  .exitCode,
              0);
    ASSERT_EQ(runChild(QStringLiteral("pdfimages"), {"-png", at("sheet.pdf"), at("img")}).exitCode,
              0);
    const QImage card = rgb(at("big/photo-blue.png"));
    ASSERT_EQ(card.size(), QSize(248, 248));
    ASSERT_NE(card, enlargedPicture(rgb(at("out/photo-blue.png")), 4));  // sharper than enlarged
    EXPECT_EQ(rgb(at("img-000.png")), card);
}

// The pack column draws each row with its pack (an installed pack's name, a folder relative to
// the deck); a pack not installed is told for its row, drawn with the built-in parts. The run's
// pack's own back replaces ours, not the user's.
TEST(PackCli, EachRowIsDrawnWithItsPackAndThePacksBackIsUsed)
{
    QTemporaryDir dir;
    const QString pack = dir.filePath(QStringLiteral("backed"));
    ASSERT_TRUE(QDir().mkpath(pack));
    writeFile(pack + "/pack.json", R"({"name": "Backed", "card_back": "b.png"})");
    QImage back(62, 62, QImage::Format_RGB32);
    back.fill(qRgb(200, 30, 160));
    ASSERT_TRUE(back.save(pack + "/b.png"));
    const QString deck = dir.filePath(QStringLiteral("deck.csv"));
    writeFile(deck, QStringLiteral("name,up,left,right,down,element,pack\nplain,7,A,2,9,fire,\n"
                                   "named,7,A,2,9,fire,SHARP 4X\nfolder,7,A,2,9,fire,%1\n"
                                   "lost,7,A,2,9,fire,No Such Pack\n")
                        .arg(QDir(dir.path()).relativeFilePath(packsDir() + "/table"))
                        .toUtf8());
    const ChildRun run = render({deck, "--out", dir.filePath("out"), "--scale", "4", "--pack", pack,
                                 "--tts", dir.filePath("tts"), "--back", "builtin"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err.count(QStringLiteral("column pack: the pack \"No Such Pack\" is not")), 1);
    EXPECT_EQ(rgb(dir.filePath("tts/deck-back.png")), enlargedPicture(back, 4));
    const std::pair<const char*, QString> rows[] = {
        {"named", "sharp4x"}, {"folder", "table"}, {"lost", {}}};
    for (const auto& [name, drawnWith] : rows)
        EXPECT_EQ(rgb(dir.filePath(QStringLiteral("out/%1-red.png").arg(name))),
                  hero(4, drawnWith).red)
            << name;
    // A back of the user's own is read as it is (here: not a picture).
    EXPECT_EQ(render({deck, "--out", dir.filePath("out"), "--pack", pack, "--tts",
                      dir.filePath("tts"), "--back", deck})
                  .exitCode,
              1);
}

}  // namespace
