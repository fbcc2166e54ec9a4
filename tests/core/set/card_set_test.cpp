// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/card_rules.h"
#include "card/csv_records.h"
#include "set/card_set.h"
#include "support/file_bytes.h"
#include "support/images.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <functional>

using namespace orvane;

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* os)
{
    *os << '"' << bytes.toStdString() << '"';
}

namespace {

// A spreadsheet's deck: a BOM, CRLF, a notes column with commas and a line break, a column of a
// name the deck does not know (quoted, with quotes), a blank line, "10" and "fire" spelled the
// user's way.
const QByteArray UserDeck =
    "\xEF\xBB\xBFname,notes,up,left,right,down,element,\"my \"\"own\"\" col\"\r\n"
    "Slime,\"weak, slow\",1,2,3,4,fire,x\r\n"
    "Dragon,\"line one\r\nline two\",A,10,9,8,,\r\n"
    "\r\n"
    "Goblin,,2,2,2,2,Earth,\"a,b\"\r\n";

struct OpenDeck {
    QTemporaryDir dir;
    QString path;
    CardSet set;

    explicit OpenDeck(const QByteArray& bytes)
    {
        path = dir.filePath(QStringLiteral("deck.csv"));
        EXPECT_TRUE(writeFileBytes(path, bytes));
        QString error;
        EXPECT_TRUE(set.open(path, &error)) << error.toStdString();
    }

    quint64 id(const QString& name) const
    {
        for (const SetEntry& e : set.entries())
            if (e.card.name == name)
                return e.id;
        ADD_FAILURE() << "no card " << name.toStdString();
        return 0;
    }

    QStringList names() const
    {
        QStringList list;
        for (const SetEntry& e : set.entries())
            list << e.card.name;
        return list;
    }

