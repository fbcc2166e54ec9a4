// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-render runs from the outside: several inputs, which files a run may write or replace,
// its summary and messages, and a run stopped by a signal.
#include "card/card_file.h"
#include "support/child_process.h"
#include "support/images.h"
#include "support/small_disk.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

using namespace orvane;

namespace {

// A folder of inputs: two decks (one with a bad row) and a card file.
struct Inputs {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

    Inputs()
    {
        writeFile(path("one.csv"), "name,up,left,right,down\nAce,1,2,3,4\nBad,0,1,1,1\n");
        writeFile(path("two.csv"), "name,up,left,right,down\nBolt,5,5,5,5\n");
        Card card;
        card.name = QStringLiteral("Crest");
        card.sides = {"1", "1", "1", "1"};
        card.mainPicture = gradient(20, 20);
        writeCardFile(card, path("crest.orvcard"), nullptr);
    }
};

TEST(RenderRuns, SeveralInputsInOneRun)
{
    Inputs in;
    const QString out = in.path("out");
    const ChildRun run =
        render({in.path("one.csv"), in.path("two.csv"), in.path("crest.orvcard"), "--out", out});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();  // the bad row of one.csv
    EXPECT_EQ(filesIn(out), QStringList({"Ace-blue.png", "Ace-red.png", "Bolt-blue.png",
                                         "Bolt-red.png", "Crest-blue.png", "Crest-red.png"}));
    EXPECT_TRUE(run.out.startsWith("3 cards, 6 pictures in ")) << run.out.toStdString();
    EXPECT_TRUE(run.out.trimmed().endsWith("; 1 problem")) << run.out.toStdString();

    // Without --out each input's cards go beside it.
    QDir(in.path("")).mkdir("sub");
    writeFile(in.path("sub/three.csv"), "name,up,left,right,down\nDusk,2,2,2,2\n");
    EXPECT_EQ(render({in.path("two.csv"), in.path("sub/three.csv"), "--quiet"}).exitCode, 0);
    EXPECT_TRUE(QFileInfo::exists(in.path("Bolt-blue.png")));
    EXPECT_TRUE(QFileInfo::exists(in.path("sub/Dusk-red.png")));
}

// Two inputs naming a card alike write the same files: the later card is refused and the message
// names the card that has them.
TEST(RenderRuns, CardsOfTwoInputsWithOneNameClash)
{
    Inputs in;
    writeFile(in.path("again.csv"), "name,up,left,right,down\nFirst,1,1,1,1\n\nbolt,2,2,2,2\n");
    const ChildRun run =
        render({in.path("two.csv"), in.path("again.csv"), "--out", in.path("out")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(), in.path("again.csv") + ":4: the card of " + in.path("two.csv") +
                                     ":2 is written to the same files");
    EXPECT_EQ(fileBytes(in.path("out/Bolt-blue.png")).left(4), QByteArray("\x89PNG"));
}

TEST(RenderRuns, ASheetAloneWritesNoPictures)
{
    const struct {
        QStringList extra;
        QStringList pictures;
    } cases[] = {
        {{}, {}},
        {{"--out", "out"}, {"Bolt-blue.png", "Bolt-red.png"}},
        {{"--out", "out", "--records"}, {"Bolt-blue.png", "Bolt-red.png", "Bolt.txt"}},
    };
    for (const auto& c : cases) {
        Inputs in;
        const ChildRun run =
            render(QStringList{"two.csv", "--sheet", "s.pdf"} << c.extra, in.path(""));
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(fileBytes(in.path("s.pdf")).startsWith("%PDF-"));
        EXPECT_FALSE(QFileInfo::exists(in.path("Bolt-blue.png")));
        EXPECT_EQ(filesIn(in.path("out")), c.pictures) << c.extra.join(' ').toStdString();
        EXPECT_TRUE(run.out.contains("a sheet of 1 page in")) << run.out.toStdString();
    }
}

TEST(RenderRuns, TheSummaryCountsInWords)
{
    const struct {
        QByteArray rows;
        const char* summary;
    } cases[] = {
        {"A,1,1,1,1\n", "1 card, 2 pictures in "},
        {"A,1,1,1,1\nB,2,2,2,2\nC,0,1,1,1\n", "2 cards, 4 pictures in "},
        {"A,1,1,1,1\nC,0,1,1,1\n", "; 1 problem\n"},
        {"A,1,1,1,1\nC,0,1,1,1\nD,x,1,1,1\n", "; 2 problems\n"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        writeFile(dir.filePath("d.csv"), "name,up,left,right,down\n" + c.rows);
        const ChildRun run = render({dir.filePath("d.csv")});
        EXPECT_TRUE(run.out.contains(QLatin1String(c.summary))) << run.out.toStdString();
    }
}

// An output that is a file the run reads (the deck, a picture a row names, a card file) is
// refused before anything is written.
TEST(RenderRuns, AnOutputThatIsAnInputIsRefusedBeforeAnythingIsWritten)
{
    const struct {
        QStringList arguments;
        const char* replaced;  // the input that would be lost
        const char* message;
    } cases[] = {
        {{"deck.csv", "--sheet", "deck.csv"}, "deck.csv", "would replace the input"},
        {{"deck.csv", "crest.orvcard", "--sheet", "./crest.orvcard"},
         "crest.orvcard",
         "would replace the input"},
        {{"deck.csv", "--out", "out"}, "out/Hero-blue.png", "would replace the picture of"},
        {{"deck.csv", "--out", "link"}, "out/Hero-blue.png", "would replace the picture of"},
        {{"deck.csv", "--out", "out2", "--sheet", "out2/Ace-red.png"},
         "deck.csv",
         "the sheet out2/Ace-red.png would replace the card of"},
    };
    for (const auto& c : cases) {
        Inputs in;
        QDir(in.path("")).mkdir("out");
        QFile::link(in.path("out"), in.path("link"));
        const QByteArray picture = fileBytes(in.path("crest.orvcard")).left(10);
        solid(62, 62, qRgb(10, 200, 30)).save(in.path("out/Hero-blue.png"));
        writeFile(in.path("deck.csv"), "name,up,left,right,down,picture\n"
                                       "Ace,1,1,1,1,\nHero,2,2,2,2,out/Hero-blue.png\n");
        const QByteArray before = fileBytes(in.path(c.replaced));
        const ChildRun run = render(c.arguments, in.path(""));
        const QString what = c.arguments.join(' ');
        EXPECT_EQ(run.exitCode, 1) << what.toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.message))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("nothing was written")) << run.err.toStdString();
        EXPECT_EQ(fileBytes(in.path(c.replaced)), before) << what.toStdString();
        EXPECT_EQ(filesIn(in.path("out")), QStringList({"Hero-blue.png"})) << what.toStdString();
        EXPECT_FALSE(QFileInfo::exists(in.path("Ace-blue.png")));
    }
}

