// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

// A picture box: a widget that owns a persistent 32-bit image of its interior. Drawing goes into
// that image and Refresh() shows it at once. With auto-size on, loading a picture makes the box
// the picture's size plus its border, keeping the upper-left corner where it is.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    static constexpr int SunkenBorder = 2;

    PictureBox(QWidget* parent, const QRect& geometry, bool border, const QColor& background);

    // Makes `picture` the box's picture. `tag` identifies where it came from (0: unknown).
    void setPicture(const QImage& picture, quint64 tag = 0);
    // Empties the box: its background colour at the size it was made with.
    void clearPicture();
    quint64 pictureTag() const { return m_pictureTag; }
    // False until a picture is put in: the box shows only its background colour.
    bool hasPicture() const { return m_hasPicture; }

    // The drawing surface (the persistent image of the interior).
    QImage& image() { return m_image; }
    const QImage& image() const { return m_image; }

    int ScaleWidth() const { return m_image.width(); }
    int ScaleHeight() const { return m_image.height(); }
    int borderWidth() const { return m_border ? SunkenBorder : 0; }

    void setAutoSize(bool on) { m_autoSize = on; }
    bool autoSize() const { return m_autoSize; }

    void Refresh();

signals:
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage m_image;
    QColor m_background;
    bool m_border = true;
    bool m_autoSize = true;
    quint64 m_pictureTag = 0;
    bool m_hasPicture = false;
    QSize m_emptySize;
};
