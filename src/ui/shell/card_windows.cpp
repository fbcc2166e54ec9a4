// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/card_windows.h"

#include "document/card_document.h"
#include "editor/form2.h"
#include "files/deck_render.h"
#include "session/session.h"
#include "shell/main_window.h"
#include "windows/add_card_to_deck.h"
#include "windows/export_cards_dialog.h"
#include "windows/external_picture_edit.h"
#include "windows/play_sheets_dialog.h"
#include "windows/render_deck_dialog.h"
#include "windows/undrawable_side_question.h"
#include "windows/zoomed_preview.h"

#include <QAction>
#include <QDockWidget>
#include <QMainWindow>
#include <QScreen>
#include <QSettings>

#include <algorithm>

namespace orvane {
namespace {

const QString DockedKey = QStringLiteral("ZoomedPreview/docked");

}  // namespace

CardWindows::CardWindows(QMainWindow& window, Form2& form, Prompts& prompts,
                         const QString& partsRoot)
    : QObject(&window), m_window(window), m_form(form), m_prompts(prompts), m_partsRoot(partsRoot)
{
    connect(&form, &Form2::cardsComposed, this, &CardWindows::showCards);
}

CardWindows::~CardWindows()
{
    // A docked preview going with the window must not resize it.
    if (m_zoomedDock)
        m_zoomedDock->disconnect(this);
}

bool CardWindows::zoomedPreviewIsDocked() const
{
    return QSettings().value(DockedKey, false).toBool();
}

bool CardWindows::zoomedPreviewIsOpen() const
{
    // A closed preview waits to be deleted: hidden, never shown again.
    if (m_zoomedDock)
        return !m_zoomedDock->isHidden();
    return m_zoomedPreview && !m_zoomedPreview->isHidden();
}

void CardWindows::showCards()
{
    // While no preview is open, compositions cost it nothing.
    if (m_zoomedPreview) {
        const RenderedCard cards = m_form.shownCards();
        // At 2 x and above the preview draws the card again with the pack's larger parts.
        m_zoomedPreview->view()->setCardsAtScale([form = &m_form](int scale) {
            const RenderedCard shown = form->shownCardsWithScales();
            if (!drawsOtherPixelsAtScale(shown))
                return std::pair{QImage(), QImage()};  // the preview enlarges the 1 x cards
            const RenderedCard drawn = cardAtScale(shown, scale);
            return std::pair{drawn.blue, drawn.red};
        });
        m_zoomedPreview->showCards(cards.blue, cards.red);
    }
}

void CardWindows::toggleZoomedPreview()
{
    if (zoomedPreviewIsOpen()) {  // Ctrl+1 again: closed
        if (m_zoomedDock)
            m_zoomedDock->close();
        else
            m_zoomedPreview->close();
        return;
    }
    // One preview, deleted when closed.
    delete m_zoomedDock;  // one closed but not deleted yet goes now
    delete m_zoomedPreview;
    if (zoomedPreviewIsDocked()) {
        openDockedPreview();
        return;
    }
    m_zoomedPreview = new ZoomedPreview(&m_window);
    m_zoomedPreview->setAttribute(Qt::WA_DeleteOnClose);
    showCards();
    m_zoomedPreview->placeBeside(&m_window);  // its size follows the zoom the cards chose
    m_zoomedPreview->takeShortcuts(m_window.findChildren<QAction*>());
    m_zoomedPreview->show();
    m_zoomedPreview->raise();
    m_zoomedPreview->activateWindow();
}

void CardWindows::openDockedPreview()
{
    m_zoomedDock = new QDockWidget(tr("Zoomed Preview"), &m_window);
    m_zoomedDock->setObjectName(QStringLiteral("dockZoomedPreview"));
    m_zoomedDock->setAttribute(Qt::WA_DeleteOnClose);
    // Its own window is the other choice of the View menu, not a floating dock.
    m_zoomedDock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    m_zoomedPreview = new ZoomedPreview(m_zoomedDock, ZoomedPreview::Kind::Docked);
    m_zoomedDock->setWidget(m_zoomedPreview);
    showCards();
    // The controls keep their area and the room the window gains goes to the cards: the window
    // grows by the dock (never past the screen, nor while maximised), and gives that room back,
    // never becoming narrower than it was, when the dock goes.
    const QSize before = m_window.size();
    m_window.addDockWidget(Qt::RightDockWidgetArea, m_zoomedDock);
    m_zoomedDock->show();
    if (m_window.isMaximized() || m_window.isFullScreen())
        return;
    const int wanted = m_zoomedDock->sizeHint().width();
    int grown = wanted;
    if (const QScreen* screen = m_window.screen()) {
        const int frame = m_window.frameGeometry().width() - m_window.width();
        grown = std::clamp(screen->availableGeometry().width() - frame - before.width(), 0, wanted);
    }
    m_window.resize(before.width() + grown,
                    std::max(before.height(), m_window.minimumSizeHint().height()));
    connect(m_zoomedDock, &QObject::destroyed, this, [this, wanted, narrowest = before.width()] {
        m_window.resize(std::max({m_window.minimumSizeHint().width(), narrowest,
                                  m_window.width() - wanted}),
                        m_window.height());
    });
}

void CardWindows::dockZoomedPreview(bool docked)
{
    QSettings().setValue(DockedKey, docked);
    if (!zoomedPreviewIsOpen() || m_zoomedPreview->isDocked() == docked)
        return;
    // The open preview is made again where it now belongs.
    toggleZoomedPreview();  // closed
    toggleZoomedPreview();
}

QString CardWindows::openSetFolder() const
{
    const auto* window = qobject_cast<const MainWindow*>(&m_window);
    if (!window || !window->session().hasSet())
        return {};
    return setFolder(window->session().set());
}

void CardWindows::exportCards()
{
    if (!mayWriteCard(m_prompts, m_form.document().card(), QStringLiteral("Export Cards")))
        return;
    const RenderedCard cards = m_form.shownCards();
    auto* dialog = new ExportCardsDialog(m_prompts, cards.blue, cards.red,
                                         m_form.document().displayName(), &m_window,
                                         openSetFolder());
    dialog->drawLargerWith(m_form.shownCardsWithScales());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &ExportCardsDialog::exported, this, &CardWindows::message);
    dialog->open();
}

