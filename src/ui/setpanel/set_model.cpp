// SPDX-License-Identifier: GPL-3.0-or-later
#include "setpanel/set_model.h"

#include "card/card_rules.h"

#include <QDataStream>
#include <QFileInfo>
#include <QHash>
#include <QMimeData>

#include <map>

namespace orvane {
namespace {

QString sidesText(const Card& card)
{
    return QStringList{card.sides[0], card.sides[1], card.sides[2], card.sides[3]}.join(
        QLatin1Char(' '));
}

QString arrowsText(const Card& card)
{
    QStringList words;
    for (int i = 0; i < CardArrowCount; ++i)
        if (card.arrows[size_t(i)])
            words << arrowWord(i);
    return words.join(QLatin1Char(' '));
}

}  // namespace

QString cardCount(int n)
{
    return n == 1 ? SetModel::tr("1 card") : SetModel::tr("%1 cards").arg(n);
}

SetModel::SetModel(CardSet& set, QObject* parent) : QAbstractTableModel(parent), m_set(set)
{
    connect(&set, &CardSet::cardsReset, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(&set, &CardSet::cardChanged, this, [this](quint64 id) {
        const int row = m_set.indexOf(id);
        if (row >= 0)
            emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    });
}

int SetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_set.count();
}

int SetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_set.count())
        return {};
    const SetEntry& e = m_set.entries()[index.row()];
    const Card& card = e.card;
    const int total = e.isBad() ? -1 : cardTotal(card.sides);
    switch (role) {
    case IdRole: return QVariant::fromValue(e.id);
    case ElementRole: return e.isBad() ? -2 : card.element;
    case TotalRole: return total;
    case Qt::ToolTipRole:
        return e.isBad() ? data(index.siblingAtColumn(Problem), Qt::DisplayRole) : QVariant();
    case SortRole:
        if (index.column() == Total)
            return total;
        if (index.column() == Arrows)
            return card.arrowCount();
        if (index.column() == Copies)
            return e.isBad() ? -1 : e.copies;
        return data(index, Qt::DisplayRole);
    case Qt::EditRole:
    case Qt::DisplayRole: break;
    default: return {};
    }
    switch (index.column()) {
    case Name:
        // A card not saved yet as it is shows a mark, as the title bar does for the set.
        return role == Qt::DisplayRole && m_set.isChanged(e.id) ? card.name + QStringLiteral(" *")
                                                                : card.name;
    case Sides: return e.isBad() ? QString() : sidesText(card);
    case Total: return e.isBad() ? QString() : QString::number(total);
    case Element:
        return e.isBad() || card.element == NoElementChosen ? QString()
                                                            : elementCaption(card.element);
    case Arrows: return e.isBad() ? QString() : arrowsText(card);
    case Copies: return e.isBad() ? QString() : QString::number(e.copies);
    case Picture:
        if (e.pictureChanged)
            return card.mainPicture.isNull() ? QString() : tr("(new picture)");
        return QFileInfo(card.mainPicturePath).fileName();
    case Problem:
        if (!e.isBad())
            return QString();
        return e.problemColumn.isEmpty()
                   ? tr("line %1: %2").arg(e.line).arg(e.problem)
                   : tr("line %1, column %2: %3").arg(e.line).arg(e.problemColumn, e.problem);
    default: return {};
    }
}

QVariant SetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* names[ColumnCount] = {"Name",   "Sides",   "Total",  "Element",
                                             "Arrows", "Picture", "Copies", "Problem"};
    return section >= 0 && section < ColumnCount ? tr(names[section]) : QVariant();
}

Qt::ItemFlags SetModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index) | Qt::ItemIsDropEnabled;
    if (!index.isValid())
        return flags;
    flags |= Qt::ItemIsDragEnabled;
    if ((index.column() == Name || index.column() == Copies) &&
        !m_set.entries()[index.row()].isBad())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool SetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || index.row() >= m_set.count())
        return false;
    const quint64 id = m_set.entries()[index.row()].id;
    if (index.column() == Copies) {
        const std::optional<int> copies = copiesFromText(value.toString());
        if (!copies || !m_set.setCopies(id, *copies)) {
            emit copiesRefused(tr("Copies must be a whole number from 0 to %1 (0 leaves the card "
                                  "out of prints), not \"%2\".")
                                   .arg(MaxCardCopies)
                                   .arg(value.toString().trimmed()));
            return false;
        }
        return true;
    }
    if (index.column() != Name)
        return false;
    QString problem;
    if (!m_set.renameCard(id, value.toString(), &problem)) {
        emit renameRefused(problem);
        return false;
    }
    return true;
}

