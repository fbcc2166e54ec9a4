// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

// Shows a picture scaled to fit the widget, centred, and reports presses, drags and arrow keys
// in the picture's own pixels, so a window can pick a pixel or move the picture by dragging.
class ZoomView : public QWidget {
    Q_OBJECT
public:
    explicit ZoomView(QWidget* parent = nullptr);

    // `smooth`: filtered for photos; otherwise every picture pixel a sharp square.
    void setPicture(const QImage& picture, bool smooth);
    const QImage& picture() const { return m_picture; }

    // Where the picture is drawn, and the picture position under a widget position.
    QRectF pictureRect() const;
    QPointF toPicture(QPointF widgetPosition) const;
    bool dragging() const { return m_dragging; }

signals:
    void pressed(QPoint picturePixel);
    // The movement since the press, in picture pixels.
    void dragged(QPointF movement);
    void released();
    // An arrow key: one pixel, with Shift ten.
    void arrowPressed(int dx, int dy);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    double scale() const;

    QImage m_picture;
    bool m_smooth = false;
    bool m_dragging = false;
    QPointF m_pressAt;
};
