#include "render/file_stamp.h"

#include <chrono>

#ifdef _WIN32
#include <QDateTime>
#include <QFileInfo>
#include <QString>
#else
#include <sys/stat.h>
#endif

namespace orvane {

FileStamp statFile(const QByteArray& nativePath)
{
#ifdef _WIN32
    const QFileInfo info(QString::fromLocal8Bit(nativePath));
    if (!info.exists())
        return {};
    return {true, info.size(), info.lastModified().toMSecsSinceEpoch() * 1000000};
#else
    struct stat st {};
    if (::stat(nativePath.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return {true, static_cast<qint64>(st.st_size),
            static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
#endif
}

qint64 fileClockNowNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace orvane
