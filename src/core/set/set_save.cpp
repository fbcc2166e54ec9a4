// Writing a set back: a deck keeps every byte the user wrote outside the changed rows; a folder
// set writes the changed card files.
#include "set/card_set.h"

#include "card/card_file.h"
#include "card/csv_records.h"
#include "card/deck_file.h"
#include "files/card_export.h"
#include "set/set_folder_order.h"

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

// The picture cell that names the card's picture file where it lies, when it lies in `folder`
// (or below it) and reading it as a row's picture gives the card's very pixels; else empty.
QString pictureCellInFolder(const QDir& folder, const Card& card)
{
    if (card.mainPicturePath.isEmpty() || !QFileInfo(card.mainPicturePath).isFile())
        return {};
    const QString relative = folder.relativeFilePath(QFileInfo(card.mainPicturePath).absoluteFilePath());
    if (relative.isEmpty() || relative == QLatin1String("..") ||
        relative.startsWith(QLatin1String("../")) || QDir::isAbsolutePath(relative))
        return {};
    Card read;
    read.mainPicturePath = card.mainPicturePath;
    const auto pixels = [](const QImage& image) {
        return image.convertToFormat(QImage::Format_ARGB32);
    };
    if (!readyDeckCard(read, {}, {}, nullptr) || pixels(read.mainPicture) != pixels(card.mainPicture))
        return {};
    return relative;
}

