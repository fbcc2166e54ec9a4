// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_dialog.h"

#include "platform/file_icons.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>

namespace orvane {

FileDialog::FileDialog(const Dialog& settings, AcceptMode mode, QWidget* parent)
    : QFileDialog(parent, settings.DialogTitle)
{
    setOption(QFileDialog::DontUseNativeDialog);
    setIconProvider(&FileIcons::shared());
    setAcceptMode(mode);
    setFileMode(mode == AcceptOpen ? ExistingFile : AnyFile);
    setOption(QFileDialog::DontConfirmOverwrite, !settings.OverwritePrompt);
    setNameFilters(settings.nameFilters());
    selectNameFilter(settings.selectedNameFilter());
    const QString folder = settings.startFolder();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        setDirectory(folder);
    m_nameBox = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (m_nameBox)
        m_nameBox->installEventFilter(this);
    if (!settings.FileName.isEmpty()) {
        const QString offered = QFileInfo(settings.FileName).fileName();
        selectFile(offered);
        if (isWildcardName(offered))
            filterListing(settings.resolve(settings.FileName));
    }
}

QString FileDialog::typedPath() const
{
    const QString typed = m_nameBox ? m_nameBox->text().trimmed() : QString();
    if (typed.isEmpty() || QFileInfo(typed).isAbsolute())
        return typed;
    return directory().absoluteFilePath(typed);
}

bool FileDialog::filterListing(const QString& pattern)
{
    const QFileInfo info(pattern);
    const QString folder = info.path();
    const QString name = info.fileName();
    if (isWildcardName(folder) || !QFileInfo(folder).isDir())
        return false;
    if (QFileInfo(folder) != QFileInfo(directory().absolutePath()))
        setDirectory(folder);
    // The pattern becomes the selected entry of the filter list, so the user sees what the
    // listing shows; a filter that already shows exactly these files stays selected.
    const QString current = selectedNameFilter();
    if (current != name && !current.endsWith(QStringLiteral("(%1)").arg(name))) {
        QStringList filters = nameFilters();
        if (!filters.contains(name))
            setNameFilters(filters << name);
        selectNameFilter(name);
    }
    if (m_nameBox)
        m_nameBox->setText(name);
    return true;
}

void FileDialog::accept()
{
    QString pattern = typedPath();
    if (!isWildcardName(pattern)) {
        pattern.clear();
        for (const QString& file : selectedFiles())
            if (isWildcardName(file))
                pattern = file;
    }
    if (pattern.isEmpty()) {
        QFileDialog::accept();
        return;
    }
    if (!filterListing(pattern))
        QApplication::beep();
}

bool FileDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Enter on a pattern filters even where the dialog's button is off (an open dialog offers
    // it only for an existing file).
    if (watched == m_nameBox && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && isWildcardName(typedPath())) {
            accept();
            return true;
        }
    }
    return QFileDialog::eventFilter(watched, event);
}

}  // namespace orvane
