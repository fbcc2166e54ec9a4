// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "play_options.h"
#include "print_options.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

// Every option of orvane-render, with its help, added to the parser in the order the help
// lists them. The deck sheets' and the print's own options live in PlayOptions and
// PrintOptions, which also read them.
struct CommandLine {
    CommandLine();
    // The description, --help, --version, the inputs and every option.
    void addTo(QCommandLineParser& parser) const;

    // Where the pictures go and how they are written.
    const QCommandLineOption out;
    const QCommandLineOption noClobber;
    const QCommandLineOption format;
    const QCommandLineOption scale;
    const QCommandLineOption parts;
    const QCommandLineOption pack;
    const QCommandLineOption checkPack;
    const QCommandLineOption records;
    const QCommandLineOption jobs;
    const QCommandLineOption quiet;

    // The print-and-play sheet.
    const QCommandLineOption sheet;
    const QCommandLineOption cardMm;
    const QCommandLineOption sides;
    const QCommandLineOption paper;

    // The preparation of every card's picture (a deck row's own cells win); each option is named
    // after its setting, --picture-scale apart, since --scale enlarges the output.
    const QCommandLineOption fit;
    const QCommandLineOption pictureScale;
    const QCommandLineOption resample;
    const QCommandLineOption panX;
    const QCommandLineOption panY;
    const QCommandLineOption key;
    const QCommandLineOption tolerance;
    const QCommandLineOption keepDark;

    // The colour step of the preparation, after fit, pan and key: --picture-colours, since
    // --colours chooses the cards of the deck sheets.
    const QCommandLineOption colours;
    const QCommandLineOption palette;
    const QCommandLineOption dither;
    const QCommandLineOption outline;
    const QCommandLineOption outlineColour;

    // Following the deck: which files a run wrote, and rendering again on every change.
    const QCommandLineOption listWritten;
    const QCommandLineOption watch;

    // Instead of a render: a file manager's thumbnail, or the balance of the cards.
    const QCommandLineOption thumbnail;
    const QCommandLineOption stats;
    const QCommandLineOption statsFormat;
    const QCommandLineOption statsOut;

    const PlayOptions play;
    const PrintOptions print;
};
