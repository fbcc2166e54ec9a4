// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card.h"
#include "card/card_statistics.h"

#include <QDockWidget>
#include <QList>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QTabWidget;
class QTableWidget;
class StatisticsCharts;

// The Statistics dock: the balance of a list of cards (the open set, or the cards its filter
// shows) as charts, the same numbers as a table for screen readers, and the findings. It only
// shows what it is given: the window that owns it hands over the cards after each change and
// applies the filters and card requests it sends. Nothing runs while nothing changes, and a
// hidden dock counts only when it is shown again.
class StatisticsDock : public QDockWidget {
    Q_OBJECT
public:
    explicit StatisticsDock(QWidget* parent = nullptr);

    // The cards to count, in the order the card requests refer to, and the deck rows that could
    // not be read.
    void setCards(const QList<orvane::Card>& cards, int badRows);
    const orvane::CardStatistics& statistics() const { return m_stats; }

    StatisticsCharts* charts() const { return picStatisticsCharts; }

signals:
    // The card at `index` of the list given, from a double click (or Enter) on a finding.
    void showCardRequested(int index);
    // The cards a click on a bar or an arrow direction stands for.
    void filterRequested(const orvane::CardFilter& filter);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void askForCard(QListWidgetItem* item);
    void recount();
    void fillTable();
    void fillFindings();

    QLabel* labStatisticsSummary = nullptr;
    QTabWidget* tabStatistics = nullptr;
    StatisticsCharts* picStatisticsCharts = nullptr;
    QTableWidget* tblStatistics = nullptr;
    QListWidget* lstStatisticsFindings = nullptr;

    QList<orvane::Card> m_cards;
    int m_badRows = 0;
    bool m_stale = true;
    orvane::CardStatistics m_stats;
};
