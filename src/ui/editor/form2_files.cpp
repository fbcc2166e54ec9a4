// The card window's file commands: load or paste the main picture, save both cards, export the
// card data record.
#include "editor/form2.h"

#include "document/card_document.h"
#include "editor/number_box_passer.h"
#include "editor/recent_cards.h"
#include "platform/work_beside.h"
#include "files/card_record.h"
#include "files/card_save.h"
#include "files/imageutils_library.h"
#include "files/main_picture.h"
#include "system/file_write.h"
#include "widgets/picture_box.h"

#include <QBuffer>
#include <QClipboard>
#include <QDate>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QDir>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTimer>

#include <memory>
#include <utility>

using namespace orvane;

namespace {

// Names every file a save would replace in one question; true when there is none or the user
// agrees.
bool confirmReplacing(Prompts& prompts, const QString& what, const QStringList& existing)
{
    if (existing.isEmpty())
        return true;
    QStringList names;
    for (const QString& path : existing)
        names.append(QDir::toNativeSeparators(path));
    const QString text =
        existing.size() == 1
            ? QStringLiteral("%1 would replace this file:\n\n%2\n\nReplace it?")
            : QStringLiteral("%1 would replace these files:\n\n%2\n\nReplace them?");
    return prompts.messageBox(text.arg(what, names.join(QLatin1Char('\n'))), YesNo | Exclamation,
                              QStringLiteral("Save Card")) == AnswerYes;
}

}  // namespace

void Form2::cmdLoadMain_Click()
{
    Dialog.CancelError = true;
    Dialog.Filter = QStringLiteral("Windows Bitmaps (*.bmp)|*.bmp|GIF Format (*.gif)|*.gif|JPEG "
                                   "Compression (*.jpg)|*.jpg|All Pictures (*.bmp *.gif *.jpg "
                                   "*.jpeg *.png)|*.bmp;*.gif;*.jpg;*.jpeg;*.png");
    Dialog.FilterIndex = 1;
    Dialog.DialogTitle = QStringLiteral("Open Main Picture...");
    if (!m_services.prompts->showOpen(Dialog))
        return;
    loadMainPictureFile(Dialog.FileName);
}

