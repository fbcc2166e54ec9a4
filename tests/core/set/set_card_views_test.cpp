// SPDX-License-Identifier: GPL-3.0-or-later
#include "set/set_card_views.h"

#include "card/card_file.h"
#include "card/card_file_pack.h"

#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <functional>

using namespace orvane;

namespace {

struct Documents {
    QTemporaryDir dir;
    CardSet set;
    SetCardViews documents{set};

    Documents()
    {
        QFile file(dir.filePath("d.csv"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("name,up,left,right,down,element\nA,1,1,1,1,fire\nB,2,2,2,2,\nC,1,x,1,1,\n");
        file.close();
        EXPECT_TRUE(set.open(dir.filePath("d.csv"), nullptr));
    }
    quint64 id(int row) const { return set.entries()[row].id; }
    const Card& card(int row) const { return set.entries()[row].card; }
};

TEST(SetCardViews, EditsOfACardAreStepsOfTheSetsOneHistory)
{
    Documents d;
    CardDocument* b = d.documents.document(d.id(1));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->card().name, "B");
    EXPECT_EQ(b->undoStack(), d.set.undoStack());
    b->typeSide(0, "5");
    b->typeSide(0, "56");
    b->typeSide(0, "5");
    b->closeTyping();
    b->moveMainPicture(3, 4);
    EXPECT_EQ(d.card(1).sides[0], "5");  // the set has the edit at once
    EXPECT_EQ(d.card(1).x, 3);
    EXPECT_TRUE(d.set.isModified());
    EXPECT_TRUE(d.set.isChanged(d.id(1)));

    // A set operation between the edits, then everything undone in turn.
    d.set.moveCards({d.id(1)}, 0);
    EXPECT_EQ(d.set.undoStack()->count(), 3);
    d.set.undoStack()->undo();
    EXPECT_EQ(d.set.entries()[1].card.name, "B");
    d.set.undoStack()->undo();
    EXPECT_EQ(b->card().x, 0);
    EXPECT_EQ(d.card(1).x, 0);
    d.set.undoStack()->undo();
    EXPECT_EQ(d.card(1).sides[0], "2");
    EXPECT_FALSE(d.set.isModified());
    d.set.undoStack()->redo();
    EXPECT_EQ(d.card(1).sides[0], "5");
}

// A folder set's card keeps its card file's pack: read, changed, written back, and kept when
// only another edit of the card is saved.
TEST(SetCardViews, AFolderCardsPackIsItsCardFilesPack)
{
    QTemporaryDir dir;
    Card card;
    card.name = "Imp";
    ASSERT_TRUE(writeCardFileWithPack(card, "Table", dir.filePath("Imp.orvcard"), nullptr));
    card.name = "Owl";
    ASSERT_TRUE(writeCardFile(card, dir.filePath("Owl.orvcard"), nullptr));
    CardSet set;
    SetCardViews documents{set};
    ASSERT_TRUE(set.open(dir.path(), nullptr));
    CardDocument* imp = documents.document(set.entries()[0].id);
    EXPECT_EQ(imp->pack(), "Table");
    documents.document(set.entries()[1].id)->setPack("Sharp 4x");
    imp->setName("Imp 2");
    ASSERT_TRUE(set.save(nullptr));
    EXPECT_EQ(readCardFilePack(dir.filePath("Owl.orvcard")), "Sharp 4x");
    EXPECT_EQ(readCardFilePack(dir.filePath("Imp 2.orvcard")), "Table");
}

TEST(SetCardViews, UndoChangesTheCardItWasMadeOnWhicheverCardIsShown)
{
    Documents d;
    CardDocument* a = d.documents.document(d.id(0));
    a->clickElement(1);  // Water
    CardDocument* b = d.documents.document(d.id(1));
    const Card shown = b->card();
    d.set.undoStack()->undo();
    EXPECT_EQ(a->card().element, 0);
    EXPECT_EQ(d.card(0).element, 0);
    EXPECT_EQ(b->card(), shown);
    EXPECT_EQ(d.card(1), shown);
}

TEST(SetCardViews, SetOperationsReachTheDocuments)
{
    Documents d;
    CardDocument* a = d.documents.document(d.id(0));
    ASSERT_TRUE(d.set.renameCard(d.id(0), "Ace", nullptr));
    EXPECT_EQ(a->card().name, "Ace");
    Card model;
    model.placement.TopX = 9;
    d.set.changeCards({d.id(0), d.id(1)}, int(SetChange::Placement), model);
    EXPECT_EQ(a->card().placement.TopX, 9);
    d.set.undoStack()->undo();
    d.set.undoStack()->undo();
    EXPECT_EQ(a->card().name, "A");
    EXPECT_NE(a->card().placement.TopX, 9);
}

TEST(SetCardViews, AnUndonePictureLeavesTheRowsOwnCell)
{
    QTemporaryDir dir;
    QImage own(62, 62, QImage::Format_RGB32);
    own.fill(Qt::blue);
    ASSERT_TRUE(own.save(dir.filePath("pic.bmp")));
    const QByteArray csv = "name,up,left,right,down,picture\nS,1,1,1,1,pic.bmp\n";
    QFile file(dir.filePath("d.csv"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(csv);
    file.close();
    CardSet set;
    SetCardViews documents{set};
    ASSERT_TRUE(set.open(dir.filePath("d.csv"), nullptr));
    const quint64 id = set.entries().front().id;
    CardDocument* card = documents.document(id);
    QImage other(62, 62, QImage::Format_RGB32);
    other.fill(Qt::red);
    card->setMainPicture(other, dir.filePath("other.png"));
    EXPECT_TRUE(set.entry(id)->pictureChanged);
    set.undoStack()->undo();
    EXPECT_FALSE(set.entry(id)->pictureChanged);
    EXPECT_FALSE(set.isChanged(id));
    ASSERT_TRUE(set.save(nullptr));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), csv);
    EXPECT_FALSE(QFile::exists(dir.filePath("S-picture.png")));
}

TEST(SetCardViews, ABadRowHasNoDocumentAndAnotherSetDropsThem)
{
    Documents d;
    EXPECT_EQ(d.documents.document(d.id(2)), nullptr);
    EXPECT_EQ(d.documents.document(12345), nullptr);
    QPointer<CardDocument> a = d.documents.document(d.id(0));
    EXPECT_EQ(d.documents.document(d.id(0)), a.data());  // one per card
    ASSERT_TRUE(d.set.open(d.dir.filePath("d.csv"), nullptr));
    EXPECT_TRUE(a.isNull());
    EXPECT_EQ(d.documents.count(), 0);
}

TEST(SetCardViews, TheCardIsHeldOnceEachChangeSaidOnce)
{
    Documents d;
    CardDocument* b = d.documents.document(d.id(1));
    QList<CardDocument::Changes> said;
    int replaced = 0;
    int setChanged = 0;
    QObject::connect(b, &CardDocument::changed, [&](CardDocument::Changes what) { said << what; });
    QObject::connect(&d.set, &CardSet::cardReplaced, [&] { ++replaced; });
    QObject::connect(&d.set, &CardSet::cardChanged, [&] { ++setChanged; });
    const struct {
        const char* name;
        std::function<void()> change;
        CardDocument::Changes what;  // what the document says, once
        bool bySet;                  // the set's own change: the document is told
    } cases[] = {
        {"typing", [&] { b->typeSide(1, "7"); },
         CardDocument::Changes(CardDocument::Change::Sides) | CardDocument::Change::Arrows, false},
        {"a drag", [&] { b->moveMainPicture(4, 5); }, CardDocument::Change::Offset, false},
        {"its undo", [&] { d.set.undoStack()->undo(); }, CardDocument::Change::Offset, false},
        {"a rename in the set", [&] { EXPECT_TRUE(d.set.renameCard(d.id(1), "Bee", nullptr)); },
         CardDocument::Change::Everything, true},
        {"its undo", [&] { d.set.undoStack()->undo(); }, CardDocument::Change::Everything, true},
    };
    for (const auto& c : cases) {
        said.clear();
        replaced = setChanged = 0;
        c.change();
        ASSERT_EQ(said.size(), 1) << c.name;
        EXPECT_EQ(said.front(), c.what) << c.name;
        EXPECT_EQ(setChanged, 1) << c.name;  // the panel draws the card again
        EXPECT_EQ(replaced, c.bySet ? 1 : 0) << c.name;
        // The document shows the set's card, as the set holds it.
        EXPECT_EQ(b->card(), d.set.readyCard(d.id(1))) << c.name;
        EXPECT_EQ(b->drawnSides()[1], b->card().sides[1]) << c.name;
    }
    EXPECT_EQ(d.card(1).name, "B");
    EXPECT_EQ(d.card(1).sides[1], "7");
}

}  // namespace
