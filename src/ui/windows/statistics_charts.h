// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/card_statistics.h"

#include <optional>
#include <QList>
#include <QRectF>
#include <QWidget>

// The charts of a set's statistics, painted from the palette (readable light or dark) with
// edges on whole device pixels at any screen scale: the totals with their frame bands, the
// values of each side, the elements, the number of arrows and a heat map of arrow directions
// on a card outline. A click on a bar or a direction asks for the cards it stands for.
class StatisticsCharts : public QWidget {
    Q_OBJECT
public:
    explicit StatisticsCharts(QWidget* parent = nullptr);

    void setStatistics(const orvane::CardStatistics& stats);
    const orvane::CardStatistics& statistics() const { return m_stats; }

    // The place of the bar or direction a filter stands for, in widget coordinates (empty when
    // there is none): for tests and tools.
    QRectF placeOf(const orvane::CardFilter& filter) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void filterRequested(const orvane::CardFilter& filter);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    // One bar or direction: where it is, what it counts, which cards it stands for.
    struct Mark {
        QRectF rect;
        QString label;
        int count = 0;
        orvane::CardFilter filter;
    };
    // One chart: its title, its frame and its marks; `bands` only for the totals.
    struct Chart {
        QString title;
        QRectF area;
        QList<Mark> marks;
        QList<std::pair<QRectF, orvane::FrameBand>> bands;
        bool heatMap = false;
    };

    // Every chart laid out in the widget's size: painting and clicks use the same places.
    QList<Chart> charts() const;
    // `ratio`: device pixels per logical pixel of the surface painted on.
    void paintBars(QPainter& painter, const Chart& chart, qreal ratio) const;
    void paintHeatMap(QPainter& painter, const Chart& chart, qreal ratio) const;
    QRectF snapped(const QRectF& rect, qreal ratio) const;
    std::optional<Mark> markAt(QPointF point) const;

    orvane::CardStatistics m_stats;
};

Q_DECLARE_METATYPE(orvane::CardFilter)
