// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/clipboard_picture.h"

#include "editor/number_box_passer.h"

#include <QBuffer>
#include <QImage>
#include <QMimeData>

namespace orvane {

ClipboardPicture readClipboardPicture(const QMimeData* clip)
{
    ClipboardPicture found;
    const bool hasImage = clip && clip->hasImage();
    if (const QString file = firstLocalFile(clip); !file.isEmpty() && !hasImage) {
        found.kind = ClipboardPicture::Kind::File;
        found.file = file;
        return found;
    }
    if (!hasImage)
        return found;
    // The picture is read through the same checks as a picture file: its PNG as copied, else
    // the pixels written as one.
    QByteArray bytes = clip->data(QStringLiteral("image/png"));
    if (bytes.isEmpty()) {
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        qvariant_cast<QImage>(clip->imageData()).save(&out, "PNG");
    }
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    found.kind = ClipboardPicture::Kind::Picture;
    found.picture = readMainPicture(in);
    return found;
}

}  // namespace orvane
