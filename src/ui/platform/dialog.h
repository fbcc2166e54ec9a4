// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace orvane {

// The main window's one file dialog: its settings stay from one use to the next, so each
// command sets only what it needs and inherits the rest.
struct Dialog {
    QString Filter;       // "Description|*.ext|Description|*.ext;*.ext2"
    int FilterIndex = 1;  // 1-based, as the filter list counts
    QString DialogTitle;  // empty: the system's default title
    QString FileName;     // offered when the dialog opens; the chosen path afterwards
    QString InitDir;      // the folder of the last chosen file; the next dialog opens there
    bool CancelError = false;
    // A save dialog asks itself before an existing file is chosen. Off where the command asks
    // its own question about the files it replaces, or adds to the file chosen.
    bool OverwritePrompt = true;

    // "Windows Bitmaps (*.bmp)|*.bmp|GIF ..." as Qt name filters: "Windows Bitmaps (*.bmp)".
    QStringList nameFilters() const;
    QString selectedNameFilter() const;

    // The folder the dialog opens in: the offered file's own folder when FileName is a full
    // path, else the folder of the last chosen file; empty for the current folder.
    QString startFolder() const;
    // `path` as the dialog resolves a typed name: relative names lie in startFolder().
    QString resolve(const QString& path) const;
    // Records the user's choice: FileName becomes the full path, InitDir its folder.
    void choose(const QString& path);
};

// True for a name the file dialogs take as a filter, never as a file: it holds * or ?.
bool isWildcardName(const QString& name);

}  // namespace orvane
