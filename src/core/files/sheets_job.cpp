// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/sheets_job.h"

#include "files/pack_back.h"

#include <QDir>
#include <QFileInfo>

namespace orvane {

QStringList plannedSheetsJobFiles(const SheetsJob& job, int cards)
{
    QStringList files = plannedPlayFiles(job.outputs, job.deckName, cards);
    if (!job.sheetPath.isEmpty())
        files << QFileInfo(job.sheetPath).absoluteFilePath();
    return files;
}

PlayOutputsResult runSheetsJob(const SheetsJob& job, const QList<NamedCard>& cards,
                               const Progress& progress)
{
    // The play outputs report their own steps; the sheet is one more at the end.
    int playTotal = 0;
    const Progress playProgress = progress.withListener([&](int done, int total) {
        playTotal = total;
        progress.report(done, total + (job.sheetPath.isEmpty() ? 0 : 1));
    });
    // Cards all drawn with one pack print its own back in place of ours.
    PlayOutputs outputs = job.outputs;
    outputs.backPicture = backWithPack(job.outputs.backPicture, packOfCards(cards), true);
    PlayOutputsResult result = writePlayOutputs(outputs, job.deckName, cards, playProgress);
    if (job.sheetPath.isEmpty() || result.cancelled)
        return result;
    if (progress.stopRequested()) {
        result.cancelled = true;
        return result;
    }
    SheetLayout layout = job.sheetLayout;
    if (!job.outputs.backPicture.isEmpty()) {
        QString error;
        layout.back = loadCardBack(outputs.backPicture, &error);
        if (layout.back.isNull()) {
            result.problems << QStringLiteral("the card back %1").arg(error);
            return result;
        }
    }
    QList<RenderedCard> pictures;
    for (const NamedCard& card : cards)
        pictures << card.pictures;
    int pages = 0;
    QString error;
    if (writeCardSheet(job.sheetPath, pictures, layout, &pages, &error))
        result.written << QFileInfo(job.sheetPath).absoluteFilePath();
    else
        result.problems << QStringLiteral("%1 cannot be written: %2")
                               .arg(QDir::toNativeSeparators(job.sheetPath), error);
    progress.report(playTotal + 1, playTotal + 1);
    return result;
}

}  // namespace orvane
