// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/picture_cache.h"

#include "render/part_pack.h"
#include "system/regular_file.h"

#include <QFile>
#include <QImageReader>

namespace orvane {

QImage readPictureFile(const QString& path, int maxSide, QString* error)
{
    // A regular file only, opened without waiting: a part swapped for a pipe or a device is
    // refused, never read.
    const OpenedFile opened = openRegularFile(path);
    if (!opened.file) {
        *error = opened.error;
        return {};
    }
    QImageReader reader(opened.file.get());
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > maxSide || size.height() > maxSide)) {
        *error = QStringLiteral("the picture is too large (%1 × %2 pixels)")
                     .arg(size.width())
                     .arg(size.height());
        return {};
    }
    QImage image = reader.read();
    if (image.isNull()) {
        *error = reader.error() == QImageReader::FileNotFoundError
                     ? QStringLiteral("the file does not exist")
                     : QStringLiteral("it is not a picture this tool can read (%1)")
                           .arg(reader.errorString());
        return {};
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

bool PictureCache::needsRead(const Entry& entry, const FileStamp& stamp) const
{
    // A file stamped in the future (a skewed clock, an unpacked archive) is not "recent" for
    // ever: only stamps within the window on either side of now count.
    const qint64 age = fileClockNowNs() - stamp.modifiedNs;
    const bool recent = m_alwaysReload || (age < m_recentWindowNs && age > -m_recentWindowNs);
    if (entry.failing)
        return stamp != entry.failedStamp || recent;
    return entry.image.isNull() || stamp != entry.goodStamp || recent;
}

void PictureCache::read(Entry& entry, const FileStamp& stamp)
{
    ++m_readCount;
    QString error;
    QImage image = readPictureFile(entry.path, MaxSide, &error);
    if (image.isNull()) {
        entry.failedStamp = stamp;
        entry.error = error;
        return;
    }
    entry.goodStamp = stamp;
    entry.error.clear();
    if (image != entry.image) {
        entry.image = std::move(image);
        entry.version = m_nextVersion++;
    }
}

void PictureCache::setPackFolder(const QString& folder)
{
    if (folder == m_packFolder)
        return;
    m_packFolder = folder;
    m_entries.clear();  // the versions go on rising, so a shown picture is never taken as current
}

QString PictureCache::pathOf(const QString& name) const
{
    static const QString gfx = QStringLiteral("gfx/");
    if (!m_packFolder.isEmpty() && name.startsWith(gfx)) {
        // A pack part may be a BMP or a PNG; a missing one is looked for as the BMP.
        const QString file = packPartFile(m_packFolder, name);
        if (!file.isEmpty())
            return file;
        return m_packFolder + QLatin1Char('/') + name.mid(gfx.size());
    }
    return m_root.isEmpty() ? name : m_root + QLatin1Char('/') + name;
}

PictureCache::Result PictureCache::fetch(const QString& name)
{
    auto it = m_entries.find(name);
    if (it == m_entries.end())
        it = m_entries.insert(name, Entry{});
    Entry& entry = *it;
    if (entry.path.isEmpty() || (!m_packFolder.isEmpty() && entry.checkedInRound != m_round)) {
        // In a pack the part's file may change between its BMP and its PNG.
        QString path = pathOf(name);
        if (path != entry.path) {
            entry.path = std::move(path);
            entry.nativePath = QFile::encodeName(entry.path);
            entry.goodStamp = {};
            entry.failedStamp = {};
        }
    }
    if (entry.checkedInRound == m_round && !m_alwaysReload) {
        if (entry.failing)
            return {nullptr, &entry.path, entry.version, entry.error, false};
        return {&entry.image, &entry.path, entry.version, {}, false};
    }
    entry.checkedInRound = m_round;
    const FileStamp stamp = statFile(entry.nativePath);
    const bool wasFailing = entry.failing;
    if (!stamp.exists) {
        entry.failedStamp = stamp;
        entry.error = QStringLiteral("the file does not exist");
        entry.failing = true;
    } else if (needsRead(entry, stamp)) {
        read(entry, stamp);
        entry.failing = !entry.error.isEmpty();
    }
    if (entry.failing)
        return {nullptr, &entry.path, entry.version, entry.error, !wasFailing};
    return {&entry.image, &entry.path, entry.version, {}, false};
}

}  // namespace orvane
