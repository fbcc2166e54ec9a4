#include "files/png_writer.h"

#include <png.h>

#include <cmath>
#include <csetjmp>
#include <vector>

namespace orvane {
namespace {

struct Sink {
    QByteArray* bytes;
    char message[256];
};

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* sink = static_cast<Sink*>(png_get_io_ptr(png));
    sink->bytes->append(reinterpret_cast<const char*>(data), qsizetype(length));
}

void flushNothing(png_structp) {}

void onError(png_structp png, png_const_charp message)
{
    auto* sink = static_cast<Sink*>(png_get_error_ptr(png));
    qstrncpy(sink->message, message, sizeof sink->message);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// Everything between setjmp and the end is plain data, so a jump back leaks nothing.
bool writeRows(Sink& sink, png_bytepp rows, png_uint_32 width, png_uint_32 height, int colourType,
               int dpi)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, onError, onWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &sink, appendBytes, flushNothing);
    png_set_IHDR(png, info, width, height, 8, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (dpi > 0) {
        const auto perMetre = png_uint_32(std::lround(dpi / 0.0254));
        png_set_pHYs(png, info, perMetre, perMetre, PNG_RESOLUTION_METER);
    }
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

QByteArray encodeRows(const QImage& image, QImage::Format format, int colourType, QString* error,
                      int dpi = 0)
{
    if (image.isNull()) {
        if (error)
            *error = QStringLiteral("there is no picture to write");
        return {};
    }
    const QImage rgb = image.convertToFormat(format);
    std::vector<png_bytep> rows(size_t(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y)
        rows[size_t(y)] = const_cast<png_bytep>(rgb.constScanLine(y));

    QByteArray bytes;
    bytes.reserve(qsizetype(rgb.sizeInBytes() / 2 + 1024));
    Sink sink{&bytes, {}};
    if (!writeRows(sink, rows.data(), png_uint_32(rgb.width()), png_uint_32(rgb.height()),
                   colourType, dpi)) {
        if (error)
            *error = QStringLiteral("the PNG could not be written (%1)")
                         .arg(QString::fromLatin1(sink.message));
        return {};
    }
    return bytes;
}

}  // namespace

QByteArray encodePng(const QImage& image, QString* error)
{
    return encodeRows(image, QImage::Format_RGB888, PNG_COLOR_TYPE_RGB, error);
}

QByteArray encodePngWithAlpha(const QImage& image, QString* error)
{
    return encodeRows(image, QImage::Format_RGBA8888, PNG_COLOR_TYPE_RGBA, error);
}

QByteArray encodePngAtDpi(const QImage& image, int dpi, QString* error)
{
    return encodeRows(image, QImage::Format_RGB888, PNG_COLOR_TYPE_RGB, error, dpi);
}

}  // namespace orvane
