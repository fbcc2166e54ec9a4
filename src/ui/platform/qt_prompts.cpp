// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_prompts.h"

#include "platform/file_dialog.h"
#include "platform/file_icons.h"

#include <QApplication>
#include <QInputDialog>
#include <QPushButton>
#include <QSettings>

namespace orvane {
namespace {

// The folder of the last file chosen in any dialog, kept between runs: the first dialog of a
// run opens where the previous run left off, every later one beside the last chosen file.
const QString LastFolderKey = QStringLiteral("Folders/last");

bool runFileDialog(Dialog& dialog, QFileDialog::AcceptMode mode)
{
    QSettings settings;
    if (dialog.startFolder().isEmpty())
        dialog.InitDir = settings.value(LastFolderKey).toString();
    FileDialog fileDialog(dialog, mode, promptOwner());
    if (fileDialog.exec() != QDialog::Accepted || fileDialog.selectedFiles().isEmpty())
        return false;
    dialog.choose(fileDialog.selectedFiles().constFirst());
    settings.setValue(LastFolderKey, dialog.InitDir);
    return true;
}

}  // namespace

QMessageBox::Icon messageIcon(int style)
{
    switch (style & MessageIconMask) {
    case Critical: return QMessageBox::Critical;
    case Question: return QMessageBox::Question;
    case Exclamation: return QMessageBox::Warning;
    case Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

QList<MessageButton> messageButtons(int style)
{
    using B = QMessageBox;
    switch (style & MessageButtonsMask) {
    case OkCancel: return {{B::Ok, AnswerOk}, {B::Cancel, AnswerCancel}};
    case AbortRetryIgnore:
        return {{B::Abort, AnswerAbort}, {B::Retry, AnswerRetry}, {B::Ignore, AnswerIgnore}};
    case YesNoCancel: return {{B::Yes, AnswerYes}, {B::No, AnswerNo}, {B::Cancel, AnswerCancel}};
    case YesNo: return {{B::Yes, AnswerYes}, {B::No, AnswerNo}};
    case RetryCancel: return {{B::Retry, AnswerRetry}, {B::Cancel, AnswerCancel}};
    default: return {{B::Ok, AnswerOk}};
    }
}

QList<MessageButton> setUpMessageBox(QMessageBox& box, int style)
{
    box.setIcon(messageIcon(style));
    const QList<MessageButton> buttons = messageButtons(style);
    QMessageBox::StandardButtons shown;
    for (const MessageButton& b : buttons)
        shown |= b.button;
    box.setStandardButtons(shown);
    const bool second = (style & DefaultButton2) != 0 && buttons.size() > 1;
    box.setDefaultButton(second ? buttons[1].button : buttons.constFirst().button);
    return buttons;
}

QString wrappableText(const QString& text)
{
    constexpr int LongestUnbroken = 40;
    const QChar breakHere(0x200B);  // an invisible place where a line may break
    QString wrapped;
    wrapped.reserve(text.size() + text.size() / 16);
    int sinceBreak = 0;
    for (const QChar c : text) {
        wrapped += c;
        if (c.isSpace()) {
            sinceBreak = 0;
        } else if (c == QLatin1Char('/') || c == QLatin1Char('\\') ||
                   ++sinceBreak >= LongestUnbroken) {
            wrapped += breakHere;
            sinceBreak = 0;
        }
    }
    return wrapped;
}

void setMessageText(QMessageBox& box, const QString& text)
{
    box.setTextFormat(Qt::PlainText);
    box.setText(wrappableText(text));
}

QWidget* promptOwner()
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return QApplication::activeModalWidget();
}

int QtPrompts::messageBox(const QString& text, int style, const QString& title)
{
    QMessageBox box(promptOwner());
    box.setWindowTitle(title);
    setMessageText(box, text);
    const QList<MessageButton> buttons = setUpMessageBox(box, style);
    box.exec();
    // Escape or the close box answer with the box's escape button (Cancel, No, or the only one).
    const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
    for (const MessageButton& b : buttons)
        if (b.button == clicked)
            return b.answer;
    return buttons.constLast().answer;
}

QString QtPrompts::inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    bool ok = false;
    const QString answer =
        QInputDialog::getText(promptOwner(), title, prompt, QLineEdit::Normal, defaultText, &ok);
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
    // Qt's own dialog with the listing that reads no file, as for the file dialogs.
    QFileDialog folderDialog(promptOwner(), title, folder);
    folderDialog.setOption(QFileDialog::DontUseNativeDialog);
    folderDialog.setIconProvider(&FileIcons::shared());
    folderDialog.setFileMode(QFileDialog::Directory);
    folderDialog.setOption(QFileDialog::ShowDirsOnly);
    if (folderDialog.exec() != QDialog::Accepted || folderDialog.selectedFiles().isEmpty())
        return false;
    folder = folderDialog.selectedFiles().constFirst();
    return true;
}

void QtPrompts::notify(const QString& text, const QString& title)
{
    // The notice outlives any dialog open at the moment, so it belongs to the window behind.
    QWidget* owner = promptOwner();
    while (qobject_cast<QDialog*>(owner) && owner->parentWidget())
        owner = owner->parentWidget()->window();
    auto* box = new QMessageBox(QMessageBox::Warning, title, QString(), QMessageBox::Ok, owner);
    setMessageText(*box, text);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

SaveChoice QtPrompts::askSaveChanges(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Warning, title, QString(),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, promptOwner());
    setMessageText(box, text);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save: return SaveChoice::Save;
    case QMessageBox::Discard: return SaveChoice::Discard;
    default: return SaveChoice::Cancel;
    }
}

int QtPrompts::choose(const QString& text, const QString& title, const QStringList& buttons,
                      int escape)
{
    QMessageBox box(QMessageBox::Warning, title, QString(), QMessageBox::NoButton, promptOwner());
    setMessageText(box, text);
    QList<QAbstractButton*> made;
    for (const QString& caption : buttons)
        made << box.addButton(caption, QMessageBox::ActionRole);
    // Enter, like Escape, takes the answer that loses nothing.
    if (escape >= 0 && escape < made.size()) {
        box.setDefaultButton(qobject_cast<QPushButton*>(made[escape]));
        box.setEscapeButton(made[escape]);
    }
    box.exec();
    const int pressed = int(made.indexOf(box.clickedButton()));
    return pressed >= 0 ? pressed : escape;
}

}  // namespace orvane
