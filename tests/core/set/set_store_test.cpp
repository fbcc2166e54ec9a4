// SPDX-License-Identifier: GPL-3.0-or-later
// What a set's store says about its files on disk: what to watch, what changed and what to do,
// and which files a save would write over; the same questions for a deck and a folder.
#include "card/card_file.h"
#include "set/card_set.h"
#include "support/file_bytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace orvane;

namespace {

const QByteArray Deck =
    "name,up,left,right,down,picture\nSlime,1,1,1,1,slime.png\nGolem,5,5,5,5,\n";

struct DeckSet {
    QTemporaryDir dir;
    CardSet set;
    DeckSet()
    {
        EXPECT_TRUE(writeFileBytes(deck(), Deck));
        EXPECT_TRUE(set.open(deck(), nullptr));
    }
    QString deck() const { return QDir::cleanPath(dir.filePath("deck.csv")); }
    void edit() { EXPECT_TRUE(set.renameCard(set.entries()[1].id, "Mine", nullptr)); }
};

TEST(SetStore, EachSetSaysWhatToWatch)
{
    DeckSet deck;
    const SetWatch watch = deck.set.watch();
    // The deck and the picture its row misses (it heals when the file comes).
    EXPECT_EQ(watch.files, QStringList({deck.deck(), deck.dir.filePath("slime.png")}));
    EXPECT_TRUE(watch.folder.isEmpty());

    QTemporaryDir folder;
    Card card;
    card.name = "Hero";
    ASSERT_TRUE(writeCardFile(card, folder.filePath("Hero.orvcard"), nullptr));
    CardSet cards;
    ASSERT_TRUE(cards.open(folder.path(), nullptr));
    const SetWatch folderWatch = cards.watch();
    EXPECT_EQ(folderWatch.files,
              QStringList({folder.filePath("card-order.txt"), folder.filePath("Hero.orvcard")}));
    EXPECT_EQ(folderWatch.folder, QDir(folder.path()).absolutePath());
    EXPECT_EQ(folderWatch.suffix, ".orvcard");

    CardSet fresh;
    EXPECT_EQ(fresh.watch(), SetWatch());  // a new set has no file yet
    EXPECT_TRUE(fresh.overwrittenFiles().isEmpty());
}

TEST(SetStore, ADeckChangedOnDiskGivesItsStep)
{
    const struct {
        const char* name;
        bool modified;
        std::function<void(DeckSet&)> theirs;
        FollowStep step;
        bool overwritten;  // saving would write over their file
    } cases[] = {
        {"touched only", false, [](DeckSet& d) { EXPECT_TRUE(writeFileBytes(d.deck(), Deck)); },
         FollowStep::Unchanged, false},
        {"rewritten, nothing unsaved", false,
         [](DeckSet& d) { EXPECT_TRUE(writeFileBytes(d.deck(), Deck + "Ooze,2,2,2,2,\n")); },
         FollowStep::Reload, true},
        {"rewritten under unsaved changes", true,
         [](DeckSet& d) { EXPECT_TRUE(writeFileBytes(d.deck(), Deck + "Ooze,2,2,2,2,\n")); },
         FollowStep::Ask, true},
        {"removed", true, [](DeckSet& d) { EXPECT_TRUE(QFile::remove(d.deck())); },
         FollowStep::Removed, true},
    };
    for (const auto& c : cases) {
        DeckSet d;
        if (c.modified)
            d.edit();
        c.theirs(d);
        const DiskChange change = d.set.diskChange({d.deck()});
        EXPECT_EQ(change.step, c.step) << c.name;
        EXPECT_TRUE(change.pictures.isEmpty()) << c.name;
        EXPECT_EQ(d.set.overwrittenFiles(), c.overwritten ? QStringList{d.deck()} : QStringList())
            << c.name;
    }
}

TEST(SetStore, KeptOverTheirsTheSameFileAsksNoMore)
{
    DeckSet d;
    d.edit();
    ASSERT_TRUE(writeFileBytes(d.deck(), Deck + "Ooze,2,2,2,2,\n"));
    DiskChange change = d.set.diskChange({d.deck(), d.dir.filePath("slime.png")});
    ASSERT_EQ(change.step, FollowStep::Ask);
    EXPECT_EQ(change.pictures, QStringList{d.dir.filePath("slime.png")});
    d.set.keepMine(change);
    EXPECT_EQ(d.set.diskChange({d.deck()}).step, FollowStep::Nothing);
    // Another change of theirs asks again; put back as read, it is no change and is forgotten.
    ASSERT_TRUE(writeFileBytes(d.deck(), Deck + "Imp,3,3,3,3,\n"));
    EXPECT_EQ(d.set.diskChange({d.deck()}).step, FollowStep::Ask);
    ASSERT_TRUE(writeFileBytes(d.deck(), Deck));
    EXPECT_EQ(d.set.diskChange({d.deck()}).step, FollowStep::Unchanged);
    ASSERT_TRUE(writeFileBytes(d.deck(), Deck + "Ooze,2,2,2,2,\n"));
    EXPECT_EQ(d.set.diskChange({d.deck()}).step, FollowStep::Ask);
}

TEST(SetStore, AFolderKeptOverTheirsAsksAgainOnlyForANewChange)
{
    QTemporaryDir dir;
    const auto put = [&](const QString& name, const QString& up) {
        Card card;
        card.name = name;
        card.sides = {up, "1", "1", "1"};
        EXPECT_TRUE(writeCardFile(card, dir.filePath(name + ".orvcard"), nullptr));
    };
    put("Hero", "1");
    put("Orc", "1");
    CardSet set;
    ASSERT_TRUE(set.open(dir.path(), nullptr));
    Card mine = set.readyCard(set.entries()[0].id);  // Hero
    mine.sides[0] = "9";
    set.setCard(set.entries()[0].id, mine);
    put("Hero", "5");
    put("Orc", "6");
    const QStringList files{dir.filePath("Hero.orvcard"), dir.filePath("Orc.orvcard")};
    const DiskChange change = set.diskChange(files);
    EXPECT_EQ(change.step, FollowStep::Ask);
    EXPECT_EQ(change.conflicts, QStringList{dir.filePath("Hero.orvcard")});
    ASSERT_EQ(change.theirs.size(), 1);  // Orc, not edited here
    EXPECT_EQ(set.overwrittenFiles(), QStringList{dir.filePath("Hero.orvcard")});
    set.keepMine(change);
    set.takeFileCards(change.theirs);
    EXPECT_EQ(set.diskChange(files).step, FollowStep::Nothing);
    put("Hero", "7");
    EXPECT_EQ(set.diskChange(files).step, FollowStep::Ask);
}

}  // namespace
