// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/deck_file.h"
#include "support/images.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace orvane;

// Readable failure output for texts and lists of texts.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

const QString DeckPath = QStringLiteral("/decks/set.csv");

QStringList problemTexts(const Deck& deck)
{
    QStringList texts;
    for (const DeckProblem& p : deck.problems)
        texts << p.text();
    return texts;
}

std::string joined(const QStringList& lines)
{
    return lines.join(QLatin1Char('\n')).toStdString();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

TEST(DeckFile, ColumnsByNameQuotingBomAndLineEnds)
{
    // Another column order, header in other cases, an unknown column, quoted cells with commas,
    // quotes and line breaks, a BOM, CRLF and LF mixed, a blank line.
    const QByteArray csv = "\xEF\xBB\xBF"
                           "Notes,DOWN,Name,up,left,right,Element,arrows,x,y,TopX,elemy\r\n"
                           "\"a, b\",2,\"Hero, \"\"the\"\" first\",1,A,10,fire,0 7,31,62,,\r\n"
                           "\r\n"
                           "\"two\nlines\",9,Second,9,9,9,,upper-left Down,,,0,-3\n"
                           "x,5,Third,5,5,5,TRAP,,,,,\n";
    const Deck deck = readDeckText(csv, DeckPath);
    ASSERT_TRUE(deck.problems.isEmpty()) << joined(problemTexts(deck));
    ASSERT_EQ(deck.rows.size(), 3);

    const Card& hero = deck.rows[0].card;
    EXPECT_EQ(deck.rows[0].line, 2);
    EXPECT_EQ(hero.name, QStringLiteral("Hero, \"the\" first"));
    EXPECT_EQ(hero.sides, (std::array<QString, 4>{"1", "A", "A", "2"}));
    EXPECT_EQ(hero.element, 0);
    EXPECT_EQ(hero.arrows,
              (std::array<bool, 8>{true, false, false, false, false, false, false, true}));
    EXPECT_EQ(hero.x, 31);
    EXPECT_EQ(hero.y, 62);
    EXPECT_EQ(hero.placement, CardPlacement{});
    EXPECT_TRUE(hero.mainPicturePath.isEmpty());

    const Card& second = deck.rows[1].card;
    EXPECT_EQ(deck.rows[1].line, 4);
    EXPECT_EQ(second.element, 8);  // empty: None
    EXPECT_EQ(second.arrows,
              (std::array<bool, 8>{true, false, false, false, false, false, true, false}));
    EXPECT_EQ(second.placement.TopX, 0);
    EXPECT_EQ(second.placement.ElemY, -3);
    EXPECT_EQ(second.placement.TopY, CardPlacement{}.TopY);

    const Card& trap = deck.rows[2].card;
    EXPECT_EQ(deck.rows[2].line, 6);
    EXPECT_EQ(trap.element, 10);
    EXPECT_EQ(trap.sides, (std::array<QString, 4>{"2", "2", "2", "2"}));
}

TEST(DeckFile, EachBadValueNamesItsLineAndColumn)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("hero.bmp")), "x"));
    QDir(dir.path()).mkdir(QStringLiteral("folder.bmp"));
    const QString path = dir.filePath(QStringLiteral("set.csv"));
    const QByteArray csv = "name,up,left,right,down,element,arrows,picture,x,y,TopX\n"
                           "\"Good\none\",1,1,1,1,,,hero.bmp,,,\n"     // lines 2-3
                           "Bad side,0,1,1,1,,,,,,\n"                  // 4
                           "Bad side 2,1,1,11,1,,,,,,\n"               // 5
                           "Empty side,1,1,1,,,,,,,\n"                 // 6
                           ",1,1,1,1,,,,,,\n"                          // 7
                           "Bad element,1,1,1,1,Lava,,,,,\n"           // 8
                           "Bad arrow,1,1,1,1,,8,,,,\n"                // 9
                           "Bad word,1,1,1,1,,up sideways,,,,\n"       // 10
                           "Twice,1,1,1,1,,up 1,,,,\n"                 // 11
                           "Too many,1,1,1,1,,0 1,,,,\n"               // 12
                           "Trap too many,,,,,trap,0 1,,,,\n"          // 13
                           "Bad x,1,1,1,1,,,,63,,\n"                   // 14
                           "Bad y,1,1,1,1,,,,,-1,\n"                   // 15
                           "Bad place,1,1,1,1,,,,,,seven\n"            // 16
                           "No picture,1,1,1,1,,,missing.png,,,\n"     // 17
                           "Folder picture,1,1,1,1,,,folder.bmp,,,\n"  // 18
                           "GOOD ONE,1,1,1,1,,,,,,\n"            // 19: not a duplicate (newline)
                           "Hero: 1,A,A,A,A,,0 1 2 3 4 5,,,,\n"  // 20
                           "hero/ 1,1,1,1,1,,,,,,\n";            // 21: same file names as 20
    ASSERT_TRUE(writeFile(path, csv));
    const Deck deck = readDeck(path);
    const QString p = path + QLatin1Char(':');
    const QStringList expected = {
        p + "4: column up: \"0\" is not a side value (1 to 9, or A or 10)",
        p + "5: column right: \"11\" is not a side value (1 to 9, or A or 10)",
        p + "6: column down: the side is empty",
        p + "7: column name: the card has no name",
        p + "8: column element: \"Lava\" is not an element (Fire, Water, Ice, Earth, Wind, Poison, "
            "Bolt, Holy, None, Shadow or Trap)",
        p + "9: column arrows: \"8\" is not an arrow (0 to 7, or upper-left, up, upper-right, "
            "left, right, lower-left, down, lower-right)",
        p + "10: column arrows: \"sideways\" is not an arrow (0 to 7, or upper-left, up, "
            "upper-right, left, right, lower-left, down, lower-right)",
        p + "11: column arrows: the arrow up is named twice",
        p + "12: column arrows: 2 arrows, but a card of total 4 may have 1 at most",
        p + "13: column arrows: 2 arrows, but a card of total 8 may have 1 at most",
        p + "14: column x: \"63\" is not a whole number from 0 to 62",
        p + "15: column y: \"-1\" is not a whole number from 0 to 62",
        p + "16: column TopX: \"seven\" is not a number from -32768 to 32767",
        p + "17: column picture: there is no picture " + dir.filePath("missing.png"),
        p + "18: column picture: " + dir.filePath("folder.bmp") + " is not a file",
        p + "21: column name: the card on line 20 already has the name \"hero/ 1\" (or one that "
            "gives the same file names)",
    };
    EXPECT_EQ(problemTexts(deck), expected) << joined(problemTexts(deck));
    ASSERT_EQ(deck.rows.size(), 3);
    EXPECT_EQ(deck.rows[0].line, 2);
    EXPECT_EQ(deck.rows[0].card.mainPicturePath, dir.filePath(QStringLiteral("hero.bmp")));
    EXPECT_EQ(deck.rows[1].line, 19);
    EXPECT_EQ(deck.rows[2].line, 20);
}

