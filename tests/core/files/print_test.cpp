// SPDX-License-Identifier: GPL-3.0-or-later
// Print profiles, exact-size print pictures, enlargement rules, copies and calibration.
#include "card/deck_file.h"
#include "files/card_export.h"
#include "files/pixel_enlarge.h"
#include "files/play_outputs.h"
#include "files/print_calibration.h"
#include "files/print_card.h"
#include "files/print_output.h"
#include "files/print_profile.h"
#include "render/part_scales.h"
#include "support/child_process.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>

using namespace orvane;

namespace {

// A 62 x 62 picture whose every pixel differs from its neighbours.
QImage patternCard(int seed)
{
    QImage card(62, 62, QImage::Format_RGB32);
    for (int y = 0; y < 62; ++y)
        for (int x = 0; x < 62; ++x)
            card.setPixel(x, y, qRgb((x * 4 + seed) % 256, (y * 4) % 256, (x * y + seed) % 256));
    return card;
}

NamedCard namedCard(const QString& name, int copies, int seed)
{
    return {name, name, {patternCard(seed), patternCard(seed + 100)}, copies};
}

PrintProfile shipped(const char* name)
{
    QString error;
    const std::optional<PrintProfile> profile =
        loadPrintProfile(QLatin1String(name), &error, QString());
    EXPECT_TRUE(profile) << error.toStdString();
    return profile.value_or(PrintProfile());
}

}  // namespace

TEST(PrintProfile, RefusesBadProfilesNamingTheMemberAndReason)
{
    const struct {
        const char* json;
        const char* says;
    } cases[] = {
        {"{", "not valid JSON"},
        {"[1]", "no JSON object"},
        {R"({"colour": "red"})", "member colour: is not a member"},
        {R"({"dpi": 2400})", "member dpi: 2400 is over 1200"},
        {R"({"dpi": 300.5})", "member dpi: must be a whole number"},
        {R"({"bleed": -1})", "member bleed: is negative"},
        {R"({"margin": "-2mm"})", "member margin: is negative"},
        {R"({"gap": "3 furlongs"})", "member gap: \"3 furlongs\" is not a length"},
        {R"({"trim": {"width": 300, "height": 88}})", "member trim: 300 x 88 mm"},
        {R"({"trim": {"width": 63}})", "member trim.height: is missing"},
        {R"({"page": "A3"})", "member page: must be A4, Letter"},
        {R"({"duplex": "sideways"})", "member duplex: must be long or short"},
        {R"({"files": {"name": "{card}"}})", "member files.name: must be text holding {number}"},
        {R"({"files": {"name": "a/{number}"}})", "files.name: must not hold a folder"},
        {R"({"back_colour": "white"})", "member back_colour: must be #rrggbb"},
        {R"({"safe": 40})", "member safe: 40 mm leaves nothing"},
        {R"({"dpi": 72, "trim": {"width": 20, "height": 20}})", "member trim: at 72 dpi"},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_FALSE(parsePrintProfile(c.json, QStringLiteral("mine"), &error)) << c.json;
        EXPECT_TRUE(error.contains(QLatin1String(c.says)))
            << c.json << " -> " << error.toStdString();
    }
}

TEST(PrintProfile, ReadsLengthsInInchesAndRoundTripsItsOwnText)
{
    QString error;
    const std::optional<PrintProfile> profile = parsePrintProfile(
        R"({"layout": "card-images", "trim": {"width": "2.5in", "height": "88mm"},
            "bleed": "0.125in", "dpi": 600, "enlarge": "scale3x", "fill": "back-colour",
            "back_colour": "#102030", "files": {"backs": "apart", "name": "{number}_{card}"}})",
        QStringLiteral("mine"), &error);
    ASSERT_TRUE(profile) << error.toStdString();
    EXPECT_DOUBLE_EQ(profile->trimMm.width(), 63.5);
    EXPECT_DOUBLE_EQ(profile->trimMm.height(), 88);
    EXPECT_DOUBLE_EQ(profile->bleedMm, 3.175);
    const std::optional<PrintProfile> again =
        parsePrintProfile(printProfileJson(*profile), QStringLiteral("mine"), &error);
    ASSERT_TRUE(again) << error.toStdString();
    EXPECT_EQ(printProfileJson(*again), printProfileJson(*profile));
    EXPECT_EQ(again->enlargement, Enlargement::Scale3x);
    EXPECT_TRUE(again->backsApart);
    EXPECT_EQ(again->backColour, QColor(0x10, 0x20, 0x30));
}

