// SPDX-License-Identifier: GPL-3.0-or-later
// A deck written back in the form it was read in: its encoding and separator, every untouched
// byte kept; Save As to another file or from a folder of card files.
#include "card/card_file.h"
#include "card/deck_text.h"
#include "set/card_set.h"
#include "support/file_bytes.h"
#include "support/images.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace orvane;

namespace {

struct Form {
    const char* name;
    DeckEncoding encoding;
    char separator;
};

const Form Forms[] = {
    {"utf-8, comma", DeckEncoding::Utf8, ','},
    {"utf-8 with a mark, semicolon", DeckEncoding::Utf8Bom, ';'},
    {"utf-16 le, tab", DeckEncoding::Utf16LE, '\t'},
    {"utf-16 be, semicolon", DeckEncoding::Utf16BE, ';'},
    {"windows-1252, semicolon", DeckEncoding::Windows1252, ';'},
};

// The text with '|' as the separator, stored as `form` stores it (made here without the code
// under test: the bytes a spreadsheet program would write).
QByteArray stored(const QByteArray& text, const Form& form)
{
    const QString written = QString::fromUtf8(text).replace(QLatin1Char('|'), form.separator);
    switch (form.encoding) {
    case DeckEncoding::Utf8: return written.toUtf8();
    case DeckEncoding::Utf8Bom: return "\xEF\xBB\xBF" + written.toUtf8();
    case DeckEncoding::Utf16LE:
        return "\xFF\xFE" + QByteArray(QStringEncoder(QStringEncoder::Utf16LE).encode(written));
    case DeckEncoding::Utf16BE:
        return "\xFE\xFF" + QByteArray(QStringEncoder(QStringEncoder::Utf16BE).encode(written));
    case DeckEncoding::Windows1252: return written.toLatin1();  // é and ü are the same bytes
    }
    return {};
}

// Quoted cells holding the separator and a line break, a blank line, CRLF, accented letters
// (which make the Windows code page's bytes invalid UTF-8), a notes column.
const char* const Deck = "name|notes|up|left|right|down|element\r\n"
                         "Slime|\"weak| slow é\"|1|2|3|4|fire\r\n"
                         "\r\n"
                         "Dragon|\"über\r\nalles\"|A|10|9|8|\r\n"
                         "Goblin||2|2|2|2|Earth\r\n";

struct DeckInFolder {
    QTemporaryDir dir;
    QString path;
    CardSet set;

    explicit DeckInFolder(const QByteArray& bytes, const QString& name = "deck.csv")
    {
        path = dir.filePath(name);
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
};

}  // namespace

TEST(SetDeckForm, EachFormRoundTripsAnEditAnAdditionAndADeletion)
{
    const struct {
        const char* name;
        std::function<void(DeckInFolder&)> change;
        const char* expected;
    } changes[] = {
        {"edit a row",
         [](DeckInFolder& d) {
             Card card = d.set.entry(d.id("Slime"))->card;
             card.sides[0] = "7";
             d.set.setCard(d.id("Slime"), card);
         },
         "name|notes|up|left|right|down|element\r\n"
         "Slime|\"weak| slow é\"|7|2|3|4|fire\r\n"
         "\r\n"
         "Dragon|\"über\r\nalles\"|A|10|9|8|\r\n"
         "Goblin||2|2|2|2|Earth\r\n"},
        {"add a row",
         [](DeckInFolder& d) {
             Card card;
             card.name = "Imp é";
             card.sides = {"3", "4", "5", "6"};
             card.element = 1;
             d.set.addCard(card);
         },
         "name|notes|up|left|right|down|element\r\n"
         "Slime|\"weak| slow é\"|1|2|3|4|fire\r\n"
         "\r\n"
         "Dragon|\"über\r\nalles\"|A|10|9|8|\r\n"
         "Goblin||2|2|2|2|Earth\r\n"
         "Imp é||3|4|5|6|Water\r\n"},
        {"delete a row", [](DeckInFolder& d) { d.set.removeCards({d.id("Dragon")}); },
         "name|notes|up|left|right|down|element\r\n"
         "Slime|\"weak| slow é\"|1|2|3|4|fire\r\n"
         "\r\n"
         "Goblin||2|2|2|2|Earth\r\n"},
    };
    for (const Form& form : Forms) {
        for (const auto& c : changes) {
            const std::string what = std::string(form.name) + ": " + c.name;
            const QByteArray original = stored(Deck, form);
            DeckInFolder deck(original);
            EXPECT_EQ(deck.set.deckForm().encoding, form.encoding) << what;
            EXPECT_EQ(deck.set.deckForm().separator, form.separator) << what;
            c.change(deck);
            QString error;
            ASSERT_TRUE(deck.set.save(&error)) << what << ": " << error.toStdString();
            EXPECT_EQ(fileBytes(deck.path), stored(c.expected, form)) << what;
            EXPECT_EQ(fileBytes(deck.path + ".bak"), original) << what;

            // Opened again, the same cards; saved again unchanged, the same bytes.
            DeckInFolder again(fileBytes(deck.path));
            ASSERT_EQ(again.set.count(), deck.set.count()) << what;
            for (int i = 0; i < again.set.count(); ++i)
                EXPECT_EQ(again.set.entries()[i].card, deck.set.entries()[i].card) << what;
            ASSERT_TRUE(again.set.save(&error)) << what;
            EXPECT_EQ(fileBytes(again.path), stored(c.expected, form)) << what;
        }
    }
}

TEST(SetDeckForm, ACharacterTheCodePageLacksIsRefusedUntilTheDeckBecomesUtf8)
{
    const Form codePage = Forms[4];
    const QByteArray original = stored(Deck, codePage);
    DeckInFolder deck(original);
    const quint64 slime = deck.id("Slime");

    // The euro sign is in the code page (0x80): saved as it is.
    ASSERT_TRUE(deck.set.renameCard(slime, QString::fromUtf8("Slime €"), nullptr));
    QString error;
    bool lacks = true;
    ASSERT_TRUE(deck.set.save(&error, {}, &lacks)) << error.toStdString();
    EXPECT_FALSE(lacks);
    QByteArray euro = original;
    euro.replace("Slime;", "Slime \x80;");
    EXPECT_EQ(fileBytes(deck.path), euro);

    // A Cyrillic letter is not: refused, the file as it was, the change kept.
    ASSERT_TRUE(deck.set.renameCard(slime, QString::fromUtf8("Жаба"), nullptr));
    EXPECT_FALSE(deck.set.save(&error, {}, &lacks));
    EXPECT_TRUE(lacks);
    EXPECT_TRUE(error.contains(QString::fromUtf8("\"Ж\""))) << error.toStdString();
    EXPECT_TRUE(error.contains("Windows-1252")) << error.toStdString();
    EXPECT_TRUE(error.contains("line 2")) << error.toStdString();
    EXPECT_EQ(fileBytes(deck.path), euro);
    EXPECT_TRUE(deck.set.isModified());

    // As UTF-8 with a byte order mark (which spreadsheet programs read as UTF-8), every row is
    // stored again with its characters.
    deck.set.setDeckEncoding(DeckEncoding::Utf8Bom);
    ASSERT_TRUE(deck.set.save(&error, {}, &lacks)) << error.toStdString();
    EXPECT_FALSE(lacks);
    const QByteArray renamed = QByteArray(Deck).replace("Slime|", "Жаба|");
    EXPECT_EQ(fileBytes(deck.path), stored(renamed, {"", DeckEncoding::Utf8Bom, ';'}));
}

TEST(SetSaveAs, ADeckSavedElsewhereKeepsItsRowsFormAndPictures)
{
    const Form semicolon = Forms[1];
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("art"));
    ASSERT_TRUE(QDir(dir.path()).mkpath("copies"));
    ASSERT_TRUE(solid(62, 62, qRgb(9, 8, 7)).save(dir.filePath("art/slime.png")));
    const QByteArray original =
        stored("name|up|left|right|down|picture|notes\r\nSlime|1|1|1|1|art/slime.png|mine\r\n"
               "Goblin|2|2|2|2||x\r\n",
               semicolon);
    const QString path = dir.filePath("deck.csv");
    ASSERT_TRUE(writeFileBytes(path, original));
    CardSet set;
    ASSERT_TRUE(set.open(path, nullptr));

