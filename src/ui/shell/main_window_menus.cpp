// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's menus and the commands that are its own: undo and redo, the clipboard, the
// card file commands, and a new or duplicated card.
#include "shell/main_window.h"

#include "document/card_document.h"
#include "editor/card_file_commands.h"
#include "editor/recent_cards.h"
#include "session/session.h"
#include "setpanel/set_commands.h"
#include "setpanel/set_panel.h"
#include "shell/card_windows.h"
#include "shell/pack_commands.h"
#include "shell/print_commands.h"
#include "shell/set_statistics.h"
#include "windows/copy_scale.h"
#include "windows/undrawable_side_question.h"

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QUndoStack>

namespace orvane {
namespace {

constexpr const char* KeepNumbersKey = "editor/keepNumbersAndArrows";

QAction* menuAction(QMenu* menu, const char* name, const QString& text,
                    const QList<QKeySequence>& keys = {})
{
    auto* action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(keys);
    return action;
}

QKeySequence ctrl(Qt::Key key, Qt::KeyboardModifiers more = {})
{
    return QKeySequence(QKeyCombination(Qt::ControlModifier | more, key));
}

}  // namespace

void MainWindow::buildMenus()
{
    using Command = Form2::Command;
    const auto runs = [this](Command command) { return [this, command] { m_form->run(command); }; };

    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("menuFile"));
    QAction* openCard = menuAction(file, "actOpenCard", tr("&Open Card..."), {ctrl(Qt::Key_O)});
    QAction* openSet = menuAction(file, "actOpenSet", tr("O&pen Set..."));
    QAction* openFolder = menuAction(file, "actOpenSetFolder", tr("Open Set &Folder..."));
    QAction* newSet = menuAction(file, "actNewSet", tr("Ne&w Set"));
    m_saveSet = menuAction(file, "actSaveSet", tr("Save Se&t"));
    m_saveSetAs = menuAction(file, "actSaveSetAs", tr("Sa&ve Set As..."));
    m_saveCardFile = menuAction(file, "actSaveCardFile", tr("&Save Card File"), {ctrl(Qt::Key_S)});
    QAction* saveCardFileAs = menuAction(file, "actSaveCardFileAs", tr("Save Card Fi&le As..."),
                                         {ctrl(Qt::Key_S, Qt::ShiftModifier)});
    m_recentMenu = file->addMenu(tr("&Recent Cards"));
    m_recentMenu->setObjectName(QStringLiteral("menuRecent"));
    file->addSeparator();
    QAction* newCard = menuAction(file, "actNewCard", tr("New C&ard"), {ctrl(Qt::Key_N)});
    QAction* duplicate = menuAction(file, "actDuplicateCard", tr("D&uplicate Card"),
                                    {ctrl(Qt::Key_D)});
    QAction* loadMain = menuAction(file, "actLoadMain", tr("Load &Main Picture..."));
    QAction* saveCard = menuAction(file, "actSaveCard", tr("Save &Card"));
    QAction* exportCards =
        menuAction(file, "actExportCards", tr("&Export Cards..."), {ctrl(Qt::Key_E)});
    QAction* exportData = menuAction(file, "actExportCardData", tr("Export Card &Data..."));
    QAction* renderDeck = menuAction(file, "actRenderDeck", tr("Re&nder Deck..."));
    QAction* addToDeck = menuAction(file, "actAddCardToDeck", tr("Add Card to Dec&k..."));
    QAction* playSheets = menuAction(file, "actPlaySheets", tr("Pla&y Sheets..."));
    QAction* print = menuAction(file, "actPrint", tr("Pr&int..."), {ctrl(Qt::Key_P)});
    QAction* calibrate = menuAction(file, "actPrintCalibration", tr("Print Calibration Pa&ge..."));
    file->addSeparator();
    QAction* exit = menuAction(file, "actExit", tr("E&xit Program"), {ctrl(Qt::Key_Q)});

