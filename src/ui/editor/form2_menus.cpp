// The main window around the layout: the menu bar, the status line, the clipboard, dropped files
// and the question about unsaved changes on closing.
#include "editor/form2.h"

#include "card/card_file.h"
#include "document/card_document.h"
#include "files/main_picture.h"
#include "widgets/picture_box.h"
#include "windows/copy_scale.h"
#include "windows/play_sheets_dialog.h"

#include <QBuffer>
#include <QClipboard>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QUndoStack>

using namespace orvane;

namespace {

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

// The first local file of a drag, or nothing.
QString draggedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

// The number boxes pass on to the window what they have no use for: a drag of a file goes up to
// the first parent that takes it, so a file dropped anywhere loads as a picture or opens as a
// card; Copy with no text selected copies the blue card, and Paste of a picture with no text on
// the clipboard pastes the main picture.
//
// Undo and redo in a number box are the card's, not the box's own text history; leaving a box
// ends its typing step.
class NumberBoxPasser : public QObject {
public:
    NumberBoxPasser(QObject* parent, std::function<void()> boxLeft)
        : QObject(parent), m_boxLeft(std::move(boxLeft))
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusOut)
            m_boxLeft();
        if (event->type() == QEvent::DragEnter &&
            !draggedFile(static_cast<QDragEnterEvent*>(event)->mimeData()).isEmpty()) {
            event->ignore();
            return true;
        }
        if (event->type() == QEvent::ShortcutOverride && passesOn(watched, event)) {
            event->ignore();  // not taken by the box: the window's shortcut runs
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static bool passesOn(QObject* watched, QEvent* event)
    {
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto* box = qobject_cast<QLineEdit*>(watched);
        if (!box)
            return false;
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y))
            return true;
        if (key->matches(QKeySequence::Copy))
            return !box->hasSelectedText();
        if (key->matches(QKeySequence::Paste)) {
            const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
            return clip && clip->hasImage() && !clip->hasText();
        }
        return false;
    }

    std::function<void()> m_boxLeft;
};

}  // namespace

