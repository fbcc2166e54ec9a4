#include "files/main_picture.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace orvane {
namespace {

// A JPEG ends with the end-of-image marker; a file cut short decodes with a grey rest, which
// the user would only notice on the saved card.
bool jpegLooksComplete(QIODevice& file)
{
    const qint64 size = file.size();
    const qint64 tail = std::min<qint64>(size, 4096);
    if (!file.seek(size - tail))
        return false;
    QByteArray end = file.read(tail);
    while (!end.isEmpty() && (end.back() == '\0' || end.back() == '\n' || end.back() == '\r'))
        end.chop(1);
    return end.endsWith("\xFF\xD9");
}

} // namespace

LoadedPicture loadMainPicture(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return {{}, QStringLiteral("the file does not exist")};
    if (!file.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("the file cannot be read (%1)").arg(file.errorString())};
    return readMainPicture(file);
}

LoadedPicture readMainPicture(QIODevice& file)
{
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (format.isEmpty())
        return {{}, QStringLiteral("it is not a picture (BMP, GIF or JPEG) that Orvane can read")};
    const QSize size = reader.size();
    if (size.isValid()) {
        if (size.width() <= 0 || size.height() <= 0)
            return {{}, QStringLiteral("the picture has no pixels")};
        if (size.width() > MainPictureMaxSide || size.height() > MainPictureMaxSide ||
            qint64(size.width()) * size.height() > MainPictureMaxPixels)
            return {{}, QStringLiteral("the picture is too large (%1 × %2 pixels; Orvane takes "
                                       "main pictures of up to %3 pixels a side and %4 "
                                       "megapixels)")
                            .arg(size.width())
                            .arg(size.height())
                            .arg(MainPictureMaxSide)
                            .arg(MainPictureMaxPixels / (1024 * 1024))};
    }
    if (format == "jpeg" && !jpegLooksComplete(file))
        return {{}, QStringLiteral("the JPEG file is incomplete (it was cut short)")};
    if (!file.seek(0))
        return {{}, QStringLiteral("the file cannot be read")};

    // A fresh reader: the first one has consumed the header while answering the checks.
    QImageReader decoder(&file, format);
    QImage image = decoder.read();
    if (image.isNull())
        return {{}, QStringLiteral("the picture is damaged or in a form Orvane cannot read (%1)")
                        .arg(decoder.errorString())};
    return {image.convertToFormat(QImage::Format_RGB32), {}};
}

} // namespace orvane