    QByteArray saved()
    {
        QString error;
        EXPECT_TRUE(set.save(&error)) << error.toStdString();
        return fileBytes(path);
    }
};

TEST(CsvRecordSpans, EachRecordsBytesLieBetweenBeginAndEnd)
{
    const struct {
        const char* name;
        QByteArray text;
        QList<QByteArray> records;
    } cases[] = {
        {"lf", "a,b\nc,d\n", {"a,b", "c,d"}},
        {"crlf no final line end", "a,b\r\nc,d", {"a,b", "c,d"}},
        {"bom", "\xEF\xBB\xBFh\r\nx\r\n", {"h", "x"}},
        {"quoted line break", "h\n\"x\ny\",z\nw\n", {"h", "\"x\ny\",z", "w"}},
        {"blank lines between", "h\n\n\nx\n", {"h", "x"}},
        {"cr only", "h\rx\r", {"h", "x"}},
    };
    for (const auto& c : cases) {
        const CsvText text = readCsv(c.text);
        ASSERT_EQ(text.records.size(), c.records.size()) << c.name;
        for (qsizetype i = 0; i < c.records.size(); ++i) {
            const CsvRecord& r = text.records[i];
            EXPECT_EQ(c.text.mid(r.begin, r.end - r.begin), c.records[i]) << c.name << " " << i;
        }
    }
}

TEST(SetWriteBack, ASetSavedWithoutChangeLeavesTheFileAsItWas)
{
    OpenDeck deck(UserDeck);
    ASSERT_EQ(deck.names(), QStringList({"Slime", "Dragon", "Goblin"}));
    const QDateTime before = QFileInfo(deck.path).lastModified();
    EXPECT_EQ(deck.saved(), UserDeck);
    EXPECT_EQ(QFileInfo(deck.path).lastModified(), before);
    EXPECT_FALSE(QFileInfo::exists(deck.path + ".bak"));
}

// Each edit changes exactly the rows it names; every other byte stays.
TEST(SetWriteBack, OnlyTheChangedRowsChange)
{
    const struct {
        const char* name;
        std::function<void(OpenDeck&)> edit;
        QByteArray expected;
    } cases[] = {
        {"element of a row with a line break in a cell",
         [](OpenDeck& d) {
             Card card = d.set.entry(d.id("Dragon"))->card;
             card.element = 1;  // Water
             d.set.setCard(d.id("Dragon"), card);
         },
         QByteArray(UserDeck).replace("A,10,9,8,,\r\n", "A,10,9,8,Water,\r\n")},
        {"one side keeps the others' spelling",
         [](OpenDeck& d) {
             Card card = d.set.entry(d.id("Slime"))->card;
             card.sides[0] = "7";
             d.set.setCard(d.id("Slime"), card);
         },
         QByteArray(UserDeck).replace("Slime,\"weak, slow\",1,", "Slime,\"weak, slow\",7,")},
        {"rename",
         [](OpenDeck& d) { EXPECT_TRUE(d.set.renameCard(d.id("Goblin"), "Orc", nullptr)); },
         QByteArray(UserDeck).replace("Goblin,", "Orc,")},
        {"delete", [](OpenDeck& d) { d.set.removeCards({d.id("Slime")}); },
         QByteArray(UserDeck).replace("Slime,\"weak, slow\",1,2,3,4,fire,x\r\n", "")},
        {"delete the last row", [](OpenDeck& d) { d.set.removeCards({d.id("Goblin")}); },
         QByteArray(UserDeck).replace("\r\n\r\nGoblin,,2,2,2,2,Earth,\"a,b\"", "")},
        {"add at the end",
         [](OpenDeck& d) {
             Card card;
             card.name = "Imp";
             card.sides = {"3", "4", "5", "6"};
             card.element = 0;
             d.set.addCard(card);
         },
         UserDeck + "Imp,,3,4,5,6,Fire,\r\n"},
        {"an edit undone",
         [](OpenDeck& d) {
             EXPECT_TRUE(d.set.renameCard(d.id("Goblin"), "Orc", nullptr));
             d.set.undoStack()->undo();
         },
         UserDeck},
        {"a column the deck lacks goes on the header's end",
         [](OpenDeck& d) {
             Card card = d.set.entry(d.id("Slime"))->card;
             card.x = 5;
             d.set.setCard(d.id("Slime"), card);
         },
         QByteArray(UserDeck)
             .replace("col\"\r\n", "col\",x\r\n")
             .replace("fire,x\r\n", "fire,x,5\r\n")},
    };
    for (const auto& c : cases) {
        OpenDeck deck(UserDeck);
        c.edit(deck);
        EXPECT_EQ(deck.saved(), c.expected) << c.name;
        if (c.expected != UserDeck) {
            EXPECT_EQ(fileBytes(deck.path + ".bak"), UserDeck) << c.name;
        }
        // Read back, the set holds the same cards.
        CardSet again;
        ASSERT_TRUE(again.open(deck.path, nullptr)) << c.name;
        ASSERT_EQ(again.count(), deck.set.count()) << c.name;
        for (int i = 0; i < again.count(); ++i)
            EXPECT_EQ(again.entries()[i].card.name, deck.set.entries()[i].card.name) << c.name;
    }
}

TEST(SetWriteBack, LineEndsAndAMissingFinalLineEndSurvive)
{
    const QByteArray lf = "name,up,left,right,down\nA1,1,1,1,1\nB2,2,2,2,2";
    OpenDeck deck(lf);
    deck.set.moveCards({deck.id("B2")}, 0);
    Card card;
    card.name = "C3";
    card.sides = {"3", "3", "3", "3"};
    card.element = ElementNone;
    deck.set.addCard(card, 1);
    EXPECT_EQ(deck.saved(),
              "name,up,left,right,down,element\nB2,2,2,2,2\nC3,3,3,3,3,None\nA1,1,1,1,1");
}

TEST(SetWriteBack, APictureGivenInTheWindowGoesBesideTheDeckReplacingNothing)
{
    OpenDeck deck("name,up,left,right,down,picture\nSlime,1,1,1,1,\n");
    // A file of the name the picture would take is there already.
    const QString taken = deck.dir.filePath("Slime-picture.png");
    ASSERT_TRUE(writeFileBytes(taken, "mine"));
    Card card = deck.set.entry(deck.id("Slime"))->card;
    card.mainPicture = solid(8, 8, qRgb(10, 200, 30));
    deck.set.setCard(deck.id("Slime"), card);
    EXPECT_EQ(deck.saved(), "name,up,left,right,down,picture\nSlime,1,1,1,1,Slime-picture-2.png\n");
    EXPECT_EQ(fileBytes(taken), "mine");
    EXPECT_EQ(QImage(deck.dir.filePath("Slime-picture-2.png")).pixel(0, 0), qRgb(10, 200, 30));
    // Saved once, the set does not write the picture again.
    const quint64 id = deck.id("Slime");
    EXPECT_FALSE(deck.set.isChanged(id));
    deck.set.setCard(id, deck.set.readyCard(id));
    EXPECT_FALSE(deck.set.isModified());
}

TEST(SetWriteBack, AnUnchangedPictureKeepsItsCellWhenTheEditorHandsTheCardBack)
{
    QTemporaryDir dir;
    ASSERT_TRUE(solid(62, 62, qRgb(1, 2, 3)).save(dir.filePath("pic.bmp")));
    const QByteArray csv = "name,up,left,right,down,picture,fit\nS,1,1,1,1,pic.bmp,fill\n";
    ASSERT_TRUE(writeFileBytes(dir.filePath("d.csv"), csv));
    CardSet set;
    ASSERT_TRUE(set.open(dir.filePath("d.csv"), nullptr));
    const quint64 id = set.entries().front().id;
    Card ready = set.readyCard(id);
    ASSERT_FALSE(ready.mainPicture.isNull());
    ready.sides[1] = "5";
    set.setCard(id, ready);
    EXPECT_FALSE(set.entry(id)->pictureChanged);
    ASSERT_TRUE(set.save(nullptr));
    EXPECT_EQ(fileBytes(dir.filePath("d.csv")),
              "name,up,left,right,down,picture,fit\nS,1,5,1,1,pic.bmp,fill\n");
}

TEST(SetWriteBack, ADuplicateNamesTheSamePictureFileAsItsOriginal)
{
    QTemporaryDir dir;
    ASSERT_TRUE(solid(62, 62, qRgb(9, 8, 7)).save(dir.filePath("pic.bmp")));
    ASSERT_TRUE(QDir(dir.path()).mkpath("deck"));
    const QString path = dir.filePath("deck/d.csv");
    ASSERT_TRUE(writeFileBytes(path, "name,up,left,right,down,picture\nS,1,1,1,1,../pic.bmp\n"));
    CardSet set;
    ASSERT_TRUE(set.open(path, nullptr));
    set.duplicateCards({set.entries().front().id});
    ASSERT_TRUE(set.save(nullptr));
    EXPECT_TRUE(fileBytes(path).endsWith("\nS,1,1,1,1,../pic.bmp\nS 2,1,1,1,1,../pic.bmp,None\n"))
        << fileBytes(path).toStdString();
    // Read again, the copy draws the same picture; saved elsewhere, it is named from there.
    ASSERT_TRUE(set.open(path, nullptr));
    EXPECT_EQ(set.readyCard(set.entries()[1].id).mainPicture.pixel(0, 0), qRgb(9, 8, 7));
    set.duplicateCards({set.entries()[1].id});
    ASSERT_TRUE(set.save(nullptr, dir.filePath("e.csv")));
    EXPECT_TRUE(fileBytes(dir.filePath("e.csv")).contains("\nS 2 2,1,1,1,1,pic.bmp,"))
        << fileBytes(dir.filePath("e.csv")).toStdString();
}

TEST(SetWriteBack, ColourCellsKeepTheUsersBytes)
{
    QTemporaryDir dir;
    QImage picture = solid(62, 62, qRgb(0, 0, 0));  // transparent around a dark and a pale half
    for (int y = 20; y < 40; ++y)
        for (int x = 20; x < 40; ++x)
            picture.setPixel(x, y, x < 30 ? qRgb(20, 30, 40) : qRgb(230, 220, 200));
    ASSERT_TRUE(picture.save(dir.filePath("pic.bmp")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("pal"));
    ASSERT_TRUE(writeFileBytes(dir.filePath("pal/mine.hex"), "102030\nf0e0d0\n"));
    const QByteArray csv = "name,up,left,right,down,picture,palette,dither,outline\n"
                           "S,1,1,1,1,pic.bmp,pal/mine.hex,Diffusion 50,outside\n";
    ASSERT_TRUE(writeFileBytes(dir.filePath("d.csv"), csv));
    CardSet set;
    ASSERT_TRUE(set.open(dir.filePath("d.csv"), nullptr));
    const quint64 id = set.entries().front().id;
    QString problem;
    Card ready = set.readyCard(id, &problem);
    ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
    // The palette beside the deck prepared the picture: only its two colours and the outline's.
    QSet<QRgb> colours;
    for (int y = 0; y < ready.mainPicture.height(); ++y)
        for (int x = 0; x < ready.mainPicture.width(); ++x)
            colours.insert(ready.mainPicture.pixel(x, y) | 0xFF000000u);
    colours.remove(qRgb(0, 0, 0));
    EXPECT_EQ(colours,
              (QSet<QRgb>{qRgb(0x10, 0x20, 0x30), qRgb(0xf0, 0xe0, 0xd0), qRgb(255, 255, 255)}));
    ready.sides[1] = "5";
    set.setCard(id, ready);
    ASSERT_TRUE(set.save(nullptr));
    EXPECT_EQ(fileBytes(dir.filePath("d.csv")), QByteArray(csv).replace("S,1,1,1,1", "S,1,5,1,1"));
}

TEST(SetWriteBack, ADeckChangedByAnotherProgramIsNotOverwritten)
{
    OpenDeck deck(UserDeck);
    ASSERT_TRUE(deck.set.renameCard(deck.id("Slime"), "Ooze", nullptr));
    ASSERT_TRUE(writeFileBytes(deck.path, UserDeck + "Late,1,1,1,1\r\n"));
    QString error;
    EXPECT_FALSE(deck.set.save(&error));
    EXPECT_TRUE(error.contains("another program")) << error.toStdString();
    EXPECT_EQ(fileBytes(deck.path), UserDeck + "Late,1,1,1,1\r\n");
    EXPECT_TRUE(deck.set.isModified());
}

TEST(SetWriteBack, ABadRowIsShownAndMendedInThePanel)
{
    OpenDeck deck("name,up,left,right,down,element\nOk,1,1,1,1,\nBad,1,Q,1,1,wind\n");
    ASSERT_EQ(deck.set.count(), 2);
    const SetEntry& bad = deck.set.entries()[1];
    EXPECT_TRUE(bad.isBad());
    EXPECT_EQ(bad.line, 3);
    EXPECT_EQ(bad.problemColumn, "left");
    QString error;
    ASSERT_TRUE(deck.set.setRowCell(bad.id, "LEFT", "4", &error));
    EXPECT_FALSE(deck.set.entries()[1].isBad());
    EXPECT_EQ(deck.set.entries()[1].card.sides[1], "4");
    EXPECT_EQ(deck.saved(), "name,up,left,right,down,element\nOk,1,1,1,1,\nBad,1,4,1,1,wind\n");
    EXPECT_FALSE(deck.set.setRowCell(deck.id("Bad"), "colour", "red", &error));
}

TEST(SetWriteBack, ANewSetIsWrittenAsANewDeck)
{
    QTemporaryDir dir;
    CardSet set;
    set.startNew();
    Card card;
    card.name = "Hero";
    card.sides = {"1", "2", "3", "4"};
    card.element = 0;
    card.arrows[1] = true;
    set.addCard(card);
    QString error;
    ASSERT_TRUE(set.save(&error, dir.filePath("new.csv"))) << error.toStdString();
    EXPECT_EQ(fileBytes(dir.filePath("new.csv")),
              "name,up,left,right,down,element,arrows,picture\r\nHero,1,2,3,4,Fire,up,\r\n");
    EXPECT_EQ(set.kind(), SetKind::Deck);
    EXPECT_FALSE(set.isModified());
}

TEST(SetFolder, ChangedCardsAreWrittenAndDeletedOnesSetAside)
{
    QTemporaryDir dir;
    CardSet set;
    set.startNew();
    ASSERT_TRUE(set.open(dir.path(), nullptr));
    EXPECT_EQ(set.kind(), SetKind::Folder);
    Card card;
    card.name = "Hero: 1/2";
    card.mainPicture = gradient(4, 4);
    set.addCard(card);
    card.name = "Other";
    set.addCard(card);
    ASSERT_TRUE(set.save(nullptr));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("Hero_ 1_2.orvcard")));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("Other.orvcard")));

    CardSet again;
    ASSERT_TRUE(again.open(dir.path(), nullptr));
    ASSERT_EQ(again.count(), 2);
    EXPECT_EQ(again.entries()[0].card.mainPicture, gradient(4, 4));
    const QDateTime otherTime = QFileInfo(dir.filePath("Other.orvcard")).lastModified();
    again.removeCards({again.entries()[0].id});
    ASSERT_TRUE(again.save(nullptr));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("Hero_ 1_2.orvcard")));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("Hero_ 1_2.orvcard.bak")));
    EXPECT_EQ(QFileInfo(dir.filePath("Other.orvcard")).lastModified(), otherTime);
}

