#include "set/set_card_link.h"

#include <QFile>
#include <QTemporaryDir>
#include <QUndoStack>

#include <gtest/gtest.h>

using namespace orvane;

namespace {

struct Linked {
    QTemporaryDir dir;
    CardSet set;
    CardDocument document;
    SetCardLink link{set, document};

    Linked()
    {
        QFile file(dir.filePath("d.csv"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("name,up,left,right,down,element\nA,1,1,1,1,fire\nB,2,2,2,2,\nC,1,x,1,1,\n");
        file.close();
        EXPECT_TRUE(set.open(dir.filePath("d.csv"), nullptr));
    }
    quint64 id(int row) const { return set.entries()[row].id; }
};

TEST(SetCardLink, EditsOfThePickedCardAreStepsOfTheSet)
{
    Linked l;
    l.link.pick(l.id(1));
    EXPECT_EQ(l.document.card().name, "B");
    l.document.typeSide(0, "5");
    l.document.typeSide(0, "56");
    l.document.typeSide(0, "5");
    l.document.typeSide(2, "7");
    l.document.moveMainPicture(3, 4);
    l.document.moveMainPicture(5, 6, true);
    // Typing in one box, the other box, one drag: three steps.
    EXPECT_EQ(l.set.undoStack()->count(), 3);
    EXPECT_EQ(l.set.entry(l.id(1))->card.sides[2], "7");
    EXPECT_EQ(l.set.entry(l.id(1))->card.x, 5);

    l.set.undoStack()->undo();
    EXPECT_EQ(l.document.card().x, 0);
    l.set.undoStack()->undo();
    EXPECT_EQ(l.document.card().sides[2], "2");
    l.set.undoStack()->undo();
    EXPECT_EQ(l.document.card().sides[0], "2");
    EXPECT_FALSE(l.set.isModified());
}

TEST(SetCardLink, PickingAnotherCardIsNoStepAndABadRowLinksNothing)
{
    Linked l;
    l.link.pick(l.id(0));
    l.link.pick(l.id(1));
    EXPECT_EQ(l.set.undoStack()->count(), 0);
    EXPECT_EQ(l.link.current(), l.id(1));
    l.link.pick(l.id(2));  // the bad row
    EXPECT_EQ(l.link.current(), 0u);
    l.document.typeSide(0, "9");
    EXPECT_EQ(l.set.undoStack()->count(), 0);
}

TEST(SetCardLink, TheCardDeletedUnderTheDocumentIsUnlinked)
{
    Linked l;
    l.link.pick(l.id(0));
    const quint64 a = l.id(0);
    l.set.removeCards({a});
    EXPECT_EQ(l.link.current(), 0u);
    l.set.undoStack()->undo();
    l.link.pick(a);
    EXPECT_EQ(l.link.current(), a);
    // A rename in the set reaches the document.
    ASSERT_TRUE(l.set.renameCard(a, "Ace", nullptr));
    EXPECT_EQ(l.document.card().name, "Ace");
}

}  // namespace
