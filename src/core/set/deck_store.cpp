// SPDX-License-Identifier: GPL-3.0-or-later
#include "set/deck_store.h"

#include "set/deck_writer.h"

#include "card/csv_records.h"
#include "card/deck_file.h"
#include "files/card_export.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <optional>

namespace orvane {
namespace {

constexpr qint64 MaxDeckBytes = 64LL * 1024 * 1024;

// The file's bytes; none when it cannot be read (removed, renamed away, not allowed).
std::optional<QByteArray> fileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

QByteArray pngBytes(const QImage& picture)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "png");
    return png;
}

// The picture cell that names the card's picture file where it lies, when it lies in `folder`
// (or below it) and reading it as a row's picture gives the card's very pixels; else empty.
QString pictureCellInFolder(const QDir& folder, const Card& card)
{
    if (card.mainPicturePath.isEmpty() || !QFileInfo(card.mainPicturePath).isFile())
        return {};
    const QString relative =
        folder.relativeFilePath(QFileInfo(card.mainPicturePath).absoluteFilePath());
    if (relative.isEmpty() || relative == QLatin1String("..") ||
        relative.startsWith(QLatin1String("../")) || QDir::isAbsolutePath(relative))
        return {};
    Card read;
    read.mainPicturePath = card.mainPicturePath;
    const auto pixels = [](const QImage& image) {
        return image.convertToFormat(QImage::Format_ARGB32);
    };
    if (!readyDeckCard(read, {}, {}, nullptr) ||
        pixels(read.mainPicture) != pixels(card.mainPicture))
        return {};
    return relative;
}

}  // namespace

QString headerCell(const QStringList& header, const QStringList& fields, const QString& column)
{
    for (qsizetype k = 0; k < header.size() && k < fields.size(); ++k)
        if (header[k].trimmed().compare(column, Qt::CaseInsensitive) == 0)
            return fields[k].trimmed();
    return {};
}

DeckStore::DeckStore(const QString& path) : m_path(path) {}

SetKind DeckStore::kind() const
{
    return m_path.isEmpty() ? SetKind::New : SetKind::Deck;
}

QString DeckStore::rowPictureFolder() const
{
    return m_readFrom.isEmpty() ? QString() : QFileInfo(m_readFrom).absolutePath();
}

bool DeckStore::read(SetCards& cards, quint64& nextId, QString* error)
{
    if (m_path.isEmpty()) {
        cards = {};
        return true;
    }
    const QString path = m_path;
    const auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("The deck %1 cannot be opened: %2.")
                         .arg(QDir::toNativeSeparators(path), why);
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    if (file.size() > MaxDeckBytes)
        return fail(QStringLiteral("it is larger than a deck can be (%1 MiB at most)")
                        .arg(MaxDeckBytes / (1024 * 1024)));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());

    CsvText text;
    const Deck deck = readDeckText(bytes, path, &text);
    // A problem of the whole file (a spreadsheet workbook, not CSV text) is said as the reader
    // says it.
    for (const DeckProblem& problem : deck.problems)
        if (problem.line == 0)
            return fail(problem.message);
    if (text.records.isEmpty())
        return fail(text.error.isEmpty() ? QStringLiteral("it is empty: a deck needs a header row")
                                         : text.error);
    for (const DeckProblem& problem : deck.problems)
        if (problem.line == text.records.front().line)
            return fail(problem.message);

    m_readFrom = path;
    m_bytes = bytes;
    m_text = decodeDeckBytes(bytes).utf8;
    m_form = deck.form;
    m_header = text.records.front().fields;
    m_kept.clear();
    cards = {};
    QHash<int, int> recordOfLine;
    for (qsizetype r = 1; r < text.records.size(); ++r)
        recordOfLine.insert(text.records[r].line, int(r));

    QMap<int, SetEntry> byRecord;
    for (const DeckRow& row : deck.rows) {
        const int record = recordOfLine.value(row.line, -1);
        if (record < 0)
            continue;
        SetEntry entry;
        entry.id = nextId++;
        entry.card = row.card;
        entry.pictureFit = row.pictureFit;
        entry.pack = row.pack;
        entry.line = row.line;
        entry.fields = text.records[record].fields;
        entry.copies = row.copies;
        byRecord.insert(record, entry);
        cards.sources.insert(entry.id,
                             {record, entry.fields, row.card, row.pictureFit, {}, {}, row.copies,
                              row.pack});
    }
    for (const DeckProblem& problem : deck.problems) {
        const int record = recordOfLine.value(problem.line, -1);
        if (record < 0) {
            cards.fileProblems << problem.text();
            continue;
        }
        SetEntry entry;
        entry.id = nextId++;
        entry.fields = text.records[record].fields;
        entry.card.name = headerCell(m_header, entry.fields, QStringLiteral("name"));
        entry.problem = problem.message;
        entry.problemColumn = problem.column;
        entry.line = problem.line;
        byRecord.insert(record, entry);
        cards.sources.insert(entry.id, {record, entry.fields, Card(), {}, {}, {}, 1, {}});
    }
    cards.entries = byRecord.values();
    return true;
}

