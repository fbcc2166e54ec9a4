#include "files/card_export.h"

#include "files/png_writer.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#include "jpeg_encoder.h"

#include <atomic>
#include <filesystem>
#include <memory>
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

// A name for the temporary beside `path` that no other writer, thread or process, picks.
QString temporaryPathFor(const QString& path)
{
    static std::atomic<quint64> counter{0};
    const QFileInfo info(path);
    return info.dir().filePath(QStringLiteral(".%1.%2-%3.part")
                                   .arg(info.fileName())
                                   .arg(QCoreApplication::applicationPid())
                                   .arg(counter.fetch_add(1)));
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

QString exportFileName(const QString& base, bool blue, ExportFormat format)
{
    return QStringLiteral("%1-%2.%3")
        .arg(base, blue ? QStringLiteral("blue") : QStringLiteral("red"), exportSuffix(format));
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error,
                         bool syncToDisk)
{
    const auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (syncToDisk) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
            !file.commit()) {
            const QString why = file.errorString();
            file.cancelWriting();
            return fail(why);
        }
        return true;
    }

    const QString temporary = temporaryPathFor(path);
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return fail(file.errorString());
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    const QString writeError = file.errorString();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        QFile::remove(temporary);
        return fail(writeError);
    }
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(temporary.toStdU16String()),
                            std::filesystem::path(path.toStdU16String()), ec);
    if (ec) {
        QFile::remove(temporary);
        return fail(QString::fromLocal8Bit(ec.message()));
    }
    return true;
}

}  // namespace orvane
