// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "render/part_file_watcher.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTimer>

namespace orvane {

// Watches a deck and every file it draws from (its pictures, the card parts) and says, in one
// signal, which of them changed - once each change is complete:
//  - a file written in place, replaced by renaming another over it (as editors and spreadsheet
//    programs save), removed or created counts, each time its size, time or identity changes;
//  - events are gathered until the files have been quiet for `settleMs` (default 5 ms), so a
//    save of many writes gives one signal;
//  - a file caught half-written is held back until it looks complete: a deck (.csv, .tsv, ...)
//    once it ends with a line end; a card file once its JSON object is closed; a PNG, JPEG,
//    GIF or BMP once its format's end is there; it
//    is let through anyway when it stays unchanged for `patienceMs` (default 1000 ms), so a
//    file that really ends short still reaches the reader, which reports it.
// Widget-free, on the thread it lives on; idle (no timer) while nothing changes, except where the
// system cannot watch a folder: then it looks every 100 ms.
class DeckWatcher : public QObject {
    Q_OBJECT
public:
    explicit DeckWatcher(QObject* parent = nullptr);

    // Watches these files (full paths) from now on, replacing the files watched before. Changes
    // are measured from a file's present state, or for a file watched already from its state
    // last reported (a change made meanwhile is still seen). Files that do not exist yet are
    // watched for their arrival. With a `folder`, its files whose names end in `suffix` are
    // watched too, and one that appears later is reported as changed (the folder is watched
    // through the files given in it: give at least one, which need not exist).
    void watch(const QStringList& files, const QString& folder = {}, const QString& suffix = {});
    QStringList files() const { return m_files; }

    void setSettleMs(int ms) { m_settle.setInterval(ms); }
    void setPatienceMs(int ms) { m_patienceMs = ms; }

    // Whether a file's bytes look whole, by its kind (see above); other kinds always do.
    static bool looksComplete(const QString& path);

signals:
    // The watched files that changed since the last signal (or since watch()), in watch order.
    void changed(const QStringList& files);

private:
    struct Stamp {
        bool exists = false;
        qint64 size = -1;
        qint64 modifiedNs = 0;
        qint64 changedNs = 0;
        quint64 identity = 0;
        bool operator==(const Stamp&) const = default;
    };
    static Stamp stampOf(const QString& path);
    void look();
    // The folder's files of the suffix that are not watched yet.
    QStringList newFolderFiles() const;

    PartFileWatcher m_watcher;
    QTimer m_settle;
    QTimer m_poll;
    QTimer m_recheck;  // while a file is held back as incomplete
    QStringList m_files;
    QString m_folder;
    QString m_suffix;
    QHash<QString, Stamp> m_reported;    // the state last reported (or found by watch())
    QHash<QString, qint64> m_heldSince;  // files held back as incomplete: since when (ms)
    QHash<QString, Stamp> m_heldStamp;
    int m_patienceMs = 1000;
};

}  // namespace orvane
