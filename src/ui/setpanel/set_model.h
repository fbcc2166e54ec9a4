// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card_statistics.h"
#include "set/card_set.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

namespace orvane {

// "1 card", "12 cards".
QString cardCount(int n);

// The cards of a set as table rows, for the set panel's table and thumbnails. The name column
// is edited in place (a rename, refused with the reason when the name is not allowed), and so is
// the copies column (a whole number 0-99, anything else refused); rows are dragged to another
// place.
class SetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Name, Sides, Total, Element, Arrows, Picture, Copies, Problem, ColumnCount };
    static constexpr int IdRole = Qt::UserRole + 1;       // the card's id (quint64)
    static constexpr int SortRole = Qt::UserRole + 2;     // numbers sort as numbers
    static constexpr int ElementRole = Qt::UserRole + 3;  // the element index (bad row: -2)
    static constexpr int TotalRole = Qt::UserRole + 4;    // the card total (bad row: -1)
    static constexpr const char* IdsType = "application/x-orvane-set-rows";

    explicit SetModel(CardSet& set, QObject* parent = nullptr);

    CardSet& set() const { return m_set; }
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

signals:
    // A rename was refused: why.
    void renameRefused(const QString& problem);
    // A copies count was refused: why.
    void copiesRefused(const QString& problem);

private:
    CardSet& m_set;
};

// What the panel shows: the cards whose name or any cell holds the text, of one element and of
// one total (each filter off when empty / -1).
class SetFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    static constexpr int AnyElement = -100;

    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setText(const QString& text);
    void setElement(int element);  // AnyElement: any
    void setTotal(int total);      // -1: any
    // The cards a click on a statistics chart stands for (Field::None: off); bad rows are out
    // while it is on.
    void setCardFilter(const CardFilter& filter);
    const CardFilter& cardFilter() const { return m_cardFilter; }

    // Whether the set's row `setRow` passes the filters as they are now.
    bool accepts(int setRow) const { return setRow >= 0 && filterAcceptsRow(setRow, {}); }

    // "12 cards: Fire 3, Water 9 · totals 20: 4, 21: 8" for the shown rows.
    QString counts() const;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

private:
    QString m_text;
    int m_element = AnyElement;
    int m_total = -1;
    CardFilter m_cardFilter;
};

}  // namespace orvane
