// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats_mode.h"

#include "card/card_file.h"
#include "card/card_statistics.h"
#include "card/card_statistics_report.h"
#include "card/deck_file.h"
#include "files/file_kind.h"
#include "system/file_write.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

using namespace orvane;

namespace {

void printProblem(const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

// A problem of the deck as a whole (unreadable, no header), not of one of its rows.
bool wholeDeckProblem(const DeckProblem& problem)
{
    return problem.line <= 1;
}

}  // namespace

int writeStatistics(const QStringList& inputs, const QString& format, const QString& outFile)
{
    QList<Card> cards;
    int badRows = 0;
    bool anyRead = false;
    bool anyProblem = false;
    for (const QString& input : inputs) {
        if (fileKindOf(input) == FileKind::CardFile) {
            const CardFileRead read = readCardFile(input);
            if (!read.card) {
                printProblem(read.error);
                anyProblem = true;
                continue;
            }
            Card card = *read.card;
            card.name = displayName(card, input);
            cards.append(card);
            anyRead = true;
            continue;
        }
        const Deck deck = readDeck(input);
        bool whole = false;
        anyProblem = anyProblem || !deck.problems.isEmpty();
        for (const DeckProblem& problem : deck.problems) {
            printProblem(problem.text());
            whole = whole || wholeDeckProblem(problem);
            badRows += wholeDeckProblem(problem) ? 0 : 1;
        }
        if (whole)
            continue;
        for (const DeckRow& row : deck.rows)
            cards.append(row.card);
        anyRead = true;
    }
    if (!anyRead) {
        std::fputs("orvane-render: no deck or card file could be read\n", stderr);
        return 1;
    }

    const CardStatistics stats = cardStatistics(cards, badRows);
    QStringList names;
    for (const QString& input : inputs)
        names << QFileInfo(input).fileName();
    const QString source = names.join(QStringLiteral(", "));
    const QByteArray text = format == QLatin1String("json") ? statisticsJson(stats, cards, source)
                                                            : statisticsMarkdown(stats, source);
    if (outFile.isEmpty()) {
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        return std::fflush(stdout) == 0 && !anyProblem ? 0 : 1;
    }
    QString error;
    if (!writeFileAtomically(outFile, text, &error)) {
        printProblem(QStringLiteral("orvane-render: %1 cannot be written: %2")
                         .arg(QDir::toNativeSeparators(outFile), error));
        return 1;
    }
    return anyProblem ? 1 : 0;
}
