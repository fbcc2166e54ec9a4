// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QIODevice>
#include <QString>

#include <functional>

namespace orvane {

// The largest main picture accepted: a card is 62 x 62, so anything near this is already far
// more than a card can show, and the limit keeps a hostile header from claiming gigabytes.
inline constexpr int MainPictureMaxSide = 16384;
inline constexpr qint64 MainPictureMaxPixels = 25LL * 1000 * 1000;  // a 6000 x 4000 photo fits
// The most bytes read from a picture file: the largest picture at 8 bytes a pixel (a 16-bit
// RGBA PNG stored without compression) and room for metadata. Bytes after the picture's own
// data (a camera's trailer, a file padded with zeros) are never read.
inline constexpr qint64 MainPictureMaxFileBytes = MainPictureMaxPixels * 8 + (16LL << 20);

struct LoadedPicture {
    QImage image;        // 32-bit RGB; null when the file was refused
    QString error;       // why, in words for the user
    QByteArray encoded;  // the picture's own bytes as read (JPEG, PNG, ...), when asked for
};

// Reads a main picture: BMP, GIF (its first frame), JPEG or PNG. Refuses, with a reason, files
// that are not regular files, are no such picture, claim a size beyond the limits, end before
// the picture does, or would cost the decoder far more than their size (thousands of scans).
// Only the bytes of the picture are read, and only what the file holds is ever shown.
// With `keepEncoded` the picture's own bytes come back too, so it can be kept in its own
// encoding (a JPEG stays a JPEG) and decoded again to the same pixels.
// `beforeDecoding`, when given, is told the picture's size once the file passed its checks and
// before its pixels are decoded (a caller may hold back while other pictures take the memory).
using BeforeDecoding = std::function<void(QSize)>;
LoadedPicture loadMainPicture(const QString& path, bool keepEncoded = false,
                              const BeforeDecoding& beforeDecoding = {});

// The same from an open, seekable device.
LoadedPicture readMainPicture(QIODevice& device, bool keepEncoded = false);

}  // namespace orvane
