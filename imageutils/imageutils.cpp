#include "imageutils.h"

#include "bmp_header.h"
#include "jpeg_encoder.h"

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr int DefaultQuality = imageutils::JpegSettings{}.quality;

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

bool syncToDisk(FILE* file)
{
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

// Writes next to the target, then renames over it: the target is either the old file or the
// complete new one.
int writeAtomically(const std::string& target, const unsigned char* data, std::size_t size)
{
    const std::string partial = target + ".partial";
    FILE* file = std::fopen(partial.c_str(), "wb");
    if (!file)
        return ImageUtilsCannotWriteJpeg;
    const bool written = std::fwrite(data, 1, size, file) == size;
    // On disks that allocate late, a full disk shows only when the data is forced out.
    const bool flushed = std::fflush(file) == 0 && syncToDisk(file);
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

    const imageutils::JpegSettings settings{quality, chroma == ImageUtilsChroma444,
                                            (flags & ImageUtilsFastDct) != 0};
    std::vector<unsigned char> jpeg;
    if (!imageutils::encodeJpeg(bitmap, settings, jpeg))
        return ImageUtilsEncodeFailed;
    return writeAtomically(jpgPath, jpeg.data(), jpeg.size());
}
