// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/main_picture.h"

#include "files/deep_png.h"
#include "files/jpeg_decode.h"
#include "files/picture_file.h"
#include "files/picture_layout.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>

namespace orvane {
namespace {

// Picture files up to this size are read whole into memory before they are checked.
constexpr qint64 WholeReadPictureBytes = 4LL << 20;

// The first `end` bytes of a device, as a device of their own: the decoder reads the picture's
// data and nothing after it, and a device that gives fewer bytes than asked for is noticed.
class PictureBytes final : public QIODevice {
public:
    PictureBytes(QIODevice& source, qint64 end) : m_source(source), m_end(end)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_end; }
    bool seek(qint64 position) override
    {
        if (position < 0 || position > m_end || !QIODevice::seek(position))
            return false;
        m_at = position;
        return true;
    }
    bool shortRead() const { return m_shortRead; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 wanted = std::min(maxSize, m_end - m_at);
        if (wanted <= 0)
            return 0;
        const qint64 got = m_source.seek(m_at) ? m_source.read(data, wanted) : -1;
        if (got < wanted)
            m_shortRead = true;
        if (got <= 0)
            return -1;
        m_at += got;
        return got;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice& m_source;
    qint64 m_end;
    qint64 m_at = 0;
    bool m_shortRead = false;
};

QString incomplete()
{
    return QStringLiteral("the file is incomplete (it ends before the picture does)");
}

QString cannotReadToTheEnd()
{
    return QStringLiteral("the file cannot be read to its end (it gives fewer bytes than its "
                          "size says: a system file, or a file being changed)");
}

QString tooLarge(const QSize& size)
{
    return QStringLiteral("the picture is too large (%1 × %2 pixels; Orvane takes main pictures "
                          "of up to %3 pixels a side and %4 megapixels)")
        .arg(size.width())
        .arg(size.height())
        .arg(MainPictureMaxSide)
        .arg(MainPictureMaxPixels / 1000000);
}

// Why the structure alone refuses the picture; empty when it may be decoded.
QString refusal(const PictureLayout& layout, qint64 fileSize)
{
    using Problem = PictureLayout::Problem;
    if (layout.problem == Problem::NotAPicture)
        return QStringLiteral("it is not a picture (BMP, GIF, JPEG or PNG) that Orvane can read");
    // A size beyond the limits says the most, whatever else is wrong.
    const QSize size = layout.size;
    if (size.width() > MainPictureMaxSide || size.height() > MainPictureMaxSide ||
        qint64(size.width()) * size.height() > MainPictureMaxPixels)
        return tooLarge(size);
    switch (layout.problem) {
    case Problem::NotAPicture:
    case Problem::None: break;
    case Problem::Incomplete: return incomplete();
    case Problem::ShortRead: return cannotReadToTheEnd();
    case Problem::BeyondLimit:
        return QStringLiteral("the file is too large (%1 MB; a main picture needs no more than "
                              "%2 MB)")
            .arg(fileSize / 1000000)
            .arg(MainPictureMaxFileBytes / 1000000);
    case Problem::TooManyScans:
        return QStringLiteral("the JPEG is coded in too many scans (more than %1; Orvane reads "
                              "progressive JPEGs of this size in up to %1 scans)")
            .arg(maxJpegScans(size));
    case Problem::Damaged:
        return QStringLiteral("the picture is damaged (its %1 structure is broken)")
            .arg(QString::fromLatin1(layout.format.toUpper()));
    }
    if (!size.isValid() || size.isEmpty())
        return QStringLiteral("the picture has no pixels");
    return {};
}

QString damaged(const QString& reason)
{
    return QStringLiteral("the picture is damaged or in a form Orvane cannot read (%1)")
        .arg(reason);
}

// A JPEG is decoded from its bytes in memory by libjpeg, which tells this decode alone when the
// coded data ends before the picture does (the picture it hands back is grey from there).
LoadedPicture readJpeg(QIODevice& device, qint64 end, bool keepEncoded)
{
    QByteArray encoded;
    if (!device.seek(0) || (encoded = device.read(end)).size() != end)
        return {{}, cannotReadToTheEnd(), {}};
    DecodedJpeg decoded = decodeJpeg(encoded);
    if (decoded.cutShort)
        return {{}, incomplete(), {}};
    if (decoded.image.isNull())
        return {{}, damaged(decoded.error), {}};
    if (!keepEncoded)
        encoded.clear();
    return {std::move(decoded.image), {}, std::move(encoded)};
}

// BMP, GIF and 8-bit PNG pictures, decoded by Qt's readers.
DecodedPng decodeWithQt(QIODevice& bytes, const PictureLayout& layout)
{
    QImageReader decoder(&bytes, layout.format);
    // Qt's own ceiling (128 MB) refuses a 25-megapixel picture of 16 bits a channel, which the
    // limits above accept; the ceiling follows them instead.
    constexpr int NeededMiB = int(MainPictureMaxPixels * 8 / (1 << 20)) + 1;
    if (QImageReader::allocationLimit() < NeededMiB)
        QImageReader::setAllocationLimit(NeededMiB);
    QImage image;
    if (layout.runLength) {
        // Run-length codes may skip pixels (to the end of a row, or of the picture), and the
        // decoder leaves those as it found them: it is given a picture of colour 0 to decode
        // into, which it keeps when the size and form match.
        image = QImage(layout.size, QImage::Format_Indexed8);
        image.fill(0);
    }
    decoder.read(&image);
    QString error = image.isNull() ? decoder.errorString() : QString();
    return {std::move(image), std::move(error)};
}

LoadedPicture readPicture(QIODevice& device, qint64 fileSize, bool keepEncoded,
                          const BeforeDecoding& beforeDecoding = {})
{
    const PictureLayout layout = walkPictureLayout(device, fileSize, MainPictureMaxFileBytes);
    if (const QString why = refusal(layout, fileSize); !why.isEmpty())
        return {{}, why, {}};
    if (beforeDecoding)
        beforeDecoding(layout.size);

    if (layout.format == "jpeg")
        return readJpeg(device, layout.end, keepEncoded);

    PictureBytes bytes(device, layout.end);
    // A PNG is decoded by libpng straight into the 32-bit picture: a 16-bit one is scaled to
    // 8 bits as it is read (Qt's reader would hold it at 8 bytes a pixel first), and an 8-bit
    // one gets the pixels Qt's reader gives without its plugin look-up and extra copies.
    auto [image, error] =
        layout.format == "png" ? decodePngTo8Bits(bytes) : decodeWithQt(bytes, layout);
    if (bytes.shortRead())
        return {{}, cannotReadToTheEnd(), {}};
    if (image.isNull())
        return {{}, damaged(error), {}};
    QByteArray encoded;
    if (keepEncoded) {
        // The bytes the decoder was given, read again: the picture's own, nothing after them.
        if (!device.seek(0) || (encoded = device.read(layout.end)).size() != layout.end)
            return {{}, cannotReadToTheEnd(), {}};
    }
    // In place (the same size of pixel): no second full copy.
    return {std::move(image).convertToFormat(QImage::Format_RGB32), {}, std::move(encoded)};
}

}  // namespace

LoadedPicture loadMainPicture(const QString& path, bool keepEncoded,
                              const BeforeDecoding& beforeDecoding)
{
    const OpenedPictureFile opened = openPictureFile(path);
    if (!opened.file)
        return {{}, opened.error, {}};
    // A small file is read whole in one call: the structure walk and the decoder then read
    // memory, not the file, a few bytes at a time. A file that gives fewer bytes than its size
    // is read again from the file, which tells why.
    if (opened.size <= WholeReadPictureBytes) {
        QByteArray whole(qsizetype(opened.size), Qt::Uninitialized);
        if (opened.file->read(whole.data(), opened.size) == opened.size) {
            QBuffer buffer(&whole);
            buffer.open(QIODevice::ReadOnly);
            return readPicture(buffer, opened.size, keepEncoded, beforeDecoding);
        }
        if (!opened.file->seek(0))
            return {{}, cannotReadToTheEnd(), {}};
    }
    return readPicture(*opened.file, opened.size, keepEncoded, beforeDecoding);
}

LoadedPicture readMainPicture(QIODevice& device, bool keepEncoded)
{
    return readPicture(device, device.size(), keepEncoded);
}

}  // namespace orvane
