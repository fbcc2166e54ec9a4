// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileIconProvider>

namespace orvane {

// Icons and type names for the file dialog's listing, told apart by kind and file-name
// extension only. The default provider reads the start of every file to guess its type, which
// blocks for good on files that never end (a device, a FIFO, /proc/kmsg); this one opens no file.
class FileIcons final : public QFileIconProvider {
public:
    // One provider for the whole run: a listing's background gatherer may still ask it while
    // its dialog is being torn down.
    static FileIcons& shared();

    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;
};

}  // namespace orvane
