// SPDX-License-Identifier: GPL-3.0-or-later
// A set in the main window: a deck with notes opened, a card edited through the card window's
// own controls, saved with Ctrl+S: only that row changed. The unsaved question and the recovery
// file at the next start; a card out of sight is never edited.
#include "document/card_document.h"
#include "render/asset_catalogue.h"
#include "set/card_set.h"
#include "setpanel/set_commands.h"
#include "setpanel/set_panel.h"
#include "setpanel/set_thumbnails.h"
#include "support/file_bytes.h"
#include "support/form2_fixture.h"
#include "support/temp_settings.h"
#include "windows/calibration_dialog.h"
#include "windows/external_picture_edit.h"
#include "windows/print_dialog.h"
#include "windows/statistics_dock.h"

#include <QComboBox>
#include <QDir>
#include <QTableView>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>
#include <QUndoStack>

using namespace orvane;

namespace {

const QByteArray Deck = "\xEF\xBB\xBFname,up,left,right,down,element,notes\r\n"
                        "Slime,1,2,3,4,fire,\"slow, \"\"sticky\"\"\"\r\n"
                        "Dragon,9,9,9,9,water,\"line one\r\nline two\"\r\n";

// The main window, a deck beside it; the set's pieces found by their types and names.
struct HostFixture {
    QTemporaryDir dir;
    Form2Fixture f;

    explicit HostFixture(const QString& recoveryFolder = {})
        : f(qEnvironmentVariable("ORVANE_BIN_DIR"), recoveryFolder)
    {
        QFile file(dir.filePath("deck.csv"));
        file.open(QIODevice::WriteOnly);
        file.write(Deck);
        file.close();
    }
    bool openSet(const QString& path) const { return commands()->openSet(path); }
    SetCommands* commands() const { return f->findChild<SetCommands*>(); }
    SetPanel* panel() const { return f->findChild<SetPanel*>(); }
    QDockWidget* dock() const { return f.child<QDockWidget>("dockSet"); }
    QLineEdit* nameField() const { return f.child<QLineEdit>("txtCardName"); }
    CardSet& set() const { return f.session().set(); }
    bool isOpen() const { return f.session().hasSet(); }
};

}  // namespace

class MainWindowSetTest : public QObject {
    Q_OBJECT
private slots:
    void aCardEditedInTheWindowChangesOnlyItsRow();
    void noEditOrUndoReachesACardOutOfSight();
    void closingAsksAboutTheSetAndTheRecoveryComesBack();
    void theNameFieldRenamesWithinTheRules();
    void theInnerAreaKeepsItsSize();
    void aCharacterTheCodePageLacksOffersUtf8();
    void saveSetAsMovesTheSetToTheNewDeck();
    void thumbnailsFollowPartFilesChangedOnDisk();
    void aLoneCardIsOfferedBackAfterACrash();
    void theDockHasRoomAndIsRemembered();
    void aSelectedCardsCaptionStandsOnTheSelection();
    void theStatisticsCountWhatThePanelShowsAndFilterIt();
    void newCardsStartWithElementNoneAndOneFilterFindsThem();
    void printTakesTheSetOrTheCardShown();
    void theExternalEditNeedsAPictureAndKeepsTheProgramChosen();
    void aRowPictureLargerThanTheCardIsSaid();
};

