// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>

namespace orvane {

// Tells when any card-part file may have changed on disk, so the editor looks at the files only
// then. Each file is watched, and so is its folder (a file replaced by renaming, removed or put
// back shows there); a folder that does not exist yet is watched through its nearest existing
// parent. Where the system cannot watch a folder, `needsPolling()` is true and the caller falls
// back to looking at the files regularly.
class PartFileWatcher : public QObject {
    Q_OBJECT
public:
    explicit PartFileWatcher(QObject* parent = nullptr);

    // `root` is the folder holding gfx/; `relativeFiles` the part files below it (a full path
    // is taken as it is).
    void watch(const QString& root, const QStringList& relativeFiles);
    bool needsPolling() const { return m_needsPolling; }

signals:
    void changed();
    void pollingNeededChanged(bool needed);

private:
    void onChange(const QString& changedFolder);
    // Adds every watch that is missing: after a file came back or a folder was created.
    void renewWatches();

    QFileSystemWatcher m_watcher;
    QString m_root;
    QStringList m_files;    // full paths
    QStringList m_folders;  // full paths of the folders holding them
    bool m_needsPolling = false;
};

}  // namespace orvane
