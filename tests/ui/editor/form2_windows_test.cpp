// SPDX-License-Identifier: GPL-3.0-or-later
// The windows the menus open around the card: the zoomed preview following every composition,
// and Export Cards writing the bytes orvane-render writes for the same card.
#include "card/deck_file.h"
#include "document/card_document.h"
#include "files/card_export.h"
#include "render/card_parts.h"
#include "support/form2_fixture.h"
#include "support/images.h"
#include "windows/export_cards_dialog.h"
#include "windows/render_deck_dialog.h"
#include "windows/zoomed_preview.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace orvane;

namespace {

template <typename Window> QList<Window*> openWindows()
{
    QList<Window*> open;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<Window*>(w); window && window->isVisible())
            open << window;
    return open;
}

QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A card with a main picture, typed numbers, an element, two arrows and a moved position.
void editCard(Form2Fixture& f, const QTemporaryDir& dir)
{
    const QString picture = dir.filePath(QStringLiteral("main.bmp"));
    QVERIFY(gradient(62, 62).save(picture));
    f.prompts.fileAnswers.enqueue(picture);
    f.form->run(Form2::Command::LoadMainPicture);
    f.typeAll("3", "9", "7", "a");
    f.optElem(6)->click();
    f.typeAll("3", "9", "7", "a");
    f.clickArrow(1);
    f.clickArrow(7);
    f.scrX()->setValue(5);
    f.tick();
}

}  // namespace

class Form2WindowsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void zoomedPreviewFollowsEveryComposition();
    void zoomedPreviewIsOneWindow();
    void exportCardsWritesWhatTheRendererWrites_data();
    void exportCardsWritesWhatTheRendererWrites();
    void renderDeckListsTheBadRows();
    void renderDeckCancelLeavesOnlyWholeFiles();
    void addCardToDeckThroughTheMenu();
};

void Form2WindowsTest::initTestCase()
{
    static QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QCoreApplication::setOrganizationName(QStringLiteral("OrvaneTest"));
    QCoreApplication::setApplicationName(QStringLiteral("form2_windows_test"));
}

void Form2WindowsTest::zoomedPreviewFollowsEveryComposition()
{
    Form2Fixture f;
    f.tick();
    QVERIFY(f.actZoomedPreview()->isEnabled());
    QCOMPARE(f.actZoomedPreview()->shortcut(), QKeySequence(QStringLiteral("Ctrl+1")));
    f.actZoomedPreview()->trigger();
    const QList<ZoomedPreview*> open = openWindows<ZoomedPreview>();
    QCOMPARE(open.size(), 1);
    ZoomedCardsView* view = open.front()->view();
    QCOMPARE(open.front()->windowTitle(), QStringLiteral("Zoomed Preview"));
    QCOMPARE(view->blueCard(), f.picBlueBase()->image());

    // A change typed but not composed yet is composed before the preview opens on it; every
    // composition after it shows at once, without waiting for a tick.
    f.type(0, QStringLiteral("5"));
    f.tick();
    QCOMPARE(view->blueCard(), f.picBlueBase()->image());
    f.scrY()->setValue(9);  // composes directly
    QCOMPARE(view->blueCard(), f.picBlueBase()->image());
    QCOMPARE(view->redCard(), f.picRedBase()->image());
    QTemporaryDir dir;
    editCard(f, dir);
    QCOMPARE(view->blueCard(), f.picBlueBase()->image());
    QCOMPARE(view->redCard(), f.picRedBase()->image());

    // On screen: the card enlarged, pixel for pixel.
    open.front()->spnZoom->setValue(3);
    QCoreApplication::processEvents();
    const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int n = view->devicePixelsPerCardPixel();
    const QPoint o = view->blueOrigin();
    const QImage& card = f.picBlueBase()->image();
    int wrong = 0;
    for (int y = 0; y < card.height() * n; ++y)
        for (int x = 0; x < card.width() * n; ++x)
            wrong += (shown.pixel(o.x() + x, o.y() + y) & 0xFFFFFF) !=
                     (card.pixel(x / n, y / n) & 0xFFFFFF);
    QCOMPARE(wrong, 0);
}