TEST(DeckFile, WholeDeckProblems)
{
    const std::pair<QByteArray, const char*> cases[] = {
        {"", "/decks/set.csv:1: the deck is empty: it needs a header row"},
        {"name,up,left,right\nA,1,1,1\n",
         "/decks/set.csv:1: the header row has no column down (it needs name, up, left, right "
         "and down)"},
        {"\n\nname,up,up,left,right,down\n", "/decks/set.csv:3: the column \"up\" appears twice"},
        {"name,up,left,right,down\nA,1,1,1,1\n\"B,1,1,1,1\nC,1,1,1,1\n",
         "/decks/set.csv:3: a quoted field is not closed before the end of the file; the rows "
         "from here on are not read"},
        {"name,up,left,right,down\nA,1,1,1,1\nB\"x\",1,1,1,1\n",
         "/decks/set.csv:3: a quote stands inside a field that is not quoted, or a quoted field "
         "goes on after its closing quote; the rows from here on are not read"},
    };
    for (const auto& [csv, expected] : cases) {
        const Deck deck = readDeckText(csv, DeckPath);
        EXPECT_EQ(problemTexts(deck), QStringList{QLatin1String(expected)}) << expected;
        EXPECT_LE(deck.rows.size(), 1);  // the row before a quoting error is kept
    }
    const Deck missing = readDeck(QStringLiteral("/no/such/deck.csv"));
    ASSERT_EQ(missing.problems.size(), 1);
    EXPECT_TRUE(missing.problems[0].text().startsWith(
        QStringLiteral("/no/such/deck.csv:0: the deck cannot be read")));
}

