// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/scroll_bar.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionSlider>

ScrollBar::ScrollBar(QWidget* parent) : QScrollBar(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void ScrollBar::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Right: triggerAction(SliderSingleStepAdd); break;
    case Qt::Key_Left: triggerAction(SliderSingleStepSub); break;
    default: QScrollBar::keyPressEvent(event); return;
    }
    event->accept();
}

void ScrollBar::paintEvent(QPaintEvent* event)
{
    QScrollBar::paintEvent(event);
    if (!hasFocus())
        return;
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect thumb =
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    QPainter painter(this);
    QPen pen(palette().color(QPalette::WindowText), 1, Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(thumb.adjusted(2, 2, -3, -3));
}
