// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/statistics_charts.h"

#include "card/card_rules.h"
#include "card/card_statistics_report.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

using namespace orvane;

namespace {

constexpr qreal Margin = 8;
constexpr qreal TotalsHeight = 150;
constexpr qreal SidesHeight = 96;
constexpr qreal ElementsHeight = 96;
constexpr qreal ArrowsHeight = 124;

QString cardsText(int n)
{
    return n == 1 ? QStringLiteral("1 card") : QStringLiteral("%1 cards").arg(n);
}

// The arrow positions on a card, as columns and rows of a 3 x 3 grid (the middle left empty).
constexpr std::array<std::pair<int, int>, CardArrowCount> ArrowCells = {
    {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}}};

}  // namespace

StatisticsCharts::StatisticsCharts(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picStatisticsCharts"));
    setAccessibleName(tr("Statistics charts"));
    setMouseTracking(false);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void StatisticsCharts::setStatistics(const CardStatistics& stats)
{
    m_stats = stats;
    setAccessibleDescription(
        tr("%1. The numbers are in the table beside the charts.").arg(statisticsSummary(stats)));
    update();
}

QSize StatisticsCharts::sizeHint() const
{
    return {380, int(Margin * 6 + TotalsHeight + SidesHeight + ElementsHeight + ArrowsHeight)};
}

QSize StatisticsCharts::minimumSizeHint() const
{
    return {260, sizeHint().height()};
}

QList<StatisticsCharts::Chart> StatisticsCharts::charts() const
{
    using F = CardFilter::Field;
    const qreal inner = std::max<qreal>(qreal(width()) - 2 * Margin, 1);
    QList<Chart> charts;
    qreal y = Margin;

    // Each chart: a title line, then the bars side by side, a label line below them.
    const auto layBars = [](Chart& chart, qreal titleHeight) {
        const QRectF plot = chart.area.adjusted(0, titleHeight, 0, -titleHeight);
        const qreal step = plot.width() / qreal(std::max<qsizetype>(chart.marks.size(), 1));
        for (qsizetype k = 0; k < chart.marks.size(); ++k)
            chart.marks[k].rect =
                QRectF(plot.left() + step * qreal(k), plot.top(), step, plot.height());
    };
    const qreal line = fontMetrics().height();

    Chart totals{tr("Totals"), QRectF(Margin, y, inner, TotalsHeight), {}, {}, false};
    for (int total = LowestUsualTotal; total <= HighestUsualTotal; ++total)
        totals.marks.append(
            {{}, QString::number(total), m_stats.totals.value(total), {F::Total, total, 0}});
    layBars(totals, line);
    for (const FrameBand& band : frameBands()) {
        const QRectF first = totals.marks[band.lowest - LowestUsualTotal].rect;
        const QRectF last = totals.marks[band.highest - LowestUsualTotal].rect;
        totals.bands.append({first.united(last), band});
    }
    charts.append(totals);
    y += TotalsHeight + Margin;

    const qreal sideWidth = (inner - 3 * Margin) / 4;
    for (int side = 0; side < 4; ++side) {
        Chart chart{tr("Side %1").arg(statisticsSideName(side)),
                    QRectF(Margin + qreal(side) * (sideWidth + Margin), y, sideWidth, SidesHeight),
                    {},
                    {},
                    false};
        for (int value = LowestSideValue; value <= HighestSideValue; ++value)
            chart.marks.append({{},
                                sideText(value),
                                m_stats.sideValues[size_t(side)][size_t(value - 1)],
                                {F::SideValue, value, side}});
        layBars(chart, line);
        charts.append(chart);
    }
    y += SidesHeight + Margin;

    Chart elements{tr("Elements"), QRectF(Margin, y, inner, ElementsHeight), {}, {}, false};
    const int firstElement = m_stats.elementCount(NoElementChosen) > 0 ? NoElementChosen : 0;
    for (int element = firstElement; element < ElementOptionCount; ++element) {
        const QString caption = elementCaption(element);
        elements.marks.append({{},
                               caption.isEmpty() ? QStringLiteral("-") : caption.left(3),
                               m_stats.elementCount(element),
                               {F::Element, element, 0}});
    }
    layBars(elements, line);
    charts.append(elements);
    y += ElementsHeight + Margin;

    const qreal half = (inner - Margin) / 2;
    Chart arrows{tr("Arrows"), QRectF(Margin, y, half, ArrowsHeight), {}, {}, false};
    for (int n = 0; n <= CardArrowCount; ++n)
        arrows.marks.append(
            {{}, QString::number(n), m_stats.arrowCounts[size_t(n)], {F::ArrowCount, n, 0}});
    layBars(arrows, line);
    charts.append(arrows);

    Chart heat{tr("Arrow directions"),
               QRectF(Margin + half + Margin, y, half, ArrowsHeight),
               {},
               {},
               true};
    const qreal square = std::min(heat.area.width(), heat.area.height() - line - 4);
    const QRectF card(heat.area.left() + (heat.area.width() - square) / 2,
                      heat.area.top() + line + 2, square, square);
    const qreal cell = square / 3;
    for (int a = 0; a < CardArrowCount; ++a) {
        const auto [column, row] = ArrowCells[size_t(a)];
        heat.marks.append({QRectF(card.left() + cell * column, card.top() + cell * row, cell, cell),
                           arrowWord(a),
                           m_stats.arrowDirections[size_t(a)],
                           {F::ArrowDirection, a, 0}});
    }
    charts.append(heat);
    return charts;
}

QRectF StatisticsCharts::snapped(const QRectF& rect, qreal ratio) const
{
    const auto snap = [ratio](qreal v) { return std::round(v * ratio) / ratio; };
    const qreal left = snap(rect.left());
    const qreal top = snap(rect.top());
    return QRectF(left, top, snap(rect.right()) - left, snap(rect.bottom()) - top);
}

void StatisticsCharts::paintBars(QPainter& painter, const Chart& chart, qreal ratio) const
{
    const QPalette& colours = palette();
    QColor text = colours.color(QPalette::WindowText);
    const QColor bar = colours.color(QPalette::Highlight);
    const qreal line = fontMetrics().height();

    painter.setPen(text);
    painter.drawText(QRectF(chart.area.left(), chart.area.top(), chart.area.width(), line),
                     Qt::AlignLeft | Qt::AlignVCenter, chart.title);

    for (qsizetype k = 0; k < chart.bands.size(); ++k) {
        const auto& [rect, band] = chart.bands[k];
        QColor shade = text;
        shade.setAlphaF(k % 2 == 0 ? 0.06f : 0.14f);
        painter.fillRect(snapped(rect, ratio), shade);
        painter.setPen(text);
        painter.drawText(rect.adjusted(2, 1, -2, 0), Qt::AlignHCenter | Qt::AlignTop,
                         frameName(band.frame));
    }

    int highest = 0;
    for (const Mark& mark : chart.marks)
        highest = std::max(highest, mark.count);
    const bool everyLabel = chart.marks.size() <= 12;
    const qreal bandText = chart.bands.isEmpty() ? 0 : line;
    for (const Mark& mark : chart.marks) {
        if (mark.count > 0) {
            const qreal room = mark.rect.height() - bandText - line;
            const qreal height = std::max<qreal>(1, room * mark.count / highest);
            const QRectF column(mark.rect.left() + mark.rect.width() * 0.15,
                                mark.rect.bottom() - height, mark.rect.width() * 0.7, height);
            painter.fillRect(snapped(column, ratio), bar);
            if (everyLabel) {
                painter.setPen(text);
                painter.drawText(
                    QRectF(mark.rect.left() - 8, column.top() - line, mark.rect.width() + 16, line),
                    Qt::AlignHCenter | Qt::AlignBottom, QString::number(mark.count));
            }
        }
        const bool bandEdge =
            !chart.bands.isEmpty() &&
            std::any_of(chart.bands.begin(), chart.bands.end(), [&mark](const auto& b) {
                return mark.filter.value == b.second.lowest ||
                       mark.filter.value == b.second.highest;
            });
        const bool sparseLabel = mark.label == QLatin1String("1") ||
                                 mark.label == QLatin1String("5") ||
                                 mark.label == QLatin1String("A");
        if (everyLabel || bandEdge || (chart.bands.isEmpty() && sparseLabel)) {
            painter.setPen(text);
            painter.drawText(
                QRectF(mark.rect.left() - 8, mark.rect.bottom(), mark.rect.width() + 16, line),
                Qt::AlignHCenter | Qt::AlignTop, mark.label);
        }
    }
    text.setAlphaF(0.5f);
    painter.fillRect(snapped(QRectF(chart.area.left(), chart.marks.front().rect.bottom(),
                                    chart.area.width(), 1.0 / ratio),
                             ratio),
                     text);
}

void StatisticsCharts::paintHeatMap(QPainter& painter, const Chart& chart, qreal ratio) const
{
    const QPalette& colours = palette();
    const QColor text = colours.color(QPalette::WindowText);
    const qreal line = fontMetrics().height();
    painter.setPen(text);
    painter.drawText(QRectF(chart.area.left(), chart.area.top(), chart.area.width(), line),
                     Qt::AlignLeft | Qt::AlignVCenter, chart.title);

    int highest = 0;
    for (const Mark& mark : chart.marks)
        highest = std::max(highest, mark.count);
    QRectF card;
    for (const Mark& mark : chart.marks) {
        card = card.isNull() ? mark.rect : card.united(mark.rect);
        const QRectF cell = snapped(mark.rect.adjusted(1, 1, -1, -1), ratio);
        bool strong = false;
        if (mark.count > 0) {
            QColor heat = colours.color(QPalette::Highlight);
            const qreal share = qreal(mark.count) / highest;
            heat.setAlphaF(float(0.2 + 0.8 * share));
            strong = share > 0.5;
            painter.fillRect(cell, heat);
        }
        painter.setPen(strong ? colours.color(QPalette::HighlightedText) : text);
        painter.drawText(cell, Qt::AlignCenter, QString::number(mark.count));
    }
    // The card's outline, one device pixel wide, on whole device pixels.
    QPen outline(text);
    outline.setCosmetic(true);
    outline.setWidth(1);
    painter.setPen(outline);
    painter.setBrush(Qt::NoBrush);
    const QRectF edge = snapped(card, ratio);
    painter.drawRect(edge.adjusted(0.5 / ratio, 0.5 / ratio, -0.5 / ratio, -0.5 / ratio));
}

void StatisticsCharts::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const qreal ratio = std::max<qreal>(painter.device()->devicePixelRatioF(), 1);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const QList<Chart> laidOut = charts();
    for (const Chart& chart : laidOut) {
        if (chart.heatMap)
            paintHeatMap(painter, chart, ratio);
        else
            paintBars(painter, chart, ratio);
    }
    if (m_stats.cards == 0) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(laidOut.front().area, Qt::AlignCenter | Qt::TextWordWrap,
                         statisticsSummary(m_stats) + QLatin1Char('.'));
    }
}

std::optional<StatisticsCharts::Mark> StatisticsCharts::markAt(QPointF point) const
{
    for (const Chart& chart : charts())
        for (const Mark& mark : chart.marks)
            if (mark.rect.contains(point))
                return mark;
    return std::nullopt;
}

QRectF StatisticsCharts::placeOf(const CardFilter& filter) const
{
    for (const Chart& chart : charts())
        for (const Mark& mark : chart.marks)
            if (mark.filter == filter)
                return mark.rect;
    return {};
}

void StatisticsCharts::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    if (const std::optional<Mark> mark = markAt(event->position()))
        emit filterRequested(mark->filter);
}

bool StatisticsCharts::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (const std::optional<Mark> mark = markAt(help->pos()))
            QToolTip::showText(help->globalPos(),
                               tr("%1: %2").arg(mark->filter.description(), cardsText(mark->count)),
                               this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}
