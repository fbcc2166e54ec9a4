#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace orvane {

// What a cheap stat tells about a file: enough to see that it was rewritten.
struct FileStamp {
    bool exists = false;
    qint64 size = -1;
    qint64 modifiedNs = 0;  // since the epoch

    bool operator==(const FileStamp&) const = default;
};

FileStamp statFile(const QByteArray& nativePath);

// Now, on the clock file modification times are measured with (ns since the epoch).
qint64 fileClockNowNs();

}  // namespace orvane
