// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "render/file_stamp.h"

#include <QHash>
#include <QImage>
#include <QString>

namespace orvane {

// Decodes each picture file once and hands the same image back while the file is unchanged.
// A file is read again when its stamp (size, times, identity) differs from the last read, and on
// every request while its modification time is recent: a file system with a coarse clock can
// hide a quick rewrite behind an unchanged stamp. A failed read keeps the last good picture.
class PictureCache {
public:
    struct Result {
        const QImage* image = nullptr;  // the current good picture; null if the read failed
        const QString* path = nullptr;  // the full path looked at
        quint64 version = 0;            // changes whenever the picture does
        QString error;                  // why the read failed
        bool newFailure = false;        // the first failure since the file last read well
    };

    // Largest side accepted for a card part; a larger file is refused, not decoded.
    static constexpr int MaxSide = 4096;

    // Starts a new round of requests (one timer tick): a file asked for again in the same round
    // is answered from the first look without touching the disk again.
    void beginRound() { ++m_round; }
    // Names are taken relative to `root` (none: names are paths).
    void setRoot(const QString& root) { m_root = root; }
    // Reads the part names of the catalogue ("gfx/bitblts/1.bmp") from a pack folder laid out
    // like gfx/ instead ("FOLDER/bitblts/1.bmp", else its .png); other names stay below the
    // root. Empty: the root's gfx/ again. Every picture is looked at anew.
    void setPackFolder(const QString& folder);
    QString packFolder() const { return m_packFolder; }
    Result fetch(const QString& name);
    void setRecentWindowNs(qint64 ns) { m_recentWindowNs = ns; }
    // Decodes the file on every request, as if there were no cache (for measurements).
    void setAlwaysReload(bool on) { m_alwaysReload = on; }
    // How many times a file was read and decoded.
    quint64 readCount() const { return m_readCount; }

private:
    struct Entry {
        QString path;
        QByteArray nativePath;
        FileStamp goodStamp;
        FileStamp failedStamp;
        QImage image;
        quint64 version = 0;
        bool failing = false;
        QString error;
        quint64 checkedInRound = 0;
    };

    bool needsRead(const Entry& entry, const FileStamp& stamp) const;
    void read(Entry& entry, const FileStamp& stamp);
    QString pathOf(const QString& name) const;

    QString m_root;
    QString m_packFolder;
    QHash<QString, Entry> m_entries;  // by name
    quint64 m_nextVersion = 1;
    quint64 m_round = 1;
    bool m_alwaysReload = false;
    quint64 m_readCount = 0;
    qint64 m_recentWindowNs = 2500LL * 1000 * 1000;
};

// Reads a picture file into a 32-bit RGB image, refusing files whose header is too large.
QImage readPictureFile(const QString& path, int maxSide, QString* error);

}  // namespace orvane
