// SPDX-License-Identifier: GPL-3.0-or-later
// Decks as spreadsheet programs write them: encodings, separators, misspelled columns, arrow
// word variants, foreign paths, workbooks and hostile sizes.
#include "card/deck_file.h"
#include "card/deck_text.h"
#include "support/images.h"
#include "system/regular_file.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace orvane;

namespace {

const QString DeckPath = QStringLiteral("/decks/set.csv");

std::string joined(const QList<DeckProblem>& problems)
{
    QStringList lines;
    for (const DeckProblem& p : problems)
        lines << p.text();
    return lines.join(QLatin1Char('\n')).toStdString();
}

QByteArray utf16(const QString& text, bool little)
{
    QStringEncoder encoder(little ? QStringEncoder::Utf16LE : QStringEncoder::Utf16BE);
    return QByteArray(little ? "\xFF\xFE" : "\xFE\xFF") + QByteArray(encoder.encode(text));
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// One deck of two cards, "Café €" and "Zoë", in every form a spreadsheet program writes.
TEST(DeckReading, EveryEncodingAndSeparatorGivesTheSameCards)
{
    const auto deck = [](QChar sep) {
        QString text = QStringLiteral("Name,Up,Left,Right,Down,Element\r\n"
                                      "Café €,1,2,3,A,Fire\r\n"
                                      "\"Zoë, the second\",9,9,9,9,\r\n");
        if (sep != QLatin1Char(','))
            text.replace(QLatin1Char(','), sep)
                .replace(QStringLiteral("\"Zoë") + sep, QStringLiteral("\"Zoë,"));
        return text;
    };
    const QString comma = deck(QLatin1Char(','));
    const QString semicolon = deck(QLatin1Char(';'));
    const QString tab = deck(QLatin1Char('\t'));
    const QByteArray cp1252 = QByteArray("Name;Up;Left;Right;Down;Element\r\n"
                                         "Caf\xE9 \x80;1;2;3;A;Fire\r\n"
                                         "\"Zo\xEB, the second\";9;9;9;9;\r\n");
    const struct {
        const char* what;
        QByteArray bytes;
        DeckEncoding encoding;
        char separator;
        int nonUtf8Line;  // the line the Windows-1252 warning names; 0: no warning
    } cases[] = {
        {"UTF-8, comma", comma.toUtf8(), DeckEncoding::Utf8, ',', 0},
        {"UTF-8 BOM, semicolon", "\xEF\xBB\xBF" + semicolon.toUtf8(), DeckEncoding::Utf8Bom, ';',
         0},
        {"UTF-8, tab", tab.toUtf8(), DeckEncoding::Utf8, '\t', 0},
        {"UTF-16 LE, comma", utf16(comma, true), DeckEncoding::Utf16LE, ',', 0},
        {"UTF-16 LE, tab", utf16(tab, true), DeckEncoding::Utf16LE, '\t', 0},
        {"UTF-16 BE, semicolon", utf16(semicolon, false), DeckEncoding::Utf16BE, ';', 0},
        {"Windows-1252, semicolon", cp1252, DeckEncoding::Windows1252, ';', 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Deck read = readDeckText(c.bytes, DeckPath);
        ASSERT_TRUE(read.problems.isEmpty()) << joined(read.problems);
        ASSERT_EQ(read.rows.size(), 2);
        EXPECT_EQ(read.rows[0].card.name, QStringLiteral("Café €"));
        EXPECT_EQ(read.rows[0].card.sides, (std::array<QString, 4>{"1", "2", "3", "A"}));
        EXPECT_EQ(read.rows[0].card.element, 0);
        EXPECT_EQ(read.rows[1].card.name, QStringLiteral("Zoë, the second"));
        EXPECT_EQ(read.rows[1].line, 3);
        EXPECT_EQ(read.form.encoding, c.encoding);
        EXPECT_EQ(read.form.separator, c.separator);
        if (c.nonUtf8Line == 0) {
            EXPECT_TRUE(read.warnings.isEmpty()) << joined(read.warnings);
        } else {
            ASSERT_EQ(read.warnings.size(), 1);
            EXPECT_EQ(read.warnings[0].line, c.nonUtf8Line);
            EXPECT_TRUE(read.warnings[0].message.contains(QStringLiteral("Windows-1252")));
        }
    }
}

// Text written back in the form it was read in gives the same bytes.
TEST(DeckReading, EncodingRoundTrips)
{
    const QByteArray utf8 = QStringLiteral("name;up\r\nCafé €;Zoë\r\n").toUtf8();
    const DeckEncoding encodings[] = {DeckEncoding::Utf8, DeckEncoding::Utf8Bom,
                                      DeckEncoding::Utf16LE, DeckEncoding::Utf16BE,
                                      DeckEncoding::Windows1252};
    for (const DeckEncoding encoding : encodings) {
        SCOPED_TRACE(deckEncodingName(encoding).toStdString());
        const QByteArray bytes = encodeDeckText(utf8, {encoding, ';'});
        const DecodedDeckText decoded = decodeDeckBytes(bytes);
        EXPECT_EQ(decoded.form.encoding, encoding);
        EXPECT_EQ(decoded.form.separator, ';');
        EXPECT_EQ(decoded.utf8, utf8);
    }
}

// A byte order mark doubled at the start is one mark and a character of the text; writing back
// keeps both (a decoder that dropped the second one lost a character on every save).
TEST(DeckReading, DoubledByteOrderMarkStaysInTheText)
{
    const QByteArray cases[] = {QByteArray("\xFE\xFF\xFE\xFF\xFE\xFF", 6),
                                QByteArray("\xFF\xFE\xFF\xFE", 4),
                                QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFname", 10)};
    for (const QByteArray& bytes : cases) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        const DecodedDeckText decoded = decodeDeckBytes(bytes);
        EXPECT_TRUE(decoded.utf8.startsWith("\xEF\xBB\xBF"));
        EXPECT_EQ(encodeDeckText(decoded.utf8, decoded.form), bytes);
    }
}

TEST(DeckReading, SeparatorOfTheHeaderRow)
{
    const struct {
        QByteArray header;
        char separator;
    } cases[] = {
        {"name,up,left,right,down", ','},
        {"name;up;left;right;down", ';'},
        {"name\tup\tleft\tright\tdown", '\t'},
        {"\"a;b;c\",name,up", ','},        // separators inside quotes do not count
        {"name;up;left,right;down", ';'},  // the most frequent wins
        {"name", ','},                     // none: comma
        {"name;up\nx,y,z,w,v,u", ';'},     // only the header row decides
    };
    for (const auto& c : cases)
        EXPECT_EQ(separatorOfHeader(c.header), c.separator) << c.header.constData();
}

TEST(DeckReading, InvalidUtf8NamesTheFirstLineThatNeededTheCodePage)
{
    const struct {
        QByteArray bytes;
        int line;
    } cases[] = {
        {"name,up,left,right,down\n\xE9,1,1,1,1\n", 2},
        {"name,up,left,right,down\nok,1,1,1,1\n\"two\nlines\",1,1,1,1\nb\xFC,1,1,1,1\n", 5},
        {"name,up,left,right,down\nok,1,1,1,1\ncut\xC3", 3},  // a character cut at the end
    };
    for (const auto& c : cases) {
        const DecodedDeckText decoded = decodeDeckBytes(c.bytes);
        EXPECT_EQ(decoded.form.encoding, DeckEncoding::Windows1252);
        EXPECT_EQ(decoded.firstNonUtf8Line, c.line) << c.bytes.constData();
    }
}

TEST(DeckReading, AColumnNotReadIsAWarningNamingTheNearestColumn)
{
    const struct {
        const char* column;
        const char* expected;  // in the warning
    } cases[] = {
        {"Image", "column \"Image\" is not read; did you mean picture?"},
        {"Art", "did you mean picture?"},
        {"Elemnt", "did you mean element?"},
        {"Arrow", "did you mean arrows?"},
        {"Title", "did you mean name?"},
        {"Tolerence", "did you mean tolerance?"},
        {"keep-dark", "did you mean keep_dark?"},
        {"Notes", "column \"Notes\" is not read (a column for notes is fine)"},
    };
    for (const auto& c : cases) {
        const QByteArray csv =
            QByteArray("Name,Up,Left,Right,Down,") + c.column + "\nHero,1,2,3,4,x\n";
        const Deck deck = readDeckText(csv, DeckPath);
        ASSERT_TRUE(deck.problems.isEmpty()) << joined(deck.problems);
        ASSERT_EQ(deck.rows.size(), 1);  // the card is still read
        ASSERT_EQ(deck.warnings.size(), 1) << c.column;
        EXPECT_EQ(deck.warnings[0].line, 1);
        EXPECT_TRUE(deck.warnings[0].message.contains(QLatin1String(c.expected)))
            << deck.warnings[0].text().toStdString();
    }
}

TEST(DeckReading, ArrowWordVariants)
{
    const struct {
        const char* words;
        std::array<bool, 8> arrows;
    } cases[] = {
        {"up-left", {true, false, false, false, false, false, false, false}},
        {"Top_Left TOP", {true, true, false, false, false, false, false, false}},
        {"left-up NE", {true, false, true, false, false, false, false, false}},
        {"west east", {false, false, false, true, true, false, false, false}},
        {"bottom-left bottom", {false, false, false, false, false, true, true, false}},
        {"down-right", {false, false, false, false, false, false, false, true}},
        {"south-east north", {false, true, false, false, false, false, false, true}},
    };
    for (const auto& c : cases) {
        const QByteArray csv =
            QByteArray("name,up,left,right,down,arrows\nHero,9,9,9,9,") + c.words + "\n";
        const Deck deck = readDeckText(csv, DeckPath);
        ASSERT_TRUE(deck.problems.isEmpty()) << c.words << ": " << joined(deck.problems);
        EXPECT_EQ(deck.rows[0].card.arrows, c.arrows) << c.words;
    }
    // Near misses stay errors; the same arrow twice under two words is named once too often.
    for (const char* words : {"upleftt", "middle", "up top"}) {
        const QByteArray csv =
            QByteArray("name,up,left,right,down,arrows\nHero,9,9,9,9,") + words + "\n";
        const Deck deck = readDeckText(csv, DeckPath);
        ASSERT_EQ(deck.problems.size(), 1) << words;
        EXPECT_EQ(deck.problems[0].column, QStringLiteral("arrows"));
    }
}

TEST(DeckReading, BackslashesSeparateFoldersInPicturePaths)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("art/monsters")));
    ASSERT_TRUE(solid(8, 8, qRgb(1, 2, 3)).save(dir.filePath("art/monsters/slime.png")));
    const QString deckPath = dir.filePath(QStringLiteral("deck.csv"));
    ASSERT_TRUE(writeFile(deckPath, "name,up,left,right,down,picture\n"
                                    "Slime,1,1,1,1,art\\monsters\\slime.png\n"
                                    "Blob,1,1,1,1,.\\art/monsters\\slime.png\n"));
    const Deck deck = readDeck(deckPath);
    ASSERT_TRUE(deck.problems.isEmpty()) << joined(deck.problems);
    ASSERT_EQ(deck.rows.size(), 2);
    for (const DeckRow& row : deck.rows)
        EXPECT_EQ(row.card.mainPicturePath, dir.filePath(QStringLiteral("art/monsters/slime.png")));
}

