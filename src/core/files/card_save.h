// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

namespace orvane {

class ImageUtilsLibrary;

// The JPEG path the user meant: a name without a JPEG extension gets ".jpg", as a save dialog's
// default suffix would give it; ".jpg", ".JPG" and ".jpeg" are kept.
QString jpegPathFor(const QString& chosenPath);

// The bitmap written beside the JPEG: the same folder and name, extension ".bmp". Only the
// file's own extension is replaced, never a ".jpg" found in a folder name.
QString bitmapPathFor(const QString& jpegPath);

// The two files one saved card consists of.
struct CardFiles {
    QString jpeg;
    QString bitmap;
};
CardFiles cardFilesFor(const QString& chosenPath);

// The files of `files` that are already there (and that saving would replace), JPEG first.
QStringList existingCardFiles(const CardFiles& files);

// Saves `card` as its bitmap and its JPEG. Both are written to temporary files beside their
// targets and put in place only when both are complete, so a failure (a full disk, a folder
// that cannot be written) leaves every file already there as it was and no temporary file
// behind. On failure `failedPath` is the file that could not be written and `error` says why.
bool saveCard(const QImage& card, const CardFiles& files, ImageUtilsLibrary& converter,
              QString* failedPath, QString* error);

// Writes `image` as a 24-bit BMP through a temporary file that replaces the target only when
// complete, so a failed write never leaves a half file or destroys the old one.
bool writeBitmap(const QImage& image, const QString& path, QString* error);

}  // namespace orvane
