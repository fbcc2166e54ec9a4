#pragma once

#include <QImage>
#include <QString>

namespace orvane {

// The JPEG path the user meant: a name without a JPEG extension gets ".jpg", as a save dialog's
// default suffix would give it; ".jpg", ".JPG" and ".jpeg" are kept.
QString jpegPathFor(const QString& chosenPath);

// The bitmap written beside the JPEG: the same folder and name, extension ".bmp". Only the
// file's own extension is replaced, never a ".jpg" found in a folder name.
QString bitmapPathFor(const QString& jpegPath);

// Writes `image` as a 24-bit BMP through a temporary file that replaces the target only when
// complete, so a failed write never leaves a half file or destroys the old one.
bool writeBitmap(const QImage& image, const QString& path, QString* error);

}  // namespace orvane
