// SPDX-License-Identifier: GPL-3.0-or-later
// The tick without polling: it runs after a control, the redraw flag or a part file on disk
// changed, and not at all while nothing changes.
#include "render/asset_catalogue.h"
#include "support/form2_fixture.h"
#include "support/images.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvane;

namespace {

// A copy of the built card parts the test may change, with the window's timer running as in
// the tool.
struct LiveFixture {
    QTemporaryDir dir;
    std::unique_ptr<Form2Fixture> f;

    explicit LiveFixture(bool copyParts = true)
    {
        if (copyParts)
            for (const QString& name : assets::allFiles()) {
                QDir().mkpath(QFileInfo(dir.filePath(name)).path());
                QFile::copy(qEnvironmentVariable("ORVANE_BIN_DIR") + QLatin1Char('/') + name,
                            dir.filePath(name));
            }
        f = std::make_unique<Form2Fixture>(dir.path());
        f->timer()->start();
        settle();
    }
    Form2* operator->() const { return f->form; }
    // Runs the event loop until no tick is scheduled.
    void settle() const
    {
        QVERIFY(QTest::qWaitFor([this] { return !f->timer()->isPending(); }, 2000));
        QCoreApplication::processEvents();
    }
    // Writes a part file as an editor does: a new file renamed over the old one.
    void replace(const QString& name, const QImage& image) const
    {
        const QString temp = dir.filePath(name) + QStringLiteral(".new.bmp");
        QVERIFY(image.save(temp, "BMP"));
        QFile::remove(dir.filePath(name));
        QVERIFY(QFile::rename(temp, dir.filePath(name)));
    }
};

QRgb shown(PictureBox* box)
{
    return rgb(box->image(), 0, 0);
}

}  // namespace

class IdleWakeTest : public QObject {
    Q_OBJECT
private slots:
    void nothingRunsWhileNothingChanges();
    void aPartFileWrittenInPlaceReachesThePreview();
    void aPartFileReplacedByRenameReachesThePreview();
    void aRemovedPartFileIsReportedAndHealsWhenBack();
    void aMissingFolderIsPickedUpWhenMade();
    void controlsWakeTheTick();
    void theRedrawFlagWakesTheTick();
    void aStoppedTimerWaitsAndCatchesUpWhenStarted();
};

void IdleWakeTest::nothingRunsWhileNothingChanges()
{
    LiveFixture live;
    QVERIFY(!live.f->timer()->isPolling());  // every folder could be watched
    QSignalSpy ticks(live.f->timer(), &WakeTimer::timeout);
    QTest::qWait(300);
    QCOMPARE(ticks.size(), 0);
    QVERIFY(!live.f->timer()->isPending());
}

void IdleWakeTest::aPartFileWrittenInPlaceReachesThePreview()
{
    LiveFixture live;
    const QString frame = assets::frameFile(3);
    QVERIFY(solid(62, 62, 0x00ABCD).save(live.dir.filePath(frame), "BMP"));
    QTRY_COMPARE_WITH_TIMEOUT(shown(live.f->picFinalFrame()), 0x00ABCDu, 2000);
    QVERIFY(live.f->prompts.notifications.isEmpty());
    // And again: the file stays watched after a change.
    live.settle();
    QVERIFY(solid(62, 62, 0x00DCBA).save(live.dir.filePath(frame), "BMP"));
    QTRY_COMPARE_WITH_TIMEOUT(shown(live.f->picFinalFrame()), 0x00DCBAu, 2000);
}

void IdleWakeTest::aPartFileReplacedByRenameReachesThePreview()
{
    LiveFixture live;
    const QString digit = QStringLiteral("gfx/bitblts/A.bmp");
    for (const QRgb colour : {0x112233u, 0x445566u}) {
        live.replace(digit, solid(8, 10, colour));
        QTRY_COMPARE_WITH_TIMEOUT(shown(live.f->picFinalNum(0)), colour, 2000);
        live.settle();
    }
}

