// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/deck_file.h"

#include "card/arrow_words.h"
#include "card/card_rules.h"
#include "card/csv_records.h"
#include "card/deck_text.h"
#include "card/picture_fit.h"
#include "system/file_write.h"
#include "system/regular_file.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

namespace orvane {
namespace {

constexpr qint64 MaxDeckBytes = 64LL * 1024 * 1024;
// A card's name becomes its file names ("<name>-blue.png"): a file name holds 255 bytes.
constexpr qsizetype MaxNameBytes = 255 - 9;
// The most of a cell, or of a path, quoted in a message.
constexpr qsizetype MaxQuotedChars = 40;
constexpr qsizetype MaxQuotedPathChars = 200;
constexpr qsizetype MaxPathChars = 4096;

enum Column {
    Name,
    Up,
    Left,
    Right,
    Down,
    Element,
    Arrows,
    Picture,
    X,
    Y,
    FirstPlacement,  // the ten placement columns follow in PlacementFields order
    ColumnCount = FirstPlacement + 10
};
constexpr int RequiredColumns[] = {Name, Up, Left, Right, Down};
constexpr const char* CopiesColumn = "copies";
constexpr const char* PackColumn = "pack";
constexpr int MaxCopies = 99;
constexpr int SideColumns[4] = {Up, Left, Right, Down};

QString columnName(int column)
{
    static const char* names[FirstPlacement] = {"name",    "up",     "left",    "right", "down",
                                                "element", "arrows", "picture", "x",     "y"};
    return column < FirstPlacement ? QLatin1String(names[column])
                                   : QLatin1String(PlacementFields[column - FirstPlacement].key);
}

std::optional<int> columnFromName(const QString& text)
{
    const QString wanted = text.trimmed();
    for (int k = 0; k < ColumnCount; ++k)
        if (wanted.compare(columnName(k), Qt::CaseInsensitive) == 0)
            return k;
    return std::nullopt;
}

// The preparation column of a header cell (its setting name, as picture_fit.h spells it).
std::optional<QString> fitColumnFromName(const QString& text)
{
    const QString wanted = text.trimmed();
    for (const QString& name : pictureFitNames())
        if (wanted.compare(name, Qt::CaseInsensitive) == 0)
            return name;
    return std::nullopt;
}

// Where each known column sits in the file (-1: absent).
struct Header {
    std::array<int, ColumnCount> index;
    QMap<QString, int> fitIndex;  // the preparation columns present, by setting name
    int copiesIndex = -1;         // the copies column, which prints but is not the card's
    int packIndex = -1;           // the pack column: the parts the row is drawn with
    QStringList unread;           // the names of the columns the deck does not read
    Header() { index.fill(-1); }
};

// The header row: known columns found, or a problem naming what is wrong with it.
std::optional<Header> readHeader(const QStringList& fields, QString* problem)
{
    Header header;
    for (qsizetype k = 0; k < fields.size(); ++k) {
        const std::optional<int> column = columnFromName(fields[k]);
        if (!column &&
            fields[k].trimmed().compare(QLatin1String(CopiesColumn), Qt::CaseInsensitive) == 0) {
            if (header.copiesIndex >= 0) {
                *problem = QStringLiteral("the column \"copies\" appears twice");
                return std::nullopt;
            }
            header.copiesIndex = int(k);
            continue;
        }
        if (!column &&
            fields[k].trimmed().compare(QLatin1String(PackColumn), Qt::CaseInsensitive) == 0) {
            if (header.packIndex >= 0) {
                *problem = QStringLiteral("the column \"pack\" appears twice");
                return std::nullopt;
            }
            header.packIndex = int(k);
            continue;
        }
        if (!column) {
            const std::optional<QString> fitColumn = fitColumnFromName(fields[k]);
            if (!fitColumn) {
                if (!fields[k].trimmed().isEmpty())
                    header.unread << fields[k].trimmed();
                continue;
            }
            if (header.fitIndex.contains(*fitColumn)) {
                *problem = QStringLiteral("the column \"%1\" appears twice").arg(*fitColumn);
                return std::nullopt;
            }
            header.fitIndex.insert(*fitColumn, int(k));
            continue;
        }
        if (header.index[size_t(*column)] >= 0) {
            *problem = QStringLiteral("the column \"%1\" appears twice").arg(columnName(*column));
            return std::nullopt;
        }
        header.index[size_t(*column)] = int(k);
    }
    QStringList missing;
    for (int column : RequiredColumns)
        if (header.index[size_t(column)] < 0)
            missing << columnName(column);
    if (!missing.isEmpty()) {
        *problem = QStringLiteral("the header row has no column %1 (it needs name, up, left, "
                                  "right and down)")
                       .arg(missing.join(QStringLiteral(", ")));
        return std::nullopt;
    }
    return header;
}

// The edit distance of two short words (insertions, deletions and substitutions).
int editDistance(const QString& a, const QString& b)
{
    std::vector<int> row(size_t(b.size()) + 1);
    for (size_t j = 0; j < row.size(); ++j)
        row[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[size_t(j)];
            row[size_t(j)] = std::min(
                {above + 1, row[size_t(j - 1)] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row.back();
}

// The column a header cell most likely meant: by a word people use for it, else by spelling
// (close enough to be a slip). Empty when none is near.
QString nearestColumn(const QString& header)
{
    QString key = header.trimmed().toLower();
    key.remove(QLatin1Char(' '));
    key.remove(QLatin1Char('-'));
    key.remove(QLatin1Char('_'));
    static const struct {
        const char* word;
        const char* column;
    } synonyms[] = {
        {"image", "picture"},     {"img", "picture"},   {"art", "picture"},
        {"artwork", "picture"},   {"file", "picture"},  {"illustration", "picture"},
        {"pic", "picture"},       {"photo", "picture"}, {"title", "name"},
        {"card", "name"},         {"cardname", "name"}, {"top", "up"},
        {"bottom", "down"},       {"type", "element"},  {"arrow", "arrows"},
        {"directions", "arrows"}, {"offsetx", "x"},     {"offsety", "y"},
    };
    for (const auto& synonym : synonyms)
        if (key == QLatin1String(synonym.word))
            return QLatin1String(synonym.column);
    QStringList known;
    for (int k = 0; k < ColumnCount; ++k)
        known << columnName(k);
    known << pictureFitNames() << QLatin1String(CopiesColumn) << QLatin1String(PackColumn);
    QString best;
    int bestDistance = std::numeric_limits<int>::max();
    for (const QString& name : std::as_const(known)) {
        QString plain = name.toLower();
        plain.remove(QLatin1Char('_'));
        const int distance = editDistance(key, plain);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = name;
        }
    }
    // A slip: about one letter in three wrong at most (two in short names).
    const int allowed = std::max(1, int(std::max(key.size(), best.size())) / 3);
    return bestDistance <= allowed ? best : QString();
}

// The file names two cards would be written under are the same: the same safe name, in any case
// (a folder on a case-blind file system holds one of them only).
QString nameKey(const QString& name)
{
    return safeFileName(name.trimmed()).toCaseFolded();
}

// A cell's text for a message: a long one cut short, so that a message stays one short line.
QString quoted(const QString& text, qsizetype most = MaxQuotedChars)
{
    if (text.size() <= most)
        return QStringLiteral("\"%1\"").arg(text);
    return QStringLiteral("\"%1…\" (%2 characters)").arg(text.left(most)).arg(text.size());
}

// What a picture path names, looked up once per deck: many rows share a few pictures.
enum class PathKind { File, NotFile, Missing };
using PathKinds = QHash<QString, PathKind>;

PathKind pathKindOf(const QString& path, PathKinds* known)
{
    if (known)
        if (const auto found = known->constFind(path); found != known->cend())
            return *found;
    const QFileInfo info(path);
    const PathKind kind = info.isFile()   ? PathKind::File
                          : info.exists() ? PathKind::NotFile
                                          : PathKind::Missing;
    if (known)
        known->insert(path, kind);
    return kind;
}

// Reads one data row into a card; the first bad cell ends it with a problem.
class RowReader {
public:
    RowReader(const Header& header, const QStringList& fields, const QString& deckFolder,
              int longField = -1, PathKinds* pathKinds = nullptr)
        : m_header(header), m_fields(fields), m_deckFolder(deckFolder), m_longField(longField),
          m_pathKinds(pathKinds)
    {
    }

    std::optional<Card> read(DeckProblem* problem)
    {
        Card card;
        const bool ok = checkLongField() && readName(card) && readElement(card) &&
                        readSides(card) && readArrows(card) && readOffset(X, &card.x) &&
                        readOffset(Y, &card.y) && readPlacement(card) && readPictureFit() &&
                        readCopies() && readPicture(card);
        if (!ok) {
            problem->column = m_column;
            problem->message = m_message;
            return std::nullopt;
        }
        return card;
    }

    // The filled preparation cells, once read.
    const QMap<QString, QString>& pictureFit() const { return m_fit; }
    int copies() const { return m_copies; }
    // The pack cell as written, blanks around it dropped (empty: the run's or the set's pack).
    QString pack() const
    {
        const int k = m_header.packIndex;
        return k >= 0 && k < m_fields.size() ? m_fields[k].trimmed() : QString();
    }

private:
    QString cell(int column) const
    {
        const int k = m_header.index[size_t(column)];
        return k >= 0 && k < m_fields.size() ? m_fields[k].trimmed() : QString();
    }

    bool fail(int column, const QString& message)
    {
        m_column = columnName(column);
        m_message = message;
        return false;
    }

    // A cell too long for anything a card holds, in a column the deck reads (a note column
    // may hold what it likes).
    bool checkLongField()
    {
        const int k = m_longField;
        if (k < 0)
            return true;
        for (int column = 0; column < ColumnCount; ++column)
            if (m_header.index[size_t(column)] == k)
                return fail(column, QStringLiteral("the cell is longer than %1 KiB, far more than "
                                                   "a card holds")
                                        .arg(MaxCsvFieldBytes / 1024));
        for (auto it = m_header.fitIndex.cbegin(); it != m_header.fitIndex.cend(); ++it)
            if (it.value() == k) {
                m_column = it.key();
                m_message = QStringLiteral("the cell is longer than %1 KiB, far more than a card "
                                           "holds")
                                .arg(MaxCsvFieldBytes / 1024);
                return false;
            }
        return true;
    }

    bool readName(Card& card)
    {
        card.name = cell(Name);
        if (card.name.isEmpty())
            return fail(Name, QStringLiteral("the card has no name"));
        if (safeFileName(card.name).toUtf8().size() > MaxNameBytes)
            return fail(Name, QStringLiteral("the name %1 is longer than a file name may be (%2 "
                                             "bytes at most)")
                                  .arg(quoted(card.name))
                                  .arg(MaxNameBytes));
        return true;
    }

    bool readElement(Card& card)
    {
        const QString text = cell(Element);
        if (text.isEmpty()) {
            card.element = ElementNone;
            return true;
        }
        const std::optional<int> element = elementFromCaption(text);
        if (!element)
            return fail(Element, QStringLiteral("%1 is not an element (Fire, Water, Ice, "
                                                "Earth, Wind, Poison, Bolt, Holy, None, Shadow "
                                                "or Trap)")
                                     .arg(quoted(text)));
        card.element = *element;
        return true;
    }

    bool readSides(Card& card)
    {
        if (card.element == ElementTrap) {
            card.sides = {"2", "2", "2", "2"};
            return true;
        }
        for (size_t i = 0; i < 4; ++i) {
            const QString text = cell(SideColumns[i]);
            if (text.isEmpty())
                return fail(SideColumns[i], QStringLiteral("the side is empty"));
            if (isSideValue(text))
                card.sides[i] = text;
            else if (text == QLatin1String("a") || text == QLatin1String("10"))
                card.sides[i] = QStringLiteral("A");
            else
                return fail(SideColumns[i],
                            QStringLiteral("%1 is not a side value (1 to 9, or A or 10)")
                                .arg(quoted(text)));
        }
        return true;
    }

    bool readArrows(Card& card)
    {
        static const QRegularExpression blanks(QStringLiteral("\\s+"));
        const QStringList words = cell(Arrows).split(blanks, Qt::SkipEmptyParts);
        for (const QString& word : words) {
            const std::optional<int> arrow = arrowFromWord(word);
            if (!arrow)
                return fail(Arrows, QStringLiteral("%1 is not an arrow (0 to 7, or upper-left, "
                                                   "up, upper-right, left, right, lower-left, "
                                                   "down, lower-right)")
                                        .arg(quoted(word)));
            if (card.arrows[size_t(*arrow)])
                return fail(Arrows,
                            QStringLiteral("the arrow %1 is named twice").arg(arrowWord(*arrow)));
            card.arrows[size_t(*arrow)] = true;
        }
        const int total = cardTotal(card.sides);
        const int limit = arrowLimit(total);
        if (card.arrowCount() > limit)
            return fail(Arrows, QStringLiteral("%1 arrows, but a card of total %2 may have %3 at "
                                               "most")
                                    .arg(card.arrowCount())
                                    .arg(total)
                                    .arg(limit));
        return true;
    }

    bool readOffset(int column, int* value)
    {
        const QString text = cell(column);
        if (text.isEmpty())
            return true;
        bool ok = false;
        const int v = text.toInt(&ok);
        if (!ok || v < 0 || v > MainPictureMaxOffset)
            return fail(column, QStringLiteral("%1 is not a whole number from 0 to %2")
                                    .arg(quoted(text))
                                    .arg(MainPictureMaxOffset));
        *value = v;
        return true;
    }

    bool readPlacement(Card& card)
    {
        for (int k = 0; k < 10; ++k) {
            const QString text = cell(FirstPlacement + k);
            if (text.isEmpty())
                continue;
            const std::optional<qint16> value = parsePlacement(text);
            if (!value)
                return fail(
                    FirstPlacement + k,
                    QStringLiteral("%1 is not a number from -32768 to 32767").arg(quoted(text)));
            card.placement.*PlacementFields[k].member = *value;
        }
        return true;
    }

    // Checked on their own: orvane-render's options fill only what the row leaves empty, and
    // a row giving fit or scale gives the size whole, so every combination reads.
    bool readPictureFit()
    {
        for (auto it = m_header.fitIndex.cbegin(); it != m_header.fitIndex.cend(); ++it) {
            const int k = it.value();
            const QString text = k < m_fields.size() ? m_fields[k].trimmed() : QString();
            if (!text.isEmpty())
                m_fit.insert(it.key(), text);
        }
        // A palette file is found as the picture is: beside the deck, unless the path is whole.
        const QString palette = m_fit.value(QStringLiteral("palette"));
        if (!palette.isEmpty() && !m_deckFolder.isEmpty() &&
            palette.compare(QLatin1String(PartsPaletteName), Qt::CaseInsensitive) != 0 &&
            palette.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0)
            m_fit.insert(QStringLiteral("palette"), deckPicturePath(m_deckFolder, palette));
        PictureFitProblem problem;
        if (m_fit.isEmpty() || parsePictureFit(m_fit, &problem))
            return true;
        m_column = problem.name;
        m_message = problem.message;
        return false;
    }

    // How many of the card a print holds: a whole number 0-99, empty for one.
    bool readCopies()
    {
        const int k = m_header.copiesIndex;
        const QString text = k >= 0 && k < m_fields.size() ? m_fields[k].trimmed() : QString();
        if (text.isEmpty())
            return true;
        bool ok = false;
        const int copies = text.toInt(&ok);
        if (!ok || copies < 0 || copies > MaxCopies) {
            m_column = QLatin1String(CopiesColumn);
            m_message = QStringLiteral("%1 is not a whole number from 0 to %2")
                            .arg(quoted(text))
                            .arg(MaxCopies);
            return false;
        }
        m_copies = copies;
        return true;
    }

    bool readPicture(Card& card)
    {
        const QString text = cell(Picture);
        if (text.isEmpty())
            return true;
        if (text.size() > MaxPathChars)
            return fail(Picture, QStringLiteral("the path %1 is longer than a path may be")
                                     .arg(quoted(QString(text).replace(QLatin1Char('\\'),
                                                                       QLatin1Char('/')))));
        const QString path = deckPicturePath(m_deckFolder, text);
        const PathKind kind = pathKindOf(path, m_pathKinds);
        if (kind != PathKind::File) {
            QString shown = QDir::toNativeSeparators(path);
            if (shown.size() > MaxQuotedPathChars)
                shown = shown.left(MaxQuotedPathChars) + QStringLiteral("…");
            return fail(Picture, kind == PathKind::NotFile
                                     ? QStringLiteral("%1 is not a file").arg(shown)
                                     : QStringLiteral("there is no picture %1").arg(shown));
        }
        card.mainPicturePath = path;
        return true;
    }

    const Header& m_header;
    const QStringList& m_fields;
    QString m_deckFolder;
    int m_longField = -1;
    PathKinds* m_pathKinds = nullptr;
    QString m_column;
    QString m_message;
    QMap<QString, QString> m_fit;
    int m_copies = 1;
};

bool isBlankRecord(const QStringList& fields)
{
    for (const QString& field : fields)
        if (!field.trimmed().isEmpty())
            return false;
    return true;
}

QByteArray readBytes(const QString& path, QString* error)
{
    ReadFile read = readRegularFile(path, MaxDeckBytes);
    *error = read.error;
    return std::move(read.bytes);
}

// The message for a spreadsheet program's own file given as a deck: a zip container (.xlsx,
// .ods) or an older compound document (.xls). Empty for anything else.
QString workbookProblem(const QByteArray& bytes)
{
    if (!bytes.startsWith("PK\x03\x04") && !bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return {};
    return QStringLiteral("this is a spreadsheet workbook (.xlsx, .ods or .xls), not a CSV deck. "
                          "In the spreadsheet program choose File > Save As (or Save a Copy), "
                          "the type \"CSV\" (Text CSV, UTF-8 if offered), and give that file");
}

}  // namespace

QString DeckProblem::text() const
{
    QString t = QStringLiteral("%1:%2: ").arg(file).arg(line);
    if (!column.isEmpty())
        t += QStringLiteral("column %1: ").arg(column);
    return t + message;
}

Deck readDeckText(const QByteArray& bytes, const QString& pathForMessages, CsvText* records)
{
    Deck deck;
    const auto problem = [&](int line, const QString& column, const QString& message) {
        deck.problems.append({pathForMessages, line, column, message});
    };
    const auto warning = [&](int line, const QString& column, const QString& message) {
        deck.warnings.append({pathForMessages, line, column, message});
    };
    if (const QString workbook = workbookProblem(bytes); !workbook.isEmpty()) {
        problem(0, {}, workbook);
        return deck;
    }
    CsvText text;
    {
        DecodedDeckText decoded = decodeDeckBytes(bytes);
        deck.form = decoded.form;
        if (decoded.form.encoding == DeckEncoding::Windows1252)
            warning(decoded.firstNonUtf8Line, {},
                    QStringLiteral("the deck is not UTF-8 text; it is read as Windows-1252 "
                                   "(Western), the first line that needed it being line %1. "
                                   "Save the deck as UTF-8 to be sure of every character")
                        .arg(decoded.firstNonUtf8Line));
        // UTF-8 is read as it is (the reader skips a byte order mark), so that the records'
        // spans are places in the file.
        const bool utf8 = decoded.form.encoding == DeckEncoding::Utf8 ||
                          decoded.form.encoding == DeckEncoding::Utf8Bom;
        text = readCsv(utf8 ? bytes : decoded.utf8, decoded.form.separator);
    }
    if (text.records.isEmpty()) {
        if (text.error.isEmpty())
            problem(1, {}, QStringLiteral("the deck is empty: it needs a header row"));
        else
            problem(text.errorLine, {}, text.error);
        if (records)
            *records = text;
        return deck;
    }
    QString headerProblem;
    const std::optional<Header> header = readHeader(text.records.front().fields, &headerProblem);
    if (!header) {
        problem(text.records.front().line, {}, headerProblem);
        if (records)
            *records = text;
        return deck;
    }
    for (const QString& unread : header->unread) {
        const QString nearest = nearestColumn(unread);
        warning(text.records.front().line, {},
                nearest.isEmpty()
                    ? QStringLiteral("column %1 is not read (a column for notes is fine)")
                          .arg(quoted(unread))
                    : QStringLiteral("column %1 is not read; did you mean %2?")
                          .arg(quoted(unread), nearest));
    }

    const QString folder = QFileInfo(pathForMessages).absolutePath();
    QHash<QString, int> lineOfName;
    PathKinds pathKinds;
    deck.rows.reserve(text.records.size() - 1);
    for (qsizetype r = 1; r < text.records.size(); ++r) {
        // A row's cells are let go once its card is read, unless the caller keeps the records:
        // a large deck is then never held twice.
        if (!records)
            text.records[r - 1].fields = QStringList();
        const CsvRecord& record = text.records[r];
        if (isBlankRecord(record.fields))
            continue;
        DeckProblem rowProblem{pathForMessages, record.line, {}, {}};
        RowReader reader(*header, record.fields, folder, record.longField, &pathKinds);
        std::optional<Card> card = reader.read(&rowProblem);
        if (!card) {
            deck.problems.append(rowProblem);
            continue;
        }
        const QString key = nameKey(card->name);
        if (const auto earlier = lineOfName.constFind(key); earlier != lineOfName.cend()) {
            problem(record.line, columnName(Name),
                    QStringLiteral("the card on line %1 already has the name %2 (or one that "
                                   "gives the same file names)")
                        .arg(*earlier)
                        .arg(quoted(card->name)));
            continue;
        }
        if (card->name.contains(QChar::ReplacementCharacter))
            warning(record.line, columnName(Name),
                    QStringLiteral("the name %1 holds a character that could not be read "
                                   "(shown as %2); its file names hold it too")
                        .arg(quoted(card->name), QString(QChar::ReplacementCharacter)));
        lineOfName.insert(key, record.line);
        deck.rows.append(
            {record.line, std::move(*card), reader.pictureFit(), reader.copies(), reader.pack()});
    }
    if (!text.error.isEmpty())
        problem(text.errorLine, {},
                text.error + QStringLiteral("; the rows from here on are not read"));
    if (records)
        *records = text;
    return deck;
}

Deck readDeck(const QString& path)
{
    const ReadFile read = readRegularFile(path, MaxDeckBytes);
    if (!read.error.isEmpty()) {
        Deck deck;
        deck.problems.append(
            {path, 0, {}, QStringLiteral("the deck cannot be read: %1").arg(read.error)});
        return deck;
    }
    return readDeckText(read.bytes, path);
}

// ---- Writing ----------------------------------------------------------------------------------

namespace {

// The cells a card gives, by column.
std::array<QString, ColumnCount> cardCells(const Card& card, const QString& pictureFile)
{
    std::array<QString, ColumnCount> cells;
    cells[Name] = card.name;
    for (size_t i = 0; i < 4; ++i)
        cells[size_t(SideColumns[i])] = card.sides[i];
    cells[Element] = card.element == NoElementChosen ? QString() : elementCaption(card.element);
    QStringList arrows;
    for (int i = 0; i < CardArrowCount; ++i)
        if (card.arrows[size_t(i)])
            arrows << arrowWord(i);
    cells[Arrows] = arrows.join(QLatin1Char(' '));
    cells[Picture] = pictureFile;
    cells[X] = QString::number(card.x);
    cells[Y] = QString::number(card.y);
    for (int k = 0; k < 10; ++k)
        cells[size_t(FirstPlacement + k)] =
            QString::number(card.placement.*PlacementFields[k].member);
    return cells;
}

// Why `cells` would not give `card` back when the deck is read, or nothing. The editor's boxes
// take any text ("a" draws the A digit but counts 0, "10" counts 10 but draws nothing), while a
// row holds 1 to 9 or A and reads 10 and a as A: such a card, or one whose arrows its total does
// not allow, would come back as another card or as a bad row.
QString rowProblem(const Card& card, const std::array<QString, ColumnCount>& cells)
{
    for (size_t i = 0; i < 4; ++i) {
        const QString& side = card.sides[i];
        if (card.element == ElementTrap) {
            if (side != QLatin1String("2"))
                return QStringLiteral("a Trap card has the sides 2, 2, 2, 2, but its %1 side is "
                                      "\"%2\"")
                    .arg(columnName(SideColumns[i]), side);
            continue;
        }
        if (!isSideValue(side))
            return QStringLiteral("its %1 side is \"%2\", and a deck row holds 1 to 9 or A")
                .arg(columnName(SideColumns[i]), side);
    }
    Header header;
    QStringList fields;
    for (int k = 0; k < ColumnCount; ++k) {
        header.index[size_t(k)] = k;
        fields << (k == Picture ? QString() : cells[size_t(k)]);  // the picture is not written yet
    }
    DeckProblem problem;
    if (!RowReader(header, fields, QString()).read(&problem))
        return QStringLiteral("column %1: %2").arg(problem.column, problem.message);
    return {};
}

}  // namespace

QString deckPicturePath(const QString& deckFolder, const QString& cell)
{
    QString text = cell.trimmed();
    if (text.isEmpty())
        return {};
    // A path typed on another system: '\\' is a folder separator there.
    text.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::cleanPath(QDir(deckFolder).filePath(text));
}

QString cardDeckProblem(const Card& card)
{
    return rowProblem(card, cardCells(card, QString()));
}

bool deckHasCard(const QString& deckPath, const QString& name)
{
    QString error;
    const QByteArray bytes = readBytes(deckPath, &error);
    if (!error.isEmpty())
        return false;
    const DecodedDeckText decoded = decodeDeckBytes(bytes);
    const CsvText text = readCsv(decoded.utf8, decoded.form.separator);
    if (text.records.isEmpty())
        return false;
    const std::optional<Header> header = readHeader(text.records.front().fields, &error);
    if (!header)
        return false;
    const int nameIndex = header->index[Name];
    const QString key = nameKey(name);
    for (qsizetype r = 1; r < text.records.size(); ++r) {
        const QStringList& fields = text.records[r].fields;
        if (nameIndex < fields.size() && nameKey(fields[nameIndex]) == key)
            return true;
    }
    return false;
}

QString deckPictureFile(const QString& deckPath, const Card& card, bool replaceSameName)
{
    if (card.mainPicture.isNull())
        return {};
    const QDir folder = QFileInfo(deckPath).absoluteDir();
    const QString base = safeFileName(card.name.trimmed()) + QStringLiteral("-picture");
    // The picture the replaced row names may be written over.
    QString own;
    if (replaceSameName) {
        const Deck deck = readDeck(deckPath);
        const QString key = nameKey(card.name);
        for (const DeckRow& row : deck.rows)
            if (nameKey(row.card.name) == key)
                own = row.card.mainPicturePath;
    }
    QString name = base + QStringLiteral(".png");
    for (int n = 2; QFileInfo::exists(folder.filePath(name)) &&
                    QFileInfo(folder.filePath(name)) != QFileInfo(own);
         ++n)
        name = QStringLiteral("%1-%2.png").arg(base).arg(n);
    return name;
}

bool addCardToDeck(const QString& deckPath, const Card& card, bool replaceSameName, QString* error)
{
    const auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("The card \"%1\" could not be added to the deck %2: %3.")
                         .arg(card.name.trimmed(), QDir::toNativeSeparators(deckPath), why);
        return false;
    };
    if (card.name.trimmed().isEmpty())
        return fail(QStringLiteral("the card has no name"));

    CsvText text;
    DeckTextForm form;
    if (QFileInfo::exists(deckPath)) {
        QString why;
        const QByteArray bytes = readBytes(deckPath, &why);
        if (!why.isEmpty())
            return fail(why);
        if (const QString workbook = workbookProblem(bytes); !workbook.isEmpty())
            return fail(workbook);
        const DecodedDeckText decoded = decodeDeckBytes(bytes);
        form = decoded.form;
        text = readCsv(decoded.utf8, form.separator);
        if (!text.error.isEmpty())
            return fail(
                QStringLiteral("line %1 cannot be read (%2)").arg(text.errorLine).arg(text.error));
    }
    if (text.records.isEmpty()) {
        QStringList names;
        for (int k = 0; k < ColumnCount; ++k)
            names << columnName(k);
        text.records.append(CsvRecord{1, names});
    }
    QString why;
    std::optional<Header> header = readHeader(text.records.front().fields, &why);
    if (!header)
        return fail(why);

    // Columns the card needs and the deck lacks go on the end of the header.
    const QString pictureFile = deckPictureFile(deckPath, card, replaceSameName);
    const std::array<QString, ColumnCount> cells = cardCells(card, pictureFile);
    if (const QString problem = rowProblem(card, cells); !problem.isEmpty())
        return fail(problem);
    const Card defaults;
    const std::array<QString, ColumnCount> defaultCells = cardCells(defaults, QString());
    QStringList& headerFields = text.records.front().fields;
    for (int k = 0; k < ColumnCount; ++k) {
        const bool needed =
            k == Element || k == Arrows || cells[size_t(k)] != defaultCells[size_t(k)];
        if (header->index[size_t(k)] < 0 && needed) {
            header->index[size_t(k)] = int(headerFields.size());
            headerFields << columnName(k);
        }
    }

    const qsizetype columns = headerFields.size();

    // The row: the one of the same name, or a new one at the end.
    const QString key = nameKey(card.name);
    qsizetype target = -1;
    for (qsizetype r = 1; r < text.records.size(); ++r) {
        const QStringList& fields = text.records[r].fields;
        const int nameIndex = header->index[Name];
        if (nameIndex < fields.size() && nameKey(fields[nameIndex]) == key)
            target = r;
    }
    if (target >= 0 && !replaceSameName)
        return fail(QStringLiteral("it already has a card named \"%1\"").arg(card.name));
    if (target < 0) {
        text.records.append(CsvRecord{0, {}});
        target = text.records.size() - 1;
    }
    QStringList& row = text.records[target].fields;
    while (row.size() < columns)
        row << QString();
    for (int k = 0; k < ColumnCount; ++k)
        if (header->index[size_t(k)] >= 0)
            row[header->index[size_t(k)]] = cells[size_t(k)];
    // The picture written is the one the card shows, already prepared: preparation cells left
    // from the row replaced would prepare it again.
    for (const int k : std::as_const(header->fitIndex))
        row[k].clear();

    // Written back in the form it was read in: encoding, byte order mark, separator, line ends.
    QByteArray utf8;
    for (const CsvRecord& record : text.records) {
        if (record.line > 1 && isBlankRecord(record.fields))
            continue;
        utf8 += csvLine(record.fields, form.separator) + text.lineEnd;
    }
    const QByteArray bytes = encodeDeckText(utf8, form);
    if (form.encoding == DeckEncoding::Windows1252 && decodeDeckBytes(bytes).utf8 != utf8)
        return fail(QStringLiteral("the deck is stored as Windows-1252, which cannot hold every "
                                   "character of the card; save the deck as UTF-8 first"));

    // The picture goes first, so that the deck never names a picture that is not there; when
    // the deck then cannot be written, the picture file is put back as it was.
    const QString folder = QFileInfo(deckPath).absolutePath();
    const QString picturePath =
        pictureFile.isEmpty() ? QString() : QDir(folder).filePath(pictureFile);
    std::optional<QByteArray> oldPicture;
    if (!picturePath.isEmpty()) {
        if (QFileInfo::exists(picturePath)) {
            oldPicture = readBytes(picturePath, &why);
            if (!why.isEmpty())
                return fail(QStringLiteral("the picture %1 already there cannot be read (%2)")
                                .arg(QDir::toNativeSeparators(picturePath), why));
        }
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        card.mainPicture.save(&buffer, "png");
        if (!writeFileAtomically(picturePath, png, &why, true))
            return fail(QStringLiteral("its picture cannot be written to %1 (%2)")
                            .arg(QDir::toNativeSeparators(picturePath), why));
    }

    if (!writeFileAtomically(deckPath, bytes, &why, true)) {
        if (!picturePath.isEmpty()) {
            QString ignored;
            if (oldPicture)
                writeFileAtomically(picturePath, *oldPicture, &ignored, true);
            else
                QFile::remove(picturePath);
        }
        return fail(why);
    }
    return true;
}

QString writeCardCells(QStringList& header, QStringList& row, const Card& card, const Card* before,
                       const QString* pictureCell)
{
    QString why;
    std::optional<Header> columns = readHeader(header, &why);
    if (!columns)
        return why;
    const std::array<QString, ColumnCount> cells =
        cardCells(card, pictureCell ? *pictureCell : QString());
    if (const QString problem = rowProblem(card, cells); !problem.isEmpty())
        return problem;
    const std::array<QString, ColumnCount> beforeCells =
        cardCells(before ? *before : Card(), QString());
    const std::array<QString, ColumnCount> defaultCells = cardCells(Card(), QString());

    QStringList newHeader = header;
    QStringList newRow = row;
    const auto put = [&](int k, const QString& text) {
        int& index = columns->index[size_t(k)];
        if (index < 0) {
            index = int(newHeader.size());
            newHeader << columnName(k);
        }
        while (newRow.size() <= index)
            newRow << QString();
        newRow[index] = text;
    };
    for (int k = 0; k < ColumnCount; ++k) {
        if (k == Picture)
            continue;
        const QString& text = cells[size_t(k)];
        if (before) {
            if (text != beforeCells[size_t(k)])
                put(k, text);
        } else if (columns->index[size_t(k)] >= 0 || text != defaultCells[size_t(k)]) {
            put(k, text);
        }
    }
    if (pictureCell) {
        if (!pictureCell->isEmpty() || columns->index[Picture] >= 0)
            put(Picture, *pictureCell);
        for (const int k : std::as_const(columns->fitIndex))
            if (k < newRow.size())
                newRow[k].clear();
    }
    header = newHeader;
    row = newRow;
    return {};
}

}  // namespace orvane
