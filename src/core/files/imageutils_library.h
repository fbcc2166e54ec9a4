// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLibrary>
#include <QString>

namespace orvane {

// The ImageUtils converter, loaded by its full path on first use (a bare name would search
// the system's library folders).
class ImageUtilsLibrary {
public:
    using ConvertFunction = int (*)(const char*, const char*, int, int, int);

    explicit ImageUtilsLibrary(QString path);

    // Default place: beside the executable.
    static QString defaultPath();

    // Converts; returns false with a reason when the library, the function or the conversion
    // fails.
    bool ConvertBMPtoJPG(const QString& bitmapPath, const QString& jpegPath, QString* error);

private:
    QString m_path;
    QLibrary m_library;
    ConvertFunction m_convert = nullptr;
};

}  // namespace orvane
