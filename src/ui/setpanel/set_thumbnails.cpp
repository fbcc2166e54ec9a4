// SPDX-License-Identifier: GPL-3.0-or-later
#include "setpanel/set_thumbnails.h"

#include "render/part_pack.h"
#include "setpanel/set_model.h"

#include <QApplication>
#include <QPainter>

namespace orvane {
namespace {

constexpr int CardPixels = 62;
constexpr int Gap = 4;
// Kept pictures: about 20 MB of card pairs, whatever the set's size.
constexpr int CacheCards = 1200;

}  // namespace

SetThumbnails::SetThumbnails(CardSet& set, const QString& partsRoot, QObject* parent)
    : QStyledItemDelegate(parent), m_set(set), m_partsRoot(partsRoot), m_cache(CacheCards)
{
    m_parts = CardParts::load(partsRoot, &m_partsProblem);
    connect(&set, &CardSet::cardChanged, this, [this](quint64 id) { m_cache.remove(id); });
}

void SetThumbnails::reloadParts()
{
    ++m_reloads;
    QString problem;
    std::optional<CardParts> parts = CardParts::load(m_partsRoot, &problem);
    if (!parts && m_parts)
        return;
    m_parts = std::move(parts);
    m_partsProblem = problem;
    m_packParts.clear();
    m_installed.reset();
    m_cache.clear();
}

void SetThumbnails::setZoom(int zoom)
{
    m_zoom = std::clamp(zoom, MinZoom, MaxZoom);
}

const CardParts* SetThumbnails::partsFor(quint64 id) const
{
    if (!m_parts)
        return nullptr;
    const QString pack = m_set.packOf(id);
    if (pack.isEmpty())
        return &*m_parts;
    if (!m_installed)
        m_installed = installedPacks();
    // An installed pack by its name, as the card window chooses it; any other: built-in parts.
    QString folder;
    for (const InstalledPack& installed : std::as_const(*m_installed))
        if (installed.name.compare(pack, Qt::CaseInsensitive) == 0)
            folder = installed.folder;
    if (folder.isEmpty())
        return &*m_parts;
    auto kept = m_packParts.find(folder);
    if (kept == m_packParts.end())
        kept = m_packParts.insert(folder, loadPackParts(folder, 1, *m_parts).parts);
    return &kept.value();
}

const RenderedCard* SetThumbnails::pictures(quint64 id) const
{
    if (RenderedCard* kept = m_cache.object(id))
        return kept;
    const SetEntry* entry = m_set.entry(id);
    const CardParts* parts = partsFor(id);
    if (!entry || entry->isBad() || !parts)
        return nullptr;
    auto* made = new RenderedCard(renderCard(m_set.readyCard(id), *parts));
    ++m_made;
    m_cache.insert(id, made);
    return made;
}

QRect SetThumbnails::cardRect(const QRect& itemRect, bool second) const
{
    const int side = CardPixels * m_zoom;
    return {itemRect.left() + Gap + (second ? side + Gap : 0), itemRect.top() + Gap, side, side};
}

void SetThumbnails::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    opt.text.clear();
    opt.icon = QIcon();
    // The selection fills the whole cell: without text or icon the style would fill only an
    // empty text rectangle, leaving the caption in the selected text colour on the plain base.
    opt.showDecorationSelected = true;
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const int side = CardPixels * m_zoom;
    const QRect cards(option.rect.left() + Gap, option.rect.top() + Gap, side * 2 + Gap, side);
    const quint64 id = index.data(SetModel::IdRole).toULongLong();
    if (const RenderedCard* card = pictures(id)) {
        // Whole-pixel enlargement, no smoothing: every card pixel a sharp square.
        painter->save();
        painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter->drawImage(cardRect(option.rect, false), card->blue);
        painter->drawImage(cardRect(option.rect, true), card->red);
        painter->restore();
    } else {
        painter->fillRect(cards, QColor(0x80, 0, 0));
        painter->setPen(Qt::white);
        const QString text =
            m_parts ? index.siblingAtColumn(SetModel::Problem).data().toString() : m_partsProblem;
        painter->drawText(cards.adjusted(2, 2, -2, -2), Qt::TextWordWrap | Qt::AlignCenter, text);
    }
    const QRect label(option.rect.left(), cards.bottom() + 1, option.rect.width(),
                      option.rect.bottom() - cards.bottom());
    painter->setPen(opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                         : QPalette::Text));
    painter->drawText(label, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                      option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight,
                                                    label.width() - 2 * Gap));
}

QSize SetThumbnails::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    const int side = CardPixels * m_zoom;
    return {side * 2 + 3 * Gap, side + 2 * Gap + option.fontMetrics.height()};
}

}  // namespace orvane
