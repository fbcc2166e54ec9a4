#pragma once

#include <QFile>
#include <QString>

#include <memory>

namespace orvane {

// A picture file opened for reading: a regular file only, opened without ever waiting (a pipe,
// a device or a terminal is refused before anything is read from it).
struct OpenedPictureFile {
    std::unique_ptr<QFile> file;  // null when refused
    qint64 size = 0;              // the size the file system gives
    QString error;                // why it was refused, in words for the user
};

OpenedPictureFile openPictureFile(const QString& path);

}  // namespace orvane