void Form2WindowsTest::zoomedPreviewIsOneWindow()
{
    Form2Fixture f;
    f.actZoomedPreview()->trigger();
    QCOMPARE(openWindows<ZoomedPreview>().size(), 1);
    f.actZoomedPreview()->trigger();  // Ctrl+1 again closes it
    QCOMPARE(openWindows<ZoomedPreview>().size(), 0);
    f.actZoomedPreview()->trigger();
    QCOMPARE(openWindows<ZoomedPreview>().size(), 1);
    // Beside the editor, not over it.
    QVERIFY(!openWindows<ZoomedPreview>().front()->frameGeometry().intersects(f->frameGeometry()));
    openWindows<ZoomedPreview>().front()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(f->findChildren<ZoomedPreview*>().size(), 0);  // closed is gone, costs nothing
    f.type(0, QStringLiteral("4"));
    f.tick();  // composing with the preview gone
    f.actZoomedPreview()->trigger();
    QCOMPARE(openWindows<ZoomedPreview>().size(), 1);
    QCOMPARE(openWindows<ZoomedPreview>().front()->view()->blueCard(), f.picBlueBase()->image());
}

void Form2WindowsTest::exportCardsWritesWhatTheRendererWrites_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("scale");
    QTest::newRow("png 1") << int(ExportFormat::Png) << 1;
    QTest::newRow("jpeg 1") << int(ExportFormat::Jpeg) << 1;
    QTest::newRow("bmp 4") << int(ExportFormat::Bmp) << 4;
    QTest::newRow("png 16") << int(ExportFormat::Png) << 16;
}

