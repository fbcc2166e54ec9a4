#pragma once

#include "card/picture_fit.h"
#include "editor/wake_timer.h"
#include "platform/dialog.h"
#include "platform/prompts.h"
#include "render/card_parts.h"
#include "render/picture_cache.h"

#include <QWidget>
#include <QPointer>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <random>

class PictureBox;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace orvane {
class CardDocument;
class ImageUtilsLibrary;
class PartFileWatcher;
class Registry;
class ProgramStarter;
class WorkBeside;
}  // namespace orvane

// What the status line says of a prepared picture: its source size and the size it was scaled
// to ("2400 × 1800 scaled to 62 × 47").
QString preparedStatus(QSize source, const orvane::PictureFit& fit);

// The card window: one card document, edited through its controls and shown as a blue and a red
// card. The controls sit in its 532 x 377 area at the places of the layout; the main window
// around it holds the menus, the status line and the docks.
class Form2 : public QWidget {
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
        orvane::WorkBeside* workBeside = nullptr;  // default: the window's own
    };

    // Shows and edits `document` (not owned), which Form_Load gives the start values.
    Form2(const Services& services, orvane::CardDocument& document, QWidget* parent = nullptr);
    ~Form2() override;

    // The card shown and edited.
    orvane::CardDocument& document() const { return *m_document; }
    // Shows `document` (not owned) at once, and edits it from now.
    void setDocument(orvane::CardDocument& document);
    // Shows no card at all (a set open and none of its cards current): the controls are
    // disabled and `why` goes to the status line. setDocument shows a card again.
    void showNoCard(const QString& why);
    bool showsNoCard() const { return m_document == m_noCard; }
    // Both cards as the boxes show them, from the one renderer.
    orvane::RenderedCard shownCards() const;
    // The part pictures the window reads (a benchmark makes it read them every time).
    orvane::PictureCache& pictureCache() { return m_pictures; }
    // The option on in each group (-1: none).
    int selectedElement() const;
    int selectedFrame() const;

    // Reads a main picture file as "Load Main Picture..." does: same checks, same messages.
    bool loadMainPictureFile(const QString& path);
    // Paste Main Picture: a picture, or a picture file, from the clipboard.
    void pasteMainPicture();
    // Prepare Main Picture...: fits the main picture (or its kept source) to the card.
    void prepareMainPicture();
    // The commands of the window's buttons, for the menus: each runs exactly as its button's
    // click does.
    enum class Command { LoadMainPicture, SaveCard, ExportCardData, AdvancedSettings, About, Exit };
    void run(Command command);

signals:
    // Both cards were composed again (shownCards() holds the new pictures).
    void cardsComposed();
    // What just happened, for the status line.
    void message(const QString& text);
    // A card part file changed on disk.
    void partFilesChanged();

private slots:
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

private:
    // The window's controls are its own: tests and tools find them by their object names.

    // Controls placed directly in the window.
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
    // Enables or disables every control of the card (Exit and About stay).
    void enableControls(bool on);
    // Says in the status line what a rule threw away, and the way back.
    void reportReset(const QString& what);
    void buildLayout();
    void buildWorkSurfaces();
    void setTabOrderFromLayout();
    void connectHandlers();
    void wakeTickOnChanges();
    // Shows the part in its preview box and keeps it in `slot` for the cards; a part that fails
    // keeps its last picture.
    void loadPreview(PictureBox* box, const QString& relativePath, QImage& slot);
    void reportAssetFailures();

    Services m_services;
    orvane::PictureCache m_pictures;
    std::mt19937 m_random;
    QStringList m_newAssetFailures;  // parts that began failing during the current tick
    std::unique_ptr<orvane::ImageUtilsLibrary> m_imageUtils;
    orvane::CardDocument* m_document = nullptr;
    orvane::CardDocument* m_noCard = nullptr;  // shown while no card is: never edited
    QList<QMetaObject::Connection> m_documentConnections;
    orvane::CardParts m_parts;     // the live part files, each its last good picture
    qint16 CardTotal = 0;          // the total the view shows (Export Card Data writes it)
    bool m_dragContinues = false;  // a scroll bar drag already made its step
    QByteArray m_loadedEncoded;    // the bytes of the picture just loaded, for its preparation
    orvane::PartFileWatcher* m_partWatcher = nullptr;
};
