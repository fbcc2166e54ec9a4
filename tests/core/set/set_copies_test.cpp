// SPDX-License-Identifier: GPL-3.0-or-later
// A card's copies in a set: each change one undo step, saved into a deck's copies cell (the
// column added only when needed, every untouched byte kept) or a card file's "copies" member.
#include "card/card_file.h"
#include "set/card_set.h"
#include "support/file_bytes.h"

#include <QDir>
#include <QTemporaryDir>
#include <QUndoStack>

#include <gtest/gtest.h>

using namespace orvane;

namespace {

struct DeckCase {
    const char* what;
    QByteArray before;
    int row;     // the card whose copies change
    int copies;  // ... to this
    QByteArray after;
};

const QByteArray Plain = "name,up,left,right,down\r\n"
                         "Slime,1,2,3,4\r\n"
                         "Imp, 1 ,1,1,1\r\n";
const QByteArray Counted = "name,copies,up,left,right,down\n"
                           "Slime, 2 ,1,2,3,4\n"
                           "Imp,,1,1,1,1\n";

int copiesOf(const QString& deckOrFolder, int row)
{
    CardSet set;
    QString error;
    EXPECT_TRUE(set.open(deckOrFolder, &error)) << error.toStdString();
    return row < set.count() ? set.entries()[row].copies : -1;
}

}  // namespace

TEST(SetCopies, ADeckKeepsItsBytesAndGainsTheColumnOnlyWhenACountIsNotOne)
{
    const DeckCase cases[] = {
        {"a deck without the column gains it", Plain, 1, 3,
         "name,up,left,right,down,copies\r\n"
         "Slime,1,2,3,4\r\n"
         "Imp, 1 ,1,1,1,3\r\n"},
        {"a count of 1 adds no column", Plain, 0, 1, Plain},
        {"the column's cell is written, the other row's spelling kept", Counted, 1, 0,
         "name,copies,up,left,right,down\n"
         "Slime, 2 ,1,2,3,4\n"
         "Imp,0,1,1,1,1\n"},
        {"the same count as a differently spelled cell writes nothing", Counted, 0, 2, Counted},
    };
    for (const DeckCase& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString path = dir.filePath("deck.csv");
        ASSERT_TRUE(writeFileBytes(path, c.before));
        CardSet set;
        ASSERT_TRUE(set.open(path, nullptr));
        ASSERT_TRUE(set.setCopies(set.entries()[c.row].id, c.copies));
        QString error;
        ASSERT_TRUE(set.save(&error)) << error.toStdString();
        EXPECT_EQ(fileBytes(path), c.after);
        EXPECT_EQ(copiesOf(path, c.row), c.copies);
    }
}

TEST(SetCopies, EachChangeIsOneUndoStepAndUndoneTheDeckIsAsItWas)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("deck.csv");
    ASSERT_TRUE(writeFileBytes(path, Counted));
    CardSet set;
    ASSERT_TRUE(set.open(path, nullptr));
    const quint64 slime = set.entries()[0].id;
    EXPECT_EQ(set.entries()[0].copies, 2);
    EXPECT_EQ(set.entries()[1].copies, 1);  // an empty cell

    ASSERT_TRUE(set.setCopies(slime, 5));
    ASSERT_TRUE(set.setCopies(slime, 7));
    EXPECT_EQ(set.undoStack()->count(), 2);
    EXPECT_TRUE(set.isModified());
    EXPECT_FALSE(set.setCopies(slime, 100));
    EXPECT_FALSE(set.setCopies(slime, -1));
    EXPECT_EQ(set.undoStack()->count(), 2);
    EXPECT_TRUE(set.setCopies(slime, 7));  // the same count: no step
    EXPECT_EQ(set.undoStack()->count(), 2);

    set.undoStack()->undo();
    EXPECT_EQ(set.entries()[0].copies, 5);
    set.undoStack()->undo();
    EXPECT_EQ(set.entries()[0].copies, 2);
    EXPECT_FALSE(set.isChanged(slime));
    ASSERT_TRUE(set.save(nullptr));
    EXPECT_EQ(fileBytes(path), Counted);
}

TEST(SetCopies, ACardFileHoldsItsCopiesOnlyWhenNotOne)
{
    QTemporaryDir dir;
    CardSet set;
    ASSERT_TRUE(set.open(dir.path(), nullptr));
    Card card;
    card.name = "Hero";
    set.addCard(card);
    const quint64 hero = set.entries()[0].id;
    ASSERT_TRUE(set.setCopies(hero, 4));
    ASSERT_TRUE(set.save(nullptr));
    const QString file = QDir(dir.path()).filePath("Hero.orvcard");
    EXPECT_TRUE(fileBytes(file).contains("\"copies\": 4"));
    EXPECT_EQ(copiesOf(dir.path(), 0), 4);

    ASSERT_TRUE(set.setCopies(hero, 1));
    ASSERT_TRUE(set.save(nullptr));
    EXPECT_FALSE(fileBytes(file).contains("copies"));
    EXPECT_EQ(copiesOf(dir.path(), 0), 1);
}

TEST(SetCopies, CopiesTravelWithRecoveryClipboardAndDuplicates)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("deck.csv");
    ASSERT_TRUE(writeFileBytes(path, Plain));
    CardSet set;
    ASSERT_TRUE(set.open(path, nullptr));
    const quint64 imp = set.entries()[1].id;
    ASSERT_TRUE(set.setCopies(imp, 6));

    CardSet restored;
    ASSERT_TRUE(restored.restore(set.recoveryText(), nullptr));
    EXPECT_EQ(restored.entries()[1].copies, 6);
    EXPECT_EQ(restored.entries()[0].copies, 1);

    // As Print Sheet writes the cards shown into a deck of their own: new rows with copies.
    CardSet pasted;
    pasted.startNew();
    ASSERT_EQ(pasted.pasteCards(set.copyCards({imp})).size(), 1);
    EXPECT_EQ(pasted.entries()[0].copies, 6);
    const QString own = dir.filePath("own.csv");
    ASSERT_TRUE(pasted.save(nullptr, own));
    EXPECT_EQ(copiesOf(own, 0), 6);

    const QList<quint64> made = set.duplicateCards({imp});
    ASSERT_EQ(made.size(), 1);
    EXPECT_EQ(set.entry(made[0])->copies, 6);
}
