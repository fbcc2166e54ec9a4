// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/main_picture.h"

#include <QString>

class QMimeData;

namespace orvane {

// What Paste Main Picture finds on the clipboard: a copied picture file (to be read as if
// loaded), a picture, or nothing to paste.
struct ClipboardPicture {
    enum class Kind { Nothing, File, Picture };
    Kind kind = Kind::Nothing;
    QString file;           // Kind::File
    LoadedPicture picture;  // Kind::Picture: read through a picture file's checks; a null image
                            // and the error when it could not be used
};

// A picture on `clip` wins over a file on it; `clip` may be null.
ClipboardPicture readClipboardPicture(const QMimeData* clip);

}  // namespace orvane
