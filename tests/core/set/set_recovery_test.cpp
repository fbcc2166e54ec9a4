// SPDX-License-Identifier: GPL-3.0-or-later
// The recovery file after a process that was killed: a child process opens a deck, changes it,
// waits for its recovery file and is killed; the set restored from the file is the child's.
#include "card/card_file.h"
#include "card/card_file_pack.h"
#include "document/card_document.h"
#include "set/card_recovery.h"
#include "set/card_set.h"
#include "support/file_bytes.h"
#include "support/images.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <cstdio>

using namespace orvane;

namespace {

const QByteArray Deck = "name,notes,up,left,right,down,element,picture\r\n"
                        "Slime,\"soft, green\",1,2,3,4,fire,\r\n"
                        "Dragon,big,A,A,9,8,,\r\n";

quint64 idOf(const CardSet& set, const QString& name)
{
    for (const SetEntry& e : set.entries())
        if (e.card.name == name)
            return e.id;
    return 0;
}

// The changes the child makes before it is killed: every kind of state a set holds.
void makeChanges(CardSet& set)
{
    set.renameCard(idOf(set, "Slime"), "Ooze", nullptr);
    Card dragon = set.entry(idOf(set, "Dragon"))->card;
    dragon.element = 3;
    dragon.mainPicture = gradient(10, 12);
    set.setCard(idOf(set, "Dragon"), dragon);
    Card imp;
    imp.name = "Imp";
    imp.sides = {"1", "1", "1", "1"};
    set.addCard(imp, 0);
    set.moveCards({idOf(set, "Ooze")}, set.count());
}

int childMain(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CardSet set;
    if (!set.open(QString::fromLocal8Bit(argv[2]), nullptr))
        return 3;
    RecoveryWriter writer(set, QString::fromLocal8Bit(argv[3]), 50);
    QObject::connect(&writer, &RecoveryWriter::written, [] {
        std::puts("written");
        std::fflush(stdout);
    });
    makeChanges(set);
    return app.exec();  // until killed
}

// A lone card's edits before the child is killed: on a card read from its file.
void editCard(CardDocument& document)
{
    document.typeSide(0, "7");
    document.closeTyping();
    document.clickElement(2);
    document.setArrow(4, true);
    document.setMainPicture(gradient(6, 9), "/somewhere/else.png");
    document.setName("Bat");
}

int cardChildMain(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CardDocument document;
    const CardFileRead read = readCardFile(QString::fromLocal8Bit(argv[2]));
    if (!read.card)
        return 3;
    document.startOver(*read.card, QString::fromLocal8Bit(argv[2]));
    CardRecoveryWriter writer(document, QString::fromLocal8Bit(argv[3]), 50);
    QObject::connect(&writer, &CardRecoveryWriter::written, [] {
        std::puts("written");
        std::fflush(stdout);
    });
    editCard(document);
    return app.exec();  // until killed
}

// Starts the test program as a child with `arguments`, waits until it says its recovery file
// was written, and kills it.
void runAndKill(const QStringList& arguments)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), arguments);
    ASSERT_TRUE(child.waitForStarted(5000));
    QByteArray output;
    while (!output.contains("written") && child.waitForReadyRead(10000))
        output += child.readAllStandardOutput();
    ASSERT_TRUE(output.contains("written")) << child.readAllStandardError().toStdString();
    child.kill();  // SIGKILL: nothing of the child's own runs after this
    ASSERT_TRUE(child.waitForFinished(5000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
}

QList<std::tuple<Card, bool, QMap<QString, QString>>> state(const CardSet& set)
{
    QList<std::tuple<Card, bool, QMap<QString, QString>>> list;
    for (const SetEntry& e : set.entries())
        list.append({e.card, e.pictureChanged, e.pictureFit});
    return list;
}

TEST(SetRecovery, TheSetOfAKilledProcessIsRestoredExactly)
{
    QTemporaryDir dir;
    const QString deck = dir.filePath("deck.csv");
    const QString recovery = dir.filePath("set.recovery");
    ASSERT_TRUE(writeFileBytes(deck, Deck));

    runAndKill({"--child", deck, recovery});
    EXPECT_EQ(fileBytes(deck), Deck);  // the child saved nothing

    CardSet restored;
    QString error;
    ASSERT_TRUE(restored.restore(fileBytes(recovery), &error)) << error.toStdString();
    CardSet expected;
    ASSERT_TRUE(expected.open(deck, nullptr));
    makeChanges(expected);
    EXPECT_TRUE(state(restored) == state(expected));
    EXPECT_TRUE(restored.isModified());
    EXPECT_EQ(restored.path(), QFileInfo(deck).absoluteFilePath());

    // Saved, it writes what the child would have written.
    ASSERT_TRUE(restored.save(&error)) << error.toStdString();
    EXPECT_EQ(fileBytes(deck), "name,notes,up,left,right,down,element,picture\r\n"
                               "Imp,,1,1,1,1,,\r\n"
                               "Dragon,big,A,A,9,8,Earth,Dragon-picture.png\r\n"
                               "Ooze,\"soft, green\",1,2,3,4,fire,\r\n");
    EXPECT_EQ(QImage(dir.filePath("Dragon-picture.png")).convertToFormat(QImage::Format_RGB32),
              gradient(10, 12));
}

TEST(SetRecovery, EveryCardComesBackWithItsPack)
{
    QTemporaryDir dir;
    const QString deck = dir.filePath("deck.csv");
    ASSERT_TRUE(writeFileBytes(deck, "name,up,left,right,down,pack\nSlime,1,2,3,4,Table\n"));
    CardSet set;
    ASSERT_TRUE(set.open(deck, nullptr));
    set.renameCard(idOf(set, "Slime"), "Ooze", nullptr);
    CardSet restored;
    ASSERT_TRUE(restored.restore(set.recoveryText(), nullptr));
    EXPECT_EQ(restored.packOf(idOf(restored, "Ooze")), "Table");
}

TEST(SetRecovery, WrittenAfterAChangeAndRemovedWhenNothingIsUnsaved)
{
    QTemporaryDir dir;
    const QString deck = dir.filePath("deck.csv");
    const QString recovery = dir.filePath("set.recovery");
    ASSERT_TRUE(writeFileBytes(deck, Deck));
    CardSet set;
    ASSERT_TRUE(set.open(deck, nullptr));
    RecoveryWriter writer(set, recovery, 20);

    set.renameCard(idOf(set, "Slime"), "Ooze", nullptr);
    EXPECT_FALSE(QFileInfo::exists(recovery));  // not at once: a few moments after the change
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(recovery) && waited.elapsed() < 5000) {
        QThread::msleep(5);
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(QFileInfo::exists(recovery));
    set.undoStack()->undo();  // back to the file as it is: nothing to recover
    EXPECT_FALSE(QFileInfo::exists(recovery));

    set.renameCard(idOf(set, "Slime"), "Ooze", nullptr);
    ASSERT_TRUE(writer.flush());
    EXPECT_TRUE(QFileInfo::exists(recovery));
    writer.discard();
    EXPECT_FALSE(QFileInfo::exists(recovery));

    set.renameCard(idOf(set, "Ooze"), "Goo", nullptr);
    ASSERT_TRUE(writer.flush());
    ASSERT_TRUE(set.save(nullptr));
    EXPECT_FALSE(QFileInfo::exists(recovery));
}

TEST(CardRecovery, TheLoneCardOfAKilledProcessIsRestoredExactly)
{
    QTemporaryDir dir;
    const QString cardFile = dir.filePath("imp.orvcard");
    const QString recovery = dir.filePath("card.recovery");
    Card imp;
    imp.name = "Imp";
    imp.sides = {"1", "2", "3", "4"};
    ASSERT_TRUE(writeCardFile(imp, cardFile, nullptr));
    const QByteArray savedBytes = fileBytes(cardFile);

    runAndKill({"--card-child", cardFile, recovery});
    EXPECT_EQ(fileBytes(cardFile), savedBytes);  // the child saved nothing

    QString error;
    const std::optional<RecoveredCard> recovered = readCardRecovery(fileBytes(recovery), &error);
    ASSERT_TRUE(recovered.has_value()) << error.toStdString();
    CardDocument restored;
    restoreCard(restored, *recovered);
    CardDocument expected;
    expected.startOver(imp, cardFile);
    editCard(expected);
    EXPECT_EQ(restored.state(), expected.state());
    EXPECT_EQ(restored.filePath(), cardFile);
    EXPECT_TRUE(restored.isModified());
    // Undo goes back to the card its file holds.
    restored.undoStack()->undo();
    EXPECT_EQ(restored.card(), imp);
    EXPECT_FALSE(restored.isModified());
}

TEST(CardRecovery, TheCardComesBackWithItsPackAndUndoGivesTheFilesPack)
{
    QTemporaryDir dir;
    const QString cardFile = dir.filePath("imp.orvcard");
    ASSERT_TRUE(writeCardFileWithPack(Card{}, "Table", cardFile, nullptr));
    for (const char* edited : {"Sharp 4x", ""}) {
        CardDocument document;
        document.startOver(Card{}, cardFile, "Table");
        document.setPack(edited);
        CardDocument restored;
        restoreCard(restored, *readCardRecovery(cardRecoveryText(document), nullptr));
        EXPECT_EQ(restored.pack(), QString(edited));
        restored.undoStack()->undo();
        EXPECT_EQ(restored.pack(), "Table");
    }
}

TEST(CardRecovery, WrittenAfterAChangeRemovedWhenNothingIsUnsavedAndRefusedWhenDamaged)
{
    QTemporaryDir dir;
    const QString recovery = dir.filePath("card.recovery");
    CardDocument document;
    CardRecoveryWriter writer(document, recovery, 20);
    document.setName("Owl");
    EXPECT_FALSE(QFileInfo::exists(recovery));  // not at once: a few moments after the change
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(recovery) && waited.elapsed() < 5000) {
        QThread::msleep(5);
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(QFileInfo::exists(recovery));
    const QByteArray text = fileBytes(recovery);
    document.undoStack()->undo();  // nothing unsaved: nothing to recover
    EXPECT_FALSE(QFileInfo::exists(recovery));

    document.setName("Lark");
    ASSERT_TRUE(writer.flush());
    EXPECT_TRUE(QFileInfo::exists(recovery));
    ASSERT_TRUE(writeCardFile(document.card(), dir.filePath("lark.orvcard"), nullptr));
    document.markSaved(dir.filePath("lark.orvcard"));
    EXPECT_FALSE(QFileInfo::exists(recovery));

    // A card without a file comes back as an unsaved new card.
    std::optional<RecoveredCard> owl = readCardRecovery(text, nullptr);
    ASSERT_TRUE(owl.has_value());
    CardDocument restored;
    restoreCard(restored, *owl);
    EXPECT_EQ(restored.card().name, "Owl");
    EXPECT_TRUE(restored.filePath().isEmpty());
    EXPECT_TRUE(restored.isModified());

    const struct {
        const char* name;
        QByteArray text;
        const char* reason;
    } cases[] = {
        {"damaged", text.left(text.size() / 2), "damaged"},
        {"newer", QByteArray(text).replace("\"version\":1", "\"version\":9"), "newer"},
        {"a set's file", "{\"format\":\"orvane-set-recovery\",\"version\":1}", "damaged"},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_FALSE(readCardRecovery(c.text, &error).has_value()) << c.name;
        EXPECT_TRUE(error.contains(c.reason)) << c.name << ": " << error.toStdString();
    }
}

TEST(SetRecovery, ARecoveryOfADeckChangedSinceIsRefused)
{
    QTemporaryDir dir;
    const QString deck = dir.filePath("deck.csv");
    ASSERT_TRUE(writeFileBytes(deck, Deck));
    CardSet set;
    ASSERT_TRUE(set.open(deck, nullptr));
    set.renameCard(idOf(set, "Slime"), "Ooze", nullptr);
    const QByteArray text = set.recoveryText();
    ASSERT_TRUE(writeFileBytes(deck, Deck + "Late,1,1,1,1,,,\r\n"));

    const struct {
        const char* name;
        QByteArray text;
        const char* reason;
    } cases[] = {
        {"deck changed", text, "changed"},
        {"damaged", text.left(text.size() / 2), "damaged"},
        {"newer", QByteArray(text).replace("\"version\":1", "\"version\":9"), "newer"},
    };
    for (const auto& c : cases) {
        CardSet restored;
        QString error;
        EXPECT_FALSE(restored.restore(c.text, &error)) << c.name;
        EXPECT_TRUE(error.contains(c.reason)) << c.name << ": " << error.toStdString();
        // A set already open stays as it was, its history and all.
        EXPECT_FALSE(set.restore(c.text, &error)) << c.name;
        EXPECT_EQ(set.entries()[0].card.name, "Ooze") << c.name;
        EXPECT_TRUE(set.undoStack()->canUndo()) << c.name;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && QByteArray(argv[1]) == "--child")
        return childMain(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--card-child")
        return cardChildMain(argc, argv);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
