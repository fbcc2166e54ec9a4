// SPDX-License-Identifier: GPL-3.0-or-later
// Prepare Main Picture... from the editor: a large picture keeps only what the card can show, the
// offer to prepare it, the menu and the double-click, OK as one undo step, Cancel as nothing.
#include "document/card_document.h"
#include "editor/place_main_picture.h"
#include "render/picture_prep.h"
#include "support/card_view.h"
#include "support/images.h"
#include "widgets/zoom_view.h"
#include "windows/prepare_picture_window.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <QUndoStack>

using namespace orvane;

namespace {

QImage busyPicture(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, (x + 2 * y) % 9 == 0 ? 0 : qRgb((x * 5) % 256, (y * 3) % 256, 90));
    return image;
}

QString saved(QTemporaryDir& dir, const QImage& image, const char* name)
{
    const QString path = dir.filePath(QLatin1String(name));
    return image.save(path, "PNG") ? path : QString();
}

PreparePictureWindow* openWindow(Form2Fixture& f)
{
    return f->findChild<PreparePictureWindow*>();
}

void load(Form2Fixture& f, const QString& path, int answer)
{
    f.prompts.fileAnswers.enqueue(path);
    f.prompts.messageAnswers.enqueue(answer);
    f.actLoadMain()->trigger();
}

}  // namespace

class Form2PrepareTest : public QObject {
    Q_OBJECT
private slots:
    void aLargePictureShowsTheSameCards_data();
    void aLargePictureShowsTheSameCards();
    void aSmallPictureIsKeptWholeAndNotOffered();
    void yesToTheOfferOpensTheWindowFitted();
    void okIsOneUndoStepAndCancelNothing();
    void doubleClickReopensWithTheKeptSettings();
    void withoutAPictureTheStatusSaysSo();
    void aPictureLargerThanTheCardKeepsItsSource_data();
    void aPictureLargerThanTheCardKeepsItsSource();
    void aNewSizingModeStartsCentred_data();
    void aNewSizingModeStartsCentred();
    void thePictureLandsWhereTheWindowShowsIt_data();
    void thePictureLandsWhereTheWindowShowsIt();
};

void Form2PrepareTest::aLargePictureShowsTheSameCards_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::newRow("wide at 0, 0") << QSize(160, 120) << 0 << 0;
    QTest::newRow("wide moved") << QSize(160, 120) << 31 << 17;
    QTest::newRow("tall at the far end") << QSize(40, 300) << 62 << 62;
    QTest::newRow("one row too wide") << QSize(63, 10) << 5 << 0;
}

// The box holds the upper-left part only, and the cards are what the whole picture would give.
void Form2PrepareTest::aLargePictureShowsTheSameCards()
{
    QFETCH(QSize, size);
    QFETCH(int, x);
    QFETCH(int, y);
    QTemporaryDir dir;
    const QImage whole = busyPicture(size.width(), size.height());
    const QImage part = whole.copy(0, 0, std::min(62, size.width()), std::min(62, size.height()));

    Form2Fixture cropped;
    load(cropped, saved(dir, whole, "whole.png"), AnswerNo);
    Form2Fixture reference;
    load(reference, saved(dir, part, "part.png"), AnswerNo);
    QCOMPARE(cropped.form->document().undoStack()->count(), 1);  // the load is one step
    for (Form2Fixture* f : {&cropped, &reference}) {
        f->scrX()->setValue(x);
        f->scrY()->setValue(y);
    }
    QCOMPARE(cropped.picMainPic()->image(), part);
    QCOMPARE(cropped.form->document().card().preparation.source, whole);
    QCOMPARE(cropped.form->document().card().preparation.fit, asLoadedFit(size));
    const CardView a = viewOf(cropped);
    const CardView b = viewOf(reference);
    QCOMPARE(a.blue, b.blue);
    QCOMPARE(a.red, b.red);
    QCOMPARE(cropped.prompts.messages.size(), 1);
    QCOMPARE(cropped.prompts.messages.front().title, QStringLiteral("Load Main Picture"));
}

void Form2PrepareTest::aSmallPictureIsKeptWholeAndNotOffered()
{
    QTemporaryDir dir;
    Form2Fixture f;
    load(f, saved(dir, busyPicture(62, 40), "small.png"), AnswerYes);
    QCOMPARE(f.picMainPic()->image(), busyPicture(62, 40));
    QVERIFY(f.form->document().card().preparation.source.isNull());
    QCOMPARE(f.prompts.messages.size(), 0);
    QVERIFY(!openWindow(f));
}