// ---- Set operations and their undo --------------------------------------------------------

TEST(SetOperations, EachOperationIsOneStepThatUndoAndRedoExchange)
{
    const QByteArray csv =
        "name,up,left,right,down,element\nA,1,1,1,1,fire\nB,2,2,2,2,\nC,3,3,3,3,\n";
    const struct {
        const char* name;
        std::function<void(OpenDeck&)> operation;
        QStringList after;
    } cases[] = {
        {"add",
         [](OpenDeck& d) {
             Card card;
             card.name = "A";
             d.set.addCard(card, 1);
         },
         {"A", "A 2", "B", "C"}},
        {"duplicate two",
         [](OpenDeck& d) {
             d.set.duplicateCards({d.id("A"), d.id("C")});
         },
         {"A", "A 2", "B", "C", "C 2"}},
        {"delete two",
         [](OpenDeck& d) {
             d.set.removeCards({d.id("C"), d.id("A")});
         },
         {"B"}},
        {"move two to the end",
         [](OpenDeck& d) {
             d.set.moveCards({d.id("A"), d.id("B")}, 3);
         },
         {"C", "A", "B"}},
        {"move one up", [](OpenDeck& d) { d.set.moveCards({d.id("C")}, 1); }, {"A", "C", "B"}},
        {"rename",
         [](OpenDeck& d) { d.set.renameCard(d.id("B"), " Bee ", nullptr); },
         {"A", "Bee", "C"}},
        {"paste",
         [](OpenDeck& d) {
             d.set.pasteCards(d.set.copyCards({d.id("B"), d.id("C")}), 0);
         },
         {"B 2", "C 2", "A", "B", "C"}},
    };
    for (const auto& c : cases) {
        OpenDeck deck(csv);
        const QStringList before = deck.names();
        c.operation(deck);
        EXPECT_EQ(deck.names(), c.after) << c.name;
        EXPECT_EQ(deck.set.undoStack()->count(), 1) << c.name;
        EXPECT_TRUE(deck.set.isModified()) << c.name;
        deck.set.undoStack()->undo();
        EXPECT_EQ(deck.names(), before) << c.name;
        EXPECT_FALSE(deck.set.isModified()) << c.name;
        deck.set.undoStack()->redo();
        EXPECT_EQ(deck.names(), c.after) << c.name;
    }
}

