// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QIODevice>
#include <QString>

namespace orvane {

struct DecodedPng {
    QImage image;   // 32-bit, ARGB32 (not premultiplied) or RGB32; null when it cannot be read
    QString error;  // why, from libpng
};

// Decodes a PNG of any colour type and depth from the device's start with libpng, each 16-bit
// channel scaled to 8 bits as the rows are read: the picture costs 4 bytes a pixel, as an
// 8-bit one does, never 8.
DecodedPng decodePngTo8Bits(QIODevice& device);

}  // namespace orvane