void CardWindows::playSheets()
{
    // The current card as tabletop deck sheets, an atlas and a print sheet.
    if (!mayWriteCard(m_prompts, m_form.document().card(), QStringLiteral("Play Sheets")))
        return;
    // Kept with the pack's parts: the sheets draw it larger with them.
    connect(openPlaySheets(m_prompts, m_form.shownCardsWithScales(),
                           m_form.document().displayName(), &m_window, openSetFolder()),
            &PlaySheetsDialog::written, this, &CardWindows::message);
}

void CardWindows::renderDeck()
{
    auto* dialog = new RenderDeckDialog(m_prompts, m_partsRoot, &orvane::renderDeck, &m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &RenderDeckDialog::rendered, this, &CardWindows::message);
    dialog->open();
}

void CardWindows::editPictureExternally()
{
    CardDocument* card = &m_form.document();
    if (!m_externalEdit || m_externalDocument != card) {
        delete m_externalEdit;
        m_externalDocument = card;
        m_externalEdit = new ExternalPictureEdit(card, &m_prompts, this);
        connect(m_externalEdit, &ExternalPictureEdit::pictureTaken, this, [this] {
            emit message(tr("Took the edited picture from %1").arg(m_externalEdit->file()));
        });
    }
    m_externalEdit->start();
}

void CardWindows::chooseImageEditor()
{
    ExternalPictureEdit chooser(nullptr, &m_prompts);
    if (chooser.chooseProgram())
        emit message(tr("Main pictures open in %1").arg(ExternalPictureEdit::program()));
}

void CardWindows::addCardToDeck()
{
    Card card = m_form.document().card();
    if (!mayWriteCard(m_prompts, card, QStringLiteral("Add Card to Deck")))
        return;
    card.name = m_form.document().displayName();
    const QString done = addCardToDeckAsking(m_prompts, m_deckDialog, card);
    if (!done.isEmpty())
        emit message(done);
}

}  // namespace orvane
