// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a run of renderDeck wrote into an output folder, kept between runs in the user's cache
// folder (never in the output folder): a new run over the same deck skips the cards whose
// inputs and files are as they were, without rendering and encoding them again to compare.
#include "render/file_stamp.h"

#include <QByteArray>
#include <QString>

namespace orvane {

struct DeckRenderMemo;  // files/deck_render.h

// Whether a change made after the stamp was taken at `nowNs` is sure to show in the file's
// times: a file modified again within the file system's clock step keeps its time, so a stamp
// younger than that step is not trusted (two seconds where the times are whole seconds).
bool stampSettled(const FileStamp& stamp, qint64 nowNs);

// The record of the output folder `outDir` in `recordFolder`: one file per folder, named after
// a digest of the folder's canonical path.
QString outputRecordPath(const QString& recordFolder, const QString& outDir);

// Adds the cards recorded for `outDir` to `memo`. Nothing is added when there is no record or it
// cannot be read, is damaged or belongs to another folder: the run then compares bytes.
void loadOutputRecord(const QString& recordFolder, const QString& outDir, DeckRenderMemo& memo);

// Writes the cards of `memo` whose files are in `outDir` as that folder's record, through a
// temporary. False when it cannot be written; the run goes on as if there were no record.
bool saveOutputRecord(const QString& recordFolder, const QString& outDir,
                      const DeckRenderMemo& memo);

}  // namespace orvane