    const QString copy = dir.filePath("copies/other.csv");
    QString error;
    ASSERT_TRUE(set.save(&error, copy)) << error.toStdString();
    // The picture is named from the new folder; everything else as it was.
    EXPECT_EQ(fileBytes(copy),
              stored("name|up|left|right|down|picture|notes\r\nSlime|1|1|1|1|../art/slime.png|"
                     "mine\r\nGoblin|2|2|2|2||x\r\n",
                     semicolon));
    EXPECT_EQ(fileBytes(path), original);
    EXPECT_FALSE(QFileInfo::exists(path + ".bak"));
    EXPECT_EQ(set.path(), QFileInfo(copy).absoluteFilePath());
    EXPECT_FALSE(set.isModified());

    // The set now belongs to the new file: a change goes there only.
    ASSERT_TRUE(set.renameCard(set.entries()[1].id, "Orc", nullptr));
    ASSERT_TRUE(set.save(&error)) << error.toStdString();
    EXPECT_EQ(fileBytes(copy),
              stored("name|up|left|right|down|picture|notes\r\nSlime|1|1|1|1|../art/slime.png|"
                     "mine\r\nOrc|2|2|2|2||x\r\n",
                     semicolon));
    EXPECT_EQ(fileBytes(path), original);
    CardSet reopened;
    ASSERT_TRUE(reopened.open(copy, nullptr));
    EXPECT_EQ(reopened.readyCard(reopened.entries()[0].id).mainPicture.pixel(0, 0), qRgb(9, 8, 7));
}

TEST(SetSaveAs, AFolderSetBecomesADeckWithItsPicturesBesideIt)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("cards");
    ASSERT_TRUE(QDir().mkpath(folder));
    CardSet set;
    ASSERT_TRUE(set.open(folder, nullptr));
    Card card;
    card.name = "Hero";
    card.sides = {"1", "2", "3", "4"};
    card.element = 0;
    card.mainPicture = solid(62, 62, qRgb(50, 60, 70));
    set.addCard(card);
    card.name = "Plain";
    card.mainPicture = QImage();
    set.addCard(card);
    ASSERT_TRUE(set.save(nullptr));

    CardSet folderSet;
    ASSERT_TRUE(folderSet.open(folder, nullptr));
    const QString deck = dir.filePath("deck.csv");
    QString error;
    ASSERT_TRUE(folderSet.save(&error, deck)) << error.toStdString();
    EXPECT_EQ(folderSet.kind(), SetKind::Deck);
    EXPECT_EQ(fileBytes(deck), "name,up,left,right,down,element,arrows,picture\r\n"
                               "Hero,1,2,3,4,Fire,,Hero-picture.png\r\n"
                               "Plain,1,2,3,4,Fire,,\r\n");
    CardSet reopened;
    ASSERT_TRUE(reopened.open(deck, nullptr));
    ASSERT_EQ(reopened.count(), 2);
    EXPECT_EQ(reopened.readyCard(reopened.entries()[0].id).mainPicture.pixel(5, 5),
              qRgb(50, 60, 70));
    // The card files are left as they were.
    EXPECT_TRUE(QFileInfo::exists(QDir(folder).filePath("Hero.orvcard")));
}