// The folder is probed without a name of its own: a user's file of any name stays, and runs
// into one folder at the same time all succeed.
TEST(RenderRuns, ProbingTheOutputFolderTouchesNoFileAndNoOtherRun)
{
    Inputs in;
    const QString out = in.path("out");
    QDir().mkpath(out);
    writeFile(QDir(out).filePath(".orvane-render-check"), "the user's own");
    QList<QProcess*> runs;
    for (int k = 0; k < 6; ++k) {
        auto* process = new QProcess;
        process->start(QStringLiteral(ORVANE_RENDER),
                       {in.path("one.csv"), in.path("two.csv"), "--out", out, "--quiet"});
        runs << process;
    }
    for (QProcess* process : runs) {
        ASSERT_TRUE(process->waitForFinished(60000));
        EXPECT_EQ(process->exitCode(), 1);  // the bad row only
        EXPECT_FALSE(process->readAllStandardError().contains("nothing can be written"));
        delete process;
    }
    EXPECT_EQ(fileBytes(QDir(out).filePath(".orvane-render-check")), "the user's own");
    EXPECT_EQ(filesIn(out), QStringList({".orvane-render-check", "Ace-blue.png", "Ace-red.png",
                                         "Bolt-blue.png", "Bolt-red.png"}));
}

TEST(RenderRuns, ReplacedOutputsAreCountedAndNoClobberKeepsThem)
{
    Inputs in;
    const QString out = in.path("out");
    QDir().mkpath(out);
    writeFile(QDir(out).filePath("Bolt-red.png"), "the user's own");
    writeFile(QDir(out).filePath("Bolt.txt"), "an old record");
    const QStringList arguments{in.path("two.csv"), "--out", out, "--records"};

    const ChildRun kept = render(arguments + QStringList{"--no-clobber"});
    EXPECT_EQ(kept.exitCode, 0) << kept.err.toStdString();
    EXPECT_EQ(fileBytes(QDir(out).filePath("Bolt-red.png")), "the user's own");
    EXPECT_EQ(fileBytes(QDir(out).filePath("Bolt.txt")), "an old record");
    EXPECT_TRUE(kept.out.startsWith("1 card, 1 picture, 2 existing files kept (--no-clobber) in "))
        << kept.out.toStdString();

    // The blue picture already holds the same bytes: it is left as it is.
    const ChildRun replaced = render(arguments);
    EXPECT_EQ(replaced.exitCode, 0);
    EXPECT_TRUE(replaced.out.startsWith(
        "1 card, 1 picture, 1 file unchanged, 2 existing files replaced in "))
        << replaced.out.toStdString();
    EXPECT_FALSE(QImage(QDir(out).filePath("Bolt-red.png")).isNull());
    EXPECT_EQ(filesIn(out), QStringList({"Bolt-blue.png", "Bolt-red.png", "Bolt.txt"}));
}

