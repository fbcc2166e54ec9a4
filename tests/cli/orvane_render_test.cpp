// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-render from the outside: arguments, exit codes, files written and their pixels.
#include "card/card_file.h"
#include "card/card_rules.h"
#include "card/deck_file.h"
#include "files/card_export.h"
#include "files/card_record.h"
#include "files/card_sheet.h"
#include "files/main_picture.h"
#include "render/asset_catalogue.h"
#include "render/card_parts.h"
#include "render/picture_prep.h"
#include "support/child_process.h"
#include "support/images.h"

#include "render/picture_colours.h"
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLocale>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

#ifndef _WIN32
#include <unistd.h>
#endif

using namespace orvane;

namespace {

const CardParts& builtParts()
{
    static const CardParts parts =
        CardParts::load(qEnvironmentVariable("ORVANE_BIN_DIR"), nullptr).value();
    return parts;
}

// The deck's good cards as the core renders them, pictures read.
RenderedCard expected(const Card& deckCard)
{
    Card card = deckCard;
    if (!card.mainPicturePath.isEmpty())
        card.mainPicture = loadMainPicture(card.mainPicturePath).image;
    return renderCard(card, builtParts());
}

// A folder with a deck of three good rows (pictures with black, moved placements) and a bad one.
struct DeckFolder {
    QTemporaryDir dir;
    QString deck;

    DeckFolder()
    {
        QImage picture = gradient(62, 62);
        for (int x = 0; x < 62; x += 3)
            picture.setPixel(x, x, qRgb(0, 0, 0));
        picture.save(dir.filePath(QStringLiteral("hero.bmp")));
        solid(30, 70, qRgb(200, 10, 90)).save(dir.filePath(QStringLiteral("tall.png")));
        deck = dir.filePath(QStringLiteral("set.csv"));
        writeFile(deck, "name,up,left,right,down,element,arrows,picture,x,y,TopX,ElemY\r\n"
                        "\"Hero: 1/2\",1,A,9,2,fire,upper-left down,hero.bmp,0,31,0,50\r\n"
                        "Bad,0,1,1,1,,,,,,,\r\n"
                        "Tall,5,5,5,5,holy,0 1,tall.png,31,62,,\r\n"
                        "Trap,,,,,Trap,up,,,,,\r\n");
    }
    QString path(const QString& name) const { return dir.filePath(name); }
};

// Preparation cells in deck column order, read into settings by their names.
const char* const FitColumns = "fit,scale,resample,pan_x,pan_y,key,tolerance,keep_dark";

QMap<QString, QString> settingsOf(const QString& cells)
{
    const QStringList names = QString::fromLatin1(FitColumns).split(QLatin1Char(','));
    const QStringList values = cells.split(QLatin1Char(','));
    QMap<QString, QString> settings;
    for (qsizetype k = 0; k < names.size() && k < values.size(); ++k)
        if (!values[k].isEmpty())
            settings.insert(names[k], values[k]);
    return settings;
}

// The card as the editor makes it: the picture loaded, prepared on OK with these settings, the
// scroll bars at x and y.
RenderedCard editorCard(const QString& picture, const QMap<QString, QString>& settings, int x,
                        int y)
{
    Card card;
    card.sides = {"1", "2", "3", "4"};
    card.mainPicture =
        preparePicture(loadMainPicture(picture).image, parsePictureFit(settings, nullptr).value());
    card.x = x;
    card.y = y;
    return renderCard(card, builtParts());
}

RenderedCard writtenCard(const QString& out, const QString& name)
{
    const QString base = QDir(out).filePath(name);
    return {QImage(base + "-blue.png").convertToFormat(QImage::Format_RGB32),
            QImage(base + "-red.png").convertToFormat(QImage::Format_RGB32)};
}

TEST(OrvaneRender, BadPictureOptionsAreUsageErrors)
{
    const std::pair<QStringList, const char*> cases[] = {
        {{"--fit", "stretch"}, "--fit: \"stretch\" is not fit, fill or none"},
        {{"--picture-scale", "50"},
         "--picture-scale: a percentage needs fit = none (fit and fill choose the size)"},
        {{"--fit", "none", "--picture-scale", "0"},
         "--picture-scale: \"0\" is not a percentage from 1 to 10000"},
        {{"--resample", "cubic"}, "--resample: \"cubic\" is not smooth or nearest"},
        {{"--pan-x", "1.5"},
         "--pan-x: \"1.5\" is not a whole number of pixels from -100000 to 100000"},
        {{"--pan-y", "up"},
         "--pan-y: \"up\" is not a whole number of pixels from -100000 to 100000"},
        {{"--key", "red"}, "--key: \"red\" is not none, corners or a colour #rrggbb"},
        {{"--tolerance", "256"}, "--tolerance: \"256\" is not a whole number from 0 to 255"},
    };
    for (const auto& [arguments, message] : cases) {
        const ChildRun run = render(QStringList{"a.csv"} << arguments);
        EXPECT_EQ(run.exitCode, 2) << message;
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("orvane-render: ") + message))
            << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("--picture-scale <PERCENT>")));
    }
}

