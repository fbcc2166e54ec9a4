#pragma once

#include "card/picture_fit.h"
#include "editor/wake_timer.h"
#include "platform/dialog.h"
#include "platform/prompts.h"
#include "render/card_parts.h"
#include "render/picture_cache.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <random>

class PictureBox;
class ZoomedPreview;
class QAction;
class QCheckBox;
class QCloseEvent;
class QDockWidget;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace orvane {
class CardDocument;
class ImageUtilsLibrary;
class PartFileWatcher;
class Registry;
class ProgramStarter;
}  // namespace orvane

// What the status line says of a prepared picture: its source size and the size it was scaled
// to ("2400 × 1800 scaled to 62 × 47").
QString preparedStatus(QSize source, const orvane::PictureFit& fit);

// The main window: one card, edited through its controls, shown as a blue and a red card. The
// controls sit in the 532 x 377 inner area, between the menu bar and the status line.
class Form2 : public QMainWindow {
    Q_OBJECT
public:
    // Services the window needs from outside; tests hand in scripted ones.
    struct Services {
        orvane::Prompts* prompts = nullptr;
        QString assetRoot;                     // folder holding gfx/; default: the executable's
        std::function<void()> endProcess;      // default: leave the event loop at once
        orvane::Registry* registry = nullptr;  // for About's system information
        orvane::ProgramStarter* starter = nullptr;
        QString imageUtilsPath;  // default: libImageUtils beside the executable
    };

    explicit Form2(const Services& services, QWidget* parent = nullptr);
    ~Form2() override;

    // The element option that is on, or -1.
    int selectedElement() const;
    int selectedFrame() const;
    orvane::PictureCache& pictureCache() { return m_pictures; }

    // The card shown and edited: the window's own document unless pointed at another one.
    orvane::CardDocument& document() { return *m_document; }
    // Shows `document` (not owned; null: the window's own again) at once, and edits it from now.
    void setDocument(orvane::CardDocument* document);
    // Opens a card file (the command line, a recent card, a drop), asking first about unsaved
    // changes. False when the user cancelled or the file could not be read (already said).
    bool openCardFile(const QString& path);
    // Reads a main picture file as "Load Main Picture..." does: same checks, same messages.
    bool loadMainPictureFile(const QString& path);
    // Says in the status line what just happened (a long text elided, whole in the tooltip).
    void showStatus(const QString& text);
    QString statusText() const;

public slots:
    void Form_Load();
    void Form_Terminate();
    void cmdQuit_Click();
    void cmdAbout_Click();
    void cmdAdvanced_Click();
    void txtNums_Change(int Index);
    void optElem_Click(int Index);
    void chkArrow_Click(int Index);
    void scrX_Change();
    void scrY_Change();
    void cmdRandom_Click();
    void Timer1_Timer();
    void cmdCreate_Click();
    void cmdLoadMain_Click();
    void cmdSaveCards_Click();
    void cmdCardData_Click();

    // Menu commands without a button (form2_menus.cpp, form2_card_files.cpp).
    void openCard();
    bool saveCardFile();
    bool saveCardFileAs();
    void copyCard(bool blue);
    void pasteMainPicture();
    // Prepare Main Picture...: fits the main picture (or its kept source) to the card.
    void prepareMainPicture();
    // Menu commands that open windows (form2_windows.cpp).
    void showZoomedPreview();
    // Docks the zoomed preview in this window, or gives it its own window (an open one moves).
    void dockZoomedPreview(bool docked);
    bool zoomedPreviewIsOpen() const;
    void exportCards();
    void renderDeck();
    void addCardToDeck();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

signals:
    // Both cards were composed again (picBlueBase and picRedBase hold the new pictures).
    void cardsComposed();

private:
    // The window's controls and commands are its own: other code finds them by their object
    // names, the card through document().

    // The area holding every control, at the places of the layout.
    QWidget* innerArea = nullptr;

    // Menu commands (form2_menus.cpp), in the order of the menus.
    QAction* actOpenCard = nullptr;
    QAction* actSaveCardFile = nullptr;
    QAction* actSaveCardFileAs = nullptr;
    QMenu* menuRecent = nullptr;
    QAction* actLoadMain = nullptr;
    QAction* actSaveCard = nullptr;
    QAction* actExportCards = nullptr;
    QAction* actExportCardData = nullptr;
    QAction* actRenderDeck = nullptr;
    QAction* actAddCardToDeck = nullptr;
    QAction* actExit = nullptr;
    QAction* actUndo = nullptr;
    QAction* actRedo = nullptr;
    QAction* actCopyBlue = nullptr;
    QAction* actCopyRed = nullptr;
    QAction* actPaste = nullptr;
    QAction* actPrepareMain = nullptr;
    QAction* actAdvanced = nullptr;
    QAction* actZoomedPreview = nullptr;
    QAction* actDockZoomedPreview = nullptr;  // checked: the preview opens docked in this window
    QAction* actAbout = nullptr;

