// SPDX-License-Identifier: GPL-3.0-or-later
// Part packs in the main window: the Parts choice draws both cards with the chosen pack, a
// pack part changed on disk shows at once, the card keeps its pack as one undoable edit, and a
// card naming a pack that is not installed is drawn with the built-in parts.
#include "document/card_document.h"
#include "render/asset_catalogue.h"
#include "render/part_pack.h"
#include "render/part_scales.h"
#include "set/card_set.h"
#include "setpanel/set_commands.h"
#include "setpanel/set_panel.h"
#include "setpanel/set_thumbnails.h"
#include "shell/pack_commands.h"
#include "support/form2_fixture.h"
#include "support/temp_settings.h"
#include "windows/pack_chooser.h"
#include "windows/zoomed_preview.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <QUndoStack>

using namespace orvane;

namespace {

// A pack installed for the user: the built parts copied, the frames and the digits recoloured.
struct TestPack {
    QString folder;

    TestPack(const QString& name, QRgb colour)
    {
        folder = QDir(PackCommands::userFolder()).filePath(name);
        QDir(folder).removeRecursively();
        const QDir built(qEnvironmentVariable("ORVANE_BIN_DIR"));
        QStringList parts = assets::allFiles();
        parts.removeDuplicates();
        for (const QString& file : parts) {
            const QString target = QDir(folder).filePath(file.mid(4));  // without "gfx/"
            QDir().mkpath(QFileInfo(target).path());
            QFile::copy(built.filePath(file), target);
        }
        for (int frame = 0; frame < 4; ++frame)
            recolour(assets::frameFile(frame), colour);
    }
    ~TestPack() { QDir(folder).removeRecursively(); }

    // Every non-black pixel of the part in `colour`, written by renaming over the old file.
    void recolour(const QString& relative, QRgb colour) const
    {
        const QString path = packPartFile(folder, relative);
        QImage image = QImage(path).convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) != 0)
                    image.setPixel(x, y, colour);
        QVERIFY(image.save(path + ".new", "BMP"));
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::rename(path + ".new", path));
    }
    CardParts parts() const
    {
        CardParts builtIn = *CardParts::load(qEnvironmentVariable("ORVANE_BIN_DIR"), nullptr);
        return loadPackParts(folder, 1, builtIn).parts;
    }
};

QComboBox* partsChoice(const Form2Fixture& f)
{
    return f.child<QComboBox>(QStringLiteral("cboParts"));
}

bool chooseInCombo(const Form2Fixture& f, const QString& name)
{
    QComboBox* combo = partsChoice(f);
    const int row = combo->findText(name);
    if (row < 0)
        return false;
    combo->setCurrentIndex(row);
    emit combo->activated(row);
    return true;
}

bool showsCardsOf(const Form2Fixture& f, const CardParts& parts)
{
    const RenderedCard expected =
        renderCard(f.form->document().card(), parts, f.form->document().drawnSides());
    const RenderedCard shown = f.form->shownCards();
    return shown.blue == expected.blue && shown.red == expected.red;
}

}  // namespace

class MainWindowPacksTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void theMenuAndTheChoiceAreThere();
    void aChosenPackDrawsBothCards();
    void aPackPartChangedOnDiskShowsAtOnce();
    void theCardKeepsItsPackAsOneUndoableEdit();
    void aPackNotInstalledFallsBackWithAMessage();
    void onlyADroppedZipIsTakenForAPack();
    void theZoomedPreviewDrawsWithThePacksLargerParts();
    void aSetCardIsShownWithItsRowsPackAndChangingItIsASetEdit();
};

void MainWindowPacksTest::theMenuAndTheChoiceAreThere()
{
    TempSettings settings;
    Form2Fixture f;
    QCOMPARE(f.child<QMenu>(QStringLiteral("menuParts"))->actions().size(), 4);
    QComboBox* combo = partsChoice(f);
    QCOMPARE(combo->accessibleName(), QStringLiteral("Parts"));
    QCOMPARE(combo->currentIndex(), 0);  // the built-in parts
}

void MainWindowPacksTest::aChosenPackDrawsBothCards()
{
    TempSettings settings;
    const TestPack red(QStringLiteral("Test Red"), qRgb(0xE0, 0x20, 0x20));
    const TestPack blue(QStringLiteral("Test Blue"), qRgb(0x20, 0x20, 0xE0));
    Form2Fixture f;
    const CardParts builtIn = *CardParts::load(qEnvironmentVariable("ORVANE_BIN_DIR"), nullptr);
    QVERIFY(showsCardsOf(f, builtIn));

    struct Row {
        QString choice;
        const TestPack* pack;  // null: the built-in parts
    };
    const Row rows[] = {{QStringLiteral("Test Red"), &red},
                        {QStringLiteral("Test Blue"), &blue},
                        {QStringLiteral("Built-in parts"), nullptr}};
    for (const Row& row : rows) {
        QVERIFY2(chooseInCombo(f, row.choice), qPrintable(row.choice));
        QVERIFY2(showsCardsOf(f, row.pack ? row.pack->parts() : builtIn), qPrintable(row.choice));
        QCOMPARE(f.form->partsFolder(), row.pack ? row.pack->folder : QString());
    }
}

