// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/card_export.h"

// orvane-render --watch: renders the deck (or card file), then waits; each change to the deck,
// a picture it names or a part file renders again, writes only the files whose bytes changed
// and names the cards they belong to ("3 cards changed: Goblin, Golem, Slime"). A warning is
// printed once, and again only after a run without it. A deck caught
// half-saved is read once it is complete. SIGINT (Ctrl+C) or SIGTERM ends it at once: a card
// being written is finished, no temporary file is left, and the exit status is 130 or 143.

struct WatchOutput {
    bool quiet = false;        // no summary lines; problems and warnings only
    bool listWritten = false;  // every file written, one a line, on stdout
};

int runWatch(orvane::DeckRenderOptions options, const WatchOutput& output);

// The lines orvane-render prints for a run besides its summary: problems and warnings on
// stderr; with `listWritten`, the files written on stdout.
void printRunLines(const orvane::DeckRenderResult& result, bool listWritten);

// "3 cards changed: Goblin, Golem, Slime" (the first names, then how many more).
QString changedCardsLine(const QStringList& names);