TEST(SetOperations, ADuplicateIsTheSameCardUnderANewName)
{
    OpenDeck deck("name,up,left,right,down,element,arrows\nA,1,2,3,4,fire,up\n");
    const QList<quint64> made = deck.set.duplicateCards({deck.id("A")});
    ASSERT_EQ(made.size(), 1);
    Card copy = deck.set.entry(made.front())->card;
    EXPECT_EQ(copy.name, "A 2");
    copy.name = "A";
    EXPECT_EQ(copy, deck.set.entry(deck.id("A"))->card);
}

TEST(SetOperations, TypingInOneBoxIsOneStep)
{
    OpenDeck deck("name,up,left,right,down\nA,1,1,1,1\n");
    const quint64 id = deck.id("A");
    Card card = deck.set.entry(id)->card;
    for (const char* side : {"2", "3", "4"}) {
        card.sides[0] = side;
        deck.set.setCard(id, card, 1);
    }
    EXPECT_EQ(deck.set.undoStack()->count(), 1);
    deck.set.undoStack()->undo();
    EXPECT_EQ(deck.set.entry(id)->card.sides[0], "1");
}

TEST(SetOperations, AChangeToAllSelectedKeepsEachCardsRules)
{
    OpenDeck deck("name,up,left,right,down,element,arrows,TopX\n"
                  "A,1,1,1,1,fire,up\nB,9,9,9,9,wind,up down left\nC,5,5,5,5,,\n");
    Card model;
    model.element = ElementTrap;
    model.placement.TopX = 11;
    deck.set.changeCards({deck.id("A"), deck.id("B")},
                         int(SetChange::Element) | int(SetChange::Placement), model);
    EXPECT_EQ(deck.set.undoStack()->count(), 1);
    for (const char* name : {"A", "B"}) {
        const Card& card = deck.set.entry(deck.id(name))->card;
        EXPECT_EQ(card.element, ElementTrap) << name;
        EXPECT_EQ(card.sides, (std::array<QString, 4>{"2", "2", "2", "2"})) << name;
        EXPECT_LE(card.arrowCount(), arrowLimit(8)) << name;
        EXPECT_EQ(card.placement.TopX, 11) << name;
    }
    EXPECT_EQ(deck.set.entry(deck.id("C"))->card.element, ElementNone);
    deck.set.undoStack()->undo();
    EXPECT_EQ(deck.set.entry(deck.id("B"))->card.arrowCount(), 3);
}

