#pragma once

#include <QString>
#include <QStringList>

namespace orvane {

// The main window's one file dialog: its settings stay from one use to the next, so each
// command sets only what it needs and inherits the rest.
struct Dialog {
    QString Filter;       // "Description|*.ext|Description|*.ext"
    int FilterIndex = 1;  // 1-based, as the filter list counts
    QString DialogTitle;  // empty: the system's default title
    QString FileName;     // offered when the dialog opens; the chosen path afterwards
    bool CancelError = false;

    // "Windows Bitmaps (*.bmp)|*.bmp|GIF ..." as Qt name filters: "Windows Bitmaps (*.bmp)".
    QStringList nameFilters() const;
    QString selectedNameFilter() const;
};

}  // namespace orvane
