// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-render --stats from the outside: the numbers and findings of a known deck, as Markdown
// and JSON, to standard output or a file; bad rows counted apart; usage errors.
#include "support/child_process.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Dragon dominates Slime and Twin 2 duplicates Twin. Three rows are bad: a side "Z", and two
// with more arrows than a total of 4 allows (a deck refuses those rows, so they are counted
// apart rather than found).
const char* const KnownDeck = "name,up,left,right,down,element,arrows\n"
                              "Dragon,A,A,A,A,Fire,up down\n"
                              "Slime,1,1,1,1,Fire,up\n"
                              "Bad,Z,1,1,1,,\n"
                              "Twin,5,5,5,5,Water,\n"
                              "Twin 2,5,5,5,5,Water,\n"
                              "Greedy,1,1,1,1,Earth,0 1 2\n"
                              "Worse,1,1,1,1,Fire,up left right\n";

struct StatsFolder {
    QTemporaryDir dir;
    QString deck = dir.filePath(QStringLiteral("known.csv"));
    StatsFolder() { writeFile(deck, KnownDeck); }
};

TEST(StatsCli, MarkdownNamesEveryNumberAndFinding)
{
    StatsFolder folder;
    const ChildRun run = render({folder.deck, "--stats"});
    EXPECT_EQ(run.exitCode, 1);  // the bad rows; the statistics are still written
    EXPECT_TRUE(run.err.contains("known.csv:4: column up:")) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("# Statistics of known.csv\n\n4 cards; 3 bad rows not "
                                   "counted.\n"))
        << run.out.toStdString();
    for (const char* line : {"| 4 | Monster | 1 |", "| 20 | Boss | 2 |", "| 40 | Character | 1 |",
                             "| A | 1 | 1 | 1 | 1 |", "| Fire | 2 |", "| up | 2 |",
                             "- Slime is dominated by Dragon (Fire)", "- Twin 2 duplicates Twin"})
        EXPECT_TRUE(run.out.contains(QString::fromUtf8(line))) << line;
}

TEST(StatsCli, JsonToAFileWrittenWhole)
{
    StatsFolder folder;
    const QString out = folder.dir.filePath(QStringLiteral("stats.json"));
    const ChildRun run =
        render({folder.deck, "--stats", "--stats-format", "JSON", "--stats-out", out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    const QJsonObject json = QJsonDocument::fromJson(fileBytes(out)).object();
    EXPECT_EQ(json["cards"].toInt(), 4);
    EXPECT_EQ(json["badRows"].toInt(), 3);
    EXPECT_EQ(json["elements"].toObject()["Fire"].toInt(), 2);
    EXPECT_EQ(json["arrowCounts"].toArray()[2].toInt(), 1);  // Dragon
    QStringList findings;
    for (const QJsonValue f : json["findings"].toArray())
        findings << f["kind"].toString() + ":" + f["card"].toString() + ":" + f["other"].toString();
    EXPECT_EQ(findings, QStringList({"dominated:Slime:Dragon", "duplicate:Twin 2:Twin"}));

    // A folder that is not there: exit 1, nothing left behind.
    const QString missing = folder.dir.filePath(QStringLiteral("no/stats.md"));
    EXPECT_EQ(render({folder.deck, "--stats", "--stats-out", missing}).exitCode, 1);
    EXPECT_FALSE(QFile::exists(missing));
}

TEST(StatsCli, EmptyDeckGivesEmptyTables)
{
    QTemporaryDir dir;
    const QString deck = dir.filePath(QStringLiteral("empty.csv"));
    writeFile(deck, "name,up,left,right,down\n");
    const ChildRun run = render({deck, "--stats"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("No cards to count.\n"));
    EXPECT_TRUE(run.out.contains("No findings.\n"));
}

TEST(StatsCli, UsageErrors)
{
    StatsFolder folder;
    const QStringList cases[] = {
        {folder.deck, "--stats", "--stats-format", "yaml"},
        {folder.deck, "--stats-format", "json"},
        {folder.deck, "--stats-out", "x.md"},
        {folder.deck, "--stats", "--out", folder.dir.path()},
        {folder.dir.filePath("missing.csv"), "--stats"},
    };
    for (const QStringList& arguments : cases) {
        const ChildRun run = render(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    // A file that is no deck at all is not read as an empty one.
    const QString junk = folder.dir.filePath(QStringLiteral("junk.csv"));
    writeFile(junk, "");
    EXPECT_EQ(render({junk, "--stats"}).exitCode, 1);
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
