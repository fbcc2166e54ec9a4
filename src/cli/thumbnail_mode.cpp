// SPDX-License-Identifier: GPL-3.0-or-later
#include "thumbnail_mode.h"

#include "card/card_file.h"
#include "card/card_file_pack.h"
#include "files/card_export.h"
#include "files/card_thumbnail.h"
#include "files/pack_store.h"
#include "files/png_writer.h"
#include "files/tabletop_sheet.h"
#include "render/card_parts.h"
#include "render/part_scales.h"

#include <QCoreApplication>
#include <QUrl>

#include <algorithm>
#include <cstdio>

using namespace orvane;

namespace {

int fail(const QString& problem)
{
    std::fprintf(stderr, "orvane-render: %s\n", problem.toLocal8Bit().constData());
    return 1;
}

// A file manager may hand over a URI rather than a path.
QString localPath(const QString& argument)
{
    const QUrl url(argument);
    return url.isLocalFile() ? url.toLocalFile() : argument;
}

}  // namespace

int writeThumbnail(const QStringList& arguments, const QString& partsRoot)
{
    if (arguments.size() != 3) {
        std::fputs("orvane-render: --thumbnail takes IN OUT SIZE\n", stderr);
        return 2;
    }
    bool ok = false;
    const int size = arguments[2].toInt(&ok);
    if (!ok || size < 1 || size > 4096) {
        std::fputs("orvane-render: the thumbnail SIZE must be a whole number from 1 to 4096\n",
                   stderr);
        return 2;
    }
    const CardFileRead read = readCardFile(localPath(arguments[0]));
    if (!read.card)
        return fail(read.error);
    QString error;
    const std::optional<CardParts> parts = CardParts::load(
        partsRoot.isEmpty() ? QCoreApplication::applicationDirPath() : partsRoot, &error);
    if (!parts)
        return fail(error);
    // A card drawn with a pack is drawn with it at the thumbnail's whole scale, so its larger
    // parts show; a pack not installed leaves the built-in parts, as the editor does.
    const QString packName = readCardFilePack(localPath(arguments[0]));
    QString missing;
    const QString packFolder =
        packName.isEmpty() ? QString() : findPack(packName, installedPacks(), &missing);
    const auto scales = std::make_shared<const PartScales>(*parts, packFolder);
    const int scale = std::clamp(size / CardSide, 1, MaxExportScale);
    const RenderedCard card = cardAtScale(renderCardWithScales(*read.card, scales), scale);
    const QImage thumbnail = cardThumbnail(card.blue, size);
    const QString out = localPath(arguments[1]);
    const QByteArray png = encodePng(thumbnail, &error);
    if (png.isEmpty() || !writeOutputFile(out, png, &error))
        return fail(QStringLiteral("%1 cannot be written: %2").arg(out, error));
    return 0;
}
