// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/png_writer.h"

#include <libdeflate.h>

#include <cmath>
#include <memory>

namespace orvane {
namespace {

// libdeflate at level 4 with every row filtered "Up" makes card files a little smaller than
// zlib at level 3 with "Sub" did, in less than half the time (bench/render_deck.sh). The
// compressor is made once for each thread that writes (it costs more to make than a card
// costs to compress) and never shared between threads.
constexpr int DeflateLevel = 4;
constexpr char UpFilter = 2;

struct CompressorDeleter {
    void operator()(libdeflate_compressor* compressor) const
    {
        libdeflate_free_compressor(compressor);
    }
};

libdeflate_compressor* threadCompressor()
{
    thread_local const std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor(
        libdeflate_alloc_compressor(DeflateLevel));
    return compressor.get();
}

void appendBigEndian(QByteArray& bytes, quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(char((value >> shift) & 0xFF));
}

// A chunk: its length, its type and data, and the CRC of the type and data.
void appendChunk(QByteArray& png, const char* type, const QByteArray& data)
{
    appendBigEndian(png, quint32(data.size()));
    const qsizetype typeAt = png.size();
    png.append(type, 4);
    png.append(data);
    const quint32 crc = libdeflate_crc32(0, png.constData() + typeAt, size_t(data.size() + 4));
    appendBigEndian(png, crc);
}

QByteArray encodeRows(const QImage& image, QImage::Format format, char colourType, int channels,
                      QString* error, int dpi = 0)
{
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return QByteArray();
    };
    if (image.isNull())
        return fail(QStringLiteral("there is no picture to write"));
    const QImage pixels = image.convertToFormat(format);
    const qsizetype rowBytes = qsizetype(pixels.width()) * channels;

    // The filtered rows: a filter byte, then each byte less the one above it.
    QByteArray filtered(qsizetype(pixels.height()) * (rowBytes + 1), Qt::Uninitialized);
    char* out = filtered.data();
    for (int y = 0; y < pixels.height(); ++y) {
        const uchar* row = pixels.constScanLine(y);
        const uchar* above = y > 0 ? pixels.constScanLine(y - 1) : nullptr;
        *out++ = UpFilter;
        for (qsizetype x = 0; x < rowBytes; ++x)
            *out++ = char(above ? uchar(row[x] - above[x]) : row[x]);
    }

    libdeflate_compressor* compressor = threadCompressor();
    if (!compressor)
        return fail(QStringLiteral("the PNG could not be written (not enough memory)"));
    QByteArray deflated(
        qsizetype(libdeflate_zlib_compress_bound(compressor, size_t(filtered.size()))),
        Qt::Uninitialized);
    const size_t deflatedSize =
        libdeflate_zlib_compress(compressor, filtered.constData(), size_t(filtered.size()),
                                 deflated.data(), size_t(deflated.size()));
    if (deflatedSize == 0)
        return fail(QStringLiteral("the PNG could not be written (it does not compress)"));
    deflated.truncate(qsizetype(deflatedSize));
    filtered = QByteArray();

    QByteArray header;
    appendBigEndian(header, quint32(pixels.width()));
    appendBigEndian(header, quint32(pixels.height()));
    // 8 bits a channel, the colour type, deflate, adaptive filtering, no interlacing.
    header.append(char(8)).append(colourType).append(char(0)).append(char(0)).append(char(0));

    QByteArray png("\x89PNG\r\n\x1A\n", 8);
    png.reserve(8 + 25 + 21 + 12 + deflated.size() + 12);
    appendChunk(png, "IHDR", header);
    if (dpi > 0) {
        // The resolution in pixels a metre on both axes, so the picture prints at its size.
        const auto perMetre = quint32(std::lround(dpi / 0.0254));
        QByteArray resolution;
        appendBigEndian(resolution, perMetre);
        appendBigEndian(resolution, perMetre);
        resolution.append(char(1));
        appendChunk(png, "pHYs", resolution);
    }
    appendChunk(png, "IDAT", deflated);
    appendChunk(png, "IEND", {});
    return png;
}

}  // namespace

QByteArray encodePng(const QImage& image, QString* error)
{
    return encodeRows(image, QImage::Format_RGB888, char(2), 3, error);
}

QByteArray encodePngWithAlpha(const QImage& image, QString* error)
{
    return encodeRows(image, QImage::Format_RGBA8888, char(6), 4, error);
}

QByteArray encodePngAtDpi(const QImage& image, int dpi, QString* error)
{
    return encodeRows(image, QImage::Format_RGB888, char(2), 3, error, dpi);
}

}  // namespace orvane
