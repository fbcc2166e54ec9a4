// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// orvane-render --stats: the statistics and findings of the cards of every input (decks and
// card files together) as Markdown or JSON, to standard output or to `outFile` (written whole
// or not at all). A deck's bad rows are named on standard error and counted apart. Returns the
// exit code: 0; 1 when a row or an input was bad (the others' statistics still written), or the
// file could not be written.
int writeStatistics(const QStringList& inputs, const QString& format, const QString& outFile);