void Form2PrepareTest::yesToTheOfferOpensTheWindowFitted()
{
    QTemporaryDir dir;
    Form2Fixture f;
    load(f, saved(dir, busyPicture(200, 100), "photo.png"), AnswerYes);
    PreparePictureWindow* window = openWindow(f);
    QVERIFY(window);
    QSignalSpy accepted(window, &PreparePictureWindow::accepted);
    window->cmdOK->click();
    QCOMPARE(accepted.count(), 1);
    // A fresh start: the whole picture fitted inside the card.
    QCOMPARE(f.form->document().card().preparation.fit, PictureFit{});
    QCOMPARE(f.picMainPic()->image(), preparePicture(busyPicture(200, 100), PictureFit{}));
    QCOMPARE(f.picMainPic()->image().size(), QSize(62, 46));
}

void Form2PrepareTest::okIsOneUndoStepAndCancelNothing()
{
    QTemporaryDir dir;
    Form2Fixture f;
    const QImage source = busyPicture(120, 90);
    load(f, saved(dir, source, "art.png"), AnswerNo);
    const CardView loaded = viewOf(f);
    QUndoStack* stack = f.form->document().undoStack();
    QCOMPARE(stack->count(), 1);

    f.actPrepareMain()->trigger();
    QPointer<PreparePictureWindow> window = openWindow(f);
    QVERIFY(window);
    QTest::keyClick(window->picPreviewBlue, Qt::Key_Right);
    window->cmdCancel->click();
    QTRY_VERIFY(window.isNull());
    QCOMPARE(stack->count(), 1);
    QVERIFY(viewOf(f) == loaded);

    f.actPrepareMain()->trigger();
    window = openWindow(f);
    QVERIFY(window);
    QTest::keyClick(window->picPreviewBlue, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(window->picPreviewBlue, Qt::Key_Up);
    window->cmdOK->click();
    QTRY_VERIFY(window.isNull());
    QCOMPARE(stack->count(), 2);
    PictureFit expected = asLoadedFit(source.size());
    expected.panX -= 10;
    expected.panY -= 1;
    QCOMPARE(f.form->document().card().preparation.fit, expected);
    QCOMPARE(f.picMainPic()->image(), preparePicture(source, expected));
    const CardView prepared = viewOf(f);
    QVERIFY(prepared.blue != loaded.blue);

    f.actUndo()->trigger();
    QVERIFY(viewOf(f) == loaded);
    QCOMPARE(f.form->document().card().preparation.fit, asLoadedFit(source.size()));
    f.actRedo()->trigger();
    QVERIFY(viewOf(f) == prepared);
}

void Form2PrepareTest::doubleClickReopensWithTheKeptSettings()
{
    QTemporaryDir dir;
    Form2Fixture f;
    load(f, saved(dir, busyPicture(90, 90), "art.png"), AnswerYes);
    QPointer<PreparePictureWindow> window = openWindow(f);
    QVERIFY(window);
    QTest::keyClick(window->picPreviewBlue, Qt::Key_Down);
    window->cmdOK->click();
    QTRY_VERIFY(window.isNull());
    const QImage prepared = f.picMainPic()->image().copy();

    QTest::mouseDClick(f.picMainPic(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    window = openWindow(f);
    QVERIFY(window);
    window->cmdOK->click();  // unchanged settings give the same picture
    QTRY_VERIFY(window.isNull());
    QCOMPARE(f.picMainPic()->image(), prepared);
    PictureFit expected;
    expected.panY = 1;
    QCOMPARE(f.form->document().card().preparation.fit, expected);
}

void Form2PrepareTest::withoutAPictureTheStatusSaysSo()
{
    Form2Fixture f;
    f.actPrepareMain()->trigger();
    QVERIFY(!openWindow(f));
    QVERIFY(f.status().startsWith(QStringLiteral("Load a main picture")));
}

void Form2PrepareTest::aNewSizingModeStartsCentred_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("mode");
    QTest::newRow("fit") << QStringLiteral("optFit") << int(FitMode::Fit);
    QTest::newRow("fill") << QStringLiteral("optFill") << int(FitMode::Fill);
    QTest::newRow("percent") << QStringLiteral("optPercent") << int(FitMode::Percent);
}

// A photo kept as loaded opens at 1 : 1 moved far to show its upper-left corner; another sizing
// mode shows the picture centred on the card instead of off it.
void Form2PrepareTest::aNewSizingModeStartsCentred()
{
    QFETCH(QString, option);
    QFETCH(int, mode);
    QTemporaryDir dir;
    Form2Fixture f;
    const QImage photo = busyPicture(400, 300);
    load(f, saved(dir, photo, "photo.png"), AnswerNo);
    f.actPrepareMain()->trigger();
    PreparePictureWindow* window = openWindow(f);
    QVERIFY(window);
    QVERIFY(window->fit().panX > 100);
    window->findChild<QAbstractButton*>(option)->click();
    QCOMPARE(int(window->fit().mode), mode);
    QCOMPARE(window->fit().panX, 0);
    QCOMPARE(window->fit().panY, 0);
    window->cmdOK->click();
    const PictureFit kept = f.form->document().card().preparation.fit;
    QCOMPARE(int(kept.mode), mode);
    QCOMPARE(QPoint(kept.panX, kept.panY), QPoint(0, 0));
}

void Form2PrepareTest::thePictureLandsWhereTheWindowShowsIt_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::newRow("fill, X and Y at 7") << QStringLiteral("optFill") << 7 << 7;
    QTest::newRow("fit, X and Y at 7") << QStringLiteral("optFit") << 7 << 7;
    QTest::newRow("fit, moved far") << QStringLiteral("optFit") << 40 << 3;
    QTest::newRow("fill at 0, 0") << QStringLiteral("optFill") << 0 << 0;
}

// The scroll bars' X and Y do not shift a prepared picture away from where the window showed
// it: the cards after OK are the window's, X and Y are 0, and one undo brings all back.
void Form2PrepareTest::thePictureLandsWhereTheWindowShowsIt()
{
    QFETCH(QString, option);
    QFETCH(int, x);
    QFETCH(int, y);
    QTemporaryDir dir;
    Form2Fixture f;
    load(f, saved(dir, busyPicture(240, 180), "photo.png"), AnswerNo);
    f.scrX()->setValue(x);
    f.scrY()->setValue(y);
    const CardView before = viewOf(f);
    const int steps = f.form->document().undoStack()->count();
    f.actPrepareMain()->trigger();
    QPointer<PreparePictureWindow> window = openWindow(f);
    QVERIFY(window);
    window->findChild<QAbstractButton*>(option)->click();
    QCOMPARE(window->labNote->isVisibleTo(window), x != 0 || y != 0);
    window->cmdOK->click();  // the preview is made exact on OK
    QTRY_VERIFY(window.isNull());
    f.actPrepareMain()->trigger();  // the same settings show what the cards now are
    window = openWindow(f);
    const QImage shownBlue = window->picPreviewBlue->picture();
    window->cmdCancel->click();
    const CardView after = viewOf(f);
    QCOMPARE(after.x, 0);
    QCOMPARE(after.y, 0);
    QCOMPARE(after.blue, shownBlue);
    QCOMPARE(f.form->document().undoStack()->count(), steps + 1);
    f.actUndo()->trigger();
    QVERIFY(viewOf(f) == before);
}

void Form2PrepareTest::aPictureLargerThanTheCardKeepsItsSource_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("larger");
    QTest::newRow("the card's size") << QSize(62, 62) << false;
    QTest::newRow("small") << QSize(10, 40) << false;
    QTest::newRow("one column more") << QSize(63, 10) << true;
    QTest::newRow("one row more") << QSize(10, 63) << true;
    QTest::newRow("large") << QSize(300, 200) << true;
}

void Form2PrepareTest::aPictureLargerThanTheCardKeepsItsSource()
{
    QFETCH(QSize, size);
    QFETCH(bool, larger);
    CardDocument document;
    const QImage picture = gradient(size.width(), size.height());
    const QByteArray encoded("its own bytes");
    QCOMPARE(placeMainPicture(document, picture, QStringLiteral("/p/a.png"), encoded), larger);
    const Card& card = document.card();
    QCOMPARE(document.undoStack()->count(), 1);  // one step either way
    QCOMPARE(card.mainPicturePath, QStringLiteral("/p/a.png"));
    if (!larger) {
        QCOMPARE(card.mainPicture, picture);
        QVERIFY(card.preparation.source.isNull());
        return;
    }
    // The box keeps what can reach the card, its upper left; the whole picture is the source.
    QVERIFY(card.mainPicture.width() <= 62 && card.mainPicture.height() <= 62);
    QCOMPARE(rgb(card.mainPicture, 0, 0), rgb(picture, 0, 0));
    QCOMPARE(card.preparation.source, picture);
    QCOMPARE(card.preparation.sourceEncoded, encoded);
}

QTEST_MAIN(Form2PrepareTest)
#include "form2_prepare_test.moc"
