// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/deep_png.h"

#include <png.h>

#include <csetjmp>
#include <vector>

namespace orvane {
namespace {

struct Reading {
    QIODevice* device;
    char message[256];
};

void readBytes(png_structp png, png_bytep data, size_t length)
{
    auto* reading = static_cast<Reading*>(png_get_io_ptr(png));
    if (reading->device->read(reinterpret_cast<char*>(data), qint64(length)) != qint64(length))
        png_error(png, "the file ends before the picture does");
}

[[noreturn]] void onError(png_structp png, png_const_charp message)
{
    auto* reading = static_cast<Reading*>(png_get_error_ptr(png));
    qstrncpy(reading->message, message, sizeof reading->message);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

struct PngForm {
    bool hasAlpha = false;
    // Qt's reader makes the transparent grey of a 2- or 4-bit grey picture transparent black
    // (every other transparent colour keeps its colour); pictures loaded before keep their look.
    bool transparentGreyIsBlack = false;
    // 8-bit RGB, the common form of a photo or drawing: its rows are read as they are, three
    // bytes a pixel, and widened to 32-bit words after (libpng's own swap and filler cost
    // several times as much).
    bool rgbRows = false;
};

// The jumps land in these two functions, whose own objects are all trivial: no destructor is
// skipped. The picture and its row pointers belong to the caller.
bool readHeader(png_structp png, png_infop info, PngForm* form)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    const png_byte colour = png_get_color_type(png, info);
    const png_byte depth = png_get_bit_depth(png, info);
    const bool transparentColour = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    form->hasAlpha = (colour & PNG_COLOR_MASK_ALPHA) || transparentColour;
    form->transparentGreyIsBlack =
        colour == PNG_COLOR_TYPE_GRAY && (depth == 2 || depth == 4) && transparentColour;
    form->rgbRows = colour == PNG_COLOR_TYPE_RGB && depth == 8 && !transparentColour;
    if (form->rgbRows) {
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        return png_get_rowbytes(png, info) == png_get_image_width(png, info) * 3;
    }
    png_set_scale_16(png);  // rounded, x / 257, as Qt's own 16-to-8 conversion does
    png_set_expand(png);    // a palette, grey of fewer bits, a transparent colour: 8-bit RGB(A)
    png_set_gray_to_rgb(png);
    // The words of QImage's 32-bit formats, 0xAARRGGBB.
    const bool littleEndian = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
    if (littleEndian)
        png_set_bgr(png);
    else if (form->hasAlpha)
        png_set_swap_alpha(png);
    if (!form->hasAlpha)
        png_set_filler(png, 0xFF, littleEndian ? PNG_FILLER_AFTER : PNG_FILLER_BEFORE);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return png_get_rowbytes(png, info) == png_get_image_width(png, info) * 4;
}

bool readRows(png_structp png, png_infop info, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_image(png, rows);
    png_read_end(png, info);
    return true;
}

}  // namespace

DecodedPng decodePngTo8Bits(QIODevice& device)
{
    Reading reading{&device, {}};
    if (!device.seek(0))
        return {{}, QStringLiteral("the file cannot be read")};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reading, &onError, &onWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return {{}, QStringLiteral("not enough memory for the decoder")};
    }
    png_set_read_fn(png, &reading, &readBytes);

    DecodedPng decoded;
    PngForm form;
    if (readHeader(png, info, &form)) {
        decoded.image =
            QImage(int(png_get_image_width(png, info)), int(png_get_image_height(png, info)),
                   form.hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        std::vector<png_bytep> rows(size_t(std::max(decoded.image.height(), 0)));
        for (int y = 0; y < decoded.image.height(); ++y)
            rows[size_t(y)] = decoded.image.scanLine(y);
        if (decoded.image.isNull()) {
            decoded.error = QStringLiteral("not enough memory for the picture");
        } else if (!readRows(png, info, rows.data())) {
            decoded.image = QImage();
            decoded.error = QString::fromLatin1(reading.message);
        } else if (form.transparentGreyIsBlack) {
            for (png_bytep row : rows) {
                auto* pixels = reinterpret_cast<QRgb*>(row);
                for (int x = 0; x < decoded.image.width(); ++x)
                    if (qAlpha(pixels[x]) == 0)
                        pixels[x] = 0;
            }
        } else if (form.rgbRows) {
            // From the right, so that no pixel's bytes are overwritten before they are read.
            for (png_bytep row : rows) {
                auto* pixels = reinterpret_cast<QRgb*>(row);
                for (int x = decoded.image.width() - 1; x >= 0; --x) {
                    const png_bytep rgb = row + 3 * x;
                    pixels[x] = qRgb(rgb[0], rgb[1], rgb[2]);
                }
            }
        }
    } else {
        decoded.error = reading.message[0] ? QString::fromLatin1(reading.message)
                                           : QStringLiteral("its form is not one Orvane reads");
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return decoded;
}

}  // namespace orvane
