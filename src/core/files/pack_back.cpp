// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/pack_back.h"

#include "render/part_pack.h"
#include "render/part_scales.h"

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

QString packOfCards(const QList<NamedCard>& cards)
{
    QString pack;
    for (const NamedCard& card : cards) {
        const CardDrawing* drawing = card.pictures.drawing.get();
        const QString folder = drawing ? drawing->parts->packFolder() : QString();
        if (folder.isEmpty() || (!pack.isEmpty() && folder != pack))
            return {};
        pack = folder;
    }
    return pack;
}

}  // namespace orvane
