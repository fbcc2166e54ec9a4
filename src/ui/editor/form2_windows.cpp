// The menu commands that open the windows around the card: Zoomed Preview, Export Cards,
// Render Deck and Add Card to Deck.
#include "document/card_document.h"
#include "editor/form2.h"
#include "platform/window_placement.h"
#include "widgets/picture_box.h"
#include "windows/add_card_to_deck.h"
#include "windows/export_cards_dialog.h"
#include "windows/render_deck_dialog.h"
#include "windows/zoomed_preview.h"

#include <QAction>
#include <QFileInfo>

using namespace orvane;

void Form2::connectWindowCommands()
{
    connect(actZoomedPreview, &QAction::triggered, this, &Form2::showZoomedPreview);
    connect(actExportCards, &QAction::triggered, this, &Form2::exportCards);
    connect(actRenderDeck, &QAction::triggered, this, &Form2::renderDeck);
    connect(actAddCardToDeck, &QAction::triggered, this, &Form2::addCardToDeck);
    for (QAction* action : {actZoomedPreview, actExportCards, actRenderDeck, actAddCardToDeck})
        action->setEnabled(true);
}

void Form2::showZoomedPreview()
{
    if (m_zoomedPreview && m_zoomedPreview->isVisible()) {  // Ctrl+1 again: closed
        m_zoomedPreview->close();
        return;
    }
    const bool opening = !m_zoomedPreview;
    if (opening) {
        // One preview, deleted when closed: while it is not open, compositions cost it nothing.
        m_zoomedPreview = new ZoomedPreview(this);
        m_zoomedPreview->setAttribute(Qt::WA_DeleteOnClose);
        connect(this, &Form2::cardsComposed, m_zoomedPreview,
                [this] { m_zoomedPreview->showCards(picBlueBase->image(), picRedBase->image()); });
    }
    m_zoomedPreview->showCards(picBlueBase->image(), picRedBase->image());
    if (opening) {
        m_zoomedPreview->placeBeside(this);  // its size follows the zoom the cards chose
        m_zoomedPreview->takeShortcutsOf(this);
    }
    m_zoomedPreview->show();
    m_zoomedPreview->raise();
    m_zoomedPreview->activateWindow();
}

void Form2::exportCards()
{
    // The card the controls describe, from the one renderer: what the two boxes show.
    const RenderedCard cards = renderShown(m_document->card());
    auto* dialog = new ExportCardsDialog(*m_services.prompts, cards.blue, cards.red,
                                         m_document->displayName(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &ExportCardsDialog::exported, this, &Form2::showStatus);
    dialog->open();
}

void Form2::renderDeck()
{
    auto* dialog =
        new RenderDeckDialog(*m_services.prompts, m_services.assetRoot, &orvane::renderDeck, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &RenderDeckDialog::rendered, this, &Form2::showStatus);
    dialog->open();
}

void Form2::addCardToDeck()
{
    Card card = m_document->card();
    card.name = m_document->displayName();
    const QString done = addCardToDeckAsking(*m_services.prompts, m_deckDialog, card);
    if (!done.isEmpty())
        showStatus(done);
}
