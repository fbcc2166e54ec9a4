// SPDX-License-Identifier: GPL-3.0-or-later
// The Statistics dock: its numbers as table text, the findings and the card they ask for, the
// filters a click on a chart sends, painting at one and two device pixels a pixel in a light and
// a dark palette, an empty set, and no work while nothing changes.
#include "support/card_maker.h"
#include "support/event_counter.h"
#include "windows/statistics_charts.h"
#include "windows/statistics_dock.h"

#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QTableWidget>
#include <QtTest>

using namespace orvane;

namespace {

Card card(const char* name, int element, std::array<const char*, 4> sides,
          std::initializer_list<int> arrows = {})
{
    return makeCard(name, element, sides, arrows);
}

// Dragon dominates Slime (index 1); Twin 2 (index 3) duplicates Twin.
QList<Card> knownCards()
{
    return {card("Dragon", 0, {"A", "A", "A", "A"}, {1, 6}),
            card("Slime", 0, {"1", "1", "1", "1"}, {1}), card("Twin", 1, {"5", "5", "5", "5"}),
            card("Twin 2", 1, {"5", "5", "5", "5"})};
}

QStringList tableRows(const QTableWidget* table)
{
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r)
        rows << table->item(r, 0)->text() + " | " + table->item(r, 1)->text() + " | " +
                    table->item(r, 2)->text();
    return rows;
}

QImage paintedAt(StatisticsCharts* charts, qreal ratio)
{
    QImage image(charts->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    charts->render(&image);
    return image;
}

}  // namespace

