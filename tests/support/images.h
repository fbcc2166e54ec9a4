// SPDX-License-Identifier: GPL-3.0-or-later
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

// A picture to prepare: a slightly uneven green background around a subject of distinct
// colours with a pure black outline, so that the size, pan, key, tolerance and keep_dark each
// change the card.
inline QImage framedSubject(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool subject = x >= w / 4 && x < w * 3 / 4 && y >= h / 4 && y < h * 3 / 4;
            const bool outline =
                subject && (x == w / 4 || y == h / 4 || x == w * 3 / 4 - 1 || y == h * 3 / 4 - 1);
            const int noise = (x * 7 + y * 13) % 5;
            image.setPixel(x, y,
                           outline   ? qRgb(0, 0, 0)
                           : subject ? qRgb(100 + (x * 3) % 150, (y * 2) % 100, 200)
                                     : qRgb(40 + noise, 180 - noise, 60 + noise));
        }
    }
    return image;
}
