// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace orvane {

// Encodes `image` as an 8-bit RGB PNG. Each row is filtered with the one "Up" filter and
// deflated by libdeflate at a low level: a card compresses as well as with libpng's adaptive
// search of every filter, which would cost most of a deck's render. Empty bytes, with `error`
// set, on failure.
QByteArray encodePng(const QImage& image, QString* error);
// The same as 8-bit RGBA, keeping the picture's transparency.
QByteArray encodePngWithAlpha(const QImage& image, QString* error);
// As encodePng, with the resolution `dpi` stored (pHYs), so the picture prints at its size.
QByteArray encodePngAtDpi(const QImage& image, int dpi, QString* error);

}  // namespace orvane