    connect(openCard, &QAction::triggered, this, &MainWindow::openCard);
    connect(openSet, &QAction::triggered, m_setCommands, &SetCommands::openDeckAsking);
    connect(openFolder, &QAction::triggered, m_setCommands, &SetCommands::openFolderAsking);
    connect(newSet, &QAction::triggered, m_setCommands, &SetCommands::newSet);
    connect(m_saveSet, &QAction::triggered, m_setCommands, &SetCommands::saveSet);
    connect(m_saveSetAs, &QAction::triggered, m_setCommands, &SetCommands::saveSetAs);
    connect(m_saveCardFile, &QAction::triggered, this, [this] { saveCardFile(false); });
    connect(saveCardFileAs, &QAction::triggered, this, [this] { saveCardFile(true); });
    connect(newCard, &QAction::triggered, this, &MainWindow::newCard);
    connect(duplicate, &QAction::triggered, this, &MainWindow::duplicateCard);
    // The commands of the card window's buttons run exactly as the buttons' clicks.
    connect(loadMain, &QAction::triggered, this, runs(Command::LoadMainPicture));
    connect(saveCard, &QAction::triggered, this, runs(Command::SaveCard));
    connect(exportData, &QAction::triggered, this, runs(Command::ExportCardData));
    connect(exit, &QAction::triggered, this, runs(Command::Exit));
    connect(exportCards, &QAction::triggered, m_cardWindows, &CardWindows::exportCards);
    connect(renderDeck, &QAction::triggered, m_cardWindows, &CardWindows::renderDeck);
    connect(addToDeck, &QAction::triggered, m_cardWindows, &CardWindows::addCardToDeck);
    connect(playSheets, &QAction::triggered, m_cardWindows, &CardWindows::playSheets);
    connect(print, &QAction::triggered, m_print, &PrintCommands::print);
    connect(calibrate, &QAction::triggered, m_print, &PrintCommands::calibrate);
    m_saveSet->setEnabled(false);
    m_saveSetAs->setEnabled(false);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->setObjectName(QStringLiteral("menuEdit"));
    m_undo = menuAction(edit, "actUndo", tr("&Undo"), {ctrl(Qt::Key_Z)});
    m_redo = menuAction(edit, "actRedo", tr("&Redo"),
                        {ctrl(Qt::Key_Z, Qt::ShiftModifier), ctrl(Qt::Key_Y)});
    connect(m_undo, &QAction::triggered, this, [this] { undoOrRedo(true); });
    connect(m_redo, &QAction::triggered, this, [this] { undoOrRedo(false); });
    edit->addSeparator();
    QAction* copyBlue = menuAction(edit, "actCopyBlue", tr("&Copy Blue Card"), {ctrl(Qt::Key_C)});
    QAction* copyRed = menuAction(edit, "actCopyRed", tr("Copy R&ed Card"),
                                  {ctrl(Qt::Key_C, Qt::ShiftModifier)});
    QAction* paste = menuAction(edit, "actPaste", tr("&Paste Main Picture"), {ctrl(Qt::Key_V)});
    addCopyScaleMenu(edit, paste, {copyBlue, copyRed});
    edit->addSeparator();
    QAction* prepare = menuAction(edit, "actPrepareMain", tr("Prepare &Main Picture..."));
    QAction* external =
        menuAction(edit, "actEditExternally", tr("Edit Main Picture E&xternally..."));
    QAction* chooseEditor = menuAction(edit, "actChooseImageEditor", tr("C&hoose Image Editor..."));
    QAction* advanced = menuAction(edit, "actAdvanced", tr("&Advanced Settings"));
    connect(external, &QAction::triggered, m_cardWindows, &CardWindows::editPictureExternally);
    connect(chooseEditor, &QAction::triggered, m_cardWindows, &CardWindows::chooseImageEditor);
    edit->addSeparator();
    QAction* keepNumbers = menuAction(edit, "actKeepNumbers", tr("&Keep Numbers and Arrows"));
    keepNumbers->setCheckable(true);
    const auto rulesFor = [](bool keep) { return keep ? ResetRules::Keep : ResetRules::Reset; };
    keepNumbers->setChecked(QSettings().value(QLatin1String(KeepNumbersKey), false).toBool());
    m_form->setResetRules(rulesFor(keepNumbers->isChecked()));
    connect(keepNumbers, &QAction::toggled, this, [this, rulesFor](bool keep) {
        m_form->setResetRules(rulesFor(keep));
        QSettings().setValue(QLatin1String(KeepNumbersKey), keep);
    });
    connect(copyBlue, &QAction::triggered, this, [this] { copyCard(CardColour::Blue); });
    connect(copyRed, &QAction::triggered, this, [this] { copyCard(CardColour::Red); });
    connect(paste, &QAction::triggered, m_form, &Form2::pasteMainPicture);
    connect(prepare, &QAction::triggered, m_form, &Form2::prepareMainPicture);
    connect(advanced, &QAction::triggered, this, runs(Command::AdvancedSettings));

    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->setObjectName(QStringLiteral("menuView"));
    QAction* zoomed = menuAction(view, "actZoomedPreview", tr("&Zoomed Preview"), {ctrl(Qt::Key_1)});
    QAction* dockZoomed =
        menuAction(view, "actDockZoomedPreview", tr("&Dock Zoomed Preview in This Window"));
    dockZoomed->setCheckable(true);
    dockZoomed->setChecked(m_cardWindows->zoomedPreviewIsDocked());
    connect(zoomed, &QAction::triggered, m_cardWindows, &CardWindows::toggleZoomedPreview);
    connect(dockZoomed, &QAction::toggled, m_cardWindows, &CardWindows::dockZoomedPreview);
    QAction* showSet = m_setDock->toggleViewAction();
    showSet->setObjectName(QStringLiteral("actViewSet"));
    showSet->setText(tr("&Set"));
    view->addAction(showSet);
    view->addAction(m_statistics->viewAction());
    m_packs->addMenu(*menuBar());

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("menuHelp"));
    connect(menuAction(help, "actAbout", tr("&About")), &QAction::triggered, this,
            runs(Command::About));

    m_cardCommands = {openCard, m_saveCardFile, saveCardFileAs, loadMain,   saveCard,
                      exportCards, exportData,   addToDeck,      copyBlue,   copyRed,
                      paste,       prepare,      external,       advanced,   zoomed,
                      m_recentMenu->menuAction()};
    updateRecentMenu();
}

