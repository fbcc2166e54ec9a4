// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/file_stamp.h"

#include <chrono>

#include <QFile>

#ifdef _WIN32
#include <QDateTime>
#include <QFileInfo>
#else
#include <sys/stat.h>
#endif

namespace orvane {

FileStamp statFile(const QByteArray& nativePath)
{
    FileStamp stamp;
#ifdef _WIN32
    const QFileInfo info(QString::fromLocal8Bit(nativePath));
    if (!info.isFile())
        return stamp;
    constexpr qint64 NsPerMs = 1000000;
    stamp.size = info.size();
    stamp.modifiedNs = info.lastModified().toMSecsSinceEpoch() * NsPerMs;
    stamp.changedNs = info.metadataChangeTime().toMSecsSinceEpoch() * NsPerMs;
    // No inode here; a file put in place by a rename is born anew.
    stamp.inode = quint64(info.fileTime(QFileDevice::FileBirthTime).toMSecsSinceEpoch());
#else
    struct stat st {};
    if (::stat(nativePath.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return stamp;
    constexpr qint64 NsPerSecond = 1000000000;
    stamp.size = qint64(st.st_size);
    stamp.modifiedNs = qint64(st.st_mtim.tv_sec) * NsPerSecond + st.st_mtim.tv_nsec;
    stamp.changedNs = qint64(st.st_ctim.tv_sec) * NsPerSecond + st.st_ctim.tv_nsec;
    stamp.inode = quint64(st.st_ino);
    stamp.device = quint64(st.st_dev);
#endif
    stamp.exists = true;
    return stamp;
}

FileStamp statFile(const QString& path)
{
    return statFile(QFile::encodeName(path));
}

qint64 fileClockNowNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace orvane