void Form2::setUpMainWindow()
{
    // Every control the layout placed in the window moves into the inner area; their places are
    // relative to it, so they stay as laid out. The area keeps the layout's font and colours;
    // the menus and the status line use the desktop's.
    innerArea = new QWidget(this);
    innerArea->setObjectName(QStringLiteral("innerArea"));
    innerArea->setFont(font());
    innerArea->setPalette(palette());
    innerArea->setAutoFillBackground(true);
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child != innerArea)
            child->setParent(innerArea);
    setFont(QFont());
    setPalette(QPalette());
    setAutoFillBackground(false);
    setCentralWidget(innerArea);
    // The controls' area keeps its size however large the window is made: the room beyond it
    // belongs to the docks (the set, the zoomed preview), never to the layout's hidden corners.
    innerArea->setFixedSize(532, 377);

    buildMenus();
    statusBar()->setObjectName(QStringLiteral("statusLine"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->installEventFilter(this);  // a new width elides the text again
    setAcceptDrops(true);
    auto* passer = new NumberBoxPasser(this, [this] { m_document->closeTyping(); });
    passer->setObjectName(QStringLiteral("numberBoxPasser"));
    for (QLineEdit* box : txtNums)
        box->installEventFilter(passer);
    // The window grows by the menu bar and the status line; the inner area stays 532 x 377.
    resize(532, 377 + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    setTabOrderFromLayout();
    cmdLoadMain->setFocus();
}

void Form2::buildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("menuFile"));
    actOpenCard =
        menuAction(file, "actOpenCard", QStringLiteral("&Open Card..."), {ctrl(Qt::Key_O)});
    actSaveCardFile =
        menuAction(file, "actSaveCardFile", QStringLiteral("&Save Card File"), {ctrl(Qt::Key_S)});
    actSaveCardFileAs =
        menuAction(file, "actSaveCardFileAs", QStringLiteral("Save Card File &As..."),
                   {ctrl(Qt::Key_S, Qt::ShiftModifier)});
    menuRecent = file->addMenu(QStringLiteral("&Recent Cards"));
    menuRecent->setObjectName(QStringLiteral("menuRecent"));
    file->addSeparator();
    actLoadMain = menuAction(file, "actLoadMain", QStringLiteral("&Load Main Picture..."));
    actSaveCard = menuAction(file, "actSaveCard", QStringLiteral("Save &Card"));
    actExportCards =
        menuAction(file, "actExportCards", QStringLiteral("&Export Cards..."), {ctrl(Qt::Key_E)});
    actExportCardData =
        menuAction(file, "actExportCardData", QStringLiteral("Export Card &Data..."));
    actRenderDeck = menuAction(file, "actRenderDeck", QStringLiteral("Re&nder Deck..."));
    actAddCardToDeck = menuAction(file, "actAddCardToDeck", QStringLiteral("Add Card to Dec&k..."));
    // The current card as tabletop deck sheets, an atlas and a print sheet.
    connect(menuAction(file, "actPlaySheets", QStringLiteral("&Play Sheets...")),
            &QAction::triggered, this, [this] {
                const RenderedCard cards = renderShown(m_document->card());
                connect(openPlaySheets(*m_services.prompts, cards.blue, cards.red,
                                       m_document->displayName(), this),
                        &PlaySheetsDialog::written, this, &Form2::showStatus);
            });
    file->addSeparator();
    actExit = menuAction(file, "actExit", QStringLiteral("E&xit Program"), {ctrl(Qt::Key_Q)});

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("menuEdit"));
    actUndo = menuAction(edit, "actUndo", QStringLiteral("&Undo"), {ctrl(Qt::Key_Z)});
    actRedo = menuAction(edit, "actRedo", QStringLiteral("&Redo"),
                         {ctrl(Qt::Key_Z, Qt::ShiftModifier), ctrl(Qt::Key_Y)});
    connect(actUndo, &QAction::triggered, this, [this] { undoOrRedo(true); });
    connect(actRedo, &QAction::triggered, this, [this] { undoOrRedo(false); });
    edit->addSeparator();
    actCopyBlue =
        menuAction(edit, "actCopyBlue", QStringLiteral("&Copy Blue Card"), {ctrl(Qt::Key_C)});
    actCopyRed = menuAction(edit, "actCopyRed", QStringLiteral("Copy R&ed Card"),
                            {ctrl(Qt::Key_C, Qt::ShiftModifier)});
    actPaste =
        menuAction(edit, "actPaste", QStringLiteral("&Paste Main Picture"), {ctrl(Qt::Key_V)});
    addCopyScaleMenu(edit, actPaste, {actCopyBlue, actCopyRed});
    edit->addSeparator();
    actPrepareMain = menuAction(edit, "actPrepareMain", QStringLiteral("Prepare &Main Picture..."));
    actAdvanced = menuAction(edit, "actAdvanced", QStringLiteral("&Advanced Settings"));

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("menuView"));
    actZoomedPreview =
        menuAction(view, "actZoomedPreview", QStringLiteral("&Zoomed Preview"), {ctrl(Qt::Key_1)});
    actDockZoomedPreview = menuAction(view, "actDockZoomedPreview",
                                      QStringLiteral("&Dock Zoomed Preview in This Window"));
    actDockZoomedPreview->setCheckable(true);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("menuHelp"));
    actAbout = menuAction(help, "actAbout", QStringLiteral("&About"));

    // The commands of the layout's buttons run through the buttons, so a menu command is exactly
    // the button's click.
    connect(actLoadMain, &QAction::triggered, cmdLoadMain, &QPushButton::click);
    connect(actSaveCard, &QAction::triggered, cmdSaveCards, &QPushButton::click);
    connect(actExportCardData, &QAction::triggered, cmdCardData, &QPushButton::click);
    connect(actExit, &QAction::triggered, cmdQuit, &QPushButton::click);
    connect(actAdvanced, &QAction::triggered, cmdAdvanced, &QPushButton::click);
    connect(actAbout, &QAction::triggered, cmdAbout, &QPushButton::click);
    connect(actCopyBlue, &QAction::triggered, this, [this] { copyCard(true); });
    connect(actCopyRed, &QAction::triggered, this, [this] { copyCard(false); });
    connect(actPaste, &QAction::triggered, this, &Form2::pasteMainPicture);
    connect(actPrepareMain, &QAction::triggered, this, &Form2::prepareMainPicture);
    connect(picMainPic, &PictureBox::doubleClicked, this, &Form2::prepareMainPicture);

    connect(actOpenCard, &QAction::triggered, this, &Form2::openCard);
    connect(actSaveCardFile, &QAction::triggered, this, &Form2::saveCardFile);
    connect(actSaveCardFileAs, &QAction::triggered, this, &Form2::saveCardFileAs);
    updateRecentMenu();
    updateTitle();

    // Connected by the windows they open.
    for (QAction* later : {actExportCards, actRenderDeck, actAddCardToDeck, actZoomedPreview})
        later->setEnabled(false);
}