void MainWindow::enableCardCommands(bool on)
{
    for (QAction* action : std::as_const(m_cardCommands))
        action->setEnabled(on);
}

void MainWindow::updateRecentMenu()
{
    m_recentMenu->clear();
    const QStringList files = recentCards();
    for (int i = 0; i < files.size(); ++i) {
        const QString& path = files[i];
        QAction* entry = m_recentMenu->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
        entry->setObjectName(QStringLiteral("actRecent_%1").arg(i));
        entry->setData(path);
        entry->setToolTip(QDir::toNativeSeparators(path));
        connect(entry, &QAction::triggered, this, [this, path] {
            if (m_setCommands->closeSet(tr("Open Card")))
                m_cardFiles->openRecent(path);
        });
    }
    if (files.isEmpty())
        m_recentMenu->addAction(tr("No recent cards"))->setEnabled(false);
}

// ---- Undo and redo: the session's history (the set's while one is open) ---------------------

void MainWindow::watchHistory()
{
    QUndoStack* history = m_session->history();
    if (history == m_history)
        return;
    for (const QMetaObject::Connection& connection : m_historyConnections)
        disconnect(connection);
    m_historyConnections.clear();
    m_history = history;
    for (auto signal : {&QUndoStack::canUndoChanged, &QUndoStack::canRedoChanged})
        m_historyConnections << connect(history, signal, this, &MainWindow::updateUndoActions);
    for (auto signal : {&QUndoStack::undoTextChanged, &QUndoStack::redoTextChanged})
        m_historyConnections << connect(history, signal, this, &MainWindow::updateUndoActions);
    updateUndoActions();
}

