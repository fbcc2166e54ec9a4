// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-render's print by a profile, its calibration and the deck's copies, from the outside.
#include "support/child_process.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Every child keeps its user data (profiles, calibrations) in a folder of this test's own.
const QTemporaryDir userData;
const bool dataApart = qputenv("XDG_DATA_HOME", userData.path().toLocal8Bit());

struct Folder {
    QTemporaryDir dir;
    Folder()
    {
        writeFile(dir.filePath("deck.csv"), "name,up,left,right,down,copies\n"
                                            "Hero,1,2,3,4,3\nOgre,5,6,7,8,0\nImp,A,1,1,1,\n");
    }
    QString path(const QString& name) const { return dir.filePath(name); }
};

}  // namespace

TEST(PrintCli, RefusesWhatCannotPrintWithTheReason)
{
    ASSERT_TRUE(dataApart);
    Folder folder;
    writeFile(folder.path("bad.json"), R"({"layout": "sheets", "dpi": 2400})");
    writeFile(folder.path("copies.csv"), "name,up,left,right,down,copies\nHero,1,2,3,4,100\n");
    const struct {
        QStringList arguments;
        int exitCode;
        const char* says;
    } cases[] = {
        {{"deck.csv", "--print", "out", "--profile", "bad.json"}, 2, "member dpi: 2400 is over"},
        {{"deck.csv", "--print", "out"}, 2, "--print needs --profile"},
        {{"deck.csv", "--profile", "home-a4"}, 2, "go with --print"},
        {{"deck.csv", "--print", "o", "--profile", "nothing"}, 2, "no print profile \"nothing\""},
        {{"deck.csv", "--print", "o", "--profile", "home-a4", "--enlarge", "x"}, 2, "--enlarge"},
        {{"--calibrate", "120,100", "--profile", "home-a4"}, 1, "outside 90-110"},
        {{"--calibrate", "100,100,11,0", "--profile", "home-a4"}, 1, "over 10 mm"},
        {{"--calibrate", "100", "--profile", "home-a4"}, 2, "must be X,Y"},
        {{"--calibration-page", "c.pdf", "--profile", "service-300"}, 1, "for a profile of sheets"},
        {{"copies.csv", "--print", "o", "--profile", "service-300"},
         1,
         "column copies: \"100\" is not a whole number from 0 to 99"},
    };
    for (const auto& c : cases) {
        const ChildRun run = render(c.arguments, folder.dir.path());
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.says)))
            << c.arguments.join(' ').toStdString() << ": " << run.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(userData.filePath("orvane/print/calibration/home-a4.json")));
}

TEST(PrintCli, ServicePicturesCountCopiesAndCarryTheResolution)
{
    Folder folder;
    const ChildRun run = render({"deck.csv", "--print", "service", "--profile", "service-600",
                                 "--colours", "red", "--back", "builtin", "--enlarge", "scale2x"},
                                folder.dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("a print of 8 pictures")) << run.out.toStdString();
    const QStringList files = QDir(folder.path("service")).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files, (QStringList{"001-Hero-red-back.png", "001-Hero-red-front.png",
                                  "002-Hero-red-back.png", "002-Hero-red-front.png",
                                  "003-Hero-red-back.png", "003-Hero-red-front.png",
                                  "004-Imp-red-back.png", "004-Imp-red-front.png"}));
    const QImage front(folder.path("service/004-Imp-red-front.png"));
    EXPECT_EQ(front.size(), QSize(1650, 1650));
    EXPECT_EQ(front.dotsPerMeterX(), 23622);
    // Without --out, no card pictures beside the deck.
    EXPECT_FALSE(QFileInfo::exists(folder.path("Hero-blue.png")));
}

TEST(PrintCli, ACardFilesCopiesAreCounted)
{
    Folder folder;
    writeFile(folder.path("elf.orvcard"),
              R"({"format": "orvane-card", "version": 1, "name": "Elf", "copies": 2,
                  "sides": {"up": "1", "left": "2", "right": "3", "down": "4"}})");
    const ChildRun run = render(
        {"elf.orvcard", "--print", "service", "--profile", "service-300", "--colours", "blue"},
        folder.dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("a print of 2 pictures")) << run.out.toStdString();
}

TEST(PrintCli, CalibrationIsKeptAndMovesLaterSheets)
{
    Folder folder;
    ASSERT_EQ(render({"--calibration-page", "cal.pdf"}, folder.dir.path()).exitCode, 0);
    const QByteArray page = fileBytes(folder.path("cal.pdf"));
    EXPECT_TRUE(page.startsWith("%PDF"));
    EXPECT_EQ(page.count("/Type /Page\n"), 2);

    const QStringList sheet = {"deck.csv",    "--print", "a4.pdf", "--profile",
                               "home-letter", "--back",  "builtin"};
    ASSERT_EQ(render(sheet, folder.dir.path()).exitCode, 0);
    const QByteArray plain = fileBytes(folder.path("a4.pdf"));
    EXPECT_EQ(plain.count("/Type /Page\n"), 2);  // 8 faces on one page, and its backs
    const ChildRun kept =
        render({"--calibrate", "99%,101%,1.5,-0.5", "--profile", "home-letter"}, folder.dir.path());
    ASSERT_EQ(kept.exitCode, 0) << kept.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(userData.filePath("orvane/print/calibration/home-letter.json")));
    ASSERT_EQ(render(sheet, folder.dir.path()).exitCode, 0);
    EXPECT_NE(fileBytes(folder.path("a4.pdf")), plain);
}

TEST(PrintCli, DeckSheetsHoldTheCopies)
{
    Folder folder;
    const ChildRun run =
        render({"deck.csv", "--tts", "tts", "--colours", "blue"}, folder.dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QByteArray object = fileBytes(folder.path("tts/deck-blue.json"));
    EXPECT_EQ(object.count("\"Nickname\": \"Hero\""), 3);
    EXPECT_EQ(object.count("\"Nickname\": \"Ogre\""), 0);
}
