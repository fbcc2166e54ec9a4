// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/set_cards.h"

#include "card/card_file.h"
#include "files/main_picture.h"
#include "files/pack_store.h"
#include "render/card_parts.h"
#include "render/part_scales.h"
#include "set/card_set.h"

#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>

namespace orvane {

QList<NamedCard> renderSetCards(const CardSet& set, const QList<quint64>& ids,
                                const QString& partsRoot, QString* error)
{
    const std::optional<CardParts> parts = CardParts::load(partsRoot, error);
    if (!parts)
        return {};
    // Each card is drawn with its own pack (one set of parts for each), so the sheets and
    // prints that draw it larger use that pack's larger parts; a pack not installed leaves the
    // built-in parts, as the card window shows it.
    const auto builtIn = std::make_shared<const PartScales>(*parts);
    const QList<InstalledPack> installed = installedPacks();
    const QString setFolder =
        QFileInfo(set.path()).isDir() ? set.path() : QFileInfo(set.path()).absolutePath();
    QHash<QString, std::shared_ptr<const PartScales>> packs;
    const auto partsFor = [&](const QString& pack) {
        const QString folder = rowPackFolder(pack, setFolder, installed);
        if (folder.isEmpty())
            return builtIn;
        std::shared_ptr<const PartScales>& scales = packs[folder];
        if (!scales)
            scales = std::make_shared<const PartScales>(*parts, folder);
        return scales;
    };
    QList<NamedCard> cards;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    for (const quint64 id : ids) {
        const SetEntry* entry = set.entry(id);
        if (!entry || entry->isBad())
            continue;
        const Card card = set.readyCard(id);
        // A row's picture kept by its path is read again from its file when drawn larger; any
        // other source is the set's own, kept as it is.
        PictureSourceReader readSource;
        if (entry->card.mainPicture.isNull() && !entry->card.mainPicturePath.isEmpty())
            readSource = [path = card.mainPicturePath] { return loadMainPicture(path).image; };
        cards.append({card.name, safeFileName(card.name),
                      renderCardWithScales(card, partsFor(set.packOf(id)), std::move(readSource)),
                      entry->copies});
    }
    QGuiApplication::restoreOverrideCursor();
    if (cards.isEmpty() && error)
        *error = QStringLiteral("There is no card to write: bad rows are mended first.");
    return cards;
}

}  // namespace orvane