TEST(SetNames, NamesStayUniqueOnceMadeSafeForFileNames)
{
    OpenDeck deck("name,up,left,right,down\nSlime,1,1,1,1\nHero_ 1_2,1,1,1,1\n");
    const quint64 slime = deck.id("Slime");
    const struct {
        QString name;
        quint64 except;
        bool allowed;
    } cases[] = {
        {"Dragon", 0, true},    {"slime", 0, false},     {" Slime ", 0, false},
        {"SLIME", slime, true}, {"Hero: 1/2", 0, false}, {"", 0, false},
        {"   ", 0, false},      {"Slime.", 0, false},    {"Slime 2", 0, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(deck.set.nameProblem(c.name, c.except).isEmpty(), c.allowed)
            << c.name.toStdString();
    EXPECT_EQ(deck.set.uniqueName("slime"), "slime 2");
    QString error;
    EXPECT_FALSE(deck.set.renameCard(deck.id("Hero_ 1_2"), "slime", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(deck.set.undoStack()->count(), 0);
}

TEST(SetOpen, AnUnusableDeckIsRefusedWithItsReason)
{
    const struct {
        const char* name;
        QByteArray bytes;
        const char* reason;
    } cases[] = {
        {"empty", "", "empty"},
        {"no side columns", "name,notes\nA,x\n", "no column"},
        {"a workbook", QByteArray("PK\x03\x04\x14\x00rest", 10), "spreadsheet workbook"},
        {"an old workbook", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1rest", "File > Save As"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(writeFileBytes(dir.filePath("d.csv"), c.bytes));
        CardSet set;
        QString error;
        EXPECT_FALSE(set.open(dir.filePath("d.csv"), &error)) << c.name;
        EXPECT_TRUE(error.contains(c.reason)) << c.name << ": " << error.toStdString();
    }
    CardSet set;
    QString error;
    EXPECT_FALSE(set.open("/nonexistent/deck.csv", &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(SetOpen, AWorkbookLeavesTheOpenSetAsItWas)
{
    OpenDeck deck(UserDeck);
    const QString workbook = deck.dir.filePath("cards.xlsx");
    ASSERT_TRUE(writeFileBytes(workbook, QByteArray("PK\x03\x04\x14\x00", 6)));
    QString error;
    EXPECT_FALSE(deck.set.open(workbook, &error));
    EXPECT_TRUE(error.contains("not a CSV deck")) << error.toStdString();
    EXPECT_EQ(deck.set.path(), QFileInfo(deck.path).absoluteFilePath());
    EXPECT_EQ(deck.names(), QStringList({"Slime", "Dragon", "Goblin"}));
}

TEST(SetWriteBack, AChangedRowKeepsTheSpellingOfItsUntouchedCells)
{
    const struct {
        const char* name;
        QByteArray row;       // after the header
        QByteArray expected;  // the row saved with its up side 7
    } cases[] = {
        {"quotes no cell needs", "S,5,5,5,5,\"up up-right\",\"x\"\n",
         "S,7,5,5,5,\"up up-right\",\"x\"\n"},
        {"spaces and a quoted comma", "S, 5 ,6,7,8,up, \"a, b\"\n", "S,7,6,7,8,up, \"a, b\"\n"},
        {"a quoted side", "S,\"5\",\"6\",7,8,,\n", "S,7,\"6\",7,8,,\n"},
        {"a line break in a cell", "S,5,5,5,5,,\"one\ntwo\"\n", "S,7,5,5,5,,\"one\ntwo\"\n"},
    };
    for (const auto& c : cases) {
        OpenDeck deck("name,up,left,right,down,arrows,notes\n" + c.row);
        Card card = deck.set.entry(deck.id("S"))->card;
        card.sides[0] = "7";
        deck.set.setCard(deck.id("S"), card);
        EXPECT_EQ(deck.saved(), "name,up,left,right,down,arrows,notes\n" + c.expected) << c.name;
    }
}

TEST(SetWriteBack, APictureFromTheDecksFolderIsNamedWhereItLies)
{
    QTemporaryDir elsewhere;
    const struct {
        const char* name;
        QString file;  // under the deck's folder, or a full path
        QByteArray cell;
    } cases[] = {
        {"beside the deck", "p.png", "p.png"},
        {"in a folder below it", "art/cards/p.png", "art/cards/p.png"},
        {"outside it: copied", elsewhere.filePath("p.png"), "S-picture.png"},
    };
    for (const auto& c : cases) {
        OpenDeck deck("name,up,left,right,down,picture\nS,1,1,1,1,\n");
        const QString file = QDir::isAbsolutePath(c.file) ? c.file : deck.dir.filePath(c.file);
        QDir().mkpath(QFileInfo(file).absolutePath());
        ASSERT_TRUE(gradient(62, 62).save(file)) << c.name;
        Card card = deck.set.entry(deck.id("S"))->card;
        card.mainPicture = QImage(file);
        card.mainPicturePath = file;
        deck.set.setCard(deck.id("S"), card);
        EXPECT_EQ(deck.saved(), "name,up,left,right,down,picture\nS,1,1,1,1," + c.cell + "\n")
            << c.name;
        EXPECT_EQ(QFile::exists(deck.dir.filePath("S-picture.png")), c.cell == "S-picture.png")
            << c.name;
        // Saved, the card draws the file its cell names and is as read.
        const quint64 id = deck.id("S");
        EXPECT_FALSE(deck.set.isChanged(id)) << c.name;
        EXPECT_EQ(rgb(deck.set.readyCard(id).mainPicture, 5, 5), rgb(gradient(62, 62), 5, 5));
    }
}

TEST(SetPictures, AnUnreadablePictureIsTriedOnceUntilItChangesOnDisk)
{
    OpenDeck deck("name,up,left,right,down,picture\nS,1,1,1,1,pic.png\n");
    const QString file = deck.dir.filePath("pic.png");
    ASSERT_TRUE(writeFileBytes(file, "not a picture"));
    // Opened while the file was missing the row is bad; once the file is there, it heals and
    // its pixels are asked for many times by the editor.
    deck.set.reloadPictures({file});
    const quint64 id = deck.id("S");
    for (int k = 0; k < 2; ++k) {
        QString problem;
        EXPECT_TRUE(deck.set.readyCard(id, &problem).mainPicture.isNull());
        EXPECT_FALSE(problem.isEmpty()) << k;
    }
    ASSERT_TRUE(gradient(62, 62).save(file));
    QString problem;
    EXPECT_TRUE(deck.set.readyCard(id, &problem).mainPicture.isNull());  // not looked at again
    deck.set.reloadPictures({file});
    EXPECT_EQ(rgb(deck.set.readyCard(id, &problem).mainPicture, 5, 5), rgb(gradient(62, 62), 5, 5));
    EXPECT_TRUE(problem.isEmpty());
}

}  // namespace