TEST(DeckReading, WorkbooksAreRefusedWithHowToSaveAsCsv)
{
    const QByteArray workbooks[] = {
        QByteArray("PK\x03\x04\x14\x00\x06\x00", 8) + QByteArray(200, 'x'),         // .xlsx, .ods
        QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(200, '\0'),  // .xls
    };
    for (const QByteArray& bytes : workbooks) {
        const Deck deck = readDeckText(bytes, QStringLiteral("/decks/cards.xlsx"));
        ASSERT_EQ(deck.problems.size(), 1);
        EXPECT_TRUE(deck.rows.isEmpty());
        EXPECT_TRUE(deck.problems[0].message.contains(QStringLiteral("Save As")));
        EXPECT_TRUE(deck.problems[0].message.contains(QStringLiteral("CSV")));
    }
}

// A hostile deck's huge cells cost no more than their bytes and give one short message.
TEST(DeckReading, HugeCellsGiveShortMessages)
{
    const QByteArray huge(200 * 1024, 'n');
    const struct {
        const char* what;
        QByteArray csv;
        const char* column;  // of the problem; empty: the row is good
    } cases[] = {
        {"name", "name,up,left,right,down\n" + huge + ",1,1,1,1\n", "name"},
        {"side", "name,up,left,right,down\nHero," + huge + ",1,1,1\n", "up"},
        {"quoted name", "name,up,left,right,down\n\"" + huge + "\",1,1,1,1\n", "name"},
        {"long name", "name,up,left,right,down\n" + QByteArray(300, 'n') + ",1,1,1,1\n", "name"},
        {"element", "name,up,left,right,down,element\nHero,1,1,1,1," + huge.left(5000) + "\n",
         "element"},
        {"notes", "name,up,left,right,down,notes\nHero,1,1,1,1," + huge + "\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Deck deck = readDeckText(c.csv, DeckPath);
        if (*c.column == '\0') {
            EXPECT_TRUE(deck.problems.isEmpty()) << joined(deck.problems);
            EXPECT_EQ(deck.rows.size(), 1);
            continue;
        }
        ASSERT_EQ(deck.problems.size(), 1);
        EXPECT_EQ(deck.problems[0].column, QLatin1String(c.column));
        EXPECT_EQ(deck.problems[0].line, 2);
        EXPECT_LT(deck.problems[0].text().size(), 300) << deck.problems[0].text().toStdString();
    }
}

TEST(DeckReading, ANameWithAnUnreadableCharacterIsWarnedOf)
{
    const Deck deck = readDeckText(
        QStringLiteral("name,up,left,right,down\nCaf\uFFFD,1,1,1,1\n").toUtf8(), DeckPath);
    ASSERT_EQ(deck.rows.size(), 1);
    ASSERT_EQ(deck.warnings.size(), 1);
    EXPECT_EQ(deck.warnings[0].line, 2);
    EXPECT_EQ(deck.warnings[0].column, QStringLiteral("name"));
}

TEST(DeckReading, AddCardToDeckKeepsTheDecksForm)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("deck.csv"));
    const QString text = QStringLiteral("Name;Up;Left;Right;Down;Notes\r\nZoë;1;2;3;4;a, b\r\n");
    for (const DeckEncoding encoding : {DeckEncoding::Utf16LE, DeckEncoding::Windows1252}) {
        SCOPED_TRACE(deckEncodingName(encoding).toStdString());
        ASSERT_TRUE(writeFile(path, encodeDeckText(text.toUtf8(), {encoding, ';'})));
        Card card;
        card.name = QStringLiteral("Café");
        card.element = 8;
        QString error;
        ASSERT_TRUE(addCardToDeck(path, card, false, &error)) << error.toStdString();
        const Deck deck = readDeck(path);
        ASSERT_TRUE(deck.problems.isEmpty()) << joined(deck.problems);
        EXPECT_EQ(deck.form.encoding, encoding);
        EXPECT_EQ(deck.form.separator, ';');
        ASSERT_EQ(deck.rows.size(), 2);
        EXPECT_EQ(deck.rows[0].card.name, QStringLiteral("Zoë"));
        EXPECT_EQ(deck.rows[1].card.name, QStringLiteral("Café"));
    }
    // A name the code page cannot hold is refused, the deck unchanged.
    ASSERT_TRUE(writeFile(path, encodeDeckText(text.toUtf8(), {DeckEncoding::Windows1252, ';'})));
    Card card;
    card.name = QStringLiteral("日本");
    card.element = 8;
    QString error;
    EXPECT_FALSE(addCardToDeck(path, card, false, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("UTF-8"))) << error.toStdString();
    EXPECT_EQ(readDeck(path).rows.size(), 1);
}

