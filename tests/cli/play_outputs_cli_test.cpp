// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-render's deck sheets, atlas, print sheet finishing, thumbnail and version from the
// outside: the files written, read back, against the core's own cards.
#include "card/card_file.h"
#include "files/card_export.h"
#include "files/card_sheet.h"
#include "files/play_outputs.h"
#include "orvane_version.h"
#include "render/card_parts.h"
#include "support/child_process.h"
#include "support/images.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <cmath>

using namespace orvane;

namespace {

QJsonObject readJson(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object()
                                          : QJsonObject();
}

QImage readRgb(const QString& path)
{
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

// A deck of `count` cards, each with its own sides and name, in a folder of its own.
struct Deck {
    QTemporaryDir dir;
    QString csv;
    QStringList names;

    explicit Deck(int count)
    {
        csv = dir.filePath(QStringLiteral("set.csv"));
        QByteArray text = "name,up,left,right,down,arrows\n";
        for (int k = 0; k < count; ++k) {
            names << QStringLiteral("Card %1").arg(k);
            text += QStringLiteral("Card %1,%2,%3,%4,%5,%6\n")
                        .arg(k)
                        .arg(k % 9 + 1)
                        .arg((k / 9) % 9 + 1)
                        .arg((k * 7) % 9 + 1)
                        .arg(k % 2 ? "A" : "1")
                        .arg(k % 8)
                        .toUtf8();
        }
        writeFile(csv, text);
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    // The card as orvane-render writes it on its own.
    QImage card(int k, CardColour colour) const
    {
        return readRgb(path(QStringLiteral("out/%1-%2.png").arg(names[k], colourName(colour))));
    }
};

bool holds(const QImage& image, const QImage& picture, QPoint at)
{
    return image.copy(QRect(at, picture.size())).convertToFormat(QImage::Format_RGB32) ==
           picture.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

TEST(PlayOutputsCli, DeckSheetsSplitAtSixtyNineAndHoldEveryCard)
{
    Deck deck(70);
    const QString tts = deck.path(QStringLiteral("tts"));
    const ChildRun result = render({deck.csv, "--out", deck.path("out"), "--tts", tts, "--quiet"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();

    const int scale = 6;
    const int cell = 62 * scale;
    const QImage back = readRgb(QDir(tts).filePath(QStringLiteral("set-back.png")));
    ASSERT_EQ(back, scaleCardPicture(builtinCardBack(), scale));
    int firstDeckId = 1;
    for (const CardColour side : {CardColour::Blue, CardColour::Red}) {
        const QString colour = colourName(side);
        const QImage first = readRgb(QDir(tts).filePath("set-" + colour + "-1.png"));
        const QImage second = readRgb(QDir(tts).filePath("set-" + colour + "-2.png"));
        ASSERT_EQ(first.size(), QSize(3720, 2604));
        ASSERT_EQ(second.size(), QSize(2 * cell, 2 * cell));
        for (int k = 0; k < 69; ++k) {
            EXPECT_TRUE(holds(first, scaleCardPicture(deck.card(k, side), scale),
                              {k % 10 * cell, k / 10 * cell}))
                << colour.toStdString() << " card " << k;
        }
        EXPECT_TRUE(holds(first, back, {9 * cell, 6 * cell}));
        EXPECT_TRUE(holds(second, scaleCardPicture(deck.card(69, side), scale), {0, 0}));
        EXPECT_TRUE(holds(second, back, {cell, cell}));

        // The saved object names the written sheets and follows the table's numbering.
        const QJsonObject saved = readJson(QDir(tts).filePath("set-" + colour + ".json"));
        const QJsonObject object = saved["ObjectStates"].toArray()[0].toObject();
        EXPECT_EQ(object["Name"].toString(), QStringLiteral("DeckCustom"));
        const QJsonObject decks = object["CustomDeck"].toObject();
        ASSERT_EQ(decks.size(), 2);
        for (int sheet = 0; sheet < 2; ++sheet) {
            const QJsonObject entry = decks[QString::number(firstDeckId + sheet)].toObject();
            const QUrl face(entry["FaceURL"].toString());
            EXPECT_TRUE(face.isLocalFile());
            EXPECT_EQ(face.toLocalFile(),
                      QDir(tts).absoluteFilePath(
                          QStringLiteral("set-%1-%2.png").arg(colour).arg(sheet + 1)));
            EXPECT_EQ(QUrl(entry["BackURL"].toString()).toLocalFile(),
                      QDir(tts).absoluteFilePath(QStringLiteral("set-back.png")));
            EXPECT_EQ(entry["NumWidth"].toInt(), sheet == 0 ? 10 : 2);
            EXPECT_EQ(entry["NumHeight"].toInt(), sheet == 0 ? 7 : 2);
            EXPECT_TRUE(entry["BackIsHidden"].toBool());
        }
        const QJsonArray cards = object["ContainedObjects"].toArray();
        ASSERT_EQ(cards.size(), 70);
        for (int k = 0; k < 70; ++k) {
            const QJsonObject card = cards[k].toObject();
            EXPECT_EQ(card["Nickname"].toString(), deck.names[k]);
            EXPECT_EQ(card["CardID"].toInt(),
                      k < 69 ? firstDeckId * 100 + k : (firstDeckId + 1) * 100);
        }
        firstDeckId += 2;
    }
}

TEST(PlayOutputsCli, DeckSheetScaleIsChosenOrRefused)
{
    Deck deck(25);  // ten columns: scale 6 is the largest
    const QString tts = deck.path(QStringLiteral("tts"));
    const struct {
        QStringList options;
        int exitCode;
        int sheetWidth;  // 0: none written
    } cases[] = {
        {{}, 0, 10 * 62 * 6},
        {{"--scale", "2"}, 0, 10 * 62 * 2},
        {{"--scale", "7"}, 1, 0},
        {{"--colours", "red"}, 0, 10 * 62 * 6},
    };
    for (const auto& c : cases) {
        QDir(tts).removeRecursively();
        const ChildRun result = render(
            QStringList{deck.csv, "--out", deck.path("out"), "--tts", tts, "--quiet"} << c.options);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.options.join(' ').toStdString();
        const bool red = c.options.contains(QStringLiteral("red"));
        const QImage sheet(QDir(tts).filePath(red ? "set-red-1.png" : "set-blue-1.png"));
        EXPECT_EQ(sheet.width(), c.sheetWidth) << c.options.join(' ').toStdString();
        if (c.exitCode == 1) {
            EXPECT_TRUE(result.err.contains(QStringLiteral("largest scale that fits is 6")))
                << result.err.toStdString();
        }
        if (red) {
            EXPECT_FALSE(QFile::exists(QDir(tts).filePath("set-blue-1.png")));
        }
    }
}

TEST(PlayOutputsCli, HiddenCardPictureGoesInTheLastSlot)
{
    Deck deck(3);
    const QString tts = deck.path(QStringLiteral("tts"));
    solid(62, 62, qRgb(12, 230, 40)).save(deck.path(QStringLiteral("hidden.png")));
    solid(62, 62, qRgb(200, 30, 240)).save(deck.path(QStringLiteral("back.png")));
    const ChildRun result = render({deck.csv, "--out", deck.path("out"), "--tts", tts, "--hidden",
                                    deck.path("hidden.png"), "--back", deck.path("back.png"),
                                    "--scale", "1", "--quiet"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QImage sheet = readRgb(QDir(tts).filePath(QStringLiteral("set-blue-1.png")));
    ASSERT_EQ(sheet.size(), QSize(124, 124));
    EXPECT_TRUE(holds(sheet, solid(62, 62, qRgb(12, 230, 40)), {62, 62}));
    EXPECT_EQ(readRgb(QDir(tts).filePath(QStringLiteral("set-back.png"))),
              solid(62, 62, qRgb(200, 30, 240)));
}

TEST(PlayOutputsCli, AtlasFramesHoldTheCards)
{
    Deck deck(7);
    const QString atlasPath = deck.path(QStringLiteral("atlas/cards.png"));
    for (const QString& colours : {QStringLiteral("both"), QStringLiteral("blue")}) {
        const ChildRun result =
            render({deck.csv, "--out", deck.path("out"), "--atlas", atlasPath, "--padding", "2",
                    "--extrude", "1", "--colours", colours, "--quiet"});
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        const QImage atlas(atlasPath);
        const QJsonObject index = readJson(deck.path(QStringLiteral("atlas/cards.json")));
        const QJsonObject frames = index["frames"].toObject();
        EXPECT_EQ(frames.size(), colours == QLatin1String("both") ? 14 : 7);
        EXPECT_EQ(index["meta"].toObject()["image"].toString(), QStringLiteral("cards.png"));
        EXPECT_EQ(index["meta"].toObject()["size"].toObject()["w"].toInt(), atlas.width());
        for (int k = 0; k < 7; ++k) {
            for (const CardColour face : {CardColour::Blue, CardColour::Red}) {
                const QString name = deck.names[k] + "-" + colourName(face);
                if (face == CardColour::Red && colours == QLatin1String("blue")) {
                    EXPECT_FALSE(frames.contains(name));
                    continue;
                }
                const QJsonObject f = frames[name].toObject()["frame"].toObject();
                ASSERT_EQ(f["w"].toInt(), 62) << name.toStdString();
                EXPECT_TRUE(holds(atlas, deck.card(k, face), {f["x"].toInt(), f["y"].toInt()}))
                    << name.toStdString();
            }
        }
    }
}

// The PDF drawn by poppler, to look at its pages as a printer would print them.
class RasterisedSheet {
public:
    RasterisedSheet(const QString& pdf, int dpi) : m_dpi(dpi)
    {
        const QString prefix = m_dir.filePath(QStringLiteral("page"));
        const ChildRun result =
            runChild(QStringLiteral("pdftoppm"), {"-r", QString::number(dpi), "-png", pdf, prefix});
        if (result.exitCode != 0)
            return;
        for (const QString& name :
             QDir(m_dir.path()).entryList({"page*.png"}, QDir::Files, QDir::Name))
            pages << readRgb(m_dir.filePath(name));
    }
    QList<QImage> pages;
    QRgb at(int page, double xMm, double yMm) const
    {
        return pages[page].pixel(px(xMm), px(yMm)) & 0xFFFFFF;
    }
    // The darkest pixel within half a millimetre (a thin line may fall between samples).
    int darkestNear(int page, double xMm, double yMm) const
    {
        int darkest = 255;
        const int r = std::max(1, px(0.5));
        for (int dy = -r; dy <= r; ++dy)
            for (int dx = -r; dx <= r; ++dx)
                darkest = std::min(darkest, qGray(pages[page].pixel(px(xMm) + dx, px(yMm) + dy)));
        return darkest;
    }

private:
    int px(double mm) const { return int(std::lround(mm / 25.4 * m_dpi)); }
    QTemporaryDir m_dir;
    int m_dpi;
};

bool near(QRgb a, QRgb b, int tolerance = 6)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

TEST(PlayOutputsCli, SheetBacksAreMirroredAndOffsetForDuplex)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    Deck deck(3);
    const QRgb backColour = qRgb(20, 200, 60);
    solid(62, 62, backColour).save(deck.path(QStringLiteral("back.png")));
    const QString pdf = deck.path(QStringLiteral("sheet.pdf"));
    const ChildRun result =
        render({deck.csv, "--out", deck.path("out"), "--sheet", pdf, "--card-mm", "60", "--sides",
                "blue", "--back", deck.path("back.png"), "--back-offset-mm", "5,-2", "--cut-lines",
                "none", "--quiet"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const RasterisedSheet sheet(pdf, 100);
    ASSERT_EQ(sheet.pages.size(), 2);

    SheetLayout layout;
    layout.cardMm = 60;
    layout.sides = SheetSides::BlueOnly;
    const QList<SheetPage> plan = planSheetPages(layout, 3);
    ASSERT_EQ(plan.size(), 1);
    for (const SheetFace& face : plan[0]) {
        const QRectF f = face.placeMm;
        // A face: the card pixel (10, 20) in its place.
        const QRgb expected = deck.card(face.card, CardColour::Blue).pixel(10, 20);
        EXPECT_TRUE(near(sheet.at(0, f.x() + 10.5 * 60 / 62, f.y() + 20.5 * 60 / 62), expected));
        // Its back: mirrored left to right, then 5 mm right and 2 mm up.
        const double backLeft = 210 - f.right() + 5;
        const double backTop = f.top() - 2;
        EXPECT_TRUE(near(sheet.at(1, backLeft + 1, backTop + 1), backColour)) << face.card;
        EXPECT_TRUE(near(sheet.at(1, backLeft + 59, backTop + 59), backColour)) << face.card;
        EXPECT_TRUE(near(sheet.at(1, backLeft - 1, backTop + 30), qRgb(255, 255, 255)));
        EXPECT_TRUE(near(sheet.at(1, backLeft + 30, backTop - 1), qRgb(255, 255, 255)));
    }
}

TEST(PlayOutputsCli, BleedRepeatsTheCardsEdgePixels)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    Deck deck(1);
    const QString pdf = deck.path(QStringLiteral("sheet.pdf"));
    const ChildRun result =
        render({deck.csv, "--out", deck.path("out"), "--sheet", pdf, "--card-mm", "62", "--sides",
                "blue", "--bleed-mm", "3", "--cut-lines", "none", "--quiet"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const RasterisedSheet sheet(pdf, 150);
    ASSERT_EQ(sheet.pages.size(), 1);
    SheetLayout layout;
    layout.cardMm = 62;
    layout.sides = SheetSides::BlueOnly;
    layout.finish.bleedMm = 3;
    const QRectF f = planSheetPages(layout, 1)[0][0].placeMm;
    const QImage card = deck.card(0, CardColour::Blue);
    // With 1 mm a card pixel, 1.5 and 2.5 mm outside an edge are copies of that edge's pixel.
    for (const int i : {5, 20, 40, 56}) {
        for (const double out : {1.5, 2.5}) {
            const double along = i + 0.5;
            EXPECT_TRUE(near(sheet.at(0, f.left() - out, f.top() + along), card.pixel(0, i)));
            EXPECT_TRUE(near(sheet.at(0, f.right() + out, f.top() + along), card.pixel(61, i)));
            EXPECT_TRUE(near(sheet.at(0, f.left() + along, f.top() - out), card.pixel(i, 0)));
            EXPECT_TRUE(near(sheet.at(0, f.left() + along, f.bottom() + out), card.pixel(i, 61)));
        }
        // Beyond the bleed the paper stays white.
        EXPECT_TRUE(near(sheet.at(0, f.left() - 4, f.top() + i), qRgb(255, 255, 255)));
    }
}

TEST(PlayOutputsCli, CutLinesAsAsked)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    Deck deck(1);
    SheetLayout layout;
    layout.cardMm = 40;
    layout.sides = SheetSides::BlueOnly;
    const QRectF f = planSheetPages(layout, 1)[0][0].placeMm;
    const struct {
        const char* lines;
        bool nearCorner;  // a mark on the left edge's line, 2 mm above the card
        bool atPageTop;   // the same line 1 mm from the page's top
    } cases[] = {{"corners", true, false}, {"full", true, true}, {"none", false, false}};
    for (const auto& c : cases) {
        const QString pdf = deck.path(QStringLiteral("sheet-%1.pdf").arg(c.lines));
        const ChildRun result =
            render({deck.csv, "--out", deck.path("out"), "--sheet", pdf, "--card-mm", "40",
                    "--sides", "blue", "--cut-lines", c.lines, "--quiet"});
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        const RasterisedSheet sheet(pdf, 150);
        ASSERT_EQ(sheet.pages.size(), 1);
        EXPECT_EQ(sheet.darkestNear(0, f.left(), f.top() - 2) < 128, c.nearCorner) << c.lines;
        EXPECT_EQ(sheet.darkestNear(0, f.left(), 1) < 128, c.atPageTop) << c.lines;
    }
}

TEST(PlayOutputsCli, ThumbnailIsTheBlueCardAtAWholeScale)
{
    QTemporaryDir dir;
    Card card;
    card.name = QStringLiteral("Thumb");
    card.sides = {"A", "3", "7", "2"};
    card.mainPicture = gradient(62, 62);
    const QString file = dir.filePath(QStringLiteral("thumb.orvcard"));
    QString error;
    ASSERT_TRUE(writeCardFile(card, file, &error)) << error.toStdString();
    const CardParts parts =
        CardParts::load(qEnvironmentVariable("ORVANE_BIN_DIR"), nullptr).value();
    const QImage blue = renderCard(card, parts).blue;

    const struct {
        QString in;
        const char* size;
        int exitCode;
        int side;
    } cases[] = {
        {file, "256", 0, 248}, {QUrl::fromLocalFile(file).toString(), "128", 0, 124},
        {file, "40", 0, 40},   {file, "0", 2, 0},
        {file, "big", 2, 0},   {dir.filePath(QStringLiteral("none.orvcard")), "128", 1, 0},
    };
    for (const auto& c : cases) {
        const QString out = dir.filePath(QStringLiteral("thumb-%1.png").arg(c.size));
        QFile::remove(out);
        const ChildRun result = render({"--thumbnail", c.in, out, c.size});
        EXPECT_EQ(result.exitCode, c.exitCode) << c.size << result.err.toStdString();
        const QImage thumb = readRgb(out);
        EXPECT_EQ(thumb.width(), c.side) << c.size;
        if (c.side % 62 == 0 && c.side > 0) {
            EXPECT_EQ(thumb, scaleCardPicture(blue, c.side / 62));
        }
        if (c.exitCode != 0) {
            EXPECT_FALSE(result.err.isEmpty());
        }
    }
}

TEST(PlayOutputsCli, ThumbnailerEntryRunsTheCommand)
{
    const QString entry =
        qEnvironmentVariable("ORVANE_SOURCE_DIR") + QStringLiteral("/assets/orvane.thumbnailer");
    QFile entryFile(entry);
    ASSERT_TRUE(entryFile.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(entryFile.readAll()).split(QLatin1Char('\n'));
    EXPECT_EQ(lines.value(0), QStringLiteral("[Thumbnailer Entry]"));
    QMap<QString, QString> keys;
    for (const QString& line : lines.mid(1))
        if (const qsizetype equals = line.indexOf(QLatin1Char('=')); equals > 0)
            keys.insert(line.left(equals), line.mid(equals + 1));
    EXPECT_EQ(keys.value("TryExec"), QStringLiteral("orvane-render"));
    EXPECT_EQ(keys.value("MimeType"), QStringLiteral("application/x-orvane-card;"));
    const QStringList exec = keys.value("Exec").split(QLatin1Char(' '), Qt::SkipEmptyParts);
    ASSERT_EQ(exec.value(0), QStringLiteral("orvane-render"));

    QTemporaryDir dir;
    Card card;
    card.sides = {"1", "1", "1", "1"};
    const QString file = dir.filePath(QStringLiteral("c.orvcard"));
    ASSERT_TRUE(writeCardFile(card, file, nullptr));
    const QString out = dir.filePath(QStringLiteral("t.png"));
    QStringList arguments;
    for (QString word : exec.mid(1))
        arguments << word.replace("%i", file).replace("%o", out).replace("%s", "128");
    const ChildRun result = render(arguments);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(QImage(out).size(), QSize(124, 124));
}

TEST(PlayOutputsCli, VersionAndUsageErrors)
{
    const ChildRun version = render({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.trimmed(), QStringLiteral("orvane-render " ORVANE_VERSION));

    const std::pair<QStringList, const char*> cases[] = {
        {{"--hidden", "h.png"}, "--hidden goes with --tts"},
        {{"--padding", "2"}, "--padding and --extrude go with --atlas"},
        {{"--atlas", "a.png", "--extrude", "65"}, "--extrude must be a whole number from 0 to 64"},
        {{"--tts", "d", "--colours", "green"}, "--colours must be both, blue or red"},
        {{"--colours", "red"}, "--colours goes with --tts or --atlas"},
        {{"--back", "b.png"}, "--back goes with --sheet or --tts"},
        {{"--sheet", "s.pdf", "--bleed-mm", "6"}, "--bleed-mm must be a size from 0 to 5"},
        {{"--bleed-mm", "1"}, "--back-offset-mm, --bleed-mm and --cut-lines go with --sheet"},
        {{"--sheet", "s.pdf", "--cut-lines", "dashed"},
         "--cut-lines must be corners, full or none"},
        {{"--sheet", "s.pdf", "--back", "builtin", "--back-offset-mm", "1,2,3"},
         "--back-offset-mm must be X or X,Y, each from -20 to 20"},
        {{"--sheet", "s.pdf", "--back-offset-mm", "1"}, "--back-offset-mm goes with --back"},
    };
    for (const auto& [arguments, message] : cases) {
        const ChildRun result = render(QStringList{"a.csv"} << arguments);
        EXPECT_EQ(result.exitCode, 2) << message;
        EXPECT_TRUE(result.err.startsWith(QStringLiteral("orvane-render: ") + message))
            << result.err.toStdString();
    }
}

TEST(PlayOutputsCli, UnreadableBackStopsBeforeAnyFile)
{
    Deck deck(2);
    writeFile(deck.path(QStringLiteral("back.png")), "not a picture");
    const ChildRun result = render({deck.csv, "--out", deck.path("out"), "--sheet",
                                    deck.path("s.pdf"), "--back", deck.path("back.png")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("back.png"))) << result.err.toStdString();
    EXPECT_FALSE(QFile::exists(deck.path(QStringLiteral("s.pdf"))));
    EXPECT_FALSE(QFile::exists(deck.path(QStringLiteral("out/Card 0-blue.png"))));
}

TEST(PlayOutputsCli, EditorAnswersVersionAndUsageWithoutADisplay)
{
    for (const char* option : {"--version", "--help"}) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QLatin1String(name));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(ORVANE_EDITOR), {QLatin1String(option)});
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << option;
        EXPECT_EQ(process.exitCode(), 0) << option;
        const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
        if (QLatin1String(option) == QLatin1String("--version"))
            EXPECT_EQ(out.trimmed(), QStringLiteral("Orvane " ORVANE_VERSION));
        else
            EXPECT_TRUE(out.contains(QStringLiteral("--version"))) << out.toStdString();
    }
}

TEST(PlayOutputsCli, ManualPageNamesEveryOptionAndTheVersion)
{
    QFile page(QStringLiteral(ORVANE_MAN_DIR "/orvane-render.1"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString roff = QString::fromUtf8(page.readAll()).replace(QStringLiteral("\\-"), "-");
    EXPECT_TRUE(roff.contains(QStringLiteral("\"Orvane " ORVANE_VERSION "\"")));
    const QString help = render({"--help"}).out;
    const QRegularExpression option(QStringLiteral("--([a-z][a-z-]+)"));
    int options = 0;
    for (const QRegularExpressionMatch& m : option.globalMatch(help)) {
        if (m.captured(0) == QLatin1String("--help-all"))
            continue;  // Qt's own, beside --help
        ++options;
        EXPECT_TRUE(roff.contains(m.captured(0))) << m.captured(0).toStdString();
    }
    EXPECT_GT(options, 30);
}

TEST(PlayOutputsCli, SoftwareCentreEntryValidates)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (tool.isEmpty())
        GTEST_SKIP() << "appstreamcli is not installed";
    const ChildRun result =
        runChild(tool, {"validate", "--no-net",
                        qEnvironmentVariable("ORVANE_SOURCE_DIR") +
                            QStringLiteral("/assets/metainfo/org.orvane.Orvane.metainfo.xml")});
    EXPECT_EQ(result.exitCode, 0) << result.out.toStdString();
}

TEST(PlayOutputsCli, OutputsThatCannotBeWrittenAreNamed)
{
    Deck deck(2);
    const struct {
        QStringList options;
        const char* message;
    } cases[] = {
        {{"--tts", "/dev/null/table"}, "the folder /dev/null/table cannot be made"},
        {{"--atlas", "/dev/null/atlas.png"}, "the folder /dev/null cannot be made"},
        {{"--tts", "/proc/orvane-table"}, "cannot be made"},
    };
    for (const auto& c : cases) {
        const ChildRun result =
            render(QStringList{deck.csv, "--out", deck.path("out"), "--quiet"} << c.options);
        EXPECT_EQ(result.exitCode, 1) << c.message;
        EXPECT_TRUE(result.err.contains(QLatin1String(c.message))) << result.err.toStdString();
        // The cards themselves are still written.
        EXPECT_TRUE(QFile::exists(deck.path(QStringLiteral("out/Card 1-red.png"))));
    }
}

TEST(PlayOutputsCli, SeveralInputsMakeOneDeck)
{
    Deck first(3);
    QTemporaryDir other;
    const QString second = other.filePath(QStringLiteral("more.csv"));
    writeFile(second, "name,up,left,right,down\nExtra,5,5,5,5\n");
    const QString tts = first.path(QStringLiteral("tts"));
    const ChildRun result = render({first.csv, second, "--out", first.path("out"), "--tts", tts,
                                    "--colours", "blue", "--quiet"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QJsonObject object =
        readJson(QDir(tts).filePath("set-blue.json"))["ObjectStates"].toArray()[0].toObject();
    QStringList names;
    for (const QJsonValue card : object["ContainedObjects"].toArray())
        names << card.toObject()["Nickname"].toString();
    EXPECT_EQ(names, (QStringList{"Card 0", "Card 1", "Card 2", "Extra"}));
}
