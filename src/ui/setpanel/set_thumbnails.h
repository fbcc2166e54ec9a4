// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/pack_store.h"
#include "render/card_parts.h"
#include "set/card_set.h"

#include <QCache>
#include <QHash>
#include <QStyledItemDelegate>

#include <optional>

namespace orvane {

// The set panel's thumbnails: each card's blue and red pictures side by side, every card pixel a
// square of zoom x zoom screen pixels, the name below. A card's pictures are made by renderCard
// when it is first painted and kept (within a memory budget) until the card changes, each with
// its own installed pack's parts (any other: the built-in parts, as the card window shows it).
class SetThumbnails : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int MinZoom = 1;
    static constexpr int MaxZoom = 4;

    SetThumbnails(CardSet& set, const QString& partsRoot, QObject* parent = nullptr);

    int zoom() const { return m_zoom; }
    void setZoom(int zoom);
    // The card's two pictures as the thumbnail shows them, made now when not kept.
    const RenderedCard* pictures(quint64 id) const;
    // How many cards' pictures were made so far (for tests and measuring).
    int made() const { return m_made; }
    // Why the card parts cannot be read; empty when they can.
    QString partsProblem() const { return m_partsProblem; }
    // Part files changed on disk: the parts are read again and every card's pictures made anew
    // when next painted. A part that cannot be read now (a file half written) keeps the parts
    // last read; the next change tries again.
    void reloadParts();
    // How often the parts were read again (for tests and measuring).
    int reloads() const { return m_reloads; }

    // Where a card's blue (`second` false) or red picture is drawn in an item at `itemRect`.
    QRect cardRect(const QRect& itemRect, bool second) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // The 1 x parts card `id` is drawn with; null when no parts can be read.
    const CardParts* partsFor(quint64 id) const;

    CardSet& m_set;
    QString m_partsRoot;
    std::optional<CardParts> m_parts;
    QString m_partsProblem;
    int m_zoom = 2;
    mutable QCache<quint64, RenderedCard> m_cache;
    // Each pack's parts by its folder, read when a card first needs them; the packs installed,
    // looked up once. Both read again with the parts.
    mutable QHash<QString, CardParts> m_packParts;
    mutable std::optional<QList<InstalledPack>> m_installed;
    mutable int m_made = 0;
    int m_reloads = 0;
};

}  // namespace orvane
