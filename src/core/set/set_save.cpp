// Writing a set back: a deck keeps every byte the user wrote outside the changed rows; a folder
// set writes the changed card files.
#include "set/card_set.h"

#include "card/card_file.h"
#include "card/csv_records.h"
#include "card/deck_file.h"
#include "files/card_export.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QUndoStack>

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

QByteArray pngBytes(const QImage& picture)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "png");
    return png;
}

}  // namespace

bool buildDeckBytes(const QByteArray& original, const QList<SetEntry>& entries,
                    const QHash<quint64, SetSource>& sources,
                    const QMap<quint64, QString>& pictureCells, QByteArray* bytes,
                    QHash<quint64, qsizetype>* offsets, QString* error)
{
    const CsvText text = readCsv(original);
    const QList<CsvRecord>& records = text.records;
    QStringList header = records.isEmpty() ? newDeckHeader() : records.front().fields;

    // Each card's row: the bytes as they are when nothing of it changed, else its cells written.
    QList<QByteArray> rows;
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
            rows << (record && e.fields == record->fields ? raw : csvLine(e.fields));
            continue;
        }
        const bool untouched = record && e.fields == source->fields && e.card == source->original &&
                               !e.pictureChanged && e.pictureFit == source->originalPictureFit;
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
        const auto picture = pictureCells.constFind(e.id);
        const QString* pictureCell = picture != pictureCells.cend() ? &*picture : nullptr;
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
        rows << csvLine(row);
    }

    QByteArray out;
    const QByteArray& lineEnd = text.lineEnd;
    if (records.isEmpty()) {
        out = csvLine(header) + lineEnd;
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (offsets)
                offsets->insert(entries[i].id, out.size());
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
    out +=
        header == head.fields ? original.mid(head.begin, head.end - head.begin) : csvLine(header);
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
            offsets->insert(entries[i].id, out.size());
        out += rows[i];
        if (i + 1 == rows.size()) {
            out += fileEnd;
            break;
        }
        const auto found = sources.constFind(entries[i].id);
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

bool CardSet::save(QString* error, const QString& path)
{
    bool ok = false;
    if (m_kind == SetKind::Folder)
        ok = saveFolder(error);
    else
        ok = saveDeck(m_kind == SetKind::New || !path.isEmpty() ? path : m_path, error);
    if (ok) {
        m_restored = false;
        m_stack->setClean();
        emit changed();
    }
    return ok;
}

bool CardSet::saveDeck(const QString& path, QString* error)
{
    const auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("The set cannot be saved to %1: %2.")
                         .arg(QDir::toNativeSeparators(path), why);
        return false;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("it has no file yet"));
    const bool sameFile = m_kind == SetKind::Deck && QFileInfo(path) == QFileInfo(m_path);
    const QByteArray original = sameFile ? m_bytes : QByteArray();
    if (sameFile) {
        // Another program's change to the deck would be lost: refuse, so the user can choose.
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.readAll() != m_bytes)
            return fail(QStringLiteral("the deck was changed or removed by another program since "
                                       "it was opened"));
    }

    // Pictures given in the window go beside the deck, under names no file has.
    const QDir folder = QFileInfo(path).absoluteDir();
    QMap<quint64, QString> pictureCells;
    QMap<quint64, QString> picturePaths;
    QStringList written;
    const auto removeWritten = [&] {
        for (const QString& file : std::as_const(written))
            QFile::remove(file);
    };
    for (const SetEntry& e : std::as_const(m_entries)) {
        if (e.isBad() || !e.pictureChanged)
            continue;
        if (e.card.mainPicture.isNull()) {
            pictureCells.insert(e.id, QString());
            continue;
        }
        const QString base = safeFileName(e.card.name) + QStringLiteral("-picture");
        QString name = base + QStringLiteral(".png");
        for (int n = 2; QFileInfo::exists(folder.filePath(name)); ++n)
            name = QStringLiteral("%1-%2.png").arg(base).arg(n);
        QString why;
        const QByteArray png = pngBytes(e.card.mainPicture);
        if (png.isEmpty() || !writeFileAtomically(folder.filePath(name), png, &why)) {
            removeWritten();
            return fail(QStringLiteral("the picture %1 cannot be written (%2)")
                            .arg(QDir::toNativeSeparators(folder.filePath(name)), why));
        }
        written << folder.filePath(name);
        pictureCells.insert(e.id, name);
        picturePaths.insert(e.id, folder.filePath(name));
    }

    QByteArray bytes;
    QHash<quint64, qsizetype> offsets;
    QString why;
    const QHash<quint64, SetSource> sources = sameFile ? m_sources : QHash<quint64, SetSource>();
    if (!buildDeckBytes(original, m_entries, sources, pictureCells, &bytes, &offsets, &why)) {
        removeWritten();
        return fail(why);
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
    const CsvText text = readCsv(bytes);
    QHash<qsizetype, int> recordAt;
    for (qsizetype r = 1; r < text.records.size(); ++r)
        recordAt.insert(text.records[r].begin, int(r));
    m_kind = SetKind::Deck;
    m_path = QFileInfo(path).absoluteFilePath();
    m_bytes = bytes;
    if (!text.records.isEmpty())
        m_header = text.records.front().fields;
    m_sources.clear();
    for (SetEntry& e : m_entries) {
        const int record = recordAt.value(offsets.value(e.id, -1), -1);
        if (record < 0)
            continue;
        e.fields = text.records[record].fields;
        if (picturePaths.contains(e.id)) {
            e.card.mainPicturePath = picturePaths.value(e.id);
            e.pictureFit.clear();
        } else if (pictureCells.contains(e.id)) {
            e.card.mainPicturePath.clear();
            e.pictureFit.clear();
        }
        e.pictureChanged = false;
        m_sources.insert(e.id, {record, e.fields, e.card, e.pictureFit, {}});
    }
    // A card of the history that is not in the set now comes back as a new row.
    emit cardsReset();
    return true;
}

