// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

#include <sys/mount.h>
#include <sys/statvfs.h>

// A tiny memory disk (tmpfs) mounted on a temporary folder, to fill up on purpose. Mounting needs
// root; where it is impossible, `mounted()` is false and the test skips.
class SmallDisk {
public:
    explicit SmallDisk(int kibibytes)
    {
        const QByteArray options = "size=" + QByteArray::number(kibibytes) + "k";
        m_mounted = m_folder.isValid() && ::mount("tmpfs", QFile::encodeName(m_folder.path()),
                                                  "tmpfs", 0, options.constData()) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_folder.path()).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }
    QString filePath(const QString& name) const { return m_folder.filePath(name); }

    qint64 freeBytes() const
    {
        struct statvfs info {};
        if (::statvfs(QFile::encodeName(m_folder.path()).constData(), &info) != 0)
            return -1;
        return qint64(info.f_bavail) * qint64(info.f_frsize);
    }
    // Fills the disk with a file of its own until only `bytesLeft` are free.
    bool fillLeaving(qint64 bytesLeft)
    {
        QFile filler(filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::Append))
            return false;
        const qint64 room = freeBytes() - bytesLeft;
        if (room > 0 && filler.write(QByteArray(room, 'f')) != room)
            return false;
        return filler.flush() && freeBytes() == bytesLeft;
    }
    // Makes the disk read-only.
    bool makeReadOnly()
    {
        return ::mount("tmpfs", QFile::encodeName(m_folder.path()), "tmpfs", MS_REMOUNT | MS_RDONLY,
                       nullptr) == 0;
    }

    // Every file on the disk with its bytes.
    QMap<QString, QByteArray> contents() const
    {
        QMap<QString, QByteArray> files;
        for (const QString& name :
             QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            QFile file(filePath(name));
            files[name] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?");
        }
        return files;
    }

private:
    QTemporaryDir m_folder;
    bool m_mounted = false;
};
