// SPDX-License-Identifier: GPL-3.0-or-later
// The zoomed preview: the zoom it opens at, the enlarged pixels on screens of any device pixel
// ratio (this test also runs with QT_SCALE_FACTOR set), the grid, a print profile's lines over
// the cards, and no work while idle.
#include "files/print_profile.h"
#include "support/images.h"
#include "support/temp_settings.h"
#include "windows/print_area_overlay.h"
#include "windows/zoomed_preview.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPointer>
#include <QSpinBox>
#include <QtTest>

#include <memory>

#include <cmath>

namespace {

// A card whose pixels all differ, and a second one told apart from it.
QImage blueCard()
{
    return gradient(62, 62);
}
QImage redCard()
{
    QImage card = gradient(62, 62);
    card.invertPixels();
    return card;
}

// The view as the screen shows it, in device pixels, once the window has laid itself out.
QImage shownPixels(ZoomedCardsView* view)
{
    view->window()->show();
    QCoreApplication::processEvents();
    return view->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Counts device pixels of one card on screen that differ from the card pixel they enlarge.
// Pixels on a grid line (the first row or column of each square) are skipped when `grid`.
int wrongPixels(const QImage& shown, const QImage& card, QPoint origin, int n, bool grid)
{
    int wrong = 0;
    for (int y = 0; y < card.height() * n; ++y)
        for (int x = 0; x < card.width() * n; ++x) {
            if (grid && ((x % n == 0 && x > 0) || (y % n == 0 && y > 0)))
                continue;
            wrong += rgb(shown, origin.x() + x, origin.y() + y) != rgb(card, x / n, y / n);
        }
    return wrong;
}

}  // namespace

class ZoomedPreviewTest : public QObject {
    Q_OBJECT
private slots:
    void largestFittingZoom_data();
    void largestFittingZoom();
    void devicePixels_data();
    void devicePixels();
    void everyZoomIsExact();
    void gridLinesLieBetweenPixels();
    void nothingIsMadeAgainWhileNothingChanges();
    void printAreaLinesLieOverTheCardsNotInThem();
    void windowFollowsTheZoom();
    void opensBesideTheEditor_data();
    void opensBesideTheEditor();
    void keepsItsPlaceZoomAndGrid();
    void escapeCloses();
    void theEditorsShortcutsWorkHere();

private:
    std::unique_ptr<TempSettings> m_settings = std::make_unique<TempSettings>();
};

void ZoomedPreviewTest::largestFittingZoom_data()
{
    QTest::addColumn<QSize>("available");
    QTest::addColumn<int>("zoom");
    QTest::newRow("full HD") << QSize(1920, 1050) << 8;
    QTest::newRow("1280 x 1024") << QSize(1280, 1000) << 8;
    QTest::newRow("1024 x 768") << QSize(1024, 740) << 7;
    QTest::newRow("800 x 600") << QSize(800, 570) << 5;
    QTest::newRow("wide but low") << QSize(3000, 400) << 4;
    QTest::newRow("too small for 2") << QSize(300, 200) << 2;
}

void ZoomedPreviewTest::largestFittingZoom()
{
    QFETCH(QSize, available);
    QFETCH(int, zoom);
    QCOMPARE(ZoomedPreview::largestFittingZoom(available), zoom);
}

void ZoomedPreviewTest::devicePixels_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<int>("pixels");
    QTest::newRow("2 at 1") << 2 << 1.0 << 2;
    QTest::newRow("8 at 1") << 8 << 1.0 << 8;
    QTest::newRow("3 at 2") << 3 << 2.0 << 6;
    QTest::newRow("3 at 1.5") << 3 << 1.5 << 5;  // 4.5 rounds up: never smaller than asked
    QTest::newRow("2 at 1.25") << 2 << 1.25 << 3;
    QTest::newRow("8 at 3") << 8 << 3.0 << 24;
}

void ZoomedPreviewTest::devicePixels()
{
    QFETCH(int, zoom);
    QFETCH(double, ratio);
    QFETCH(int, pixels);
    QCOMPARE(ZoomedCardsView::devicePixelsPerCardPixel(zoom, ratio), pixels);
}

void ZoomedPreviewTest::everyZoomIsExact()
{
    ZoomedPreview preview;
    preview.showCards(blueCard(), redCard());
    preview.show();
    const qreal ratio = preview.view()->devicePixelRatioF();
    const QByteArray scale = qgetenv("QT_SCALE_FACTOR");
    if (!scale.isEmpty())
        QCOMPARE(ratio, scale.toDouble());  // the run really is on a high-density screen
    for (int zoom = ZoomedPreview::MinZoom; zoom <= ZoomedPreview::MaxZoom; ++zoom) {
        preview.spnZoom->setValue(zoom);
        ZoomedCardsView* view = preview.view();
        const int n = view->devicePixelsPerCardPixel();
        QCOMPARE(n, int(std::lround(zoom * ratio)));
        const QImage shown = shownPixels(view);
        QCOMPARE(wrongPixels(shown, blueCard(), view->blueOrigin(), n, false), 0);
        QCOMPARE(wrongPixels(shown, redCard(), view->redOrigin(), n, false), 0);
    }
}