std::unique_ptr<SetStore> DeckStore::deckAt(const QString& path, bool* keepsSources) const
{
    // A deck saved elsewhere keeps its rows, columns and form: the new file is the same
    // spreadsheet under another name.
    auto deck = std::make_unique<DeckStore>(*this);
    deck->m_path = path;
    *keepsSources = true;
    return deck;
}

bool DeckStore::save(SetCards& cards, QString* error, bool* encodingLacks)
{
    const QString path = m_path;
    const auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("The set cannot be saved to %1: %2.")
                         .arg(QDir::toNativeSeparators(path), why);
        return false;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("it has no file yet"));
    const bool fromDeck = !m_readFrom.isEmpty();
    const bool sameFile = fromDeck && QFileInfo(path) == QFileInfo(m_readFrom);
    if (sameFile) {
        // Another program's change to the deck would be lost: refuse, so the user can choose.
        if (fileBytes(path) != m_bytes)
            return fail(QStringLiteral("the deck was changed or removed by another program since "
                                       "it was opened"));
    }

    // Pictures given in the window (or held by a card file) go beside the deck, under names no
    // file has; they are written once the deck's text is known to be storable. A picture chosen
    // from the deck's folder is named where it lies.
    const QDir folder = QFileInfo(path).absoluteDir();
    const bool otherFolder = fromDeck && folder != QFileInfo(m_readFrom).absoluteDir();
    DeckRowCells cells;
    QMap<quint64, QString> picturePaths;   // pictures to write beside the deck
    QMap<quint64, QString> namedPictures;  // pictures of the deck's folder, named where they are
    QSet<QString> taken;
    for (const SetEntry& e : std::as_const(cards.entries)) {
        if (e.isBad())
            continue;
        // A picture kept by its path in a row not of this file (a duplicate, a card of another
        // set) names the same file from the deck's folder.
        const bool keptByPath = e.card.mainPicture.isNull() && !e.card.mainPicturePath.isEmpty();
        const bool ownRow = cards.sources.value(e.id).record > 0;
        if (!e.pictureChanged && keptByPath && !ownRow) {
            cells.movedPictures.insert(e.id, folder.relativeFilePath(e.card.mainPicturePath));
            continue;
        }
        if (!e.pictureChanged && fromDeck) {
            // A picture named relative to the old folder is named from the new one.
            const QString cell = headerCell(m_header, e.fields, QStringLiteral("picture"));
            if (otherFolder && !e.card.mainPicturePath.isEmpty() && !cell.isEmpty() &&
                !QDir::isAbsolutePath(QDir::fromNativeSeparators(cell)))
                cells.movedPictures.insert(e.id, folder.relativeFilePath(e.card.mainPicturePath));
            continue;
        }
        if (!e.pictureChanged && e.card.mainPicture.isNull())
            continue;
        if (e.card.mainPicture.isNull()) {
            cells.pictureCells.insert(e.id, QString());
            continue;
        }
        if (const QString cell = pictureCellInFolder(folder, e.card); !cell.isEmpty()) {
            cells.pictureCells.insert(e.id, cell);
            namedPictures.insert(e.id, QDir::cleanPath(e.card.mainPicturePath));
            continue;
        }
        const QString base = safeFileName(e.card.name) + QStringLiteral("-picture");
        QString name = base + QStringLiteral(".png");
        for (int n = 2;
             taken.contains(name.toCaseFolded()) || QFileInfo::exists(folder.filePath(name)); ++n)
            name = QStringLiteral("%1-%2.png").arg(base).arg(n);
        taken.insert(name.toCaseFolded());
        cells.pictureCells.insert(e.id, name);
        picturePaths.insert(e.id, folder.filePath(name));
    }

    QByteArray text;
    QHash<quint64, qsizetype> offsets;
    QString why;
    if (!buildDeckText(m_text, m_form.separator, cards.entries, cards.sources, cells, &text,
                       &offsets, &why))
        return fail(why);
    const QByteArray bytes = encodeDeckText(text, m_form);
    if (const std::optional<EncodingLack> lack = encodingLack(text, m_form, bytes)) {
        if (encodingLacks)
            *encodingLacks = true;
        return fail(QStringLiteral("the deck is stored as %1, which has no \"%2\" (line %3); "
                                   "save it as UTF-8 to keep that character")
                        .arg(deckEncodingName(m_form.encoding), lack->character)
                        .arg(lack->line));
    }

    QStringList written;
    const auto removeWritten = [&] {
        for (const QString& file : std::as_const(written))
            QFile::remove(file);
    };
    for (auto it = picturePaths.cbegin(); it != picturePaths.cend(); ++it) {
        const QByteArray png = pngBytes(cards.find(it.key())->card.mainPicture);
        if (png.isEmpty() || !writeFileAtomically(it.value(), png, &why)) {
            removeWritten();
            return fail(QStringLiteral("the picture %1 cannot be written (%2)")
                            .arg(QDir::toNativeSeparators(it.value()), why));
        }
        written << it.value();
    }
    if (!sameFile || bytes != m_bytes) {
        if (sameFile && !writeFileAtomically(path + QStringLiteral(".bak"), m_bytes, &why)) {
            removeWritten();
            return fail(QStringLiteral("its backup %1 cannot be written (%2)")
                            .arg(QDir::toNativeSeparators(path + QStringLiteral(".bak")), why));
        }
        if (!writeFileAtomically(path, bytes, &why, true)) {
            removeWritten();
            return fail(why);
        }
    }

    // The store now stands for the file just written.
    const CsvText records = readCsv(text, m_form.separator);
    QHash<qsizetype, int> recordAt;
    for (qsizetype r = 1; r < records.records.size(); ++r)
        recordAt.insert(records.records[r].begin, int(r));
    m_path = QFileInfo(path).absoluteFilePath();
    m_readFrom = m_path;
    m_bytes = bytes;
    m_text = text;
    m_kept.clear();
    if (!records.records.isEmpty())
        m_header = records.records.front().fields;
    cards.sources.clear();
    for (SetEntry& e : cards.entries) {
        const int record = recordAt.value(offsets.value(e.id, -1), -1);
        if (record < 0)
            continue;
        e.fields = records.records[record].fields;
        if (picturePaths.contains(e.id) || namedPictures.contains(e.id)) {
            e.card.mainPicturePath = picturePaths.value(e.id, namedPictures.value(e.id));
            e.pictureFit.clear();
        } else if (cells.pictureCells.contains(e.id)) {
            e.card.mainPicturePath.clear();
            e.pictureFit.clear();
        }
        e.pictureChanged = false;
        cards.sources.insert(e.id,
                             {record, e.fields, e.card, e.pictureFit, {}, {}, e.copies, e.pack});
    }
    return true;
}