bool CardSet::saveFolder(QString* error)
{
    const QDir folder(m_path);
    QSet<quint64> present;
    QSet<QString> names;
    for (const SetSource& source : std::as_const(m_sources))
        names.insert(QFileInfo(source.filePath).fileName().toCaseFolded());
    for (SetEntry& e : m_entries) {
        present.insert(e.id);
        if (e.isBad() || !isChanged(e.id))
            continue;
        QString filePath = m_sources.value(e.id).filePath;
        if (filePath.isEmpty()) {
            const QString base = safeFileName(e.card.name);
            QString name = base + QLatin1Char('.') + QLatin1String(CardFileSuffix);
            for (int n = 2;
                 names.contains(name.toCaseFolded()) || QFileInfo::exists(folder.filePath(name));
                 ++n)
                name = QStringLiteral("%1-%2.%3").arg(base).arg(n).arg(CardFileSuffix);
            names.insert(name.toCaseFolded());
            filePath = folder.filePath(name);
        }
        if (!writeCardFile(e.card, filePath, error))
            return false;
        e.pictureChanged = false;
        m_sources.insert(e.id, {-1, {}, e.card, {}, filePath});
    }
    // A card deleted from the set keeps its file as a backup beside the others.
    for (auto it = m_sources.begin(); it != m_sources.end();) {
        if (present.contains(it.key())) {
            ++it;
            continue;
        }
        const QString backup = it->filePath + QStringLiteral(".bak");
        QFile::remove(backup);
        if (!QFile::rename(it->filePath, backup)) {
            if (error)
                *error = QStringLiteral("The deleted card's file %1 cannot be set aside.")
                             .arg(QDir::toNativeSeparators(it->filePath));
            return false;
        }
        it = m_sources.erase(it);
    }
    return true;
}

}  // namespace orvane