// For a table of settings on a wide and a tall source, each row's card is the editor's.
TEST(OrvaneRender, PreparedDeckRowsGiveTheEditorsPixels)
{
    const struct {
        const char* cells;
        int x;
        int y;
    } cases[] = {
        {"fit,,,,,,,", 0, 0},
        {"fill,,,-7,-3,,,", 0, 0},
        {"none,,,-40,-20,,,", 5, 2},
        {"none,100,nearest,9,,,,", 0, 0},
        {"none,35,nearest,,,,,", 0, 0},
        {"none,180,smooth,-10,5,,,", 0, 0},
        {"fit,,,,,#2ab23e,0,", 0, 0},
        {"fit,,,,,#2ab23e,8,", 0, 0},
        {"FILL,,,-4,,corners,10,yes", 3, 0},
        {"fit,,nearest,2,-6,corners,0,yes", 0, 0},
        {"none,50,,-12,-12,#000000,0,no", 0, 0},
    };
    QTemporaryDir dir;
    const QString sources[] = {QStringLiteral("wide.png"), QStringLiteral("tall.png")};
    framedSubject(180, 100).save(dir.filePath(sources[0]));
    framedSubject(70, 150).save(dir.filePath(sources[1]));
    QByteArray csv = QByteArray("name,up,left,right,down,picture,x,y,") + FitColumns + "\n";
    for (size_t k = 0; k < std::size(cases); ++k)
        for (const QString& source : sources)
            csv += QStringLiteral("%1-%2,1,2,3,4,%2,%3,%4,%5\n")
                       .arg(k)
                       .arg(source)
                       .arg(cases[k].x)
                       .arg(cases[k].y)
                       .arg(QLatin1String(cases[k].cells))
                       .toUtf8();
    const QString deck = dir.filePath(QStringLiteral("fit.csv"));
    ASSERT_TRUE(writeFile(deck, csv));
    const QString out = dir.filePath(QStringLiteral("out"));
    const ChildRun run = render({deck, "--out", out, "--quiet"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    for (size_t k = 0; k < std::size(cases); ++k) {
        for (const QString& source : sources) {
            const QString name = QStringLiteral("%1-%2").arg(k).arg(source);
            const RenderedCard want = editorCard(dir.filePath(source), settingsOf(cases[k].cells),
                                                 cases[k].x, cases[k].y);
            const RenderedCard got = writtenCard(out, name);
            EXPECT_EQ(got.blue, want.blue) << name.toStdString() << " " << cases[k].cells;
            EXPECT_EQ(got.red, want.red) << name.toStdString() << " " << cases[k].cells;
        }
    }
    // The settings matter: with the background keyed out, far more of the bases shows through.
    const auto baseShowing = [](const RenderedCard& card) {
        int differ = 0;
        for (int y = 0; y < 62; ++y)
            for (int x = 0; x < 62; ++x)
                differ += card.blue.pixel(x, y) != card.red.pixel(x, y);
        return differ;
    };
    EXPECT_GT(baseShowing(writtenCard(out, QStringLiteral("8-wide.png"))),
              baseShowing(writtenCard(out, QStringLiteral("1-wide.png"))) + 500);
}

// The colour cells give the editor's pixels (a palette file found beside the deck); a bad cell
// is reported for its row; a bad palette file given as an option names its line.
TEST(OrvaneRender, ColourCellsGiveTheEditorsPixelsAndBadOnesAreNamed)
{
    QTemporaryDir dir;
    framedSubject(160, 120).save(dir.filePath(QStringLiteral("photo.png")));
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("mine.hex")), "000000\n203040\nd0a020\n"));
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("bad.gpl")), "GIMP Palette\n1 2 3\nred\n"));
    const struct {
        const char* name;
        const char* cells;  // colours,palette,dither,outline,outline_colour
        QMap<QString, QString> settings;
    } cases[] = {
        {"reduced", "4,,ordered,,", {{"colours", "4"}, {"dither", "ordered"}}},
        {"palette",
         ",mine.hex,diffusion 50,outside,#ffffff",
         {{"palette", "mine.hex"}, {"dither", "diffusion 50"}, {"outline", "outside"}}},
        {"outlined", ",,,inside,#ff0000", {{"outline", "inside"}, {"outline_colour", "#ff0000"}}},
    };
    QByteArray csv = "name,up,left,right,down,picture,colours,palette,dither,outline,"
                     "outline_colour\n";
    for (const auto& c : cases)
        csv += QByteArray(c.name) + ",1,2,3,4,photo.png," + c.cells + "\n";
    csv += "wrong,1,2,3,4,photo.png,300,,,,\n";
    const QString deck = dir.filePath(QStringLiteral("colours.csv"));
    ASSERT_TRUE(writeFile(deck, csv));
    const QString out = dir.filePath(QStringLiteral("out"));
    const ChildRun run = render({deck, "--out", out, "--quiet"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains(QLatin1String("colours"))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QLatin1String("300"))) << run.err.toStdString();
    for (const auto& c : cases) {
        QMap<QString, QString> settings = c.settings;
        if (settings.contains(QStringLiteral("palette")))
            settings[QStringLiteral("palette")] = dir.filePath(settings[QStringLiteral("palette")]);
        PictureFit fit = parsePictureFit(settings, nullptr).value();
        QString error;
        ASSERT_TRUE(resolvePalette(fit, &builtParts(), &error)) << error.toStdString();
        Card card;
        card.sides = {"1", "2", "3", "4"};
        card.mainPicture =
            preparePicture(loadMainPicture(dir.filePath(QStringLiteral("photo.png"))).image, fit);
        const RenderedCard want = renderCard(card, builtParts());
        const RenderedCard got = writtenCard(out, QLatin1String(c.name));
        EXPECT_EQ(got.blue, want.blue) << c.name;
        EXPECT_EQ(got.red, want.red) << c.name;
    }

    const ChildRun badPalette =
        render({deck, "--palette", dir.filePath(QStringLiteral("bad.gpl"))});
    EXPECT_EQ(badPalette.exitCode, 2);
    EXPECT_TRUE(badPalette.err.contains(QLatin1String("bad.gpl, line 3")))
        << badPalette.err.toStdString();
}