void Form2WindowsTest::exportCardsWritesWhatTheRendererWrites()
{
    QFETCH(int, format);
    QFETCH(int, scale);
    QTemporaryDir dir;
    Form2Fixture f;
    editCard(f, dir);
    QCOMPARE(f.actExportCards()->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
    f.actExportCards()->trigger();
    auto* dialog = f->findChild<ExportCardsDialog*>();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Export Cards"));
    dialog->txtFolder->setText(dir.path());
    dialog->txtBaseName->setText(QStringLiteral("hero"));
    dialog->cboFormat->setCurrentIndex(dialog->cboFormat->findData(format));
    dialog->spnScale->setValue(scale);
    QVERIFY(dialog->exportCards());

    // What orvane-render makes of the same card with the same card parts.
    QString error;
    const std::optional<CardParts> parts =
        CardParts::load(qEnvironmentVariable("ORVANE_BIN_DIR"), &error);
    QVERIFY2(parts, qPrintable(error));
    const RenderedCard rendered = renderCard(f.form->document().card(), *parts);
    const auto fmt = ExportFormat(format);
    QCOMPARE(read(dir.filePath(exportFileName("hero", CardColour::Blue, fmt))),
             encodeCardPicture(rendered.blue, fmt, scale, &error));
    QCOMPARE(read(dir.filePath(exportFileName("hero", CardColour::Red, fmt))),
             encodeCardPicture(rendered.red, fmt, scale, &error));
    QCOMPARE(f.status(), QStringLiteral("Exported hero-blue.%1 and hero-red.%1 in %2")
                             .arg(exportSuffix(fmt), QDir::toNativeSeparators(dir.path())));
    QCOMPARE(QSettings().value(QStringLiteral("Export/scale")).toInt(), scale);
}

namespace {

// A deck of `rows` good cards, and one bad row when `bad`.
QString writeDeck(const QTemporaryDir& dir, int rows, bool bad)
{
    QByteArray csv = "name,up,left,right,down,element\n";
    for (int i = 0; i < rows; ++i)
        csv += "card " + QByteArray::number(i) + ",1,2,3,4,Fire\n";
    if (bad)
        csv += "broken,1,2,3,4,Wood\n";
    const QString path = dir.filePath(QStringLiteral("deck.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size())
        return {};
    return path;
}

RenderDeckDialog* openRenderDeck(Form2Fixture& f, const QString& deck, const QString& out)
{
    f.actRenderDeck()->trigger();
    auto* dialog = f->findChild<RenderDeckDialog*>();
    if (dialog) {
        dialog->txtDeck->setText(deck);
        dialog->txtOutDir->setText(out);
    }
    return dialog;
}

}  // namespace

void Form2WindowsTest::renderDeckListsTheBadRows()
{
    QTemporaryDir dir;
    Form2Fixture f;
    RenderDeckDialog* dialog = openRenderDeck(f, writeDeck(dir, 3, true), dir.filePath("out"));
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Render Deck"));
    dialog->cmdRender->click();
    QVERIFY(QTest::qWaitFor([&] { return !dialog->isRendering(); }, 20000));
    QCOMPARE(dialog->lastResult().cards, 3);
    QCOMPARE(QDir(dir.filePath("out")).entryList(QDir::Files).size(), 6);
    QCOMPARE(dialog->lstProblems->topLevelItemCount(), 1);
    QCOMPARE(dialog->lstProblems->topLevelItem(0)->text(0), QStringLiteral("5"));
    QCOMPARE(dialog->lstProblems->topLevelItem(0)->text(1), QStringLiteral("element"));
    QVERIFY(f.status().startsWith(QStringLiteral("Rendered 3 cards")));
}

void Form2WindowsTest::renderDeckCancelLeavesOnlyWholeFiles()
{
    QTemporaryDir dir;
    Form2Fixture f;
    const QString out = dir.filePath("out");
    RenderDeckDialog* dialog = openRenderDeck(f, writeDeck(dir, 300, false), out);
    QVERIFY(dialog);
    dialog->spnScale->setValue(16);  // large files: the render is still busy when cancelled
    // Cancelled once the first card is written. The reports from the workers are gathered, so
    // a count may be skipped; cancel() is the dialog's slot, which emits no canceled().
    connect(dialog, &RenderDeckDialog::progressed, dialog, [dialog](int done) {
        if (done >= 1 && !dialog->progressDialog()->wasCanceled())
            dialog->progressDialog()->cancel();
    });
    dialog->cmdRender->click();
    QVERIFY(QTest::qWaitFor([&] { return !dialog->isRendering(); }, 60000));
    const DeckRenderResult& result = dialog->lastResult();
    QVERIFY(result.cancelled);
    const QStringList files = QDir(out).entryList(QDir::Files | QDir::Hidden | QDir::System);
    QVERIFY2(files.size() < 600, qPrintable(QString::number(files.size())));
    QCOMPARE(files.size(), result.pictures);  // no temporary or partial file beside them
    for (const QString& name : files) {
        QVERIFY2(name.endsWith(QLatin1String("-blue.png")) ||
                     name.endsWith(QLatin1String("-red.png")),
                 qPrintable(name));
        QCOMPARE(QImage(QDir(out).filePath(name)).size(), QSize(992, 992));
    }
    QVERIFY(dialog->labResult->text().startsWith(QStringLiteral("Cancelled after")));
}

void Form2WindowsTest::addCardToDeckThroughTheMenu()
{
    QTemporaryDir dir;
    Form2Fixture f;
    editCard(f, dir);
    const QString deckPath = dir.filePath("deck.csv");

    // The lower-case a the card was typed with counts 0 here but A in a deck: not added.
    f.prompts.inputAnswers.enqueue(QStringLiteral("Hero"));
    f.prompts.fileAnswers.enqueue(deckPath);
    f.actAddCardToDeck()->trigger();
    QCOMPARE(f.prompts.messages.size(), 1);
    QVERIFY(f.prompts.messages.front().text.contains(QStringLiteral("its down side is \"a\"")));
    QVERIFY(!QFileInfo::exists(deckPath));

    f.type(3, QStringLiteral("A"));
    f.tick();
    f.clickArrow(1);
    f.clickArrow(7);
    f.tick();
    f.prompts.inputAnswers.enqueue(QStringLiteral("Hero"));
    f.prompts.fileAnswers.enqueue(deckPath);
    f.actAddCardToDeck()->trigger();
    QCOMPARE(f.status(), QStringLiteral("Added \"Hero\" in deck.csv"));
    const Deck deck = readDeck(deckPath);
    QVERIFY(deck.problems.isEmpty());
    QCOMPARE(deck.rows.size(), 1);
    const Card& row = deck.rows.front().card;
    const Card shown = f.form->document().card();
    QCOMPARE(row.sides, shown.sides);
    QCOMPARE(row.element, 6);
    QCOMPARE(row.arrows, shown.arrows);
    QCOMPARE(f.ticked(), 2);
    QCOMPARE(row.x, 5);

    // The row renders as the editor's card, pixel for pixel.
    QString error;
    const std::optional<CardParts> parts =
        CardParts::load(qEnvironmentVariable("ORVANE_BIN_DIR"), &error);
    QVERIFY2(parts, qPrintable(error));
    Card rendered = row;
    rendered.mainPicture = QImage(row.mainPicturePath).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(renderCard(rendered, *parts).blue, f.picBlueBase()->image());
}

QTEST_MAIN(Form2WindowsTest)
#include "form2_windows_test.moc"
