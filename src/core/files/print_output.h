// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/play_outputs.h"
#include "files/print_calibration.h"
#include "files/print_profile.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>


namespace orvane {

// A print by a profile: sheets as PDF, or one picture per card and copy for a print service.
struct PrintRequest {
    PrintProfile profile;
    PrinterCalibration calibration;  // sheets only
    CardColours colours = CardColours::Both;
    QString backPicture;  // a picture file or "builtin"; empty: no backs
    // Sheets: FILE.pdf (with backs apart: FILE-fronts.pdf and FILE-backs.pdf); card pictures:
    // a folder (with backs apart: its fronts and backs folders). Empty: no print.
    QString output;
    int threads = 0;  // card pictures compressed at once; 0: every core

    bool active() const { return !output.isEmpty(); }
};

// One printed face in print order: each card's copies together, blue before red in each.
struct PrintFace {
    int card = 0;
    bool blue = true;
    int number = 1;  // its place in the print, from 1: the number in a card picture's name
};
QList<PrintFace> printFaces(const QList<NamedCard>& cards, CardColours colours);

// The places of the cards on a sheet (their trims, in millimetres from the page's top left,
// row by row), before calibration; empty when none fits.
QList<QRectF> printSheetPlaces(const PrintProfile& profile);

// The pages (sheets) or pictures (card pictures) a print of `faces` faces writes, backs with
// `backs` counted.
int printItemCount(const PrintProfile& profile, int faces, bool backs);

// The files a print writes, in order, before any is written.
QStringList plannedPrintFiles(const PrintRequest& request, const QList<NamedCard>& cards);

struct PrintResult {
    QStringList written;
    QStringList problems;  // whole sentences naming the file
    int pages = 0;         // sheet pages written
    int pictures = 0;      // card pictures written
    bool cancelled = false;
};

// Writes the print; each file whole or not at all. A stop requested ends before the next card.
PrintResult writePrint(const PrintRequest& request, const QList<NamedCard>& cards,
                       const Progress& progress = {});

}  // namespace orvane
