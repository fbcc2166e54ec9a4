#include "imageutils.h"

#include "bmp_header.h"

#include <turbojpeg.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr int DefaultQuality = 98;

struct TjHandle {
    tjhandle handle;
    ~TjHandle()
    {
        if (handle)
            tjDestroy(handle);
    }
};

struct TjBuffer {
    unsigned char* data = nullptr;
    ~TjBuffer() { tjFree(data); }
};

bool readFile(const char* path, std::vector<unsigned char>& bytes)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path, "rb"), &std::fclose);
    if (!file)
        return false;
    unsigned char chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (bytes.size() > size_t(64) * 1024 * 1024 * 16)
            return false;  // far beyond the largest bitmap accepted
    }
    return !std::ferror(file.get());
}

// Writes next to the target, then renames over it: the target is either the old file or the
// complete new one.
int writeAtomically(const std::string& target, const unsigned char* data, unsigned long size)
{
    const std::string partial = target + ".partial";
    FILE* file = std::fopen(partial.c_str(), "wb");
    if (!file)
        return ImageUtilsCannotWriteJpeg;
    const bool written = std::fwrite(data, 1, size, file) == size;
    const bool flushed = std::fflush(file) == 0;
    const bool closed = std::fclose(file) == 0;
    std::error_code ec;
    if (!written || !flushed || !closed) {
        std::filesystem::remove(partial, ec);
        return ImageUtilsCannotWriteJpeg;
    }
    std::filesystem::rename(partial, target, ec);
    if (ec) {
        std::filesystem::remove(partial, ec);
        return ImageUtilsCannotWriteJpeg;
    }
    return ImageUtilsOk;
}

}  // namespace

extern "C" int ConvertBMPtoJPG(const char* bmpPath, const char* jpgPath, int quality, int chroma,
                               int flags)
{
    if (!bmpPath || !jpgPath || !*bmpPath || !*jpgPath)
        return ImageUtilsBadArgument;
    if (quality == ImageUtilsDefaultQuality)
        quality = DefaultQuality;
    if (quality < 1 || quality > 100 ||
        (chroma != ImageUtilsChroma444 && chroma != ImageUtilsChroma420))
        return ImageUtilsBadArgument;

    std::vector<unsigned char> bytes;
    if (!readFile(bmpPath, bytes))
        return ImageUtilsCannotReadBitmap;
    imageutils::Bitmap bitmap;
    const int decoded =
        imageutils::decodeBmp(bytes.data(), bytes.size(), ImageUtilsMaxSide, bitmap);
    if (decoded != ImageUtilsOk)
        return decoded;

    TjHandle encoder{tjInitCompress()};
    if (!encoder.handle)
        return ImageUtilsEncodeFailed;
    TjBuffer jpeg;
    unsigned long jpegSize = 0;
    const int sampling = chroma == ImageUtilsChroma444 ? TJSAMP_444 : TJSAMP_420;
    const int tjFlags = (flags & ImageUtilsFastDct) ? TJFLAG_FASTDCT : TJFLAG_ACCURATEDCT;
    if (tjCompress2(encoder.handle, bitmap.rgb.data(), bitmap.width, bitmap.width * 3,
                    bitmap.height, TJPF_RGB, &jpeg.data, &jpegSize, sampling, quality,
                    tjFlags) != 0)
        return ImageUtilsEncodeFailed;
    return writeAtomically(jpgPath, jpeg.data, jpegSize);
}
