// SPDX-License-Identifier: GPL-3.0-or-later
// The card window's file commands: load or paste the main picture, save both cards, export the
// card data record.
#include "editor/form2.h"

#include "card/picture_fit.h"
#include "document/card_document.h"
#include "editor/card_data_export.h"
#include "editor/clipboard_picture.h"
#include "editor/place_main_picture.h"
#include "editor/save_card_pair.h"
#include "files/imageutils_library.h"
#include "files/main_picture.h"
#include "platform/work_beside.h"
#include "widgets/picture_box.h"

#include <QClipboard>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QScopeGuard>

#include <memory>
#include <utility>

using namespace orvane;

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
    mainPictureChanged(std::exchange(loaded.image, {}), path,  // the document keeps the copy
                       std::exchange(loaded.encoded, {}));
    return true;
}

void Form2::cmdSaveCards_Click()
{
    if (!m_imageUtils)
        m_imageUtils = std::make_unique<ImageUtilsLibrary>(m_services.imageUtilsPath.isEmpty()
                                                               ? ImageUtilsLibrary::defaultPath()
                                                               : m_services.imageUtilsPath);
    emit message(saveCardPair(*m_services.prompts, Dialog, picBlueBase->image(),
                              picRedBase->image(), *m_imageUtils));
}

void Form2::cmdCardData_Click()
{
    const QString date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    Timer1->stop();
    const auto restart = qScopeGuard([this] { Timer1->start(); });  // however the command ends
    const std::optional<QString> done =
        exportCardData(*m_services.prompts, Dialog, [&](const QString& name) {
            return CardRecordInput{name, m_document->card().sides, CardTotal,
                                   std::max(0, m_document->card().element), date};
        });
    if (done)
        emit message(*done);
}

void Form2::pasteMainPicture()
{
    const ClipboardPicture clip = readClipboardPicture(QGuiApplication::clipboard()->mimeData());
    if (clip.kind == ClipboardPicture::Kind::File) {
        loadMainPictureFile(clip.file);  // a copied picture file: read as if loaded
        return;
    }
    if (clip.kind == ClipboardPicture::Kind::Nothing) {
        emit message(QStringLiteral("The clipboard holds no picture to paste"));
        return;
    }
    if (clip.picture.image.isNull()) {
        m_services.prompts->messageBox(
            QStringLiteral("The picture on the clipboard could not be used: %1.\n\nThe main "
                           "picture stays as it was.")
                .arg(clip.picture.error),
            Exclamation, QStringLiteral("Paste Main Picture"));
        return;
    }
    mainPictureChanged(clip.picture.image, QString(), {});  // kept as pixels
}

QString Form2::withCoverNote(const QString& done) const
{
    const RenderedCard cards = renderShown(m_document->card());
    if (!pictureHidesBothBases(cards.blue, cards.red))
        return done;
    return done + QLatin1Char(' ') + pictureHidesBothBasesNote();
}

void Form2::mainPictureChanged(const QImage& picture, const QString& path, QByteArray encoded)
{
    const QSize loaded = picture.size();
    const bool larger = placeMainPicture(*m_document, picture, path, std::move(encoded));
    const QString size = QStringLiteral("%1 × %2").arg(loaded.width()).arg(loaded.height());
    emit message(withCoverNote(path.isEmpty()
                                   ? QStringLiteral("Pasted the main picture (%1)").arg(size)
                                   : QStringLiteral("Loaded the main picture %1 (%2)")
                                         .arg(QFileInfo(path).fileName(), size)));
    if (larger)
        offerToPrepare(loaded, path.isEmpty() ? QStringLiteral("Paste Main Picture")
                                              : QStringLiteral("Load Main Picture"));
}