#ifndef _WIN32
TEST(RegularFile, ReadsRegularFilesOnlyWithABoundOnTheBytesRead)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString big = dir.filePath(QStringLiteral("big"));
    ASSERT_TRUE(writeFile(big, QByteArray(5000, 'x')));
    const QString empty = dir.filePath(QStringLiteral("empty"));
    ASSERT_TRUE(writeFile(empty, QByteArray()));
    const struct {
        QString path;
        qint64 bound;
        qsizetype bytes;  // -1: refused
        bool tooLarge;
    } cases[] = {
        {fifo, 1000, -1, false},
        {dir.path(), 1000, -1, false},
        {QStringLiteral("/proc/self/pagemap"), 1000, -1, false},
        {QStringLiteral("/proc/self/status"), 1 << 20, -1, false},
        {QStringLiteral("/dev/zero"), 1000, -1, false},
        {dir.filePath(QStringLiteral("missing")), 1000, -1, false},
        {big, 4999, -1, true},
        {big, 5000, 5000, false},
        {empty, 10, 0, false},
    };
    for (const auto& c : cases) {
        const ReadFile read = readRegularFile(c.path, c.bound);
        EXPECT_EQ(read.error.isEmpty(), c.bytes >= 0) << c.path.toStdString();
        EXPECT_EQ(read.bytes.size(), std::max<qsizetype>(c.bytes, 0)) << c.path.toStdString();
        EXPECT_EQ(read.tooLarge, c.tooLarge) << c.path.toStdString();
    }
    // A deck that is a pipe or a link to a system file is refused at once.
    for (const QString& target : {fifo, QStringLiteral("/proc/self/pagemap")}) {
        const QString link = dir.filePath(QStringLiteral("deck.csv"));
        QFile::remove(link);
        ASSERT_TRUE(QFile::link(target, link));
        const Deck deck = readDeck(link);
        ASSERT_EQ(deck.problems.size(), 1);
        EXPECT_TRUE(deck.problems[0].message.contains(QStringLiteral("not a regular file")))
            << deck.problems[0].text().toStdString();
    }
}
#endif

}  // namespace