// The options prepare every card whose row leaves a setting empty; a row's own cells win, and
// a row giving fit or scale takes both from itself.
TEST(OrvaneRender, PictureOptionsFillWhatTheRowsLeaveOpen)
{
    QTemporaryDir dir;
    framedSubject(160, 120).save(dir.filePath(QStringLiteral("photo.png")));
    const QString deck = dir.filePath(QStringLiteral("opts.csv"));
    ASSERT_TRUE(writeFile(deck, "name,up,left,right,down,picture,x,fit,scale,pan_x,key\n"
                                "Options,1,2,3,4,photo.png,,,,,\n"
                                "Own pan,1,2,3,4,photo.png,4,,,5,\n"
                                "Own size,1,2,3,4,photo.png,,none,40,,#000000\n"
                                "No picture,1,2,3,4,,,,,,\n"));
    const QString out = dir.filePath(QStringLiteral("out"));
    const ChildRun run = render({deck, "--out", out, "--quiet", "--fit", "fill", "--pan-x", "-6",
                                 "--key", "corners", "--tolerance", "12", "--keep-dark"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString photo = dir.filePath(QStringLiteral("photo.png"));
    const struct {
        const char* name;
        const char* cells;
        int x;
    } cases[] = {
        {"Options", "fill,,,-6,,corners,12,yes", 0},
        {"Own pan", "fill,,,5,,corners,12,yes", 4},
        {"Own size", "none,40,,-6,,#000000,12,yes", 0},
    };
    for (const auto& c : cases) {
        const RenderedCard want = editorCard(photo, settingsOf(c.cells), c.x, 0);
        const RenderedCard got = writtenCard(out, c.name);
        EXPECT_EQ(got.blue, want.blue) << c.name;
        EXPECT_EQ(got.red, want.red) << c.name;
    }
    Card plain;
    plain.sides = {"1", "2", "3", "4"};
    EXPECT_EQ(writtenCard(out, QStringLiteral("No picture")).blue,
              renderCard(plain, builtParts()).blue);
}

// A card file's own preparation was made in the editor: it renders as it is, whatever the
// options; a card file whose picture was never prepared takes them.
TEST(OrvaneRender, CardFilesKeepTheirOwnPreparation)
{
    QTemporaryDir dir;
    PictureFit fit;
    fit.mode = FitMode::Fill;
    fit.panX = -9;
    fit.key = KeyMode::Corners;
    fit.tolerance = 10;
    Card prepared;
    prepared.preparation = {framedSubject(150, 90), fit};
    prepared.mainPicture = preparePicture(prepared.preparation.source, fit);
    prepared.y = 4;
    ASSERT_TRUE(writeCardFile(prepared, dir.filePath(QStringLiteral("prepared.orvcard")), nullptr));
    Card loaded = prepared;
    loaded.preparation = {};
    loaded.mainPicture = framedSubject(150, 90);
    ASSERT_TRUE(writeCardFile(loaded, dir.filePath(QStringLiteral("loaded.orvcard")), nullptr));

    const QStringList options = {"--quiet", "--fit", "none", "--picture-scale", "30"};
    ASSERT_EQ(
        render(QStringList{dir.filePath(QStringLiteral("prepared.orvcard"))} << options).exitCode,
        0);
    ASSERT_EQ(
        render(QStringList{dir.filePath(QStringLiteral("loaded.orvcard"))} << options).exitCode, 0);
    EXPECT_EQ(writtenCard(dir.path(), QStringLiteral("prepared")).blue,
              renderCard(prepared, builtParts()).blue);
    PictureFit small;
    small.mode = FitMode::Percent;
    small.scalePercent = 30;
    loaded.mainPicture = preparePicture(loaded.mainPicture, small);
    EXPECT_EQ(writtenCard(dir.path(), QStringLiteral("loaded")).red,
              renderCard(loaded, builtParts()).red);
}

TEST(OrvaneRender, UsageErrorsExitTwoWithTheUsage)
{
    const QStringList cases[] = {
        {},
        {"a.csv", "b.csv"},
        {"a.csv", "--format", "gif"},
        {"a.csv", "--scale", "0"},
        {"a.csv", "--scale", "17"},
        {"a.csv", "--scale", "two"},
        {"a.csv", "--jobs", "0"},
        {"a.csv", "--unknown"},
        {"a.csv", "--card-mm", "30"},
        {"a.csv", "--sheet", "s.pdf", "--card-mm", "2"},
        {"a.csv", "--sheet", "s.pdf", "--paper", "a3"},
        {"a.csv", "--sheet", "s.pdf", "--sides", "red"},
    };
    for (const QStringList& arguments : cases) {
        const ChildRun run = render(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("Usage:"))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST(OrvaneRender, DeckGivesTheCoresPixelsAndReportsBadRows)
{
    DeckFolder folder;
    const QString out = folder.path(QStringLiteral("out"));
    const ChildRun run = render({folder.deck, "--out", out, "--records"});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    // The bad row, then the warning that the tall picture is cut to the card.
    const QStringList lines = run.err.trimmed().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2) << run.err.toStdString();
    EXPECT_EQ(lines[0], folder.deck + QStringLiteral(":3: column up: \"0\" is not a side "
                                                     "value (1 to 9, or A or 10)"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("warning: ") + folder.deck +
                                    QStringLiteral(":4: column picture: ")))
        << lines[1].toStdString();
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("3 cards, 6 pictures in ")))
        << run.out.toStdString();

    QStringList names = QDir(out).entryList(QDir::Files | QDir::Hidden);
    names.sort();
    EXPECT_EQ(names, QStringList({"Hero_ 1_2-blue.png", "Hero_ 1_2-red.png", "Hero_ 1_2.txt",
                                  "Tall-blue.png", "Tall-red.png", "Tall.txt", "Trap-blue.png",
                                  "Trap-red.png", "Trap.txt"}));
    const Deck deck = readDeck(folder.deck);
    ASSERT_EQ(deck.rows.size(), 3);
    const QString date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    for (const DeckRow& row : deck.rows) {
        const RenderedCard card = expected(row.card);
        const QString base = QDir(out).filePath(safeFileName(row.card.name));
        EXPECT_EQ(QImage(base + "-blue.png").convertToFormat(QImage::Format_RGB32), card.blue);
        EXPECT_EQ(QImage(base + "-red.png").convertToFormat(QImage::Format_RGB32), card.red);
        const CardRecordInput record{row.card.name, row.card.sides, cardTotal(row.card.sides),
                                     row.card.element, date};
        EXPECT_EQ(fileBytes(base + ".txt"), cardRecord(record));
    }
}

TEST(OrvaneRender, ScaledCardIsMadeOfBlocks)
{
    DeckFolder folder;
    const QString out = folder.path(QStringLiteral("out"));
    ASSERT_EQ(render({folder.deck, "--out", out, "--scale", "5", "--quiet"}).exitCode, 1);
    const QImage one = expected(readDeck(folder.deck).rows[0].card).blue;
    const QImage big = QImage(QDir(out).filePath(QStringLiteral("Hero_ 1_2-blue.png")))
                           .convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(big.size(), QSize(310, 310));
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x)
            ASSERT_EQ(big.pixel(x, y), one.pixel(x / 5, y / 5)) << x << "," << y;
}