TEST(PrintProfile, ShipsValidProfilesAndAUserProfileOfTheSameNameWins)
{
    QTemporaryDir user;
    for (const QString& name : printProfileNames(QString())) {
        QString error;
        EXPECT_TRUE(loadPrintProfile(name, &error, QString())) << error.toStdString();
    }
    ASSERT_TRUE(writeFile(user.filePath("home-a4.json"), R"({"title": "Mine", "dpi": 150})"));
    ASSERT_TRUE(writeFile(user.filePath("broken.json"), R"({"dpi": 5000})"));
    QString error;
    const std::optional<PrintProfile> own = loadPrintProfile("home-a4", &error, user.path());
    ASSERT_TRUE(own);
    EXPECT_EQ(own->dpi, 150);
    EXPECT_FALSE(loadPrintProfile("broken", &error, user.path()));
    EXPECT_TRUE(error.contains("member dpi")) << error.toStdString();
    EXPECT_FALSE(loadPrintProfile("nothing-of-this-name", &error, user.path()));
    EXPECT_TRUE(printProfileNames(user.path()).contains("broken"));
}

TEST(PrintCard, ServiceSizesAreExactAndEveryCardPixelAWholeBlock)
{
    const struct {
        const char* profile;
        QSize full;
        QRect trim;
        int scale;
    } cases[] = {
        {"service-300", {825, 825}, {37, 37, 750, 750}, 12},
        {"service-600", {1650, 1650}, {75, 75, 1500, 1500}, 24},
        {"portrait-63x88", {768, 1063}, {12, 12, 744, 1039}, 12},
    };
    const QImage card = patternCard(7);
    for (const auto& c : cases) {
        const PrintProfile profile = shipped(c.profile);
        const PrintCardGeometry g = printCardGeometry(profile);
        EXPECT_EQ(g.fullPx, c.full) << c.profile;
        EXPECT_EQ(g.trimPx, c.trim) << c.profile;
        EXPECT_EQ(g.scale, c.scale) << c.profile;
        const QImage printed = composePrintCard(card, profile, g);
        ASSERT_EQ(printed.size(), c.full);
        for (int y = 0; y < 62 * g.scale; ++y)
            for (int x = 0; x < 62 * g.scale; ++x)
                ASSERT_EQ(printed.pixel(g.facePx.left() + x, g.facePx.top() + y),
                          card.pixel(x / g.scale, y / g.scale))
                    << c.profile << " at " << x << "," << y;
        // Outside the face: the edge pixel repeated, or the back colour.
        const QRgb expected =
            profile.fill == PrintFill::EdgePixels ? card.pixel(0, 0) : profile.backColour.rgb();
        EXPECT_EQ(printed.pixel(0, 0), expected) << c.profile;
        EXPECT_EQ(printed.pixel(printed.width() - 1, printed.height() - 1),
                  profile.fill == PrintFill::EdgePixels ? card.pixel(61, 61) : expected);
    }
}