    // Controls placed directly in the inner area.
    QGroupBox* frmElem = nullptr;
    QGroupBox* frmNums = nullptr;
    QGroupBox* frmXY = nullptr;
    QGroupBox* frmArrows = nullptr;
    QGroupBox* frmFrame = nullptr;
    QGroupBox* frmDoubleCheck = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Image1 = nullptr;
    PictureBox* picMainPic = nullptr;
    PictureBox* picBlueBase = nullptr;
    PictureBox* picRedBase = nullptr;
    PictureBox* picBlueClean = nullptr;
    PictureBox* picRedClean = nullptr;
    QPushButton* cmdLoadMain = nullptr;
    QPushButton* cmdAbout = nullptr;
    QPushButton* cmdRandom = nullptr;
    QPushButton* cmdAdvanced = nullptr;
    QPushButton* cmdSaveCards = nullptr;
    QPushButton* cmdQuit = nullptr;
    QPushButton* cmdCardData = nullptr;
    QPushButton* cmdCreate = nullptr;

    // Inside the frames.
    std::array<QRadioButton*, 11> optElem{};
    std::array<QLabel*, 10> imgElemDemo{};
    std::array<QRadioButton*, 4> optFrame{};
    std::array<QLineEdit*, 4> txtNums{};
    QScrollBar* scrX = nullptr;
    QScrollBar* scrY = nullptr;
    QLabel* labXpos = nullptr;
    QLabel* labYpos = nullptr;
    std::array<QCheckBox*, 8> chkArrow{};
    std::array<QLabel*, 8>
        arrowMarks{};  // Image3, Image4, Image2, Image5, Image9, Image6, Image7, Image8
    QLabel* Label7 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    PictureBox* picFinalFrame = nullptr;
    PictureBox* picFinalElem = nullptr;
    std::array<PictureBox*, 4> picFinalNum{};
    std::array<PictureBox*, 8> picArrowFinal{};

    WakeTimer* Timer1 = nullptr;  // ticks when a control, the redraw flag or a part file changed
    orvane::Dialog Dialog;

    void setUpMainWindow();
    void buildMenus();
    void updateRecentMenu();
    void updateTitle();
    void openRecent(const QString& path);
    bool readCardFileIntoWindow(const QString& path);
    // With `takeTheFileName`, the card is renamed after the file it is written to.
    bool writeCardFileFromWindow(const QString& path, bool takeTheFileName = false);
    // Save / Discard / Cancel when there is something to lose; true when the caller may go on.
    bool maybeSaveChanges(const QString& title);
    // Runs `work` (reading or writing a file, no widget, no document) on a thread of its own
    // under a busy cursor: the window keeps painting, its input waits, and a close asked for
    // meanwhile happens once the work is done. Empty, or why the work broke off.
    QString runBesideTheWindow(const std::function<void()>& work);
    void mainPictureChanged(const QImage& picture, const QString& path);
    // A picture larger than the card: the box keeps what the card can show, the preparation
    // the whole picture. True when it was larger.
    bool keepWhatTheCardCanShow(const QImage& picture, const QString& path);
    void offerToPrepare(QSize source, const QString& title);
    void openPrepareWindow(const orvane::PictureFit& start);
    // The document's card as the editor draws it: each side's digit is the one last drawn.
    orvane::RenderedCard renderShown(const orvane::Card& card) const;
    // Puts the document into the controls (no handler runs) and composes the cards.
    void showDocument();
    void documentChanged();
    // Says in the status line what a rule threw away, and the way back.
    void reportReset(const QString& what);
    void undoOrRedo(bool undo);
    void updateUndoActions();
    void buildLayout();
    void buildWorkSurfaces();
    void setTabOrderFromLayout();
    void connectHandlers();
    void wakeTickOnChanges();
    void connectWindowCommands();
    // Shows the part in its preview box and keeps it in `slot` for the cards; a part that fails
    // keeps its last picture.
    void loadPreview(PictureBox* box, const QString& relativePath, QImage& slot);
    void reportAssetFailures();
    void openDockedPreview();

    Services m_services;
    orvane::PictureCache m_pictures;
    std::mt19937 m_random;
    int m_compositions = 0;
    QStringList m_newAssetFailures;  // parts that began failing during the current tick
    std::unique_ptr<orvane::ImageUtilsLibrary> m_imageUtils;
    orvane::CardDocument* m_ownDocument = nullptr;
    orvane::CardDocument* m_document = nullptr;
    QList<QMetaObject::Connection> m_documentConnections;
    orvane::CardParts m_parts;     // the live part files, each its last good picture
    qint16 CardTotal = 0;          // the total the view shows (Export Card Data writes it)
    bool m_dragContinues = false;  // a scroll bar drag already made its step
    QString m_statusText;          // the whole text of the status line
    orvane::Dialog m_cardDialog;   // Open Card and Save Card File, apart from the layout's dialog
    QByteArray m_loadedEncoded;    // the bytes of the picture just loaded, for its preparation
    int m_workingBeside = 0;       // files being read or written on threads of their own
    bool m_closeWhenDone = false;  // the window was asked to close meanwhile
    orvane::PartFileWatcher* m_partWatcher = nullptr;
    QPointer<ZoomedPreview> m_zoomedPreview;
    QPointer<QDockWidget> m_zoomedDock;  // around the preview while it is docked
    orvane::Dialog m_deckDialog;         // Add Card to Deck keeps its own folder and file
};
