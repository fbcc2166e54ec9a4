// SPDX-License-Identifier: GPL-3.0-or-later
#include "imageutils.h"

#include "bmp_header.h"
#include "jpeg_encoder.h"

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <io.h>
#include <process.h>
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

long currentProcess()
{
#ifdef _WIN32
    return long(_getpid());
#else
    return long(getpid());
#endif
}

bool syncToDisk(FILE* file)
{
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

// A new file of a short name in the target's folder (so a target of the longest legal name
// still has one), opened for writing; none when the folder takes no new file.
FILE* openPartialBeside(const std::filesystem::path& target, std::filesystem::path& partial)
{
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path folder = target.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = ".iu" + std::to_string(currentProcess()) + "-" +
                                 std::to_string(counter.fetch_add(1)) + ".part";
        partial = folder.empty() ? std::filesystem::path(name) : folder / name;
        if (FILE* file = std::fopen(partial.string().c_str(), "wbx"))
            return file;
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;
}

// Writes next to the target, then renames over it: the target is either the old file or the
// complete new one.
int writeAtomically(const std::string& targetName, const unsigned char* data, std::size_t size)
{
    const std::filesystem::path target(targetName);
    std::filesystem::path partial;
    FILE* file = openPartialBeside(target, partial);
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