TEST(PixelEnlarge, RulesRoundACornerAndKeepFlatColour)
{
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    QImage corner(2, 2, QImage::Format_RGB32);
    corner.fill(white);
    corner.setPixel(0, 0, black);
    const QImage two = scale2x(corner);
    ASSERT_EQ(two.size(), QSize(4, 4));
    EXPECT_EQ(two.pixel(0, 0), black);
    EXPECT_EQ(two.pixel(1, 0), black);
    EXPECT_EQ(two.pixel(0, 1), black);
    EXPECT_EQ(two.pixel(1, 1), white);  // the corner's step smoothed
    const QImage three = scale3x(corner);
    ASSERT_EQ(three.size(), QSize(6, 6));
    const QRgb block[9] = {black, black, black, black, black, white, black, white, white};
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(three.pixel(k % 3, k / 3), block[k]) << k;
    QImage flat(5, 3, QImage::Format_RGB32);
    flat.fill(qRgb(10, 20, 30));
    for (const QImage& enlarged : {scale2x(flat), scale3x(flat)})
        EXPECT_EQ(enlarged, scaleCardPicture(flat, enlarged.width() / 5));
}

TEST(PixelEnlarge, ScaleIsTheLargestWholeOneTheRuleCanDraw)
{
    const struct {
        Enlargement rule;
        int room;
        int scale;
    } cases[] = {
        {Enlargement::Blocks, 750, 12},   {Enlargement::Scale2x, 750, 12},
        {Enlargement::Scale3x, 750, 12},  {Enlargement::Blocks, 1000, 16},
        {Enlargement::Scale2x, 1000, 16}, {Enlargement::Scale3x, 1000, 15},
        {Enlargement::Scale2x, 900, 14},  {Enlargement::Scale3x, 100, 1},
        {Enlargement::Blocks, 10, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(printScale(c.rule, 62, c.room), c.scale) << int(c.rule) << " " << c.room;
    // scale2x at 4: the rule, then blocks of 2.
    const QImage card = patternCard(3);
    EXPECT_EQ(enlargeCard(card, Enlargement::Scale2x, 4), scaleCardPicture(scale2x(card), 2));
}

TEST(PrintOutput, FacesFollowCopiesAndColoursInOrder)
{
    const QList<NamedCard> cards = {namedCard("A", 3, 1), namedCard("B", 0, 2),
                                    namedCard("C", 1, 3)};
    const QList<PrintFace> both = printFaces(cards, CardColours::Both);
    ASSERT_EQ(both.size(), 8);
    EXPECT_EQ(both[0].card, 0);
    EXPECT_TRUE(both[0].blue);
    EXPECT_FALSE(both[1].blue);
    EXPECT_EQ(both[6].card, 2);
    EXPECT_EQ(both[7].number, 8);
    EXPECT_EQ(printFaces(cards, CardColours::Red).size(), 4);
}

TEST(PrintOutput, SheetGridsFitTheirPagesAndBacksLandBehindFaces)
{
    const struct {
        const char* profile;
        int cards;
    } cases[] = {{"home-a4", 12}, {"home-letter", 12}, {"portrait-63x88", 9}};
    for (const auto& c : cases) {
        const PrintProfile profile = shipped(c.profile);
        const QList<QRectF> places = printSheetPlaces(profile);
        EXPECT_EQ(places.size(), c.cards) << c.profile;
        const QRectF usable =
            QRectF(QPointF(0, 0), profile.pageMm)
                .adjusted(profile.marginMm, profile.marginMm, -profile.marginMm, -profile.marginMm);
        for (const QRectF& place : places)
            EXPECT_TRUE(usable.contains(place.adjusted(-profile.bleedMm, -profile.bleedMm,
                                                       profile.bleedMm, profile.bleedMm)))
                << c.profile;
    }
    PrintProfile profile = shipped("home-a4");
    const QRectF face(10, 20, 63, 63);
    EXPECT_EQ(backBehind(face, profile), QRectF(210 - 73, 20, 63, 63));
    profile.duplex = DuplexEdge::Short;
    EXPECT_EQ(backBehind(face, profile), QRectF(10, 297 - 83, 63, 63));
    profile.mirrorBacks = false;
    EXPECT_EQ(backBehind(face, profile), face);
}

TEST(PrintCalibration, RefusesLikelyTypingErrorsAndKeepsGoodValues)
{
    const struct {
        PrinterCalibration values;
        bool good;
    } cases[] = {
        {{100, 100, 0, 0}, true},    {{90, 110, 10, -10}, true},   {{89.9, 100, 0, 0}, false},
        {{100, 110.1, 0, 0}, false}, {{100, 100, 10.1, 0}, false}, {{100, 100, 0, -10.5}, false},
        {{0, 0, 0, 0}, false},
    };
    QTemporaryDir folder;
    for (const auto& c : cases) {
        EXPECT_EQ(calibrationProblem(c.values).isEmpty(), c.good) << c.values.scaleXPercent;
        QString error;
        EXPECT_EQ(saveCalibration("p", c.values, &error, folder.path()), c.good);
    }
    // The last good values are kept; a refused save changed nothing.
    QString error;
    EXPECT_EQ(loadCalibration("p", &error, folder.path()), (PrinterCalibration{90, 110, 10, -10}));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(loadCalibration("other", &error, folder.path()), PrinterCalibration());
    ASSERT_TRUE(writeFile(folder.filePath("bad.json"), R"({"scale_x_percent": 150})"));
    EXPECT_EQ(loadCalibration("bad", &error, folder.path()), PrinterCalibration());
    EXPECT_TRUE(error.contains("not used")) << error.toStdString();

    // A printer that prints 98 % across: places move out from the centre by 1/0.98.
    const QRectF drawn =
        calibratedRect(QRectF(5, 100, 10, 10), QSizeF(210, 297), PrinterCalibration{98, 100, 0, 0});
    EXPECT_NEAR(drawn.left(), 105 - 100 / 0.98, 1e-9);
    EXPECT_NEAR(drawn.width(), 10 / 0.98, 1e-9);
    EXPECT_DOUBLE_EQ(drawn.top(), 100);
    const QRectF back = calibratedBackRect(QRectF(5, 100, 10, 10), QSizeF(210, 297),
                                           PrinterCalibration{100, 100, 1.5, -2});
    EXPECT_EQ(back, QRectF(3.5, 102, 10, 10));
}

TEST(PrintOutput, ServicePicturesAreNumberedPerCopyWithTheirResolution)
{
    QTemporaryDir folder;
    PrintRequest request;
    request.profile = shipped("service-300");
    request.colours = CardColours::Blue;
    request.backPicture = QLatin1String(BuiltinBackName);
    request.output = folder.filePath("out");
    const QList<NamedCard> cards = {namedCard("Hero", 2, 1), namedCard("Ogre", 0, 2),
                                    namedCard("Imp", 1, 3)};
    const PrintResult result = writePrint(request, cards);
    EXPECT_TRUE(result.problems.isEmpty()) << result.problems.join("\n").toStdString();
    const QStringList expected = {"001-Hero-blue-front.png", "001-Hero-blue-back.png",
                                  "002-Hero-blue-front.png", "002-Hero-blue-back.png",
                                  "003-Imp-blue-front.png",  "003-Imp-blue-back.png"};
    QStringList written;
    for (const QString& path : result.written)
        written << QFileInfo(path).fileName();
    EXPECT_EQ(written, expected);
    EXPECT_EQ(plannedPrintFiles(request, cards), result.written);
    EXPECT_EQ(printItemCount(request.profile, 3, true), 6);
    QImageReader reader(folder.filePath("out/003-Imp-blue-front.png"));
    const QImage image = reader.read();
    EXPECT_EQ(image.size(), QSize(825, 825));
    EXPECT_EQ(image.dotsPerMeterX(), 11811);
    EXPECT_EQ(image.dotsPerMeterY(), 11811);
    EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32),
              composePrintCard(patternCard(3), request.profile, printCardGeometry(request.profile))
                  .convertToFormat(QImage::Format_RGB32));
    QFile a(folder.filePath("out/001-Hero-blue-front.png")),
        b(folder.filePath("out/002-Hero-blue-front.png"));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());

    // Backs apart: their own folders.
    request.profile.backsApart = true;
    request.output = folder.filePath("apart");
    EXPECT_TRUE(writePrint(request, cards).problems.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(folder.filePath("apart/backs/003-Imp-blue-back.png")));
    EXPECT_TRUE(QFileInfo::exists(folder.filePath("apart/fronts/003-Imp-blue-front.png")));
}

