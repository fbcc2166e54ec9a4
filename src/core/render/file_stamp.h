// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace orvane {

// What a cheap stat tells about a file: its size, times and identity. A file written, touched
// or replaced (a rename over it) since has another stamp. No regular file: not `exists`, size -1.
struct FileStamp {
    bool exists = false;
    qint64 size = -1;
    qint64 modifiedNs = 0;  // since the epoch
    qint64 changedNs = 0;   // the status change time (a touch, a rename over it)
    quint64 inode = 0;
    quint64 device = 0;

    bool operator==(const FileStamp&) const = default;
};

FileStamp statFile(const QByteArray& nativePath);
FileStamp statFile(const QString& path);

// Now, on the clock file modification times are measured with (ns since the epoch).
qint64 fileClockNowNs();

}  // namespace orvane
