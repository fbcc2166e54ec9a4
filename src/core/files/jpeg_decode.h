// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace orvane {

struct DecodedJpeg {
    QImage image;           // 32-bit RGB; null when the data cannot be decoded
    QString error;          // the decoder's reason when it stopped
    bool cutShort = false;  // the coded data ended before the picture did
};

// Decodes a JPEG held in memory with libjpeg. The decoder's warnings are gathered for this call
// alone (a picture whose data ends early still decodes, its missing part grey, so the caller
// learns of it here), which makes decoding on any number of threads at once safe.
DecodedJpeg decodeJpeg(const QByteArray& bytes);

}  // namespace orvane
