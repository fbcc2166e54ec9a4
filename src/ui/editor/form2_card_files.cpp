// The main window's card files: open, save, save as, the recent cards, the title bar and the
// question about unsaved changes.
#include "editor/form2.h"

#include "card/card_file.h"
#include "document/card_document.h"
#include "editor/recent_cards.h"
#include "platform/background_job.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>
#include <QSettings>

using namespace orvane;

namespace {

const QString CardFolderKey = QStringLiteral("Folders/cards");
const QString WindowTitle = QStringLiteral("Orvane 4.0 by Kestrow");

QString cardFilter()
{
    return QStringLiteral("Orvane Cards (*.%1)|*.%1").arg(QLatin1String(CardFileSuffix));
}

void rememberCardFolder(const QString& path)
{
    QSettings().setValue(CardFolderKey, QFileInfo(path).absolutePath());
}

// Where a card file dialog starts: the card's own file, else the folder last used.
QString offeredCardPath(const QString& current, const QString& name)
{
    if (!current.isEmpty())
        return current;
    const QString folder = QSettings().value(CardFolderKey).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return name;
    // A folder alone ends in a separator, so the dialog opens in it with no file chosen.
    return name.isEmpty() ? QDir(folder).absolutePath() + QLatin1Char('/')
                          : QDir(folder).filePath(name);
}

}  // namespace

void Form2::updateTitle()
{
    const QString path = m_document->filePath();
    setWindowTitle(path.isEmpty()
                       ? WindowTitle + QStringLiteral("[*]")
                       : QStringLiteral("%1[*] - %2").arg(QFileInfo(path).fileName(), WindowTitle));
    setWindowModified(m_document->isModified());
}

bool Form2::maybeSaveChanges(const QString& title)
{
    if (!m_document->isModified())
        return true;
    const QString path = m_document->filePath();
    const QString text =
        path.isEmpty()
            ? QStringLiteral("The card has changes that are not saved in a card file.\n\nSave "
                             "them first?")
            : QStringLiteral("The card %1 has changes that are not saved.\n\nSave them first?")
                  .arg(QFileInfo(path).fileName());
    switch (m_services.prompts->askSaveChanges(text, title)) {
    case SaveChoice::Save: return saveCardFile();
    case SaveChoice::Discard: return true;
    case SaveChoice::Cancel: break;
    }
    return false;
}

void Form2::openCard()
{
    if (!maybeSaveChanges(QStringLiteral("Open Card")))
        return;
    m_cardDialog.DialogTitle = QStringLiteral("Open Card");
    m_cardDialog.Filter = cardFilter();
    m_cardDialog.FilterIndex = 1;
    m_cardDialog.CancelError = true;
    m_cardDialog.FileName = offeredCardPath(m_document->filePath(), QString());
    if (!m_services.prompts->showOpen(m_cardDialog))
        return;
    readCardFileIntoWindow(m_cardDialog.FileName);
}

bool Form2::openCardFile(const QString& path)
{
    if (!maybeSaveChanges(QStringLiteral("Open Card")))
        return false;
    return readCardFileIntoWindow(path);
}

bool Form2::readCardFileIntoWindow(const QString& path)
{
    // A photo's source decodes for a moment: beside the window, like a save.
    CardFileRead read;
    if (const QString failure = runBesideTheWindow([&] { read = readCardFile(path); });
        !failure.isEmpty())
        read = {
            std::nullopt,
            QStringLiteral("%1 cannot be read: %2.").arg(QDir::toNativeSeparators(path), failure)};
    if (!read.card) {
        m_services.prompts->messageBox(
            read.error + QStringLiteral("\n\nThe card in the window stays as it was."), Exclamation,
            QStringLiteral("Open Card"));
        return false;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_document->startOver(*read.card, absolute);
    addRecentCard(absolute);
    rememberCardFolder(absolute);
    updateRecentMenu();
    updateTitle();
    showStatus(QStringLiteral("Opened %1").arg(homeRelative(absolute)));
    return true;
}

bool Form2::saveCardFile()
{
    if (m_document->filePath().isEmpty())
        return saveCardFileAs();
    return writeCardFileFromWindow(m_document->filePath());
}

bool Form2::saveCardFileAs()
{
    const QString suffix = QLatin1String(CardFileSuffix);
    const QString known = m_document->displayName();
    const QString name = safeFileName(known.isEmpty() ? QStringLiteral("card") : known);
    m_cardDialog.DialogTitle = QStringLiteral("Save Card File");
    m_cardDialog.Filter = cardFilter();
    m_cardDialog.FilterIndex = 1;
    m_cardDialog.CancelError = true;
    // The question is asked here, about the file with its suffix: the dialog knows only the
    // name typed. "No" offers the dialog again with the name chosen.
    m_cardDialog.OverwritePrompt = false;
    m_cardDialog.FileName =
        offeredCardPath(m_document->filePath(), name + QLatin1Char('.') + suffix);
    QString path;
    for (;;) {
        if (!m_services.prompts->showSave(m_cardDialog))
            return false;
        path = m_cardDialog.FileName;
        if (QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) != 0)
            path += QLatin1Char('.') + suffix;
        if (!QFileInfo::exists(path) ||
            m_services.prompts->messageBox(
                QStringLiteral("The card file %1 already exists.\n\nReplace it?")
                    .arg(QDir::toNativeSeparators(path)),
                YesNo | Exclamation, QStringLiteral("Save Card File")) == AnswerYes)
            break;
    }
    // A card named after its old file takes the new file's name: a copy saved as "Red Dragon"
    // must not go on calling itself "Slime" in exports and decks.
    const QString oldBase = m_document->filePath().isEmpty()
                                ? QString()
                                : QFileInfo(m_document->filePath()).completeBaseName();
    const QString current = m_document->card().name;
    const bool namedAfterOldFile = !current.isEmpty() && current == oldBase;
    return writeCardFileFromWindow(path, namedAfterOldFile);
}