// The longest legal file name is written: the temporary files never need a longer one.
TEST(RenderRuns, NamesUpToTheSystemsLimitAreWritten)
{
    QTemporaryDir dir;
    const QString name(246, QLatin1Char('n'));  // "-blue.png": 255 bytes in all
    writeFile(dir.filePath("d.csv"), "name,up,left,right,down\n" + name.toLatin1() + ",1,1,1,1\n");
    const ChildRun run = render({dir.filePath("d.csv"), "--out", dir.filePath("out"), "--records"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(filesIn(dir.filePath("out")),
              QStringList({name + "-blue.png", name + "-red.png", name + ".txt"}));
}

TEST(RenderRuns, UsageErrorsAreFoundBeforeAnyWork)
{
    Inputs in;
    QFile::link(in.path("loop"), in.path("loop"));
    QFile::link(in.path("gone.csv"), in.path("dangling.csv"));
    const struct {
        QStringList arguments;
        const char* message;
    } cases[] = {
        {{"missing.csv"}, "missing.csv is not there"},
        {{"two.csv", "missing.csv"}, "missing.csv is not there"},
        {{"loop"}, "loop is a symbolic link that leads round in a loop"},
        {{"dangling.csv"}, "dangling.csv is a symbolic link to"},
        {{"."}, ". is a folder"},
        {{"two.csv", "--sheet", "s.pdf", "--card-mm", "nan"}, "--card-mm must be a size"},
        {{"two.csv", "--sheet", "s.pdf", "--card-mm", "inf"}, "--card-mm must be a size"},
        {{"two.csv", "--sheet", "s.pdf", "--card-mm", "120"},
         "--card-mm 120: a blue and a red card of that size do not fit on an A4 page"},
        {{"two.csv", "--sheet", "s.pdf", "--card-mm", "150", "--paper", "letter"},
         "do not fit on a Letter page"},
        {{"two.csv", "--scale", "2", "--scale", "3"}, "--scale is given more than once"},
        {{"two.csv", "--quiet", "--quiet"}, "--quiet is given more than once"},
        {{"two.csv", "--out", "a", "--out", "a"}, "--out is given more than once"},
    };
    for (const auto& c : cases) {
        const ChildRun run = render(c.arguments, in.path(""));
        const std::string what = c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, 2) << what;
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("orvane-render: "))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.message))) << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(in.path("s.pdf"))) << what;
        EXPECT_FALSE(QFileInfo::exists(in.path("Bolt-blue.png"))) << what;
    }
}

