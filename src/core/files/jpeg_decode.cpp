// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/jpeg_decode.h"

#include <QSysInfo>

#include <csetjmp>
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

namespace orvane {
namespace {

// libjpeg reports errors and warnings through this manager, one per decode: nothing is shared
// between threads. An error leaves the decoder by a jump back to the function that set it.
struct DecodeErrors {
    jpeg_error_mgr base;  // first, so that libjpeg's pointer to it is a pointer to the whole
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool cutShort;
};

DecodeErrors& errorsOf(j_common_ptr info)
{
    return *reinterpret_cast<DecodeErrors*>(info->err);
}

[[noreturn]] void stop(j_common_ptr info)
{
    DecodeErrors& errors = errorsOf(info);
    (*info->err->format_message)(info, errors.message);
    std::longjmp(errors.jump, 1);
}

// Warnings (level < 0) are noted, never printed; the trace messages (level >= 0) are dropped.
// The first warning decides: after a scan the decoder finds out of order (a progression it
// calls inconsistent), a later "premature end" follows from that, not from missing data.
void note(j_common_ptr info, int level)
{
    if (level >= 0)
        return;
    const int code = info->err->msg_code;
    if (info->err->num_warnings == 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER))
        errorsOf(info).cutShort = true;
    ++info->err->num_warnings;
}

bool isInk(J_COLOR_SPACE space)
{
    return space == JCS_CMYK || space == JCS_YCCK;
}

// The jumps land in these two functions, whose own objects are all trivial: no destructor is
// skipped. The decoder and the picture belong to the caller.
bool readHeader(jpeg_decompress_struct& info, DecodeErrors& errors, const QByteArray& bytes)
{
    if (setjmp(errors.jump))
        return false;
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return false;
    if (isInk(info.jpeg_color_space))
        info.out_color_space = JCS_CMYK;
    else
        info.out_color_space =
            QSysInfo::ByteOrder == QSysInfo::LittleEndian ? JCS_EXT_BGRX : JCS_EXT_XRGB;
    return true;
}

bool readPixels(jpeg_decompress_struct& info, DecodeErrors& errors, QImage& image)
{
    if (setjmp(errors.jump))
        return false;
    jpeg_start_decompress(&info);
    if (int(info.output_width) != image.width() || int(info.output_height) != image.height())
        return false;
    const bool ink = info.out_color_space == JCS_CMYK;
    JSAMPARRAY inkRow = ink ? (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info),
                                                        JPOOL_IMAGE, info.output_width * 4, 1)
                            : nullptr;
    while (info.output_scanline < info.output_height) {
        const int y = int(info.output_scanline);
        uchar* line = image.scanLine(y);
        if (!ink) {
            JSAMPROW row = line;
            jpeg_read_scanlines(&info, &row, 1);
            continue;
        }
        jpeg_read_scanlines(&info, inkRow, 1);
        // Ink pictures are stored inverted (as the programs that write them do): each channel
        // is already the light left, scaled by the black one.
        QRgb* out = reinterpret_cast<QRgb*>(line);
        const JSAMPLE* in = inkRow[0];
        for (JDIMENSION x = 0; x < info.output_width; ++x, in += 4) {
            const int k = in[3];
            out[x] = qRgb(k * in[0] / 255, k * in[1] / 255, k * in[2] / 255);
        }
    }
    jpeg_finish_decompress(&info);
    return true;
}

}  // namespace

DecodedJpeg decodeJpeg(const QByteArray& bytes)
{
    DecodeErrors errors{};
    jpeg_decompress_struct info{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = &stop;
    errors.base.emit_message = &note;
    if (setjmp(errors.jump))
        return {{}, QString::fromLocal8Bit(errors.message), false};
    jpeg_create_decompress(&info);

    DecodedJpeg decoded;
    if (readHeader(info, errors, bytes)) {
        decoded.image = QImage(int(info.image_width), int(info.image_height), QImage::Format_RGB32);
        if (decoded.image.isNull()) {
            decoded.error = QStringLiteral("not enough memory for the picture");
        } else if (!readPixels(info, errors, decoded.image)) {
            decoded.image = QImage();
            decoded.error = QString::fromLocal8Bit(errors.message);
        }
    } else {
        decoded.error = QString::fromLocal8Bit(errors.message);
    }
    decoded.cutShort = errors.cutShort;
    jpeg_destroy_decompress(&info);
    return decoded;
}

}  // namespace orvane
