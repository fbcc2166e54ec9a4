// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace orvane {

// One record of a CSV file, the physical line (1-based) it starts on and where its bytes lie in
// the text read (a byte order mark included): [begin, end), without the line end after it, so a
// writer can replace one record and keep every other byte as it was.
struct CsvRecord {
    int line = 0;
    QStringList fields;
    qsizetype begin = 0;
    qsizetype end = 0;
    int longField = -1;  // the first field longer than MaxCsvFieldBytes (kept empty); -1: none
};

// No cell of a card needs more: a longer field is kept empty and marked, so that a hostile
// file's megabyte cell costs no more than its bytes.
inline constexpr qsizetype MaxCsvFieldBytes = 64 * 1024;

// The records of a CSV text (RFC 4180 through libcsv: quoted fields with commas, quotes and line
// breaks inside; CRLF, LF or CR line ends; a UTF-8 byte order mark skipped). Blank lines give
// no record. A quoting error ends the reading: the records before it are kept. `separator` is
// ',', ';' or '\t'.
struct CsvText {
    QList<CsvRecord> records;
    bool byteOrderMark = false;
    QByteArray lineEnd = "\r\n";  // the first line end of the text
    int errorLine = 0;            // the line of the record that could not be read; 0: none
    QString error;
};

CsvText readCsv(const QByteArray& bytes, char separator = ',');

// One line of CSV text, without the line end: fields quoted only where they need it.
QByteArray csvLine(const QStringList& fields, char separator = ',');

}  // namespace orvane
