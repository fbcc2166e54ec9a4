#include "files/card_save.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

namespace orvane {

QString jpegPathFor(const QString& chosenPath)
{
    const QString suffix = QFileInfo(chosenPath).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return chosenPath;
    return chosenPath + QStringLiteral(".jpg");
}

QString bitmapPathFor(const QString& jpegPath)
{
    const QFileInfo info(jpegPath);
    const QString suffix = info.suffix();
    if (suffix.isEmpty())
        return jpegPath + QStringLiteral(".bmp");
    return jpegPath.left(jpegPath.size() - suffix.size()) + QStringLiteral("bmp");
}

bool writeBitmap(const QImage& image, const QString& path, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    QImageWriter writer(&file, "bmp");
    if (!writer.write(image.convertToFormat(QImage::Format_RGB888))) {
        *error = writer.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace orvane