TEST(OrvaneRender, FormatsAndJobsGiveTheSameBytesAsTheCore)
{
    DeckFolder folder;
    const Deck deck = readDeck(folder.deck);
    for (const auto& [name, format] :
         {std::pair{"jpg", ExportFormat::Jpeg}, std::pair{"bmp", ExportFormat::Bmp},
          std::pair{"png", ExportFormat::Png}}) {
        for (const char* jobs : {"1", "2"}) {
            const QString out = folder.path(QStringLiteral("%1-%2").arg(name, jobs));
            ASSERT_EQ(
                render({folder.deck, "--out", out, "--format", name, "--jobs", jobs}).exitCode, 1);
            for (const DeckRow& row : deck.rows) {
                const RenderedCard card = expected(row.card);
                const QString file = QDir(out).filePath(
                    exportFileName(safeFileName(row.card.name), CardColour::Red, format));
                EXPECT_EQ(fileBytes(file), encodeCardPicture(card.red, format, 1, nullptr))
                    << file.toStdString();
            }
        }
    }
}

TEST(OrvaneRender, CardFileInput)
{
    QTemporaryDir dir;
    Card card;
    card.sides = {"3", "4", "A", "7"};
    card.element = 6;
    card.arrows[4] = true;
    card.mainPicture = gradient(50, 50);
    card.x = 12;
    const QString path = dir.filePath(QStringLiteral("bolt.orvcard"));
    ASSERT_TRUE(writeCardFile(card, path, nullptr));
    const ChildRun run = render({path, "--quiet"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(
        QImage(dir.filePath(QStringLiteral("bolt-blue.png"))).convertToFormat(QImage::Format_RGB32),
        renderCard(card, builtParts()).blue);

    ASSERT_TRUE(writeFile(path, "{\"format\": \"orvane-card\", \"version\": 9}"));
    const ChildRun newer = render({path});
    EXPECT_EQ(newer.exitCode, 1);
    EXPECT_TRUE(newer.err.contains(QStringLiteral("newer Orvane"))) << newer.err.toStdString();
}

TEST(OrvaneRender, SheetHasTheRightPageCount)
{
    QTemporaryDir dir;
    QByteArray csv = "name,up,left,right,down\n";
    const int cards = 45;
    for (int k = 0; k < cards; ++k)
        csv += "Card " + QByteArray::number(k) + ",1,2,3,4\n";
    const QString deck = dir.filePath(QStringLiteral("many.csv"));
    ASSERT_TRUE(writeFile(deck, csv));
    const struct {
        QStringList arguments;
        SheetLayout layout;
    } cases[] = {
        {{}, {}},
        {{"--sides", "blue"}, {25.0, SheetSides::BlueOnly, SheetPaper::A4}},
        {{"--card-mm", "63", "--paper", "letter"}, {63.0, SheetSides::Both, SheetPaper::Letter}},
    };
    for (const auto& c : cases) {
        const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
        const ChildRun run = render(QStringList{deck, "--sheet", pdf} << c.arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const int perPage = cardsPerSheetPage(c.layout);
        ASSERT_GT(perPage, 0);
        const int pages = (cards + perPage - 1) / perPage;
        const QByteArray bytes = fileBytes(pdf);
        EXPECT_TRUE(bytes.startsWith("%PDF-"));
        EXPECT_TRUE(bytes.trimmed().endsWith("%%EOF"));
        EXPECT_EQ(bytes.count("/Type /Page\n"), pages) << c.arguments.join(' ').toStdString();
        EXPECT_FALSE(bytes.contains("/DCTDecode"));  // the cards are embedded without loss
        EXPECT_TRUE(run.out.contains(QStringLiteral("a sheet of %1 page").arg(pages)))
            << run.out.toStdString();
    }
    EXPECT_EQ(cardsPerSheetPage({25.0, SheetSides::Both, SheetPaper::A4}), 3 * 9);
}

TEST(OrvaneRender, MissingPartsAreListedUpFront)
{
    DeckFolder folder;
    const QString parts = folder.path(QStringLiteral("myparts"));
    for (const QString& name : assets::allFiles()) {
        QDir().mkpath(QFileInfo(QDir(parts).filePath(name)).path());
        QFile::copy(QDir(qEnvironmentVariable("ORVANE_BIN_DIR")).filePath(name),
                    QDir(parts).filePath(name));
    }
    QFile::remove(QDir(parts).filePath(QStringLiteral("gfx/bitblts/holyelem.bmp")));
    QFile::remove(QDir(parts).filePath(QStringLiteral("gfx/arrows/arrow 5.bmp")));
    const QString out = folder.path(QStringLiteral("out"));
    const ChildRun run = render({folder.deck, "--parts", parts, "--out", out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("2 of the 33 card parts")))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("gfx/bitblts/holyelem.bmp")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("gfx/arrows/arrow 5.bmp")));
    EXPECT_TRUE(QDir(out).entryList(QDir::Files).isEmpty());
}

TEST(OrvaneRender, OutputThatCannotBeWritten)
{
    DeckFolder folder;
    ASSERT_TRUE(writeFile(folder.path(QStringLiteral("a-file")), "x"));
    const ChildRun onFile = render({folder.deck, "--out", folder.path(QStringLiteral("a-file"))});
    EXPECT_EQ(onFile.exitCode, 1);
    EXPECT_TRUE(onFile.err.contains(QStringLiteral("cannot be made"))) << onFile.err.toStdString();

#ifndef _WIN32
    if (geteuid() == 0)
        GTEST_SKIP() << "run as root: a read-only folder can still be written";
#endif
    const QString locked = folder.path(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(locked));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    const ChildRun run = render({folder.deck, "--out", locked});
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("nothing can be written")))
        << run.err.toStdString();
}

