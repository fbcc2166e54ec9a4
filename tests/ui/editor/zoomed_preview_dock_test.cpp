// SPDX-License-Identifier: GPL-3.0-or-later
// The zoomed preview docked in the editor's window: the zoom that follows the space, the window
// that grows around the controls, and the way between the dock and the preview's own window.
#include "support/form2_fixture.h"
#include "support/images.h"
#include "support/temp_settings.h"
#include "windows/zoomed_preview.h"

#include <QDockWidget>
#include <QSettings>
#include <QSpinBox>
#include <QtTest>
#include <QUndoStack>

class ZoomedPreviewDockTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_settings = std::make_unique<TempSettings>(); }
    void largestZoomIn_data();
    void largestZoomIn();
    void dockedItGrowsWithTheWindow();
    void dockedAndWindowedTakeTurns();
    void escapeAndShortcutsWhenDocked();

private:
    std::unique_ptr<TempSettings> m_settings;
};

namespace {

QDockWidget* previewDock(const Form2Fixture& f)
{
    return f->findChild<QDockWidget*>(QStringLiteral("dockZoomedPreview"));
}

QList<ZoomedPreview*> previewWindows()
{
    QList<ZoomedPreview*> open;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* preview = qobject_cast<ZoomedPreview*>(w); preview && preview->isVisible())
            open << preview;
    return open;
}

void letItSettle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Device pixels of the blue card on screen that differ from the card pixel they enlarge.
int wrongPixels(ZoomedCardsView* view, const QImage& card)
{
    const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int n = view->devicePixelsPerCardPixel();
    const QPoint o = view->blueOrigin();
    int wrong = 0;
    for (int y = 0; y < card.height() * n; ++y)
        for (int x = 0; x < card.width() * n; ++x)
            wrong += (shown.pixel(o.x() + x, o.y() + y) & 0xFFFFFF) !=
                     (card.pixel(x / n, y / n) & 0xFFFFFF);
    return wrong;
}

// Opens the preview docked in a shown editor.
ZoomedPreview* openDocked(Form2Fixture& f)
{
    f.actDockZoomedPreview()->setChecked(true);
    f->show();
    if (!QTest::qWaitForWindowExposed(f.window.get()))
        qFatal("the editor is not shown");
    f.actZoomedPreview()->trigger();
    letItSettle();
    QDockWidget* dock = previewDock(f);
    return dock ? qobject_cast<ZoomedPreview*>(dock->widget()) : nullptr;
}

}  // namespace

void ZoomedPreviewDockTest::largestZoomIn_data()
{
    QTest::addColumn<QSize>("room");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<int>("zoom");
    // Both 62 x 62 cards at 5 x with their three gaps of 16: 668 x 342.
    QTest::newRow("exactly 5") << QSize(668, 342) << 1.0 << 5;
    QTest::newRow("a pixel short in width") << QSize(667, 342) << 1.0 << 4;
    QTest::newRow("a pixel short in height") << QSize(668, 341) << 1.0 << 4;
    QTest::newRow("height decides") << QSize(3000, 342) << 1.0 << 5;
    QTest::newRow("no room: 1") << QSize(50, 40) << 1.0 << 1;
    QTest::newRow("at most the limit") << QSize(20000, 20000) << 1.0 << 40;
    QTest::newRow("twice the pixels") << QSize(668, 342) << 2.0 << 5;
    // 5 x at 1.5 takes 8 device pixels a card pixel (1064 wide with the gaps of 24) of 1002.
    QTest::newRow("1.5: whole device pixels") << QSize(668, 342) << 1.5 << 4;
}

void ZoomedPreviewDockTest::largestZoomIn()
{
    QFETCH(QSize, room);
    QFETCH(double, ratio);
    QFETCH(int, zoom);
    QCOMPARE(ZoomedCardsView::largestZoomIn(room, QSize(62, 62), ratio, 40), zoom);
}

