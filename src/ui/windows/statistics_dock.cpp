// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/statistics_dock.h"

#include "card/card_statistics_report.h"
#include "windows/statistics_charts.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QScrollArea>
#include <QTableWidget>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace orvane;

namespace {

constexpr int CardRole = Qt::UserRole;

}  // namespace

StatisticsDock::StatisticsDock(QWidget* parent) : QDockWidget(tr("Statistics"), parent)
{
    setObjectName(QStringLiteral("dockStatistics"));
    auto* body = new QWidget(this);

    labStatisticsSummary = new QLabel(body);
    labStatisticsSummary->setObjectName(QStringLiteral("labStatisticsSummary"));
    labStatisticsSummary->setWordWrap(true);

    picStatisticsCharts = new StatisticsCharts(body);
    auto* scroll = new QScrollArea(body);
    scroll->setWidget(picStatisticsCharts);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);

    // The charts' numbers as text: one row a bar or direction.
    tblStatistics = new QTableWidget(0, 3, body);
    tblStatistics->setObjectName(QStringLiteral("tblStatistics"));
    tblStatistics->setAccessibleName(tr("Statistics as a table"));
    tblStatistics->setHorizontalHeaderLabels({tr("Chart"), tr("Value"), tr("Cards")});
    tblStatistics->verticalHeader()->hide();
    tblStatistics->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblStatistics->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblStatistics->horizontalHeader()->setStretchLastSection(true);

    tabStatistics = new QTabWidget(body);
    tabStatistics->setObjectName(QStringLiteral("tabStatistics"));
    tabStatistics->addTab(scroll, tr("Charts"));
    tabStatistics->addTab(tblStatistics, tr("Table"));

    auto* findingsCaption = new QLabel(tr("Findings (double click shows the card):"), body);
    lstStatisticsFindings = new QListWidget(body);
    lstStatisticsFindings->setObjectName(QStringLiteral("lstStatisticsFindings"));
    lstStatisticsFindings->setAccessibleName(tr("Findings"));
    findingsCaption->setBuddy(lstStatisticsFindings);

    auto* layout = new QVBoxLayout(body);
    layout->addWidget(labStatisticsSummary);
    layout->addWidget(tabStatistics, 3);
    layout->addWidget(findingsCaption);
    layout->addWidget(lstStatisticsFindings, 1);
    setWidget(body);

    connect(picStatisticsCharts, &StatisticsCharts::filterRequested, this,
            &StatisticsDock::filterRequested);
    connect(lstStatisticsFindings, &QListWidget::itemDoubleClicked, this,
            &StatisticsDock::askForCard);
    lstStatisticsFindings->installEventFilter(this);
    recount();
}

void StatisticsDock::askForCard(QListWidgetItem* item)
{
    if (item && item->data(CardRole).isValid())
        emit showCardRequested(item->data(CardRole).toInt());
}

bool StatisticsDock::eventFilter(QObject* watched, QEvent* event)
{
    // Enter on a finding asks for its card as a double click does.
    if (watched == lstStatisticsFindings && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            askForCard(lstStatisticsFindings->currentItem());
            return true;
        }
    }
    return QDockWidget::eventFilter(watched, event);
}

void StatisticsDock::setCards(const QList<Card>& cards, int badRows)
{
    m_cards = cards;
    m_badRows = badRows;
    m_stale = true;
    if (isVisible())
        recount();
}

void StatisticsDock::showEvent(QShowEvent* event)
{
    QDockWidget::showEvent(event);
    if (m_stale)
        recount();
}

void StatisticsDock::recount()
{
    m_stale = false;
    m_stats = cardStatistics(m_cards, m_badRows);
    labStatisticsSummary->setText(statisticsSummary(m_stats) + QLatin1Char('.'));
    picStatisticsCharts->setStatistics(m_stats);
    fillTable();
    fillFindings();
}

void StatisticsDock::fillTable()
{
    QList<QStringList> rows;
    for (const StatisticsTable& table : statisticsTables(m_stats)) {
        const qsizetype counts = table.header.size() - 1;
        for (const QStringList& row : table.rows) {
            if (table.title == QLatin1String("Totals"))
                rows.append({table.title, QStringLiteral("%1 (%2)").arg(row[0], row[1]), row[2]});
            else if (table.title == QLatin1String("Frames"))
                rows.append({table.title, QStringLiteral("%1 %2").arg(row[0], row[1]), row[2]});
            else if (counts == 1)
                rows.append({table.title, row[0], row[1]});
            else
                for (qsizetype c = 1; c <= counts; ++c)
                    rows.append({table.title, QStringLiteral("%1 %2").arg(table.header[c], row[0]),
                                 row[c]});
        }
    }
    tblStatistics->setRowCount(int(rows.size()));
    for (qsizetype r = 0; r < rows.size(); ++r)
        for (qsizetype c = 0; c < 3; ++c)
            tblStatistics->setItem(int(r), int(c), new QTableWidgetItem(rows[r][c]));
}

void StatisticsDock::fillFindings()
{
    lstStatisticsFindings->clear();
    if (m_stats.findings.isEmpty()) {
        auto* none = new QListWidgetItem(m_stats.cards == 0 ? tr("No cards to look at.")
                                                            : tr("No findings."));
        none->setFlags(Qt::ItemIsEnabled);
        lstStatisticsFindings->addItem(none);
        return;
    }
    for (const CardFinding& finding : m_stats.findings) {
        auto* item = new QListWidgetItem(
            QStringLiteral("%1: %2").arg(findingKindTitle(finding.kind), finding.text));
        item->setData(CardRole, finding.card);
        lstStatisticsFindings->addItem(item);
    }
}