TEST(DeckFile, AddCardToDeckCreatesAppendsAndReplaces)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new.csv"));
    Card hero;
    hero.name = QStringLiteral("Hero, \"One\"");
    hero.sides = {"1", "2", "A", "3"};
    hero.element = 3;
    hero.arrows[2] = true;
    hero.mainPicture = gradient(20, 30);
    hero.x = 5;
    hero.placement.ElemX = 40;
    QString error;
    ASSERT_TRUE(addCardToDeck(path, hero, false, &error)) << error.toStdString();
    EXPECT_TRUE(deckHasCard(path, QStringLiteral("hero, \"one\"")));
    EXPECT_FALSE(deckHasCard(path, QStringLiteral("Villain")));
    EXPECT_FALSE(addCardToDeck(path, hero, false, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("already has a card named"))) << error.toStdString();

    Card villain;
    villain.name = QStringLiteral("Villain");
    villain.element = 8;
    ASSERT_TRUE(addCardToDeck(path, villain, false, &error)) << error.toStdString();
    hero.sides[0] = QStringLiteral("9");
    ASSERT_TRUE(addCardToDeck(path, hero, true, &error)) << error.toStdString();

    const Deck deck = readDeck(path);
    ASSERT_TRUE(deck.problems.isEmpty()) << joined(problemTexts(deck));
    ASSERT_EQ(deck.rows.size(), 2);
    Card read = deck.rows[0].card;
    EXPECT_EQ(read.mainPicturePath, dir.filePath(QStringLiteral("Hero, _One_-picture.png")));
    EXPECT_EQ(QImage(read.mainPicturePath).convertToFormat(QImage::Format_RGB32), hero.mainPicture);
    read.mainPicture = hero.mainPicture;
    read.mainPicturePath = hero.mainPicturePath;
    EXPECT_EQ(read, hero);
    EXPECT_EQ(deck.rows[1].card, villain);
}

TEST(DeckFile, AddCardToDeckKeepsTheDecksOwnColumns)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("own.csv"));
    ASSERT_TRUE(writeFile(path, "\xEF\xBB\xBFNotes,name,up,left,right,down\r\n"
                                "\"keep, this\",Old,1,1,1,1\r\n"));
    Card card;
    card.name = QStringLiteral("Old");
    card.arrows[4] = true;
    QString error;
    ASSERT_TRUE(addCardToDeck(path, card, true, &error)) << error.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              QByteArray("\xEF\xBB\xBFNotes,name,up,left,right,down,element,arrows\r\n"
                         "\"keep, this\",Old,A,A,A,A,,right\r\n"));

    ASSERT_TRUE(writeFile(path, "name,up\nBroken\"x,1\n"));
    EXPECT_FALSE(addCardToDeck(path, card, true, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("line 2 cannot be read"))) << error.toStdString();
}

