// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "card/picture_fit.h"
#include "document/card_document.h"
#include "editor/card_window_controls.h"
#include "editor/part_failure_notice.h"
#include "editor/wake_timer.h"
#include "platform/dialog.h"
#include "platform/prompts.h"
#include "render/card_parts.h"
#include "render/part_scales.h"
#include "render/picture_cache.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <random>

class PictureBox;

namespace orvane {
class ImageUtilsLibrary;
class PartFileWatcher;
class Registry;
class ProgramStarter;
class WorkBeside;
}  // namespace orvane

// The card window: a view of one card document, edited through the layout's controls in its
// 532 x 377 area and shown as a blue and a red card. The main window around it has the menus,
// the status line and the docks.
class Form2 : public QWidget, private CardWindowControls {
    Q_OBJECT
public:
    // What the window needs from outside; tests hand in scripted ones.
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

    orvane::CardDocument& document() const { return *m_document; }
    // Shows `document` (not owned) at once, and edits it from now.
    void setDocument(orvane::CardDocument& document);
    // Shows no card (the controls disabled, `why` in the status line) until setDocument.
    void showNoCard(const QString& why);
    bool showsNoCard() const { return m_document == m_noCard; }
    // Both cards as the boxes show them.
    orvane::RenderedCard shownCards() const;
    // Both cards as shown, kept with the chosen pack's parts so that an output drawing them
    // larger uses the pack's larger parts (cardAtScale); without a pack, as shown. The boxes
    // keep the 1 x parts.
    orvane::RenderedCard shownCardsWithScales() const;
    // Reads the card parts from the pack folder `packFolder` (laid out like gfx/) from now on:
    // the work surfaces, both cards and the watch of the part files. Empty: the built-in gfx/.
    void readPartsFrom(const QString& packFolder);
    QString partsFolder() const { return m_pictures.packFolder(); }
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
    // How a number change or an element click treats the numbers and arrows chosen before.
    void setResetRules(orvane::ResetRules rules) { m_resetRules = rules; }
    orvane::ResetRules resetRules() const { return m_resetRules; }
    // The menus' commands of the window's buttons: each runs as its button's click does.
    enum class Command { LoadMainPicture, SaveCard, ExportCardData, AdvancedSettings, About, Exit };
    void run(Command command);

signals:
    void cardsComposed();               // shownCards() holds the new pictures
    void message(const QString& text);  // for the status line
    void partFilesChanged();            // a card part file changed on disk

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
    WakeTimer* Timer1 = nullptr;  // ticks when a part file changed
    orvane::Dialog Dialog;

    void connectHandlers();
    void wakeTickOnChanges();
    void watchPartFiles();
    void enableControls(bool on);           // every control of the card (Exit and About stay)
    void reportReset(const QString& what);  // what a rule threw away, and the way back

    // Puts what changed of the document into its controls (no handler runs); the tick composes.
    void documentChanged(orvane::CardDocument::Changes what);
    void showDocument(orvane::CardDocument::Changes what);
    void showElement(const orvane::Card& card);
    void showSides(const orvane::Card& card);
    void showOffset(const orvane::Card& card);
    void showMainPicture(const orvane::Card& card);
    // Shows the part in its box and keeps it in `slot`; a part that fails keeps its last picture.
    void loadPreview(PictureBox* box, const QString& relativePath, QImage& slot);
    // The document's card as the editor draws it: each side's digit is the one last drawn.
    orvane::RenderedCard renderShown(const orvane::Card& card) const;

    // `encoded`: the picture's own bytes, kept as a larger picture's preparation source.
    void mainPictureChanged(const QImage& picture, const QString& path, QByteArray encoded);
    // `done`, and the note that the blue and red card look the same when the picture hides both
    // bases.
    QString withCoverNote(const QString& done) const;
    void offerToPrepare(QSize source, const QString& title);
    void openPrepareWindow(const orvane::PictureFit& start);

    Services m_services;
    orvane::PictureCache m_pictures;
    orvane::CardParts m_parts;  // the live part files, each its last good picture
    // The chosen pack's parts at the scales drawn so far (made again after a part file changed).
    std::shared_ptr<const orvane::PartScales> packScales() const;
    mutable std::shared_ptr<const orvane::PartScales> m_packScales;
    orvane::PartFailureNotice m_partFailures;
    orvane::PartFileWatcher* m_partWatcher = nullptr;
    QObject* m_numberBoxPasser = nullptr;  // the number boxes' event filter
    std::mt19937 m_random;
    std::unique_ptr<orvane::ImageUtilsLibrary> m_imageUtils;
    orvane::CardDocument* m_document = nullptr;
    orvane::CardDocument* m_noCard = nullptr;  // shown while no card is: never edited
    QList<QMetaObject::Connection> m_documentConnections;
    qint16 CardTotal = 0;          // the total shown (Export Card Data writes it)
    orvane::ResetRules m_resetRules = orvane::ResetRules::Reset;
    bool m_dragContinues = false;  // a scroll bar drag already made its step
};

// What the status line says of a prepared picture: "2400 × 1800 scaled to 62 × 47".
QString preparedStatus(QSize source, const orvane::PictureFit& fit);
