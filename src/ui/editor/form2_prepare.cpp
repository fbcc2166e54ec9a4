// SPDX-License-Identifier: GPL-3.0-or-later
// Prepare Main Picture...: the editor's side of the window that fits a picture to the card.
#include "editor/form2.h"

#include "document/card_document.h"
#include "platform/dialog.h"
#include "render/picture_colours.h"
#include "render/picture_prep.h"
#include "widgets/picture_box.h"
#include "windows/prepare_picture_window.h"

#include <QScrollBar>

using namespace orvane;

QString preparedStatus(QSize source, const PictureFit& fit)
{
    const QSize scaled = pictureGeometry(source, fit).scaled;
    return QStringLiteral("Prepared the main picture: %1 × %2 scaled to %3 × %4")
        .arg(source.width())
        .arg(source.height())
        .arg(scaled.width())
        .arg(scaled.height());
}

void Form2::offerToPrepare(QSize source, const QString& title)
{
    const int answer = m_services.prompts->messageBox(
        QStringLiteral("The picture is %1 × %2, larger than the card (62 × 62): only its "
                       "upper-left 62 × 62 can reach the card.\n\nPrepare it now (fit or fill "
                       "the card, pan, transparent background)?")
            .arg(source.width())
            .arg(source.height()),
        YesNo | Question, title);
    if (answer == AnswerYes)
        openPrepareWindow(PictureFit{});  // a fresh start: the whole picture fitted
}

void Form2::prepareMainPicture()
{
    openPrepareWindow(m_document->card().preparation.fit);
}

void Form2::openPrepareWindow(const PictureFit& start)
{
    const Card card = m_document->card();
    // A prepared picture opens again from its source and settings; else the box's picture.
    const bool prepared = !card.preparation.source.isNull();
    const QImage source = prepared ? card.preparation.source : card.mainPicture;
    if (source.isNull()) {
        emit message(QStringLiteral("Load a main picture first, then prepare it"));
        return;
    }
    // The preview is the card as the editor draws it, with the picture being prepared and the
    // scroll bars at 0, 0: the window's own pan places the picture, and OK puts X and Y back to
    // 0, so the prepared picture lands exactly where the window shows it.
    const auto compose = [this](const QImage& picture) {
        Card previewed = m_document->card();
        previewed.mainPicture = picture;
        previewed.x = 0;
        previewed.y = 0;
        return renderShown(previewed);
    };
    auto* window = new PreparePictureWindow(source, prepared ? start : PictureFit{}, compose, this);
    window->setPartColours(cardPartColours(m_parts));
    window->setPaletteChooser([this] {
        orvane::Dialog dialog;
        dialog.Filter = QStringLiteral("Palettes (*.gpl;*.hex;*.pal)|*.gpl;*.hex;*.pal|All Files "
                                       "(*)|*");
        dialog.DialogTitle = QStringLiteral("Open Palette...");
        return m_services.prompts->showOpen(dialog) ? dialog.FileName : QString();
    });
    if (scrX->value() != 0 || scrY->value() != 0)
        window->setNote(QStringLiteral("OK sets X and Y (now %1, %2) to 0: the picture is placed "
                                       "here, where the cards above show it.")
                            .arg(scrX->value())
                            .arg(scrY->value()));
    connect(window, &PreparePictureWindow::accepted, this,
            [this, source, encoded = prepared ? card.preparation.sourceEncoded : QByteArray(),
             path = card.mainPicturePath](const QImage& picture, const PictureFit& fit) {
                m_document->setPreparedPicture(picture, path, {source, fit, encoded});  // one step
                // The size the picture was scaled to, not the prepared picture's, which also
                // holds the transparent margin that centres it.
                emit message(withCoverNote(preparedStatus(source.size(), fit)));
            });
    window->show();
}