void MainWindowPacksTest::aPackPartChangedOnDiskShowsAtOnce()
{
    TempSettings settings;
    const TestPack pack(QStringLiteral("Test Live"), qRgb(0xE0, 0x20, 0x20));
    Form2Fixture f;
    QVERIFY(chooseInCombo(f, QStringLiteral("Test Live")));
    f.timer()->start();
    const QString frame = assets::frameFile(frameForCard(f.form->document().card()));
    pack.recolour(frame, qRgb(0x20, 0xC0, 0x40));
    const QImage changed =
        QImage(packPartFile(pack.folder, frame)).convertToFormat(QImage::Format_RGB32);
    QTRY_COMPARE_WITH_TIMEOUT(f.picFinalFrame()->image(), changed, 5000);
    // The next card drawn has the new part.
    f.form->document().setName(QStringLiteral("Green"));
    QVERIFY(showsCardsOf(f, pack.parts()));
}

void MainWindowPacksTest::theCardKeepsItsPackAsOneUndoableEdit()
{
    TempSettings settings;
    const TestPack pack(QStringLiteral("Test Undo"), qRgb(0xE0, 0x20, 0x20));
    Form2Fixture f;
    CardDocument& card = f.form->document();
    QUndoStack& stack = *card.undoStack();
    const int before = stack.count();
    QVERIFY(chooseInCombo(f, QStringLiteral("Test Undo")));
    QCOMPARE(card.pack(), QStringLiteral("Test Undo"));
    QCOMPARE(stack.count(), before + 1);
    QVERIFY(card.isModified());

    stack.undo();
    QCOMPARE(card.pack(), QString());
    QCOMPARE(partsChoice(f)->currentIndex(), 0);
    QCOMPARE(f.form->partsFolder(), QString());
    stack.redo();
    QCOMPARE(card.pack(), QStringLiteral("Test Undo"));
    QCOMPARE(partsChoice(f)->currentText(), QStringLiteral("Test Undo"));
    QVERIFY(showsCardsOf(f, pack.parts()));

    // The card file keeps the pack, and opening it chooses the pack again.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("inked.orvcard"));
    f.prompts.fileAnswers.enqueue(path);
    QVERIFY(f.cardFiles().saveCardFileAs());
    Form2Fixture g;
    QVERIFY(g.cardFiles().openCardFile(path));
    QCOMPARE(g.form->document().pack(), QStringLiteral("Test Undo"));
    QCOMPARE(partsChoice(g)->currentText(), QStringLiteral("Test Undo"));
}

void MainWindowPacksTest::aPackNotInstalledFallsBackWithAMessage()
{
    TempSettings settings;
    Form2Fixture f;
    CardDocument& card = f.form->document();
    card.startOver(Card{}, {}, QStringLiteral("Nowhere"));
    f->packs().cardShown(&card);
    QCOMPARE(f->statusText(), QStringLiteral("The pack \"Nowhere\" is not installed; the card is "
                                             "shown with the built-in parts"));
    QCOMPARE(card.pack(), QStringLiteral("Nowhere"));  // kept for the card file
    QCOMPARE(partsChoice(f)->currentIndex(), 0);
    QVERIFY(showsCardsOf(f, *CardParts::load(qEnvironmentVariable("ORVANE_BIN_DIR"), nullptr)));
    QVERIFY(!card.isModified());
}