TEST(OrvaneRender, ExistingFilesAreReplacedWholeAndNoTemporaryStays)
{
    DeckFolder folder;
    const QString out = folder.path(QStringLiteral("out"));
    QDir().mkpath(out);
    const QString old = QDir(out).filePath(QStringLiteral("Trap-blue.png"));
    ASSERT_TRUE(writeFile(old, "not a picture"));
    // A folder where a picture should go: that card fails, the others are written.
    QDir(out).mkdir(QStringLiteral("Tall-red.png"));
    const ChildRun run = render({folder.deck, "--out", out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Tall-red.png cannot be written")))
        << run.err.toStdString();
    EXPECT_FALSE(QImage(old).isNull());
    for (const QString& name : QDir(out).entryList(QDir::Files | QDir::Hidden))
        EXPECT_FALSE(name.startsWith(QLatin1Char('.'))) << name.toStdString();
}

// Card files that are not card files: each is reported as a card file that cannot be opened,
// with its reason, never read as a deck.
TEST(OrvaneRender, DamagedCardFilesAreReportedAsCardFiles)
{
    QTemporaryDir dir;
    const struct {
        const char* name;
        QByteArray bytes;
        const char* reason;
    } cases[] = {
        {"text.orvcard", "name,up,left,right,down\nA,1,2,3,4\n", "damaged"},
        {"array.orvcard", "[1, 2, 3]", "not an Orvane card file"},
        {"string.orvcard", "\"a card\"", "damaged"},
        {"deep.orvcard", QByteArray(5000, '[') + QByteArray(5000, ']'), "cannot be opened"},
        {"empty.orvcard", "", "empty"},
        {"object.csv", "{\"format\": 1", "damaged"},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        ASSERT_TRUE(writeFile(path, c.bytes));
        const ChildRun run = render({path, "--out", dir.filePath(QStringLiteral("out"))});
        EXPECT_EQ(run.exitCode, 1) << c.name;
        EXPECT_TRUE(run.err.contains(QStringLiteral("The card file"))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String("cannot be opened"))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.reason))) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains(QLatin1String("header row"))) << run.err.toStdString();
    }
}

