// SPDX-License-Identifier: GPL-3.0-or-later
#include "jpeg_encoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace imageutils {
namespace {

// libjpeg reports a fatal error by calling error_exit, which by default ends the process; here it
// jumps back to encodeJpeg instead.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void onError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void onMessage(j_common_ptr, int) {}

// The whole libjpeg run, in a function of its own: after the error jump only `info` is used again
// (to destroy it), and the output buffer lives in the caller.
bool compress(const unsigned char* rgb, int width, int height, std::size_t stride,
              const JpegSettings& settings, unsigned char** buffer, unsigned long* size)
{
    jpeg_compress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.emit_message = onMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, settings.quality, TRUE);
    info.dct_method = settings.fastDct ? JDCT_IFAST : JDCT_ISLOW;
    info.optimize_coding = TRUE;
    const int luma = settings.fullColour ? 1 : 2;  // chroma keeps 1 x 1: relative to luma
    info.comp_info[0].h_samp_factor = luma;
    info.comp_info[0].v_samp_factor = luma;
    for (int c = 1; c < 3; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(rgb) + stride * std::size_t(info.next_scanline);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

bool encodeJpeg(const unsigned char* rgb, int width, int height, std::size_t stride,
                const JpegSettings& settings, std::vector<unsigned char>& jpeg)
{
    jpeg.clear();
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool encoded = compress(rgb, width, height, stride, settings, &buffer, &size);
    if (encoded)
        jpeg.assign(buffer, buffer + size);
    std::free(buffer);  // jpeg_mem_dest's buffer, allocated with malloc
    return encoded;
}

}  // namespace imageutils
