// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/deck_watcher.h"

#include "card/card_file.h"
#include "system/regular_file.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace orvane {
namespace {

// While a file is held back as incomplete, it is looked at again this often.
constexpr int RecheckMs = 20;
constexpr int PollMs = 100;

qint64 monotonicMs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

bool isDeckSuffix(const QString& suffix)
{
    return suffix == QLatin1String("csv") || suffix == QLatin1String("tsv") ||
           suffix == QLatin1String("txt");
}

}  // namespace

DeckWatcher::DeckWatcher(QObject* parent) : QObject(parent)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(5);
    m_poll.setInterval(PollMs);
    m_recheck.setSingleShot(true);
    m_recheck.setInterval(RecheckMs);
    connect(&m_recheck, &QTimer::timeout, this, &DeckWatcher::look);
    connect(&m_watcher, &PartFileWatcher::changed, this, [this] { m_settle.start(); });
    connect(&m_settle, &QTimer::timeout, this, &DeckWatcher::look);
    connect(&m_poll, &QTimer::timeout, this, &DeckWatcher::look);
    connect(&m_watcher, &PartFileWatcher::pollingNeededChanged, this, [this](bool needed) {
        if (needed)
            m_poll.start();
        else
            m_poll.stop();
    });
}

void DeckWatcher::watch(const QStringList& files, const QString& folder, const QString& suffix)
{
    m_files.clear();
    m_folder = folder;
    m_suffix = suffix;
    for (const QString& file : files + newFolderFiles()) {
        const QString path = QFileInfo(file).absoluteFilePath();
        if (!m_files.contains(path))
            m_files << path;
    }
    // A file watched already keeps the state last reported, so that a change made while the
    // caller was busy with the previous one is still seen.
    QHash<QString, Stamp> reported;
    for (const QString& file : std::as_const(m_files))
        reported.insert(file, m_reported.contains(file) ? m_reported.value(file) : stampOf(file));
    m_reported = std::move(reported);
    m_heldSince.clear();
    m_heldStamp.clear();
    m_watcher.watch(QString(), m_files);
}

QStringList DeckWatcher::newFolderFiles() const
{
    QStringList found;
    if (m_folder.isEmpty())
        return found;
    const QDir folder(m_folder);
    for (const QString& name : folder.entryList({QLatin1Char('*') + m_suffix}, QDir::Files)) {
        const QString path = QFileInfo(folder.filePath(name)).absoluteFilePath();
        if (!m_files.contains(path))
            found << path;
    }
    return found;
}

void DeckWatcher::look()
{
    // A file new in the watched folder: watched from now on, and reported (it was not there).
    if (const QStringList arrived = newFolderFiles(); !arrived.isEmpty()) {
        for (const QString& file : arrived)
            m_reported.insert(file, Stamp());
        m_files += arrived;
        m_watcher.watch(QString(), m_files);
    }
    QStringList changedFiles;
    bool holding = false;
    const qint64 now = monotonicMs();
    for (const QString& file : std::as_const(m_files)) {
        const Stamp stamp = stampOf(file);
        if (stamp == m_reported.value(file)) {
            m_heldSince.remove(file);
            m_heldStamp.remove(file);
            continue;
        }
        if (stamp.exists && !looksComplete(file)) {
            const auto held = m_heldStamp.constFind(file);
            if (held == m_heldStamp.cend() || !(*held == stamp)) {
                // Still being written: patience runs from its last change.
                m_heldStamp.insert(file, stamp);
                m_heldSince.insert(file, now);
                holding = true;
                continue;
            }
            if (now - m_heldSince.value(file) < m_patienceMs) {
                holding = true;
                continue;
            }
        }
        m_heldSince.remove(file);
        m_heldStamp.remove(file);
        m_reported.insert(file, stamp);
        changedFiles << file;
    }
    if (holding && !m_recheck.isActive())
        m_recheck.start();
    if (!changedFiles.isEmpty())
        emit changed(changedFiles);
}

DeckWatcher::Stamp DeckWatcher::stampOf(const QString& path)
{
    Stamp stamp;
#ifndef _WIN32
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return stamp;
    stamp.exists = true;
    stamp.size = info.st_size;
    stamp.modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.changedNs = qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    stamp.identity = quint64(info.st_ino);
#else
    const QFileInfo info(path);
    if (!info.exists())
        return stamp;
    stamp.exists = true;
    stamp.size = info.size();
    stamp.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
    stamp.changedNs = info.metadataChangeTime().toMSecsSinceEpoch() * 1000000;
#endif
    return stamp;
}

bool DeckWatcher::looksComplete(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    const OpenedFile opened = openRegularFile(path);
    if (!opened.file)
        return !opened.error.contains(QLatin1String("empty"));  // the reader reports the rest
    QFile& file = *opened.file;
    const qint64 size = opened.size;
    const auto tail = [&](qint64 count) {
        return size >= count && file.seek(size - count) ? file.read(count) : QByteArray();
    };
    if (suffix == QLatin1String(CardFileSuffix)) {
        // A JSON object, perhaps followed by a line end.
        const QByteArray last = tail(std::min<qint64>(size, 16)).trimmed();
        return last.endsWith('}');
    }
    if (isDeckSuffix(suffix)) {
        const QByteArray last = tail(1);
        return last == "\n" || last == "\r";
    }
    if (suffix == QLatin1String("png"))
        return tail(8) == QByteArray("IEND\xAE\x42\x60\x82", 8);
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return tail(2) == QByteArray("\xFF\xD9", 2);
    if (suffix == QLatin1String("gif"))
        return tail(1) == QByteArray(";");
    if (suffix == QLatin1String("bmp")) {
        const QByteArray header = file.read(6);
        if (header.size() < 6 || !header.startsWith("BM"))
            return true;  // not a bitmap after all: the reader says so
        const quint32 declared = quint32(uchar(header[2])) | quint32(uchar(header[3])) << 8 |
                                 quint32(uchar(header[4])) << 16 | quint32(uchar(header[5])) << 24;
        return qint64(declared) <= size;
    }
    return true;
}

}  // namespace orvane
