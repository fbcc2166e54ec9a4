// SPDX-License-Identifier: GPL-3.0-or-later
// Prepare Main Picture...: dragging and keys move the picture, the controls change the settings,
// OK hands out the picture from the full source, Cancel hands out nothing.
#include "render/compositor.h"
#include "render/picture_prep.h"
#include "support/images.h"
#include "widgets/zoom_view.h"
#include "windows/prepare_picture_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>

using namespace orvane;

namespace {

constexpr QRgb Blue = 0x2040C0;
constexpr QRgb RedBase = 0xC02020;

// The two cards with only the main picture on their bases.
RenderedCard compose(const QImage& prepared)
{
    CardPictures parts;
    parts.mainPicture = prepared;
    RenderedCard cards{solid(62, 62, 0), solid(62, 62, 0)};
    composeCard(cards.blue, solid(62, 62, Blue), parts.layers(), CardPlacement{}, 0, 0);
    composeCard(cards.red, solid(62, 62, RedBase), parts.layers(), CardPlacement{}, 0, 0);
    return cards;
}

void mouse(QWidget* widget, QEvent::Type type, QPointF at)
{
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void drag(QWidget* widget, QPointF from, QPointF by)
{
    mouse(widget, QEvent::MouseButtonPress, from);
    mouse(widget, QEvent::MouseMove, from + by / 2);
    mouse(widget, QEvent::MouseMove, from + by);
    mouse(widget, QEvent::MouseButtonRelease, from + by);
}

PictureFit oneToOne()
{
    PictureFit fit;
    fit.mode = FitMode::None;
    return fit;
}

}  // namespace

class PreparePictureTest : public QObject {
    Q_OBJECT
private slots:
    void dragMovesThePictureInAnyDirection();
    void arrowKeysMoveByOneShiftByTen();
    void controlsChangeTheSettings();
    void clickOnTheSourcePicksTheKeyColour();
    void okHandsOutThePictureFromTheFullSource();
    void cancelAndClosingHandOutNothing();
};

void PreparePictureTest::dragMovesThePictureInAnyDirection()
{
    const QImage source = gradient(160, 120);
    PreparePictureWindow window(source, oneToOne(), compose);
    window.show();
    const QPointF centre(window.picPreviewBlue->width() / 2.0,
                         window.picPreviewBlue->height() / 2.0);
    const int zoom = PreparePictureWindow::CardZoom;

    drag(window.picPreviewBlue, centre, QPointF(-10 * zoom, -5 * zoom));
    QCOMPARE(window.fit().panX, -10);
    QCOMPARE(window.fit().panY, -5);
    drag(window.picPreviewRed, centre, QPointF(25 * zoom + 1, 3 * zoom));
    QCOMPARE(window.fit().panX, 15);
    QCOMPARE(window.fit().panY, -2);

    // Both cards show the picture where it now is.
    const RenderedCard expected = compose(preparePicture(source, window.fit()));
    QCOMPARE(window.previewPicture(), preparePicture(source, window.fit()));
    QCOMPARE(window.picPreviewBlue->picture(), expected.blue);
    QCOMPARE(window.picPreviewRed->picture(), expected.red);
}

void PreparePictureTest::arrowKeysMoveByOneShiftByTen()
{
    const QImage source = gradient(100, 100);
    PreparePictureWindow window(source, oneToOne(), compose);
    window.show();
    const QImage before = window.picPreviewBlue->picture();
    QTest::keyClick(window.picPreviewBlue, Qt::Key_Left);
    QTest::keyClick(window.picPreviewBlue, Qt::Key_Up);
    QTest::keyClick(window.picPreviewBlue, Qt::Key_Up);
    QCOMPARE(QPoint(window.fit().panX, window.fit().panY), QPoint(-1, -2));
    QVERIFY(window.picPreviewBlue->picture() != before);
    QTest::keyClick(window.picPreviewRed, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(window.picPreviewRed, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(QPoint(window.fit().panX, window.fit().panY), QPoint(9, 8));
    QCOMPARE(window.picPreviewBlue->picture(), compose(preparePicture(source, window.fit())).blue);

    window.cmdResetPan->click();
    QCOMPARE(QPoint(window.fit().panX, window.fit().panY), QPoint(0, 0));
}

void PreparePictureTest::controlsChangeTheSettings()
{
    // A white picture with a red disc: keyed from the corners the blue base shows around it.
    QImage source = solid(300, 200, 0xFFFFFF);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            if ((x - 150) * (x - 150) + (y - 100) * (y - 100) < 60 * 60)
                source.setPixel(x, y, 0xC81E1E);
    PreparePictureWindow window(source, PictureFit{}, compose);
    window.show();
    QCOMPARE(window.optFit->isChecked(), true);
    QCOMPARE(rgb(window.picPreviewBlue->picture(), 31, 31), 0xC81E1Eu);
    QCOMPARE(rgb(window.picPreviewBlue->picture(), 31, 12), 0xFFFFFFu);

    window.optFill->click();
    window.cboKey->setCurrentIndex(2);
    window.sldTolerance->setValue(30);
    window.chkKeepDark->setChecked(true);
    window.cboResample->setCurrentIndex(1);
    PictureFit expected;
    expected.mode = FitMode::Fill;
    expected.key = KeyMode::Corners;
    expected.tolerance = 30;
    expected.keepDarkVisible = true;
    expected.resample = Resample::Nearest;
    QCOMPARE(window.fit(), expected);
    QCOMPARE(rgb(window.picPreviewBlue->picture(), 1, 1), Blue);
    QCOMPARE(rgb(window.picPreviewRed->picture(), 1, 1), RedBase);

    window.optPercent->click();
    QVERIFY(window.txtPercent->isEnabled());
    window.txtPercent->setValue(25);
    QCOMPARE(window.fit().mode, FitMode::Percent);
    QCOMPARE(window.fit().scalePercent, 25.0);
    QCOMPARE(window.previewPicture(), preparePicture(source, window.fit()));

    // Settings handed in show in the controls.
    PictureFit start;
    start.mode = FitMode::None;
    start.key = KeyMode::Colour;
    start.keyColour = qRgb(1, 2, 3);
    start.tolerance = 7;
    start.panX = -3;
    window.setFit(start);
    QVERIFY(window.optOneToOne->isChecked());
    QCOMPARE(window.cboKey->currentIndex(), 1);
    QCOMPARE(window.sldTolerance->value(), 7);
    QCOMPARE(window.fit(), start);
}

void PreparePictureTest::clickOnTheSourcePicksTheKeyColour()
{
    // Left half one colour, right half another; the view shows a reduced copy of it.
    QImage source(1200, 600, QImage::Format_RGB32);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 1200; ++x)
            source.setPixel(x, y, x < 600 ? qRgb(10, 200, 30) : qRgb(250, 240, 5));
    PreparePictureWindow window(source, PictureFit{}, compose);
    window.show();
    const QRectF shown = window.picSource->pictureRect();
    mouse(window.picSource, QEvent::MouseButtonPress,
          shown.center() + QPointF(shown.width() / 4, 0));
    mouse(window.picSource, QEvent::MouseButtonRelease, shown.center());
    QCOMPARE(window.fit().key, KeyMode::Colour);
    QCOMPARE(window.fit().keyColour, qRgb(250, 240, 5));
    QCOMPARE(window.cboKey->currentIndex(), 1);
    // The right half is background now: the base shows in the right half of the card.
    QCOMPARE(rgb(window.picPreviewBlue->picture(), 50, 31), Blue);
    QCOMPARE(rgb(window.picPreviewBlue->picture(), 10, 31), 0x0AC81Eu);
}

void PreparePictureTest::okHandsOutThePictureFromTheFullSource()
{
    // Large enough that the preview works on a reduced copy.
    QImage source(2400, 1600, QImage::Format_RGB32);
    for (int y = 0; y < 1600; ++y)
        for (int x = 0; x < 2400; ++x)
            source.setPixel(x, y, qRgb((x * 3) % 256, (y * 5) % 256, (x ^ y) % 256));
    PictureFit start;
    start.mode = FitMode::Fill;
    auto* window = new PreparePictureWindow(source, start, compose);
    QPointer<PreparePictureWindow> alive(window);
    QSignalSpy accepted(window, &PreparePictureWindow::accepted);
    window->show();
    QTest::keyClick(window->picPreviewBlue, Qt::Key_Left, Qt::ShiftModifier);

    window->cmdOK->click();
    QCOMPARE(accepted.count(), 1);
    PictureFit expected = start;
    expected.panX = -10;
    QCOMPARE(accepted.at(0).at(1).value<PictureFit>(), expected);
    QCOMPARE(accepted.at(0).at(0).value<QImage>(), preparePicture(source, expected));
    QTRY_VERIFY(alive.isNull());
}

void PreparePictureTest::cancelAndClosingHandOutNothing()
{
    for (const bool byButton : {true, false}) {
        auto* window = new PreparePictureWindow(gradient(80, 80), oneToOne(), compose);
        QPointer<PreparePictureWindow> alive(window);
        QSignalSpy accepted(window, &PreparePictureWindow::accepted);
        window->show();
        QTest::keyClick(window->picPreviewBlue, Qt::Key_Right);
        if (byButton)
            window->cmdCancel->click();
        else
            window->close();
        QTRY_VERIFY(alive.isNull());
        QCOMPARE(accepted.count(), 0);
    }
    // Escape cancels too.
    auto* window = new PreparePictureWindow(gradient(80, 80), oneToOne(), compose);
    QPointer<PreparePictureWindow> alive(window);
    QSignalSpy accepted(window, &PreparePictureWindow::accepted);
    window->show();
    QTest::keyClick(window->picPreviewBlue, Qt::Key_Escape);
    QTRY_VERIFY(alive.isNull());
    QCOMPARE(accepted.count(), 0);
}

QTEST_MAIN(PreparePictureTest)
#include "prepare_picture_test.moc"
