// Prepare Main Picture...: the editor's side of the window that fits a picture to the card.
#include "editor/form2.h"

#include "card/module1.h"
#include "editor/card_document.h"
#include "render/compositor.h"
#include "widgets/picture_box.h"
#include "windows/prepare_picture_window.h"

#include <QScrollBar>

using namespace orvane;

void Form2::prepareMainPicture()
{
    const Card card = m_document->snapshot();
    // A prepared picture opens again from its source and settings; else the box's picture.
    const bool prepared = !card.preparation.source.isNull();
    const QImage source = prepared ? card.preparation.source : card.mainPicture;
    if (source.isNull()) {
        showStatus(QStringLiteral("Load a main picture first, then prepare it"));
        return;
    }
    // The preview composes with the editor's own work surfaces, placement and scroll values.
    const auto compose = [this](const QImage& picture) {
        CardLayers layers;
        layers.mainPicture = &picture;
        for (size_t i = 0; i < 4; ++i)
            layers.digits[i] = &picFinalNum[i]->image();
        layers.frame = &picFinalFrame->image();
        layers.element = &picFinalElem->image();
        for (size_t i = 0; i < 8; ++i)
            layers.arrows[i] = &picArrowFinal[i]->image();
        RenderedCard cards{picBlueClean->image().copy(), picRedClean->image().copy()};
        composeCard(cards.blue, picBlueClean->image(), layers, Module1::CardPlacement,
                    scrX->value(), scrY->value());
        composeCard(cards.red, picRedClean->image(), layers, Module1::CardPlacement, scrX->value(),
                    scrY->value());
        return cards;
    };
    auto* window = new PreparePictureWindow(source, card.preparation.fit, compose, this);
    connect(
        window, &PreparePictureWindow::accepted, this,
        [this, source, path = card.mainPicturePath](const QImage& picture, const PictureFit& fit) {
            picMainPic->setPicture(picture);
            m_document->setMainPicture(picture, path);
            m_document->setPreparation({source, fit});
            m_document->record(CardDocument::Change::MainPicture);  // one undo step
            Module1::NeedsRedraw = true;
            showStatus(QStringLiteral("Prepared the main picture (%1 × %2 from %3 × %4)")
                           .arg(picture.width())
                           .arg(picture.height())
                           .arg(source.width())
                           .arg(source.height()));
        });
    window->show();
}