void ZoomedPreviewTest::gridLinesLieBetweenPixels()
{
    ZoomedPreview preview;
    preview.showCards(blueCard(), redCard());
    preview.spnZoom->setValue(4);
    preview.chkGrid->setChecked(true);
    ZoomedCardsView* view = preview.view();
    const int n = view->devicePixelsPerCardPixel();
    QImage shown = shownPixels(view);
    QCOMPARE(wrongPixels(shown, blueCard(), view->blueOrigin(), n, true), 0);
    // Every line pixel inside the card is marked: it differs from the pixel it lies on.
    const QPoint o = view->blueOrigin();
    int unmarked = 0;
    for (int k = 1; k < 62; ++k)
        for (int along = 0; along < 62 * n; ++along) {
            unmarked += rgb(shown, o.x() + k * n, o.y() + along) == rgb(blueCard(), k, along / n);
            unmarked += rgb(shown, o.x() + along, o.y() + k * n) == rgb(blueCard(), along / n, k);
        }
    QCOMPARE(unmarked, 0);
    preview.chkGrid->setChecked(false);
    shown = shownPixels(view);
    QCOMPARE(wrongPixels(shown, blueCard(), view->blueOrigin(), n, false), 0);
}

void ZoomedPreviewTest::nothingIsMadeAgainWhileNothingChanges()
{
    ZoomedPreview preview;
    preview.showCards(blueCard(), redCard());
    ZoomedCardsView* view = preview.view();
    shownPixels(view);
    const int made = view->renderCount();
    for (int i = 0; i < 3; ++i)
        shownPixels(view);  // repainting copies what was made
    QCOMPARE(view->renderCount(), made);
    preview.showCards(redCard(), blueCard());
    preview.showCards(blueCard(), redCard());  // two compositions before a paint: made once
    const QImage shown = shownPixels(view);
    QCOMPARE(view->renderCount(), made + 1);
    QCOMPARE(
        wrongPixels(shown, blueCard(), view->blueOrigin(), view->devicePixelsPerCardPixel(), false),
        0);
}

void ZoomedPreviewTest::printAreaLinesLieOverTheCardsNotInThem()
{
    ZoomedPreview preview;
    preview.showCards(blueCard(), redCard());
    preview.spnZoom->setValue(4);
    ZoomedCardsView* view = preview.view();
    QCOMPARE(preview.cboPrintArea->currentText(), QString("None"));  // off until chosen
    const QImage plain = shownPixels(view);
    const int made = view->renderCount();
    preview.cboPrintArea->setCurrentText("service-300");
    const QImage lined = shownPixels(view);
    QCOMPARE(view->renderCount(), made);  // drawn over the enlarged cards, which stay as made
    QCOMPARE(view->blueCard(), blueCard());

    // 2.5 in at 300 dpi: the face is 744 of the trim's 750 pixels, a quarter card pixel each side.
    QString error;
    const auto g = orvane::printCardGeometry(*orvane::loadPrintProfile("service-300", &error));
    const PrintAreaLines at4 = printAreaLines(g, QRectF(10, 20, 248, 248));
    QCOMPARE(at4.trim, QRectF(9, 19, 250, 250));
    QCOMPARE(at4.bleed.width(), 825.0 / 3);
    // On screen (device pixels): the trim's line is drawn, the card inside the safe area is not.
    const int n = view->devicePixelsPerCardPixel();
    for (const QPoint o : {view->blueOrigin(), view->redOrigin()}) {
        const PrintAreaLines l = printAreaLines(g, QRectF(QPointF(o), QSizeF(62 * n, 62 * n)));
        const QPoint trimLine(int(l.trim.left()), o.y() + 31 * n);
        QVERIFY(rgb(lined, trimLine.x(), trimLine.y()) != rgb(plain, trimLine.x(), trimLine.y()));
        const QRect inside = l.safe.toAlignedRect().adjusted(3, 3, -3, -3);
        QCOMPARE(lined.copy(inside), plain.copy(inside));
    }
    preview.cboPrintArea->setCurrentIndex(0);
    QCOMPARE(shownPixels(view), plain);
}