// Cards all drawn with one pack whose manifest names a back print that back in place of ours;
// cards of two packs print ours.
TEST(PrintOutput, CardsOfOnePackPrintItsBack)
{
    QTemporaryDir folder;
    QList<NamedCard> cards;
    for (const QRgb colour : {qRgb(200, 30, 160), qRgb(20, 30, 160)}) {
        const QString pack = folder.filePath(QString::number(colour));
        QDir().mkpath(pack);
        writeFile(pack + "/pack.json", R"({"card_back": "b.png"})");
        QImage back(62, 62, QImage::Format_RGB32);
        back.fill(colour);
        back.save(pack + "/b.png");
        cards << NamedCard{
            "C", "C", renderCardWithScales(Card{}, std::make_shared<PartScales>(CardParts{}, pack)),
            1};
    }
    PrintRequest request;
    request.profile = shipped("service-300");
    request.colours = CardColours::Blue;
    request.backPicture = QLatin1String(BuiltinBackName);
    for (const qsizetype count : {1, 2}) {
        request.output = folder.filePath(QString::number(count));
        ASSERT_TRUE(writePrint(request, cards.first(count)).problems.isEmpty());
        const QString back = QDir(request.output).entryList({"*back*"}, QDir::Files).value(0);
        EXPECT_EQ(QImage(request.output + "/" + back).pixel(412, 412),
                  count == 1 ? qRgb(200, 30, 160) : builtinCardBack().pixel(31, 31));
    }
}