void Form2::updateUndoActions()
{
    const QUndoStack* stack = m_document->undoStack();
    actUndo->setEnabled(stack->canUndo());
    actUndo->setText(stack->canUndo() ? QStringLiteral("&Undo %1").arg(stack->undoText())
                                      : QStringLiteral("&Undo"));
    actRedo->setEnabled(stack->canRedo());
    actRedo->setText(stack->canRedo() ? QStringLiteral("&Redo %1").arg(stack->redoText())
                                      : QStringLiteral("&Redo"));
}

void Form2::undoOrRedo(bool undo)
{
    QUndoStack* stack = m_document->undoStack();
    if (undo ? !stack->canUndo() : !stack->canRedo())
        return;
    const QString step = undo ? stack->undoText() : stack->redoText();
    m_document->closeTyping();
    if (undo)
        stack->undo();
    else
        stack->redo();
    showStatus((undo ? QStringLiteral("Undid %1") : QStringLiteral("Redid %1")).arg(step));
}

void Form2::showStatus(const QString& text)
{
    // A text wider than the line is cut in the middle; the tooltip holds it whole.
    m_statusText = text;
    const int room = std::max(40, statusBar()->width() - 24);
    const QString shown = statusBar()->fontMetrics().elidedText(text, Qt::ElideMiddle, room);
    statusBar()->showMessage(shown);
    statusBar()->setToolTip(shown == text ? QString() : text);
}

QString Form2::statusText() const
{
    return statusBar()->currentMessage().isEmpty() ? QString() : m_statusText;
}

bool Form2::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == statusBar() && event->type() == QEvent::Resize && !m_statusText.isEmpty() &&
        !statusBar()->currentMessage().isEmpty())
        showStatus(m_statusText);
    return QMainWindow::eventFilter(watched, event);
}

// ---- Clipboard --------------------------------------------------------------------------------

void Form2::copyCard(bool blue)
{
    // Edit ▸ Copy Scale's, whole pixels so the copy stays crisp.
    const int scale = copyScale();
    const QImage& card = (blue ? picBlueBase : picRedBase)->image();
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
    showStatus(QStringLiteral("Copied the %1 card (%2 × %3) to the clipboard")
                   .arg(blue ? QStringLiteral("blue") : QStringLiteral("red"))
                   .arg(copy.width())
                   .arg(copy.height()));
}

void Form2::pasteMainPicture()
{
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    const QString file = draggedFile(clip);
    if (!file.isEmpty() && !(clip && clip->hasImage())) {
        loadMainPictureFile(file);  // a copied picture file: read as if loaded
        return;
    }
    if (!clip || !clip->hasImage()) {
        showStatus(QStringLiteral("The clipboard holds no picture to paste"));
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
    showStatus(path.isEmpty() ? QStringLiteral("Pasted the main picture (%1)").arg(size)
                              : QStringLiteral("Loaded the main picture %1 (%2)")
                                    .arg(QFileInfo(path).fileName(), size));
    if (larger)
        offerToPrepare(loaded, path.isEmpty() ? QStringLiteral("Paste Main Picture")
                                              : QStringLiteral("Load Main Picture"));
}

// ---- Dropped files ----------------------------------------------------------------------------

void Form2::dragEnterEvent(QDragEnterEvent* event)
{
    if (!draggedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Form2::dragMoveEvent(QDragMoveEvent* event)
{
    if (!draggedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Form2::dropEvent(QDropEvent* event)
{
    const QString file = draggedFile(event->mimeData());
    if (file.isEmpty())
        return;
    event->acceptProposedAction();
    if (QFileInfo(file).suffix().compare(QLatin1String(CardFileSuffix), Qt::CaseInsensitive) == 0)
        openCardFile(file);
    else
        loadMainPictureFile(file);
}

// ---- Closing ----------------------------------------------------------------------------------

void Form2::closeEvent(QCloseEvent* event)
{
    if (m_workingBeside > 0) {
        // A file is being read or written: the window closes once it is done.
        m_closeWhenDone = true;
        event->ignore();
        return;
    }
    if (!maybeSaveChanges(QStringLiteral("Exit Program"))) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
