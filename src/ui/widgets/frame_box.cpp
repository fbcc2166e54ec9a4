// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/frame_box.h"

#include <QPainter>
#include <QStylePainter>

FrameBox::FrameBox(QWidget* parent) : QGroupBox(parent)
{
    // The kept picture covers every pixel, the parent's background included.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool FrameBox::Look::operator==(const Look& other) const
{
    const QStyleOptionGroupBox& a = option;
    const QStyleOptionGroupBox& b = other.option;
    return a.rect == b.rect && a.state == b.state && a.direction == b.direction &&
           a.palette == b.palette &&
           a.palette.currentColorGroup() == b.palette.currentColorGroup() &&
           a.features == b.features && a.text == b.text && a.textAlignment == b.textAlignment &&
           a.textColor == b.textColor && a.lineWidth == b.lineWidth &&
           a.midLineWidth == b.midLineWidth && a.subControls == b.subControls &&
           a.activeSubControls == b.activeSubControls && font == other.font &&
           pixelRatio == other.pixelRatio && style == other.style && background == other.background;
}

QBrush FrameBox::parentBackground() const
{
    // What the window paints under a frame: the brush of the nearest container that fills its
    // background (the window itself fills it always).
    for (const QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (w->autoFillBackground() || w->isWindow())
            return w->palette().brush(w->backgroundRole());
    return palette().brush(QPalette::Window);
}

FrameBox::Look FrameBox::currentLook() const
{
    Look look;
    initStyleOption(&look.option);
    look.font = font();
    look.pixelRatio = devicePixelRatioF();
    look.style = style();
    look.background = parentBackground();
    return look;
}

void FrameBox::drawLook(const Look& look)
{
    m_picture = QImage((QSizeF(size()) * look.pixelRatio).toSize(), QImage::Format_RGB32);
    m_picture.setDevicePixelRatio(look.pixelRatio);
    {
        QPainter background(&m_picture);
        background.fillRect(rect(), look.background);
    }
    // Drawn as the group box draws itself: a painter set up from the widget (its font at the
    // widget's screen resolution, not the picture's), on the background the window paints
    // under it.
    QStylePainter painter(&m_picture, this);
    painter.setFont(QFont(font(), this));
    painter.drawComplexControl(QStyle::CC_GroupBox, look.option);
    m_look = look;
    ++m_drawCount;
}

void FrameBox::paintEvent(QPaintEvent*)
{
    const Look look = currentLook();
    if (m_picture.isNull() || !(look == m_look))
        drawLook(look);
    // The painter is clipped to the part to repaint: only that part is copied.
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_picture);
}
