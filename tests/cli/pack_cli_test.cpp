// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-render --pack and --check-pack from the outside.
#include "render/card_parts.h"
#include "render/part_pack.h"
#include "support/child_process.h"

#include <QDir>
#include <QImage>
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

}  // namespace