void MainWindow::updateUndoActions()
{
    const QUndoStack* stack = m_history;
    m_undo->setEnabled(stack->canUndo());
    m_undo->setText(stack->canUndo() ? tr("&Undo %1").arg(stack->undoText()) : tr("&Undo"));
    m_redo->setEnabled(stack->canRedo());
    m_redo->setText(stack->canRedo() ? tr("&Redo %1").arg(stack->redoText()) : tr("&Redo"));
}

void MainWindow::undoOrRedo(bool undo)
{
    QUndoStack* stack = m_history;
    if (undo ? !stack->canUndo() : !stack->canRedo())
        return;
    const QString step = undo ? stack->undoText() : stack->redoText();
    m_form->document().closeTyping();
    if (undo)
        stack->undo();
    else
        stack->redo();
    showStatus((undo ? tr("Undid %1") : tr("Redid %1")).arg(step));
}

// ---- The clipboard ---------------------------------------------------------------------------

void MainWindow::copyCard(CardColour colour)
{
    const QString title = colour == CardColour::Blue ? tr("Copy Blue Card") : tr("Copy Red Card");
    if (!mayWriteCard(*m_services.prompts, m_form->document().card(), title))
        return;
    // Edit ▸ Copy Scale's, whole pixels so the copy stays crisp.
    const int scale = copyScale();
    const RenderedCard cards = m_form->shownCards();
    const QImage& card = colour == CardColour::Blue ? cards.blue : cards.red;
    const QImage copy = scale == 1 ? card
                                   : card.scaled(card.size() * scale, Qt::IgnoreAspectRatio,
                                                 Qt::FastTransformation);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    copy.save(&buffer, "PNG");
    auto* content = new QMimeData;
    content->setData(QStringLiteral("image/png"), png);
    content->setImageData(copy);
    QGuiApplication::clipboard()->setMimeData(content);
    showStatus(tr("Copied the %1 card (%2 × %3) to the clipboard")
                   .arg(colour == CardColour::Blue ? tr("blue") : tr("red"))
                   .arg(copy.width())
                   .arg(copy.height()));
}

// ---- Card files, new and duplicated cards ------------------------------------------------------

void MainWindow::openCard()
{
    if (!m_session->hasSet()) {
        m_cardFiles->openCard();
        return;
    }
    // A set closes once a file is chosen.
    const QString path = m_cardFiles->chooseCardFile();
    if (!path.isEmpty())
        openCardFile(path);
}

void MainWindow::openCardFile(const QString& path)
{
    // A card file is a lone card: the set goes first, after its own question.
    if (m_setCommands->closeSet(tr("Open Card")))
        m_cardFiles->openCardFile(path);
}

void MainWindow::saveCardFile(bool asking)
{
    if (m_session->hasSet()) {
        // A set's card is saved with its set; a card file of it is a copy.
        if (const CardDocument* current = m_session->currentDocument())
            m_cardFiles->saveCopyAs(*current);
        return;
    }
    if (asking)
        m_cardFiles->saveCardFileAs();
    else
        m_cardFiles->saveCardFile();
}

void MainWindow::newCard()
{
    if (m_session->hasSet())
        m_panel->addCard();
    else
        m_cardFiles->startOver(Card(), tr("New Card"));
}

void MainWindow::duplicateCard()
{
    if (m_session->hasSet()) {
        m_panel->duplicateSelected();
        return;
    }
    Card copy = m_session->loneCard().card();
    copy.name = copy.name.isEmpty() ? QString() : tr("%1 copy").arg(copy.name);
    m_cardFiles->startOver(copy, tr("New Card"));
}

}  // namespace orvane
