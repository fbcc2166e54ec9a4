// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Waiting with the event loop running, for tests and benchmarks that watch files or timers.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

// Runs the event loop, sleeping between events, until `done()` holds; false when it still does
// not after `limitMs`.
template <typename Done> bool waitUntil(Done done, int limitMs = 10000)
{
    QElapsedTimer limit;
    limit.start();
    while (!done()) {
        if (limit.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

// Lets the event loop run for `ms`.
inline void runEventLoopFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
