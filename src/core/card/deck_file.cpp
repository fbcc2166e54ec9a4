#include "card/deck_file.h"

#include "card/card_rules.h"
#include "card/csv_records.h"
#include "card/picture_fit.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>

#include <optional>

namespace orvane {
namespace {

constexpr qint64 MaxDeckBytes = 64LL * 1024 * 1024;

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
    Header() { index.fill(-1); }
};

// The header row: known columns found, or a problem naming what is wrong with it.
std::optional<Header> readHeader(const QStringList& fields, QString* problem)
{
    Header header;
    for (qsizetype k = 0; k < fields.size(); ++k) {
        const std::optional<int> column = columnFromName(fields[k]);
        if (!column) {
            const std::optional<QString> fitColumn = fitColumnFromName(fields[k]);
            if (!fitColumn)
                continue;
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

// The file names two cards would be written under are the same: the same safe name, in any case
// (a folder on a case-blind file system holds one of them only).
QString nameKey(const QString& name)
{
    return safeFileName(name.trimmed()).toCaseFolded();
}

// Reads one data row into a card; the first bad cell ends it with a problem.
class RowReader {
public:
    RowReader(const Header& header, const QStringList& fields, const QString& deckFolder)
        : m_header(header), m_fields(fields), m_deckFolder(deckFolder)
    {
    }

    std::optional<Card> read(DeckProblem* problem)
    {
        Card card;
        const bool ok = readName(card) && readElement(card) && readSides(card) &&
                        readArrows(card) && readOffset(X, &card.x) && readOffset(Y, &card.y) &&
                        readPlacement(card) && readPictureFit() && readPicture(card);
        if (!ok) {
            problem->column = m_column;
            problem->message = m_message;
            return std::nullopt;
        }
        return card;
    }

    // The filled preparation cells, once read.
    const QMap<QString, QString>& pictureFit() const { return m_fit; }

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

    bool readName(Card& card)
    {
        card.name = cell(Name);
        return !card.name.isEmpty() || fail(Name, QStringLiteral("the card has no name"));
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
            return fail(Element, QStringLiteral("\"%1\" is not an element (Fire, Water, Ice, "
                                                "Earth, Wind, Poison, Bolt, Holy, None, Shadow "
                                                "or Trap)")
                                     .arg(text));
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
            if (text.size() == 1 && text[0] >= QLatin1Char('1') && text[0] <= QLatin1Char('9'))
                card.sides[i] = text;
            else if (text.compare(QLatin1String("A"), Qt::CaseInsensitive) == 0 ||
                     text == QLatin1String("10"))
                card.sides[i] = QStringLiteral("A");
            else
                return fail(
                    SideColumns[i],
                    QStringLiteral("\"%1\" is not a side value (1 to 9, or A or 10)").arg(text));
        }
        return true;
    }

    bool readArrows(Card& card)
    {
        static const QRegularExpression blanks(QStringLiteral("\\s+"));
        const QStringList words = cell(Arrows).split(blanks, Qt::SkipEmptyParts);
        for (const QString& word : words) {
            const std::optional<int> arrow = arrowFromText(word);
            if (!arrow)
                return fail(Arrows, QStringLiteral("\"%1\" is not an arrow (0 to 7, or upper-left, "
                                                   "up, upper-right, left, right, lower-left, "
                                                   "down, lower-right)")
                                        .arg(word));
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
            return fail(column, QStringLiteral("\"%1\" is not a whole number from 0 to %2")
                                    .arg(text)
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
                    QStringLiteral("\"%1\" is not a number from -32768 to 32767").arg(text));
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
        PictureFitProblem problem;
        if (m_fit.isEmpty() || parsePictureFit(m_fit, &problem))
            return true;
        m_column = problem.name;
        m_message = problem.message;
        return false;
    }

    bool readPicture(Card& card)
    {
        const QString text = cell(Picture);
        if (text.isEmpty())
            return true;
        const QString path = QDir::cleanPath(QDir(m_deckFolder).filePath(text));
        const QFileInfo info(path);
        if (!info.isFile())
            return fail(
                Picture,
                info.exists()
                    ? QStringLiteral("%1 is not a file").arg(QDir::toNativeSeparators(path))
                    : QStringLiteral("there is no picture %1").arg(QDir::toNativeSeparators(path)));
        card.mainPicturePath = path;
        return true;
    }

    const Header& m_header;
    const QStringList& m_fields;
    QString m_deckFolder;
    QString m_column;
    QString m_message;
    QMap<QString, QString> m_fit;
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return {};
    }
    if (file.size() > MaxDeckBytes) {
        *error = QStringLiteral("it is larger than a deck can be (%1 MiB at most)")
                     .arg(MaxDeckBytes / (1024 * 1024));
        return {};
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        *error = file.errorString();
    return bytes;
}

}  // namespace

QString DeckProblem::text() const
{
    QString t = QStringLiteral("%1:%2: ").arg(file).arg(line);
    if (!column.isEmpty())
        t += QStringLiteral("column %1: ").arg(column);
    return t + message;
}

Deck readDeckText(const QByteArray& csv, const QString& pathForMessages, CsvText* records)
{
    Deck deck;
    const auto problem = [&](int line, const QString& column, const QString& message) {
        deck.problems.append({pathForMessages, line, column, message});
    };
    const CsvText text = readCsv(csv);
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

    const QString folder = QFileInfo(pathForMessages).absolutePath();
    QHash<QString, int> lineOfName;
    for (qsizetype r = 1; r < text.records.size(); ++r) {
        const CsvRecord& record = text.records[r];
        if (isBlankRecord(record.fields))
            continue;
        DeckProblem rowProblem{pathForMessages, record.line, {}, {}};
        RowReader reader(*header, record.fields, folder);
        std::optional<Card> card = reader.read(&rowProblem);
        if (!card) {
            deck.problems.append(rowProblem);
            continue;
        }
        const QString key = nameKey(card->name);
        if (const auto earlier = lineOfName.constFind(key); earlier != lineOfName.cend()) {
            problem(record.line, columnName(Name),
                    QStringLiteral("the card on line %1 already has the name \"%2\" (or one that "
                                   "gives the same file names)")
                        .arg(*earlier)
                        .arg(card->name));
            continue;
        }
        lineOfName.insert(key, record.line);
        deck.rows.append({record.line, std::move(*card), reader.pictureFit()});
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
    QString error;
    const QByteArray bytes = readBytes(path, &error);
    if (!error.isEmpty()) {
        Deck deck;
        deck.problems.append(
            {path, 0, {}, QStringLiteral("the deck cannot be read: %1").arg(error)});
        return deck;
    }
    return readDeckText(bytes, path);
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
        const bool digit =
            side.size() == 1 && side[0] >= QLatin1Char('1') && side[0] <= QLatin1Char('9');
        if (!digit && side != QLatin1String("A"))
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

bool writeWhole(const QString& path, const QByteArray& bytes, QString* why)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *why = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

}  // namespace

bool deckHasCard(const QString& deckPath, const QString& name)
{
    QString error;
    const QByteArray bytes = readBytes(deckPath, &error);
    if (!error.isEmpty())
        return false;
    const CsvText text = readCsv(bytes);
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
    if (QFileInfo::exists(deckPath)) {
        QString why;
        const QByteArray bytes = readBytes(deckPath, &why);
        if (!why.isEmpty())
            return fail(why);
        text = readCsv(bytes);
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
        if (!writeWhole(picturePath, png, &why))
            return fail(QStringLiteral("its picture cannot be written to %1 (%2)")
                            .arg(QDir::toNativeSeparators(picturePath), why));
    }

    QByteArray bytes = text.byteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    for (const CsvRecord& record : text.records) {
        if (record.line > 1 && isBlankRecord(record.fields))
            continue;
        bytes += csvLine(record.fields) + text.lineEnd;
    }
    if (!writeWhole(deckPath, bytes, &why)) {
        if (!picturePath.isEmpty()) {
            QString ignored;
            if (oldPicture)
                writeWhole(picturePath, *oldPicture, &ignored);
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
