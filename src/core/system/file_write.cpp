// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/file_write.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orvane {
namespace {

std::atomic<quint64> temporaryCounter{0};

#ifndef _WIN32
QByteArray systemName(const QString& path)
{
    return QFile::encodeName(path);
}

// The mode new files get: read from the process status where the system offers it (reading
// the umask by setting it would race with other threads creating files).
mode_t newFileMode()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    return mode_t(0666 & ~mask);
            }
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return 0666 & ~mask;
}

bool writeAll(int fd, const QByteArray& bytes, int* errorNumber)
{
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            *errorNumber = errno;
            return false;
        }
        if (written == 0) {  // a device that takes nothing more
            *errorNumber = ENOSPC;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}
#endif

// A symbolic link is written through, as editors save: the file it names changes and the link
// stays. A chain of links is followed to its end (a loop ends where it began).
QString linkedFile(const QString& path)
{
    QString file = path;
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(file);
        if (!info.isSymLink())
            return file;
        file = info.symLinkTarget();
    }
    return path;
}

}  // namespace

QString shortTemporaryName(const QString& suffix)
{
    return QStringLiteral(".orv%1%2%3")
        .arg(QString::number(QCoreApplication::applicationPid(), 36))
        .arg(QString::number(temporaryCounter.fetch_add(1), 36).prepend(QLatin1Char('-')))
        .arg(suffix);
}

QString writeErrorText(int errorNumber)
{
#ifdef EDQUOT
    if (errorNumber == EDQUOT)
        return QStringLiteral("the disk is full (the disk quota is used up)");
#endif
    if (errorNumber == ENOSPC)
        return QStringLiteral("the disk is full");
    if (errorNumber == 0)
        return QStringLiteral("the system gave no reason");
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

bool giveTargetMode(const QString& temporary, const QString& target)
{
#ifdef _WIN32
    Q_UNUSED(temporary);
    Q_UNUSED(target);
    return true;
#else
    struct stat info {};
    // lstat: a link's own target lends no mode to the file that replaces the link.
    const mode_t mode = ::lstat(systemName(target).constData(), &info) == 0 && S_ISREG(info.st_mode)
                            ? mode_t(info.st_mode & 07777)
                            : newFileMode();
    return ::chmod(systemName(temporary).constData(), mode) == 0;
#endif
}

WriteOutcome writeWholeFile(const QString& givenPath, const QByteArray& bytes,
                            const WriteOptions& options, QString* error)
{
    const QString path = options.replaceLink ? givenPath : linkedFile(givenPath);
    const auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return WriteOutcome::Failed;
    };
    const QDir folder = QFileInfo(path).dir();
#ifdef _WIN32
    QString temporary;
    QFile file;
    do {
        temporary = folder.filePath(shortTemporaryName(QStringLiteral(".part")));
        file.setFileName(temporary);
    } while (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) && file.exists());
    if (!file.isOpen())
        return fail(file.errorString());
    const bool written = file.write(bytes) == bytes.size() && file.flush() &&
                         (!options.syncToDisk || _commit(file.handle()) == 0);
    const QString why = file.errorString();
    file.close();
    if (!written) {
        QFile::remove(temporary);
        return fail(why);
    }
    const bool existed = QFileInfo::exists(path);
    if (options.keepExisting && existed) {
        QFile::remove(temporary);
        return WriteOutcome::Kept;
    }
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(temporary.toStdWString()),
                            std::filesystem::path(path.toStdWString()), ec);
    if (ec) {
        QFile::remove(temporary);
        return fail(QString::fromLocal8Bit(ec.message()));
    }
    return existed ? WriteOutcome::Replaced : WriteOutcome::Created;
#else
    QByteArray temporary;
    int fd = -1;
    do {
        temporary = systemName(folder.filePath(shortTemporaryName(QStringLiteral(".part"))));
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EEXIST);
    if (fd < 0)
        return fail(writeErrorText(errno));
    int errorNumber = 0;
    bool written = writeAll(fd, bytes, &errorNumber);
    if (written && options.syncToDisk && ::fsync(fd) != 0) {
        errorNumber = errno;
        written = false;
    }
    if (::close(fd) != 0 && written) {
        errorNumber = errno;
        written = false;
    }
    const QByteArray target = systemName(path);
    // A file replaced keeps its mode. A new one keeps the temporary's: it was made as any new
    // file of the folder is (0666 under the umask, or the folder's default ACL).
    struct stat old {};
    const bool existed = ::lstat(target.constData(), &old) == 0;
    if (written && existed && S_ISREG(old.st_mode) &&
        ::chmod(temporary.constData(), old.st_mode & 07777) != 0) {
        errorNumber = errno;
        written = false;
    }
    if (!written) {
        ::unlink(temporary.constData());
        return fail(writeErrorText(errorNumber));
    }
    if (options.keepExisting) {
        // A link fails when the name is taken, so no other writer's file is ever replaced.
        if (::link(temporary.constData(), target.constData()) == 0) {
            ::unlink(temporary.constData());
            return WriteOutcome::Created;
        }
        const int linkError = errno;
        if (linkError == EEXIST) {
            ::unlink(temporary.constData());
            return WriteOutcome::Kept;
        }
        struct stat there {};
        if (::lstat(target.constData(), &there) == 0) {  // a file system without links
            ::unlink(temporary.constData());
            return WriteOutcome::Kept;
        }
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        const int renameError = errno;
        ::unlink(temporary.constData());
        return fail(renameError == EISDIR ? QStringLiteral("a folder of that name is in the way")
                                          : writeErrorText(renameError));
    }
    return existed ? WriteOutcome::Replaced : WriteOutcome::Created;
#endif
}

bool writeOutputFile(const QString& path, const QByteArray& bytes, QString* error)
{
    return writeWholeFile(path, bytes, {.replaceLink = true}, error) != WriteOutcome::Failed;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error,
                         bool syncToDisk)
{
    return writeWholeFile(path, bytes, {.syncToDisk = syncToDisk}, error) != WriteOutcome::Failed;
}

}  // namespace orvane
