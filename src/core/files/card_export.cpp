// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/card_export.h"

#include "files/png_writer.h"

#include <QBuffer>
#include <QImageWriter>

#include "jpeg_encoder.h"

#include <vector>

namespace orvane {
namespace {

// ImageUtils' ConvertBMPtoJPG with its default arguments, as Save Card calls it: the encoder is
// the converter's own, so the bytes are the same.
QByteArray encodeJpeg(const QImage& rgb, QString* error)
{
    std::vector<unsigned char> jpeg;
    if (!imageutils::encodeJpeg(rgb.constBits(), rgb.width(), rgb.height(),
                                std::size_t(rgb.bytesPerLine()), {}, jpeg)) {
        *error = QStringLiteral("the JPEG encoder failed");
        return {};
    }
    return QByteArray(reinterpret_cast<const char*>(jpeg.data()), qsizetype(jpeg.size()));
}

QByteArray encodeWithQt(const QImage& image, const char* format, QString* error)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image)) {
        *error = writer.errorString();
        return {};
    }
    return bytes;
}

}  // namespace

std::optional<ExportFormat> exportFormatFromName(const QString& name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("png"))
        return ExportFormat::Png;
    if (n == QLatin1String("jpg") || n == QLatin1String("jpeg"))
        return ExportFormat::Jpeg;
    if (n == QLatin1String("bmp"))
        return ExportFormat::Bmp;
    return std::nullopt;
}

QString exportSuffix(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Jpeg: return QStringLiteral("jpg");
    case ExportFormat::Bmp: return QStringLiteral("bmp");
    case ExportFormat::Png: break;
    }
    return QStringLiteral("png");
}

QImage scaleCardPicture(const QImage& card, int scale)
{
    const QImage source = card.convertToFormat(QImage::Format_RGB32);
    if (scale <= 1)
        return source;
    QImage scaled(source.width() * scale, source.height() * scale, QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* first = reinterpret_cast<QRgb*>(scaled.scanLine(y * scale));
        for (int x = 0; x < source.width(); ++x)
            std::fill_n(first + x * scale, scale, in[x]);
        for (int k = 1; k < scale; ++k)
            std::copy_n(first, scaled.width(),
                        reinterpret_cast<QRgb*>(scaled.scanLine(y * scale + k)));
    }
    return scaled;
}

QByteArray encodeCardPicture(const QImage& card, ExportFormat format, int scale, QString* error)
{
    QString why;
    QByteArray bytes;
    if (card.isNull()) {
        why = QStringLiteral("there is no picture");
    } else if (scale < 1 || scale > MaxExportScale) {
        why = QStringLiteral("the scale must be 1 to %1").arg(MaxExportScale);
    } else {
        const QImage picture = scaleCardPicture(card, scale);
        switch (format) {
        case ExportFormat::Png: bytes = encodePng(picture, &why); break;
        case ExportFormat::Bmp:
            bytes = encodeWithQt(picture.convertToFormat(QImage::Format_RGB888), "bmp", &why);
            break;
        case ExportFormat::Jpeg:
            bytes = encodeJpeg(picture.convertToFormat(QImage::Format_RGB888), &why);
            break;
        }
    }
    if (bytes.isEmpty() && error)
        *error = why;
    return bytes;
}

QString exportFileName(const QString& base, CardColour colour, ExportFormat format)
{
    return QStringLiteral("%1-%2.%3").arg(base, colourName(colour), exportSuffix(format));
}

}  // namespace orvane
