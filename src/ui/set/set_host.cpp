#include "set/set_host.h"

#include "document/card_document.h"
#include "editor/form2.h"
#include "render/part_file_watcher.h"
#include "set/card_recovery.h"
#include "set/card_set.h"
#include "session/session.h"
#include "set/set_file_follower.h"
#include "set/set_panel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QToolBar>
#include <QUndoStack>

namespace orvane {
namespace {

// Where the set dock was left, and the window's size with it.
constexpr const char* DockStateKey = "SetDock/windowState";
constexpr const char* WindowSizeKey = "SetDock/windowSize";

QAction* addAction(QMenu* menu, QAction* before, const char* name, const QString& text)
{
    auto* action = new QAction(text, menu);
    action->setObjectName(QLatin1String(name));
    menu->insertAction(before, action);
    return action;
}

// One of the editor's menu commands, by the object name the editor gives it: the set's commands
// sit beside them and Ctrl+S moves between them.
QAction* editorAction(const Form2& form, const char* name)
{
    return form.findChild<QAction*>(QLatin1String(name));
}

}  // namespace

SetHost::SetHost(Form2& form, Prompts& prompts, const QString& partsRoot,
                 const QString& recoveryPath)
    : QObject(&form), m_form(form), m_prompts(prompts)
{
    m_session = new Session(this);
    m_set = &m_session->set();
    m_panel = new SetPanel(*m_set, prompts, partsRoot);
    m_dock = new QDockWidget(tr("Set"), &form);
    m_dock->setObjectName(QStringLiteral("dockSet"));
    m_dock->setWidget(m_panel);
    // To the right of the controls, where it has the window's height for rows of thumbnails.
    form.addDockWidget(Qt::RightDockWidgetArea, m_dock);
    m_dock->hide();
    m_recovery = new RecoveryWriter(*m_set, recoveryPath);
    // The editor's own card (edited while no set is open) has a recovery file beside the set's.
    m_cardRecovery = new CardRecoveryWriter(
        form.document(),
        QFileInfo(recoveryPath).dir().filePath(QStringLiteral("card-recovery.json")));
    // A normal end (after the unsaved questions) leaves nothing to recover.
    connect(qApp, &QCoreApplication::aboutToQuit, m_cardRecovery, &CardRecoveryWriter::discard);

    // File: the set commands after Open Card...; View: the panel.
    QMenu* file = form.findChild<QMenu*>(QStringLiteral("menuFile"));
    QAction* before = editorAction(form, "actSaveCardFile");
    QAction* open = addAction(file, before, "actOpenSet", tr("Open S&et..."));
    QAction* openFolder = addAction(file, before, "actOpenSetFolder", tr("Open Set &Folder..."));
    QAction* fresh = addAction(file, before, "actNewSet", tr("Ne&w Set"));
    m_saveSet = addAction(file, before, "actSaveSet", tr("Save Se&t"));
    m_saveSetAs = addAction(file, before, "actSaveSetAs", tr("Save Set &As..."));
    QAction* loadMain = editorAction(form, "actLoadMain");
    QAction* newCardAction = addAction(file, loadMain, "actNewCard", tr("New Car&d"));
    newCardAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    QAction* duplicate = addAction(file, loadMain, "actDuplicateCard", tr("D&uplicate Card"));
    duplicate->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(newCardAction, &QAction::triggered, this, &SetHost::newCard);
    connect(duplicate, &QAction::triggered, this, &SetHost::duplicateCard);

    // The card's name, outside the editor's fixed area.
    auto* bar = new QToolBar(tr("Card"), &form);
    bar->setObjectName(QStringLiteral("barCard"));
    bar->setMovable(false);
    bar->addWidget(new QLabel(tr("Name: "), bar));
    m_name = new QLineEdit(bar);
    m_name->setObjectName(QStringLiteral("txtCardName"));
    m_name->setAccessibleName(tr("Card name"));
    bar->addWidget(m_name);
    form.addToolBar(Qt::TopToolBarArea, bar);
    connect(m_name, &QLineEdit::textEdited, this, &SetHost::nameEdited);
    // The tool bar and the dock go around the controls' area, which keeps its 532 x 377: the
    // window grows instead.
    if (QWidget* inner = form.centralWidget())
        inner->setMinimumSize(532, 377);
    form.resize(form.size().expandedTo(form.minimumSizeHint()));
    connect(&form, &Form2::cardsComposed, this, &SetHost::showName);
    m_saveSet->setEnabled(false);
    m_saveSetAs->setEnabled(false);
    QAction* show = m_dock->toggleViewAction();
    show->setObjectName(QStringLiteral("actViewSet"));
    show->setText(tr("&Set"));
    form.findChild<QMenu*>(QStringLiteral("menuView"))->addAction(show);

    connect(open, &QAction::triggered, this, [this] {
        m_setDialog.DialogTitle = tr("Open Set");
        m_setDialog.Filter = tr("Decks (*.csv)|*.csv");
        m_setDialog.FilterIndex = 1;
        if (m_prompts.showOpen(m_setDialog))
            openSet(m_setDialog.FileName);
    });
    connect(openFolder, &QAction::triggered, this, [this] {
        QString folder = m_set->kind() == SetKind::Folder ? m_set->path() : QDir::homePath();
        if (m_prompts.chooseFolder(folder, tr("Open Set")))
            openSet(folder);
    });
    connect(fresh, &QAction::triggered, this, &SetHost::newSet);
    connect(m_saveSet, &QAction::triggered, this, &SetHost::saveSet);
    connect(m_saveSetAs, &QAction::triggered, this, &SetHost::saveSetAs);
    connect(m_panel, &SetPanel::cardPicked, this, &SetHost::showCard);
    connect(m_panel, &SetPanel::message, &form, &Form2::showStatus);
    m_follower = new SetFileFollower(*m_session, prompts, this);
    connect(m_session, &Session::currentChanged, this, [this] {
        if (m_panel->currentId() != m_session->currentId())
            m_panel->setCurrentId(m_session->currentId());
    });
    connect(m_follower, &SetFileFollower::message, &form, &Form2::showStatus);
    // The editor watches the card part files; the thumbnails follow the same changes.
    if (auto* parts = form.findChild<PartFileWatcher*>())
        connect(parts, &PartFileWatcher::changed, m_panel, &SetPanel::partFilesChanged);
    // After the editor's own title of the shown card, which follows the same change.
    connect(m_set, &CardSet::changed, this, &SetHost::updateTitle, Qt::QueuedConnection);
    form.installEventFilter(this);
}

SetHost::~SetHost() = default;

void SetHost::setOpen(bool open)
{
    if (m_open == open)
        return;
    m_open = open;
    // Ctrl+S saves the set while one is open, the card file otherwise.
    QAction* saveCardFile = editorAction(m_form, "actSaveCardFile");
    const QList<QKeySequence> keys = open ? saveCardFile->shortcuts() : m_saveSet->shortcuts();
    (open ? saveCardFile : m_saveSet)->setShortcuts({});
    (open ? m_saveSet : saveCardFile)->setShortcuts(keys);
    m_saveSet->setEnabled(open);
    m_saveSetAs->setEnabled(open);
    m_dock->setVisible(open);
    if (open && !m_placed)
        placeDock();
    m_form.resize(m_form.size().expandedTo(m_form.minimumSizeHint()));
}

void SetHost::placeDock()
{
    m_placed = true;
    QSettings settings;
    const QByteArray state = settings.value(QLatin1String(DockStateKey)).toByteArray();
    const QSize size = settings.value(QLatin1String(WindowSizeKey)).toSize();
    if (!state.isEmpty() && size.isValid()) {
        // Where the user left it: the window's size, the dock's area and size.
        m_form.resize(size);
        m_form.restoreState(state);
        return;
    }
    // The first time: room for two columns and three rows of thumbnails at the panel's zoom,
    // as far as the screen allows.
    const QSize thumbnail = m_panel->thumbnailSize();
    const int width =
        2 * thumbnail.width() + m_panel->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 24;
    // (with room for the frames and spacing the views add around the rows)
    const int height = 3 * thumbnail.height() + m_panel->controlsHeight() + 40;
    const QSize inner = m_form.centralWidget() ? m_form.centralWidget()->minimumSize() : QSize();
    const QSize around =
        m_form.minimumSizeHint() - inner - QSize(m_dock->minimumSizeHint().width(), 0);
    QSize window(inner.width() + width + around.width(),
                 std::max(inner.height(), height) + around.height());
    if (const QScreen* screen = m_form.screen())
        window = window.boundedTo(screen->availableGeometry().size());
    m_form.resize(window.expandedTo(m_form.minimumSizeHint()));
    m_form.resizeDocks({m_dock}, {width}, Qt::Horizontal);
}

void SetHost::rememberDock()
{
    if (!m_placed)
        return;
    QSettings settings;
    settings.setValue(QLatin1String(DockStateKey), m_form.saveState());
    settings.setValue(QLatin1String(WindowSizeKey), m_form.size());
}

bool SetHost::openSet(const QString& path)
{
    if (!maybeSave(tr("Open Set")))
        return false;
    m_form.setDocument(nullptr);
    QString error;
    if (!m_session->openSet(path, &error)) {
        m_prompts.messageBox(error, Exclamation, tr("Open Set"));
        if (m_open)
            showCard(m_panel->currentId());  // the set still open, and its card
        return false;
    }
    setOpen(true);
    quint64 first = 0;
    for (const SetEntry& e : m_set->entries())
        if (!e.isBad()) {
            first = e.id;
            break;
        }
    m_panel->setCurrentId(first);
    m_form.showStatus(tr("%1: %2 cards, %3 bad rows.")
                          .arg(QDir::toNativeSeparators(m_set->path()))
                          .arg(m_set->count())
                          .arg(std::count_if(m_set->entries().cbegin(), m_set->entries().cend(),
                                             [](const SetEntry& e) { return e.isBad(); })) +
                      (m_form.showsNoCard() ? tr(" None of them can be edited: mend a bad row by "
                                                 "double-clicking it.")
                                            : QString()));
    updateTitle();
    return true;
}

void SetHost::newSet()
{
    if (!maybeSave(tr("New Set")))
        return;
    m_form.setDocument(nullptr);
    m_session->startNewSet();
    setOpen(true);
    m_panel->addCard();
    m_set->undoStack()->clear();
    updateTitle();
}

bool SetHost::saveSet()
{
    if (m_set->kind() == SetKind::New)
        return saveSetAs();
    if (!m_follower->maySaveOver())
        return !m_set->isModified();  // reloaded or saved elsewhere: nothing left to save
    return writeSet(QString(), tr("Save Set"));
}

bool SetHost::saveSetAs()
{
    m_setDialog.DialogTitle = tr("Save Set As");
    m_setDialog.Filter = tr("Decks (*.csv)|*.csv");
    m_setDialog.FilterIndex = 1;
    m_setDialog.OverwritePrompt = true;
    // Offered: the deck itself, or a deck named after the folder beside it.
    const QFileInfo current(m_set->path());
    m_setDialog.FileName = m_set->kind() == SetKind::Deck ? current.absoluteFilePath()
                           : m_set->kind() == SetKind::Folder
                               ? current.absoluteFilePath() + QStringLiteral(".csv")
                               : QString();
    if (!m_prompts.showSave(m_setDialog))
        return false;
    QString path = m_setDialog.FileName;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    return writeSet(path, tr("Save Set As"));
}

bool SetHost::writeSet(const QString& path, const QString& title)
{
    QString error;
    bool encodingLacks = false;
    bool ok = m_set->save(&error, path, &encodingLacks);
    if (!ok && encodingLacks) {
        // The deck's code page cannot hold a character of the set: UTF-8 can, and spreadsheet
        // programs read UTF-8 with a byte order mark as such.
        const int answer = m_prompts.messageBox(
            error + tr("\n\nSave the deck as UTF-8 instead? Every character is then kept; "
                       "the deck's other bytes are written in UTF-8 too."),
            YesNo | Question, title);
        if (answer != AnswerYes)
            return false;
        const DeckEncoding before = m_set->deckForm().encoding;
        m_set->setDeckEncoding(DeckEncoding::Utf8Bom);
        ok = m_set->save(&error, path);
        if (!ok)
            m_set->setDeckEncoding(before);
    }
    if (!ok) {
        m_prompts.messageBox(error, Exclamation, title);
        return false;
    }
    m_recovery->discard();
    m_form.showStatus(tr("Set saved to %1.").arg(QDir::toNativeSeparators(m_set->path())));
    updateTitle();
    return true;
}

void SetHost::offerRecovery()
{
    offerSetRecovery();
    // A lone card's edits, unless a set is now shown in the editor (they are offered next time).
    if (!m_open)
        offerCardRecovery();
}

void SetHost::offerSetRecovery()
{
    QFile file(m_recovery->path());
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    const QByteArray text = file.readAll();
    file.close();
    if (m_prompts.messageBox(tr("Orvane ended without saving a set of cards. Restore it as it "
                                "was?"),
                             YesNo | Question, tr("Restore Set")) != AnswerYes) {
        m_recovery->discard();
        return;
    }
    QString error;
    if (!m_session->restoreSet(text, &error)) {
        m_prompts.messageBox(error + tr("\n\nThe recovery file is kept at %1.")
                                         .arg(QDir::toNativeSeparators(m_recovery->path())),
                             Exclamation, tr("Restore Set"));
        return;
    }
    setOpen(true);
    if (!m_set->entries().isEmpty())
        m_panel->setCurrentId(m_set->entries().front().id);
    updateTitle();
}

void SetHost::offerCardRecovery()
{
    QFile file(m_cardRecovery->path());
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    const QByteArray text = file.readAll();
    file.close();
    QString error;
    const std::optional<RecoveredCard> recovered = readCardRecovery(text, &error);
    if (!recovered) {
        m_prompts.messageBox(error + tr("\n\nThe recovery file is kept at %1.")
                                         .arg(QDir::toNativeSeparators(m_cardRecovery->path())),
                             Exclamation, tr("Restore Card"));
        return;
    }
    const QString name = recovered->card.name.isEmpty()
                             ? tr("a card")
                             : tr("the card \"%1\"").arg(recovered->card.name);
    if (m_prompts.messageBox(tr("Orvane ended without saving %1. Restore it as it was?").arg(name),
                             YesNo | Question, tr("Restore Card")) != AnswerYes) {
        m_cardRecovery->discard();
        return;
    }
    m_form.setDocument(nullptr);
    restoreCard(m_form.document(), *recovered);
}

void SetHost::showName()
{
    if (m_form.showsNoCard())
        m_name->clear();
    else if (!m_name->hasFocus() || m_name->text().trimmed() == m_form.document().card().name)
        m_name->setText(m_form.document().card().name);
}

void SetHost::nameEdited(const QString& text)
{
    if (m_form.showsNoCard())
        return;  // (read-only then: nothing to rename)
    const quint64 id = m_open ? m_panel->currentId() : 0;
    const QString problem = id ? m_set->nameProblem(text, id) : QString();
    QPalette palette = m_name->palette();
    palette.setColor(QPalette::Base, problem.isEmpty() ? m_form.palette().color(QPalette::Base)
                                                       : QColor(0xff, 0xd8, 0xd8));
    m_name->setPalette(palette);
    m_name->setToolTip(problem);
    if (!problem.isEmpty()) {
        m_form.showStatus(problem);  // the set keeps the last allowed name
        return;
    }
    m_form.document().setName(text.trimmed());
}

void SetHost::replaceEditorCard(const Card& card)
{
    m_form.setDocument(nullptr);
    CardDocument& own = m_form.document();
    if (own.isModified()) {
        switch (m_prompts.askSaveChanges(tr("The card has unsaved changes. Save them?"),
                                         tr("New Card"))) {
        case SaveChoice::Cancel: return;
        case SaveChoice::Save:
            m_form.saveCardFile();
            if (own.isModified())
                return;  // not saved: cancelled or failed (already said)
            break;
        case SaveChoice::Discard: break;
        }
    }
    own.startOver(card, QString());
}

void SetHost::newCard()
{
    if (m_open) {
        m_panel->addCard();
        return;
    }
    replaceEditorCard(Card());
}

void SetHost::duplicateCard()
{
    if (m_open) {
        m_panel->duplicateSelected();
        return;
    }
    Card copy = m_form.document().card();
    copy.name = copy.name.isEmpty() ? QString() : tr("%1 copy").arg(copy.name);
    replaceEditorCard(copy);
}

void SetHost::showCard(quint64 id)
{
    m_session->setCurrentId(id);
    CardDocument* document = m_open ? m_session->currentDocument() : nullptr;
    if (document || !m_open) {
        m_form.setDocument(document);
    } else {
        // With a set open the editor shows one of its cards or none: never a card out of sight.
        const SetEntry* e = m_set->entry(id);
        m_form.showNoCard(m_set->undoStack(),
                          e ? tr("Line %1 cannot be read: %2. Double-click the row to mend it.")
                                  .arg(e->line)
                                  .arg(e->problem)
                            : tr("No card of the set is current: pick one in the set to edit it."));
    }
    m_name->setReadOnly(m_form.showsNoCard());
    showName();
    updateTitle();
}

void SetHost::updateTitle()
{
    if (!m_open)
        return;
    const QString name =
        m_set->path().isEmpty() ? tr("New Set") : QFileInfo(m_set->path()).fileName();
    m_form.setWindowTitle(tr("%1[*] - Set - Orvane").arg(name));
    m_form.setWindowModified(m_set->isModified());
}

bool SetHost::maybeSave(const QString& title)
{
    if (!m_open || !m_set->isModified())
        return true;
    const QString name = m_set->path().isEmpty()
                             ? tr("The new set")
                             : tr("The set %1").arg(QDir::toNativeSeparators(m_set->path()));
    switch (m_prompts.askSaveChanges(tr("%1 has unsaved changes. Save them?").arg(name), title)) {
    case SaveChoice::Save: return saveSet();
    case SaveChoice::Discard: m_recovery->discard(); return true;
    case SaveChoice::Cancel: break;
    }
    return false;
}

bool SetHost::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_form && event->type() == QEvent::Close) {
        if (!maybeSave(tr("Exit Program"))) {
            event->ignore();
            return true;
        }
        // The set's own cards were saved or discarded with it: the editor asks about its own.
        m_form.setDocument(nullptr);
        rememberDock();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace orvane
