// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-render --pack and --check-pack from the outside.
#include "card/card_file_pack.h"
#include "files/print_card.h"
#include "files/print_profile.h"
#include "render/card_parts.h"
#include "render/part_pack.h"
#include "support/child_process.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
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

// The deck row "hero,7,A,2,9,fire,0 7" as a card.
Card heroCard()
{
    Card card;
    card.name = QStringLiteral("hero");
    card.sides = {QStringLiteral("7"), QStringLiteral("A"), QStringLiteral("2"),
                  QStringLiteral("9")};
    card.element = 0;
    card.arrows[0] = card.arrows[7] = true;
    return card;
}

// The hero card as orvane-render --scale N --pack "Sharp 4x" draws it.
QImage sharpHero(int scale, bool blue = true)
{
    const CardParts builtIn =
        CardParts::load(qEnvironmentVariable("ORVANE_BIN_DIR"), nullptr).value();
    const PackParts pack =
        loadPackParts(QDir(packsDir()).filePath(QStringLiteral("sharp4x")), scale, builtIn);
    const RenderedCard card = renderCard(heroCard(), pack.parts);
    return blue ? card.blue : card.red;
}

QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

// Every output that shows a card larger than 1 x draws it at that scale with the pack's
// larger parts: the same pixels as the card picture at that scale.
TEST(PackCli, EveryOutputAtAScaleUsesThePacksLargerParts)
{
    QTemporaryDir dir;
    const QString deck = dir.filePath(QStringLiteral("deck.csv"));
    writeFile(deck, "name,up,left,right,down,element,arrows\nhero,7,A,2,9,fire,0 7\n");
    const QString sheet = dir.filePath(QStringLiteral("sheet.pdf"));
    // 20.9 mm at 300 dpi: each card pixel 4 x 4 in the sheet's picture.
    const ChildRun run =
        render({deck, "--out", dir.filePath("out"), "--scale", "2", "--pack", "sharp 4x", "--tts",
                dir.filePath("tts"), "--atlas", dir.filePath("atlas.png"), "--sheet", sheet,
                "--card-mm", "20.9", "--quiet"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    ASSERT_EQ(rgb(QImage(dir.filePath("out/hero-blue.png"))), sharpHero(2));
    ASSERT_NE(sharpHero(2), rgb(enlargedPicture(sharpHero(1), 2)));

    const QImage tabletop(dir.filePath(QStringLiteral("tts/deck-blue-1.png")));
    ASSERT_FALSE(tabletop.isNull())
        << QDir(dir.filePath("tts")).entryList().join(' ').toStdString();
    EXPECT_EQ(rgb(tabletop.copy(0, 0, 124, 124)), sharpHero(2));

    const QJsonObject frame =
        QJsonDocument::fromJson([&] {
            QFile index(dir.filePath(QStringLiteral("atlas.json")));
            return index.open(QIODevice::ReadOnly) ? index.readAll() : QByteArray();
        }())
            .object()["frames"]
            .toObject()["hero-red"]
            .toObject()["frame"]
            .toObject();
    EXPECT_EQ(rgb(QImage(dir.filePath("atlas.png"))
                      .copy(frame["x"].toInt(), frame["y"].toInt(), frame["w"].toInt(),
                            frame["h"].toInt())),
              sharpHero(2, false));

    if (!QStandardPaths::findExecutable(QStringLiteral("pdfimages")).isEmpty()) {
        const ChildRun images = runChild(QStringLiteral("pdfimages"),
                                         {"-png", sheet, dir.filePath(QStringLiteral("img"))});
        ASSERT_EQ(images.exitCode, 0);
        QList<QImage> embedded;
        for (const QString& name : QDir(dir.path()).entryList({"img-*.png"}, QDir::Files))
            embedded << rgb(QImage(dir.filePath(name)));
        EXPECT_TRUE(embedded.contains(sharpHero(4))) << embedded.size();
        EXPECT_TRUE(embedded.contains(sharpHero(4, false)));
    }

    // A print service's picture: the face at 12 x, centred in the trim.
    const ChildRun print =
        render({deck, "--out", dir.filePath("out"), "--pack", "sharp 4x", "--print",
                dir.filePath("print"), "--profile", "service-300", "--quiet"});
    ASSERT_EQ(print.exitCode, 0) << print.err.toStdString();
    QString error;
    const PrintProfile profile = loadPrintProfile(QStringLiteral("service-300"), &error).value();
    const PrintCardGeometry geometry = printCardGeometry(profile);
    ASSERT_EQ(geometry.scale, 12);
    const QStringList fronts =
        QDir(dir.filePath("print")).entryList({"*hero-blue-front*.png"}, QDir::Files);
    ASSERT_EQ(fronts.size(), 1) << QDir(dir.filePath("print")).entryList().join(' ').toStdString();
    EXPECT_EQ(rgb(QImage(dir.filePath("print/" + fronts[0])).copy(geometry.facePx)), sharpHero(12));

    // The thumbnail of a card file kept with the pack: drawn at 4 x with its parts.
    const QString file = dir.filePath(QStringLiteral("hero.orvcard"));
    ASSERT_TRUE(writeCardFileWithPack(heroCard(), QStringLiteral("Sharp 4x"), file, &error));
    const QString thumb = dir.filePath(QStringLiteral("thumb.png"));
    ASSERT_EQ(render({"--thumbnail", file, thumb, "256"}).exitCode, 0);
    EXPECT_EQ(rgb(QImage(thumb)), sharpHero(4));
}

// A deck's pack column draws each row with its own pack: by an installed pack's name or a
// folder relative to the deck; an empty cell takes the run's pack; a pack not installed is
// told for its row, which is drawn with the built-in parts.
TEST(PackCli, EachRowIsDrawnWithThePackItsPackCellNames)
{
    QTemporaryDir dir;
    const QString table = QDir(packsDir()).filePath(QStringLiteral("table"));
    const QString sharp = QDir(packsDir()).filePath(QStringLiteral("sharp4x"));
    const QString relative = QDir(dir.path()).relativeFilePath(table);
    const QString deck = dir.filePath(QStringLiteral("deck.csv"));
    writeFile(deck, QStringLiteral("name,up,left,right,down,element,pack\n"
                                   "plain,7,A,2,9,fire,\n"
                                   "named,7,A,2,9,fire,SHARP 4X\n"
                                   "folder,7,A,2,9,fire,%1\n"
                                   "lost,7,A,2,9,fire,No Such Pack\n")
                        .arg(relative)
                        .toUtf8());
    const ChildRun run =
        render({deck, "--out", dir.filePath("out"), "--scale", "4", "--pack", "table", "--quiet"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("deck.csv:5: column pack: the pack \"No Such "
                                                "Pack\" is not installed")))
        << run.err.toStdString();
    EXPECT_EQ(run.err.count(QStringLiteral("column pack")), 1) << run.err.toStdString();

    const CardParts builtIn =
        CardParts::load(qEnvironmentVariable("ORVANE_BIN_DIR"), nullptr).value();
    Card card = heroCard();
    const struct {
        const char* name;
        QString pack;  // empty: the built-in parts
    } cases[] = {{"plain", table}, {"named", sharp}, {"folder", table}, {"lost", {}}};
    for (const auto& c : cases) {
        card.name = c.name;
        card.arrows = {};
        const CardParts parts =
            c.pack.isEmpty() ? enlargedParts(builtIn, 4) : loadPackParts(c.pack, 4, builtIn).parts;
        EXPECT_EQ(rgb(QImage(dir.filePath(QStringLiteral("out/%1-red.png").arg(c.name)))),
                  renderCard(card, parts).red)
            << c.name;
    }
}

// A pack whose manifest names its own back takes the place of ours on every output that prints
// backs; a back the user chose wins.
TEST(PackCli, ThePacksBackReplacesOursButNotTheUsers)
{
    QTemporaryDir dir;
    const QString pack = dir.filePath(QStringLiteral("with-back"));
    ASSERT_TRUE(QDir().mkpath(pack));
    const QString sharp = QDir(packsDir()).filePath(QStringLiteral("sharp4x"));
    for (const QString& sub : {QStringLiteral("bitblts"), QStringLiteral("arrows")}) {
        ASSERT_TRUE(QDir().mkpath(QDir(pack).filePath(sub)));
        for (const QString& name : QDir(QDir(sharp).filePath(sub)).entryList(QDir::Files))
            QFile::copy(QDir(sharp).filePath(sub + "/" + name),
                        QDir(pack).filePath(sub + "/" + name));
    }
    writeFile(QDir(pack).filePath(QStringLiteral("pack.json")),
              "{\"name\": \"With Back\", \"card_back\": \"back.png\"}");
    const auto solid = [](QRgb colour) {
        QImage image(62, 62, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    };
    const QRgb packColour = qRgb(200, 30, 160);
    const QRgb userColour = qRgb(20, 180, 40);
    ASSERT_TRUE(solid(packColour).save(QDir(pack).filePath(QStringLiteral("back.png"))));
    const QString userBack = dir.filePath(QStringLiteral("mine.png"));
    ASSERT_TRUE(solid(userColour).save(userBack));
    const QString deck = dir.filePath(QStringLiteral("deck.csv"));
    writeFile(deck, "name,up,left,right,down\nhero,7,A,2,9\n");

    const struct {
        QStringList back;  // the --back option
        bool packBack;     // the pack's back, else the user's
    } cases[] = {{{}, true}, {{"--back", "builtin"}, true}, {{"--back", userBack}, false}};
    for (const auto& c : cases) {
        const QString tts = dir.filePath(QStringLiteral("tts"));
        QDir(tts).removeRecursively();
        const ChildRun run = render(QStringList{deck, "--out", dir.filePath("out"), "--pack", pack,
                                                "--tts", tts, "--quiet"} +
                                    c.back);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QImage back(QDir(tts).filePath(QStringLiteral("deck-back.png")));
        ASSERT_FALSE(back.isNull()) << c.back.join(' ').toStdString();
        EXPECT_EQ(back.pixel(5, 5) & 0xFFFFFF, (c.packBack ? packColour : userColour) & 0xFFFFFF)
            << c.back.join(' ').toStdString();
    }
    // Print pictures with our back: the pack's back is printed.
    const ChildRun print =
        render({deck, "--out", dir.filePath("out"), "--pack", pack, "--print",
                dir.filePath("print"), "--profile", "service-300", "--back", "builtin", "--quiet"});
    ASSERT_EQ(print.exitCode, 0) << print.err.toStdString();
    const QStringList backs = QDir(dir.filePath("print")).entryList({"*back*.png"}, QDir::Files);
    ASSERT_FALSE(backs.isEmpty())
        << QDir(dir.filePath("print")).entryList().join(' ').toStdString();
    EXPECT_EQ(QImage(dir.filePath("print/" + backs[0])).pixel(412, 412) & 0xFFFFFF,
              packColour & 0xFFFFFF);
}

}  // namespace