TEST(PrintOutput, SheetsCountPagesWithCopiesAndSplitBacksOnRequest)
{
    QTemporaryDir folder;
    PrintRequest request;
    request.profile = shipped("home-a4");
    request.output = folder.filePath("deck.pdf");
    // 7 cards x 2 copies x 2 colours = 28 faces: 3 pages of 12.
    QList<NamedCard> cards;
    for (int k = 0; k < 7; ++k)
        cards << namedCard(QStringLiteral("C%1").arg(k), 2, k);
    PrintResult result = writePrint(request, cards);
    EXPECT_TRUE(result.problems.isEmpty());
    EXPECT_EQ(result.pages, 3);
    EXPECT_EQ(printItemCount(request.profile, 28, false), 3);
    QFile pdf(request.output);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.contains("/MediaBox [0 0 595.000000 842.000000]")) << bytes.left(800).data();
    // Each face once in the file, however many copies: 14 pictures, not 28.
    EXPECT_EQ(bytes.count("/Subtype /Image"), 14);

    request.backPicture = QLatin1String(BuiltinBackName);
    request.profile.backsApart = true;
    result = writePrint(request, cards);
    EXPECT_EQ(result.pages, 6);
    EXPECT_EQ(result.written,
              (QStringList{folder.filePath("deck-fronts.pdf"), folder.filePath("deck-backs.pdf")}));
    request.calibration = {120, 100, 0, 0};
    result = writePrint(request, cards);
    EXPECT_TRUE(result.written.isEmpty());
    EXPECT_TRUE(result.problems.join(" ").contains("90-110"));
}

