// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card_statistics.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace orvane {

// The numbers of CardStatistics as tables of text: what the Markdown report prints and what a
// window offers as the text of its charts.
struct StatisticsTable {
    QString title;       // "Totals"
    QStringList header;  // "Total", "Frame", "Cards"
    QList<QStringList> rows;
};

// Totals (those that occur), frames, side values, elements, arrow counts, arrow directions.
QList<StatisticsTable> statisticsTables(const CardStatistics& stats);

// "12 cards", "12 cards; 3 bad rows not counted", "No cards to count; 1 bad row not counted".
QString statisticsSummary(const CardStatistics& stats);

// The findings' heading words: "Dominated", "Duplicates", "Too many arrows".
QString findingKindTitle(FindingKind kind);

// A Markdown document: a heading naming `title`, the summary, each table, the findings.
QByteArray statisticsMarkdown(const CardStatistics& stats, const QString& title);

// The same numbers and findings as a JSON object (indented), for a build script:
//   {"source", "cards", "badRows", "totals": [{"total", "frame", "cards"}],
//    "frames": [{"frame", "lowest", "highest", "cards"}], "sides": {"up": {"1": n .. "A": n,
//    "other": n}, ...}, "elements": {"Fire": n, ..., "no element": n},
//    "arrowCounts": [n0 .. n8], "arrowDirections": {"upper-left": n, ...},
//    "findings": [{"kind": "dominated|duplicate|too-many-arrows", "card", "other", "text"}]}
// "card" and "other" are the cards' names ("other" absent where there is none).
QByteArray statisticsJson(const CardStatistics& stats, const QList<Card>& cards,
                          const QString& source);

}  // namespace orvane
