// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace orvane {

// How a whole-file write ended.
enum class WriteOutcome {
    Failed,
    Created,   // there was no file of that name
    Replaced,  // a file of that name was replaced
    Kept,      // a file of that name was there and, as asked, kept
};

struct WriteOptions {
    bool syncToDisk = false;    // force the data to the disk before the rename (a safe save)
    bool keepExisting = false;  // never replace a file already there
    // A symbolic link at the name is replaced by the file, and what it names is never written:
    // for outputs, whose folder must not reach, through a planted link, files elsewhere.
    bool replaceLink = false;
};

// Writes a whole file through a short-named temporary beside it (".orv<id>.part", never longer
// than the name it stands for, so any legal name can be written) that takes the target's place
// only when complete: the target is either the old file or the new one, and no temporary is left
// behind. A new file gets the mode the user's umask gives new files, a replaced one keeps its own.
// A full disk is reported as such. A symbolic link is written through (the file it names is
// replaced, the link stays) unless `replaceLink` asks for the link itself to be replaced.
WriteOutcome writeWholeFile(const QString& path, const QByteArray& bytes,
                            const WriteOptions& options, QString* error);

// writeWholeFile for the common case: true when the file was written. Without `syncToDisk` the
// data is not forced to the disk before the rename (fast; a power cut can lose the newest files
// but never leaves a half one in place of a whole one); with it, as a safe save does.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error,
                         bool syncToDisk = false);

// writeWholeFile for a program's output: a link at the name is replaced, never written through.
bool writeOutputFile(const QString& path, const QByteArray& bytes, QString* error);

// A name for a temporary file in the same folder, unique across threads and processes and at
// most 24 bytes long: ".orv<process><counter><suffix>".
QString shortTemporaryName(const QString& suffix);

// Gives the temporary `temporary` the mode `target` has when it exists, else the mode a new file
// gets under the user's umask (temporaries are often made private). False when it cannot.
bool giveTargetMode(const QString& temporary, const QString& target);

// The reason for a failed write or open, in words: "the disk is full" for a full disk or quota.
QString writeErrorText(int errorNumber);

}  // namespace orvane
