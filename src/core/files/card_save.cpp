// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/card_save.h"

#include "files/imageutils_library.h"
#include "system/file_write.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QTemporaryFile>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace orvane {
namespace {

std::filesystem::path fsPath(const QString& path)
{
#ifdef _WIN32
    return std::filesystem::path(QDir::toNativeSeparators(path).toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());  // as the system names it
#endif
}

// On disks that allocate late, a full disk shows only when the data is forced out.
bool syncToDisk(QFileDevice& file)
{
    if (!file.flush())
        return false;
#ifdef _WIN32
    return _commit(file.handle()) == 0;
#else
    return fsync(file.handle()) == 0;
#endif
}

// A hidden temporary file beside `target`, removed again unless it is put in place. Its name is
// short, so a target of the longest legal name still has one.
std::unique_ptr<QTemporaryFile> temporaryBeside(const QString& target, QString* error)
{
    const QFileInfo info(target);
    auto file = std::make_unique<QTemporaryFile>(info.absolutePath() +
                                                 QStringLiteral("/.orv-XXXXXX.") + info.suffix());
    if (!file->open()) {
        *error = file->errorString();
        return nullptr;
    }
    return file;
}

bool writeBitmapTo(const QImage& image, QFileDevice& file, QString* error)
{
    QImageWriter writer(&file, "bmp");
    if (!writer.write(image.convertToFormat(QImage::Format_RGB888))) {
        *error = file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
        return false;
    }
    if (!syncToDisk(file) || file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return false;
    }
    return true;
}

// Puts the finished temporaries in place, the JPEG first. Should the bitmap not follow, the old
// JPEG comes back from a link made to it beforehand, so the pair is never half old, half new.
bool putInPlace(QTemporaryFile& jpeg, QTemporaryFile& bitmap, const CardFiles& files,
                QString* failedPath, QString* error)
{
    std::error_code ec;
    const auto target = fsPath(files.jpeg);
    const auto keep = fsPath(jpeg.fileName() + QStringLiteral(".old"));
    const bool kept = std::filesystem::exists(target, ec) &&
                      (std::filesystem::create_hard_link(target, keep, ec), !ec);
    const auto dropKept = [&] {
        if (kept)
            std::filesystem::remove(keep, ec);
    };
    std::filesystem::rename(fsPath(jpeg.fileName()), target, ec);
    if (ec) {
        *failedPath = files.jpeg;
        *error = QString::fromStdString(ec.message());
        dropKept();
        return false;
    }
    jpeg.setAutoRemove(false);
    std::filesystem::rename(fsPath(bitmap.fileName()), fsPath(files.bitmap), ec);
    if (ec) {
        *failedPath = files.bitmap;
        *error = QString::fromStdString(ec.message());
        std::error_code ignored;
        if (kept)
            std::filesystem::rename(keep, target, ignored);
        else
            std::filesystem::remove(target, ignored);
        return false;
    }
    bitmap.setAutoRemove(false);
    dropKept();
    return true;
}

}  // namespace

QString jpegPathFor(const QString& chosenPath)
{
    const QString suffix = QFileInfo(chosenPath).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return chosenPath;
    return chosenPath + QStringLiteral(".jpg");
}

QString bitmapPathFor(const QString& jpegPath)
{
    const QFileInfo info(jpegPath);
    const QString suffix = info.suffix();
    if (suffix.isEmpty())
        return jpegPath + QStringLiteral(".bmp");
    return jpegPath.left(jpegPath.size() - suffix.size()) + QStringLiteral("bmp");
}

CardFiles cardFilesFor(const QString& chosenPath)
{
    const QString jpeg = jpegPathFor(chosenPath);
    return {jpeg, bitmapPathFor(jpeg)};
}

QStringList existingCardFiles(const CardFiles& files)
{
    QStringList existing;
    for (const QString& path : {files.jpeg, files.bitmap})
        if (QFileInfo(path).exists() || QFileInfo(path).isSymLink())
            existing.append(path);
    return existing;
}

bool saveCard(const QImage& card, const CardFiles& files, ImageUtilsLibrary& converter,
              QString* failedPath, QString* error)
{
    for (const QString& path : {files.jpeg, files.bitmap})
        if (QFileInfo(path).isDir()) {
            *failedPath = path;
            *error = QStringLiteral("a folder of that name is in the way");
            return false;
        }
    *failedPath = files.bitmap;
    const auto bitmap = temporaryBeside(files.bitmap, error);
    if (!bitmap || !writeBitmapTo(card, *bitmap, error))
        return false;
    bitmap->close();
    *failedPath = files.jpeg;
    // The converter writes the JPEG under the reserved temporary name.
    const auto jpeg = temporaryBeside(files.jpeg, error);
    if (!jpeg)
        return false;
    jpeg->close();
    if (!converter.ConvertBMPtoJPG(bitmap->fileName(), jpeg->fileName(), error))
        return false;
    // Temporaries are private; the saved files get the mode of the files they replace, or the
    // one the user's umask gives new files.
    for (const auto& [temporary, target] :
         {std::pair{bitmap->fileName(), files.bitmap}, std::pair{jpeg->fileName(), files.jpeg}})
        if (!giveTargetMode(temporary, target)) {
            *failedPath = target;
            *error = writeErrorText(errno);
            return false;
        }
    return putInPlace(*jpeg, *bitmap, files, failedPath, error);
}

bool writeBitmap(const QImage& image, const QString& path, QString* error)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!QImageWriter(&buffer, "bmp").write(image.convertToFormat(QImage::Format_RGB888))) {
        *error = QStringLiteral("the picture cannot be encoded as a bitmap");
        return false;
    }
    return writeFileAtomically(path, bytes, error, true);
}

}  // namespace orvane
