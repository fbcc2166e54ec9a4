#pragma once

#include <QImage>
#include <QIODevice>
#include <QString>

namespace orvane {

// The largest main picture accepted: a card is 62 x 62, so anything near this is already far
// more than a card can show, and the limit keeps a hostile header from claiming gigabytes.
inline constexpr int MainPictureMaxSide = 16384;
inline constexpr qint64 MainPictureMaxPixels = 25LL * 1000 * 1000;  // a 6000 x 4000 photo fits

struct LoadedPicture {
    QImage image;   // 32-bit RGB; null when the file was refused
    QString error;  // why, in words for the user
};

// Reads a main picture (BMP, GIF, JPEG and the other formats Qt knows). Refuses, with a reason,
// files that are no picture, claim a size beyond the limits, or are cut short.
LoadedPicture loadMainPicture(const QString& path);

// The same from an open, seekable device.
LoadedPicture readMainPicture(QIODevice& device);

}  // namespace orvane
