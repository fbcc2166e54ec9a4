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
#include "support/images.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

#ifndef _WIN32
#include <unistd.h>
#endif

using namespace orvane;

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome render(const QStringList& arguments)
{
    QProcess process;
    process.setProgram(QStringLiteral(ORVANE_RENDER));
    process.setArguments(arguments);
    process.start();
    Outcome run;
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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
        const Outcome run = render(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("Usage:"))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST(OrvaneRender, DeckGivesTheCoresPixelsAndReportsBadRows)
{
    DeckFolder folder;
    const QString out = folder.path(QStringLiteral("out"));
    const Outcome run = render({folder.deck, "--out", out, "--records"});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_EQ(run.err.trimmed(), folder.deck + QStringLiteral(":3: column up: \"0\" is not a side "
                                                              "value (1 to 9, or A or 10)"));
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
                const QString file =
                    QDir(out).filePath(exportFileName(safeFileName(row.card.name), false, format));
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
    const Outcome run = render({path, "--quiet"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(
        QImage(dir.filePath(QStringLiteral("bolt-blue.png"))).convertToFormat(QImage::Format_RGB32),
        renderCard(card, builtParts()).blue);

    ASSERT_TRUE(writeFile(path, "{\"format\": \"orvane-card\", \"version\": 9}"));
    const Outcome newer = render({path});
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
        const Outcome run = render(QStringList{deck, "--sheet", pdf} << c.arguments);
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
    const Outcome run = render({folder.deck, "--parts", parts, "--out", out});
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
    const Outcome onFile = render({folder.deck, "--out", folder.path(QStringLiteral("a-file"))});
    EXPECT_EQ(onFile.exitCode, 1);
    EXPECT_TRUE(onFile.err.contains(QStringLiteral("cannot be made"))) << onFile.err.toStdString();

#ifndef _WIN32
    if (geteuid() == 0)
        GTEST_SKIP() << "run as root: a read-only folder can still be written";
#endif
    const QString locked = folder.path(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(locked));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    const Outcome run = render({folder.deck, "--out", locked});
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
    const Outcome run = render({folder.deck, "--out", out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Tall-red.png cannot be written")))
        << run.err.toStdString();
    EXPECT_FALSE(QImage(old).isNull());
    for (const QString& name : QDir(out).entryList(QDir::Files | QDir::Hidden))
        EXPECT_FALSE(name.startsWith(QLatin1Char('.'))) << name.toStdString();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
