// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/zoom_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

ZoomView::ZoomView(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::OpenHandCursor);
}

void ZoomView::setPicture(const QImage& picture, bool smooth)
{
    m_picture = picture;
    m_smooth = smooth;
    update();
}

double ZoomView::scale() const
{
    if (m_picture.isNull())
        return 1.0;
    const double s =
        std::min(double(width()) / m_picture.width(), double(height()) / m_picture.height());
    // Sharp pictures get a whole zoom factor when they fit at least once, so no pixel is wider
    // than its neighbour.
    return !m_smooth && s >= 1.0 ? std::floor(s) : s;
}

QRectF ZoomView::pictureRect() const
{
    const double s = scale();
    const QSizeF size(m_picture.width() * s, m_picture.height() * s);
    return {QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size};
}

QPointF ZoomView::toPicture(QPointF widgetPosition) const
{
    return (widgetPosition - pictureRect().topLeft()) / scale();
}

void ZoomView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    if (m_picture.isNull())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform, m_smooth);
    painter.drawImage(pictureRect(), m_picture);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

void ZoomView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    m_dragging = true;
    m_pressAt = event->position();
    setCursor(Qt::ClosedHandCursor);
    const QPointF at = toPicture(event->position());
    emit pressed(QPoint(int(std::floor(at.x())), int(std::floor(at.y()))));
}

void ZoomView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging)
        emit dragged((event->position() - m_pressAt) / scale());
}

void ZoomView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_dragging)
        return;
    m_dragging = false;
    setCursor(Qt::OpenHandCursor);
    emit released();
}

void ZoomView::keyPressEvent(QKeyEvent* event)
{
    const int step = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
    switch (event->key()) {
    case Qt::Key_Left: emit arrowPressed(-step, 0); break;
    case Qt::Key_Right: emit arrowPressed(step, 0); break;
    case Qt::Key_Up: emit arrowPressed(0, -step); break;
    case Qt::Key_Down: emit arrowPressed(0, step); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}
