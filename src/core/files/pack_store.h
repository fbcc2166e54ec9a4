// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace orvane {

// Where packs live: installed for the user (the user's data folder), installed with the program
// (share/orvane/packs of the install, or of the build tree), or any folder given by its path.
QString userPackFolder();
QStringList sharedPackFolders();

struct InstalledPack {
    QString name;          // the manifest's name, else the folder's
    QString folder;        // full path
    bool forUser = false;  // in the user's folder (may be removed), not installed with the program
};

// The packs in `folders`, in their order and then by name; a name found again in a later folder
// is hidden by the first (the user's pack wins over one installed with the program).
QList<InstalledPack> packsIn(const QStringList& folders, const QString& userFolder = {});
// The packs of the user's folder and of the program's.
QList<InstalledPack> installedPacks();

// The pack folder for `nameOrFolder`: an existing folder as it is, else the installed pack of
// that name (any case). Empty, with `error`, when there is none.
QString findPack(const QString& nameOrFolder, const QList<InstalledPack>& packs, QString* error);

// The pack folder a deck row's pack cell names: a folder (relative to `deckFolder`, or absolute)
// when there is one, else the installed pack of that name (any case); empty when neither.
QString rowPackFolder(const QString& cell, const QString& deckFolder,
                      const QList<InstalledPack>& packs);

// Limits that keep a hostile archive from filling the disk.
struct PackArchiveLimits {
    qint64 maxTotalBytes = 64LL << 20;
    qint64 maxEntryBytes = 16LL << 20;
    int maxEntries = 2000;
    qint64 maxRatio = 200;  // uncompressed : compressed of any one entry
};

struct PackInstallResult {
    QString folder;  // the installed pack's folder; empty on failure
    QString name;
    QString error;
    QStringList warnings;  // what the pack's check warned about
};

// Installs the pack in `source` (a pack folder, or a .zip holding one at its top or in a single
// folder) into `packsFolder`. A zip entry with an absolute path, a ".." part or a symbolic
// link, an archive beyond the limits or broken, a pack with errors, and a pack whose name is
// taken by one of `existing` are refused before anything is written in `packsFolder`; the pack
// is unpacked into a temporary folder beside its place and renamed into place only when whole.
PackInstallResult installPack(const QString& source, const QString& packsFolder,
                              const QList<InstalledPack>& existing,
                              const PackArchiveLimits& limits = {});

// Removes an installed pack's folder whole. False with `error` when it cannot.
bool removePack(const QString& folder, QString* error);

// Writes the 33 part files of the parts folder `partsFolder` (a pack or a gfx folder) into a new
// pack folder `target` with a manifest naming it `name`, for the user to edit. Refuses an
// existing target; nothing is left behind on failure.
bool writePackFromParts(const QString& partsFolder, const QString& target, const QString& name,
                        QString* error);

}  // namespace orvane
