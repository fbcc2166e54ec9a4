// SPDX-License-Identifier: GPL-3.0-or-later
// A deck's text written back: every byte the user wrote outside the changed rows stays.
#include "set/deck_writer.h"

#include "card/card_file.h"
#include "card/csv_records.h"
#include "card/deck_file.h"
#include "files/card_export.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>
#include <QUndoStack>

#include <algorithm>

namespace orvane {
namespace {

bool isBlank(const QStringList& fields)
{
    for (const QString& field : fields)
        if (!field.trimmed().isEmpty())
            return false;
    return true;
}

bool hasLineEnd(const QByteArray& bytes)
{
    return bytes.contains('\n') || bytes.contains('\r');
}

// The header of a deck written new: the columns every card has.
QStringList newDeckHeader()
{
    return {QStringLiteral("name"),   QStringLiteral("up"),     QStringLiteral("left"),
            QStringLiteral("right"),  QStringLiteral("down"),   QStringLiteral("element"),
            QStringLiteral("arrows"), QStringLiteral("picture")};
}

// Writes the changed preparation cells into the row, adding the columns the header lacks.
void writeFitCells(QStringList& header, QStringList& row, const QMap<QString, QString>& fit,
                   const QMap<QString, QString>& before)
{
    for (const QString& name : pictureFitNames()) {
        const QString value = fit.value(name);
        if (value == before.value(name))
            continue;
        qsizetype k = 0;
        while (k < header.size() && header[k].trimmed().compare(name, Qt::CaseInsensitive) != 0)
            ++k;
        if (k == header.size()) {
            if (value.isEmpty())
                continue;
            header << name;
        }
        while (row.size() <= k)
            row << QString();
        row[k] = value;
    }
}

// Writes the copies cell when the row would not read back as `copies`; a deck without the column
// gains it only for a count other than 1 (an absent or empty cell reads as 1).
void writeCopiesCell(QStringList& header, QStringList& row, int copies)
{
    qsizetype k = 0;
    while (k < header.size() &&
           header[k].trimmed().compare(QLatin1String("copies"), Qt::CaseInsensitive) != 0)
        ++k;
    const QString cell = k < row.size() ? row[k] : QString();
    if (copiesFromText(cell) == copies)
        return;
    if (k == header.size())
        header << QStringLiteral("copies");
    while (row.size() <= k)
        row << QString();
    row[k] = QString::number(copies);
}

// The row's pack cell, when the pack changed: the column added when the deck has none.
void writePackCell(QStringList& header, QStringList& row, const QString& pack,
                   const QString& before)
{
    if (pack == before)
        return;
    qsizetype k = 0;
    while (k < header.size() &&
           header[k].trimmed().compare(QLatin1String("pack"), Qt::CaseInsensitive) != 0)
        ++k;
    if (k == header.size()) {
        if (pack.isEmpty())
            return;
        header << QStringLiteral("pack");
    }
    while (row.size() <= k)
        row << QString();
    row[k] = pack;
}

// Each cell of one record's bytes as the file spells it (quotes, spaces and all), found as the
// places where the CSV reader, given the bytes up to there, reads the record's cell; empty when
// the bytes do not split into `fields`.
QList<QByteArray> cellSpellings(const QByteArray& raw, char separator, const QStringList& fields)
{
    QList<QByteArray> spellings;
    const auto readsAs = [separator](const QByteArray& cell, const QString& field) {
        const CsvText text = readCsv(cell, separator);
        if (text.records.isEmpty())
            return text.error.isEmpty() && field.trimmed().isEmpty();
        return text.records.size() == 1 && text.records.front().fields == QStringList{field};
    };
    qsizetype start = 0;
    for (qsizetype k = 0; k + 1 < fields.size(); ++k) {
        qsizetype end = raw.indexOf(separator, start);
        while (end >= 0 && !readsAs(raw.mid(start, end - start), fields[k]))
            end = raw.indexOf(separator, end + 1);
        if (end < 0)
            return {};
        spellings << raw.mid(start, end - start);
        start = end + 1;
    }
    if (!fields.isEmpty()) {
        if (!readsAs(raw.mid(start), fields.back()))
            return {};
        spellings << raw.mid(start);
    }
    return spellings;
}

// A changed row written again: each cell that holds what the file holds keeps the file's
// spelling, the others are written as CSV needs them.
QByteArray rowText(const QStringList& row, const QStringList& asRead, const QByteArray& raw,
                   char separator)
{
    const QList<QByteArray> spellings = cellSpellings(raw, separator, asRead);
    if (spellings.isEmpty())
        return csvLine(row, separator);
    QByteArray text;
    for (qsizetype k = 0; k < row.size(); ++k) {
        if (k > 0)
            text += separator;
        text +=
            k < asRead.size() && row[k] == asRead[k] ? spellings[k] : csvLine({row[k]}, separator);
    }
    return text;
}

}  // namespace

// The index of a header's column by name (any case), or -1.
qsizetype columnOf(const QStringList& header, const QString& name)
{
    for (qsizetype k = 0; k < header.size(); ++k)
        if (header[k].trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return k;
    return -1;
}

bool buildDeckText(const QByteArray& original, char separator, const QList<SetEntry>& entries,
                   const QHash<quint64, SetSource>& sources, const DeckRowCells& cells,
                   QByteArray* bytes, QHash<quint64, qsizetype>* offsets, QString* error)
{
    const CsvText text = readCsv(original, separator);
    const QList<CsvRecord>& records = text.records;
    QStringList header = records.isEmpty() ? newDeckHeader() : records.front().fields;
    const auto line = [separator](const QStringList& fields) { return csvLine(fields, separator); };

    // Each card's row: the bytes as they are when nothing of it changed, else its cells written.
    // A bad card that has no row and no cells (an unreadable card file) gives none.
    QList<QByteArray> rows;
    QList<quint64> rowIds;
    for (const SetEntry& e : entries) {
        const auto found = sources.constFind(e.id);
        const SetSource* source =
            found != sources.cend() && found->record > 0 && found->record < records.size()
                ? &*found
                : nullptr;
        const CsvRecord* record = source ? &records[source->record] : nullptr;
        const QByteArray raw =
            record ? original.mid(record->begin, record->end - record->begin) : QByteArray();
        if (e.isBad()) {
            if (!record && e.fields.isEmpty())
                continue;
            rowIds << e.id;
            rows << (record && e.fields == record->fields ? raw : line(e.fields));
            continue;
        }
        rowIds << e.id;
        const auto moved = cells.movedPictures.constFind(e.id);
        const bool untouched = record && e.fields == source->fields && e.card == source->original &&
                               e.copies == source->originalCopies && !e.pictureChanged &&
                               e.pictureFit == source->originalPictureFit &&
                               e.pack == source->originalPack &&
                               moved == cells.movedPictures.cend();
        if (untouched) {
            rows << raw;
            continue;
        }
        QStringList row = record ? e.fields : QStringList();
        // A row mended in the set: its cells as mended are what the card was read from.
        Card before = source ? source->original : Card();
        QMap<QString, QString> beforeFit =
            source ? source->originalPictureFit : QMap<QString, QString>();
        QString beforePack = source ? source->originalPack : QString();
        if (record && e.fields != source->fields) {
            const Deck mended = readDeckText(csvLine(header) + '\n' + csvLine(e.fields) + '\n', {});
            if (!mended.rows.isEmpty()) {
                before = mended.rows.front().card;
                beforeFit = mended.rows.front().pictureFit;
                beforePack = mended.rows.front().pack;
            }
        }
        const auto picture = cells.pictureCells.constFind(e.id);
        const QString* pictureCell = picture != cells.pictureCells.cend() ? &*picture : nullptr;
        if (const QString problem =
                writeCardCells(header, row, e.card, record ? &before : nullptr, pictureCell);
            !problem.isEmpty()) {
            if (error)
                *error = QStringLiteral("the card \"%1\" cannot be a deck row: %2")
                             .arg(e.card.name, problem);
            return false;
        }
        if (!pictureCell)
            writeFitCells(header, row, e.pictureFit, record ? beforeFit : QMap<QString, QString>());
        writeCopiesCell(header, row, e.copies);
        writePackCell(header, row, e.pack, record ? beforePack : QString());
        while (!record && row.size() < header.size())
            row << QString();  // a new row has a cell for every column, as a spreadsheet writes
        if (const qsizetype k = columnOf(header, QStringLiteral("picture"));
            moved != cells.movedPictures.cend() && k >= 0 && k < row.size())
            row[k] = *moved;
        rows << (record ? rowText(row, record->fields, raw, separator) : line(row));
    }

    QByteArray out;
    const QByteArray& lineEnd = text.lineEnd;
    if (records.isEmpty()) {
        out = line(header) + lineEnd;
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (offsets)
                offsets->insert(rowIds[i], out.size());
            out += rows[i] + lineEnd;
        }
        *bytes = out;
        return true;
    }

    // The rows of the file as read, in file order (blank ones belong to the bytes between).
    QList<int> dataRecords;
    for (qsizetype r = 1; r < records.size(); ++r)
        if (!isBlank(records[r].fields))
            dataRecords << int(r);
    const auto nextBegin = [&](int record) {
        for (int r : dataRecords)
            if (r > record)
                return records[r].begin;
        return original.size();
    };
    const int lastRecord = dataRecords.isEmpty() ? 0 : dataRecords.back();

    const CsvRecord& head = records.front();
    out += original.left(head.begin);
    out += header == head.fields ? original.mid(head.begin, head.end - head.begin) : line(header);
    const QByteArray afterHeader = original.mid(head.end, nextBegin(0) - head.end);
    if (rows.isEmpty()) {
        out += afterHeader;
        *bytes = out;
        return true;
    }
    out += afterHeader;
    if (!hasLineEnd(afterHeader))
        out += lineEnd;
    // What followed the file's last row (its line end, or nothing) follows the set's last.
    const QByteArray fileEnd = lastRecord > 0            ? original.mid(records[lastRecord].end)
                               : hasLineEnd(afterHeader) ? lineEnd
                                                         : QByteArray();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (offsets)
            offsets->insert(rowIds[i], out.size());
        out += rows[i];
        if (i + 1 == rows.size()) {
            out += fileEnd;
            break;
        }
        const auto found = sources.constFind(rowIds[i]);
        const int record = found != sources.cend() ? found->record : -1;
        const QByteArray between =
            record > 0 && record < lastRecord && record < records.size()
                ? original.mid(records[record].end, nextBegin(record) - records[record].end)
                : QByteArray();
        out += hasLineEnd(between) ? between : lineEnd;
    }
    *bytes = out;
    return true;
}

std::optional<EncodingLack> encodingLack(const QByteArray& text, const DeckTextForm& form,
                                         const QByteArray& encoded)
{
    // Only the Windows code page lacks characters; the others hold every one.
    if (form.encoding != DeckEncoding::Windows1252)
        return std::nullopt;
    QStringDecoder codePage("windows-1252");
    if (!codePage.isValid())
        codePage = QStringDecoder(QStringDecoder::Latin1);
    const QString got = codePage.decode(encoded);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    const QString wanted = utf8.decode(text);
    if (got == wanted)
        return std::nullopt;
    // The first character that did not come back as it was.
    qsizetype at = 0;
    while (at < wanted.size() && at < got.size() && wanted[at] == got[at])
        ++at;
    EncodingLack lack;
    if (at < wanted.size()) {
        const bool pair = wanted[at].isHighSurrogate() && at + 1 < wanted.size();
        lack.character = wanted.mid(at, pair ? 2 : 1);
    }
    lack.line = int(QStringView(wanted).left(at).count(QLatin1Char('\n'))) + 1;
    return lack;
}

}  // namespace orvane
