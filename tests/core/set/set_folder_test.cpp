// SPDX-License-Identifier: GPL-3.0-or-later
// A folder set: a renamed card's file follows its name without replacing another file, and the
// cards' order is kept across closing and opening.
#include "card/card_file.h"
#include "files/deck_watcher.h"
#include "set/card_set.h"
#include "set/set_folder_order.h"
#include "support/file_bytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <functional>

using namespace orvane;

namespace {

// A folder of three card files, opened as a set.
struct Folder {
    QTemporaryDir dir;
    CardSet set;

    Folder()
    {
        for (const char* name : {"Goblin", "Hero", "Orc"}) {
            Card card;
            card.name = name;
            EXPECT_TRUE(writeCardFile(card, file(QString(name) + ".orvcard"), nullptr));
        }
        reopen();
    }
    QString file(const QString& name) const { return dir.filePath(name); }
    void reopen()
    {
        QString error;
        EXPECT_TRUE(set.open(dir.path(), &error)) << error.toStdString();
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
    QStringList cardFiles() const
    {
        return QDir(dir.path()).entryList({"*.orvcard"}, QDir::Files, QDir::Name);
    }
};

}  // namespace

TEST(SetFolderRename, ARenamedCardsFileFollowsItsName)
{
    const struct {
        const char* name;
        std::function<void(Folder&)> change;
        QStringList files;  // after the save
    } cases[] = {
        {"rename",
         [](Folder& f) { ASSERT_TRUE(f.set.renameCard(f.id("Hero"), "Knight", nullptr)); },
         {"Goblin.orvcard", "Knight.orvcard", "Orc.orvcard"}},
        {"a name made safe for files",
         [](Folder& f) { ASSERT_TRUE(f.set.renameCard(f.id("Hero"), "Hero: 2/3", nullptr)); },
         {"Goblin.orvcard", "Hero_ 2_3.orvcard", "Orc.orvcard"}},
        {"into the name of a card deleted in the same save",
         [](Folder& f) {
             f.set.removeCards({f.id("Orc")});
             ASSERT_TRUE(f.set.renameCard(f.id("Hero"), "Orc", nullptr));
         },
         {"Goblin.orvcard", "Orc.orvcard"}},
        {"an edit that keeps the name keeps the file",
         [](Folder& f) {
             Card card = f.set.entry(f.id("Hero"))->card;
             card.sides[0] = "7";
             f.set.setCard(f.id("Hero"), card);
         },
         {"Goblin.orvcard", "Hero.orvcard", "Orc.orvcard"}},
    };
    for (const auto& c : cases) {
        Folder f;
        c.change(f);
        QString error;
        ASSERT_TRUE(f.set.save(&error)) << c.name << ": " << error.toStdString();
        EXPECT_EQ(f.cardFiles(), c.files) << c.name;
        // Each file holds the card its name says.
        for (const QString& file : f.cardFiles()) {
            const CardFileRead read = readCardFile(f.file(file));
            ASSERT_TRUE(read.card.has_value()) << c.name;
            EXPECT_EQ(safeFileName(read.card->name) + ".orvcard", file) << c.name;
        }
    }
}

TEST(SetFolderRename, AnotherFileOfTheNewNameIsNeverReplaced)
{
    Folder f;
    ASSERT_TRUE(f.set.renameCard(f.id("Hero"), "Knight", nullptr));
    // Another program puts a file of that name there after the set was opened.
    const QString theirs = f.file("Knight.orvcard");
    {
        QFile file(theirs);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not mine");
    }
    const QByteArray hero = fileBytes(f.file("Hero.orvcard"));
    QString error;
    EXPECT_FALSE(f.set.save(&error));
    EXPECT_TRUE(error.contains("Knight.orvcard")) << error.toStdString();
    EXPECT_TRUE(error.contains("another file")) << error.toStdString();
    EXPECT_EQ(fileBytes(theirs), "not mine");
    EXPECT_EQ(fileBytes(f.file("Hero.orvcard")), hero);
    EXPECT_TRUE(f.set.isModified());

    // Renamed once more, the save goes through.
    ASSERT_TRUE(f.set.renameCard(f.id("Knight"), "Paladin", nullptr));
    ASSERT_TRUE(f.set.save(&error)) << error.toStdString();
    EXPECT_EQ(f.cardFiles(),
              QStringList({"Goblin.orvcard", "Knight.orvcard", "Orc.orvcard", "Paladin.orvcard"}));
    EXPECT_EQ(fileBytes(theirs), "not mine");
}

TEST(SetFolderRename, UndoneAfterTheSaveTheFileTakesItsNameBack)
{
    Folder f;
    ASSERT_TRUE(f.set.renameCard(f.id("Hero"), "Knight", nullptr));
    ASSERT_TRUE(f.set.save(nullptr));
    f.set.undoStack()->undo();
    ASSERT_TRUE(f.set.save(nullptr));
    EXPECT_EQ(f.cardFiles(), QStringList({"Goblin.orvcard", "Hero.orvcard", "Orc.orvcard"}));
}

TEST(SetFolderOrder, TheOrderIsKeptAcrossCloseAndOpen)
{
    Folder f;
    EXPECT_EQ(f.names(), QStringList({"Goblin", "Hero", "Orc"}));
    // Saved in name order, the folder gets no order file.
    Card card = f.set.entry(f.id("Hero"))->card;
    card.sides[1] = "3";
    f.set.setCard(f.id("Hero"), card);
    ASSERT_TRUE(f.set.save(nullptr));
    EXPECT_FALSE(QFileInfo::exists(f.file(SetOrderFileName)));

    f.set.moveCards({f.id("Orc")}, 0);
    ASSERT_TRUE(f.set.save(nullptr));
    EXPECT_EQ(fileBytes(f.file(SetOrderFileName)), "Orc.orvcard\nGoblin.orvcard\nHero.orvcard\n");
    f.reopen();
    EXPECT_EQ(f.names(), QStringList({"Orc", "Goblin", "Hero"}));

    // A rename and a new card are in the list as well; a saved set with no change leaves it.
    ASSERT_TRUE(f.set.renameCard(f.id("Goblin"), "Imp", nullptr));
    Card added;
    added.name = "Bat";
    f.set.addCard(added, 1);
    ASSERT_TRUE(f.set.save(nullptr));
    f.reopen();
    EXPECT_EQ(f.names(), QStringList({"Orc", "Bat", "Imp", "Hero"}));
    const QDateTime written = QFileInfo(f.file(SetOrderFileName)).lastModified();
    ASSERT_TRUE(f.set.save(nullptr));
    EXPECT_EQ(QFileInfo(f.file(SetOrderFileName)).lastModified(), written);
}

TEST(SetFolderOrder, FilesTheListDoesNotNameFollowTheListedOnes)
{
    const struct {
        const char* name;
        QStringList files;  // in name order, as the folder lists them
        QStringList order;
        QStringList expected;
    } cases[] = {
        {"no list", {"a", "b", "c"}, {}, {"a", "b", "c"}},
        {"all listed", {"a", "b", "c"}, {"c", "a", "b"}, {"c", "a", "b"}},
        {"a file added by hand goes last", {"a", "b", "c", "d"}, {"c", "a"}, {"c", "a", "b", "d"}},
        {"a listed file that is gone", {"a", "b"}, {"x", "b", "a"}, {"b", "a"}},
        {"a name listed twice", {"a", "b"}, {"b", "b", "a"}, {"b", "a"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(orderedCardFiles(c.files, c.order), c.expected) << c.name;

    QTemporaryDir dir;
    const QString path = dir.filePath("order");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("b\r\n\n  a \nc");
    file.close();
    EXPECT_EQ(readOrderFile(path), QStringList({"b", "a", "c"}));
    EXPECT_EQ(readOrderFile(dir.filePath("missing")), QStringList());
}

// What another program did to the folder, against the files as the set read or wrote them: the
// set's own save is no change; rewrites of cards not edited here are taken; what meets the
// user's edits, and cards coming or going, are told apart.
TEST(SetFolderChanges, OtherProgramsChangesAreToldApart)
{
    const struct {
        const char* name;
        bool editHero;  // unsaved change of Hero in the set
        std::function<void(Folder&)> change;
        int theirs, conflicts, added, removed;
    } cases[] = {
        {"nothing", false, [](Folder&) {}, 0, 0, 0, 0},
        {"a file rewritten with the same bytes", false,
         [](Folder& f) {
             const QByteArray bytes = fileBytes(f.file("Hero.orvcard"));
             QFile file(f.file("Hero.orvcard"));
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write(bytes);
         },
         0, 0, 0, 0},
        {"an unedited card rewritten", false,
         [](Folder& f) {
             Card card;
             card.name = "Hero";
             card.sides[0] = "7";
             ASSERT_TRUE(writeCardFile(card, f.file("Hero.orvcard"), nullptr));
         },
         1, 0, 0, 0},
        {"an edited card rewritten", true,
         [](Folder& f) {
             Card card;
             card.name = "Hero";
             card.sides[0] = "7";
             ASSERT_TRUE(writeCardFile(card, f.file("Hero.orvcard"), nullptr));
         },
         0, 1, 0, 0},
        {"an edited card's file removed", true,
         [](Folder& f) { ASSERT_TRUE(QFile::remove(f.file("Hero.orvcard"))); }, 0, 1, 0, 0},
        {"an unedited card's file removed", false,
         [](Folder& f) { ASSERT_TRUE(QFile::remove(f.file("Orc.orvcard"))); }, 0, 0, 0, 1},
        {"a card file added", false,
         [](Folder& f) {
             Card card;
             card.name = "Elf";
             ASSERT_TRUE(writeCardFile(card, f.file("Elf.orvcard"), nullptr));
         },
         0, 0, 1, 0},
        {"the set's own save", true, [](Folder& f) { ASSERT_TRUE(f.set.save(nullptr)); }, 0, 0, 0,
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Folder f;
        if (c.editHero) {
            Card hero = f.set.readyCard(f.id("Hero"));
            hero.sides[1] = "9";
            f.set.setCard(f.id("Hero"), hero);
        }
        c.change(f);
        QStringList files;
        for (const char* name : {"Goblin", "Hero", "Orc", "Elf", "card-order"})
            files << f.file(QString(name) + (QString(name) == "card-order" ? ".txt" : ".orvcard"));
        const FolderChanges changes = f.set.folderChanges(files);
        EXPECT_EQ(changes.theirs.size(), c.theirs);
        EXPECT_EQ(changes.conflicts.size(), c.conflicts);
        EXPECT_EQ(changes.added.size(), c.added);
        EXPECT_EQ(changes.removed.size(), c.removed);
        EXPECT_EQ(f.set.overwrittenFiles().size(), c.conflicts);
        // Theirs taken: the card as the file holds it, and no unsaved change.
        f.set.takeFileCards(changes.theirs);
        if (c.theirs) {
            EXPECT_EQ(f.set.entry(f.id("Hero"))->card.sides[0], "7");
            EXPECT_FALSE(f.set.isChanged(f.id("Hero")));
            EXPECT_TRUE(f.set.folderChanges(files).isEmpty());
        }
    }
}

TEST(SetFolderChanges, ACardFileCaughtHalfWrittenIsHeldBack)
{
    QTemporaryDir dir;
    const struct {
        QByteArray bytes;
        bool complete;
    } cases[] = {
        {"{\"format\": \"orvane-card\"}", true},
        {"{\"format\": \"orvane-card\"}\n", true},
        {"{\"format\": \"orvane-card\",\n  \"name\": \"Hero", false},
        {"{\"format\": \"orv", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        const QString path = dir.filePath("Hero.orvcard");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.bytes);
        file.close();
        EXPECT_EQ(DeckWatcher::looksComplete(path), c.complete);
    }
}
