// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/pack_back.h"

#include "files/play_outputs.h"
#include "render/part_pack.h"

#include <QDir>

namespace orvane {

QString packCardBack(const QString& packFolder)
{
    if (packFolder.isEmpty())
        return {};
    const QString back = readPackManifest(packFolder).manifest.cardBack;
    return back.isEmpty() ? QString() : QDir(packFolder).absoluteFilePath(back);
}

QString backWithPack(const QString& choice, const QString& packFolder, bool emptyMeansOurs)
{
    const bool ours =
        choice == QLatin1String(BuiltinBackName) || (emptyMeansOurs && choice.isEmpty());
    if (!ours)
        return choice;
    const QString back = packCardBack(packFolder);
    return back.isEmpty() ? choice : back;
}

}  // namespace orvane
