// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dialog.h"

#include <QFileDialog>

class QLineEdit;

namespace orvane {

// The tool's open and save dialog, set up from the shared Dialog settings. Qt's own dialog,
// never the desktop's, so that two rules hold everywhere:
// - a name with * or ? is a filter: the listing shows the matching files and the dialog stays
//   open; such a name is never accepted as a file;
// - the listing never reads a file's content (see FileIcons).
class FileDialog final : public QFileDialog {
    Q_OBJECT
public:
    FileDialog(const Dialog& settings, AcceptMode mode, QWidget* parent = nullptr);

    // The box the file name is typed in.
    QLineEdit* nameBox() const { return m_nameBox; }

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows the files matching `pattern`, a path whose last part holds * or ?. False when the
    // pattern's folder does not exist or holds a wildcard itself.
    bool filterListing(const QString& pattern);
    QString typedPath() const;

    QLineEdit* m_nameBox = nullptr;
};

}  // namespace orvane
