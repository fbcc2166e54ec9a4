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
#include <QDockWidget>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>

using namespace orvane;

namespace {

const QString DockedKey = QStringLiteral("ZoomedPreview/docked");

}  // namespace

void Form2::connectWindowCommands()
{
    connect(actZoomedPreview, &QAction::triggered, this, &Form2::showZoomedPreview);
    connect(actExportCards, &QAction::triggered, this, &Form2::exportCards);
    connect(actRenderDeck, &QAction::triggered, this, &Form2::renderDeck);
    connect(actAddCardToDeck, &QAction::triggered, this, &Form2::addCardToDeck);
    for (QAction* action : {actZoomedPreview, actExportCards, actRenderDeck, actAddCardToDeck})
        action->setEnabled(true);
    actDockZoomedPreview->setChecked(QSettings().value(DockedKey, false).toBool());
    actDockZoomedPreview->setEnabled(true);
    connect(actDockZoomedPreview, &QAction::toggled, this, &Form2::dockZoomedPreview);
}

bool Form2::zoomedPreviewIsOpen() const
{
    // A closed preview waits to be deleted: hidden, never shown again.
    if (m_zoomedDock)
        return !m_zoomedDock->isHidden();
    return m_zoomedPreview && !m_zoomedPreview->isHidden();
}

void Form2::showZoomedPreview()
{
    if (zoomedPreviewIsOpen()) {  // Ctrl+1 again: closed
        if (m_zoomedDock)
            m_zoomedDock->close();
        else
            m_zoomedPreview->close();
        return;
    }
    // One preview, deleted when closed: while it is not open, compositions cost it nothing.
    delete m_zoomedDock;  // one closed but not deleted yet goes now
    delete m_zoomedPreview;
    if (actDockZoomedPreview->isChecked()) {
        openDockedPreview();
        return;
    }
    m_zoomedPreview = new ZoomedPreview(this);
    m_zoomedPreview->setAttribute(Qt::WA_DeleteOnClose);
    connect(this, &Form2::cardsComposed, m_zoomedPreview,
            [this] { m_zoomedPreview->showCards(picBlueBase->image(), picRedBase->image()); });
    m_zoomedPreview->showCards(picBlueBase->image(), picRedBase->image());
    m_zoomedPreview->placeBeside(this);  // its size follows the zoom the cards chose
    m_zoomedPreview->takeShortcutsOf(this);
    m_zoomedPreview->show();
    m_zoomedPreview->raise();
    m_zoomedPreview->activateWindow();
}

void Form2::openDockedPreview()
{
    m_zoomedDock = new QDockWidget(QStringLiteral("Zoomed Preview"), this);
    m_zoomedDock->setObjectName(QStringLiteral("dockZoomedPreview"));
    m_zoomedDock->setAttribute(Qt::WA_DeleteOnClose);
    // Its own window is the other choice of the View menu, not a floating dock.
    m_zoomedDock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    m_zoomedPreview = new ZoomedPreview(m_zoomedDock, ZoomedPreview::Kind::Docked);
    m_zoomedDock->setWidget(m_zoomedPreview);
    connect(this, &Form2::cardsComposed, m_zoomedPreview,
            [this] { m_zoomedPreview->showCards(picBlueBase->image(), picRedBase->image()); });
    m_zoomedPreview->showCards(picBlueBase->image(), picRedBase->image());
    // The controls keep their area and the room the window gains goes to the cards: the window
    // grows by the dock, and shrinks by it again when the dock goes.
    const QSize before = size();
    addDockWidget(Qt::RightDockWidgetArea, m_zoomedDock);
    m_zoomedDock->show();
    const int grown = m_zoomedDock->sizeHint().width();
    resize(before.width() + grown, std::max(before.height(), minimumSizeHint().height()));
    connect(m_zoomedDock, &QObject::destroyed, this, [this, grown] {
        resize(std::max(minimumSizeHint().width(), width() - grown), height());
    });
}

void Form2::dockZoomedPreview(bool docked)
{
    QSettings().setValue(DockedKey, docked);
    if (!zoomedPreviewIsOpen() || m_zoomedPreview->isDocked() == docked)
        return;
    // The open preview is made again where it now belongs.
    showZoomedPreview();  // closed
    showZoomedPreview();
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