SetWatch DeckStore::watch(const SetCards&, const QStringList& pictures) const
{
    if (m_path.isEmpty())
        return {};
    return {QStringList{QDir::cleanPath(m_path)} + pictures, {}, {}};
}

DiskChange DeckStore::diskChange(const SetCards&, const QStringList& files, bool modified)
{
    DiskChange change;
    if (m_path.isEmpty())
        return change;
    const QString deck = QFileInfo(m_path).absoluteFilePath();
    bool deckTouched = false;
    for (const QString& file : files) {
        if (QFileInfo(file).absoluteFilePath() == deck)
            deckTouched = true;
        else
            change.pictures << file;
    }
    if (deckTouched) {
        change.step = deckFollowStep(fileBytes(m_path), m_bytes, m_kept, modified);
        if (change.step == FollowStep::Unchanged)
            m_kept.clear();  // as read again: a later change asks anew
        if (change.step == FollowStep::Ask)
            change.conflicts << m_path;
    }
    return change;
}

void DeckStore::keepMine(const DiskChange&)
{
    m_kept = fileBytes(m_path).value_or(QByteArray());
}

QStringList DeckStore::overwrittenFiles(const SetCards&) const
{
    if (m_readFrom.isEmpty() || fileBytes(m_readFrom) == m_bytes)
        return {};
    return {m_readFrom};
}

QString DeckStore::recoveryKind() const
{
    return m_path.isEmpty() ? QStringLiteral("new") : QStringLiteral("deck");
}

}  // namespace orvane
