// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/csv_records.h"

#include <csv.h>

#include <memory>

namespace orvane {
namespace {

constexpr unsigned char Options = CSV_STRICT | CSV_STRICT_FINI;

// What the parser's callbacks collect; the line bookkeeping happens in readCsv.
struct Collector {
    CsvText* text = nullptr;
    QStringList fields;
    int rowLine = 0;  // the line the record being read started on
    int longField = -1;
    bool awaitingRow = true;  // no byte of the next record seen yet
    qsizetype rowBegin = 0;   // where the record being read starts in the input
    qsizetype position = 0;   // the input byte being fed
};

void fieldEnd(void* data, size_t size, void* context)
{
    auto* c = static_cast<Collector*>(context);
    if (qsizetype(size) > MaxCsvFieldBytes) {
        if (c->longField < 0)
            c->longField = int(c->fields.size());
        c->fields << QString();
        return;
    }
    c->fields << QString::fromUtf8(static_cast<const char*>(data), qsizetype(size));
}

void recordEnd(int, void* context)
{
    auto* c = static_cast<Collector*>(context);
    c->text->records.append(
        CsvRecord{c->rowLine, c->fields, c->rowBegin, c->position, c->longField});
    c->fields.clear();
    c->longField = -1;
    c->awaitingRow = true;
}

bool isBlank(char c)
{
    return c == '\r' || c == '\n' || c == ' ' || c == '\t';
}

}  // namespace

CsvText readCsv(const QByteArray& input, char separator)
{
    CsvText text;
    QByteArray bytes = input;
    qsizetype skipped = 0;  // the byte order mark's bytes, for the records' spans
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        text.byteOrderMark = true;
        bytes.remove(0, 3);
        skipped = 3;
    }
    if (const qsizetype end = bytes.indexOf('\n'); end > 0 && bytes[end - 1] == '\r')
        text.lineEnd = "\r\n";
    else if (end >= 0)
        text.lineEnd = "\n";

    csv_parser parser;
    if (csv_init(&parser, Options) != 0) {
        text.error = QStringLiteral("the CSV reader could not start");
        return text;
    }
    const std::unique_ptr<csv_parser, void (*)(csv_parser*)> release(&parser, &csv_free);
    csv_set_delim(&parser, static_cast<unsigned char>(separator));
    Collector collector;
    collector.text = &text;

    // Fed a byte at a time, so that each record knows the physical line it starts on.
    int line = 1;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        collector.position = skipped + i;
        if (collector.awaitingRow && !isBlank(c)) {
            collector.rowLine = line;
            collector.awaitingRow = false;
            collector.rowBegin = skipped + i;
        }
        if (csv_parse(&parser, &c, 1, fieldEnd, recordEnd, &collector) != 1) {
            text.errorLine = collector.awaitingRow ? line : collector.rowLine;
            text.error = QStringLiteral("a quote stands inside a field that is not quoted, or "
                                        "a quoted field goes on after its closing quote");
            return text;
        }
        if (c == '\n' || (c == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')))
            ++line;
    }
    collector.position = skipped + bytes.size();
    if (csv_fini(&parser, fieldEnd, recordEnd, &collector) != 0) {
        text.errorLine = collector.rowLine;
        text.error = QStringLiteral("a quoted field is not closed before the end of the file");
    }
    return text;
}

QByteArray csvLine(const QStringList& fields, char separator)
{
    QByteArray line;
    for (qsizetype k = 0; k < fields.size(); ++k) {
        if (k > 0)
            line += separator;
        const QByteArray field = fields[k].toUtf8();
        const bool plain = !field.contains(separator) && !field.contains(',') &&
                           !field.contains('"') && !field.contains('\n') && !field.contains('\r') &&
                           field.trimmed() == field;
        if (plain) {
            line += field;
            continue;
        }
        QByteArray quoted(field.size() * 2 + 2, Qt::Uninitialized);
        quoted.truncate(qsizetype(csv_write(quoted.data(), size_t(quoted.size()), field.constData(),
                                            size_t(field.size()))));
        line += quoted;
    }
    return line;
}

}  // namespace orvane