// A card whose row would be read back as another card, or as a bad row, is not added: the
// deck and the folder stay as they were.
TEST(DeckFile, AddCardToDeckRefusesACardItWouldNotReadBack)
{
    struct Case {
        const char* what;
        std::array<QString, 4> sides;
        int element;
        int arrows;
        const char* error;
    };
    const Case cases[] = {
        {"lower-case a: drawn as A, counted 0",
         {"3", "9", "7", "a"},
         6,
         0,
         "its down side is \"a\", and a deck row holds 1 to 9 or A"},
        {"10: counted 10, drawn as nothing", {"10", "1", "1", "1"}, 0, 0, "its up side is \"10\""},
        {"an empty box", {"1", "", "1", "1"}, 0, 0, "its left side is \"\""},
        {"a blank beside the digit", {"1", "1", "1 ", "1"}, 0, 0, "its right side is \"1 \""},
        {"more arrows than the total allows",
         {"1", "2", "3", "4"},
         6,
         2,
         "column arrows: 2 arrows, but a card of total 10 may have 1 at most"},
        {"Trap without its sides",
         {"2", "2", "5", "2"},
         10,
         0,
         "a Trap card has the sides 2, 2, 2, 2, but its right side is \"5\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("deck.csv"));
        const QByteArray before = "name,up,left,right,down\nOther,1,1,1,1\n";
        ASSERT_TRUE(writeFile(path, before));
        Card card;
        card.name = QStringLiteral("Hero");
        card.sides = c.sides;
        card.element = c.element;
        for (int i = 0; i < c.arrows; ++i)
            card.arrows[size_t(i)] = true;
        card.mainPicture = gradient(10, 10);
        QString error;
        EXPECT_FALSE(addCardToDeck(path, card, true, &error));
        EXPECT_TRUE(error.contains(QLatin1String(c.error))) << error.toStdString();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), before);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"deck.csv"});
    }
}

// The picture is written before the deck; a deck that then cannot be written leaves the
// picture file as it was, or no picture file at all.
TEST(DeckFile, AddCardToDeckPutsThePictureBackWhenTheDeckFails)
{
    QTemporaryDir dir;
    // A link to a deck in a folder that does not exist: read as no deck, written nowhere.
    const QString path = dir.filePath(QStringLiteral("deck.csv"));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("gone/deck.csv")), path));
    Card card;
    card.name = QStringLiteral("Hero");
    card.mainPicture = gradient(10, 10);
    const QString picture = dir.filePath(QStringLiteral("Hero-picture.png"));
    QString error;
    EXPECT_FALSE(addCardToDeck(path, card, false, &error));
    EXPECT_FALSE(QFileInfo::exists(picture));

    ASSERT_TRUE(writeFile(picture, "the picture of another row"));
    EXPECT_FALSE(addCardToDeck(path, card, false, &error));
    QFile file(picture);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("the picture of another row"));
}

TEST(DeckFile, PreparationColumnsByNameAnyCaseAndOrder)
{
    const QByteArray csv = "Key,name,up,left,right,down,PAN_X,Fit,scale,Resample,pan_y,"
                           "TOLERANCE,keep_dark\n"
                           ",Plain,1,1,1,1,,,,,,,\n"                               // 2: none given
                           " #FF00aa ,Full,1,1,1,1,-5,fill,,nearest,-70,40,yes\n"  // 3
                           "corners,Percent,1,1,1,1,,NONE,250,,,,\n"               // 4
                           ",Pan only,1,1,1,1,,,,,7,,\n";                          // 5
    const Deck deck = readDeckText(csv, DeckPath);
    ASSERT_TRUE(deck.problems.isEmpty()) << joined(problemTexts(deck));
    ASSERT_EQ(deck.rows.size(), 4);
    using Settings = QMap<QString, QString>;
    EXPECT_EQ(deck.rows[0].pictureFit, Settings());
    EXPECT_EQ(deck.rows[1].pictureFit, (Settings{{"key", "#FF00aa"},
                                                 {"pan_x", "-5"},
                                                 {"fit", "fill"},
                                                 {"resample", "nearest"},
                                                 {"pan_y", "-70"},
                                                 {"tolerance", "40"},
                                                 {"keep_dark", "yes"}}));
    EXPECT_EQ(deck.rows[2].pictureFit,
              (Settings{{"key", "corners"}, {"fit", "NONE"}, {"scale", "250"}}));
    EXPECT_EQ(deck.rows[3].pictureFit, (Settings{{"pan_y", "7"}}));

    PictureFit full;
    full.mode = FitMode::Fill;
    full.resample = Resample::Nearest;
    full.panX = -5;
    full.panY = -70;
    full.key = KeyMode::Colour;
    full.keyColour = qRgb(0xFF, 0x00, 0xAA);
    full.tolerance = 40;
    full.keepDarkVisible = true;
    EXPECT_EQ(parsePictureFit(deck.rows[1].pictureFit, nullptr), full);

    const Deck twice = readDeckText("name,up,left,right,down,pan_x,PAN_X\n", DeckPath);
    EXPECT_EQ(problemTexts(twice),
              QStringList{QStringLiteral("/decks/set.csv:1: the column \"pan_x\" appears twice")});
}

