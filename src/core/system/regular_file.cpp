// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/regular_file.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef __linux__
#include <linux/magic.h>
#include <sys/vfs.h>
#endif

namespace orvane {
namespace {

OpenedFile refused(const QString& why)
{
    return {nullptr, 0, why};
}

QString notRegular()
{
    return QStringLiteral("it is not a regular file (but a folder, a device, a pipe or a system "
                          "file)");
}

#ifndef _WIN32

// The kernel's own file systems: their files claim to be regular, but their content is made up
// while it is read (it may never end, wait for data, or be consumed by reading it).
bool onSystemFileSystem(int fd)
{
#ifdef __linux__
    struct statfs info {};
    if (::fstatfs(fd, &info) != 0)
        return false;
    switch (static_cast<unsigned long>(info.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case PSTOREFS_MAGIC:
    case EFIVARFS_MAGIC:
    case BPF_FS_MAGIC: return true;
    default: return false;
    }
#else
    (void)fd;
    return false;
#endif
}

#endif

}  // namespace

#ifndef _WIN32

static OpenedFile openChecked(const QString& path, bool emptyIsFine)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat before {};
    if (::stat(name.constData(), &before) != 0)
        return refused(errno == ENOENT || errno == ENOTDIR
                           ? QStringLiteral("the file does not exist")
                           : QStringLiteral("the file cannot be read (%1)")
                                 .arg(QString::fromLocal8Bit(std::strerror(errno))));
    if (!S_ISREG(before.st_mode))
        return refused(notRegular());
    // Non-blocking, so that a file swapped for a pipe meanwhile cannot make the open wait.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return refused(QStringLiteral("the file cannot be read (%1)")
                           .arg(QString::fromLocal8Bit(std::strerror(errno))));
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_ino != before.st_ino ||
        opened.st_dev != before.st_dev || onSystemFileSystem(fd)) {
        ::close(fd);
        return refused(notRegular());
    }
    if (opened.st_size == 0) {
        // Empty - or a file of some other made-up file system whose size is unknown until it is
        // read: one byte, without waiting, tells them apart.
        char probe = 0;
        const ssize_t got = ::read(fd, &probe, 1);
        if (got != 0 || !emptyIsFine) {
            ::close(fd);
            return refused(got == 0 ? QStringLiteral("the file is empty") : notRegular());
        }
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refused(QStringLiteral("the file cannot be read (%1)").arg(file->errorString()));
    }
    return {std::move(file), qint64(opened.st_size), {}};
}

#else

static OpenedFile openChecked(const QString& path, bool emptyIsFine)
{
    const QFileInfo info(path);
    if (!info.exists())
        return refused(QStringLiteral("the file does not exist"));
    if (!info.isFile())
        return refused(notRegular());
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly))
        return refused(QStringLiteral("the file cannot be read (%1)").arg(file->errorString()));
    if (file->size() == 0 && !emptyIsFine)
        return refused(QStringLiteral("the file is empty"));
    const qint64 size = file->size();
    return {std::move(file), size, {}};
}

#endif

OpenedFile openRegularFile(const QString& path)
{
    return openChecked(path, false);
}

ReadFile readRegularFile(const QString& path, qint64 maxBytes)
{
    ReadFile read;
    const OpenedFile opened = openChecked(path, true);
    if (!opened.file) {
        read.error = opened.error;
        return read;
    }
    const auto tooLarge = [&] {
        read.bytes.clear();
        read.tooLarge = true;
        read.error =
            QStringLiteral("it is larger than %1 MiB").arg(double(maxBytes) / (1 << 20), 0, 'g', 3);
        return read;
    };
    if (opened.size > maxBytes)
        return tooLarge();
    // One byte more than the bound is asked for, so that a file grown since it was measured is
    // noticed without reading the rest of it.
    read.bytes.resize(qsizetype(std::min(opened.size, maxBytes) + 1));
    qint64 total = 0;
    for (;;) {
        if (total == read.bytes.size()) {
            if (total > maxBytes)
                return tooLarge();
            read.bytes.resize(qsizetype(std::min<qint64>(total * 2 + 4096, maxBytes + 1)));
        }
        const qint64 got = opened.file->read(read.bytes.data() + total, read.bytes.size() - total);
        if (got < 0) {
            read.bytes.clear();
            read.error =
                QStringLiteral("the file cannot be read (%1)").arg(opened.file->errorString());
            return read;
        }
        if (got == 0)
            break;
        total += got;
    }
    if (total > maxBytes)
        return tooLarge();
    read.bytes.truncate(qsizetype(total));
    return read;
}

}  // namespace orvane