#ifndef _WIN32
// Links planted at output names, one for each picture written: the links are replaced by the
// cards, and the files they named, inside and outside the output folder, keep their bytes.
TEST(OrvaneRender, LinksAtOutputNamesAreReplacedAndTheirTargetsKept)
{
    DeckFolder folder;
    const QString out = folder.path(QStringLiteral("out"));
    QDir().mkpath(out);
    const QString victim = folder.path(QStringLiteral("victim.txt"));
    ASSERT_TRUE(writeFile(victim, "precious"));
    const QString names[] = {"Hero_ 1_2-blue.png", "Hero_ 1_2-red.png", "Tall-blue.png"};
    for (const QString& name : names)
        ASSERT_TRUE(QFile::link(victim, QDir(out).filePath(name)));
    for (const int round : {1, 2}) {  // the second run finds the cards it wrote
        const ChildRun run = render({folder.deck, "--out", out});
        EXPECT_EQ(run.exitCode, 1) << round;  // the deck's bad row
        EXPECT_EQ(fileBytes(victim), "precious") << round;
        for (const QString& name : names) {
            const QFileInfo written(QDir(out).filePath(name));
            EXPECT_FALSE(written.isSymLink()) << name.toStdString();
            EXPECT_FALSE(QImage(written.filePath()).isNull()) << name.toStdString();
        }
    }
}
#endif

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