class StatisticsDockTest : public QObject {
    Q_OBJECT
private slots:
    void tableAndFindingsOfAKnownSet()
    {
        QMainWindow window;
        auto* dock = new StatisticsDock(&window);
        window.addDockWidget(Qt::RightDockWidgetArea, dock);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        dock->setCards(knownCards(), 3);

        QCOMPARE(dock->findChild<QLabel*>("labStatisticsSummary")->text(),
                 "4 cards; 3 bad rows not counted.");
        const QStringList rows = tableRows(dock->findChild<QTableWidget*>("tblStatistics"));
        for (const char* row :
             {"Totals | 4 (Monster) | 1", "Totals | 20 (Boss) | 2", "Frames | GF 21-25 | 0",
              "Sides | Up A | 1", "Sides | Down 5 | 2", "Elements | Water | 2", "Arrows | 2 | 1",
              "Arrow directions | up | 2"})
            QVERIFY2(rows.contains(QString::fromUtf8(row)), row);

        auto* findings = dock->findChild<QListWidget*>("lstStatisticsFindings");
        QCOMPARE(findings->count(), 2);
        QCOMPARE(findings->item(0)->text(), "Dominated: Slime is dominated by Dragon (Fire)");
        QCOMPARE(findings->item(1)->text(), "Duplicates: Twin 2 duplicates Twin");

        QSignalSpy shown(dock, &StatisticsDock::showCardRequested);
        // The list's own double click signal (the offscreen platform's synthetic double
        // click does not reach item views), then Enter on the current finding.
        for (const int row : {0, 1})
            emit findings->itemDoubleClicked(findings->item(row));
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0][0].toInt(), 1);
        QCOMPARE(shown[1][0].toInt(), 3);
        findings->setCurrentRow(0);
        QTest::keyClick(findings, Qt::Key_Return);
        QCOMPARE(shown.size(), 3);
        QCOMPARE(shown[2][0].toInt(), 1);

        // An edit: the numbers follow at once.
        QList<Card> edited = knownCards();
        edited[1].sides = {"A", "A", "A", "A"};
        edited[1].arrows[6] = true;
        dock->setCards(edited, 0);
        QCOMPARE(dock->statistics().totals.value(40), 2);
        QCOMPARE(findings->item(0)->text(), "Duplicates: Slime duplicates Dragon");
    }

    void clickingAChartSendsItsFilter()
    {
        using F = CardFilter::Field;
        StatisticsDock dock;
        dock.resize(420, 900);
        dock.show();
        dock.setCards(knownCards(), 0);
        StatisticsCharts* charts = dock.charts();
        QSignalSpy filters(&dock, &StatisticsDock::filterRequested);
        const CardFilter wanted[] = {{F::Total, 20, 0},     {F::Total, 33, 0},
                                     {F::SideValue, 5, 2},  {F::Element, 1, 0},
                                     {F::ArrowCount, 0, 0}, {F::ArrowDirection, 6, 0}};
        for (const CardFilter& filter : wanted) {
            const QRectF place = charts->placeOf(filter);
            QVERIFY2(!place.isEmpty(), qPrintable(filter.description()));
            QTest::mouseClick(charts, Qt::LeftButton, {}, place.center().toPoint());
        }
        QCOMPARE(filters.size(), qsizetype(std::size(wanted)));
        for (qsizetype k = 0; k < filters.size(); ++k)
            QCOMPARE(filters[k][0].value<CardFilter>(), wanted[k]);
        // Between the charts nothing is asked.
        QTest::mouseClick(charts, Qt::LeftButton, {}, QPoint(1, 1));
        QCOMPARE(filters.size(), qsizetype(std::size(wanted)));
    }

    void paintsCrisplyInLightAndDarkAtOneAndTwo()
    {
        StatisticsCharts charts;
        charts.resize(charts.sizeHint());
        CardStatistics stats = cardStatistics(knownCards(), 0);
        charts.setStatistics(stats);
        for (const bool dark : {false, true}) {
            QPalette palette;
            palette.setColor(QPalette::Window, dark ? QColor(30, 30, 30) : QColor(250, 250, 250));
            palette.setColor(QPalette::WindowText,
                             dark ? QColor(230, 230, 230) : QColor(20, 20, 20));
            palette.setColor(QPalette::Highlight, dark ? QColor(80, 160, 255) : QColor(0, 90, 200));
            charts.setPalette(palette);
            for (const qreal ratio : {1.0, 2.0}) {
                const QImage image = paintedAt(&charts, ratio);
                // The bar of total 20 (two cards, the highest) is filled with the bar colour
                // alone, edge to edge: no pixel of it is blended with the background.
                const QRectF place = charts.placeOf({CardFilter::Field::Total, 20, 0});
                const QColor bar = palette.color(QPalette::Highlight);
                const QPoint low =
                    (QPointF(place.center().x(), place.bottom() - 2) * ratio).toPoint();
                QCOMPARE(image.pixelColor(low), bar);
                int barPixels = 0;
                for (int x = int(place.left() * ratio); x < int(place.right() * ratio); ++x) {
                    const QColor c = image.pixelColor(x, low.y());
                    QVERIFY2(c == bar || c.red() == c.green(), "a blended bar edge");
                    barPixels += c == bar ? 1 : 0;
                }
                QVERIFY(barPixels >= int(ratio * place.width() * 0.6));
            }
        }
    }

    void emptySetShowsEmptyChartsWithASentence()
    {
        StatisticsDock dock;
        dock.show();
        dock.setCards({}, 2);
        QCOMPARE(dock.findChild<QLabel*>("labStatisticsSummary")->text(),
                 "No cards to count; 2 bad rows not counted.");
        auto* findings = dock.findChild<QListWidget*>("lstStatisticsFindings");
        QCOMPARE(findings->count(), 1);
        QCOMPARE(findings->item(0)->text(), "No cards to look at.");
        QSignalSpy shown(&dock, &StatisticsDock::showCardRequested);
        emit findings->itemDoubleClicked(findings->item(0));
        findings->setCurrentRow(0);
        QTest::keyClick(findings, Qt::Key_Return);
        QCOMPARE(shown.size(), 0);
        const QStringList rows = tableRows(dock.findChild<QTableWidget*>("tblStatistics"));
        QVERIFY(rows.contains("Arrows | 0 | 0"));
        for (const qreal ratio : {1.0, 2.0})
            QVERIFY(!paintedAt(dock.charts(), ratio).isNull());
    }

    void hiddenDockCountsWhenShownAndIdlesOtherwise()
    {
        StatisticsDock dock;
        dock.setCards(knownCards(), 0);
        QCOMPARE(dock.statistics().cards, 0);  // hidden: not counted yet
        dock.show();
        QCOMPARE(dock.statistics().cards, 4);
        QVERIFY(QTest::qWaitForWindowExposed(&dock));
        QTest::qWait(100);  // let the first paints pass
        EventCounter counter;
        QTest::qWait(300);
        QVERIFY2(counter.events == 0, qPrintable(counter.seen.join(", ")));
    }
};

QTEST_MAIN(StatisticsDockTest)
#include "statistics_dock_test.moc"