// A row's picture larger than the card with no fit asked for reaches the card only in part:
// the status line says so when the card is shown; fitted or small, nothing is said.
void MainWindowSetTest::aRowPictureLargerThanTheCardIsSaid()
{
    HostFixture h;
    const struct {
        const char* file;
        QSize size;
    } pictures[] = {{"big.png", {100, 80}}, {"small.png", {40, 40}}};
    for (const auto& picture : pictures) {
        QImage image(picture.size, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QVERIFY(image.save(h.dir.filePath(picture.file)));
    }
    QFile deck(h.dir.filePath("pictures.csv"));
    QVERIFY(deck.open(QIODevice::WriteOnly));
    deck.write("name,up,left,right,down,picture,fit\nBig,1,1,1,1,big.png,\n"
               "Fitted,1,1,1,1,big.png,fit\nSmall,1,1,1,1,small.png,\n");
    deck.close();
    QVERIFY(h.openSet(deck.fileName()));
    const struct {
        int row;
        bool said;
    } cases[] = {{1, false}, {0, true}, {2, false}, {0, true}};
    for (const auto& c : cases) {
        h.f->showStatus(QString());
        h.panel()->setCurrentId(h.set().entries()[c.row].id);
        const QString status = h.f->statusText();
        QCOMPARE(status.contains("100 × 80"), c.said);
        if (c.said)
            QVERIFY2(status.contains("big.png") && status.contains("upper-left 62 × 62"),
                     qPrintable(status));
    }
}

// File > Print...: with a set open its cards (each row's copies), starting in the set's folder;
// without, the card shown.
void MainWindowSetTest::printTakesTheSetOrTheCardShown()
{
    HostFixture h;
    h.f.child<QAction>("actPrint")->trigger();
    auto* lone = h.f->findChild<PrintDialog*>();
    QVERIFY(lone);
    QVERIFY(lone->labCount->text().startsWith("1 "));
    lone->close();
    QTRY_VERIFY(!h.f->findChild<PrintDialog*>());

    QFile deck(h.dir.filePath("copies.csv"));
    QVERIFY(deck.open(QIODevice::WriteOnly));
    deck.write("name,up,left,right,down,copies\nSlime,1,2,3,4,3\nImp,2,2,2,2,\n");
    deck.close();
    QVERIFY(h.openSet(deck.fileName()));
    h.f.child<QAction>("actPrint")->trigger();
    auto* set = h.f->findChild<PrintDialog*>();
    QVERIFY(set);
    QVERIFY2(set->txtOutput->text().startsWith(QFileInfo(h.dir.path()).absoluteFilePath()),
             qPrintable(set->txtOutput->text()));
    QVERIFY2(set->labCount->text().contains("4") || set->labCount->text().contains("8"),
             qPrintable(set->labCount->text()));  // 3 + 1 cards, each face or both

    // Print Calibration Page... offers the page in the set's folder.
    h.f.child<QAction>("actPrintCalibration")->trigger();
    auto* calibration = h.f->findChild<CalibrationDialog*>();
    QVERIFY(calibration);
    QCOMPARE(calibration->cboProfile->currentText(), QString("home-a4"));
    QVERIFY(!calibration->writePage());  // the file dialog cancelled
    QCOMPARE(QFileInfo(h.f.prompts.fileRequests.back().dialog.FileName).absolutePath(),
             QFileInfo(h.dir.path()).absoluteFilePath());
}

void MainWindowSetTest::theExternalEditNeedsAPictureAndKeepsTheProgramChosen()
{
    TempSettings settings;
    HostFixture h;
    h.f.child<QAction>("actEditExternally")->trigger();
    QCOMPARE(h.f.prompts.messages.size(), 1);
    QVERIFY(h.f.prompts.messages[0].text.contains("no main picture"));
    h.f.prompts.fileAnswers.enqueue("/usr/bin/true");
    h.f.child<QAction>("actChooseImageEditor")->trigger();
    QCOMPARE(ExternalPictureEdit::program(), QString("/usr/bin/true"));
    QVERIFY(h.f.status().contains("/usr/bin/true"));
}

// The Statistics dock counts the cards the panel's own filters show; a chart click filters the
// panel without narrowing the charts, and a finding's card becomes current.
void MainWindowSetTest::theStatisticsCountWhatThePanelShowsAndFilterIt()
{
    HostFixture h;
    QVERIFY(h.openSet(h.dir.filePath("deck.csv")));
    h.f->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.f.window.get()));
    auto* dock = h.f->findChild<StatisticsDock*>();
    QVERIFY(dock->isHidden());
    h.f.child<QAction>("actViewStatistics")->trigger();
    QVERIFY(!dock->isHidden());
    QTRY_COMPARE(dock->statistics().cards, 2);

    emit dock->filterRequested(CardFilter{CardFilter::Field::Total, 10, 0});  // Slime's total
    QCOMPARE(h.panel()->tblSet->model()->rowCount(), 1);
    QVERIFY(!h.panel()->labSetChartFilter->isHidden());
    QCOMPARE(dock->statistics().cards, 2);  // every bar stays

    emit dock->showCardRequested(1);
    QCOMPARE(h.f.form->document().card().name, QString("Dragon"));

    h.panel()->cmdSetClearChartFilter->click();
    QCOMPARE(h.panel()->tblSet->model()->rowCount(), 2);
    h.panel()->txtSetFilter->setText("Slime");
    QTRY_COMPARE(dock->statistics().cards, 1);  // once for the whole change
}

