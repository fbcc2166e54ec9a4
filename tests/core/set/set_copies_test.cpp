// SPDX-License-Identifier: GPL-3.0-or-later
// A card's copies in a set, saved into a deck's copies cell (the column added only when needed,
// untouched bytes kept) or a card file's "copies". Their undo: set_panel_test.
#include "card/card_file_pack.h"
#include "set/card_set.h"
#include "support/file_bytes.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace orvane;

namespace {

const QByteArray Plain = "name,up,left,right,down\r\nSlime,1,2,3,4\r\nImp, 1 ,1,1,1\r\n";
const QByteArray Counted = "name,copies,up,left,right,down\nSlime, 2 ,1,2,3,4\nImp,,1,1,1,1\n";

int copiesOf(const QString& path, int row)
{
    CardSet set;
    EXPECT_TRUE(set.open(path, nullptr));
    return row < set.count() ? set.entries()[row].copies : -1;
}

}  // namespace

TEST(SetCopies, ADeckGainsTheColumnOnlyForACountOtherThanOneAndKeepsItsBytes)
{
    const struct {
        QByteArray before;
        int row, copies;
        QByteArray after;
    } cases[] = {
        {Plain, 1, 3, "name,up,left,right,down,copies\r\nSlime,1,2,3,4\r\nImp, 1 ,1,1,1,3\r\n"},
        {Plain, 0, 1, Plain},
        {Counted, 1, 0, "name,copies,up,left,right,down\nSlime, 2 ,1,2,3,4\nImp,0,1,1,1,1\n"},
        {Counted, 0, 2, Counted},  // " 2 " already reads as 2
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("deck.csv");
        ASSERT_TRUE(writeFileBytes(path, c.before));
        CardSet set;
        ASSERT_TRUE(set.open(path, nullptr));
        ASSERT_TRUE(set.setCopies(set.entries()[c.row].id, c.copies));
        ASSERT_TRUE(set.save(nullptr));
        EXPECT_EQ(fileBytes(path), c.after);
        EXPECT_EQ(copiesOf(path, c.row), c.copies);
    }
}

TEST(SetCopies, TheyTravelWithCardFilesRecoveryAndTheClipboard)
{
    QTemporaryDir dir;
    CardSet folder;
    ASSERT_TRUE(folder.open(dir.path(), nullptr));
    Card card;
    card.name = "Hero";
    const quint64 hero = folder.addCard(card);
    ASSERT_TRUE(folder.setCopies(hero, 4));
    ASSERT_TRUE(folder.save(nullptr));
    EXPECT_EQ(copiesOf(dir.path(), 0), 4);
    ASSERT_TRUE(folder.setCopies(hero, 1));
    ASSERT_TRUE(folder.save(nullptr));
    EXPECT_FALSE(fileBytes(dir.filePath("Hero.orvcard")).contains("copies"));
    // A card file's pack, which the set does not hold, stays when the set writes the file.
    ASSERT_TRUE(writeCardFileWithPack(card, "Inked", dir.filePath("Hero.orvcard"), nullptr));
    ASSERT_TRUE(folder.open(dir.path(), nullptr));
    const quint64 again = folder.entries()[0].id;
    ASSERT_TRUE(folder.setCopies(again, 6));
    ASSERT_TRUE(folder.save(nullptr));
    EXPECT_EQ(readCardFilePack(dir.filePath("Hero.orvcard")), QString("Inked"));

    CardSet restored;
    ASSERT_TRUE(restored.restore(folder.recoveryText(), nullptr));
    EXPECT_EQ(restored.entries()[0].copies, 6);
    // As Print Sheet writes the cards shown: pasted into a deck of their own.
    CardSet pasted;
    pasted.startNew();
    ASSERT_EQ(pasted.pasteCards(folder.copyCards({again})).size(), 1);
    ASSERT_TRUE(pasted.save(nullptr, dir.filePath("own.csv")));
    EXPECT_EQ(copiesOf(dir.filePath("own.csv"), 0), 6);
}