// A deck and a card file are told apart by what they hold, whatever their names.
TEST(RenderRuns, ADeckIsToldFromACardFileByItsContent)
{
    Inputs in;
    QFile::copy(in.path("two.csv"), in.path("deck.txt"));
    QFile::copy(in.path("crest.orvcard"), in.path("crest.csv"));
    writeFile(in.path("bom.txt"), "\xEF\xBB\xBFname,up,left,right,down\r\nEcho,3,3,3,3\r\n");
    const ChildRun run = render({in.path("deck.txt"), in.path("crest.csv"), in.path("bom.txt"),
                                 "--out", in.path("out"), "--quiet"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(filesIn(in.path("out")),
              QStringList({"Bolt-blue.png", "Bolt-red.png", "Crest-blue.png", "Crest-red.png",
                           "Echo-blue.png", "Echo-red.png"}));
}

// Problems come in input and line order; a whole file's problem names no line; a damaged
// picture inside a card file is reported once, with no decoder text before it.
TEST(RenderRuns, ProblemsInOrderAndInTheRunsOwnWords)
{
    Inputs in;
    writeFile(in.path("not-a-picture.png"), "plain text");
    writeFile(in.path("deck.csv"), "name,up,left,right,down,picture\n"
                                   "A,1,1,1,1,not-a-picture.png\n"
                                   "B,0,1,1,1,\n"
                                   "C,1,1,1,1,not-a-picture.png\n"
                                   "D,1,1,x,1,\n");
    writeFile(in.path("damaged.orvcard"),
              R"({"format":"orvane-card","version":1,"name":"X","sides":{"up":"1","left":"1",)"
              R"("right":"1","down":"1"},"element":null,"arrows":[],"x":0,"y":0,)"
              R"("picture":{"path":"a","width":2,"height":2,"png":"QUJDREVGR0g="}})");
    const ChildRun run = render(
        {in.path("deck.csv"), in.path("damaged.orvcard"), "--out", in.path("out"), "--jobs", "2"});
    EXPECT_EQ(run.exitCode, 1);
    QStringList lines = run.err.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 5) << run.err.toStdString();
    const QString deck = in.path("deck.csv");
    for (int k = 0; k < 4; ++k)
        EXPECT_TRUE(lines[k].startsWith(QStringLiteral("%1:%2: ").arg(deck).arg(k + 2)))
            << lines[k].toStdString();
    EXPECT_TRUE(lines[4].contains("damaged.orvcard")) << lines[4].toStdString();
    EXPECT_FALSE(run.err.contains(":0:"));
    EXPECT_FALSE(run.err.contains("libpng"));
    EXPECT_TRUE(run.out.contains("; 5 problems"));
}

TEST(RenderRuns, AFullDiskIsNamed)
{
    SmallDisk disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << "a memory disk cannot be mounted here (needs root)";
    Inputs in;
    ASSERT_TRUE(disk.fillLeaving(0));
    const ChildRun run = render({in.path("two.csv"), "--out", disk.filePath("")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("the disk is full")) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("Unknown error"));
    EXPECT_EQ(disk.contents().keys(), QStringList({"filler"}));
}

// Stopped by a signal halfway through a long deck: the exit code a shell expects, only whole
// pictures and no temporary file left.
TEST(RenderRuns, ASignalStopsTheRunCleanly)
{
    QTemporaryDir dir;
    QByteArray csv = "name,up,left,right,down\n";
    for (int k = 0; k < 20000; ++k)
        csv += "card" + QByteArray::number(k) + ",1,2,3,4\n";
    writeFile(dir.filePath("big.csv"), csv);
    const QString out = dir.filePath("out");
    for (const auto& [signal, expectedCode] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        QDir(out).removeRecursively();
        QProcess process;
        process.start(QStringLiteral(ORVANE_RENDER),
                      {dir.filePath("big.csv"), "--out", out, "--jobs", "2"});
        ASSERT_TRUE(process.waitForStarted());
        // Wait for the first cards, then stop.
        for (int wait = 0; wait < 600 && QDir(out).entryList(QDir::Files).size() < 20; ++wait)
            QThread::msleep(50);
        ::kill(pid_t(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), expectedCode);
        const QStringList written = filesIn(out);
        EXPECT_LT(written.size(), 40000) << "the run was not stopped";
        for (const QString& name : written) {
            ASSERT_FALSE(name.startsWith('.')) << name.toStdString();
            ASSERT_FALSE(QImage(QDir(out).filePath(name)).isNull()) << name.toStdString();
        }
        EXPECT_EQ(written.size() % 2, 0);  // both pictures of every card, or neither
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