TEST(DeckFile, EachBadPreparationValueNamesItsLineAndColumn)
{
    const QByteArray csv = "name,up,left,right,down,fit,scale,resample,pan_x,pan_y,key,"
                           "tolerance,keep_dark\n"
                           "Good,1,1,1,1,none,12.5,,-3,,,,\n"       // 2
                           "Fit,1,1,1,1,stretch,,,,,,,\n"           // 3
                           "Scale,1,1,1,1,none,0.5,,,,,,\n"         // 4
                           "Scale fill,1,1,1,1,fill,50,,,,,,\n"     // 5
                           "Scale only,1,1,1,1,,50,,,,,,\n"         // 6
                           "Resample,1,1,1,1,,,cubic,,,,,\n"        // 7
                           "Pan x,1,1,1,1,,,,1.5,,,,\n"             // 8
                           "Pan y,1,1,1,1,,,,,-100001,,,\n"         // 9
                           "Key,1,1,1,1,,,,,,#12345,,\n"            // 10
                           "Key word,1,1,1,1,,,,,,red,,\n"          // 11
                           "Tolerance,1,1,1,1,,,,,,corners,256,\n"  // 12
                           "Dark,1,1,1,1,,,,,,,,maybe\n";           // 13
    const Deck deck = readDeckText(csv, DeckPath);
    const QString p = DeckPath + QLatin1Char(':');
    const QStringList expected = {
        p + "3: column fit: \"stretch\" is not fit, fill or none",
        p + "4: column scale: \"0.5\" is not a percentage from 1 to 10000",
        p + "5: column scale: a percentage needs fit = none (fit and fill choose the size)",
        p + "6: column scale: a percentage needs fit = none (fit and fill choose the size)",
        p + "7: column resample: \"cubic\" is not smooth or nearest",
        p + "8: column pan_x: \"1.5\" is not a whole number of pixels from -100000 to 100000",
        p + "9: column pan_y: \"-100001\" is not a whole number of pixels from -100000 to 100000",
        p + "10: column key: \"#12345\" is not none, corners or a colour #rrggbb",
        p + "11: column key: \"red\" is not none, corners or a colour #rrggbb",
        p + "12: column tolerance: \"256\" is not a whole number from 0 to 255",
        p + "13: column keep_dark: \"maybe\" is not yes or no",
    };
    EXPECT_EQ(problemTexts(deck), expected) << joined(problemTexts(deck));
    ASSERT_EQ(deck.rows.size(), 1);
    EXPECT_EQ(deck.rows[0].card.name, QStringLiteral("Good"));
}

TEST(DeckFile, AddCardToDeckClearsTheReplacedRowsPreparation)
{
    // The picture written is prepared already: the old row's settings must not prepare it again.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fit.csv"));
    ASSERT_TRUE(writeFile(path, "name,up,left,right,down,fit,pan_x\nOld,1,1,1,1,fill,-4\n"));
    Card card;
    card.name = QStringLiteral("Old");
    card.mainPicture = solid(62, 62, qRgb(9, 9, 9));
    QString error;
    ASSERT_TRUE(addCardToDeck(path, card, true, &error)) << error.toStdString();
    const Deck deck = readDeck(path);
    ASSERT_EQ(deck.rows.size(), 1) << joined(problemTexts(deck));
    EXPECT_TRUE(deck.rows[0].pictureFit.isEmpty());
}

}  // namespace