void MainWindowSetTest::newCardsStartWithElementNoneAndOneFilterFindsThem()
{
    HostFixture h;
    h.f.child<QAction>("actNewSet")->trigger();
    h.f.child<QAction>("actNewCard")->trigger();
    QCOMPARE(h.set().entries().back().card.element, int(ElementNone));
    QVERIFY(h.f.optElem(ElementNone)->isChecked());
    QComboBox* elements = h.panel()->cboSetElement;
    QCOMPARE(elements->findText("No element"), -1);
    elements->setCurrentIndex(elements->findText("None"));
    QCOMPARE(h.panel()->tblSet->model()->rowCount(), h.set().count());
}

void MainWindowSetTest::aSelectedCardsCaptionStandsOnTheSelection()
{
    HostFixture h;
    QVERIFY(h.openSet(h.dir.filePath("deck.csv")));
    h.f->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.f.window.get()));
    QListView* thumbnails = h.panel()->lstSetThumbnails;
    const QModelIndex first = thumbnails->model()->index(0, 0);
    thumbnails->setCurrentIndex(first);
    QVERIFY(thumbnails->selectionModel()->isSelected(first));

    // Focused or not, the caption stands on the selection: not on the plain base, and never on
    // the colour the selected caption is written in.
    for (const bool focused : {true, false}) {
        if (focused)
            thumbnails->setFocus();
        else
            h.f.child<QWidget>("txtNums_0")->setFocus();
        QTest::qWait(20);
        const QImage shot = thumbnails->viewport()->grab().toImage();
        const QRect cell = thumbnails->visualRect(first);
        const QColor captionBackground = shot.pixelColor(cell.left() + 2, cell.bottom() - 2);
        const QPalette::ColorGroup group = focused ? QPalette::Active : QPalette::Inactive;
        QVERIFY2(captionBackground != thumbnails->palette().color(group, QPalette::HighlightedText),
                 qPrintable(captionBackground.name()));
        QVERIFY2(captionBackground != thumbnails->palette().color(group, QPalette::Base),
                 qPrintable(captionBackground.name()));
    }
}

void MainWindowSetTest::theDockHasRoomAndIsRemembered()
{
    TempSettings settings;
    int width = 0;
    int height = 0;
    {
        HostFixture h;
        QVERIFY(h.openSet(h.dir.filePath("deck.csv")));
        h.f->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.f.window.get()));
        QCOMPARE(h.f->dockWidgetArea(h.dock()), Qt::RightDockWidgetArea);
        // Two columns of thumbnails side by side and three rows, where the screen has room.
        const QSize thumbnail = h.panel()->thumbnailSize();
        const QSize screen = h.f->screen()->availableGeometry().size();
        QListView* thumbnails = h.panel()->lstSetThumbnails;
        QTRY_VERIFY(thumbnails->viewport()->width() >=
                    std::min(2 * thumbnail.width(), screen.width() - 532 - 80));
        QVERIFY(thumbnails->viewport()->height() >=
                std::min(3 * thumbnail.height(), screen.height() - 300));
        QCOMPARE(h.f.innerArea()->size(), QSize(532, 377));

        // Moved to the bottom and made narrower by the user, it stays so at the next start.
        h.f->addDockWidget(Qt::BottomDockWidgetArea, h.dock());
        h.f->resizeDocks({h.dock()}, {260}, Qt::Vertical);
        QTest::qWait(50);
        height = h.dock()->height();
        width = h.f->width();
        QVERIFY(h.f->close());
    }
    HostFixture h;
    QVERIFY(h.openSet(h.dir.filePath("deck.csv")));
    h.f->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.f.window.get()));
    QCOMPARE(h.f->dockWidgetArea(h.dock()), Qt::BottomDockWidgetArea);
    QTRY_COMPARE(h.dock()->height(), height);
    QCOMPARE(h.f->width(), width);
}

