// libFuzzer target: the converter's BMP reader and JPEG encoder on arbitrary bytes.
#include "bmp_header.h"
#include "imageutils.h"

#include <turbojpeg.h>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    imageutils::Bitmap bitmap;
    const int result = imageutils::decodeBmp(data, size, 1024, bitmap);
    if (result != ImageUtilsOk)
        return 0;
    if (bitmap.rgb.size() != size_t(bitmap.width) * size_t(bitmap.height) * 3)
        std::abort();
    tjhandle encoder = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long jpegSize = 0;
    tjCompress2(encoder, bitmap.rgb.data(), bitmap.width, bitmap.width * 3, bitmap.height, TJPF_RGB,
                &jpeg, &jpegSize, TJSAMP_444, 98, TJFLAG_ACCURATEDCT);
    tjFree(jpeg);
    tjDestroy(encoder);
    return 0;
}
