// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace orvane {

// Decodes PNG bytes kept inside a file of ours into 32-bit RGB, with libpng's own error texts
// handed back in `error` instead of printed: a damaged picture is reported once, by the caller.
// Pictures wider or taller than `maxSide` or of more than `maxPixels` are refused unread.
QImage decodePngPixels(const QByteArray& bytes, int maxSide, qint64 maxPixels, QString* error);

}  // namespace orvane