void MainWindowSetTest::aLoneCardIsOfferedBackAfterACrash()
{
    QTemporaryDir keep;
    const QString recovery = keep.filePath("set-recovery.json");
    const QString cardRecovery = keep.filePath("card-recovery.json");
    {
        // No set open: the lone card, edited through the controls and left unsaved.
        HostFixture h(keep.path());
        auto* box = h.f.child<QLineEdit>("txtNums", 2);
        box->selectAll();
        QTest::keyClicks(box, "8");
        h.nameField()->setFocus();
        QTest::keyClicks(h.nameField(), "Moth");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(cardRecovery), 10000);
        QVERIFY(!QFile::exists(recovery));  // no set was changed
        // The process ends here without a word (the window is not closed).
    }
    QVERIFY(QFile::exists(cardRecovery));

    // Declined, the recovery is gone; the next start offers nothing.
    const QByteArray text = fileBytes(cardRecovery);
    {
        Form2Fixture f(qEnvironmentVariable("ORVANE_BIN_DIR"), keep.path());
        f->offerRecovery();
        QCOMPARE(f.prompts.messages.size(), 1);
        QVERIFY(f.prompts.messages[0].text.contains("\"Moth\""));
        QVERIFY(!QFile::exists(cardRecovery));
    }
    QFile file(cardRecovery);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();

    Form2Fixture f(qEnvironmentVariable("ORVANE_BIN_DIR"), keep.path());
    f.prompts.messageAnswers.enqueue(AnswerYes);
    f->offerRecovery();
    QVERIFY(!f.session().hasSet());
    QCOMPARE(f.form->document().card().name, QString("Moth"));
    QCOMPARE(f.form->document().card().sides[2], QString("8"));
    QVERIFY(f.form->document().isModified());
    QCOMPARE(f.txtNums(2)->text(), QString("8"));
}

void MainWindowSetTest::thumbnailsFollowPartFilesChangedOnDisk()
{
    // The card parts copied, so that the test can change them.
    QTemporaryDir root;
    const QDir built(qEnvironmentVariable("ORVANE_BIN_DIR"));
    QStringList parts = assets::allFiles();
    parts.removeDuplicates();
    for (const QString& file : parts) {
        QVERIFY(QDir(root.path()).mkpath(QFileInfo(root.filePath(file)).path()));
        QVERIFY(QFile::copy(built.filePath(file), root.filePath(file)));
    }
    QTemporaryDir dir;
    QFile deck(dir.filePath("deck.csv"));
    QVERIFY(deck.open(QIODevice::WriteOnly));
    deck.write(Deck);
    deck.close();
    Form2Fixture f(root.path());
    QVERIFY(f->findChild<SetCommands*>()->openSet(dir.filePath("deck.csv")));
    SetThumbnails* thumbnails = f->findChild<SetPanel*>()->thumbnails();
    const quint64 id = f.session().set().entries()[0].id;
    const QImage before = thumbnails->pictures(id)->blue;

    // Every part replaced, one file after another: one reload, and the new pictures.
    for (const QString& file : parts) {
        const QImage old(root.filePath(file));
        QImage replaced(old.size(), QImage::Format_RGB32);
        replaced.fill(qRgb(0x20, 0xC0, 0x40));
        QVERIFY(replaced.save(root.filePath(file) + ".new", "BMP"));
        QVERIFY(QFile::remove(root.filePath(file)));
        QVERIFY(QFile::rename(root.filePath(file) + ".new", root.filePath(file)));
    }
    QTRY_COMPARE_WITH_TIMEOUT(thumbnails->reloads(), 1, 5000);
    QVERIFY(thumbnails->pictures(id)->blue != before);
    QTest::qWait(300);
    QCOMPARE(thumbnails->reloads(), 1);
}

void MainWindowSetTest::aCharacterTheCodePageLacksOffersUtf8()
{
    HostFixture h;
    const QString path = h.dir.filePath("western.csv");
    const QByteArray western = "name;up;left;right;down;notes\r\nSlime;1;2;3;4;caf\xE9\r\n";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(western);
    file.close();
    QVERIFY(h.openSet(path));
    QVERIFY(h.set().renameCard(h.set().entries()[0].id, QString::fromUtf8("Жаба"),
                                     nullptr));

    // Declined: nothing written, the set still unsaved, the question naming the character.
    h.f.prompts.messageAnswers.enqueue(AnswerNo);
    h.f.child<QAction>("actSaveSet")->trigger();
    QCOMPARE(h.f.prompts.messages.size(), 1);
    QVERIFY(h.f.prompts.messages[0].text.contains(QString::fromUtf8("\"Ж\"")));
    QVERIFY(h.f.prompts.messages[0].text.contains("UTF-8"));
    QCOMPARE(h.f.prompts.messages[0].style & MessageButtonsMask, int(YesNo));
    QCOMPARE(fileBytes(path), western);
    QVERIFY(h.set().isModified());

    // Accepted: the deck is UTF-8 now, every character kept.
    h.f.prompts.messageAnswers.enqueue(AnswerYes);
    h.f.child<QAction>("actSaveSet")->trigger();
    QCOMPARE(h.f.prompts.messages.size(), 2);
    QCOMPARE(fileBytes(path), QByteArray("\xEF\xBB\xBFname;up;left;right;down;notes\r\n"
                                         "Жаба;1;2;3;4;café\r\n"));
    QVERIFY(!h.set().isModified());
}