// Progress in pages or pictures made; a stop between pages leaves no sheet at all.
TEST(PrintOutput, ReportsProgressAndAStopLeavesNoPartOfASheet)
{
    QList<NamedCard> cards;
    for (int k = 0; k < 7; ++k)
        cards << namedCard(QStringLiteral("C%1").arg(k), 2, k);
    const struct {
        const char* profile;
        int total, stopAfter, filesLeft;  // stopAfter: the report that asks to stop (-1: none)
    } cases[] = {{"home-a4", 3, -1, 1}, {"home-a4", 3, 1, 0}, {"service-300", 14, -1, 28}};
    for (const auto& c : cases) {
        QTemporaryDir folder;
        PrintRequest request;
        request.profile = shipped(c.profile);
        request.threads = 1;
        request.output = folder.filePath("print.pdf");
        std::atomic_bool stop{false};
        QList<int> done;
        const Progress progress(
            [&](int n, int total) {
                EXPECT_EQ(total, c.total);
                done << n;
                stop = int(done.size()) == c.stopAfter;
            },
            &stop);
        const PrintResult result = writePrint(request, cards, progress);
        EXPECT_EQ(result.cancelled, c.stopAfter >= 0) << c.profile;
        EXPECT_EQ(done.back(), c.stopAfter < 0 ? c.total : 0) << c.profile;
        EXPECT_EQ(int(result.written.size()), c.filesLeft) << c.profile;
        EXPECT_EQ(QFileInfo::exists(request.output), c.filesLeft > 0) << c.profile;
    }
}

TEST(DeckCopies, CopiesCellIsAWholeNumberFromZeroTo99)
{
    const struct {
        const char* cell;
        int copies;  // -1: a bad row
    } cases[] = {{"3", 3},    {"", 1},     {"0", 0},   {" 99 ", 99},
                 {"100", -1}, {"2.5", -1}, {"-1", -1}, {"three", -1}};
    for (const auto& c : cases) {
        const Deck deck =
            readDeckText(QStringLiteral("name,up,left,right,down,Copies\nHero,1,2,3,4,%1\n")
                             .arg(c.cell)
                             .toUtf8(),
                         QStringLiteral("deck.csv"));
        if (c.copies < 0) {
            ASSERT_EQ(deck.problems.size(), 1) << c.cell;
            EXPECT_EQ(deck.problems[0].column, "copies");
            EXPECT_TRUE(deck.rows.isEmpty());
        } else {
            ASSERT_EQ(deck.rows.size(), 1) << c.cell;
            EXPECT_EQ(deck.rows[0].copies, c.copies) << c.cell;
            EXPECT_TRUE(deck.warnings.isEmpty());
        }
    }
}

TEST(DeckCopies, ReplacingACardKeepsTheUsersCopiesCell)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("deck.csv");
    ASSERT_TRUE(writeFile(path, "name,up,left,right,down,copies\nHero,1,2,3,4,03\nImp,1,1,1,1,\n"));
    Card card;
    card.name = QStringLiteral("Hero");
    card.sides = {"5", "2", "3", "4"};
    QString error;
    ASSERT_TRUE(addCardToDeck(path, card, true, &error)) << error.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("Hero,5,2,3,4,03,")) << text.data();
    EXPECT_TRUE(text.contains("Imp,1,1,1,1,\n")) << text.data();
}

TEST(DeckCopies, DeckSheetsHoldEveryCopyAndTheAtlasEachCardOnce)
{
    QTemporaryDir folder;
    PlayOutputs outputs;
    outputs.colours = CardColours::Blue;
    outputs.tabletopDir = folder.filePath("tts");
    outputs.atlasPath = folder.filePath("atlas.png");
    outputs.tabletopScale = 1;
    const QList<NamedCard> cards = {namedCard("Hero", 3, 1), namedCard("Ogre", 0, 2),
                                    namedCard("Imp", 1, 3)};
    const PlayOutputsResult result = writePlayOutputs(outputs, "deck", cards);
    ASSERT_TRUE(result.problems.isEmpty()) << result.problems.join("\n").toStdString();
    QFile object(folder.filePath("tts/deck-blue.json"));
    ASSERT_TRUE(object.open(QIODevice::ReadOnly));
    const QByteArray json = object.readAll();
    EXPECT_EQ(json.count("\"Nickname\": \"Hero\""), 3) << json.left(400).data();
    EXPECT_EQ(json.count("\"Nickname\": \"Ogre\""), 0);
    EXPECT_EQ(json.count("\"Nickname\": \"Imp\""), 1);
    QFile index(folder.filePath("atlas.json"));
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    const QByteArray frames = index.readAll();
    EXPECT_TRUE(frames.contains("Hero-blue") && frames.contains("Ogre-blue"));
}
