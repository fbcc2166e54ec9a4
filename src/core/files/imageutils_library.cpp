// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/imageutils_library.h"

#include "imageutils.h"

#include <QCoreApplication>
#include <QFile>

namespace orvane {

ImageUtilsLibrary::ImageUtilsLibrary(QString path) : m_path(std::move(path)) {}

QString ImageUtilsLibrary::defaultPath()
{
#ifdef _WIN32
    return QCoreApplication::applicationDirPath() + QStringLiteral("/ImageUtils.dll");
#else
    return QCoreApplication::applicationDirPath() + QStringLiteral("/libImageUtils.so");
#endif
}

bool ImageUtilsLibrary::ConvertBMPtoJPG(const QString& bitmapPath, const QString& jpegPath,
                                        QString* error)
{
    if (!m_convert) {
        if (!m_library.isLoaded()) {
            m_library.setFileName(m_path);
            if (!m_library.load()) {
                *error = QStringLiteral("the JPEG converter library could not be loaded from %1 "
                                        "(%2)")
                             .arg(m_path, m_library.errorString());
                return false;
            }
        }
        m_convert = reinterpret_cast<ConvertFunction>(m_library.resolve("ConvertBMPtoJPG"));
        if (!m_convert) {
            *error =
                QStringLiteral("the JPEG converter library %1 has no ConvertBMPtoJPG").arg(m_path);
            return false;
        }
    }
    const int result = m_convert(QFile::encodeName(bitmapPath).constData(),
                                 QFile::encodeName(jpegPath).constData(), ImageUtilsDefaultQuality,
                                 ImageUtilsChroma444, ImageUtilsNoFlags);
    if (result != ImageUtilsOk) {
        *error = QString::fromUtf8(ImageUtilsErrorText(result));
        return false;
    }
    return true;
}

}  // namespace orvane