QByteArray pngBytes(const QImage& picture)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "png");
    return png;
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
        text += k < asRead.size() && row[k] == asRead[k] ? spellings[k]
                                                         : csvLine({row[k]}, separator);
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
                               !e.pictureChanged && e.pictureFit == source->originalPictureFit &&
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
        if (record && e.fields != source->fields) {
            const Deck mended = readDeckText(csvLine(header) + '\n' + csvLine(e.fields) + '\n', {});
            if (!mended.rows.isEmpty()) {
                before = mended.rows.front().card;
                beforeFit = mended.rows.front().pictureFit;
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

bool CardSet::save(QString* error, const QString& path, bool* encodingLacks)
{
    if (encodingLacks)
        *encodingLacks = false;
    bool ok = false;
    if (m_kind == SetKind::Folder && path.isEmpty())
        ok = saveFolder(error);
    else
        ok = saveDeck(path.isEmpty() ? m_path : path, error, encodingLacks);
    if (ok) {
        m_restored = false;
        m_stack->setClean();
        emit changed();
    }
    return ok;
}

bool CardSet::saveDeck(const QString& path, QString* error, bool* encodingLacks)
{
    const auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("The set cannot be saved to %1: %2.")
                         .arg(QDir::toNativeSeparators(path), why);
        return false;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("it has no file yet"));
    // A deck saved elsewhere keeps its rows, columns and form as well: the new file is the same
    // spreadsheet under another name.
    const bool fromDeck = m_kind == SetKind::Deck;
    const bool sameFile = fromDeck && QFileInfo(path) == QFileInfo(m_path);
    const QByteArray original = fromDeck ? m_text : QByteArray();
    const DeckTextForm form = fromDeck ? m_form : DeckTextForm();
    if (sameFile) {
        // Another program's change to the deck would be lost: refuse, so the user can choose.
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.readAll() != m_bytes)
            return fail(QStringLiteral("the deck was changed or removed by another program since "
                                       "it was opened"));
    }

    // Pictures given in the window (or held by a card file) go beside the deck, under names no
    // file has; they are written once the deck's text is known to be storable.
    const QDir folder = QFileInfo(path).absoluteDir();
    const bool otherFolder = fromDeck && folder != QFileInfo(m_path).absoluteDir();
    DeckRowCells cells;
    QMap<quint64, QString> picturePaths;   // pictures to write beside the deck
    QMap<quint64, QString> namedPictures;  // pictures of the deck's folder, named where they are
    QSet<QString> taken;
    for (const SetEntry& e : std::as_const(m_entries)) {
        if (e.isBad())
            continue;
        // A picture kept by its path in a row not of this file (a duplicate, a card of another
        // set) names the same file from the deck's folder.
        const bool keptByPath = e.card.mainPicture.isNull() && !e.card.mainPicturePath.isEmpty();
        if (!e.pictureChanged && keptByPath && !(fromDeck && m_sources.value(e.id).record > 0)) {
            cells.movedPictures.insert(e.id, folder.relativeFilePath(e.card.mainPicturePath));
            continue;
        }
        if (!e.pictureChanged && fromDeck) {
            // A picture named relative to the old folder is named from the new one.
            const QString cell = rowCell(e.id, QStringLiteral("picture"));
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
    const QHash<quint64, SetSource> sources = fromDeck ? m_sources : QHash<quint64, SetSource>();
    if (!buildDeckText(original, form.separator, m_entries, sources, cells, &text, &offsets, &why))
        return fail(why);
    const QByteArray bytes = encodeDeckText(text, form);
    if (const std::optional<EncodingLack> lack = encodingLack(text, form, bytes)) {
        if (encodingLacks)
            *encodingLacks = true;
        return fail(QStringLiteral("the deck is stored as %1, which has no \"%2\" (line %3); "
                                   "save it as UTF-8 to keep that character")
                        .arg(deckEncodingName(form.encoding), lack->character)
                        .arg(lack->line));
    }

    QStringList written;
    const auto removeWritten = [&] {
        for (const QString& file : std::as_const(written))
            QFile::remove(file);
    };
    for (auto it = picturePaths.cbegin(); it != picturePaths.cend(); ++it) {
        const QByteArray png = pngBytes(entry(it.key())->card.mainPicture);
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

    // The set now stands for the file just written.
    const CsvText records = readCsv(text, form.separator);
    QHash<qsizetype, int> recordAt;
    for (qsizetype r = 1; r < records.records.size(); ++r)
        recordAt.insert(records.records[r].begin, int(r));
    m_kind = SetKind::Deck;
    m_path = QFileInfo(path).absoluteFilePath();
    m_bytes = bytes;
    m_text = text;
    m_form = form;
    if (!records.records.isEmpty())
        m_header = records.records.front().fields;
    m_sources.clear();
    for (SetEntry& e : m_entries) {
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
        m_sources.insert(e.id, {record, e.fields, e.card, e.pictureFit, {}, {}});
    }
    // A card of the history that is not in the set now comes back as a new row.
    emit cardsReset();
    return true;
}

bool CardSet::saveFolder(QString* error)
{
    const QDir folder(m_path);
    const auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    QSet<quint64> present;
    for (const SetEntry& e : std::as_const(m_entries))
        present.insert(e.id);

    // Where each changed card goes: the file it has, under its new name when it was renamed (a
    // file already there is never replaced), or a new file under a name no file has.
    struct Write {
        quint64 id;
        QString from;  // the file it had; empty: a new card
        QString to;
    };
    QList<Write> writes;
    QSet<QString> names;
    for (const SetSource& source : std::as_const(m_sources))
        names.insert(QFileInfo(source.filePath).fileName().toCaseFolded());
    for (const SetEntry& e : std::as_const(m_entries)) {
        if (e.isBad() || !isChanged(e.id))
            continue;
        const SetSource source = m_sources.value(e.id);
        const QString wanted =
            safeFileName(e.card.name) + QLatin1Char('.') + QLatin1String(CardFileSuffix);
        if (!source.filePath.isEmpty()) {
            const bool renamed = e.card.name != source.original.name &&
                                 QFileInfo(source.filePath).fileName() != wanted;
            const QString to = renamed ? folder.filePath(wanted) : source.filePath;
            const bool sameFile =
                QFileInfo(to).canonicalFilePath() == QFileInfo(source.filePath).canonicalFilePath();
            // A deleted card's file is set aside first: its name is free then.
            bool freed = false;
            for (auto it = m_sources.cbegin(); renamed && it != m_sources.cend() && !freed; ++it)
                freed =
                    !present.contains(it.key()) &&
                    QFileInfo(it->filePath).fileName().compare(wanted, Qt::CaseInsensitive) == 0;
            if (renamed && !sameFile && !freed && QFileInfo::exists(to))
                return fail(QStringLiteral("The card \"%1\" cannot be saved: its file cannot be "
                                           "renamed to %2, another file of that name is there. "
                                           "Give the card another name, or move that file away.")
                                .arg(e.card.name, QDir::toNativeSeparators(to)));
            writes.append({e.id, source.filePath, to});
            continue;
        }
        const QString base = safeFileName(e.card.name);
        QString name = wanted;
        for (int n = 2;
             names.contains(name.toCaseFolded()) || QFileInfo::exists(folder.filePath(name)); ++n)
            name = QStringLiteral("%1-%2.%3").arg(base).arg(n).arg(CardFileSuffix);
        names.insert(name.toCaseFolded());
        writes.append({e.id, QString(), folder.filePath(name)});
    }

    // A card deleted from the set keeps its file as a backup beside the others.
    for (auto it = m_sources.begin(); it != m_sources.end();) {
        if (present.contains(it.key())) {
            ++it;
            continue;
        }
        const QString backup = it->filePath + QStringLiteral(".bak");
        QFile::remove(backup);
        if (!QFile::rename(it->filePath, backup))
            return fail(QStringLiteral("The deleted card's file %1 cannot be set aside.")
                            .arg(QDir::toNativeSeparators(it->filePath)));
        it = m_sources.erase(it);
    }

    for (const Write& w : std::as_const(writes)) {
        SetEntry& e = m_entries[indexOf(w.id)];
        // The rename itself never replaces a file (it fails when one is there), so a file that
        // appeared since the check above is kept.
        const bool renaming = !w.from.isEmpty() && w.from != w.to;
        if (renaming && !QFile::rename(w.from, w.to))
            return fail(QStringLiteral("The card file %1 cannot be renamed to %2: a file of that "
                                       "name is there, or the folder cannot be written.")
                            .arg(QDir::toNativeSeparators(w.from), QDir::toNativeSeparators(w.to)));
        if (!writeCardFile(e.card, w.to, error)) {
            if (renaming)
                QFile::rename(w.to, w.from);
            return false;
        }
        e.pictureChanged = false;
        m_sources.insert(e.id, {-1, {}, e.card, {}, w.to, cardFileDigest(w.to)});
    }

    // The order of the cards, when it is not the plain name order (or a list is there already).
    QStringList files;
    for (const SetEntry& e : std::as_const(m_entries))
        if (const QString path = m_sources.value(e.id).filePath; !path.isEmpty())
            files << QFileInfo(path).fileName();
    QStringList byName = files;
    std::sort(byName.begin(), byName.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    const QString orderPath = folder.filePath(QLatin1String(SetOrderFileName));
    const bool listed = QFileInfo::exists(orderPath);
    if (listed ? readOrderFile(orderPath) != files : files != byName) {
        QString why;
        if (!writeFileAtomically(orderPath, orderFileText(files), &why))
            return fail(QStringLiteral("The order of the cards cannot be written to %1: %2.")
                            .arg(QDir::toNativeSeparators(orderPath), why));
    }
    return true;
}

}  // namespace orvane
