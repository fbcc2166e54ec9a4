// A folder set: a renamed card's file follows its name without replacing another file, and the
// cards' order is kept across closing and opening.
#include "card/card_file.h"
#include "set/card_set.h"
#include "set/set_folder_order.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <functional>

using namespace orvane;

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

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
    const QByteArray hero = contents(f.file("Hero.orvcard"));
    QString error;
    EXPECT_FALSE(f.set.save(&error));
    EXPECT_TRUE(error.contains("Knight.orvcard")) << error.toStdString();
    EXPECT_TRUE(error.contains("another file")) << error.toStdString();
    EXPECT_EQ(contents(theirs), "not mine");
    EXPECT_EQ(contents(f.file("Hero.orvcard")), hero);
    EXPECT_TRUE(f.set.isModified());

    // Renamed once more, the save goes through.
    ASSERT_TRUE(f.set.renameCard(f.id("Knight"), "Paladin", nullptr));
    ASSERT_TRUE(f.set.save(&error)) << error.toStdString();
    EXPECT_EQ(f.cardFiles(),
              QStringList({"Goblin.orvcard", "Knight.orvcard", "Orc.orvcard", "Paladin.orvcard"}));
    EXPECT_EQ(contents(theirs), "not mine");
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
    EXPECT_EQ(contents(f.file(SetOrderFileName)), "Orc.orvcard\nGoblin.orvcard\nHero.orvcard\n");
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