Qt::DropActions SetModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

QStringList SetModel::mimeTypes() const
{
    return {QLatin1String(IdsType)};
}

QMimeData* SetModel::mimeData(const QModelIndexList& indexes) const
{
    QList<quint64> ids;
    for (const QModelIndex& index : indexes) {
        const quint64 id = index.data(IdRole).toULongLong();
        if (!ids.contains(id))
            ids << id;
    }
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << ids;
    auto* data = new QMimeData;
    data->setData(QLatin1String(IdsType), bytes);
    return data;
}

bool SetModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                            const QModelIndex& parent)
{
    if (action != Qt::MoveAction || !data->hasFormat(QLatin1String(IdsType)))
        return false;
    QList<quint64> ids;
    QDataStream stream(data->data(QLatin1String(IdsType)));
    stream >> ids;
    const int target = row >= 0 ? row : parent.isValid() ? parent.row() : m_set.count();
    m_set.moveCards(ids, target);
    // The set moved the rows itself: the view must not remove the dragged ones.
    return false;
}

void SetFilterModel::setText(const QString& text)
{
    m_text = text.trimmed();
    invalidateFilter();
}

void SetFilterModel::setElement(int element)
{
    m_element = element;
    invalidateFilter();
}

void SetFilterModel::setTotal(int total)
{
    m_total = total;
    invalidateFilter();
}

void SetFilterModel::setCardFilter(const CardFilter& filter)
{
    m_cardFilter = filter;
    invalidateFilter();
}

bool SetFilterModel::filterAcceptsRow(int row, const QModelIndex& parent) const
{
    const QModelIndex first = sourceModel()->index(row, 0, parent);
    const int element = first.data(SetModel::ElementRole).toInt();
    // "None" is the element option None and a card with no element chosen alike.
    const bool noElement = element == ElementNone || element == NoElementChosen;
    if (m_element != AnyElement && element != m_element && !(m_element == ElementNone && noElement))
        return false;
    if (m_cardFilter.field != CardFilter::Field::None) {
        const QList<SetEntry>& entries = static_cast<const SetModel*>(sourceModel())->set().entries();
        if (row >= entries.size() || entries[row].isBad() || !m_cardFilter.matches(entries[row].card))
            return false;
    }
    if (m_total >= 0 && first.data(SetModel::TotalRole).toInt() != m_total)
        return false;
    if (m_text.isEmpty())
        return true;
    // Not the copies column: nearly every card's "1" would match any text holding a 1.
    for (int column = 0; column < SetModel::ColumnCount; ++column) {
        if (column == SetModel::Copies)
            continue;
        if (sourceModel()
                ->index(row, column, parent)
                .data(Qt::EditRole)
                .toString()
                .contains(m_text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString SetFilterModel::counts() const
{
    // Straight from the cards: a count runs after every change of a set of thousands.
    const auto* model = static_cast<const SetModel*>(sourceModel());
    const QList<SetEntry>& entries = model->set().entries();
    std::map<QString, int> byElement;
    std::map<int, int> byTotal;
    QHash<int, QString> names;
    for (int row = 0; row < rowCount(); ++row) {
        const int source = mapToSource(index(row, 0)).row();
        if (source < 0 || source >= entries.size())
            continue;
        const SetEntry& e = entries[source];
        const int element = e.isBad() ? -2 : e.card.element;
        auto name = names.find(element);
        if (name == names.end())
            name = names.insert(element, element == -2                ? tr("bad rows")
                                         : element == NoElementChosen ? tr("no element")
                                                                      : elementCaption(element));
        ++byElement[*name];
        if (!e.isBad())
            ++byTotal[cardTotal(e.card.sides)];
    }
    QStringList elements;
    for (const auto& [name, n] : byElement)
        elements << QStringLiteral("%1 %2").arg(name).arg(n);
    QStringList totals;
    for (const auto& [total, n] : byTotal)
        totals << QStringLiteral("%1: %2").arg(total).arg(n);
    QString text = cardCount(rowCount());
    if (!elements.isEmpty())
        text += QStringLiteral(": ") + elements.join(QStringLiteral(", "));
    if (!totals.isEmpty())
        text += tr(" · totals ") + totals.join(QStringLiteral(", "));
    return text;
}

}  // namespace orvane
