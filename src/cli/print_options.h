// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/card_export.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>

#include <optional>

// The options of a print by a profile, the printer's calibration and its calibration page.
class PrintOptions {
public:
    PrintOptions();
    void addTo(QCommandLineParser& parser) const;

    // A run that does only the print tools (list the profiles, write a calibration page, keep
    // a calibration) and ends: its exit status; none for a run that renders.
    std::optional<int> runTool(const QCommandLineParser& parser) const;

    // Fills options.print.output, the profile and its calibration; a usage problem, or empty.
    QString read(const QCommandLineParser& parser, orvane::DeckRenderOptions& options) const;
    // Takes the back and colours once the other options are read.
    static void finish(orvane::DeckRenderOptions& options);

private:
    QCommandLineOption m_print;
    QCommandLineOption m_profile;
    QCommandLineOption m_enlarge;
    QCommandLineOption m_listProfiles;
    QCommandLineOption m_calibrationPage;
    QCommandLineOption m_calibrate;
};
