// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>
#include <QImage>
#include <QPalette>
#include <QStyleOptionGroupBox>

// A group box that draws its frame and caption once and keeps the picture. A control inside a
// frame that changes repaints the part of the frame behind it; that part is copied from the
// kept picture instead of drawn again (drawing the caption lays out its text every time). The
// picture is drawn over the background of the frame's parent and is opaque: nothing lower in
// the parent may lie under a frame.
class FrameBox : public QGroupBox {
    Q_OBJECT
public:
    explicit FrameBox(QWidget* parent = nullptr);

    // How often the frame was drawn rather than copied.
    int drawCount() const { return m_drawCount; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Everything the drawn look depends on: the style's option, the font and the pixel density.
    struct Look {
        QStyleOptionGroupBox option;
        QFont font;
        qreal pixelRatio = 0;
        const QStyle* style = nullptr;
        QBrush background;
        bool operator==(const Look& other) const;
    };
    Look currentLook() const;
    QBrush parentBackground() const;
    void drawLook(const Look& look);

    Look m_look;
    QImage m_picture;
    int m_drawCount = 0;
};