QString Form2::runBesideTheWindow(const std::function<void()>& work)
{
    ++m_workingBeside;  // a timer's work may start one while another waits
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QString failure;
    {
        BackgroundJob job;
        connect(&job, &BackgroundJob::ended, this,
                [&failure](const QString& why) { failure = why; });
        job.start([&work](const Progress&) { work(); });
        job.waitForEnd();
    }
    QGuiApplication::restoreOverrideCursor();
    // Queued: the caller finishes with its file (marks the card saved) before the window asks
    // whether anything is left to save.
    if (--m_workingBeside == 0 && std::exchange(m_closeWhenDone, false))
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    return failure;
}

bool Form2::writeCardFileFromWindow(const QString& path, bool takeTheFileName)
{
    const QFileInfo file(path);
    const QPointer<CardDocument> document = m_document;
    const Card asSaved = document->card();
    // An unnamed card takes the name of its file.
    Card card = asSaved;
    card.name = takeTheFileName ? file.completeBaseName() : displayName(card, path);
    // The encoding (a photo's pixels take seconds as PNG) runs beside the window.
    QString error;
    bool written = false;
    if (const QString failure =
            runBesideTheWindow([&] { written = writeCardFile(card, path, &error); });
        !failure.isEmpty())
        error = QStringLiteral("%1 cannot be written: %2.")
                    .arg(QDir::toNativeSeparators(path), failure);
    if (!written) {
        // The error names the file and why, as a sentence of its own.
        m_services.prompts->messageBox(QStringLiteral("%1\n\nThe card stays unsaved.").arg(error),
                                       Exclamation, QStringLiteral("Save Card File"));
        return false;
    }
    const QString absolute = file.absoluteFilePath();
    addRecentCard(absolute);
    rememberCardFolder(absolute);
    updateRecentMenu();
    // The card may have changed, or another card come into the window, while the file was
    // written: then the file holds the card as it was, and the card stays marked unsaved.
    if (document != m_document || document->card() != asSaved) {
        showStatus(QStringLiteral("Saved the card as it was in %1; it changed meanwhile and "
                                  "stays unsaved")
                       .arg(file.fileName()));
        return false;
    }
    if (takeTheFileName && card.name != document->card().name)
        document->setName(card.name);  // one undo step, made only once the file is written
    document->markSaved(absolute);
    updateTitle();
    showStatus(QStringLiteral("Saved the card %1 in %2")
                   .arg(file.fileName(), homeRelative(file.absolutePath())));
    return true;
}

void Form2::updateRecentMenu()
{
    menuRecent->clear();
    const QStringList files = recentCards();
    for (int i = 0; i < files.size(); ++i) {
        const QString& path = files[i];
        QAction* entry = menuRecent->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
        entry->setObjectName(QStringLiteral("actRecent_%1").arg(i));
        entry->setData(path);
        entry->setToolTip(QDir::toNativeSeparators(path));
        connect(entry, &QAction::triggered, this, [this, path] { openRecent(path); });
    }
    if (files.isEmpty())
        menuRecent->addAction(QStringLiteral("No recent cards"))->setEnabled(false);
}

void Form2::openRecent(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        // A card file moved or deleted since: it leaves the list, with a word why.
        removeRecentCard(path);
        updateRecentMenu();
        showStatus(QStringLiteral("%1 is no longer there; removed from the recent cards")
                       .arg(homeRelative(path)));
        return;
    }
    openCardFile(path);
}
