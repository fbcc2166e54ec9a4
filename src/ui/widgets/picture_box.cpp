// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/picture_box.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget* parent, const QRect& geometry, bool border,
                       const QColor& background)
    : QWidget(parent), m_background(background), m_border(border)
{
    setGeometry(geometry);
    const int inset = 2 * borderWidth();
    m_emptySize =
        QSize(std::max(0, geometry.width() - inset), std::max(0, geometry.height() - inset));
    m_image = QImage(m_emptySize, QImage::Format_RGB32);
    m_image.fill(m_background);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::clearPicture()
{
    m_pictureTag = 0;
    m_hasPicture = false;
    m_image = QImage(m_emptySize, QImage::Format_RGB32);
    m_image.fill(m_background);
    if (m_autoSize)
        resize(m_emptySize.width() + 2 * borderWidth(), m_emptySize.height() + 2 * borderWidth());
    update();
}

void PictureBox::setPicture(const QImage& picture, quint64 tag)
{
    m_pictureTag = tag;
    m_hasPicture = true;
    const QImage rgb = picture.format() == QImage::Format_RGB32
                           ? picture
                           : picture.convertToFormat(QImage::Format_RGB32);
    if (m_autoSize) {
        // Shared until either side draws (QImage copies on the first write), so a picture handed
        // over and then dropped by the caller is never copied.
        m_image = rgb;
        const int inset = 2 * borderWidth();
        resize(m_image.width() + inset, m_image.height() + inset);
    } else {
        m_image.fill(m_background);
        QPainter painter(&m_image);
        painter.drawImage(0, 0, rgb);
    }
    update();
}

void PictureBox::Refresh()
{
    if (isVisible())
        repaint();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int b = borderWidth();
    if (b > 0) {
        // The classic sunken edge: shadow above and left, light below and right.
        const int w = width(), h = height();
        painter.fillRect(rect(), m_background);
        painter.setPen(QColor(128, 128, 128));
        painter.drawLine(0, 0, w - 2, 0);
        painter.drawLine(0, 0, 0, h - 2);
        painter.setPen(QColor(64, 64, 64));
        painter.drawLine(1, 1, w - 3, 1);
        painter.drawLine(1, 1, 1, h - 3);
        painter.setPen(Qt::white);
        painter.drawLine(0, h - 1, w - 1, h - 1);
        painter.drawLine(w - 1, 0, w - 1, h - 1);
        painter.setPen(QColor(212, 208, 200));
        painter.drawLine(1, h - 2, w - 2, h - 2);
        painter.drawLine(w - 2, 1, w - 2, h - 2);
    }
    painter.drawImage(b, b, m_image);
    if (hasFocus()) {
        // A box is a tab stop: a dotted mark in two tones shows the focus on any picture.
        const QRect mark = rect().adjusted(b + 1, b + 1, -b - 2, -b - 2);
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(mark);
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(mark);
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}