void MainWindowSetTest::saveSetAsMovesTheSetToTheNewDeck()
{
    HostFixture h;
    QVERIFY(h.openSet(h.dir.filePath("deck.csv")));
    QVERIFY(h.set().renameCard(h.set().entries()[0].id, "Ooze", nullptr));
    const QString other = h.dir.filePath("other");  // the suffix is added
    h.f.prompts.fileAnswers.enqueue(other);
    h.f.child<QAction>("actSaveSetAs")->trigger();
    QCOMPARE(h.f.prompts.fileRequests.size(), 1);
    QVERIFY(h.f.prompts.fileRequests[0].save);
    QCOMPARE(h.f.prompts.fileRequests[0].dialog.DialogTitle, QString("Save Set As"));
    QCOMPARE(fileBytes(other + ".csv"), QByteArray(Deck).replace("Slime,", "Ooze,"));
    QCOMPARE(fileBytes(h.dir.filePath("deck.csv")), Deck);
    QCOMPARE(h.set().path(), QFileInfo(other + ".csv").absoluteFilePath());
    QTRY_VERIFY(h.f->windowTitle().startsWith("other.csv[*] - Set"));
    QVERIFY(!h.f->isWindowModified());

    // Cancelled: nothing changes.
    h.f.child<QAction>("actSaveSetAs")->trigger();
    QCOMPARE(h.set().path(), QFileInfo(other + ".csv").absoluteFilePath());
}

void MainWindowSetTest::theInnerAreaKeepsItsSize()
{
    HostFixture h;
    QVERIFY(h.openSet(h.dir.filePath("deck.csv")));
    h.f->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.f.window.get()));
    QCOMPARE(h.f.innerArea()->size(), QSize(532, 377));
}

void MainWindowSetTest::theNameFieldRenamesWithinTheRules()
{
    HostFixture h;
    QVERIFY(h.openSet(h.dir.filePath("deck.csv")));
    QLineEdit* name = h.nameField();
    QTRY_COMPARE(name->text(), QString("Slime"));
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, "dragon");  // the other card's name, in another case
    QVERIFY(!name->toolTip().isEmpty());
    QCOMPARE(h.set().entries()[0].card.name, QString("drago"));  // the last name allowed
    QTest::keyClicks(name, "fly");
    QVERIFY(name->toolTip().isEmpty());
    QCOMPARE(h.set().entries()[0].card.name, QString("dragonfly"));

    // New Card and Duplicate Card work on the set while one is open.
    h.f.child<QAction>("actNewCard")->trigger();
    h.f.child<QAction>("actDuplicateCard")->trigger();
    QCOMPARE(h.set().count(), 4);
    QCOMPARE(h.set().entries()[2].card.name, QString("New Card 2"));
}

