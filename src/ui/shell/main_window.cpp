// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/main_window.h"

#include "card/card_file.h"
#include "document/card_document.h"
#include "editor/card_file_commands.h"
#include "editor/number_box_passer.h"
#include "files/file_kind.h"
#include "platform/work_beside.h"
#include "session/session.h"
#include "setpanel/set_commands.h"
#include "setpanel/set_panel.h"
#include "shell/card_windows.h"
#include "shell/pack_commands.h"
#include "shell/print_commands.h"
#include "shell/set_statistics.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

namespace orvane {
namespace {

// Where the set dock was left, and the window's size with it.
constexpr const char* DockStateKey = "SetDock/windowState";
constexpr const char* WindowSizeKey = "SetDock/windowSize";

}  // namespace

MainWindow::MainWindow(const Form2::Services& services, const QString& recoveryFolder,
                       QWidget* parent)
    : QMainWindow(parent), m_services(services)
{
    setObjectName(QStringLiteral("mainWindow"));
    m_session = new Session(this);
    m_workBeside = new WorkBeside(this);
    m_services.workBeside = m_workBeside;
    if (m_services.assetRoot.isEmpty())
        m_services.assetRoot = QCoreApplication::applicationDirPath();
    m_form = new Form2(m_services, m_session->loneCard(), this);
    setCentralWidget(m_form);
    setWindowTitle(m_form->windowTitle());
    setWindowIcon(m_form->windowIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    statusBar()->setObjectName(QStringLiteral("statusLine"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->installEventFilter(this);  // a new width elides the text again
    setAcceptDrops(true);

    Prompts& prompts = *m_services.prompts;
    const QDir recovery(recoveryFolder);
    m_cardFiles = new CardFileCommands(m_session->loneCard(), prompts, *m_workBeside,
                                       recovery.filePath(QStringLiteral("card-recovery.json")),
                                       this);
    m_setCommands = new SetCommands(*m_session, prompts,
                                    recovery.filePath(QStringLiteral("set-recovery.json")), this);
    m_cardWindows = new CardWindows(*this, *m_form, prompts, m_services.assetRoot);
    connect(m_cardFiles, &CardFileCommands::message, this, &MainWindow::showStatus);
    connect(m_setCommands, &SetCommands::message, this, &MainWindow::showStatus);
    connect(m_cardWindows, &CardWindows::message, this, &MainWindow::showStatus);
    m_packs = new PackCommands(*m_form, prompts, m_services.assetRoot, this);
    connect(m_packs, &PackCommands::message, this, &MainWindow::showStatus);
    connect(m_form, &Form2::message, this, &MainWindow::showStatus);
    connect(m_cardFiles, &CardFileCommands::recentCardsChanged, this,
            &MainWindow::updateRecentMenu);
    connect(m_workBeside, &WorkBeside::allDone, this, [this] {
        if (std::exchange(m_closeWhenDone, false))
            close();
    });

    buildSetDock(m_services.assetRoot);
    buildNameBar();
    buildMenus();
    connect(m_form, &Form2::cardsComposed, this, &MainWindow::showName);
    connect(m_session, &Session::currentChanged, this, &MainWindow::showCurrentCard);
    connect(m_session, &Session::openChanged, this, &MainWindow::setOpenChanged);
    connect(&m_session->set(), &CardSet::changed, this, &MainWindow::updateTitle);
    CardDocument& lone = m_session->loneCard();
    connect(&lone, &CardDocument::modifiedChanged, this, &MainWindow::updateTitle);
    connect(&lone, &CardDocument::filePathChanged, this, &MainWindow::updateTitle);
    showCurrentCard();
    // The window grows by the menu bar, the name bar and the status line; the card window keeps
    // its 532 x 377.
    resize(minimumSizeHint().expandedTo(QSize(532, 377)));
}

MainWindow::~MainWindow()
{
    for (const QMetaObject::Connection& connection : m_historyConnections)
        disconnect(connection);
}

void MainWindow::buildSetDock(const QString& partsRoot)
{
    m_panel = new SetPanel(m_session->set(), *m_services.prompts, partsRoot);
    m_setDock = new QDockWidget(tr("Set"), this);
    m_setDock->setObjectName(QStringLiteral("dockSet"));
    m_setDock->setWidget(m_panel);
    // To the right of the controls, where it has the window's height for rows of thumbnails.
    addDockWidget(Qt::RightDockWidgetArea, m_setDock);
    m_setDock->hide();
    // The panel picks the current card; the session says which it is.
    connect(m_panel, &SetPanel::cardPicked, m_session, &Session::setCurrentId);
    connect(m_session, &Session::currentChanged, this, [this] {
        if (m_session->hasSet() && m_panel->currentId() != m_session->currentId())
            m_panel->setCurrentId(m_session->currentId());
    });
    connect(m_panel, &SetPanel::message, this, &MainWindow::showStatus);
    m_statistics = new SetStatistics(*this, *m_session, *m_panel);
    m_print = new PrintCommands(*this, *m_session, *m_panel, *m_form, *m_services.prompts,
                                m_services.assetRoot);
    // The thumbnails follow the part files the card window watches.
    connect(m_form, &Form2::partFilesChanged, m_panel, &SetPanel::partFilesChanged);
}

void MainWindow::buildNameBar()
{
    // The card's name, outside the card window's fixed area.
    auto* bar = new QToolBar(tr("Card"), this);
    bar->setObjectName(QStringLiteral("barCard"));
    bar->setMovable(false);
    bar->addWidget(new QLabel(tr("Name: "), bar));
    m_name = new QLineEdit(bar);
    m_name->setObjectName(QStringLiteral("txtCardName"));
    m_name->setAccessibleName(tr("Card name"));
    bar->addWidget(m_name);
    m_packs->addChoice(*bar);
    addToolBar(Qt::TopToolBarArea, bar);
    connect(m_name, &QLineEdit::textEdited, this, &MainWindow::nameEdited);
}

void MainWindow::showCurrentCard()
{
    if (CardDocument* current = m_session->currentDocument())
        m_form->setDocument(*current);
    else
        m_form->showNoCard(m_session->whyNoCard());
    m_packs->cardShown(m_session->currentDocument());
    enableCardCommands(!m_form->showsNoCard());
    m_name->setReadOnly(m_form->showsNoCard());
    showName();
    watchHistory();
    updateTitle();
    // A row picture that cannot be read, or reaches the card only in part, is said at once.
    if (m_session->hasSet() && m_session->currentDocument())
        if (const QString note = m_session->set().pictureNote(m_session->currentId());
            !note.isEmpty())
            showStatus(note);
}

void MainWindow::setOpenChanged()
{
    const bool open = m_session->hasSet();
    // Ctrl+S saves the set while one is open, the card file otherwise.
    const QKeySequence save(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_saveCardFile->setShortcut(open ? QKeySequence() : save);
    m_saveSet->setShortcut(open ? save : QKeySequence());
    m_saveSet->setEnabled(open);
    m_saveSetAs->setEnabled(open);
    m_setDock->setVisible(open);
    if (open && !m_setDockPlaced)
        placeSetDock();
    resize(size().expandedTo(minimumSizeHint()));
    updateTitle();
}

void MainWindow::updateTitle()
{
    if (m_session->hasSet()) {
        const CardSet& set = m_session->set();
        const QString name = set.path().isEmpty() ? tr("New Set") : QFileInfo(set.path()).fileName();
        setTitle(tr("%1[*] - Set - Orvane").arg(name), set.isModified());
        return;
    }
    const CardDocument& lone = m_session->loneCard();
    const QString caption = m_form->windowTitle();
    setTitle(lone.filePath().isEmpty()
                 ? caption + QStringLiteral("[*]")
                 : QStringLiteral("%1[*] - %2").arg(QFileInfo(lone.filePath()).fileName(), caption),
             lone.isModified());
}

void MainWindow::setTitle(const QString& title, bool modified)
{
    // Only what changed reaches the window system.
    if (windowTitle() != title)
        setWindowTitle(title);
    if (isWindowModified() != modified)
        setWindowModified(modified);
}

void MainWindow::showName()
{
    // Set only when it differs: every composition passes here.
    const QString name = m_form->showsNoCard() ? QString() : m_form->document().card().name;
    if (m_name->text() == name)
        return;
    if (m_form->showsNoCard() || !m_name->hasFocus() || m_name->text().trimmed() == name)
        m_name->setText(name);
}

void MainWindow::nameEdited(const QString& text)
{
    if (m_form->showsNoCard())
        return;  // (read-only then: nothing to rename)
    const quint64 id = m_session->currentId();
    const QString problem = id ? m_session->set().nameProblem(text, id) : QString();
    QPalette palette = m_name->palette();
    palette.setColor(QPalette::Base, problem.isEmpty() ? this->palette().color(QPalette::Base)
                                                       : QColor(0xff, 0xd8, 0xd8));
    m_name->setPalette(palette);
    m_name->setToolTip(problem);
    if (!problem.isEmpty()) {
        showStatus(problem);  // the set keeps the last allowed name
        return;
    }
    m_form->document().setName(text.trimmed());
}

void MainWindow::placeSetDock()
{
    m_setDockPlaced = true;
    QSettings settings;
    const QByteArray state = settings.value(QLatin1String(DockStateKey)).toByteArray();
    const QSize size = settings.value(QLatin1String(WindowSizeKey)).toSize();
    if (!state.isEmpty() && size.isValid()) {
        // Where the user left it: the window's size, the dock's area and size.
        resize(size);
        restoreState(state);
        return;
    }
    // The first time: room for two columns and three rows of thumbnails at the panel's zoom,
    // as far as the screen allows (with room for the frames and spacing around the rows).
    const QSize thumbnail = m_panel->thumbnailSize();
    const int width =
        2 * thumbnail.width() + m_panel->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 24;
    const int height = 3 * thumbnail.height() + m_panel->controlsHeight() + 40;
    const QSize inner = m_form->size();
    const QSize around = minimumSizeHint() - inner - QSize(m_setDock->minimumSizeHint().width(), 0);
    QSize window(inner.width() + width + around.width(),
                 std::max(inner.height(), height) + around.height());
    if (const QScreen* screen = this->screen())
        window = window.boundedTo(screen->availableGeometry().size());
    resize(window.expandedTo(minimumSizeHint()));
    resizeDocks({m_setDock}, {width}, Qt::Horizontal);
}

void MainWindow::rememberSetDock()
{
    if (!m_setDockPlaced)
        return;
    QSettings settings;
    settings.setValue(QLatin1String(DockStateKey), saveState());
    settings.setValue(QLatin1String(WindowSizeKey), size());
}

void MainWindow::offerRecovery()
{
    m_setCommands->offerRecovery();
    // A lone card's edits, unless a set is now open (they are offered next time).
    if (!m_session->hasSet())
        m_cardFiles->offerRecovery();
}

void MainWindow::openGivenFile(const QString& path)
{
    // A deck or a folder of card files opens as a set; a file that begins like a card file
    // (JSON) is one, whatever its name, and its reader says what is wrong with it.
    const FileKind kind = fileKindOf(path);
    const QFileInfo info(path);
    if (kind != FileKind::CardFile &&
        (info.isDir() || info.suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0)) {
        m_setCommands->openSet(path);
        return;
    }
    switch (kind) {
    case FileKind::Picture: m_form->loadMainPictureFile(path); return;
    case FileKind::CardFile:
    case FileKind::NotAFile:  // said by the card file reader, with the reason
        openCardFile(path);
        return;
    case FileKind::Other: break;
    }
    m_services.prompts->messageBox(
        tr("%1 is neither a card file nor a picture.\n\nOrvane opens a card file (.orvcard) or "
           "loads a BMP, GIF, JPEG or PNG picture as the main picture.")
            .arg(QDir::toNativeSeparators(path)),
        Exclamation, QStringLiteral("Orvane"));
}

void MainWindow::showStatus(const QString& text)
{
    // A text wider than the line is cut in the middle; the tooltip holds it whole.
    m_statusText = text;
    const int room = std::max(40, statusBar()->width() - 24);
    const QString shown = statusBar()->fontMetrics().elidedText(text, Qt::ElideMiddle, room);
    statusBar()->showMessage(shown);
    statusBar()->setToolTip(shown == text ? QString() : text);
}

QString MainWindow::statusText() const
{
    return statusBar()->currentMessage().isEmpty() ? QString() : m_statusText;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == statusBar() && event->type() == QEvent::Resize && !m_statusText.isEmpty() &&
        !statusBar()->currentMessage().isEmpty())
        showStatus(m_statusText);
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_workBeside->isBusy()) {
        // A file is being read or written: the window closes once it is done.
        m_closeWhenDone = true;
        event->ignore();
        return;
    }
    // The set's cards are saved or discarded with it; then the lone card is asked about.
    if (!m_setCommands->maybeSave(tr("Exit Program")) ||
        !m_cardFiles->maybeSaveChanges(tr("Exit Program"))) {
        event->ignore();
        return;
    }
    rememberSetDock();
    QMainWindow::closeEvent(event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!firstLocalFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    if (!firstLocalFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QString file = firstLocalFile(event->mimeData());
    if (file.isEmpty())
        return;
    event->acceptProposedAction();
    if (m_packs->installIfArchive(file))
        return;
    if (QFileInfo(file).suffix().compare(QLatin1String(CardFileSuffix), Qt::CaseInsensitive) == 0)
        openCardFile(file);
    else
        m_form->loadMainPictureFile(file);
}

}  // namespace orvane
