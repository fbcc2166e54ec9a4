// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/progress.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>

class QThread;

namespace orvane {

// Work beside the window: it runs on a thread of its own, reports how far it has come, can be
// asked to stop, and ends once, on the window's thread, either whole or with the one message
// saying why it broke off. It holds no widget: each window shows it its own way (a progress
// dialog, a wait cursor) by listening to its signals.
class BackgroundJob : public QObject {
    Q_OBJECT
public:
    // Runs on the worker. What it makes it leaves in its captures; they are read once `ended`
    // has come, when the worker has stopped.
    using Work = std::function<void(const Progress&)>;

    explicit BackgroundJob(QObject* parent = nullptr);
    // A job still running is asked to stop and waited for: work that writes files stops after a
    // whole one.
    ~BackgroundJob() override;

    // Starts `work`; false, with nothing started, while a job runs.
    bool start(Work work);
    bool isRunning() const { return m_worker != nullptr; }
    // Asks the work to stop before its next step; it ends as usual, `ended` follows.
    void cancel() { m_stop = true; }
    bool isCancelled() const { return m_stop.load(); }
    // Runs the event loop, user input held back, until the job has ended (returns at once when
    // none runs).
    void waitForEnd();

signals:
    // On the window's thread, in the order the work reported them.
    void progressed(int done, int total);
    // Once per start, on the window's thread, after the worker has stopped and after every
    // `progressed`. `failure` is empty, or says why the work broke off (it threw).
    void ended(const QString& failure);

private:
    void workerFinished();

    QThread* m_worker = nullptr;
    std::atomic_bool m_stop{false};
    QString m_failure;  // written by the worker, read once it has stopped
};

}  // namespace orvane
