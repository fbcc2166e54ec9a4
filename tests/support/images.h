#pragma once

#include <QImage>

#include <initializer_list>

// Small synthetic pictures for pixel-exact tests.
inline QImage solid(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A picture whose every pixel is distinct and never pure black: (x + 1, y + 1, 7).
inline QImage gradient(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x + 1, y + 1, 7));
    return image;
}

inline QRgb rgb(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}