void IdleWakeTest::aRemovedPartFileIsReportedAndHealsWhenBack()
{
    LiveFixture live;
    const QString none = assets::noElementFile();
    QVERIFY(QFile::remove(live.dir.filePath(none)));
    QTRY_COMPARE_WITH_TIMEOUT(live.f->prompts.notifications.size(), 1, 2000);
    live.settle();
    QVERIFY(solid(16, 17, 0x0000EE).save(live.dir.filePath(none), "BMP"));
    QTRY_COMPARE_WITH_TIMEOUT(shown(live.f->picFinalElem()), 0x0000EEu, 2000);
    QCOMPARE(live.f->prompts.notifications.size(), 1);
}

void IdleWakeTest::aMissingFolderIsPickedUpWhenMade()
{
    LiveFixture live(false);  // no gfx folder at all
    QTRY_COMPARE_WITH_TIMEOUT(live.f->prompts.notifications.size(), 1, 2000);
    QVERIFY(!live.f->timer()->isPolling());  // watched through the folder above it
    const QString frame = assets::frameFile(3);
    QVERIFY(QDir().mkpath(QFileInfo(live.dir.filePath(frame)).path()));
    live.settle();
    QVERIFY(solid(62, 62, 0x00FACE).save(live.dir.filePath(frame), "BMP"));
    QTRY_COMPARE_WITH_TIMEOUT(shown(live.f->picFinalFrame()), 0x00FACEu, 2000);
}

void IdleWakeTest::controlsWakeTheTick()
{
    LiveFixture live;
    const int before = live.f->compositions();
    live.f->txtNums(0)->setText(QStringLiteral("5"));
    QTRY_COMPARE_WITH_TIMEOUT(live.f->compositions(), before + 1, 2000);
    QCOMPARE(live.f->Label7()->text(), QStringLiteral("Arrows Left = 6"));
    live.f->scrX()->setValue(12);
    QTRY_COMPARE_WITH_TIMEOUT(live.f->labXpos()->text(), QStringLiteral("X: 12"), 2000);
    live.f->chkArrow(2)->click();
    QTRY_COMPARE_WITH_TIMEOUT(live.f->Label7()->text(), QStringLiteral("Arrows Left = 5"), 2000);
    live.settle();
    QSignalSpy ticks(live.f->timer(), &WakeTimer::timeout);
    QTest::qWait(100);
    QCOMPARE(ticks.size(), 0);  // and quiet again
}

void IdleWakeTest::theRedrawFlagWakesTheTick()
{
    LiveFixture live;
    const int before = live.f->compositions();
    orvane::CardPlacement moved;
    moved.TopX = 30;
    live->document().setPlacement(moved);  // as Advanced Settings stores it
    QCOMPARE(live.f->compositions(), before + 1);
    QVERIFY(!live->document().needsRedraw());
    live.settle();
    QSignalSpy ticks(live.f->timer(), &WakeTimer::timeout);
    QTest::qWait(100);
    QCOMPARE(ticks.size(), 0);
}

void IdleWakeTest::aStoppedTimerWaitsAndCatchesUpWhenStarted()
{
    LiveFixture live;
    live.f->timer()->stop();
    const QString frame = assets::frameFile(3);
    QVERIFY(solid(62, 62, 0x00BEEF).save(live.dir.filePath(frame), "BMP"));
    QTest::qWait(100);
    QVERIFY(shown(live.f->picFinalFrame()) != 0x00BEEFu);  // the part waits for the tick
    QVERIFY(!live.f->timer()->isActive());
    live.f->timer()->start();
    QTRY_COMPARE_WITH_TIMEOUT(shown(live.f->picFinalFrame()), 0x00BEEFu, 2000);
}

QTEST_MAIN(IdleWakeTest)
#include "idle_wake_test.moc"