// Docked, the preview takes the room the window gains: the controls keep their 532 x 377, the
// zoom grows in whole steps with the window, and every card pixel stays a sharp square.
void ZoomedPreviewDockTest::dockedItGrowsWithTheWindow()
{
    Form2Fixture f;
    f.tick();
    const QSize alone = f->size();
    ZoomedPreview* preview = openDocked(f);
    QVERIFY(preview);
    QVERIFY(preview->isDocked());
    QVERIFY(previewWindows().isEmpty());
    QCOMPARE(f->centralWidget()->size(), QSize(532, 377));
    QVERIFY(f->width() > alone.width());
    ZoomedCardsView* view = preview->view();
    QCOMPARE(view->blueCard(), f.picBlueBase()->image());
    QVERIFY(!preview->spnZoom->isEnabled());

    int last = view->zoom();
    for (const QSize grown : {QSize(1300, 700), QSize(1700, 900)}) {
        f->resize(grown);
        letItSettle();
        QCOMPARE(f->centralWidget()->size(), QSize(532, 377));
        QVERIFY2(view->zoom() > last, qPrintable(QString::number(view->zoom())));
        QCOMPARE(view->zoom(), ZoomedCardsView::largestZoomIn(view->size(), QSize(62, 62),
                                                              view->devicePixelRatioF(), 40));
        QCOMPARE(preview->spnZoom->value(), view->zoom());
        QCOMPARE(wrongPixels(view, f.picBlueBase()->image()), 0);
        last = view->zoom();
    }
    // The zoom kept for the preview's own window is not the one the dock followed.
    QCOMPARE(QSettings().value(QStringLiteral("ZoomedPreview/zoom")).toInt() == view->zoom(),
             false);
    // The cards follow every composition.
    f.scrY()->setValue(9);
    QCOMPARE(view->blueCard(), f.picBlueBase()->image());

    // Ctrl+1 again closes it; the window gives the room back.
    const int wide = f->width();
    f.actZoomedPreview()->trigger();
    letItSettle();
    QVERIFY(!previewDock(f));
    QVERIFY(f->width() < wide);
    // Made larger without a dock, the window shows no more of the controls' area than before.
    f->resize(1400, 900);
    letItSettle();
    QCOMPARE(f->centralWidget()->size(), QSize(532, 377));
}

// The View menu's choice is kept between runs; switching it moves an open preview at once.
void ZoomedPreviewDockTest::dockedAndWindowedTakeTurns()
{
    {
        Form2Fixture f;
        QVERIFY(!f.actDockZoomedPreview()->isChecked());  // its own window, as it always was
        QVERIFY(openDocked(f));
        f.actDockZoomedPreview()->setChecked(false);
        letItSettle();
        QVERIFY(!previewDock(f));
        QCOMPARE(previewWindows().size(), 1);
        QVERIFY(!previewWindows().front()->isDocked());
        QVERIFY(previewWindows().front()->spnZoom->isEnabled());
        f.actDockZoomedPreview()->setChecked(true);
        letItSettle();
        QVERIFY(previewDock(f));
        QVERIFY(previewWindows().isEmpty());
        // A dock closed by its own button opens again with Ctrl+1.
        previewDock(f)->close();
        letItSettle();
        QVERIFY(!previewDock(f));
        f.actZoomedPreview()->trigger();
        letItSettle();
        QVERIFY(previewDock(f));
    }
    Form2Fixture g;
    QVERIFY(g.actDockZoomedPreview()->isChecked());
}

void ZoomedPreviewDockTest::escapeAndShortcutsWhenDocked()
{
    Form2Fixture f;
    ZoomedPreview* preview = openDocked(f);
    QVERIFY(preview);
    QApplication::setActiveWindow(f.window.get());
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    f.scrX()->setValue(6);
    preview->chkGrid->setFocus();
    QTest::keyClick(preview->chkGrid, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.card().x, 0);  // undone from the preview
    QTest::keyClick(preview->chkGrid, Qt::Key_Escape);
    letItSettle();
    QVERIFY(!previewDock(f));
}

QTEST_MAIN(ZoomedPreviewDockTest)
#include "zoomed_preview_dock_test.moc"
