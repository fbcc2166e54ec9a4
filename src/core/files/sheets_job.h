// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/card_sheet.h"
#include "files/play_outputs.h"

#include <QList>
#include <QString>
#include <QStringList>


namespace orvane {

// Everything made of a set of rendered cards in one go: the deck sheets and the atlas of
// `outputs`, and a print sheet (with `outputs.backPicture` as its back, when set).
struct SheetsJob {
    PlayOutputs outputs;
    QString deckName;   // the base of the deck sheets' names
    QString sheetPath;  // FILE.pdf; empty: no print sheet
    SheetLayout sheetLayout;
};

// The files the job writes, before any is written.
QStringList plannedSheetsJobFiles(const SheetsJob& job, int cards);

// Writes them; progress counts pictures and the sheet, a stop ends before the next one.
PlayOutputsResult runSheetsJob(const SheetsJob& job, const QList<NamedCard>& cards,
                               const Progress& progress = {});

}  // namespace orvane