void MainWindowPacksTest::onlyADroppedZipIsTakenForAPack()
{
    TempSettings settings;
    Form2Fixture f;
    QTemporaryDir dir;
    const QString broken = dir.filePath(QStringLiteral("broken.ZIP"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not an archive");
    file.close();
    QVERIFY(!f->packs().installIfArchive(dir.filePath(QStringLiteral("card.orvcard"))));
    QVERIFY(f.prompts.messages.isEmpty());
    QVERIFY(f->packs().installIfArchive(broken));  // refused, and said so
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages[0].text.contains(QStringLiteral("cannot be installed")));
    QCOMPARE(partsChoice(f)->currentIndex(), 0);
}

// At 2 x and 4 x the preview draws the card with the pack's 2 x frame (a chequer no enlargement
// gives); at 3 x, which no drawing divides, the 1 x parts enlarged. The boxes keep the 1 x parts.
void MainWindowPacksTest::theZoomedPreviewDrawsWithThePacksLargerParts()
{
    TempSettings settings;
    const TestPack pack(QStringLiteral("Test Zoom"), qRgb(0xE0, 0x20, 0x20));
    Form2Fixture f;
    QVERIFY(chooseInCombo(f, QStringLiteral("Test Zoom")));
    const QString oneX =
        packPartFile(pack.folder, assets::frameFile(frameForCard(f.form->document().card())));
    QImage twice = enlargedPicture(QImage(oneX), 2);
    for (int y = 0; y < twice.height(); ++y)
        for (int x = (y % 2); x < twice.width(); x += 2)
            if ((twice.pixel(x, y) & 0xFFFFFF) != 0)
                twice.setPixel(x, y, qRgb(0x20, 0xC0, 0xF0));
    QVERIFY(twice.save(QString(oneX).replace(".bmp", "@2x.png")));
    f.form->document().setName(QStringLiteral("Zoomed"));
    QVERIFY(showsCardsOf(f, pack.parts()));
    f.actZoomedPreview()->trigger();
    auto* preview = f->findChild<ZoomedPreview*>();
    const CardParts builtIn = *CardParts::load(qEnvironmentVariable("ORVANE_BIN_DIR"), nullptr);
    for (const int zoom : {2, 3, 4}) {
        preview->spnZoom->setValue(zoom);
        const QImage shown =
            preview->view()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const RenderedCard expected =
            renderCard(f.form->document().card(), loadPackParts(pack.folder, zoom, builtIn).parts,
                       f.form->document().drawnSides());
        QCOMPARE(shown.copy(QRect(preview->view()->redOrigin(), expected.red.size())),
                 expected.red);
        QCOMPARE(expected.red == enlargedPicture(f.form->shownCards().red, zoom), zoom == 3);
        // What Print... is handed draws the same larger card.
        QCOMPARE(cardAtScale(f.form->shownCardsWithScales(), zoom).blue, expected.blue);
    }
}

// A set card is shown with its row's pack, without an edit, and so is its thumbnail; choosing
// another is an undoable set edit written to the row's pack cell.
void MainWindowPacksTest::aSetCardIsShownWithItsRowsPackAndChangingItIsASetEdit()
{
    TempSettings settings;
    const TestPack pack(QStringLiteral("Test Set"), qRgb(0xE0, 0x20, 0x20));
    Form2Fixture f;
    QTemporaryDir dir;
    const QString deck = dir.filePath(QStringLiteral("deck.csv"));
    QFile file(deck);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("name,up,left,right,down,pack\nSlime,1,2,3,4,test set\nDragon,9,9,9,9,\n");
    file.close();
    QVERIFY(f->findChild<SetCommands*>()->openSet(deck));
    CardSet& set = f.session().set();
    const quint64 slime = set.entries()[0].id;
    const quint64 dragon = set.entries()[1].id;
    const CardParts builtIn = *CardParts::load(qEnvironmentVariable("ORVANE_BIN_DIR"), nullptr);
    const SetThumbnails* thumbnails = f->findChild<SetPanel*>()->thumbnails();
    const auto thumbnailOf = [&](quint64 id, const CardParts& parts) {
        const RenderedCard* shown = thumbnails->pictures(id);
        const RenderedCard expected = renderCard(set.readyCard(id), parts);
        return shown && shown->blue == expected.blue && shown->red == expected.red;
    };
    for (const quint64 id : {slime, dragon, slime}) {
        f.session().setCurrentId(id);
        QCOMPARE(partsChoice(f)->currentIndex(), id == slime ? 1 : 0);
        QVERIFY(showsCardsOf(f, id == slime ? pack.parts() : builtIn));
        QVERIFY(thumbnailOf(id, id == slime ? pack.parts() : builtIn));
    }
    QVERIFY(!set.isModified());
    f.session().setCurrentId(dragon);
    QVERIFY(chooseInCombo(f, QStringLiteral("Test Set")));
    QCOMPARE(set.packOf(dragon), QStringLiteral("Test Set"));
    QVERIFY(thumbnailOf(dragon, pack.parts()));
    set.undoStack()->undo();
    QCOMPARE(partsChoice(f)->currentIndex(), 0);
    QVERIFY(thumbnailOf(dragon, builtIn));
    QVERIFY(!set.isModified());
    set.undoStack()->redo();
    QVERIFY(set.save(nullptr));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("name,up,left,right,down,pack\nSlime,1,2,3,4,test set\n"
                                        "Dragon,9,9,9,9,Test Set\n"));
}

QTEST_MAIN(MainWindowPacksTest)
#include "main_window_packs_test.moc"
