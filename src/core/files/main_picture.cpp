#include "files/main_picture.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace orvane {
namespace {

// The JPEG decoder reports a file cut short only as a warning and hands back a picture whose
// missing part is grey; the user would notice only on the saved card. While a picture decodes,
// the warnings are caught here.
class DecoderWarnings {
public:
    DecoderWarnings() : m_previous(qInstallMessageHandler(&DecoderWarnings::handle))
    {
        s_active = this;
    }
    ~DecoderWarnings()
    {
        qInstallMessageHandler(m_previous);
        s_active = nullptr;
    }
    DecoderWarnings(const DecoderWarnings&) = delete;
    DecoderWarnings& operator=(const DecoderWarnings&) = delete;

    bool cutShort() const { return m_cutShort; }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (s_active && text.contains(QLatin1String("premature end"), Qt::CaseInsensitive)) {
            s_active->m_cutShort = true;
            return;
        }
        if (s_active && s_active->m_previous)
            s_active->m_previous(type, context, text);
    }

    static inline DecoderWarnings* s_active = nullptr;
    QtMessageHandler m_previous;
    bool m_cutShort = false;
};

}  // namespace

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
            return {{},
                    QStringLiteral("the picture is too large (%1 × %2 pixels; Orvane takes "
                                   "main pictures of up to %3 pixels a side and %4 "
                                   "megapixels)")
                        .arg(size.width())
                        .arg(size.height())
                        .arg(MainPictureMaxSide)
                        .arg(MainPictureMaxPixels / 1000000)};
    }
    if (!file.seek(0))
        return {{}, QStringLiteral("the file cannot be read")};

    // A fresh reader: the first one has consumed the header while answering the checks.
    QImageReader decoder(&file, format);
    DecoderWarnings warnings;
    QImage image = decoder.read();
    if (warnings.cutShort())
        return {{}, QStringLiteral("the file is incomplete (it was cut short)")};
    if (image.isNull())
        return {{},
                QStringLiteral("the picture is damaged or in a form Orvane cannot read (%1)")
                    .arg(decoder.errorString())};
    return {image.convertToFormat(QImage::Format_RGB32), {}};
}

}  // namespace orvane