bool Form2::loadMainPictureFile(const QString& path)
{
    if (showsNoCard()) {
        emit message(QStringLiteral("No card is shown to take %1: pick a card of the set first.")
                       .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    // A big picture takes a moment to decode. Its own bytes are kept too: a large picture stays
    // the preparation's source in its own encoding.
    LoadedPicture loaded;
    m_services.workBeside->run([&] { loaded = loadMainPicture(path, true); });
    if (loaded.image.isNull()) {
        m_services.prompts->messageBox(
            QStringLiteral("The picture %1 could not be loaded: %2.\n\nThe main picture stays as "
                           "it was.")
                .arg(QDir::toNativeSeparators(path), loaded.error),
            Exclamation, QStringLiteral("Load Main Picture"));
        return false;
    }
    m_loadedEncoded = std::exchange(loaded.encoded, {});
    mainPictureChanged(std::exchange(loaded.image, {}), path);  // the document keeps the copy
    return true;
}

void Form2::cmdSaveCards_Click()
{
    if (!m_imageUtils)
        m_imageUtils = std::make_unique<ImageUtilsLibrary>(m_services.imageUtilsPath.isEmpty()
                                                               ? ImageUtilsLibrary::defaultPath()
                                                               : m_services.imageUtilsPath);
    const struct {
        const char* title;
        const char* what;
        PictureBox* card;
    } cards[] = {{"Save Blue Card...", "The blue card", picBlueBase},
                 {"Save Red Card...", "The red card", picRedBase}};
    QStringList saved;
    // What the status line says when the command ends early: never an older save's words.
    const auto endEarly = [&](const QString& why) {
        emit message(
            saved.isEmpty()
                ? QStringLiteral("Save Card %1: no card was saved").arg(why)
                : QStringLiteral("Saved the blue card as %1; the red card was not saved (%2)")
                      .arg(homeRelative(saved.front()), why));
    };
    for (const auto& card : cards) {
        Dialog.CancelError = true;
        Dialog.OverwritePrompt = false;  // the files replaced are named in one question below
        Dialog.Filter = QStringLiteral("JPEG Compression (*.jpg)|*.jpg");
        Dialog.FilterIndex = 1;
        Dialog.FileName = QStringLiteral("*.jpg");
        Dialog.DialogTitle = QLatin1String(card.title);
        CardFiles files;
        // Every file the card would replace is named in one question; "No" offers the dialog
        // again with the name chosen.
        for (;;) {
            if (!m_services.prompts->showSave(Dialog)) {
                endEarly(QStringLiteral("cancelled"));
                return;
            }
            files = cardFilesFor(Dialog.FileName);
            if (confirmReplacing(*m_services.prompts, QLatin1String(card.what),
                                 existingCardFiles(files)))
                break;
        }
        QString failedPath, error;
        if (!saveCard(card.card->image(), files, *m_imageUtils, &failedPath, &error)) {
            m_services.prompts->messageBox(
                QStringLiteral("%1 could not be saved as %2: %3.\n\nNo file was changed.")
                    .arg(QLatin1String(card.what), QDir::toNativeSeparators(failedPath), error),
                Exclamation, QStringLiteral("Save Card"));
            endEarly(QStringLiteral("failed"));
            return;
        }
        saved << files.jpeg;
    }
    Dialog.FileName.clear();
    emit message(savedPairText(saved[0], saved[1]));
}

void Form2::cmdCardData_Click()
{
    const QString date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    Timer1->stop();
    // Started again however the command ends.
    const auto restart = qScopeGuard([this] { Timer1->start(); });

    const QString name = m_services.prompts->inputBox(
        QStringLiteral("What is the name of your card?"), QStringLiteral("Name"));
    if (name.isEmpty())
        return;
    const CardRecordInput record{name, m_document->card().sides, CardTotal,
                                 std::max(0, m_document->card().element), date};
    Dialog.Filter = QStringLiteral("Text Files (*.txt)|*.txt");
    Dialog.FilterIndex = 1;
    Dialog.OverwritePrompt = true;  // the record replaces the file chosen without another word
    Dialog.FileName = name + QStringLiteral(".txt");
    if (!m_services.prompts->showSave(Dialog))
        return;
    QString error;
    if (!writeFileAtomically(Dialog.FileName, cardRecord(record), &error, true)) {
        m_services.prompts->messageBox(
            QStringLiteral("The card data could not be written to %1: %2.")
                .arg(QDir::toNativeSeparators(Dialog.FileName), error),
            Exclamation, QStringLiteral("Export Card Data"));
        return;
    }
    emit message(QStringLiteral("Wrote the card data to %1").arg(homeRelative(Dialog.FileName)));
}

void Form2::pasteMainPicture()
{
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    const QString file = firstLocalFile(clip);
    if (!file.isEmpty() && !(clip && clip->hasImage())) {
        loadMainPictureFile(file);  // a copied picture file: read as if loaded
        return;
    }
    if (!clip || !clip->hasImage()) {
        emit message(QStringLiteral("The clipboard holds no picture to paste"));
        return;
    }
    // The picture is read through the same checks as a picture file.
    QByteArray bytes = clip->data(QStringLiteral("image/png"));
    if (bytes.isEmpty()) {
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        qvariant_cast<QImage>(clip->imageData()).save(&out, "PNG");
    }
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    const LoadedPicture loaded = readMainPicture(in);
    if (loaded.image.isNull()) {
        m_services.prompts->messageBox(
            QStringLiteral("The picture on the clipboard could not be used: %1.\n\nThe main "
                           "picture stays as it was.")
                .arg(loaded.error),
            Exclamation, QStringLiteral("Paste Main Picture"));
        return;
    }
    m_loadedEncoded.clear();  // kept as pixels
    mainPictureChanged(loaded.image, QString());
}

void Form2::mainPictureChanged(const QImage& picture, const QString& path)
{
    const QSize loaded = picture.size();
    const bool larger = keepWhatTheCardCanShow(picture, path);
    m_loadedEncoded.clear();  // kept with a larger picture's preparation, else not needed
    if (!larger)
        m_document->setMainPicture(picture, path);
    const QString size = QStringLiteral("%1 × %2").arg(loaded.width()).arg(loaded.height());
    emit message(path.isEmpty() ? QStringLiteral("Pasted the main picture (%1)").arg(size)
                                : QStringLiteral("Loaded the main picture %1 (%2)")
                                      .arg(QFileInfo(path).fileName(), size));
    if (larger)
        offerToPrepare(loaded, path.isEmpty() ? QStringLiteral("Paste Main Picture")
                                              : QStringLiteral("Load Main Picture"));
}
