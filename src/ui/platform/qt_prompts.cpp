#include "platform/qt_prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QSettings>

namespace orvane {
namespace {

QWidget* activeParent()
{
    return QApplication::activeWindow();
}

// The folder each dialog (by title) was last left in, kept between runs.
QString folderKey(const Dialog& dialog)
{
    return QStringLiteral("Folders/") +
           (dialog.DialogTitle.isEmpty() ? QStringLiteral("untitled") : dialog.DialogTitle);
}

bool runFileDialog(Dialog& dialog, QFileDialog::AcceptMode mode)
{
    QFileDialog fileDialog(activeParent(), dialog.DialogTitle);
    QSettings settings;
    const QString lastFolder = settings.value(folderKey(dialog)).toString();
    if (!lastFolder.isEmpty() && QFileInfo(lastFolder).isDir())
        fileDialog.setDirectory(lastFolder);
    fileDialog.setAcceptMode(mode);
    fileDialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                           : QFileDialog::AnyFile);
    fileDialog.setNameFilters(dialog.nameFilters());
    fileDialog.selectNameFilter(dialog.selectedNameFilter());
    if (!dialog.FileName.isEmpty()) {
        const QFileInfo offered(dialog.FileName);
        if (offered.isAbsolute())
            fileDialog.setDirectory(offered.absolutePath());
        fileDialog.selectFile(offered.fileName());
    }
    if (fileDialog.exec() != QDialog::Accepted || fileDialog.selectedFiles().isEmpty())
        return false;
    dialog.FileName = fileDialog.selectedFiles().constFirst();
    settings.setValue(folderKey(dialog), QFileInfo(dialog.FileName).absolutePath());
    return true;
}

}  // namespace

int QtPrompts::messageBox(const QString& text, int style, const QString& title)
{
    QMessageBox box(activeParent());
    box.setWindowTitle(title);
    box.setText(text);
    if (style & Question)
        box.setIcon(QMessageBox::Question);
    else if ((style & Exclamation) == Exclamation)
        box.setIcon(QMessageBox::Warning);
    else if (style & Critical)
        box.setIcon(QMessageBox::Critical);
    if ((style & 7) == YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? AnswerYes : AnswerNo;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return AnswerOk;
}

QString QtPrompts::inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    bool ok = false;
    const QString answer =
        QInputDialog::getText(activeParent(), title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : QString();
}

void QtPrompts::beep()
{
    QApplication::beep();
}

bool QtPrompts::showOpen(Dialog& dialog)
{
    return runFileDialog(dialog, QFileDialog::AcceptOpen);
}

bool QtPrompts::showSave(Dialog& dialog)
{
    return runFileDialog(dialog, QFileDialog::AcceptSave);
}

bool QtPrompts::chooseFolder(QString& folder, const QString& title)
{
    const QString chosen = QFileDialog::getExistingDirectory(activeParent(), title, folder);
    if (chosen.isEmpty())
        return false;
    folder = chosen;
    return true;
}

void QtPrompts::notify(const QString& text, const QString& title)
{
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

SaveChoice QtPrompts::askSaveChanges(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Warning, title, text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                    activeParent());
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save: return SaveChoice::Save;
    case QMessageBox::Discard: return SaveChoice::Discard;
    default: return SaveChoice::Cancel;
    }
}

}  // namespace orvane
