// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "command_line.h"

#include "files/card_export.h"

#include <QCommandLineParser>
#include <QString>

// Fills `options` for a render from the parsed command line: the outputs, the format and
// scale, the sheet, the preparation of the pictures, the deck sheets and the print. Returns the
// first usage problem of a value (a number out of its range, a word not among its choices, a
// palette file that cannot be read), or an empty text. Which options go together is checked
// apart (pairingProblem).
QString readRenderOptions(const CommandLine& line, const QCommandLineParser& parser,
                          orvane::DeckRenderOptions& options);
