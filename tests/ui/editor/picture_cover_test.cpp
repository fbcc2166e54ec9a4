// SPDX-License-Identifier: GPL-3.0-or-later
// A main picture that hides both bases: the status line and the preparation window say the blue
// and the red card look the same, and say nothing while a base still shows.
#include "card/picture_fit.h"
#include "support/form2_fixture.h"
#include "support/images.h"
#include "windows/prepare_picture_window.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;

class PictureCoverTest : public QObject {
    Q_OBJECT
private slots:
    void statusAfterLoading_data();
    void statusAfterLoading();
    void statusAfterPreparing();
};

void PictureCoverTest::statusAfterLoading_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("hides");
    QTest::newRow("card size") << QSize(62, 62) << true;
    QTest::newRow("narrower") << QSize(40, 62) << false;
    QTest::newRow("small") << QSize(20, 20) << false;
}

void PictureCoverTest::statusAfterLoading()
{
    QFETCH(QSize, size);
    QFETCH(bool, hides);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.png"));
    QVERIFY(gradient(size.width(), size.height()).save(path, "PNG"));
    Form2Fixture f;
    QVERIFY(f.form->loadMainPictureFile(path));
    QVERIFY2(f.status().startsWith(QStringLiteral("Loaded the main picture picture.png")),
             qPrintable(f.status()));
    QCOMPARE(f.status().endsWith(pictureHidesBothBasesNote()), hides);
    f.tick();
    const RenderedCard shown = f.form->shownCards();
    QCOMPARE(shown.blue == shown.red, hides);
}

void PictureCoverTest::statusAfterPreparing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wide.png"));
    QVERIFY(gradient(200, 100).save(path, "PNG"));
    Form2Fixture f;
    QVERIFY(f.form->loadMainPictureFile(path));
    f.actPrepareMain()->trigger();
    auto* window = f->findChild<PreparePictureWindow*>();
    QVERIFY(window);
    window->findChild<QAbstractButton*>(QStringLiteral("optFit"))->click();  // bands of base
    QVERIFY(!window->labCoverNote->isVisibleTo(window));
    window->findChild<QAbstractButton*>(QStringLiteral("optFill"))->click();  // all picture
    QVERIFY(window->labCoverNote->isVisibleTo(window));
    QCOMPARE(window->labCoverNote->text(), pictureHidesBothBasesNote());
    window->cmdOK->click();
    QVERIFY2(f.status().endsWith(pictureHidesBothBasesNote()), qPrintable(f.status()));
}

QTEST_MAIN(PictureCoverTest)
#include "picture_cover_test.moc"
