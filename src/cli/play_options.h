// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/card_export.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>

// The options of the outputs made from all cards at once (deck sheets, atlas) and of a print
// sheet's backs and finishing.
class PlayOptions {
public:
    PlayOptions();
    void addTo(QCommandLineParser& parser) const;

    // Fills options.play from the parsed options; `--scale` as given (or not). Returns a usage
    // problem of a value, or an empty text (which options go together is checked apart).
    QString read(const QCommandLineParser& parser, bool scaleGiven,
                 orvane::DeckRenderOptions& options) const;

private:
    QCommandLineOption m_tabletop;
    QCommandLineOption m_hidden;
    QCommandLineOption m_atlas;
    QCommandLineOption m_padding;
    QCommandLineOption m_extrude;
    QCommandLineOption m_colours;
    QCommandLineOption m_back;
    QCommandLineOption m_backOffset;
    QCommandLineOption m_bleed;
    QCommandLineOption m_cutLines;
};
