// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/png_pixels.h"

#include <png.h>

#include <cstring>

namespace orvane {

QImage decodePngPixels(const QByteArray& bytes, int maxSide, qint64 maxPixels, QString* error)
{
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return QImage();
    };
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    // The simplified reader keeps its complaints in `png.message`; nothing goes to stderr.
    if (!png_image_begin_read_from_memory(&png, bytes.constData(), size_t(bytes.size())))
        return fail(QString::fromLatin1(png.message));
    if (png.width > png_uint_32(maxSide) || png.height > png_uint_32(maxSide) ||
        qint64(png.width) * qint64(png.height) > maxPixels) {
        const QString size = QStringLiteral("%1 × %2 pixels").arg(png.width).arg(png.height);
        png_image_free(&png);
        return fail(QStringLiteral("it is too large (%1)").arg(size));
    }
    // The byte order of QImage's 32-bit formats, 0xAARRGGBB words.
    png.format = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
    QImage image(int(png.width), int(png.height), QImage::Format_ARGB32);
    if (image.isNull()) {
        png_image_free(&png);
        return fail(QStringLiteral("there is not enough memory for it"));
    }
    if (!png_image_finish_read(&png, nullptr, image.bits(), png_int_32(image.bytesPerLine()),
                               nullptr))
        return fail(QString::fromLatin1(png.message));
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace orvane