void ZoomedPreviewTest::windowFollowsTheZoom()
{
    ZoomedPreview preview;
    QCOMPARE(preview.windowTitle(), QStringLiteral("Zoomed Preview"));
    preview.showCards(blueCard(), redCard());
    preview.show();
    preview.spnZoom->setValue(2);
    QCoreApplication::processEvents();
    const QSize small = preview.view()->size();
    preview.spnZoom->setValue(6);
    QCoreApplication::processEvents();
    QCOMPARE(preview.view()->size(),
             QSize(2 * 62 * 6 + 3 * ZoomedCardsView::Gap, 62 * 6 + 2 * ZoomedCardsView::Gap));
    QVERIFY(preview.size().width() > small.width() * 2);
}

void ZoomedPreviewTest::opensBesideTheEditor_data()
{
    QTest::addColumn<QRect>("editor");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("at");
    const QRect screen(0, 0, 1920, 1080);
    QTest::newRow("right") << QRect(100, 100, 560, 440) << QSize(900, 560) << QPoint(668, 100);
    QTest::newRow("left") << QRect(1000, 50, 560, 440) << QSize(900, 560) << QPoint(92, 50);
    QTest::newRow("below") << QRect(700, 20, 560, 440) << QSize(900, 560) << QPoint(700, 468);
    QTest::newRow("above") << QRect(700, 620, 560, 440) << QSize(900, 560) << QPoint(700, 52);
    QTest::newRow("no room: centred")
        << QRect(600, 300, 560, 440) << QSize(1400, 700) << QPoint(260, 190);
    QTest::newRow("kept on the screen vertically")
        << QRect(100, 700, 560, 300) << QSize(600, 500) << QPoint(668, 580);
}

// Beside the editor, never over it where the screen has room (the screen is 1920 x 1080).
void ZoomedPreviewTest::opensBesideTheEditor()
{
    QFETCH(QRect, editor);
    QFETCH(QSize, size);
    QFETCH(QPoint, at);
    const QRect screen(0, 0, 1920, 1080);
    const QPoint placed = ZoomedPreview::placeBeside(editor, size, screen);
    QCOMPARE(placed, at);
    QVERIFY(screen.contains(QRect(placed, size)));
    if (QTest::currentDataTag() != QByteArray("no room: centred"))
        QVERIFY(!QRect(placed, size).intersects(editor));
}

// Place, zoom and grid are the user's: the next preview (and the next run) opens with them.
void ZoomedPreviewTest::keepsItsPlaceZoomAndGrid()
{
    m_settings = std::make_unique<TempSettings>();
    QWidget editor;
    editor.setGeometry(40, 40, 300, 200);
    {
        ZoomedPreview first;
        first.spnZoom->setValue(3);
        first.chkGrid->setChecked(true);
        first.placeBeside(&editor);
        first.show();
        first.move(57, 61);
        first.close();
    }
    ZoomedPreview second;
    QCOMPARE(second.spnZoom->value(), 3);
    QCOMPARE(second.view()->zoom(), 3);
    QVERIFY(second.chkGrid->isChecked());
    second.placeBeside(&editor);
    // A place the window no longer fits at (a smaller screen) is not kept.
    const QRect available = second.screen()->availableGeometry();
    if (available.contains(QRect(QPoint(57, 61), second.frameGeometry().size())))
        QCOMPARE(second.pos(), QPoint(57, 61));
    else
        QVERIFY(available.contains(QRect(second.pos(), second.frameGeometry().size())) ||
                second.frameGeometry().width() > available.width());
}

void ZoomedPreviewTest::escapeCloses()
{
    QPointer<ZoomedPreview> preview = new ZoomedPreview;
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->show();
    QTest::keyClick(preview->spnZoom, Qt::Key_Escape);
    QTRY_VERIFY(preview.isNull());
}

// While the preview has the focus, the editor's commands still answer their keys.
void ZoomedPreviewTest::theEditorsShortcutsWorkHere()
{
    QWidget editor;
    auto* undo = new QAction(QStringLiteral("Undo"), &editor);
    undo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    editor.addAction(undo);
    auto* toggle = new QAction(QStringLiteral("Zoomed Preview"), &editor);
    toggle->setShortcut(QKeySequence(QStringLiteral("Ctrl+1")));
    editor.addAction(toggle);
    QSignalSpy undone(undo, &QAction::triggered);
    QSignalSpy toggled(toggle, &QAction::triggered);
    ZoomedPreview preview(&editor);
    preview.takeShortcuts(editor.findChildren<QAction*>());
    editor.show();
    preview.show();
    QApplication::setActiveWindow(&preview);
    QVERIFY(QTest::qWaitForWindowActive(&preview));
    QTest::keyClick(&preview, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(preview.chkGrid, Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(undone.count(), 1);
    QCOMPARE(toggled.count(), 1);
}

QTEST_MAIN(ZoomedPreviewTest)
#include "zoomed_preview_test.moc"