// The lone card edited before the set opened is out of sight once it is: with no card of the
// set current (a bad row, after Delete, filtered out while renamed) the editor shows none.
void MainWindowSetTest::noEditOrUndoReachesACardOutOfSight()
{
    HostFixture h;
    CardDocument* lone = &h.f.session().loneCard();
    lone->clickElement(2);
    const Card loneCard = lone->card();
    QFile bad(h.dir.filePath("bad.csv"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("name,up,left,right,down\nSlime,1,1,1,1\nBroken,1,Q,1,1\nImp,2,2,2,2\n");
    bad.close();
    QVERIFY(h.openSet(h.dir.filePath("bad.csv")));
    SetPanel* panel = h.panel();
    QLineEdit* name = h.nameField();
    const auto showsNone = [&] {
        return h.f.form->showsNoCard() && !h.f.txtNums(0)->isEnabled() &&
               h.f.child<QWidget>("cmdQuit")->isEnabled() &&
               !h.f.child<QAction>("actLoadMain")->isEnabled() && name->isReadOnly() &&
               name->text().isEmpty();
    };

    // A bad row: nothing shown, the status line says why; a click on an element does nothing.
    panel->setCurrentId(h.set().entries()[1].id);
    QVERIFY(showsNone());
    QVERIFY(h.f->statusText().contains("Line 3"));
    QTest::mouseClick(h.f.optElem(1), Qt::LeftButton);
    QVERIFY(!h.f.form->loadMainPictureFile(h.dir.filePath("deck.csv")));
    QVERIFY(!h.f.child<QAction>("actOpenCard")->isEnabled());

    // Delete, then Undo: the card comes back.
    panel->setCurrentId(h.set().entries()[2].id);
    QVERIFY(!h.f.form->showsNoCard());
    QCOMPARE(h.f.form->document().card().name, QString("Imp"));
    panel->deleteSelected();
    QVERIFY(showsNone());
    h.f.child<QAction>("actUndo")->trigger();
    QCOMPARE(h.set().count(), 3);
    QCOMPARE(h.set().entries()[2].card.name, QString("Imp"));

    // Renamed while the filter is on: the row goes after the first letter, the rest goes nowhere.
    panel->setCurrentId(h.set().entries()[0].id);
    panel->txtSetFilter->setText("sli");
    QCOMPARE(panel->currentId(), h.set().entries()[0].id);
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, "Ooze");
    QCOMPARE(h.set().entries()[0].card.name, QString("O"));
    QCOMPARE(panel->currentId(), quint64(0));
    QVERIFY(showsNone());

    QCOMPARE(lone->card(), loneCard);
    QCOMPARE(lone->undoStack()->count(), 1);
    QVERIFY(h.set().isModified());
}

void MainWindowSetTest::aCardEditedInTheWindowChangesOnlyItsRow()
{
    HostFixture h;
    h.f.prompts.fileAnswers.enqueue(h.dir.filePath("deck.csv"));
    h.f.child<QAction>("actOpenSet")->trigger();
    QCOMPARE(h.f.prompts.fileRequests.size(), 1);
    QVERIFY(h.isOpen());
    QVERIFY(!h.dock()->isHidden());
    QCOMPARE(h.f.form->document().card().name, QString("Slime"));  // the first card is shown

    // The second card, through the panel; a side typed in the editor's own box.
    h.panel()->setCurrentId(h.set().entries()[1].id);
    QCOMPARE(h.f.form->document().card().name, QString("Dragon"));
    auto* box = h.f.child<QLineEdit>("txtNums", 1);
    box->selectAll();
    QTest::keyClicks(box, "5");
    QCOMPARE(h.set().entries()[1].card.sides[1], QString("5"));
    QTRY_VERIFY(h.f->windowTitle().startsWith("deck.csv[*] - Set"));
    QVERIFY(h.f->isWindowModified());

    // Ctrl+S is Save Set while a set is open.
    QAction* saveSet = h.f.child<QAction>("actSaveSet");
    QCOMPARE(saveSet->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    QVERIFY(h.f.child<QAction>("actSaveCardFile")->shortcut().isEmpty());
    saveSet->trigger();
    QCOMPARE(fileBytes(h.dir.filePath("deck.csv")),
             QByteArray(Deck).replace("Dragon,9,9,9,9,", "Dragon,9,5,9,9,"));
    QVERIFY(!h.set().isModified());
    QCOMPARE(h.f.prompts.fileRequests.size(), 1);  // Ctrl+S asked for no card file
}

void MainWindowSetTest::closingAsksAboutTheSetAndTheRecoveryComesBack()
{
    QTemporaryDir keep;
    const QString recovery = keep.filePath("set-recovery.json");
    {
        HostFixture h(keep.path());
        QFile::copy(h.dir.filePath("deck.csv"), keep.filePath("deck.csv"));
        QVERIFY(h.openSet(keep.filePath("deck.csv")));
        QVERIFY(h.set().renameCard(h.set().entries()[0].id, "Ooze", nullptr));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(recovery), 10000);

        h.f.prompts.saveAnswers.enqueue(SaveChoice::Cancel);
        QVERIFY(!h.f->close());
        QCOMPARE(h.f.prompts.saveQuestions.size(), 1);
        QVERIFY(h.f.prompts.saveQuestions.front().text.contains("deck.csv"));
        QVERIFY(QFile::exists(recovery));
    }
    // The next start: the set as it was, unsaved.
    HostFixture h(keep.path());
    h.f.prompts.messageAnswers.enqueue(AnswerYes);
    h.f->offerRecovery();
    QVERIFY(h.isOpen());
    QCOMPARE(h.set().entries()[0].card.name, QString("Ooze"));
    QVERIFY(h.set().isModified());
    QCOMPARE(fileBytes(keep.filePath("deck.csv")), Deck);
}

QTEST_MAIN(MainWindowSetTest)
#include "main_window_set_test.moc"
