// SPDX-License-Identifier: GPL-3.0-or-later
// The job beside the window: reports arrive on the window's thread in order and before the end,
// Cancel reaches the work, a failure ends the job with its message, and a job going away or
// started twice leaves no work running behind it.
#include "platform/background_job.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>
#include <new>
#include <stdexcept>

using namespace orvane;

namespace {

// Waits (at most five seconds) until the work is asked to stop.
void holdUntilStopped(const Progress& progress)
{
    for (int wait = 0; wait < 5000 && !progress.stopRequested(); ++wait)
        QThread::msleep(1);
}

}  // namespace

class BackgroundJobTest : public QObject {
    Q_OBJECT
private slots:
    void reportsAndTheEndArriveOnTheWindowThreadInOrder();
    void cancelStopsTheWorkBeforeItsNextStep();
    void failureEndsTheJobWithOneMessage_data();
    void failureEndsTheJobWithOneMessage();
    void oneJobAtATimeAndEachStartsUncancelled();
    void goingAwayStopsAndWaitsForTheWork();
    void waitForEndKeepsTheEventLoopRunning();
};

void BackgroundJobTest::reportsAndTheEndArriveOnTheWindowThreadInOrder()
{
    BackgroundJob job;
    QList<int> seen;
    QStringList ends;
    int result = 0;
    connect(&job, &BackgroundJob::progressed, this, [&](int done, int total) {
        QCOMPARE(QThread::currentThread(), thread());
        QCOMPARE(total, 5);
        seen << done;
    });
    connect(&job, &BackgroundJob::ended, this, [&](const QString& failure) {
        QCOMPARE(QThread::currentThread(), thread());
        QVERIFY(!job.isRunning());
        QCOMPARE(seen.size(), 5);  // every report before the end
        ends << failure;
    });
    QVERIFY(job.start([&result](const Progress& progress) {
        for (int k = 1; k <= 5; ++k)
            progress.report(k, 5);
        result = 42;
    }));
    QVERIFY(job.isRunning());
    QTRY_COMPARE(ends.size(), 1);
    QCOMPARE(ends, QStringList({QString()}));
    QCOMPARE(seen, QList<int>({1, 2, 3, 4, 5}));
    QCOMPARE(result, 42);
    QTest::qWait(20);
    QCOMPARE(ends.size(), 1);  // one end, once
}

void BackgroundJobTest::cancelStopsTheWorkBeforeItsNextStep()
{
    BackgroundJob job;
    std::atomic_int steps{0};
    QSignalSpy ended(&job, &BackgroundJob::ended);
    connect(&job, &BackgroundJob::progressed, &job, &BackgroundJob::cancel);
    job.start([&steps](const Progress& progress) {
        for (int k = 0; k < 100 && !progress.stopRequested(); ++k) {
            ++steps;
            progress.report(k + 1, 100);
            if (k == 0)
                holdUntilStopped(progress);
        }
    });
    QVERIFY(ended.wait(5000));
    QVERIFY(job.isCancelled());
    QCOMPARE(steps.load(), 1);
    QCOMPARE(ended.first().at(0).toString(), QString());  // stopped is not failed
}

void BackgroundJobTest::failureEndsTheJobWithOneMessage_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("says");
    QTest::newRow("out of memory") << 0 << "there is not enough memory";
    QTest::newRow("an error") << 1 << "it stopped on an error (the disk caught fire)";
    QTest::newRow("anything else") << 2 << "it stopped on an unknown error";
}

void BackgroundJobTest::failureEndsTheJobWithOneMessage()
{
    QFETCH(int, kind);
    QFETCH(QString, says);
    BackgroundJob job;
    QSignalSpy ended(&job, &BackgroundJob::ended);
    job.start([kind](const Progress&) {
        if (kind == 0)
            throw std::bad_alloc();
        if (kind == 1)
            throw std::runtime_error("the disk caught fire");
        throw 7;
    });
    QVERIFY(ended.wait(5000));
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended.first().at(0).toString(), says);

    // The next job starts clean: no failure left over.
    job.start([](const Progress&) {});
    QVERIFY(ended.wait(5000));
    QCOMPARE(ended.last().at(0).toString(), QString());
}

void BackgroundJobTest::oneJobAtATimeAndEachStartsUncancelled()
{
    BackgroundJob job;
    QSignalSpy ended(&job, &BackgroundJob::ended);
    QVERIFY(job.start(&holdUntilStopped));
    bool secondRan = false;
    QVERIFY(!job.start([&secondRan](const Progress&) { secondRan = true; }));
    job.cancel();
    QVERIFY(ended.wait(5000));
    QVERIFY(!secondRan);

    bool stopSeen = true;
    QVERIFY(
        job.start([&stopSeen](const Progress& progress) { stopSeen = progress.stopRequested(); }));
    QVERIFY(!job.isCancelled());
    QVERIFY(ended.wait(5000));
    QVERIFY(!stopSeen);
}

void BackgroundJobTest::goingAwayStopsAndWaitsForTheWork()
{
    std::atomic_bool finished{false};
    auto job = std::make_unique<BackgroundJob>();
    job->start([&finished](const Progress& progress) {
        progress.report(1, 2);  // a report still queued when the job goes is dropped with it
        holdUntilStopped(progress);
        finished = true;
    });
    QThread::msleep(20);
    job.reset();
    QVERIFY(finished.load());
    QTest::qWait(20);  // nothing queued for the job is delivered after it has gone
}

void BackgroundJobTest::waitForEndKeepsTheEventLoopRunning()
{
    BackgroundJob job;
    job.waitForEnd();  // none running: returns at once
    QList<int> seen;
    connect(&job, &BackgroundJob::progressed, this, [&seen](int done, int) { seen << done; });
    job.start([](const Progress& progress) {
        for (int k = 1; k <= 3; ++k) {
            QThread::msleep(5);
            progress.report(k, 3);
        }
    });
    job.waitForEnd();
    QVERIFY(!job.isRunning());
    QCOMPARE(seen, QList<int>({1, 2, 3}));
}

QTEST_MAIN(BackgroundJobTest)
#include "background_job_test.moc"
