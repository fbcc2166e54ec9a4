// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/part_file_watcher.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace orvane {

PartFileWatcher::PartFileWatcher(QObject* parent) : QObject(parent)
{
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this] { onChange({}); });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &PartFileWatcher::onChange);
}

void PartFileWatcher::watch(const QString& root, const QStringList& relativeFiles)
{
    m_root = QDir::cleanPath(root);
    m_files.clear();
    m_folders.clear();
    for (const QString& relative : relativeFiles) {
        // A full path stays as it is: the watch serves any file, not only parts.
        const QString path = QDir::cleanPath(QDir(m_root).filePath(relative));
        m_files << path;
        const QString folder = QFileInfo(path).path();
        if (!m_folders.contains(folder))
            m_folders << folder;
    }
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    renewWatches();
}

void PartFileWatcher::onChange(const QString& changedFolder)
{
    // A file replaced by renaming another over it keeps its old watch while the old file is
    // still open somewhere: watch the files of a changed folder afresh.
    if (!changedFolder.isEmpty()) {
        QStringList stale;
        for (const QString& file : m_watcher.files())
            if (QFileInfo(file).path() == changedFolder)
                stale << file;
        if (!stale.isEmpty())
            m_watcher.removePaths(stale);
    }
    renewWatches();
    emit changed();
}

void PartFileWatcher::renewWatches()
{
    const QStringList watchedFiles = m_watcher.files();
    const QStringList watchedFolders = m_watcher.directories();
    QSet<QString> watched(watchedFiles.cbegin(), watchedFiles.cend());
    watched.unite(QSet<QString>(watchedFolders.cbegin(), watchedFolders.cend()));
    bool unwatchable = false;

    for (const QString& folder : std::as_const(m_folders)) {
        // The folder itself, or while it is missing the nearest parent that exists: creating
        // the folder shows there.
        QString target = folder;
        while (!QFileInfo(target).isDir() && target.size() > 1) {
            const QString parent = QFileInfo(target).path();
            if (parent == target)
                break;
            target = parent;
        }
        if (watched.contains(target))
            continue;
        if (m_watcher.addPath(target))
            watched.insert(target);
        else
            unwatchable = true;
    }
    for (const QString& file : std::as_const(m_files)) {
        // A missing file cannot be watched; its folder's watch sees it come back.
        if (watched.contains(file) || !QFileInfo(file).isFile())
            continue;
        if (m_watcher.addPath(file))
            watched.insert(file);
        else
            unwatchable = true;
    }
    // Watches dropped for parents that are no longer needed stay: a spare wake-up costs a tick.
    if (unwatchable != m_needsPolling) {
        m_needsPolling = unwatchable;
        emit pollingNeededChanged(unwatchable);
    }
}

}  // namespace orvane
